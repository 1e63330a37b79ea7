// The grid control: a table of cells with fixed rows and columns, per-cell text, state bits,
// colours and data, a row-number column, and an in-place editor (an edit box or a drop-down
// list) that a listener may refuse to open or to close. Window class "GpsGridCtrl".
//
// The state lives in platform::GridState (the model); CGridCtrl is the framework object that
// a dialog uses; the platform::userGrid... calls are what a person does to it, and the
// automation API (automation::Dialog::grid) performs them the way tests do.
#pragma once

#include "platform/controlclass.h"
#include "platform/model.h"
#include "platform/wnd.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

/// \brief Cell state bits (GetItemState / SetItemState).
inline constexpr UINT GVIS_FOCUSED = 0x0001;
inline constexpr UINT GVIS_SELECTED = 0x0002;
inline constexpr UINT GVIS_READONLY = 0x0008;

/// \brief A colour that was never set: the grid's own colour is shown.
inline constexpr COLORREF CLR_DEFAULT = 0xFF000000;

/// \brief WM_NOTIFY codes of the grid (besides NM_CLICK). A nonzero result of a begin or end
///        notification refuses the edit.
inline constexpr int GVN_BEGINLABELEDIT = -105;
inline constexpr int GVN_ENDLABELEDIT = -106;
inline constexpr int GVN_SELCHANGED = -111;

/// \brief The class name of grid windows.
inline constexpr const char* GRIDCTRL_CLASSNAME = "GpsGridCtrl";

/// \brief WM_NOTIFY notification of the grid: the cell it concerns.
struct NM_GRIDVIEW {
    NMHDR hdr;
    int iRow = -1;
    int iColumn = -1;
    /// \brief GVN_ENDLABELEDIT: the text about to be stored; the receiver may change it.
    std::string* pText = nullptr;
    /// \brief GVN_BEGINLABELEDIT of a drop-down cell: the choices to fill.
    std::vector<std::string>* pChoices = nullptr;
};

class CGridCtrl;

/// \brief Hears what a person does in a grid, and may refuse it. Every answer defaults to yes.
class IGridListener {
public:
    virtual ~IGridListener() = default;
    /// \brief A click on a cell, before it moves the selection; false refuses the click.
    virtual bool OnGridClick(CGridCtrl& grid, int row, int column) { return true; }
    /// \brief The click has made the cell the selected and focused one.
    virtual void OnGridClicked(CGridCtrl& grid, int row, int column) {}
    /// \brief The in-place editor is about to open; false refuses. For a drop-down cell the
    ///        listener fills \p choices (it arrives empty).
    virtual bool OnGridBeginEdit(CGridCtrl& grid, int row, int column,
                                 std::vector<std::string>& choices) {
        return true;
    }
    /// \brief The editor is about to store \p text in the cell; false refuses (the editor stays
    ///        open with the text, for the person to correct). The listener may change the text.
    virtual bool OnGridEndEdit(CGridCtrl& grid, int row, int column, std::string& text) {
        return true;
    }
    /// \brief The editor was closed without storing its text (Escape, or the program).
    virtual void OnGridCancelEdit(CGridCtrl& grid, int row, int column) {}
};

namespace platform {

/// \brief The in-place editor a cell opens; None: the cell can be selected but never edited.
enum class GridEditor { Text, DropDown, None };

/// \brief A rectangle of cells; -1 everywhere when empty.
struct GridRange {
    int minRow = -1;
    int minColumn = -1;
    int maxRow = -1;
    int maxColumn = -1;
    bool valid() const {
        return minRow >= 0 && minColumn >= 0 && maxRow >= minRow && maxColumn >= minColumn;
    }
    bool contains(int row, int column) const {
        return valid() && row >= minRow && row <= maxRow && column >= minColumn &&
               column <= maxColumn;
    }
    bool operator==(const GridRange&) const = default;
};

/// \brief One cell.
struct GridCell {
    std::string text;
    UINT state = 0; ///< GVIS_ bits but GVIS_FOCUSED (the grid keeps its focus cell)
    COLORREF background = CLR_DEFAULT;
    COLORREF foreground = CLR_DEFAULT;
    std::uint64_t data = 0;
    std::optional<UINT> format;       ///< DT_ flags; the column's when unset
    std::optional<GridEditor> editor; ///< the column's when unset
};

/// \brief One column.
struct GridColumn {
    std::string heading;
    UINT format = DT_LEFT | DT_VCENTER | DT_SINGLELINE;
    int width = 80;
    GridEditor editor = GridEditor::Text;
};

/// \brief The in-place editor while it is open.
struct GridEdit {
    bool active = false;
    int row = -1;
    int column = -1;
    GridEditor kind = GridEditor::Text;
    std::string text;                 ///< what the editor shows
    std::vector<std::string> choices; ///< the drop-down list's entries
    /// \brief True while the whole text is selected, so that the next key replaces it: from
    ///        the opening and from each refusal of the text until the text changes.
    bool wholeTextSelected = false;
    /// \brief Counts the times the whole text was selected anew, so that a view selects it
    ///        again after each refusal even when it was selected already.
    unsigned selectAllCount = 0;
    /// \brief The balloon at the cell: why its text was refused; "" when none is shown. Typing
    ///        and the end of the edit hide it.
    std::string balloon;
    /// \brief The entry whose text the editor shows, or -1.
    int choice() const;
};

/// \brief The state of a grid window. Every change tells the view exactly which rows and
///        cells it touched (Change::Cells, RowsInserted, RowsRemoved, ColumnsInserted,
///        ColumnsRemoved, Columns, InPlaceEdit with the range concerned).
class GridState final : public ControlState {
public:
    explicit GridState(Window& window);
    ~GridState() override;

