// The control model: one Window object per dialog and control, holding all of its state.
//
// Threads: the model, the framework classes on top of it and the automation API belong to
// one user-interface thread, the thread that made the first window. Debug builds stop with a
// message when another thread touches a window.
// Backends are views of this model; the automation API and the Qt widgets act on it through
// the user actions at the end of this header, so both behave the same by construction.
#pragma once

#include "platform/resources.h"
#include "platform/types.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class CWnd;

namespace platform {

/// \brief What a window is, derived from its class name and style.
enum class ControlKind {
    Dialog, ///< a dialog or property page made from a template
    Static, ///< static text or frame
    GroupBox,
    Edit,
    PushButton,
    CheckBox,
    RadioButton,
    ComboBox, ///< drop-down list
    ListBox,
    ListView, ///< report-view list
    Tab,      ///< tab control (the tabs of a property sheet)
    Grid,     ///< grid of cells (grid.h)
    Custom    ///< any other class: a placeholder or a control created at run time
};

/// \brief What changed in a window, reported to the backend's view.
enum class Change {
    Text,
    Enabled,
    Visible,
    ReadOnly,
    Check,
    Items,         ///< the items of the range changed (all items: the list was refilled)
    ItemsInserted, ///< the items of the range are new
    ItemsRemoved,  ///< the items of the range were removed (indices before the removal)
    Selection,
    Rect,
    Focus,
    Style,
    Columns,
    Tabs,            ///< a tab control's tabs or its current tab
    Cells,           ///< grid cells in the range changed (text, state, colours, ...)
    RowsInserted,    ///< grid rows first..last are new
    RowsRemoved,     ///< grid rows first..last (numbered before the removal) are gone
    ColumnsInserted, ///< grid columns firstColumn..lastColumn are new
    ColumnsRemoved,  ///< grid columns firstColumn..lastColumn are gone
    InPlaceEdit,     ///< a grid's in-place editor opened, closed or changed
    Balloon          ///< an edit's balloon tip was shown or hidden
};

/// \brief Keys that a control with an editor of its own may keep from its dialog.
enum class Key { Enter, Escape };

/// \brief The part of a window's contents that a change concerns: items (or grid rows)
///        \p first to \p last, and grid columns \p firstColumn to \p lastColumn. -1 means
///        "all of them", so a default range says "everything may have changed".
struct ChangeRange {
    int first = -1;
    int last = -1;
    int firstColumn = -1;
    int lastColumn = -1;
    /// \brief A range of items or rows.
    static ChangeRange items(int first, int last) { return ChangeRange{first, last, -1, -1}; }
    bool all() const { return first < 0 && firstColumn < 0; }
};

/// \brief State that only windows of one control class have (a grid's cells, a tab control's
///        tabs). The class that registers the control kind makes it; the window owns it.
class ControlState {
public:
    virtual ~ControlState() = default;
    /// \brief Enter or Escape pressed while \p window has the focus; true when the control
    ///        uses the key itself (an open in-place editor), so that the dialog does not.
    virtual bool takeKey(Window& window, Key key) { return false; }
    /// \brief \p window has lost the keyboard focus.
    virtual void focusLost(Window& window) {}
};

/// \brief Where a change comes from: the program, or the user (who makes handlers run).
enum class Origin { Program, User };

/// \brief One entry of a combo box, list box or list view.
struct Item {
    std::string text;
    std::vector<std::string> subItems; ///< list view columns 1..n
    DWORD_PTR data = 0;
    bool selected = false; ///< list boxes with multiple selection, list views
};

/// \brief The balloon tip of an edit (EM_SHOWBALLOONTIP): why its text cannot be used. An
///        empty title and text mean that no balloon is shown.
struct Balloon {
    std::string title;
    std::string text;
    int icon = 0; ///< TTI_NONE, TTI_INFO, TTI_WARNING, TTI_ERROR
    bool shown() const { return !title.empty() || !text.empty(); }
};

/// \brief A list view column.
struct Column {
    std::string heading;
    int format = 0;
    int width = 0;
};

/// \brief The state of a button class window: its check state (check boxes, radio buttons).
class ButtonState final : public ControlState {
public:
    int check = BST_UNCHECKED;
};

/// \brief The state of a list class window (drop-down list, list box, report-view list):
///        its items, its current selection and, for report views, its columns.
class ListState final : public ControlState {
public:
    std::vector<Item> items;
    int curSel = -1;
    std::vector<Column> columns;
};

/// \brief A window of the control model. Common state lives here; what only one class of
///        control has lives in the state its class registration makes (state()). Items,
///        selection and check state are reached through the members below, which do nothing
///        (or give nothing) for windows of other classes.
class Window {
public:
    Window(ControlKind kind, int id, std::string className, DWORD style, DWORD exStyle, RECT rect,
           Window* parent);
    ~Window();
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    ControlKind kind() const { return m_kind; }
    int id() const { return m_id; }
    const std::string& className() const { return m_className; }
    DWORD style() const { return m_style; }
    DWORD exStyle() const { return m_exStyle; }
    void setStyle(DWORD style);
    void setExStyle(DWORD exStyle);

