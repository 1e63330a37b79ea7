// Where the platform decides who answers: the scripted user while one is alive, else a person
// through the backend. Every modal run, message box, beep and file dialog passes here once.
#include "platform/automation.h"
#include "platform/backend.h"
#include "platform/dialog.h"
#include "platform/messagebox.h"

namespace platform {

void runModal(CDialog& dialog) {
    ModalScript script;
    if (automation::ScriptedUser* user = automation::ScriptedUser::current()) {
        // The view may have ended the dialog while showing it (a handler run on activation).
        script = [user](CDialog& running) {
            if (running.IsModalRunning()) user->runDialog(running);
        };
    }
    backend().runModal(dialog, script);
}

automation::FileDialogAnswer askForFile(CWnd* owner, const automation::FileDialogCall& call,
                                        const FileChoiceCheck& check) {
    automation::ScriptedUser* user = automation::ScriptedUser::current();
    if (user == nullptr) return backend().fileDialog(owner, call, check);

    // A refused choice leaves the dialog open with the name as typed and the row in use; the
    // script's next answer is the user's next try.
    automation::FileDialogCall shown = call;
    for (;;) {
        automation::FileDialogAnswer answer = user->answerFileDialog(shown);
        if (!answer.ok) return automation::FileDialogAnswer{false, {}, answer.filterIndex};
        if (std::optional<std::string> accepted = check(answer.path, answer.filterIndex)) {
            answer.path = *accepted;
            return answer;
        }
        shown.fileName = answer.path;
        shown.filterIndex = answer.filterIndex;
    }
}

} // namespace platform

int MessageBox(CWnd* owner, const std::string& text, const std::string& caption, UINT type) {
    if (automation::ScriptedUser* user = automation::ScriptedUser::current())
        return user->answerMessageBox(automation::MessageBoxCall{text, caption, type});
    return platform::backend().messageBox(owner, text, caption, type);
}

void MessageBeep(UINT type) {
    if (automation::ScriptedUser* user = automation::ScriptedUser::current())
        user->noteBeep();
    else
        platform::backend().beep(type);
}