    Window& window() const { return m_window; }

    // Shape.
    int rowCount() const { return static_cast<int>(m_rows.size()); }
    int columnCount() const { return static_cast<int>(m_columns.size()); }
    int fixedRows() const { return m_fixedRows; }
    int fixedColumns() const { return m_fixedColumns; }
    void setFixedRows(int count);
    void setFixedColumns(int count);
    const GridColumn& column(int index) const { return m_columns.at(static_cast<size_t>(index)); }
    /// \brief Inserts a column at \p index (-1 or the count: appends). \return its index
    int insertColumn(int index, GridColumn column);
    bool deleteColumn(int index);
    /// \brief Width of a column in pixels; column -1 is the row-number column.
    bool setColumnWidth(int index, int width);
    int columnWidth(int index) const;
    bool setColumnEditor(int index, GridEditor editor);
    /// \brief Inserts an empty row at \p index (-1 or the count: appends). \return its index
    int insertRow(int index);
    bool deleteRow(int index) { return deleteRows(index, index); }
    /// \brief Deletes rows \p first to \p last; later rows move up.
    bool deleteRows(int first, int last);
    void setRowCount(int count);
    void setColumnCount(int count);

    // The row-number column (left of column 0).
    bool rowNumbers() const { return m_rowNumbers; }
    int firstRowNumber() const { return m_firstRowNumber; }
    /// \brief Numbers the rows that are not fixed from \p first on.
    void setRowNumbers(bool on, int first = 1);
    /// \brief The label of a row in the row-number column ("" when it has none).
    std::string rowLabel(int row) const;

    // Cells.
    bool validCell(int row, int column) const {
        return row >= 0 && row < rowCount() && column >= 0 && column < columnCount();
    }
    const GridCell* cell(int row, int column) const;
    bool isFixed(int row, int column) const { return row < m_fixedRows || column < m_fixedColumns; }
    bool setText(int row, int column, const std::string& text);
    /// \brief The cell's GVIS_ bits, GVIS_FOCUSED included.
    UINT state(int row, int column) const;
    /// \brief Replaces all bits of the cell; GVIS_FOCUSED makes it the focus cell.
    bool setState(int row, int column, UINT state);
    bool setBackground(int row, int column, COLORREF colour);
    bool setForeground(int row, int column, COLORREF colour);
    bool setData(int row, int column, std::uint64_t data);
    bool setFormat(int row, int column, UINT format);
    bool setEditor(int row, int column, GridEditor editor);
    UINT format(int row, int column) const;
    GridEditor editor(int row, int column) const;
    /// \brief The colours a person sees (the grid's own where none was set).
    COLORREF shownBackground(int row, int column) const;
    COLORREF shownForeground(int row, int column) const;
    /// \brief True when a person may open the cell's editor.
    bool cellEditable(int row, int column) const;

    /// \brief Whether cells can be edited at all.
    bool editable() const { return m_editable; }
    void setEditable(bool editable);

    /// \brief A text shown beside a row (a refusal's reason); "" for none.
    const std::string& rowMessage(int row) const;
    bool setRowMessage(int row, const std::string& text);

    // Selection and focus cell.
    /// \brief The smallest range holding every selected cell.
    GridRange selectedRange() const;
    /// \brief Selects exactly the cells of \p range (an invalid range selects none).
    void setSelectedRange(const GridRange& range);
    int focusRow() const { return m_focusRow; }
    int focusColumn() const { return m_focusColumn; }
    void setFocusCell(int row, int column);
    /// \brief Selects one cell alone and makes it the focus cell.
    void selectCell(int row, int column);

    IGridListener* listener() const { return m_listener; }
    void setListener(IGridListener* listener) { m_listener = listener; }