    Window* parent() const { return m_parent; }
    Window* owner() const { return m_owner; }
    void setOwner(Window* owner) { m_owner = owner; }
    const std::vector<std::unique_ptr<Window>>& children() const { return m_children; }
    Window* addChild(std::unique_ptr<Window> child);
    /// \brief Destroys a direct child with everything below it.
    void destroyChild(Window* child);
    /// \brief First direct child with this id, or null.
    Window* findChild(int id) const;
    /// \brief The dialog that receives this window's notifications (nearest ancestor with a
    /// handler).
    Window* notifyTarget() const;
    /// \brief True when this window is \p other or lies below it.
    bool isWithin(const Window* other) const;

    /// \brief The framework object attached to the window, if any.
    CWnd* attached() const { return m_attached; }
    void attach(CWnd* wnd) { m_attached = wnd; }
    /// \brief The attached object, or a wrapper owned by the window.
    CWnd* wrapper();

    /// \brief The template the window was made from (dialogs only), and its resources.
    const DialogTemplate* dialogTemplate() const { return m_template; }
    HINSTANCE resources() const { return m_resources; }
    void setTemplate(const DialogTemplate* tpl, HINSTANCE resources);
    /// \brief Base units (pixels per 4 horizontal and 8 vertical dialog units) of the dialog.
    SIZE baseUnits() const;
    void setBaseUnits(SIZE units) { m_baseUnits = units; }

    /// \brief Rectangle in the parent's client coordinates (screen coordinates for top-level
    /// windows).
    RECT rect() const { return m_rect; }
    void setRect(const RECT& rect);
    RECT clientRect() const { return RECT{0, 0, m_rect.Width(), m_rect.Height()}; }
    /// \brief Top-left corner of the client area in screen coordinates.
    POINT clientOrigin() const;

    const std::string& text() const { return m_text; }
    /// \brief Sets the text. Edits notify EN_CHANGE when the user changes them, or when the
    ///        program really changes their text.
    void setText(const std::string& text, Origin origin = Origin::Program);

    // Edits: the caret and the selection, counted in characters (not bytes) from the start
    // of the text. The selection runs from selStart() to selEnd(); the caret is at selEnd().
    // Equal ends mean no selection, the caret alone.
    int selStart() const { return m_selStart; }
    int selEnd() const { return m_selEnd; }
    /// \brief Selects characters \p start to \p end (EM_SETSEL): \p end -1 (or beyond the
    ///        text) means to the end; reversed ends are swapped; \p start -1 removes the
    ///        selection and leaves the caret where the selection began. Tells the view, not
    ///        the dialog.
    void setSel(int start, int end);
    /// \brief Sets an edit's text and its selection at once, then notifies as setText does
    ///        (so a handler that runs sees the caret where the edit put it).
    void setEditText(const std::string& text, int selStart, int selEnd, Origin origin);
    /// \brief Number of characters of the text.
    int textLength() const;

