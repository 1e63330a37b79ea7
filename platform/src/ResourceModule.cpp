// Look-ups in a parsed resource module.
#include "platform/resources.h"

namespace platform {

const DialogTemplate* ResourceModule::findDialog(int id) const {
    auto it = dialogs.find(id);
    return it == dialogs.end() ? nullptr : &it->second;
}

const std::string* ResourceModule::findString(int id) const {
    auto it = strings.find(id);
    return it == strings.end() ? nullptr : &it->second;
}

} // namespace platform
