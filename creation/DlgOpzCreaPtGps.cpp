#include "DlgOpzCreaPtGps.h"

#include "frame/Module.h"
#include "gpsdialogs/interfaces/Kit.h"
#include "gpsdialogs/interfaces/LibGps.h"
#include "platform/messagebox.h"
#include "resource.h"

#include <cmath>
#include <limits>

namespace {

const char* const kSectionNames = "LIBRETTO";
const char* const kKeyAutoNames = "AssNomiGpsAuto";
const char* const kSectionTransfer = "TRAF_GPS";
const char* const kKeyAntenna = "AltAnt";

constexpr std::int64_t kFirstNumber = 101;
constexpr double kCoordinateLimit = 1e15;
constexpr double kAntennaLimit = 1e6;
// A coordinate is handed back only when it moved by more than this: the fields show 3
// decimals, and a value shown and not retyped keeps the caller's full precision.
constexpr double kCoordinateTolerance = 0.001;

// The leading whole number of a name (blanks, sign, digits), 0 when there is none, as the
// toolkit reads names, but 64 bits wide and saturated: a numbered survey may run past the 32
// bits of the toolkit's reading, and the proposal must still be one more.
std::int64_t leadingNumber(const std::string& text) {
    std::size_t i = text.find_first_not_of(" \t");
    if (i == std::string::npos) return 0;
    bool negative = false;
    if (text[i] == '+' || text[i] == '-') negative = text[i++] == '-';
    constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
    std::int64_t value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        const int digit = text[i] - '0';
        if (value > (kMax - digit) / 10) return negative ? -kMax : kMax;
        value = value * 10 + digit;
    }
    return negative ? -value : value;
}

std::int64_t oneMore(std::int64_t value) {
    return value < std::numeric_limits<std::int64_t>::max() ? value + 1 : value;
}

} // namespace

std::int64_t AutomaticPointNumber(const CLibGps& lib, const CGrpGps& group) {
    std::int64_t candidate = kFirstNumber;
    const std::int64_t station = leadingNumber(group.GetNome());
    if (station > 0) candidate = oneMore(station);
    int index = -1;
    lib.GetIndiciDiGrp(&group, index);
    const int count = lib.GetPunArSize(index);
    for (int p = 0; p < count; ++p) {
        const std::string& name = lib.GetPunAt(index, p)->GetNome();
        if (name.size() >= 2 && name[0] == 'P' && name[1] == 'F') continue; // fiducial points
        const std::int64_t number = leadingNumber(name);
        if (number >= candidate) candidate = oneMore(number);
    }
    return candidate;
}

BEGIN_MESSAGE_MAP(CDlgOpzCreaPtGps, CDialog)
ON_BN_CLICKED(IDC_AUTO_NAME, &CDlgOpzCreaPtGps::OnAutoName)
ON_CBN_SELCHANGE(IDC_COV_XZ, &CDlgOpzCreaPtGps::OnGroupChanged)
END_MESSAGE_MAP()

CDlgOpzCreaPtGps::CDlgOpzCreaPtGps(CWnd* parent) : CDialog(IDD_OPZ_CREA_PT_GPS, parent) {}

void CDlgOpzCreaPtGps::Load(CGrpGps* group, CLibGps* lib, const std::string& name,
                            const std::string& descr, double x, double y, double z) {
    m_pLib = lib;
    m_pGroup = group;
    m_strName = name;
    m_strCallerName = name;
    m_strDescr = descr;
    m_dEast = x;
    m_dNorth = y;
    m_dHeight = z;
    m_dAltAnt = CIniFile().GetDouble(kSectionTransfer, kKeyAntenna, 0.0);
}

void CDlgOpzCreaPtGps::WriteBack(int& grpIndex, std::string& name, std::string& descr, double& x,
                                 double& y, double& z, double& antHeight) const {
    grpIndex = m_nGroup;
    name = m_strName;
    descr = m_strDescr;
    if (std::fabs(m_dEast - x) > kCoordinateTolerance) x = m_dEast;
    if (std::fabs(m_dNorth - y) > kCoordinateTolerance) y = m_dNorth;
    if (std::fabs(m_dHeight - z) > kCoordinateTolerance) z = m_dHeight;
    antHeight = m_dAltAnt;
    CIniFile().WriteDouble(kSectionTransfer, kKeyAntenna, m_dAltAnt);
}

