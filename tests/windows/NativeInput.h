// What a person does to native windows, for the tests of the Windows view: presses, keys and
// typed text sent to an HWND the way the system delivers them. Plain types only, so that test
// files with the platform's headers can use it (they cannot include <windows.h>).
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace native {

/// A press and release of the left button at \p x, \p y of the window's client area.
void click(void* window, int x, int y);
void doubleClick(void* window, int x, int y);
/// A key pressed in \p window, through the dialog manager as a message loop hands it on: the
/// dialog may take it (Enter, Escape) unless the window asks for it.
void key(void* window, unsigned virtualKey);
/// A key pressed as key() does, with Ctrl and/or Shift held down.
void keyWith(void* window, unsigned virtualKey, bool control, bool shift);
/// The native window with the keyboard focus, or null.
void* focus();
/// A window's control id.
int id(void* window);
/// The centre of tab \p index of a tab control, in its client area.
bool tabItemCentre(void* tab, int index, int& x, int& y);
/// Characters typed into \p window, one WM_CHAR per UTF-16 unit.
void type(void* window, const std::string& text);
/// Replaces the text of an edit box as a paste over a full selection does.
void replaceText(void* window, const std::string& text);

std::string text(void* window);
/// The selection of an edit box in UTF-16 units: {start, end} (EM_GETSEL).
std::pair<int, int> selection(void* edit);
/// Selects units \p start to \p end of an edit box as the mouse or Shift and the arrows do:
/// the selection is made, then the button or key goes up.
void select(void* edit, int start, int end);
bool visible(void* window);
/// The first child window of class \p className, or null.
void* child(void* parent, const std::string& className);
/// True when \p child is shown and covers point \p x, \p y of its parent's client area.
bool covers(void* child, int x, int y);
/// The centre of entry \p index of a list view, in its client area: false when not in view.
bool listViewItemCentre(void* list, int index, int& x, int& y);
/// The entries of a combo box.
std::vector<std::string> comboItems(void* combo);
/// Shows entry \p index in a closed combo box, as the arrow keys do.
void comboShow(void* combo, int index);

/// A window's frame on the screen: {left, top, right, bottom}.
std::vector<int> screenRect(void* window);
/// The top-left corner of a window's client area on the screen: {x, y}.
std::vector<int> clientOrigin(void* window);
/// The work area of the main monitor: {left, top, right, bottom}.
std::vector<int> workArea();
/// A visible, active top-level window of the calling thread at \p x, \p y of the screen: a
/// host's main window. Destroy it with closeWindow().
void* hostWindow(int x, int y, int width, int height);
void closeWindow(void* window);

/// Turns the mouse wheel over \p window by \p notches (positive: away from the user).
void wheel(void* window, int notches);
/// The top-level windows of the calling thread, hidden ones included.
int threadWindows();

extern const unsigned kReturn;
extern const unsigned kEscape;
extern const unsigned kDown;
extern const unsigned kUp;
extern const unsigned kRight;
extern const unsigned kF2;
extern const unsigned kLeft;
extern const unsigned kTab;

} // namespace native
