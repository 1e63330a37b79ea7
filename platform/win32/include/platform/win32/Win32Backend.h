// The Win32 view of the control model: dialogs made by the system's dialog manager from the
// module's compiled templates, native controls mirroring the model, and the system's message
// boxes and file dialogs. Windows builds only.
#pragma once

#include <string>
#include <vector>

class CDialog;

namespace platform {
class Window;
}

namespace platform::win32 {

/// \brief Makes the Win32 backend current. Call once at start-up, with no dialog open.
void useWin32Backend();

/// \brief Names the module (an HMODULE) whose dialog templates the backend creates; by
///        default the module's own DLL, gpsdialogs.dll.
void setTemplateModule(void* module);

/// \brief Shows \p dialog (a dialog of the Win32 backend) and saves what the system drew of it,
///        caption and frame included, as a BMP file. Needs a display (an X server under Wine).
/// \return false when the dialog has no native window or the file cannot be written
bool saveShot(CDialog& dialog, const std::string& file);

/// \brief The native window (an HWND) that shows \p window, or null: for programs that
///        act on the native controls as a person would (the Windows view's own tests).
void* nativeWindow(const platform::Window& window);

/// \brief Shows \p dialog (a dialog of the Win32 backend) with the model's focus, as a modal
///        run shows it to a person: for a scripted user that acts on the native windows.
/// \return false when the dialog has no native window
bool show(CDialog& dialog);

/// \brief Compares the native windows of \p dialog (its controls, its sheet and the sheet's
///        pages, as shown now) with the model: bound to their own model window, with its id,
///        class, text, rectangle, visibility, enabled state, tab stop and default-button
///        style; and every binding that failed since the backend started.
/// \return one line per difference; empty when the view shows the model (and with another
///         backend)
std::vector<std::string> checkNative(CDialog& dialog);

/// \brief The view's step for a message (a MSG) before it is dispatched, for hosts and tests
///        with a message loop of their own: Ctrl+Tab and Ctrl+Shift+Tab change the page of a
///        sheet, Enter and Escape go to the model, the dialog manager takes its other keys.
/// \return true when the message was taken
bool preTranslate(void* message);

/// \brief Where the native grid \p grid shows cell \p row, \p column: the centre of the cell in
///        the grid's client coordinates. \return false when the cell is not in view
bool gridCellCentre(const platform::Window& grid, int row, int column, int& x, int& y);

/// \brief The balloon tip shown at the native window \p native (an edit, or a grid's in-place
///        editor): its title and text. \return false when none is shown
bool shownBalloon(void* native, std::string& title, std::string& text);

} // namespace platform::win32
