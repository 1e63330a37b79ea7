// The Win32 view of the control model: dialogs made by the system's dialog manager from the
// module's compiled templates, native controls mirroring the model, and the system's message
// boxes and file dialogs. Windows builds only.
#pragma once

#include <string>

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

/// \brief Where the native grid \p grid shows cell \p row, \p column: the centre of the cell in
///        the grid's client coordinates. \return false when the cell is not in view
bool gridCellCentre(const platform::Window& grid, int row, int column, int& x, int& y);

} // namespace platform::win32
