#include "DlgOpzTrasfPtGps.h"

#include "frame/Module.h"
#include "gpsdialogs/interfaces/Kit.h"
#include "gpsdialogs/interfaces/LibGps.h"
#include "platform/messagebox.h"
#include "resource.h"

namespace {

const char* const kSectionTransfer = "TRAF_GPS";
const char* const kKeyAntenna = "AltAnt";
constexpr double kAntennaLimit = 1e6;

} // namespace

CDlgOpzTrasfPtGps::CDlgOpzTrasfPtGps(CWnd* parent) : CDialog(IDD_OPZ_TRASF_PT_GPS, parent) {}

void CDlgOpzTrasfPtGps::Load(CLibGps* lib, int count) {
    m_pLib = lib;
    m_nCount = count;
    m_dAltAnt = CIniFile().GetDouble(kSectionTransfer, kKeyAntenna, 0.0);
}

void CDlgOpzTrasfPtGps::WriteBack(int& grpIndex, double& antHeight) const {
    grpIndex = m_nGroup;
    antHeight = m_dAltAnt;
    CIniFile().WriteDouble(kSectionTransfer, kKeyAntenna, m_dAltAnt);
}

void CDlgOpzTrasfPtGps::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    DDX_Control(dx, IDC_TRANSFER_GROUP, m_comboGroups);
    DDX_Text(dx, IDC_TRANSFER_ANTENNA_HEIGHT, m_dAltAnt);
    DDV_MinMaxDouble(dx, m_dAltAnt, -kAntennaLimit, kAntennaLimit);
}

BOOL CDlgOpzTrasfPtGps::OnInitDialog() {
    CDialog::OnInitDialog();
    char message[1024];
    kit_sprintf(message, LoadModuleString(IDS_TRANSFER_COUNT).c_str(), m_nCount);
    SetDlgItemText(IDC_TRANSFER_MESSAGE, message);
    const int count = m_pLib != nullptr ? m_pLib->GetGrpArSize() : 0;
    for (int g = 0; g < count; ++g)
        m_comboGroups.AddString(m_pLib->GetGrpAt(g)->GetNomeGrp());
    m_comboGroups.SetCurSel(0);
    return TRUE;
}

void CDlgOpzTrasfPtGps::OnOK() {
    if (!UpdateData(true)) return;
    m_nGroup = m_comboGroups.GetCurSel();
    const CGrpGps* group = m_pLib != nullptr ? m_pLib->GetGrpAt(m_nGroup) : nullptr;
    if (group == nullptr || !group->IsCdElabValid()) {
        MessageBeep(MB_ICONEXCLAMATION);
        MessageBoxOkExclam(this, LoadModuleString(IDS_GROUP_NO_PROJECTION),
                           LoadModuleString(IDS_WARNING_CAPTION));
        GotoDlgCtrl(&m_comboGroups);
        return;
    }
    EndDialog(IDOK);
}
