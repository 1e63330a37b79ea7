// The grid control: its state, its framework object, what a person does to it, and the
// registration of its window class.
#include "platform/grid.h"
#include "UserText.h"

#include <algorithm>

namespace platform {

namespace {

const std::string kNoText;

bool usable(const Window& w) {
    for (const Window* p = &w; p != nullptr; p = p->parent()) {
        if (!p->visible() || !p->enabled()) return false;
        if (p->kind() == ControlKind::Dialog && !(p->style() & WS_CHILD)) break;
    }
    return true;
}

/// Reports the rows of \p changed (sorted) as runs of consecutive rows, one change per run.
void reportRuns(Window& window, const std::vector<int>& changed) {
    size_t i = 0;
    while (i < changed.size()) {
        size_t j = i;
        while (j + 1 < changed.size() && changed[j + 1] == changed[j] + 1)
            ++j;
        window.changed(Change::Cells, ChangeRange{changed[i], changed[j], -1, -1});
        i = j + 1;
    }
}

} // namespace

int GridEdit::choice() const {
    auto found = std::find(choices.begin(), choices.end(), text);
    return found != choices.end() ? static_cast<int>(found - choices.begin()) : -1;
}

// --- GridState --------------------------------------------------------------------------------

GridState::GridState(Window& window) : m_window(window) {}

GridState::~GridState() = default;

GridCell* GridState::cellRef(int row, int column) {
    if (!validCell(row, column)) return nullptr;
    return &m_rows[static_cast<size_t>(row)].cells[static_cast<size_t>(column)];
}

const GridCell* GridState::cell(int row, int column) const {
    if (!validCell(row, column)) return nullptr;
    return &m_rows[static_cast<size_t>(row)].cells[static_cast<size_t>(column)];
}

void GridState::changedCells(int firstRow, int lastRow, int firstColumn, int lastColumn) {
    m_window.changed(Change::Cells, ChangeRange{firstRow, lastRow, firstColumn, lastColumn});
}

void GridState::setFixedRows(int count) {
    count = std::max(0, count);
    if (count == m_fixedRows) return;
    m_fixedRows = count;
    // Fixed cells look different and the row numbers start after them: every row may change.
    changedCells(-1, -1);
    checkEdit();
}

void GridState::setFixedColumns(int count) {
    count = std::max(0, count);
    if (count == m_fixedColumns) return;
    m_fixedColumns = count;
    changedCells(-1, -1);
    checkEdit();
}

int GridState::insertColumn(int index, GridColumn column) {
    int count = columnCount();
    if (index < 0 || index > count) index = count;
    m_columns.insert(m_columns.begin() + index, std::move(column));
    for (Row& row : m_rows)
        row.cells.insert(row.cells.begin() + index, GridCell{});
    if (m_focusColumn >= index) ++m_focusColumn;
    if (m_edit.active && m_edit.column >= index) ++m_edit.column;
    m_window.changed(Change::ColumnsInserted, ChangeRange{-1, -1, index, index});
    return index;
}

bool GridState::deleteColumn(int index) {
    if (index < 0 || index >= columnCount()) return false;
    if (m_edit.active && m_edit.column == index) dropEdit();
    m_columns.erase(m_columns.begin() + index);
    for (Row& row : m_rows)
        row.cells.erase(row.cells.begin() + index);
    if (m_focusColumn == index)
        m_focusRow = m_focusColumn = -1;
    else if (m_focusColumn > index)
        --m_focusColumn;
    if (m_edit.active && m_edit.column > index) --m_edit.column;
    m_fixedColumns = std::min(m_fixedColumns, columnCount());
    m_window.changed(Change::ColumnsRemoved, ChangeRange{-1, -1, index, index});
    return true;
}

bool GridState::setColumnWidth(int index, int width) {
    if (index < -1 || index >= columnCount() || width < 0) return false;
    int& current = index < 0 ? m_rowHeaderWidth : m_columns[static_cast<size_t>(index)].width;
    if (current == width) return true;
    current = width;
    m_window.changed(Change::Columns,
                     ChangeRange{-1, -1, index < 0 ? -1 : index, index < 0 ? -1 : index});
    return true;
}

int GridState::columnWidth(int index) const {
    if (index == -1) return m_rowHeaderWidth;
    return index >= 0 && index < columnCount() ? m_columns[static_cast<size_t>(index)].width : -1;
}

bool GridState::setColumnEditor(int index, GridEditor editor) {
    if (index < 0 || index >= columnCount()) return false;
    m_columns[static_cast<size_t>(index)].editor = editor;
    return true;
}

int GridState::insertRow(int index) {
    int count = rowCount();
    if (index < 0 || index > count) index = count;
    Row row;
    row.cells.resize(m_columns.size());
    m_rows.insert(m_rows.begin() + index, std::move(row));
    if (m_focusRow >= index) ++m_focusRow;
    if (m_edit.active && m_edit.row >= index) ++m_edit.row;
    m_window.changed(Change::RowsInserted, ChangeRange::items(index, index));
    return index;
}

bool GridState::deleteRows(int first, int last) {
    if (first < 0 || last < first || last >= rowCount()) return false;
    if (m_edit.active && m_edit.row >= first && m_edit.row <= last) dropEdit();
    m_rows.erase(m_rows.begin() + first, m_rows.begin() + last + 1);
    int removed = last - first + 1;
    if (m_focusRow >= first && m_focusRow <= last)
        m_focusRow = m_focusColumn = -1;
    else if (m_focusRow > last)
        m_focusRow -= removed;
    if (m_edit.active && m_edit.row > last) m_edit.row -= removed;
    m_fixedRows = std::min(m_fixedRows, rowCount());
    m_window.changed(Change::RowsRemoved, ChangeRange::items(first, last));
    return true;
}

void GridState::setRowCount(int count) {
    count = std::max(0, count);
    int old = rowCount();
    if (count < old) {
        deleteRows(count, old - 1);
    } else if (count > old) {
        if (m_edit.active && m_edit.row >= count) dropEdit();
        Row empty;
        empty.cells.resize(m_columns.size());
        m_rows.resize(static_cast<size_t>(count), empty);
        m_window.changed(Change::RowsInserted, ChangeRange::items(old, count - 1));
    }
}

void GridState::setColumnCount(int count) {
    count = std::max(0, count);
    while (columnCount() > count)
        deleteColumn(columnCount() - 1);
    while (columnCount() < count)
        insertColumn(-1, GridColumn{});
}

void GridState::setRowNumbers(bool on, int first) {
    if (on == m_rowNumbers && first == m_firstRowNumber) return;
    m_rowNumbers = on;
    m_firstRowNumber = first;
    m_window.changed(Change::Columns, ChangeRange{});
}

std::string GridState::rowLabel(int row) const {
    if (!m_rowNumbers || row < m_fixedRows || row >= rowCount()) return {};
    return std::to_string(m_firstRowNumber + row - m_fixedRows);
}

bool GridState::setText(int row, int column, const std::string& text) {
    GridCell* c = cellRef(row, column);
    if (c == nullptr) return false;
    if (c->text != text) {
        c->text = text;
        changedCells(row, row, column, column);
    }
    return true;
}

UINT GridState::state(int row, int column) const {
    const GridCell* c = cell(row, column);
    if (c == nullptr) return 0;
    return c->state | (row == m_focusRow && column == m_focusColumn ? GVIS_FOCUSED : 0u);
}

bool GridState::setState(int row, int column, UINT state) {
    GridCell* c = cellRef(row, column);
    if (c == nullptr) return false;
    UINT stored = state & ~GVIS_FOCUSED;
    if (c->state != stored) {
        c->state = stored;
        changedCells(row, row, column, column);
    }
    if (state & GVIS_FOCUSED)
        setFocusCell(row, column);
    else if (row == m_focusRow && column == m_focusColumn)
        setFocusCell(-1, -1);
    checkEdit();
    return true;
}

bool GridState::setBackground(int row, int column, COLORREF colour) {
    GridCell* c = cellRef(row, column);
    if (c == nullptr) return false;
    if (c->background != colour) {
        c->background = colour;
        changedCells(row, row, column, column);
    }
    return true;
}

bool GridState::setForeground(int row, int column, COLORREF colour) {
    GridCell* c = cellRef(row, column);
    if (c == nullptr) return false;
    if (c->foreground != colour) {
        c->foreground = colour;
        changedCells(row, row, column, column);
    }
    return true;
}

bool GridState::setData(int row, int column, std::uint64_t data) {
    GridCell* c = cellRef(row, column);
    if (c == nullptr) return false;
    c->data = data; // not shown: nothing to tell the view
    return true;
}

bool GridState::setFormat(int row, int column, UINT format) {
    GridCell* c = cellRef(row, column);
    if (c == nullptr) return false;
    if (c->format != format) {
        c->format = format;
        changedCells(row, row, column, column);
    }
    return true;
}

bool GridState::setEditor(int row, int column, GridEditor editor) {
    GridCell* c = cellRef(row, column);
    if (c == nullptr) return false;
    c->editor = editor;
    return true;
}

UINT GridState::format(int row, int column) const {
    const GridCell* c = cell(row, column);
    if (c == nullptr) return 0;
    return c->format.value_or(m_columns[static_cast<size_t>(column)].format);
}

GridEditor GridState::editor(int row, int column) const {
    const GridCell* c = cell(row, column);
    if (c == nullptr) return GridEditor::Text;
    return c->editor.value_or(m_columns[static_cast<size_t>(column)].editor);
}

COLORREF GridState::shownBackground(int row, int column) const {
    const GridCell* c = cell(row, column);
    if (c == nullptr) return kGridBackground;
    if (c->background != CLR_DEFAULT) return c->background;
    return isFixed(row, column) ? kGridFixedBackground : kGridBackground;
}

COLORREF GridState::shownForeground(int row, int column) const {
    const GridCell* c = cell(row, column);
    return c != nullptr && c->foreground != CLR_DEFAULT ? c->foreground : kGridText;
}

bool GridState::cellEditable(int row, int column) const {
    const GridCell* c = cell(row, column);
    return c != nullptr && m_editable && !isFixed(row, column) && !(c->state & GVIS_READONLY) &&
           editor(row, column) != GridEditor::None;
}

void GridState::setEditable(bool editable) {
    if (editable == m_editable) return;
    m_editable = editable;
    changedCells(-1, -1);
    checkEdit();
}

const std::string& GridState::rowMessage(int row) const {
    if (row < 0 || row >= rowCount()) return kNoText;
    return m_rows[static_cast<size_t>(row)].message;
}

bool GridState::setRowMessage(int row, const std::string& text) {
    if (row < 0 || row >= rowCount()) return false;
    std::string& message = m_rows[static_cast<size_t>(row)].message;
    if (message != text) {
        message = text;
        changedCells(row, row);
    }
    return true;
}

GridRange GridState::selectedRange() const {
    GridRange range;
    for (int r = 0; r < rowCount(); ++r) {
        const std::vector<GridCell>& cells = m_rows[static_cast<size_t>(r)].cells;
        for (int c = 0; c < columnCount(); ++c) {
            if (!(cells[static_cast<size_t>(c)].state & GVIS_SELECTED)) continue;
            if (!range.valid()) {
                range = GridRange{r, c, r, c};
                continue;
            }
            range.minColumn = std::min(range.minColumn, c);
            range.maxColumn = std::max(range.maxColumn, c);
            range.maxRow = r;
        }
    }
    return range;
}

void GridState::setSelectedRange(const GridRange& range) {
    std::vector<int> changed;
    for (int r = 0; r < rowCount(); ++r) {
        bool rowChanged = false;
        std::vector<GridCell>& cells = m_rows[static_cast<size_t>(r)].cells;
        for (int c = 0; c < columnCount(); ++c) {
            GridCell& cell = cells[static_cast<size_t>(c)];
            UINT wanted =
                range.contains(r, c) ? (cell.state | GVIS_SELECTED) : (cell.state & ~GVIS_SELECTED);
            if (wanted != cell.state) {
                cell.state = wanted;
                rowChanged = true;
            }
        }
        if (rowChanged) changed.push_back(r);
    }
    reportRuns(m_window, changed);
}

void GridState::setFocusCell(int row, int column) {
    if (!validCell(row, column)) row = column = -1;
    if (row == m_focusRow && column == m_focusColumn) return;
    int oldRow = m_focusRow, oldColumn = m_focusColumn;
    m_focusRow = row;
    m_focusColumn = column;
    if (oldRow >= 0) changedCells(oldRow, oldRow, oldColumn, oldColumn);
    if (row >= 0) changedCells(row, row, column, column);
}

void GridState::selectCell(int row, int column) {
    setSelectedRange(GridRange{row, column, row, column});
    setFocusCell(row, column);
}

CGridCtrl* GridState::control() const {
    return dynamic_cast<CGridCtrl*>(m_window.wrapper());
}

LRESULT GridState::notifyParent(int code, int row, int column, std::string* text,
                                std::vector<std::string>* choices) {
    Window* target = m_window.notifyTarget();
    if (target == nullptr) return 0;
    NM_GRIDVIEW info;
    info.hdr.hwndFrom = &m_window;
    info.hdr.idFrom = static_cast<UINT_PTR>(m_window.id());
    info.hdr.code = code;
    info.iRow = row;
    info.iColumn = column;
    info.pText = text;
    info.pChoices = choices;
    return target->attached()->SendMessage(WM_NOTIFY, static_cast<WPARAM>(m_window.id()),
                                           reinterpret_cast<LPARAM>(&info));
}

bool GridState::beginEdit(int row, int column) {
    if (!cellEditable(row, column)) return false;
    if (m_edit.active) {
        if (m_edit.row == row && m_edit.column == column) return true;
        if (!endEdit(true)) return false;
        if (!cellEditable(row, column)) return false;
    }
    std::weak_ptr<bool> living = m_alive;
    selectCell(row, column);
    GridEditor kind = editor(row, column);
    std::vector<std::string> choices;
    if (m_listener != nullptr) {
        if (CGridCtrl* grid = control()) {
            bool accepted = m_listener->OnGridBeginEdit(*grid, row, column, choices);
            if (living.expired() || !accepted) return false;
        }
    }
    LRESULT refused = notifyParent(GVN_BEGINLABELEDIT, row, column, nullptr,
                                   kind == GridEditor::DropDown ? &choices : nullptr);
    if (living.expired() || refused != 0) return false;
    // The handlers may have changed the grid meanwhile.
    if (!cellEditable(row, column) || m_edit.active) return false;
    m_edit.active = true;
    ++m_editsOpened;
    m_edit.row = row;
    m_edit.column = column;
    m_edit.kind = kind;
    m_edit.text = cell(row, column)->text;
    m_edit.choices = kind == GridEditor::DropDown ? std::move(choices) : std::vector<std::string>{};
    // As the system's edit box on its first show: the next key replaces the old text.
    m_edit.wholeTextSelected = true;
    m_edit.selectAllCount = 1;
    m_window.changed(Change::InPlaceEdit, ChangeRange{row, row, column, column});
    return true;
}

bool GridState::setEditText(const std::string& text) {
    if (!m_edit.active || m_edit.kind != GridEditor::Text) return false;
    if (m_edit.text != text) {
        m_edit.text = text;
        m_edit.wholeTextSelected = false;
        m_edit.balloon.clear(); // as the system's balloons, it goes at the first key
        m_window.changed(Change::InPlaceEdit,
                         ChangeRange{m_edit.row, m_edit.row, m_edit.column, m_edit.column});
    }
    return true;
}

bool GridState::pickChoice(int index) {
    if (!m_edit.active || m_edit.kind != GridEditor::DropDown || index < 0 ||
        index >= static_cast<int>(m_edit.choices.size()))
        return false;
    m_edit.text = m_edit.choices[static_cast<size_t>(index)];
    m_window.changed(Change::InPlaceEdit,
                     ChangeRange{m_edit.row, m_edit.row, m_edit.column, m_edit.column});
    return true;
}

bool GridState::endEdit(bool commit) {
    if (!m_edit.active) return true;
    if (!commit) {
        int row = m_edit.row, column = m_edit.column;
        dropEdit();
        if (m_listener != nullptr)
            if (CGridCtrl* grid = control()) m_listener->OnGridCancelEdit(*grid, row, column);
        return true;
    }
    // A handler that makes the edit end again (a message box taking the focus away) finds it
    // still pending.
    if (m_ending) return false;
    m_ending = true;
    std::weak_ptr<bool> living = m_alive;
    int row = m_edit.row, column = m_edit.column;
    unsigned opened = m_editsOpened;
    std::string text = m_edit.text;
    bool accepted = true;
    if (m_listener != nullptr) {
        if (CGridCtrl* grid = control())
            accepted = m_listener->OnGridEndEdit(*grid, row, column, text);
    }
    if (living.expired()) return true;
    if (accepted) {
        accepted = notifyParent(GVN_ENDLABELEDIT, row, column, &text) == 0;
        if (living.expired()) return true;
    }
    m_ending = false;
    if (!m_edit.active || m_editsOpened != opened) return true; // a handler closed it
    if (!accepted) {
        refused();
        return false;
    }
    // The edit follows its cell when the handlers moved rows or columns.
    row = m_edit.row;
    column = m_edit.column;
    dropEdit();
    setText(row, column, text);
    return true;
}

void GridState::dropEdit() {
    if (!m_edit.active) return;
    GridEdit closed = std::move(m_edit);
    m_edit = GridEdit{};
    m_window.changed(Change::InPlaceEdit,
                     ChangeRange{closed.row, closed.row, closed.column, closed.column});
}

bool GridState::setEditBalloon(const std::string& text) {
    if (!m_edit.active) return false;
    if (m_edit.balloon != text) {
        m_edit.balloon = text;
        m_window.changed(Change::InPlaceEdit,
                         ChangeRange{m_edit.row, m_edit.row, m_edit.column, m_edit.column});
    }
    return true;
}

void GridState::refused() {
    m_edit.wholeTextSelected = true;
    ++m_edit.selectAllCount;
    m_window.changed(Change::InPlaceEdit,
                     ChangeRange{m_edit.row, m_edit.row, m_edit.column, m_edit.column});
    // The person is to correct the text: the focus goes back into the editor, unless it is
    // just leaving for another window (it would never get there).
    if (!m_losingFocus && focusWindow() != &m_window && m_window.reallyVisible())
        setFocusWindow(&m_window);
}

void GridState::checkEdit() {
    if (m_edit.active && !cellEditable(m_edit.row, m_edit.column)) dropEdit();
}

bool GridState::takeKey(Window&, Key key) {
    if (key == Key::Escape) {
        endEdit(false);
    } else if (m_edit.active) {
        endEdit(true);
    } else if (cellEditable(m_focusRow, m_focusColumn)) {
        beginEdit(m_focusRow, m_focusColumn);
    }
    return true;
}

void GridState::focusLost(Window&) {
    if (!m_edit.active) return;
    std::weak_ptr<bool> living = m_alive;
    m_losingFocus = true;
    endEdit(true);
    if (!living.expired()) m_losingFocus = false;
}

ControlClass gridControlClass() {
    return ControlClass{GRIDCTRL_CLASSNAME, [](DWORD) { return ControlKind::Grid; },
                        [](Window& window) -> std::unique_ptr<ControlState> {
                            return std::make_unique<GridState>(window);
                        },
                        [] { return std::make_unique<CGridCtrl>(); }};
}

// --- User actions -----------------------------------------------------------------------------

namespace {

GridState* usableGrid(Window& window) {
    GridState* grid = window.stateAs<GridState>();
    return grid != nullptr && usable(window) ? grid : nullptr;
}

bool editingAt(const GridState& grid, int row, int column) {
    return grid.edit().active && grid.edit().row == row && grid.edit().column == column;
}

} // namespace

bool userGridClick(Window& window, int row, int column) {
    GridState* grid = usableGrid(window);
    if (grid == nullptr || !grid->validCell(row, column) || grid->isFixed(row, column))
        return false;
    if (editingAt(*grid, row, column)) return true; // a click inside the open editor
    std::weak_ptr<bool> living = grid->alive();
    if (!grid->endEdit(true) || living.expired()) return false;
    if (!grid->validCell(row, column)) return false;
    if (IGridListener* listener = grid->listener()) {
        if (CGridCtrl* control = grid->control()) {
            bool accepted = listener->OnGridClick(*control, row, column);
            if (living.expired() || !accepted || !grid->validCell(row, column)) return false;
        }
    }
    setFocusWindow(&window);
    if (living.expired()) return false;
    grid->selectCell(row, column);
    grid->notifyParent(NM_CLICK, row, column);
    if (living.expired()) return true;
    if (IGridListener* listener = grid->listener())
        if (CGridCtrl* control = grid->control()) listener->OnGridClicked(*control, row, column);
    return true;
}

bool userGridMove(Window& window, int row, int column) {
    GridState* grid = usableGrid(window);
    if (grid == nullptr || !grid->validCell(row, column) || grid->isFixed(row, column))
        return false;
    std::weak_ptr<bool> living = grid->alive();
    if (!grid->endEdit(true) || living.expired() || !grid->validCell(row, column)) return false;
    setFocusWindow(&window);
    if (living.expired()) return false;
    grid->selectCell(row, column);
    grid->notifyParent(GVN_SELCHANGED, row, column);
    return true;
}

bool userGridBeginEdit(Window& window, int row, int column) {
    GridState* grid = usableGrid(window);
    if (grid == nullptr || !grid->cellEditable(row, column)) return false;
    std::weak_ptr<bool> living = grid->alive();
    setFocusWindow(&window);
    return !living.expired() && grid->beginEdit(row, column);
}

bool userGridEditText(Window& window, const std::string& text) {
    GridState* grid = usableGrid(window);
    return grid != nullptr && grid->setEditText(validUserText(text));
}

bool userGridPick(Window& window, int index) {
    GridState* grid = usableGrid(window);
    return grid != nullptr && grid->pickChoice(index) && grid->endEdit(true);
}

bool userGridEndEdit(Window& window, bool commit) {
    GridState* grid = usableGrid(window);
    return grid != nullptr && grid->edit().active && grid->endEdit(commit);
}

} // namespace platform