    // The in-place editor.
    const GridEdit& edit() const { return m_edit; }
    /// \brief Opens the editor on a cell, when the cell is editable and neither the listener
    ///        nor the parent refuses. The cell becomes the focus cell.
    bool beginEdit(int row, int column);
    /// \brief Replaces the text of an open edit box.
    bool setEditText(const std::string& text);
    /// \brief Shows entry \p index of an open drop-down list in the editor.
    bool pickChoice(int index);
    /// \brief Ends the edit: \p commit stores the editor's text unless the listener or the
    ///        parent refuses it (the editor then stays open); otherwise the editor closes and
    ///        the cell keeps its text. \return true when no edit is pending afterwards
    bool endEdit(bool commit);
    /// \brief Closes the editor without asking anybody (the cell went away).
    void dropEdit();
    /// \brief Shows \p text in a balloon at the open editor's cell ("" hides it). \return false
    ///        when no editor is open
    bool setEditBalloon(const std::string& text);

    // Keyboard and focus. A grid keeps Enter and Escape for itself, as a control that asks for
    // every key: Enter opens the focus cell's editor or stores its text, Escape cancels an
    // open edit; neither reaches the dialog's buttons. Focus leaving commits an open edit.
    bool takeKey(Window& window, Key key) override;
    void focusLost(Window& window) override;

    /// \brief The framework object of the grid, for the listener.
    CGridCtrl* control() const;
    /// \brief Sends a WM_NOTIFY of the grid to its parent dialog. \return the handler's result
    LRESULT notifyParent(int code, int row, int column, std::string* text = nullptr,
                         std::vector<std::string>* choices = nullptr);
    /// \brief Set while the grid exists; callers hold a weak copy across handlers that might
    ///        destroy it.
    std::weak_ptr<bool> alive() const { return m_alive; }

private:
    GridCell* cellRef(int row, int column);
    void changedCells(int firstRow, int lastRow, int firstColumn = -1, int lastColumn = -1);
    /// Closes an edit whose cell is no longer editable.
    void checkEdit();
    /// The edit's text was refused: selected whole for the person to correct, with the focus
    /// taken back unless it is leaving.
    void refused();

    Window& m_window;
    struct Row {
        std::vector<GridCell> cells;
        std::string message;
    };
    std::vector<Row> m_rows;
    std::vector<GridColumn> m_columns;
    int m_fixedRows = 0;
    int m_fixedColumns = 0;
    int m_rowHeaderWidth = 0;
    bool m_rowNumbers = false;
    int m_firstRowNumber = 1;
    bool m_editable = true;
    int m_focusRow = -1;
    int m_focusColumn = -1;
    IGridListener* m_listener = nullptr;
    GridEdit m_edit;
    unsigned m_editsOpened = 0; ///< tells an edit from the next one on the same cell
    bool m_ending = false;
    bool m_losingFocus = false;
    std::shared_ptr<bool> m_alive = std::make_shared<bool>(true);
};

/// \brief The grid's own colours.
inline constexpr COLORREF kGridBackground = RGB(255, 255, 255);
inline constexpr COLORREF kGridFixedBackground = RGB(240, 240, 240);
inline constexpr COLORREF kGridText = RGB(0, 0, 0);

/// \brief The registration of the grid's window class.
ControlClass gridControlClass();

// --- User actions ---------------------------------------------------------------------------
// What a person does to a grid; each refuses (false, nothing changes) what a person could not
// do: act on a hidden or disabled grid, a cell that does not exist or is fixed, edit a
// read-only cell, or anything the listener or the parent refuses.

/// \brief Clicks a cell: ends a pending edit, asks the listener, selects the cell and makes it
///        the focus cell, notifies the parent (NM_CLICK) and tells the listener.
bool userGridClick(Window& grid, int row, int column);
/// \brief Moves the focus cell with the keyboard: selects the cell, notifies GVN_SELCHANGED.
bool userGridMove(Window& grid, int row, int column);
/// \brief Opens the in-place editor of a cell (double click, F2, or typing).
bool userGridBeginEdit(Window& grid, int row, int column);
/// \brief Replaces the text of the open edit box.
bool userGridEditText(Window& grid, const std::string& text);
/// \brief Picks entry \p index of the open drop-down list, which ends the edit with it.
bool userGridPick(Window& grid, int index);
/// \brief Ends the open edit: Enter (\p commit) or Escape.
bool userGridEndEdit(Window& grid, bool commit);

} // namespace platform

/// \brief A range of cells as the grid reports it.
class CCellRange {
public:
    CCellRange(int minRow = -1, int minCol = -1, int maxRow = -1, int maxCol = -1)
        : m_range{minRow, minCol, maxRow, maxCol} {}
    int GetMinRow() const { return m_range.minRow; }
    int GetMinCol() const { return m_range.minColumn; }
    int GetMaxRow() const { return m_range.maxRow; }
    int GetMaxCol() const { return m_range.maxColumn; }
    int GetRowSpan() const { return IsValid() ? m_range.maxRow - m_range.minRow + 1 : 0; }
    int GetColSpan() const { return IsValid() ? m_range.maxColumn - m_range.minColumn + 1 : 0; }
    bool IsValid() const { return m_range.valid(); }
    bool InRange(int row, int col) const { return m_range.contains(row, col); }
    bool operator==(const CCellRange&) const = default;

private:
    platform::GridRange m_range;
};

