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
    // A null entry of the host's sequence has no name to show and nothing to print: it is
    // left out, and m_listed remembers which candidate each list position stands for.
    if (m_pGroups != nullptr) {
        for (std::size_t i = 0; i < m_pGroups->size(); ++i) {
            const CGrpGps* group = (*m_pGroups)[i];
            if (group == nullptr) continue;
            m_listGroups.AddString(group->GetNomeGrp());
            m_listed.push_back(i);
        }
    }
    return TRUE;
}

void CDlgSelGrpLibGps::OnOK() {
    int count = m_listGroups.GetSelCount();
    if (count > 0 && m_pGroups != nullptr) {
        std::vector<int> positions(static_cast<size_t>(count));
        count = m_listGroups.GetSelItems(count, positions.data());
        for (int i = 0; i < count; ++i) {
            const auto position = static_cast<std::size_t>(positions[static_cast<std::size_t>(i)]);
            if (position < m_listed.size() && m_listed[position] < m_pGroups->size())
                m_chosen.push_back((*m_pGroups)[m_listed[position]]);
        }
    }
    CDialog::OnOK();
}
