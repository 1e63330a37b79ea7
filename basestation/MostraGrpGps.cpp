#include "MostraGrpGps.h"

#include "frame/DisplayText.h"
#include "gpsdialogs/interfaces/LibGps.h"
#include "resource.h"

CMostraGrpGps::CMostraGrpGps(CWnd* parent) : CDialog(IDD_MOSTRA_GRP_GPS, parent) {}

void CMostraGrpGps::Load(const CGrpGps& group) {
    m_strStation = group.GetNome();
    m_strGroup = group.GetNomeGrp();
    m_strEast = DisplayValue(group.GetCoordX(), 3);
    m_strNorth = DisplayValue(group.GetCoordY(), 3);
    m_strHeight = DisplayValue(group.GetCoordZ(), 3);
}

BOOL CMostraGrpGps::OnInitDialog() {
    ShowTextsAsTyped(*this, {IDC_SHOW_BASE_STATION, IDC_SHOW_BASE_GROUP, IDC_SHOW_BASE_EAST,
                             IDC_SHOW_BASE_NORTH, IDC_SHOW_BASE_HEIGHT});
    return CDialog::OnInitDialog();
}

void CMostraGrpGps::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    DDX_Text(dx, IDC_SHOW_BASE_STATION, m_strStation);
    DDX_Text(dx, IDC_SHOW_BASE_GROUP, m_strGroup);
    DDX_Text(dx, IDC_SHOW_BASE_EAST, m_strEast);
    DDX_Text(dx, IDC_SHOW_BASE_NORTH, m_strNorth);
    DDX_Text(dx, IDC_SHOW_BASE_HEIGHT, m_strHeight);
}
