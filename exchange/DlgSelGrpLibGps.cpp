#include "DlgSelGrpLibGps.h"

#include "gpsdialogs/interfaces/LibGps.h"
#include "resource.h"

CDlgSelGrpLibGps::CDlgSelGrpLibGps(CWnd* parent) : CDialog(IDD_SEL_GRP_LIB_GPS, parent) {}

void CDlgSelGrpLibGps::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    DDX_Control(dx, IDC_PRINT_GROUPS, m_listGroups);
}

BOOL CDlgSelGrpLibGps::OnInitDialog() {
    CDialog::OnInitDialog();
    if (m_pGroups != nullptr)
        for (const CGrpGps* group : *m_pGroups) m_listGroups.AddString(group->GetNomeGrp());
    return TRUE;
}

void CDlgSelGrpLibGps::OnOK() {
    int count = m_listGroups.GetSelCount();
    if (count > 0 && m_pGroups != nullptr) {
        std::vector<int> positions(static_cast<size_t>(count));
        count = m_listGroups.GetSelItems(count, positions.data());
        for (int i = 0; i < count; ++i) {
            size_t position = static_cast<size_t>(positions[static_cast<size_t>(i)]);
            if (position < m_pGroups->size()) m_chosen.push_back((*m_pGroups)[position]);
        }
    }
    CDialog::OnOK();
}
