#include "platform/messagebox.h"
#include "platform/backend.h"

int MessageBox(CWnd* owner, const std::string& text, const std::string& caption, UINT type) {
    return platform::backend().messageBox(owner, text, caption, type);
}

void MessageBeep(UINT type) { platform::backend().beep(type); }
