// The control registry: one registration per window class gives a control kind its kind
// word, its own state and the framework object that stands for it. The Qt view registers its
// widget per class name in platform/qt (registerView), and the automation API has one
// accessor per kind (automation.h); so a new control kind is one self-contained addition.
#pragma once

#include "platform/model.h"

#include <functional>
#include <memory>
#include <string>

class CWnd;

namespace platform {

/// \brief What the platform knows of one window class.
struct ControlClass {
    /// \brief The class name, as templates and CWnd::Create give it (compared without case).
    std::string name;
    /// \brief The kind of a window of this class with the given style.
    std::function<ControlKind(DWORD style)> kind;
    /// \brief Makes the state only windows of this class have; may be empty (no such state).
    std::function<std::unique_ptr<ControlState>(Window& window)> makeState;
    /// \brief Makes the framework object that stands for a window of this class when no
    ///        object of the program is attached to it; may be empty (a plain CWnd).
    std::function<std::unique_ptr<CWnd>()> makeWrapper;
};

/// \brief Registers a window class (replacing an earlier registration of the same name).
void registerControlClass(ControlClass controlClass);

/// \brief The registration of a class name, or null for an unknown class.
const ControlClass* findControlClass(const std::string& name);

/// \brief Creates a child window of \p parent from a class name, with the state of its class,
///        and shows it in the view. Unknown classes make a Custom placeholder.
Window* createControl(Window& parent, const std::string& className, int id, const std::string& text,
                      DWORD style, DWORD exStyle, const RECT& rect);

} // namespace platform