// --- CGridCtrl --------------------------------------------------------------------------------

using platform::GridState;

CGridCtrl::CGridCtrl(int rows, int columns, int fixedRows, int fixedColumns)
    : m_initialRows(rows), m_initialColumns(columns), m_initialFixedRows(fixedRows),
      m_initialFixedColumns(fixedColumns) {}

GridState* CGridCtrl::state() const {
    return m_hWnd != nullptr ? m_hWnd->stateAs<GridState>() : nullptr;
}

bool CGridCtrl::Create(const RECT& rect, CWnd* parent, UINT id, DWORD style) {
    if (!CWnd::Create(GRIDCTRL_CLASSNAME, "", style | WS_CHILD, rect, parent, id)) return false;
    GridState* s = state();
    if (s == nullptr) return false;
    s->setColumnCount(m_initialColumns);
    s->setRowCount(m_initialRows);
    s->setFixedRows(m_initialFixedRows);
    s->setFixedColumns(m_initialFixedColumns);
    s->setListener(m_listener);
    return true;
}

int CGridCtrl::InsertColumn(const std::string& heading, UINT format, int column) {
    GridState* s = state();
    if (s == nullptr) return -1;
    platform::GridColumn added;
    added.heading = heading;
    added.format = format;
    return s->insertColumn(column, std::move(added));
}

