#include "DlgSelDatiFile.h"

#include "gpsdialogs/interfaces/Kit.h"
#include "platform/module.h"
#include "resource.h"

#include <algorithm>
#include <array>

namespace {

// Which fields take a number of decimals, by id.
constexpr std::array<bool, CDlgSelDatiFile::kFieldCount> kHasDecimals = {
    false, false, true, true, true, true, true,  true,  true,  false, true,  true,
    true,  true,  true, true, true, true, false, false, false, true,  false, false,
    true,  true,  true, true, true, true, true,  false, true,  false, false};

// The layout used where the settings file says nothing.
constexpr std::array<int, 15> kDefaultLayout = {0,  1,  2,  3,  4,  8,  9, 13,
                                                14, 15, 16, 19, 20, 22, 23};
constexpr int kFieldData = 19; // "Data": the default of every position past the default layout

constexpr int kDefaultDecimals = 3;
constexpr COLORREF kNoDecimalsColour = 0x00D2FFDF;
const char* const kNoDecimalsText = "0";

std::string key(const char* format, int position) {
    char name[64];
    kit_sprintf(name, format, position);
    return name;
}

// The captions and angle formats come from the resources that are current: the export frame
// has made the module's own current for the length of the call.
std::string currentString(UINT id) {
    char buffer[1024];
    LoadStringA(AfxGetResourceHandle(), id, buffer, static_cast<int>(sizeof buffer));
    return buffer;
}

CMsGrid_ItemFormat rowFormat() {
    CMsGrid_ItemFormat format;
    format.nFormat = DT_CENTER | DT_VCENTER | DT_SINGLELINE;
    return format;
}

} // namespace

BEGIN_MESSAGE_MAP(CDlgSelDatiFile, CDialog)
// The notices travel as LPARAM, as the framework sends them.
// NOLINTNEXTLINE(performance-no-int-to-ptr)
ON_NOTIFY(NM_CLICK, IDC_FIELD_LIST, &CDlgSelDatiFile::OnFieldListClick)
// NOLINTNEXTLINE(performance-no-int-to-ptr)
ON_NOTIFY(NM_DBLCLK, IDC_FIELD_LIST, &CDlgSelDatiFile::OnFieldListDblClk)
ON_BN_CLICKED(IDC_ADD_FIELD, &CDlgSelDatiFile::OnAddField)
ON_BN_CLICKED(IDC_REMOVE_FIELD, &CDlgSelDatiFile::OnRemoveField)
ON_BN_CLICKED(IDC_MOVE_UP, &CDlgSelDatiFile::OnMoveUp)
ON_BN_CLICKED(IDC_MOVE_DOWN, &CDlgSelDatiFile::OnMoveDown)
ON_BN_CLICKED(IDC_LAYOUT_OK, &CDlgSelDatiFile::OnOK)
ON_BN_CLICKED(IDC_LAYOUT_CANCEL, &CDlgSelDatiFile::OnLayoutCancel)
END_MESSAGE_MAP()

CDlgSelDatiFile::CDlgSelDatiFile(CWnd* parent) : CDialog(IDD_SEL_DATI_FILE, parent) {}

void CDlgSelDatiFile::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    DDX_Control(dx, IDC_FIELD_LIST, m_listFields);
    DDX_Control(dx, IDC_ANGLE_FORMAT, m_comboAngles);
    DDX_Control(dx, IDC_ADD_FIELD, m_btnAdd);
    DDX_Control(dx, IDC_REMOVE_FIELD, m_btnRemove);
    DDX_Control(dx, IDC_MOVE_UP, m_btnUp);
    DDX_Control(dx, IDC_MOVE_DOWN, m_btnDown);
    DDX_Radio(dx, IDC_SEP_COMMA, m_nSeparator);
    DDX_Radio(dx, IDC_QUOTES_YES, m_nQuotes);
}

bool CDlgSelDatiFile::FieldHasDecimals(int id) const {
    return id >= 0 && id < kFieldCount && kHasDecimals[static_cast<size_t>(id)];
}

std::string CDlgSelDatiFile::FieldCaption(int id) const {
    if (id < 0 || id >= kFieldCount) return {};
    return currentString(static_cast<UINT>(IDS_FIELD_NAME + id));
}