    /// \brief The balloon tip shown at an edit (none: Balloon::shown() is false).
    const Balloon& balloon() const { return m_balloon; }
    void showBalloon(const Balloon& balloon);
    void hideBalloon();

    bool enabled() const { return (m_style & WS_DISABLED) == 0; }
    void setEnabled(bool enabled);
    bool visible() const { return (m_style & WS_VISIBLE) != 0; }
    void setVisible(bool visible);
    /// \brief True when the window and all its ancestors are visible.
    bool reallyVisible() const;
    bool readOnly() const { return (m_style & ES_READONLY) != 0 && m_kind == ControlKind::Edit; }
    void setReadOnly(bool readOnly);

    int check() const;
    void setCheck(int state);

    // Items of combo boxes, list boxes and list views.
    int itemCount() const { return static_cast<int>(items().size()); }
    const Item& item(int index) const { return items().at(static_cast<size_t>(index)); }
    Item& itemRef(int index);
    const std::vector<Item>& items() const;
    /// \brief Inserts an item at \p index (-1 or count: append). \return its index, -1 on error.
    int insertItem(int index, const std::string& text);
    bool deleteItem(int index);
    void clearItems();
    /// \brief Reports that the texts of item \p index (-1: of every item) changed.
    void itemsChanged(int index = -1);
    /// \brief Current selection of a single-selection list (-1: none).
    int curSel() const;
    void setCurSel(int index);
    bool multipleSelection() const;
    bool isSelected(int index) const;
    void setSelected(int index, bool selected);
    std::vector<int> selectedIndices() const;

    // List view columns.
    const std::vector<Column>& columns() const;
    int insertColumn(int index, const Column& column);
    void setColumnWidth(int index, int width);

    /// \brief The state of the window's control class, or null.
    ControlState* state() const { return m_state.get(); }
    /// \brief The state as its own class, or null when the window holds another kind.
    template <typename T> T* stateAs() const { return dynamic_cast<T*>(m_state.get()); }
    void setState(std::unique_ptr<ControlState> state) { m_state = std::move(state); }

    /// \brief Tells the view that part of the window changed.
    void changed(Change what, const ChangeRange& range = {});

    /// \brief Sends a control notification (EN_CHANGE, BN_CLICKED, ...) to the notify target.
    void notify(int code);
    /// \brief Sends a WM_NOTIFY-style notification with an item index (list views, tabs).
    /// \return the receiver's answer (0 when nobody handled it)
    std::intptr_t notifyItem(int code, int item);