bool CGridCtrl::DeleteColumn(int column) {
    GridState* s = state();
    return s != nullptr && s->deleteColumn(column);
}

bool CGridCtrl::SetColumnWidth(int column, int width) {
    GridState* s = state();
    return s != nullptr && s->setColumnWidth(column, width);
}

int CGridCtrl::GetColumnWidth(int column) const {
    GridState* s = state();
    return s != nullptr ? s->columnWidth(column) : -1;
}

int CGridCtrl::InsertRow(int row) {
    GridState* s = state();
    return s != nullptr ? s->insertRow(row) : -1;
}

bool CGridCtrl::DeleteRow(int row) {
    GridState* s = state();
    return s != nullptr && s->deleteRow(row);
}

bool CGridCtrl::DeleteNonFixedRows() {
    GridState* s = state();
    if (s == nullptr) return false;
    if (s->rowCount() > s->fixedRows()) s->deleteRows(s->fixedRows(), s->rowCount() - 1);
    return true;
}

bool CGridCtrl::SetRowCount(int rows) {
    GridState* s = state();
    if (s == nullptr || rows < 0) return false;
    s->setRowCount(rows);
    return true;
}

bool CGridCtrl::SetColumnCount(int columns) {
    GridState* s = state();
    if (s == nullptr || columns < 0) return false;
    s->setColumnCount(columns);
    return true;
}