BOOL CDlgSelDatiFile::OnInitDialog() {
    CDialog::OnInitDialog();

    // The grid of chosen fields takes the place of the hidden placeholder.
    RECT place{0, 0, 0, 0};
    if (CWnd* placeholder = GetDlgItem(IDC_GRID_PLACE)) {
        placeholder->GetWindowRect(&place);
        ScreenToClient(&place);
    }
    m_grid.Create(place, this, IDC_FIELD_GRID, WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP);
    m_grid.SetColumnWidth(-1, 25);
    m_grid.InsertColumn("Campo", DT_CENTER | DT_VCENTER | DT_SINGLELINE, -1);
    m_grid.SetColumnWidth(0, 170);
    m_grid.InsertColumn("Decimali", DT_CENTER | DT_VCENTER | DT_SINGLELINE, -1);
    m_grid.SetColumnWidth(1, 60);
    m_grid.SetAutoAddRow(false);
    m_grid.SetAutoEnumRow(true, 1);
    m_grid.RegisterForWinMsgNotify(this);

    for (UINT id = IDS_ANGLE_FORMAT_0; id <= IDS_ANGLE_FORMAT_5; ++id)
        m_comboAngles.AddString(currentString(id));
    m_comboAngles.SetCurSel(0);

    RECT list{0, 0, 0, 0};
    m_listFields.GetWindowRect(&list);
    m_listFields.InsertColumn(0, "Campo", LVCFMT_LEFT, list.Width() - 25);
    for (int id = 0; id < kFieldCount; ++id) {
        int item = m_listFields.InsertItem(id, FieldCaption(id));
        m_listFields.SetItemData(item, FieldHasDecimals(id) ? 1 : 0);
    }

    CIniFile settings;
    // A damaged count must neither hang the dialog nor ask for millions of rows.
    const int count =
        std::min<std::int32_t>(settings.GetLong(kAsciiLayoutSection, "NumCampi",
                                                static_cast<std::int32_t>(kDefaultLayout.size())),
                               kMaxFields);
    for (int p = 0; p < count; ++p) {
        const int def = p < static_cast<int>(kDefaultLayout.size())
                            ? kDefaultLayout[static_cast<size_t>(p)]
                            : kFieldData;
        const int id = settings.GetLong(kAsciiLayoutSection, key("Campo-%d", p), def);
        const int decimals =
            settings.GetLong(kAsciiLayoutSection, key("nDecCampo-%d", p), kDefaultDecimals);
        AppendRow(id, decimals);
    }

    const int angles = settings.GetLong(kAsciiLayoutSection, "CoordFormat", 0);
    m_comboAngles.SetCurSel(angles >= 0 && angles < m_comboAngles.GetCount() ? angles : -1);
    m_nQuotes = settings.GetBool(kAsciiLayoutSection, "Apici", true) ? 0 : 1;
    m_nSeparator = settings.GetLong(kAsciiLayoutSection, "Separator", 0);
    UpdateData(false);
    return TRUE;
}

void CDlgSelDatiFile::SetDecimalsCell(int row, int id, int decimals) {
    if (FieldHasDecimals(id)) {
        m_grid.SetItemText(row, 1, std::to_string(decimals));
    } else {
        m_grid.SetItemText(row, 1, kNoDecimalsText);
        m_grid.SetItemState(row, 1, GVIS_READONLY);
        m_grid.SetItemBkColour(row, 1, kNoDecimalsColour);
    }
}

void CDlgSelDatiFile::AppendRow(int id, int decimals) {
    const int row = m_grid.InsertRow(-1);
    if (row < 0) return;
    m_grid.FormatRow(row, rowFormat());
    m_grid.SetItemText(row, 0, FieldCaption(id));
    SetDecimalsCell(row, id, decimals);
    // The id travels as the row's data, sign included, so that an unknown id goes back as is.
    m_grid.SetItemData(row, 0, static_cast<std::uint64_t>(static_cast<std::int64_t>(id)));
}

void CDlgSelDatiFile::MarkRowSelected(int row) {
    // Adds the selection to what the cells hold: a read-only cell stays read-only.
    for (int c = 0; c < 2; ++c)
        m_grid.SetItemState(row, c, (m_grid.GetItemState(row, c) & ~GVIS_FOCUSED) | GVIS_SELECTED);
}

void CDlgSelDatiFile::OnFieldListClick(NMHDR*, LRESULT* result) {
    m_btnAdd.EnableWindow(m_listFields.GetNextItem(-1, LVNI_SELECTED) >= 0);
    *result = 0;
}

void CDlgSelDatiFile::OnFieldListDblClk(NMHDR*, LRESULT* result) {
    OnAddField();
    *result = 0;
}

void CDlgSelDatiFile::OnAddField() {
    const int item = m_listFields.GetNextItem(-1, LVNI_SELECTED);
    if (item < 0) return;
    m_btnRemove.EnableWindow(false);
    m_btnUp.EnableWindow(false);
    m_btnDown.EnableWindow(false);
    AppendRow(item, kDefaultDecimals);
    // Ready for the next ">>": the field after the one just added.
    m_listFields.SetItemState(item, 0, LVIS_SELECTED | LVIS_FOCUSED);
    if (item + 1 < m_listFields.GetItemCount())
        m_listFields.SetItemState(item + 1, LVIS_SELECTED | LVIS_FOCUSED,
                                  LVIS_SELECTED | LVIS_FOCUSED);
}

