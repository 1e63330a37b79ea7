#include "gpsdialogs/interfaces/MsGrid.h"

CMSGridCtrl2::CMSGridCtrl2() : CGridCtrl(0, 0, 0, 0) {
    SetListener(this);
}

CMSGridCtrl2::~CMSGridCtrl2() = default;

bool CMSGridCtrl2::Create(const RECT& rect, CWnd* parent, UINT id, DWORD style) {
    return CGridCtrl::Create(rect, parent, id, style);
}

int CMSGridCtrl2::InsertColumn(const std::string& heading, UINT format, int column) {
    int index = CGridCtrl::InsertColumn(heading, format, column);
    if (index < 0) return index;
    // The first column names the row; the values after it are chosen from the listener's list.
    for (int c = 0; c < GetColumnCount(); ++c)
        SetColumnEditor(c, c == 0 ? platform::GridEditor::None : platform::GridEditor::DropDown);
    return index;
}

bool CMSGridCtrl2::FormatRow(int row, const CMsGrid_ItemFormat& format) {
    if (row < 0 || row >= GetRowCount()) return false;
    for (int c = 0; c < GetColumnCount(); ++c) {
        SetItemFormat(row, c, format.nFormat);
        if (format.crBkClr != CLR_DEFAULT) SetItemBkColour(row, c, format.crBkClr);
        if (format.crFgClr != CLR_DEFAULT) SetItemFgColour(row, c, format.crFgClr);
    }
    return true;
}

POINT CMSGridCtrl2::cellPoint(int row, int column) const {
    // A point inside the cell: the listener's mouse operations take positions, as the mouse
    // gives them; the cell itself is what the grid's selection says.
    POINT point{0, 0};
    int x = GetColumnWidth(-1);
    for (int c = 0; c < column; ++c)
        x += GetColumnWidth(c);
    point.x = x + 1;
    point.y = row * 20 + 1;
    return point;
}

bool CMSGridCtrl2::OnGridClick(CGridCtrl&, int row, int column) {
    if (m_notify == nullptr) return true;
    return m_notify->OnProcessLButtonDown(this, MK_LBUTTON, cellPoint(row, column));
}

void CMSGridCtrl2::OnGridClicked(CGridCtrl&, int row, int column) {
    if (m_notify != nullptr) m_notify->OnProcessLButtonUp(this, 0, cellPoint(row, column));
}

bool CMSGridCtrl2::OnGridBeginEdit(CGridCtrl&, int row, int column,
                                   std::vector<std::string>& choices) {
    if (m_notify == nullptr) return false;
    if (!m_notify->OnProcessEditCell(this, row, column)) return false;
    if (!m_notify->OnProcessCreateInPlaceControl(this, row, column)) return false;
    m_notify->OnProcessFillInPlaceComboControl(this, row, column, GetItemText(row, column),
                                               choices);
    return !choices.empty();
}