int CGridCtrl::GetRowCount() const {
    GridState* s = state();
    return s != nullptr ? s->rowCount() : 0;
}

int CGridCtrl::GetColumnCount() const {
    GridState* s = state();
    return s != nullptr ? s->columnCount() : 0;
}

bool CGridCtrl::SetFixedRowCount(int rows) {
    GridState* s = state();
    if (s == nullptr || rows < 0) return false;
    s->setFixedRows(rows);
    return true;
}

bool CGridCtrl::SetFixedColumnCount(int columns) {
    GridState* s = state();
    if (s == nullptr || columns < 0) return false;
    s->setFixedColumns(columns);
    return true;
}

int CGridCtrl::GetFixedRowCount() const {
    GridState* s = state();
    return s != nullptr ? s->fixedRows() : 0;
}

int CGridCtrl::GetFixedColumnCount() const {
    GridState* s = state();
    return s != nullptr ? s->fixedColumns() : 0;
}

void CGridCtrl::SetRowNumbers(bool on, int first) {
    if (GridState* s = state()) s->setRowNumbers(on, first);
}

bool CGridCtrl::SetItemText(int row, int col, const std::string& text) {
    GridState* s = state();
    return s != nullptr && s->setText(row, col, text);
}

std::string CGridCtrl::GetItemText(int row, int col) const {
    GridState* s = state();
    const platform::GridCell* c = s != nullptr ? s->cell(row, col) : nullptr;
    return c != nullptr ? c->text : std::string();
}

