#include "core/AtomicFile.h"

namespace gpsbook {

std::string writeFileAtomically(const std::string& path, const std::string& content) {
    return hostfile::replaceFile(path, content).error;
}

unsigned permissionsForReplacing(const std::string& path) {
    return hostfile::permissionsForReplacing(path);
}

} // namespace gpsbook
