#include "platform/backend.h"
#include "platform/automation.h"
#include "platform/dialog.h"

namespace platform {

namespace {

/// No view at all: modal runs and message boxes are answered by the scripted user, if any.
class HeadlessBackend final : public Backend {
public:
    std::string name() const override { return "headless"; }

    SIZE dialogBaseUnits(const FontSpec& font) override {
        // The classic base units of an 8-point sans serif dialog font, scaled for other sizes.
        int size = font.pointSize > 0 ? font.pointSize : 8;
        return SIZE{(6 * size + 4) / 8, (13 * size + 4) / 8};
    }

    void runModal(CDialog& dialog) override {
        if (automation::ScriptedUser* user = automation::ScriptedUser::current()) {
            user->runDialog(dialog);
            return;
        }
        // Nobody can answer: the dialog is cancelled as if closed at once.
        dialog.EndDialog(IDCANCEL);
    }

    int messageBox(CWnd*, const std::string& text, const std::string& caption, UINT type) override {
        automation::MessageBoxCall call{text, caption, type};
        if (automation::ScriptedUser* user = automation::ScriptedUser::current())
            return user->answerMessageBox(call);
        return (type & MB_TYPEMASK) == MB_OK ? IDOK : IDCANCEL;
    }

    void beep(UINT) override {
        if (automation::ScriptedUser* user = automation::ScriptedUser::current()) user->noteBeep();
    }
};

std::unique_ptr<Backend>& current() {
    static std::unique_ptr<Backend> backend = std::make_unique<HeadlessBackend>();
    return backend;
}

} // namespace

Backend& backend() { return *current(); }

void setBackend(std::unique_ptr<Backend> replacement) {
    current() = replacement ? std::move(replacement) : std::make_unique<HeadlessBackend>();
}

void useHeadlessBackend() { setBackend(nullptr); }

} // namespace platform