bool CGridCtrl::SetItemState(int row, int col, UINT state) {
    GridState* s = this->state();
    return s != nullptr && s->setState(row, col, state);
}

UINT CGridCtrl::GetItemState(int row, int col) const {
    GridState* s = state();
    return s != nullptr ? s->state(row, col) : 0;
}

bool CGridCtrl::SetItemBkColour(int row, int col, COLORREF colour) {
    GridState* s = state();
    return s != nullptr && s->setBackground(row, col, colour);
}

COLORREF CGridCtrl::GetItemBkColour(int row, int col) const {
    GridState* s = state();
    const platform::GridCell* c = s != nullptr ? s->cell(row, col) : nullptr;
    return c != nullptr ? c->background : CLR_DEFAULT;
}

bool CGridCtrl::SetItemFgColour(int row, int col, COLORREF colour) {
    GridState* s = state();
    return s != nullptr && s->setForeground(row, col, colour);
}

COLORREF CGridCtrl::GetItemFgColour(int row, int col) const {
    GridState* s = state();
    const platform::GridCell* c = s != nullptr ? s->cell(row, col) : nullptr;
    return c != nullptr ? c->foreground : CLR_DEFAULT;
}

bool CGridCtrl::SetItemData(int row, int col, std::uint64_t data) {
    GridState* s = state();
    return s != nullptr && s->setData(row, col, data);
}

