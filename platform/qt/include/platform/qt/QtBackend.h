// The Qt 6 Widgets backend: shows the control model in real windows.
#pragma once

#include <string>

class CDialog;
class QFont;
class QWidget;

namespace platform {
class Window;
struct FontSpec;
} // namespace platform

namespace platform::qt {

/// \brief Makes the Qt backend current. A QApplication must exist; call once at start-up,
///        with no dialog open. Qt's own texts (file dialogs, standard buttons) become Italian
///        from then on, when Qt's Italian translations are installed.
/// \return false, leaving the current backend in place, when there is no QApplication
bool install();

/// \brief The widget that shows a window of the control model (null when none, or when the
///        Qt backend is not the current one).
QWidget* widgetFor(const platform::Window* window);

/// \brief Saves the current look of a dialog (its window and everything in it) as a PNG.
/// \return false when the dialog has no window or the file cannot be written
bool grab(const CDialog& dialog, const std::string& pngPath);

/// \brief The installed font that stands for a template font (MS Sans Serif 8 becomes a sans
///        serif font of the same average character width and height).
QFont fontFor(const platform::FontSpec& font);

} // namespace platform::qt