/// \brief The grid control. Rows and columns count from 0 and include the fixed ones; column
///        -1 is the row-number column. Calls made before Create, or on cells that do not
///        exist, do nothing and report failure.
class CGridCtrl : public CWnd {
public:
    CGridCtrl(int rows = 0, int columns = 0, int fixedRows = 0, int fixedColumns = 0);

    /// \brief Creates the grid window as a child of \p parent.
    virtual bool Create(const RECT& rect, CWnd* parent, UINT id,
                        DWORD style = WS_CHILD | WS_BORDER | WS_TABSTOP | WS_VISIBLE);
    using CWnd::Create;

    // Shape.
    /// \brief Inserts a column (\p column -1: appends). \return its index, -1 on failure
    int InsertColumn(const std::string& heading, UINT format = DT_LEFT | DT_VCENTER | DT_SINGLELINE,
                     int column = -1);
    bool DeleteColumn(int column);
    bool SetColumnWidth(int column, int width);
    int GetColumnWidth(int column) const;
    /// \brief Inserts an empty row (\p row -1: appends). \return its index, -1 on failure
    int InsertRow(int row = -1);
    bool DeleteRow(int row);
    bool DeleteNonFixedRows();
    bool SetRowCount(int rows);
    bool SetColumnCount(int columns);
    int GetRowCount() const;
    int GetColumnCount() const;
    bool SetFixedRowCount(int rows);
    bool SetFixedColumnCount(int columns);
    int GetFixedRowCount() const;
    int GetFixedColumnCount() const;
    /// \brief Numbers the rows that are not fixed, from \p first, in the row-number column.
    void SetRowNumbers(bool on, int first = 1);

    // Cells.
    bool SetItemText(int row, int col, const std::string& text);
    std::string GetItemText(int row, int col) const;
    /// \brief Replaces every state bit of the cell.
    bool SetItemState(int row, int col, UINT state);
    UINT GetItemState(int row, int col) const;
    bool SetItemBkColour(int row, int col, COLORREF colour = CLR_DEFAULT);
    COLORREF GetItemBkColour(int row, int col) const;
    bool SetItemFgColour(int row, int col, COLORREF colour = CLR_DEFAULT);
    COLORREF GetItemFgColour(int row, int col) const;
    bool SetItemData(int row, int col, std::uint64_t data);
    std::uint64_t GetItemData(int row, int col) const;
    bool SetItemFormat(int row, int col, UINT format);
    UINT GetItemFormat(int row, int col) const;
    /// \brief The in-place editor of one cell, or of a whole column.
    bool SetItemEditor(int row, int col, platform::GridEditor editor);
    bool SetColumnEditor(int col, platform::GridEditor editor);
    bool IsCellFixed(int row, int col) const;
    bool IsCellEditable(int row, int col) const;
    void SetEditable(bool editable = true);
    bool IsEditable() const;
    /// \brief A text shown beside row \p row (the reason a value was refused); "" removes it.
    bool SetRowMessage(int row, const std::string& text);
    std::string GetRowMessage(int row) const;

    // Selection.
    CCellRange GetSelectedCellRange() const;
    bool SetSelectedRange(int minRow, int minCol, int maxRow, int maxCol);
    bool SetSelectedRange(const CCellRange& range);
    bool SetFocusCell(int row, int col);
    bool GetFocusCell(int& row, int& col) const;

    // In-place editing.
    void SetListener(IGridListener* listener);
    IGridListener* GetListener() const;
    /// \brief Opens the editor on a cell, as a person would.
    bool EditCell(int row, int col);
    bool IsEditing() const;
    /// \brief Ends a pending edit by storing its text. \return false when the listener or the
    ///        parent refused it (the editor stays open); true when nothing is pending
    bool CommitEdit();
    /// \brief Ends a pending edit, leaving the cell as it was.
    void CancelEdit();
    /// \brief Shows \p text in a balloon at the cell being edited (the reason its text was
    ///        refused); "" hides it. Typing and the end of the edit hide it too. \return false
    ///        when no edit is pending
    bool ShowEditBalloon(const std::string& text);

    /// \brief The model state, or null before Create.
    platform::GridState* state() const;

private:
    IGridListener* m_listener = nullptr; ///< given before Create
    int m_initialRows;
    int m_initialColumns;
    int m_initialFixedRows;
    int m_initialFixedColumns;
};