std::uint64_t CGridCtrl::GetItemData(int row, int col) const {
    GridState* s = state();
    const platform::GridCell* c = s != nullptr ? s->cell(row, col) : nullptr;
    return c != nullptr ? c->data : 0;
}

bool CGridCtrl::SetItemFormat(int row, int col, UINT format) {
    GridState* s = state();
    return s != nullptr && s->setFormat(row, col, format);
}

UINT CGridCtrl::GetItemFormat(int row, int col) const {
    GridState* s = state();
    return s != nullptr ? s->format(row, col) : 0;
}

bool CGridCtrl::SetItemEditor(int row, int col, platform::GridEditor editor) {
    GridState* s = state();
    return s != nullptr && s->setEditor(row, col, editor);
}

bool CGridCtrl::SetColumnEditor(int col, platform::GridEditor editor) {
    GridState* s = state();
    return s != nullptr && s->setColumnEditor(col, editor);
}

bool CGridCtrl::IsCellFixed(int row, int col) const {
    GridState* s = state();
    return s != nullptr && s->validCell(row, col) && s->isFixed(row, col);
}

bool CGridCtrl::IsCellEditable(int row, int col) const {
    GridState* s = state();
    return s != nullptr && s->cellEditable(row, col);
}

void CGridCtrl::SetEditable(bool editable) {
    if (GridState* s = state()) s->setEditable(editable);
}

