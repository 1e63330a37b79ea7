#include "DlgSelBaseGps.h"

#include "gpsdialogs/interfaces/DrawEng.h"
#include "gpsdialogs/interfaces/Kit.h"
#include "gpsdialogs/interfaces/LibGps.h"
#include "resource.h"

BEGIN_MESSAGE_MAP(CDlgSelBaseGps, CDialog)
ON_LBN_SELCHANGE(IDC_BASE_LIST, &CDlgSelBaseGps::OnSelectionChanged)
END_MESSAGE_MAP()

CDlgSelBaseGps::CDlgSelBaseGps(CWnd* parent) : CDialog(IDD_SEL_BASE_GPS, parent) {}

void CDlgSelBaseGps::Load(CLibGps* lib, CDrawEng* eng) {
    m_pLib = lib;
    m_pEng = eng;
}

void CDlgSelBaseGps::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    DDX_Control(dx, IDC_BASE_LIST, m_listBases);
    DDX_Control(dx, IDC_MOVE_ANTENNA_HEIGHT, m_editHeight);
}

BOOL CDlgSelBaseGps::OnInitDialog() {
    CDialog::OnInitDialog();
    // List positions skip the locked drawings: each entry carries its group.
    const int count = m_pLib != nullptr ? m_pLib->GetGrpArSize() : 0;
    for (int g = 0; g < count; ++g) {
        CGrpGps* group = m_pLib->GetGrpAt(g);
        if (group == nullptr) continue;
        if (m_pEng != nullptr && m_pEng->IsDrawingLocked(group->GetTargetDrawing())) continue;
        const int entry = m_listBases.AddString(group->GetNome());
        m_listBases.SetItemDataPtr(entry, group);
    }
    m_listBases.SetCurSel(0);
    showHeightOf(groupOfSelection());
    return TRUE;
}

CGrpGps* CDlgSelBaseGps::groupOfSelection() const {
    const int selection = m_listBases.GetCurSel();
    if (selection < 0) return nullptr;
    return static_cast<CGrpGps*>(m_listBases.GetItemDataPtr(selection));
}

void CDlgSelBaseGps::showHeightOf(const CGrpGps* group) {
    if (group != nullptr) m_editHeight.SetWindowText(StringDaDouble(group->GetBaseAltAnt(), 0, 3));
}

void CDlgSelBaseGps::OnSelectionChanged() {
    showHeightOf(groupOfSelection());
}

void CDlgSelBaseGps::OnOK() {
    // With no entry (no group, or every drawing locked) there is nothing to choose: the
    // position stays -1, which the caller reads as no choice.
    if (const CGrpGps* group = groupOfSelection()) {
        int index = -1;
        m_pLib->GetIndiciDiGrp(group, index);
        m_nGroup = index;
        m_dAltAnt = DoubleDaString(m_editHeight.GetWindowText());
    }
    EndDialog(IDOK);
}
