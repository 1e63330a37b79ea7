// The Qt 6 Widgets backend: shows the control model in real windows.
#pragma once

#include <string>

class CDialog;
class QWidget;

namespace platform {
class Window;
}

namespace platform::qt {

/// \brief Makes the Qt backend current. A QApplication must exist; call once at start-up,
///        with no dialog open.
void install();

/// \brief The widget that shows a window of the control model (null when none).
QWidget* widgetFor(const platform::Window* window);

/// \brief Saves the current look of a dialog (its window and everything in it) as a PNG.
/// \return false when the dialog has no window or the file cannot be written
bool grab(const CDialog& dialog, const std::string& pngPath);

} // namespace platform::qt
