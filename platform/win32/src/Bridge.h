// The narrow bridge between the Win32 backend (which knows the control model) and the native
// side (which knows <windows.h>). The two cannot share a translation unit: the platform's
// own HWND, RECT and WS_* stand in for the system's. So this header speaks plain C++ only:
// native windows are opaque pointers, model windows are tokens the native side hands back.
#pragma once

#include <string>
#include <vector>

namespace platform::win32::bridge {

/// A native window (an HWND).
using Native = void*;
/// A window of the control model, as the native side hands it back to the backend.
using Token = void*;

/// The kinds of native control the bridge writes state into.
enum class Kind { Dialog, Static, Button, Edit, ComboBox, ListBox, ListView, Tab, Grid, Other };

/// The shape of a grid as the native grid draws it.
struct GridShape {
    int rows = 0;
    int columns = 0;
    int fixedRows = 0;
    std::vector<int> widths;           ///< pixels, one per column
    std::vector<std::string> headings; ///< one per column; no heading row when all are empty
    std::vector<unsigned> headingFormats;
    int rowHeaderWidth = 0; ///< the row-number column; 0: none
    int focusRow = -1;
    int focusColumn = -1;
};

/// One cell as the native grid draws it (colours are COLORREF values).
struct GridCellLook {
    std::string text;
    unsigned background = 0xFFFFFF;
    unsigned foreground = 0;
    unsigned format = 0; ///< DT_ flags
    bool selected = false;
};

/// The grid's in-place editor as the model has it.
struct GridEditorLook {
    bool active = false;
    int row = -1;
    int column = -1;
    bool dropDown = false;
    std::string text;
    std::vector<std::string> choices;
    int choice = -1;
    bool wholeTextSelected = false; ///< the whole text selected, so that a key replaces it
    unsigned selectAllCount = 0;    ///< changes each time the whole text is selected anew
    std::string balloon;            ///< why the text was refused; "" when none is shown
};

/// The keys a grid turns into moves or edits.
enum class GridKey { Up, Down, Left, Right, Edit, Enter, Escape };

/// What a person does in a native window, reported to the backend.
class Events {
public:
    virtual ~Events() = default;
    virtual void clicked(Token control) = 0;
    /// An edit's text changed as a person typed: its whole text, and its caret and selection
    /// afterwards (in characters).
    virtual void textEdited(Token edit, const std::string& text, int selStart, int selEnd) = 0;
    /// An edit's caret or selection moved without a change of its text (in characters).
    virtual void textSelected(Token edit, int selStart, int selEnd) = 0;
    virtual void selected(Token list, int index) = 0;
    /// A list view's selection moved without a click (the arrow keys).
    virtual void moved(Token list, int index) = 0;
    virtual void doubleClicked(Token list, int index) = 0;
    virtual bool tabSelecting(Token tab, int index) = 0; ///< false: stay on the current tab
    virtual void enter(Token dialog) = 0;
    virtual void escape(Token dialog) = 0;
    virtual void close(Token dialog) = 0;
    virtual void focused(Token control) = 0;
    /// Ctrl+Tab (Ctrl+Shift+Tab when \p backwards) in a dialog.
    virtual void nextTab(Token dialog, bool backwards) = 0;
    // Grids: what the native grid draws, and what a person does to it.
    virtual GridShape gridShape(Token grid) = 0;
    virtual GridCellLook gridCell(Token grid, int row, int column) = 0;
    virtual std::string gridRowLabel(Token grid, int row) = 0;
    virtual std::string gridRowMessage(Token grid, int row) = 0;
    virtual void gridClicked(Token grid, int row, int column) = 0;
    virtual void gridDoubleClicked(Token grid, int row, int column) = 0;
    virtual void gridKey(Token grid, GridKey key) = 0;
    /// Printable text typed over the focus cell: opens its editor with the text in it.
    virtual void gridTyped(Token grid, const std::string& text) = 0;
    virtual void gridEditText(Token grid, const std::string& text) = 0;
    virtual void gridPicked(Token grid, int index) = 0;
    virtual void gridEndEdit(Token grid, bool commit) = 0;
};

void setEvents(Events* events);
/// Names the module whose templates createDialog uses (default: gpsdialogs.dll).
void setTemplateModule(Native module);

/// True while the backend writes model state into native windows: notifications that the
/// writes raise are not user actions.
struct Sync {
    Sync();
    ~Sync();
    Sync(const Sync&) = delete;
    Sync& operator=(const Sync&) = delete;
};

/// Pixels per 4 horizontal and 8 vertical dialog units of a template font, as the dialog
/// manager measures them.
void baseUnits(const std::string& face, int pointSize, int weight, bool italic, int& cx, int& cy);

/// Creates a dialog from template \p templateId of the module that holds the templates:
/// top-level (hidden) when \p parent is null, owned by \p owner (which it stays above), else a
/// child of \p parent.
Native createDialog(Token token, int templateId, Native parent, Native owner = nullptr);
/// Creates a dialog made at run time, without a template (a property sheet): a child of
/// \p parent with the view's dialog procedure and its parent's font.
Native createRuntimeDialog(Token token, Native parent, int id, const std::string& text,
                           unsigned long style, unsigned long exStyle, int x, int y, int width,
                           int height);
/// The native controls the dialog manager made from the template, in template order.
std::vector<Native> templateControls(Native dialog);
/// Places \p window just after \p previous among its siblings (first when null): the order in
/// which the dialog manager's Tab visits them.
void placeAfter(Native window, Native previous);

/// A native window as a person meets it, for the check of the view against the model.
struct Look {
    Token token = nullptr; ///< the model window bound to it; null: none
    int id = 0;
    std::string className;
    std::string text;
    int x = 0, y = 0, width = 0, height = 0; ///< in the parent's client area
    unsigned long style = 0;
    unsigned long exStyle = 0;
    bool defaultButton = false;
};
Look look(Native window);
/// The native child windows of \p window, in the order the dialog manager visits them.
std::vector<Native> children(Native window);
/// The native window with the keyboard focus, or null.
Native focus();
/// Binds a native control made by the dialog manager to its model window.
void bind(Native control, Token token, Kind kind);
/// Creates a native control of our own (one the template does not hold).
Native createControl(Token token, Kind kind, const std::string& className, Native parent, int id,
                     const std::string& text, unsigned long style, unsigned long exStyle, int x,
                     int y, int width, int height);
void destroy(Native window);

void setText(Native window, const std::string& text);
void setEnabled(Native window, bool enabled);
/// Changes the style bits in \p mask (and the extended style bits in \p exMask) to those of
/// \p style and \p exStyle.
void setStyle(Native window, Kind kind, unsigned long style, unsigned long mask,
              unsigned long exStyle, unsigned long exMask);
void setVisible(Native window, bool visible);
void setReadOnly(Native edit, bool readOnly);
/// Selects characters \p start to \p end of an edit (counted in characters, not UTF-16 units);
/// the caret at \p end.
void setEditSelection(Native edit, int start, int end);
/// Shows the balloon tip of an edit, or hides it when \p title and \p text are both empty.
void showBalloon(Native edit, const std::string& title, const std::string& text, int icon);
/// The balloon tip shown at \p window (an edit, or a grid's in-place editor): false when none.
bool balloonShown(Native window, std::string& title, std::string& text);
void setCheck(Native button, int check);
void setRect(Native window, int x, int y, int width, int height);
void setItems(Native list, Kind kind, const std::vector<std::string>& items);
void setListViewColumns(Native list, const std::vector<std::string>& headings,
                        const std::vector<int>& widths);
void setListViewItems(Native list, const std::vector<std::vector<std::string>>& rows);
void setSelection(Native list, Kind kind, int index);
void setMultiSelection(Native list, Kind kind, const std::vector<bool>& selected);
void setTabs(Native tab, const std::vector<std::string>& labels, int current);
void setFocus(Native window);
void repaint(Native window);
/// The grid's rows or cells changed: scroll range, the focus cell in view, a new drawing.
void gridChanged(Native grid);
/// The rectangle of a grid's cell in the grid's client area: false when it is not in view.
bool gridCellRect(Native grid, int row, int column, int& x, int& y, int& width, int& height);
/// Opens, moves, fills or closes the grid's in-place editor as \p look says.
void showGridEditor(Native grid, const GridEditorLook& look);
void showTopLevel(Native dialog, bool shown);
/// Moves a top-level dialog's frame to \p x, \p y of the screen.
void moveTopLevel(Native dialog, int x, int y);
/// The work area of the monitor that shows \p window (the main monitor without one).
void workArea(Native window, int& left, int& top, int& right, int& bottom);
/// The top-left corner, on the screen, of the client area of the window the person works in
/// (the thread's active window): false without one.
bool activeClientOrigin(int& x, int& y);

/// Waits in a message loop until \p done becomes true.
void runLoop(const bool& done);
/// The view's step before a message is dispatched: Ctrl+Tab and Ctrl+Shift+Tab change the page
/// of a sheet, the dialog manager takes its keys. \p msg is a MSG. \return true when taken
bool preTranslate(void* msg);

int messageBox(Native owner, const std::string& text, const std::string& caption, unsigned type);
void beep(unsigned type);

/// The system's open or save dialog. \p filter is in the platform's "a|b|" form; \p filterIndex
/// goes in and comes out. \return false when cancelled
bool fileDialog(Native owner, bool open, const std::string& title, const std::string& filter,
                const std::string& defaultExtension, const std::string& initialFolder,
                unsigned long flags, std::string& path, int& filterIndex);

/// Saves the screen area of a top-level window (caption and frame included) as a BMP file.
bool saveShot(Native dialog, const std::string& file);

} // namespace platform::win32::bridge
