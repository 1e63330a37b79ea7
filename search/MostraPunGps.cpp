#include "MostraPunGps.h"

#include "frame/DisplayText.h"
#include "gpsdialogs/interfaces/LibGps.h"
#include "resource.h"

CMostraPunGps::CMostraPunGps(CWnd* parent) : CDialog(IDD_MOSTRA_PUN_GPS, parent) {}

void CMostraPunGps::Load(const CPunGps& point) {
    m_strName = point.GetNome();
    m_strCode = point.GetCode();
    m_strGroup = point.m_pGrp != nullptr ? point.m_pGrp->GetNomeGrp() : std::string();
    m_strEast = DisplayValue(point.GetCoordX(), 3);
    m_strNorth = DisplayValue(point.GetCoordY(), 3);
    m_strHeight = DisplayValue(point.GetCoordZ(), 3);
}

BOOL CMostraPunGps::OnInitDialog() {
    ShowTextsAsTyped(*this, {IDC_SHOW_POINT_NAME, IDC_SHOW_POINT_CODE, IDC_SHOW_POINT_GROUP,
                             IDC_SHOW_POINT_EAST, IDC_SHOW_POINT_NORTH, IDC_SHOW_POINT_HEIGHT});
    return CDialog::OnInitDialog();
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
