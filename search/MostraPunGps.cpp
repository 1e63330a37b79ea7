#include "MostraPunGps.h"

#include "interfaces/Kit.h"
#include "interfaces/LibGps.h"
#include "resource.h"

CMostraPunGps::CMostraPunGps(CWnd* parent) : CDialog(IDD_MOSTRA_PUN_GPS, parent) {}

void CMostraPunGps::Load(const CPunGps& point) {
    m_strName = point.GetNome();
    m_strCode = point.GetCode();
    m_strGroup = point.m_pGrp != nullptr ? point.m_pGrp->GetNomeGrp() : std::string();
    m_strEast = StringDaDouble(point.GetCoordX(), 0, 3);
    m_strNorth = StringDaDouble(point.GetCoordY(), 0, 3);
    m_strHeight = StringDaDouble(point.GetCoordZ(), 0, 3);
}

void CMostraPunGps::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    DDX_Text(dx, IDC_SHOW_POINT_NAME, m_strName);
    DDX_Text(dx, IDC_SHOW_POINT_CODE, m_strCode);
    DDX_Text(dx, IDC_SHOW_POINT_GROUP, m_strGroup);
    DDX_Text(dx, IDC_SHOW_POINT_EAST, m_strEast);
    DDX_Text(dx, IDC_SHOW_POINT_NORTH, m_strNorth);
    DDX_Text(dx, IDC_SHOW_POINT_HEIGHT, m_strHeight);
}
