#include "MostraGrpGps.h"

#include "interfaces/Kit.h"
#include "interfaces/LibGps.h"
#include "resource.h"

CMostraGrpGps::CMostraGrpGps(CWnd* parent) : CDialog(IDD_MOSTRA_GRP_GPS, parent) {}

void CMostraGrpGps::Load(const CGrpGps& group) {
    m_strStation = group.GetNome();
    m_strGroup = group.GetNomeGrp();
    m_strEast = StringDaDouble(group.GetCoordX(), 0, 3);
    m_strNorth = StringDaDouble(group.GetCoordY(), 0, 3);
    m_strHeight = StringDaDouble(group.GetCoordZ(), 0, 3);
}

void CMostraGrpGps::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    DDX_Text(dx, IDC_SHOW_BASE_STATION, m_strStation);
    DDX_Text(dx, IDC_SHOW_BASE_GROUP, m_strGroup);
    DDX_Text(dx, IDC_SHOW_BASE_EAST, m_strEast);
    DDX_Text(dx, IDC_SHOW_BASE_NORTH, m_strNorth);
    DDX_Text(dx, IDC_SHOW_BASE_HEIGHT, m_strHeight);
}