void CDlgOpzCreaPtGps::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    DDX_Control(dx, IDC_COV_XZ, m_comboGroups);
    DDX_Control(dx, IDC_NEW_POINT_NAME, m_editName);
    DDX_Control(dx, IDC_AUTO_NAME, m_checkAuto);
    DDX_Text(dx, IDC_NEW_POINT_NAME, m_strName);
    DDX_Text(dx, IDC_COV_XY, m_strDescr);
    DDX_Text(dx, IDC_COV_YY, m_dNorth);
    DDV_MinMaxDouble(dx, m_dNorth, -kCoordinateLimit, kCoordinateLimit);
    DDX_Text(dx, IDC_COV_YZ, m_dEast);
    DDV_MinMaxDouble(dx, m_dEast, -kCoordinateLimit, kCoordinateLimit);
    DDX_Text(dx, IDC_NEW_HEIGHT, m_dHeight);
    DDV_MinMaxDouble(dx, m_dHeight, -kCoordinateLimit, kCoordinateLimit);
    DDX_Text(dx, IDC_NEW_ANTENNA_HEIGHT, m_dAltAnt);
    DDV_MinMaxDouble(dx, m_dAltAnt, -kAntennaLimit, kAntennaLimit);
    DDX_CBIndex(dx, IDC_COV_XZ, m_nGroup);
}

BOOL CDlgOpzCreaPtGps::OnInitDialog() {
    CDialog::OnInitDialog();
    SetDlgItemText(IDC_COV_YY, StringDaDouble(m_dNorth, 0, 3));
    SetDlgItemText(IDC_COV_YZ, StringDaDouble(m_dEast, 0, 3));
    SetDlgItemText(IDC_NEW_HEIGHT, StringDaDouble(m_dHeight, 0, 3));

    const int count = m_pLib != nullptr ? m_pLib->GetGrpArSize() : 0;
    for (int g = 0; g < count; ++g)
        m_comboGroups.AddString(m_pLib->GetGrpAt(g)->GetNomeGrp());
    m_comboGroups.SetCurSel(0);
    m_pGroup = m_pLib != nullptr ? m_pLib->GetGrpAt(0) : nullptr;

    const bool automatic = CIniFile().GetBool(kSectionNames, kKeyAutoNames, false);
    m_checkAuto.SetCheck(automatic ? BST_CHECKED : BST_UNCHECKED);
    if (automatic) proposeAutomaticName();
    return TRUE;
}

void CDlgOpzCreaPtGps::proposeAutomaticName() {
    if (m_pGroup == nullptr) return; // an empty field book has no group to number in
    m_editName.SetWindowText(std::to_string(AutomaticPointNumber(*m_pLib, *m_pGroup)));
}

void CDlgOpzCreaPtGps::OnAutoName() {
    const bool automatic = m_checkAuto.GetCheck() == BST_CHECKED;
    CIniFile().WriteBool(kSectionNames, kKeyAutoNames, automatic);
    if (automatic) {
        proposeAutomaticName();
    } else {
        m_strName = m_strCallerName;
        m_editName.SetWindowText(m_strName);
    }
}

void CDlgOpzCreaPtGps::OnGroupChanged() {
    m_pGroup = m_pLib->GetGrpAt(m_comboGroups.GetCurSel());
    proposeAutomaticName();
}

void CDlgOpzCreaPtGps::OnOK() {
    if (!UpdateData(true)) return;
    const CGrpGps* group = m_pLib != nullptr ? m_pLib->GetGrpAt(m_nGroup) : nullptr;
    if (group == nullptr || !group->IsCdElabValid()) {
        MessageBeep(MB_ICONEXCLAMATION);
        MessageBoxOkExclam(this, LoadModuleString(IDS_GROUP_NO_PROJECTION),
                           LoadModuleString(IDS_WARNING_CAPTION));
        GotoDlgCtrl(&m_comboGroups);
        return;
    }
    if (m_strName.empty()) {
        MessageBeep(MB_ICONEXCLAMATION);
        MessageBoxOkExclam(this, LoadModuleString(IDS_POINT_NAME_REQUIRED),
                           LoadModuleString(IDS_WARNING_CAPTION));
        GotoDlgCtrl(&m_editName);
        return;
    }
    EndDialog(IDOK);
}
