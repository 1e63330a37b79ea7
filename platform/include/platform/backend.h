// Backends: how the control model is shown to a person (or not at all). The headless backend
// is the default; the host picks another one once at start-up.
#pragma once

#include "platform/model.h"
#include "platform/types.h"

#include <memory>
#include <string>

class CDialog;
class CWnd;

namespace platform {

/// \brief A view of the control model and the place where modal runs wait for the user.
class Backend {
public:
    virtual ~Backend() = default;

    /// \brief Short name ("headless", "qt").
    virtual std::string name() const = 0;

    /// \brief Base units of a template font: pixels per 4 horizontal and 8 vertical dialog units.
    virtual SIZE dialogBaseUnits(const FontSpec& font) = 0;

    /// \brief Size of the screen on which dialogs are centred.
    virtual SIZE screenSize() { return SIZE{1920, 1080}; }

    /// \brief Waits until \p dialog has been ended (EndDialog); the user acts meanwhile.
    virtual void runModal(CDialog& dialog) = 0;

    /// \brief Called by EndDialog so that the wait of runModal can stop.
    virtual void endModal(CDialog& dialog) {}

    /// \brief Shows a message box and returns the button that closed it.
    virtual int messageBox(CWnd* owner, const std::string& text, const std::string& caption,
                           UINT type) = 0;

    /// \brief Plays a beep.
    virtual void beep(UINT type) = 0;

    // View hooks: the model reports what happens to its windows.
    virtual void windowCreated(Window& window) {}
    virtual void windowDestroyed(Window& window) {}
    /// \param range the items, rows or cells concerned (all when default)
    virtual void windowChanged(Window& window, Change what, const ChangeRange& range) {}
};

/// \brief The backend in use.
Backend& backend();

/// \brief Replaces the backend (null: back to headless). Call once at start-up, with no dialog open.
void setBackend(std::unique_ptr<Backend> backend);

/// \brief Makes the headless backend current.
void useHeadlessBackend();

} // namespace platform