    /// \brief Holds back, while the count is above zero, the change notifications that the
    ///        program's own writes into controls below this window raise (a dialog filling
    ///        its fields). The user's actions always notify.
    void holdNotifications() { ++m_held; }
    void releaseNotifications() { --m_held; }
    /// \brief True when this window or one of its ancestors holds notifications back.
    bool notificationsHeld() const;

private:
    ControlKind m_kind;
    int m_id;
    std::string m_className;
    DWORD m_style;
    DWORD m_exStyle;
    RECT m_rect;
    Window* m_parent;
    Window* m_owner = nullptr;
    std::vector<std::unique_ptr<Window>> m_children;
    CWnd* m_attached = nullptr;
    std::unique_ptr<CWnd> m_wrapper;
    const DialogTemplate* m_template = nullptr;
    HINSTANCE m_resources = nullptr;
    SIZE m_baseUnits{6, 13};
    std::string m_text;
    int m_selStart = 0;
    int m_selEnd = 0;
    Balloon m_balloon;
    std::unique_ptr<ControlState> m_state;
    int m_held = 0;
};

/// \brief Takes ownership of a top-level window (a dialog without parent) until
///        destroyTopLevel. \return the window
Window* adoptTopLevel(std::unique_ptr<Window> window);
/// \brief Destroys a window made top-level by adoptTopLevel (with everything below it).
void destroyTopLevel(Window* window);
/// \brief True when \p window is a living window of the model (a stale or foreign handle
///        gives false).
bool isWindow(const Window* window);
/// \brief In debug builds, stops the program with a message when called from another thread
///        than the user-interface thread.
void checkUiThread();

/// \brief The window that has the keyboard focus, or null.
Window* focusWindow();
/// \brief Gives the focus to a window (null: nobody).
void setFocusWindow(Window* window);

/// \brief The tab stops of a dialog in Tab order: its controls with WS_TABSTOP that are
///        shown and enabled, in creation order, descending into child dialogs that have
///        WS_EX_CONTROLPARENT (the active page of a sheet, and the sheet itself).
std::vector<Window*> tabOrder(Window& dialog);
/// \brief The first tab stop of a dialog, or null.
Window* firstTabStop(Window& dialog);

/// \brief A label's text as a person reads it: "&&" is one '&', a single '&' (the access-key
///        marker) disappears.
std::string withoutAccessKeys(const std::string& text);

/// \brief Converts a template rectangle in dialog units to pixels with the given base units.
RECT dialogUnitsToPixels(int x, int y, int cx, int cy, SIZE baseUnits);

// --- User actions ---------------------------------------------------------------------------
// What a person does at a dialog. Each refuses (returns false, changes nothing) what a person
// could not do: act on a hidden or disabled control, type into a read-only edit, and so on.

/// \brief Replaces the whole text of an edit (select all, then paste): one change; the caret
///        ends after the text.
bool userSetText(Window& edit, const std::string& text);
/// \brief Clicks after the text of an edit and types there, one change per character; '\b'
///        is BackSpace (it deletes the character before the caret).
bool userType(Window& edit, const std::string& keys);
/// \brief Selects characters \p start to \p end of an edit with the mouse or Shift and the
///        arrows (\p end -1: to the end; \p start equal to \p end puts the caret there alone).
///        Ctrl+A is (0, -1). Read-only edits can be selected too; the dialog hears nothing.
bool userSelectText(Window& edit, int start, int end);
/// \brief Types \p keys at the caret of an edit, as they come: a character replaces the
///        selection or is inserted at the caret; '\b' is BackSpace and '\x7f' Delete, each
///        deleting the selection or else the character before (after) the caret. One change
///        per key that changes the text.
bool userKeys(Window& edit, const std::string& keys);
/// \brief A view's edit widget changed its text as a person edited it: \p text is its whole
///        new text and \p selStart..\p selEnd its caret and selection afterwards. One change.
bool userEdited(Window& edit, const std::string& text, int selStart, int selEnd);
/// \brief Clicks a push button, check box or radio button.
bool userClick(Window& button);
/// \brief Picks entry \p index in a drop-down list, list box or list view (in a list box with
///        multiple selection the click toggles the entry).
bool userSelect(Window& list, int index);
/// \brief Moves the selection of a list view to entry \p index with the arrow keys: the owner
///        hears that the item changed (LVN_ITEMCHANGED), not a click.
bool userMoveSelection(Window& list, int index);
/// \brief Double-clicks entry \p index of a list box or list view.
bool userDoubleClick(Window& list, int index);
/// \brief Moves the focus to a control, as a click or Tab would.
bool userFocus(Window& control);
/// \brief Presses Enter in a dialog.
bool userEnter(Window& dialog);
/// \brief Presses Escape in a dialog.
bool userEscape(Window& dialog);
/// \brief Clicks the close box of a dialog; false when the dialog has none.
bool userClose(Window& dialog);
/// \brief Clicks tab \p index of a tab control. The owner is asked first and may refuse
///        (false, nothing changes); then the tab becomes current and the owner is told.
bool userSelectTab(Window& tab, int index);
/// \brief Presses Ctrl+Tab (Ctrl+Shift+Tab when \p backwards) in a dialog: the first tab
///        control shown in it moves to its next (previous) tab, as a click on that tab would.
bool userNextTab(Window& dialog, bool backwards = false);
/// \brief Presses Tab (or Shift+Tab) in a dialog: the focus moves to the next (previous) tab
///        stop, into and out of child dialogs that have WS_EX_CONTROLPARENT.
bool userTab(Window& dialog, bool backwards = false);

} // namespace platform
