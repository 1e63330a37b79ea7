// Backends: how the control model is shown to a person (or not at all). The headless backend
// is the default; the host picks another one once at start-up.
#pragma once

#include "platform/automation.h"
#include "platform/model.h"
#include "platform/types.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>

class CDialog;
class CWnd;

namespace platform {

/// \brief Acts as the user of a modal run in place of a person (see runModal).
using ModalScript = std::function<void(CDialog&)>;

/// \brief Checks a name chosen in a file dialog before the dialog closes.
///
/// Given the name as chosen and the filter row in use, it returns the full path to hand back,
/// or nothing when the dialog must stay open (it has then told the user why).
using FileChoiceCheck =
    std::function<std::optional<std::string>(const std::string& chosen, int filterIndex)>;

/// \brief A view of the control model and the place where a person answers.
///
/// Whether a person or the scripted user answers is decided once, by the platform's functions
/// runModal, MessageBox, MessageBeep and askForFile; a backend only shows.
class Backend {
public:
    virtual ~Backend() = default;

    /// \brief Short name ("headless", "qt").
    virtual std::string name() const = 0;

    /// \brief Base units of a template font: pixels per 4 horizontal and 8 vertical dialog units.
    virtual SIZE dialogBaseUnits(const FontSpec& font) = 0;

    /// \brief Size of the screen on which dialogs are centred.
    virtual SIZE screenSize() { return SIZE{1920, 1080}; }

    /// \brief The work area (the screen less its task bars) of the screen showing \p owner, or
    ///        of the main screen without one, in the coordinates of top-level windows. Dialogs
    ///        with DS_CENTER are centred in it, and every dialog is kept inside it.
    virtual RECT workArea(const Window* owner) {
        SIZE screen = screenSize();
        return RECT{0, 0, screen.cx, screen.cy};
    }

    /// \brief The top-left corner of the client area of the host's window that owns a dialog
    ///        made without an owner among the platform's windows: the window the person works
    ///        in, as the framework takes the application's main window. Nothing without one.
    virtual std::optional<POINT> hostOwnerOrigin() { return std::nullopt; }

    /// \brief Shows \p dialog for the length of its modal run and waits until it has been
    ///        ended (EndDialog).
    /// \param script when given, acts as the user while the dialog is shown (the backend then
    ///        waits for nobody else); otherwise a person answers, and a backend that cannot show
    ///        the dialog to anyone ends it with IDCANCEL
    virtual void runModal(CDialog& dialog, const ModalScript& script) = 0;

    /// \brief Called by EndDialog so that the wait of runModal can stop.
    virtual void endModal(CDialog& dialog) {}

    /// \brief Shows a message box to a person and returns the button that closed it.
    virtual int messageBox(CWnd* owner, const std::string& text, const std::string& caption,
                           UINT type) = 0;

    /// \brief Plays a beep for a person.
    virtual void beep(UINT type) = 0;

    /// \brief Shows a file dialog to a person until a choice passes \p check or the person
    ///        cancels. Without a way to show one, the dialog is cancelled.
    virtual automation::FileDialogAnswer
    fileDialog(CWnd* owner, const automation::FileDialogCall& call, const FileChoiceCheck& check) {
        return automation::FileDialogAnswer{false, {}, call.filterIndex};
    }

    // View hooks: the model reports what happens to its windows.
    virtual void windowCreated(Window& window) {}
    virtual void windowDestroyed(Window& window) {}
    /// \param range the items, rows or cells concerned (all when default)
    virtual void windowChanged(Window& window, Change what, const ChangeRange& range) {}
};

/// \brief The backend in use.
Backend& backend();

/// \brief Replaces the backend (null: back to headless). Call once at start-up, with no dialog
/// open.
void setBackend(std::unique_ptr<Backend> backend);

/// \brief Makes the headless backend current.
void useHeadlessBackend();

/// \brief Runs \p dialog modally until it is ended: the scripted user answers while one is
///        alive, else the backend shows the dialog to a person.
void runModal(CDialog& dialog);

/// \brief Asks for a file: the scripted user answers while one is alive, else the backend
///        shows the dialog to a person. Each choice goes through \p check; a scripted choice
///        that it refuses is followed by the script's next answer (the dialog is still open).
/// \return the answer, its path as \p check handed it back; not ok when cancelled
automation::FileDialogAnswer askForFile(CWnd* owner, const automation::FileDialogCall& call,
                                        const FileChoiceCheck& check);

} // namespace platform
