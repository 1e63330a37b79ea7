#include "DisplayText.h"

#include "gpsdialogs/interfaces/Egn.h"
#include "gpsdialogs/interfaces/Kit.h"
#include "platform/wnd.h"

std::string DisplayValue(double value, int decimals) {
    return IsEgnValueDefined(value) ? StringDaDouble(value, 0, decimals) : std::string();
}

void ShowTextsAsTyped(CWnd& dialog, std::initializer_list<int> ids) {
    // The templates are the product's and leave these fields without SS_NOPREFIX; the style is
    // the framework's own way to show a static's text literally, and the views honour it.
    for (int id : ids)
        if (CWnd* field = dialog.GetDlgItem(id)) field->ModifyStyle(0, SS_NOPREFIX);
}
