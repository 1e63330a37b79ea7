// The toolkit's property grid on the platform's grid.
#include "gpsdialogs/interfaces/PropertyCtrl.h"

#include <cmath>
#include <cstddef>

namespace {

const char* const kYes = "S\xc3\xac"; // "Sì"
const char* const kNo = "No";
constexpr COLORREF kReadOnlyBackground = RGB(236, 236, 236);

} // namespace

CPropertyCtrl::CPropertyCtrl() = default;

CPropertyCtrl::~CPropertyCtrl() = default;

bool CPropertyCtrl::Create(const RECT& rect, CWnd* parent, UINT id, DWORD style) {
    if (!CGridCtrl::Create(rect, parent, id, style)) return false;
    SetListener(this);
    InsertColumn("Propriet\xc3\xa0");
    InsertColumn("Valore");
    SetFixedColumnCount(1);
    const int width = rect.right - rect.left;
    const int nameWidth = width * 2 / 5;
    SetColumnWidth(0, nameWidth);
    // The value column takes the rest, less the border and a vertical scroll bar.
    SetColumnWidth(kValueColumn, width - nameWidth - 22 > 40 ? width - nameWidth - 22 : 40);
    return true;
}

int CPropertyCtrl::AddProperty(const std::string& name, kit::CPolyValue::Type type, bool readOnly) {
    if (GetSafeHwnd() == nullptr) return -1;
    const int row = InsertRow();
    if (row < 0) return -1;
    m_types.push_back(type);
    m_values.emplace_back();
    SetItemText(row, 0, name);
    if (type == kit::CPolyValue::Type::Bool)
        SetItemEditor(row, kValueColumn, platform::GridEditor::DropDown);
    if (type == kit::CPolyValue::Type::Long || type == kit::CPolyValue::Type::Double)
        SetItemFormat(row, kValueColumn, DT_RIGHT | DT_VCENTER | DT_SINGLELINE);
    if (readOnly) {
        SetItemState(row, kValueColumn, GVIS_READONLY);
        SetItemBkColour(row, kValueColumn, kReadOnlyBackground);
    }
    return row - kFirstRow;
}

void CPropertyCtrl::RemoveAllProperties() {
    if (GetSafeHwnd() != nullptr) DeleteNonFixedRows();
    m_types.clear();
    m_values.clear();
}

kit::CPolyValue::Type CPropertyCtrl::GetPropertyType(int index) const {
    if (index < 0 || index >= GetPropertyCount()) return kit::CPolyValue::Type::Empty;
    return m_types[static_cast<std::size_t>(index)];
}

bool CPropertyCtrl::SetCurrentPropertyValue(int index, const kit::CPolyValue& value) {
    if (index < 0 || index >= GetPropertyCount()) return false;
    kit::CPolyValue converted;
    if (!value.ConvertTo(GetPropertyType(index), converted)) return false;
    const int row = index + kFirstRow;
    // A value set by the program replaces whatever was being typed into that cell.
    if (IsEditing()) {
        int focusRow = -1;
        int focusColumn = -1;
        if (GetFocusCell(focusRow, focusColumn) && focusRow == row) CancelEdit();
    }
    m_values[static_cast<std::size_t>(index)] = converted;
    SetItemText(row, kValueColumn, DisplayText(converted));
    SetRowMessage(row, "");
    return true;
}

bool CPropertyCtrl::GetCurrentPropertyValue(int index, kit::CPolyValue& value) const {
    if (index < 0 || index >= GetPropertyCount()) return false;
    value = m_values[static_cast<std::size_t>(index)];
    return true;
}

bool CPropertyCtrl::CommitPendingValue() {
    return CommitEdit();
}

std::string CPropertyCtrl::DisplayText(const kit::CPolyValue& value) {
    if (value.GetType() == kit::CPolyValue::Type::Bool) return value.GetBool() ? kYes : kNo;
    return value.ToString().GetText();
}

namespace {

// Infinities and "not a number" are numbers to the toolkit's reading, but no attribute can
// hold them: they could be neither written nor read back.
bool finite(const kit::CPolyValue& value) {
    return value.GetType() != kit::CPolyValue::Type::Double || std::isfinite(value.GetDouble());
}

} // namespace

std::string CPropertyCtrl::RefusalReason(kit::CPolyValue::Type type, const std::string& text) {
    kit::CPolyValue converted;
    if (kit::CPolyValue(kit::String(text)).ConvertTo(type, converted)) {
        if (finite(converted)) return {};
        return "Valore non valido: serve un numero finito (per esempio 12.5), non infinito o "
               "indefinito";
    }
    switch (type) {
    case kit::CPolyValue::Type::Long:
        return "Valore non valido: serve un numero intero da -2147483648 a 2147483647";
    case kit::CPolyValue::Type::Double:
        return "Valore non valido: serve un numero (per esempio 12.5)";
    case kit::CPolyValue::Type::Bool:
        return "Valore non valido: scegliere S\xc3\xac o No";
    case kit::CPolyValue::Type::Date:
        return "Valore non valido: serve una data esistente, nella forma gg/mm/aaaa";
    default:
        return "Valore non valido";
    }
}

bool CPropertyCtrl::OnPropertyChanged(int /*index*/, const kit::CPolyValue& /*value*/) {
    return true;
}

bool CPropertyCtrl::OnGridBeginEdit(CGridCtrl& /*grid*/, int row, int column,
                                    std::vector<std::string>& choices) {
    const int index = row - kFirstRow;
    if (column != kValueColumn || index < 0 || index >= GetPropertyCount()) return false;
    if (GetPropertyType(index) == kit::CPolyValue::Type::Bool) choices = {"", kYes, kNo};
    return true;
}

bool CPropertyCtrl::Parse(int index, const std::string& text, kit::CPolyValue& value) const {
    const kit::CPolyValue::Type type = GetPropertyType(index);
    if (type == kit::CPolyValue::Type::Bool) {
        if (text == kYes) {
            value = kit::CPolyValue(true);
            return true;
        }
        if (text == kNo) {
            value = kit::CPolyValue(false);
            return true;
        }
    }
    return kit::CPolyValue(kit::String(text)).ConvertTo(type, value) && finite(value);
}

bool CPropertyCtrl::OnGridEndEdit(CGridCtrl& /*grid*/, int row, int column, std::string& text) {
    const int index = row - kFirstRow;
    if (column != kValueColumn || index < 0 || index >= GetPropertyCount()) return false;
    kit::CPolyValue value;
    if (!Parse(index, text, value)) {
        const std::string reason = RefusalReason(GetPropertyType(index), text);
        Refuse(row, reason.empty() ? "Valore non valido" : reason);
        return false;
    }
    if (!OnPropertyChanged(index, value)) {
        Refuse(row, "Valore non accettato");
        return false;
    }
    m_values[static_cast<std::size_t>(index)] = value;
    text = DisplayText(value);
    SetRowMessage(row, "");
    return true;
}

void CPropertyCtrl::Refuse(int row, const std::string& reason) {
    // Beside the row for as long as the text stays, and in a balloon at the cell until the
    // person types.
    SetRowMessage(row, reason);
    ShowEditBalloon(reason);
}

void CPropertyCtrl::OnGridCancelEdit(CGridCtrl& /*grid*/, int row, int /*column*/) {
    // The cell shows its accepted value again: nothing is wrong with it any more.
    SetRowMessage(row, "");
}
