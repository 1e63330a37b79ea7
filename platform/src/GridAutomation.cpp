// The automation accessor of grids: reads what a person sees in a grid and acts through the
// grid's user actions.
#include "platform/automation.h"
#include "platform/dialog.h"
#include "platform/grid.h"

#include <algorithm>

using platform::GridState;
using platform::Window;

namespace automation {

namespace {

GridState* gridOf(Window* window) {
    return window != nullptr ? window->stateAs<GridState>() : nullptr;
}

} // namespace

Grid Dialog::grid(int id) const {
    return Grid(*this, id);
}

Window* Grid::window() const {
    Window* w = m_dialog.control(m_id);
    return gridOf(w) != nullptr ? w : nullptr;
}

bool Grid::exists() const {
    return window() != nullptr;
}

int Grid::rows() const {
    GridState* g = gridOf(window());
    return g != nullptr ? g->rowCount() : 0;
}

int Grid::columns() const {
    GridState* g = gridOf(window());
    return g != nullptr ? g->columnCount() : 0;
}

int Grid::fixedRows() const {
    GridState* g = gridOf(window());
    return g != nullptr ? g->fixedRows() : 0;
}

int Grid::fixedColumns() const {
    GridState* g = gridOf(window());
    return g != nullptr ? g->fixedColumns() : 0;
}

std::string Grid::heading(int column) const {
    GridState* g = gridOf(window());
    if (g == nullptr || column < 0 || column >= g->columnCount()) return {};
    return g->column(column).heading;
}

std::string Grid::rowLabel(int row) const {
    GridState* g = gridOf(window());
    return g != nullptr ? g->rowLabel(row) : std::string();
}

std::string Grid::text(int row, int column) const {
    GridState* g = gridOf(window());
    const platform::GridCell* c = g != nullptr ? g->cell(row, column) : nullptr;
    return c != nullptr ? c->text : std::string();
}

UINT Grid::state(int row, int column) const {
    GridState* g = gridOf(window());
    return g != nullptr ? g->state(row, column) : 0;
}

bool Grid::readOnly(int row, int column) const {
    GridState* g = gridOf(window());
    return g != nullptr && g->validCell(row, column) && !g->cellEditable(row, column);
}

COLORREF Grid::colour(int row, int column) const {
    GridState* g = gridOf(window());
    return g != nullptr ? g->shownBackground(row, column) : platform::kGridBackground;
}

COLORREF Grid::textColour(int row, int column) const {
    GridState* g = gridOf(window());
    return g != nullptr ? g->shownForeground(row, column) : platform::kGridText;
}

std::string Grid::message(int row) const {
    GridState* g = gridOf(window());
    return g != nullptr ? g->rowMessage(row) : std::string();
}

bool Grid::editing() const {
    GridState* g = gridOf(window());
    return g != nullptr && g->edit().active;
}

std::string Grid::editText() const {
    GridState* g = gridOf(window());
    return g != nullptr && g->edit().active ? g->edit().text : std::string();
}

int Grid::editRow() const {
    GridState* g = gridOf(window());
    return g != nullptr && g->edit().active ? g->edit().row : -1;
}

int Grid::editColumn() const {
    GridState* g = gridOf(window());
    return g != nullptr && g->edit().active ? g->edit().column : -1;
}

bool Grid::editTextSelected() const {
    GridState* g = gridOf(window());
    return g != nullptr && g->edit().active && g->edit().wholeTextSelected;
}

std::string Grid::balloon() const {
    GridState* g = gridOf(window());
    return g != nullptr && g->edit().active ? g->edit().balloon : std::string();
}

bool Grid::click(int row, int column) {
    Window* w = m_dialog.isOpen() ? window() : nullptr;
    return w != nullptr && platform::userGridClick(*w, row, column);
}

bool Grid::moveTo(int row, int column) {
    Window* w = m_dialog.isOpen() ? window() : nullptr;
    return w != nullptr && platform::userGridMove(*w, row, column);
}

std::vector<std::string> Grid::choices(int row, int column) {
    Window* w = m_dialog.isOpen() ? window() : nullptr;
    GridState* g = gridOf(w);
    if (g == nullptr || g->editor(row, column) != platform::GridEditor::DropDown) return {};
    if (!platform::userGridBeginEdit(*w, row, column)) return {};
    w = window();
    g = gridOf(w);
    if (g == nullptr) return {};
    std::vector<std::string> result = g->edit().choices;
    platform::userGridEndEdit(*w, false);
    return result;
}

bool Grid::edit(int row, int column, const std::string& text) {
    if (!click(row, column) || !beginEdit(row, column)) return false;
    GridState* g = gridOf(window());
    if (g == nullptr || !g->edit().active) return false;
    if (g->edit().kind == platform::GridEditor::DropDown) {
        const std::vector<std::string>& choices = g->edit().choices;
        auto found = std::find(choices.begin(), choices.end(), text);
        if (found == choices.end()) {
            escape(); // nothing to pick: the list is closed again
            return false;
        }
        return pick(static_cast<int>(found - choices.begin()));
    }
    return setEditText(text) && enter();
}

bool Grid::beginEdit(int row, int column) {
    Window* w = m_dialog.isOpen() ? window() : nullptr;
    return w != nullptr && platform::userGridBeginEdit(*w, row, column);
}

bool Grid::setEditText(const std::string& text) {
    Window* w = m_dialog.isOpen() ? window() : nullptr;
    return w != nullptr && platform::userGridEditText(*w, text);
}

bool Grid::type(const std::string& keys) {
    Window* w = m_dialog.isOpen() ? window() : nullptr;
    GridState* g = gridOf(w);
    if (g == nullptr || !g->edit().active || g->edit().kind != platform::GridEditor::Text)
        return false;
    std::string text = g->edit().wholeTextSelected ? keys : g->edit().text + keys;
    return platform::userGridEditText(*w, text);
}

bool Grid::pick(int index) {
    Window* w = m_dialog.isOpen() ? window() : nullptr;
    return w != nullptr && platform::userGridPick(*w, index);
}

bool Grid::enter() {
    Window* w = m_dialog.isOpen() ? window() : nullptr;
    return w != nullptr && platform::userGridEndEdit(*w, true);
}

bool Grid::escape() {
    Window* w = m_dialog.isOpen() ? window() : nullptr;
    return w != nullptr && platform::userGridEndEdit(*w, false);
}

} // namespace automation