void CDlgSelDatiFile::OnRemoveField() {
    m_btnAdd.EnableWindow(false);
    m_btnUp.EnableWindow(false);
    m_btnDown.EnableWindow(false);
    m_grid.DeleteRow(m_nSelRow);
    const int rows = m_grid.GetRowCount();
    if (m_nSelRow >= 0 && m_nSelRow < rows) {
        MarkRowSelected(m_nSelRow);
        m_btnUp.EnableWindow(m_nSelRow >= 1);
        m_btnDown.EnableWindow(m_nSelRow < rows - 1);
    }
    m_btnRemove.EnableWindow(rows > 0 && m_nSelRow >= 0 && m_nSelRow < rows);
}

void CDlgSelDatiFile::OnMoveUp() {
    MoveSelectedRow(m_nSelRow - 1);
}

void CDlgSelDatiFile::OnMoveDown() {
    MoveSelectedRow(m_nSelRow + 1);
}

void CDlgSelDatiFile::MoveSelectedRow(int target) {
    const int rows = m_grid.GetRowCount();
    if (m_nSelRow < 0 || m_nSelRow >= rows || target < 0 || target >= rows) return;
    const std::string caption = m_grid.GetItemText(m_nSelRow, 0);
    const std::string decimals = m_grid.GetItemText(m_nSelRow, 1);
    const UINT state = m_grid.GetItemState(m_nSelRow, 1);
    const COLORREF colour = m_grid.GetItemBkColour(m_nSelRow, 1);
    const std::uint64_t id = m_grid.GetItemData(m_nSelRow, 0);

    m_grid.DeleteRow(m_nSelRow);
    const int row = m_grid.InsertRow(target == m_grid.GetRowCount() ? -1 : target);
    m_grid.SetItemState(row, 0, GVIS_SELECTED);
    m_grid.FormatRow(row, rowFormat());
    m_grid.SetItemText(row, 0, caption);
    m_grid.SetItemText(row, 1, decimals);
    if (state & GVIS_READONLY) {
        m_grid.SetItemState(row, 1, GVIS_READONLY);
        m_grid.SetItemBkColour(row, 1, colour);
    }
    MarkRowSelected(row);
    m_grid.SetItemData(row, 0, id);

    m_nSelRow = row;
    m_btnUp.EnableWindow(m_nSelRow >= 1);
    m_btnDown.EnableWindow(m_nSelRow < m_grid.GetRowCount() - 1);
}

void CDlgSelDatiFile::OnProcessFillInPlaceComboControl(CMSGridCtrl2*, int, int, const std::string&,
                                                       std::vector<std::string>& choices) {
    for (char digit = '0'; digit <= '9'; ++digit)
        choices.emplace_back(1, digit);
}

bool CDlgSelDatiFile::OnProcessLButtonUp(CMSGridCtrl2*, UINT, POINT) {
    const CCellRange range = m_grid.GetSelectedCellRange();
    m_nSelRow = range.IsValid() && range.GetMinRow() == range.GetMaxRow() ? range.GetMinRow() : -1;
    const int rows = m_grid.GetRowCount();
    m_btnRemove.EnableWindow(m_nSelRow >= 0);
    m_btnUp.EnableWindow(m_nSelRow >= 1);
    m_btnDown.EnableWindow(m_nSelRow >= 0 && m_nSelRow < rows - 1);
    return true;
}

void CDlgSelDatiFile::OnOK() {
    if (!UpdateData(true)) return;
    // An edit still open in the grid counts as chosen.
    m_grid.CommitEdit();
    CIniFile settings;
    settings.WriteLong(kAsciiLayoutSection, "CoordFormat", m_comboAngles.GetCurSel());
    settings.WriteLong(kAsciiLayoutSection, "Separator", m_nSeparator);
    settings.WriteBool(kAsciiLayoutSection, "Apici", m_nQuotes == 0);
    const int rows = m_grid.GetRowCount();
    settings.WriteLong(kAsciiLayoutSection, "NumCampi", rows);
    for (int p = 0; p < rows; ++p) {
        const auto id =
            static_cast<std::int32_t>(static_cast<std::int64_t>(m_grid.GetItemData(p, 0)));
        settings.WriteLong(kAsciiLayoutSection, key("Campo-%d", p), id);
        settings.WriteLong(kAsciiLayoutSection, key("nDecCampo-%d", p),
                           LongDaStringNullZero(m_grid.GetItemText(p, 1)));
    }
    EndDialog(IDOK);
}

void CDlgSelDatiFile::OnLayoutCancel() {
    OnCancel();
}