bool CGridCtrl::IsEditable() const {
    GridState* s = state();
    return s != nullptr && s->editable();
}

bool CGridCtrl::SetRowMessage(int row, const std::string& text) {
    GridState* s = state();
    return s != nullptr && s->setRowMessage(row, text);
}

std::string CGridCtrl::GetRowMessage(int row) const {
    GridState* s = state();
    return s != nullptr ? s->rowMessage(row) : std::string();
}

CCellRange CGridCtrl::GetSelectedCellRange() const {
    GridState* s = state();
    if (s == nullptr) return CCellRange();
    platform::GridRange r = s->selectedRange();
    return CCellRange(r.minRow, r.minColumn, r.maxRow, r.maxColumn);
}

bool CGridCtrl::SetSelectedRange(int minRow, int minCol, int maxRow, int maxCol) {
    GridState* s = state();
    if (s == nullptr) return false;
    s->setSelectedRange(platform::GridRange{minRow, minCol, maxRow, maxCol});
    return true;
}

bool CGridCtrl::SetSelectedRange(const CCellRange& range) {
    return SetSelectedRange(range.GetMinRow(), range.GetMinCol(), range.GetMaxRow(),
                            range.GetMaxCol());
}

bool CGridCtrl::SetFocusCell(int row, int col) {
    GridState* s = state();
    if (s == nullptr || (!s->validCell(row, col) && (row != -1 || col != -1))) return false;
    s->setFocusCell(row, col);
    return true;
}

bool CGridCtrl::GetFocusCell(int& row, int& col) const {
    GridState* s = state();
    row = s != nullptr ? s->focusRow() : -1;
    col = s != nullptr ? s->focusColumn() : -1;
    return row >= 0;
}

void CGridCtrl::SetListener(IGridListener* listener) {
    m_listener = listener;
    if (GridState* s = state()) s->setListener(listener);
}

IGridListener* CGridCtrl::GetListener() const {
    GridState* s = state();
    return s != nullptr ? s->listener() : m_listener;
}

bool CGridCtrl::EditCell(int row, int col) {
    GridState* s = state();
    return s != nullptr && s->beginEdit(row, col);
}

bool CGridCtrl::IsEditing() const {
    GridState* s = state();
    return s != nullptr && s->edit().active;
}

bool CGridCtrl::CommitEdit() {
    GridState* s = state();
    return s == nullptr || s->endEdit(true);
}

void CGridCtrl::CancelEdit() {
    if (GridState* s = state()) s->endEdit(false);
}

bool CGridCtrl::ShowEditBalloon(const std::string& text) {
    GridState* s = state();
    return s != nullptr && s->setEditBalloon(text);
}
