#include "ModPunGpsPage3.h"

#include "NewDlgModPunGps.h"
#include "gpsdialogs/interfaces/ConvCoord.h"
#include "gpsdialogs/interfaces/Cts.h"
#include "gpsdialogs/interfaces/LibGps.h"
#include "resource.h"

CModPunGpsPage3::CModPunGpsPage3() : CPropertyPage(IDD_MOD_PUN_GPS_PAGE3) {}

CModPunGpsPage3::~CModPunGpsPage3() = default;

BEGIN_MESSAGE_MAP(CModPunGpsPage3, CPropertyPage)
ON_CBN_SELCHANGE(IDC_GRAPHIC_MODEL, &CModPunGpsPage3::OnModelChanged)
ON_EN_CHANGE(IDC_DESCRIPTION, &CModPunGpsPage3::OnDescriptionChanged)
ON_EN_CHANGE(IDC_POINT_NAME, &CModPunGpsPage3::OnNameChanged)
ON_BN_CLICKED(IDC_CODE_CL, &CModPunGpsPage3::OnCodeCL)
ON_BN_CLICKED(IDC_CODE_FL, &CModPunGpsPage3::OnCodeFL)
ON_BN_CLICKED(IDC_CODE_IL, &CModPunGpsPage3::OnCodeIL)
ON_BN_CLICKED(IDC_CODE_NC, &CModPunGpsPage3::OnCodeNC)
ON_BN_CLICKED(IDC_CODE_NT, &CModPunGpsPage3::OnCodeNT)
ON_BN_CLICKED(IDC_CODE_NV, &CModPunGpsPage3::OnCodeNV)
ON_BN_CLICKED(IDC_CODE_OR, &CModPunGpsPage3::OnCodeOR)
ON_BN_CLICKED(IDC_CODE_QU, &CModPunGpsPage3::OnCodeQU)
ON_BN_CLICKED(IDC_CODE_NL, &CModPunGpsPage3::OnCodeNL)
ON_BN_CLICKED(IDC_CODE_NP, &CModPunGpsPage3::OnCodeNP)
ON_BN_CLICKED(IDC_CODE_OC, &CModPunGpsPage3::OnCodeOC)
ON_BN_CLICKED(IDC_CODE_LD, &CModPunGpsPage3::OnCodeLD)
ON_BN_CLICKED(IDC_CODE_NE, &CModPunGpsPage3::OnCodeNE)
END_MESSAGE_MAP()

void CModPunGpsPage3::DoDataExchange(CDataExchange* dx) {
    CPropertyPage::DoDataExchange(dx);
    DDX_Text(dx, IDC_POINT_NAME, m_strName);
    DDX_Text(dx, IDC_GROUP_NAME, m_strGroup);
    DDX_Text(dx, IDC_DESCRIPTION, m_strDescription);
    DDX_Control(dx, IDC_GRAPHIC_MODEL, m_listModel);
    DDX_CBIndex(dx, IDC_GRAPHIC_MODEL, m_nModel);
    DDX_Check(dx, IDC_CODE_CL, m_nCL);
    DDX_Check(dx, IDC_CODE_FL, m_nFL);
    DDX_Check(dx, IDC_CODE_IL, m_nIL);
    DDX_Check(dx, IDC_CODE_NC, m_nNC);
    DDX_Check(dx, IDC_CODE_NT, m_nNT);
    DDX_Check(dx, IDC_CODE_NV, m_nNV);
    DDX_Check(dx, IDC_CODE_OR, m_nOR);
    DDX_Check(dx, IDC_CODE_QU, m_nQU);
    DDX_Check(dx, IDC_CODE_NL, m_nNL);
    DDX_Check(dx, IDC_CODE_NP, m_nNP);
    DDX_Check(dx, IDC_CODE_OC, m_nOC);
    DDX_Check(dx, IDC_CODE_LD, m_nLD);
    DDX_Control(dx, IDC_CODE_NE, m_boxNE);
}

CPunGps* CModPunGpsPage3::Working() const {
    return m_pEditor != nullptr ? m_pEditor->WorkingPoint() : nullptr;
}

bool CModPunGpsPage3::Checked(int id) const {
    auto* box = dynamic_cast<CButton*>(GetDlgItem(id));
    return box != nullptr && box->GetCheck() != 0;
}

BOOL CModPunGpsPage3::OnSetActive() {
    m_pEditor = CNewDlgModPunGps::OfPage(*this);
    CPunGps* point = Working();
    if (point == nullptr) return CPropertyPage::OnSetActive();
    m_pEditor->SetCurrentPage(3);

    m_strGroup = m_pEditor->Group() != nullptr ? m_pEditor->Group()->GetNomeGrp() : std::string();
    m_strName = point->GetNome();
    m_strDescription = point->GetCode();
    m_nCL = point->IsCodedCL() ? 1 : 0;
    m_nFL = point->IsCodedFL() ? 1 : 0;
    m_nIL = point->IsCodedIL() ? 1 : 0;
    m_nNC = point->IsCodedNC() ? 1 : 0;
    m_nNT = point->IsCodedNT() ? 1 : 0;
    m_nNV = point->IsCodedNV() ? 1 : 0;
    m_nOR = point->IsCodedOR() ? 1 : 0;
    m_nQU = point->IsCodedQU() ? 1 : 0;
    m_nNL = point->IsCodedNL() ? 1 : 0;
    m_nNP = point->IsCodedNP() ? 1 : 0;
    m_nOC = point->IsCodedOC() ? 1 : 0;
    m_nLD = point->IsCodedLD() ? 1 : 0;
    m_boxNE.SetCheck(point->IsCodedNE() ? 1 : 0);
    const bool traverse =
        m_pEditor->Context() != nullptr && m_pEditor->Context()->m_Rig.GetLblNome2() == "TR";
    m_boxNE.EnableWindow(!traverse);

    {
        CPushScope quiet(*this);
        m_nModel = m_pEditor->FillModelList(m_listModel);
    }
    UpdateData(false);
    return CPropertyPage::OnSetActive();
}

void CModPunGpsPage3::OnModelChanged() {
    if (Working() == nullptr) return;
    UpdateData(true);
    std::string model;
    if (m_nModel >= 0) m_listModel.GetLBText(m_nModel, model);
    Working()->SetAttribDis(model);
}

void CModPunGpsPage3::OnDescriptionChanged() {
    if (Working() == nullptr) return;
    Working()->SetCode(GetDlgItemText(IDC_DESCRIPTION));
    m_pEditor->SetPointChanged(true);
}

void CModPunGpsPage3::OnNameChanged() {
    if (Working() == nullptr) return;
    Working()->SetNome(GetDlgItemText(IDC_POINT_NAME));
    m_pEditor->SetPointChanged(true);
}

void CModPunGpsPage3::OnCodeCL() {
    if (Working() != nullptr) Working()->SetCodeCL(Checked(IDC_CODE_CL));
}
void CModPunGpsPage3::OnCodeFL() {
    if (Working() != nullptr) Working()->SetCodeFL(Checked(IDC_CODE_FL));
}
void CModPunGpsPage3::OnCodeIL() {
    if (Working() != nullptr) Working()->SetCodeIL(Checked(IDC_CODE_IL));
}
void CModPunGpsPage3::OnCodeNC() {
    if (Working() != nullptr) Working()->SetCodeNC(Checked(IDC_CODE_NC));
}
void CModPunGpsPage3::OnCodeNT() {
    if (Working() != nullptr) Working()->SetCodeNT(Checked(IDC_CODE_NT));
}
void CModPunGpsPage3::OnCodeNV() {
    if (Working() != nullptr) Working()->SetCodeNV(Checked(IDC_CODE_NV));
}
void CModPunGpsPage3::OnCodeOR() {
    if (Working() != nullptr) Working()->SetCodeOR(Checked(IDC_CODE_OR));
}
void CModPunGpsPage3::OnCodeQU() {
    if (Working() != nullptr) Working()->SetCodeQU(Checked(IDC_CODE_QU));
}
void CModPunGpsPage3::OnCodeNL() {
    if (Working() != nullptr) Working()->SetCodeNL(Checked(IDC_CODE_NL));
}
void CModPunGpsPage3::OnCodeNP() {
    if (Working() != nullptr) Working()->SetCodeNP(Checked(IDC_CODE_NP));
}
void CModPunGpsPage3::OnCodeOC() {
    if (Working() != nullptr) Working()->SetCodeOC(Checked(IDC_CODE_OC));
}
void CModPunGpsPage3::OnCodeLD() {
    if (Working() != nullptr) Working()->SetCodeLD(Checked(IDC_CODE_LD));
}

void CModPunGpsPage3::OnCodeNE() {
    CPunGps* point = Working();
    if (point == nullptr) return;
    const bool on = m_boxNE.GetCheck() != 0;
    point->SetCodeNE(on);
    if (on) {
        // A point left out of processing has neither plane coordinates nor their errors.
        point->AnnullaCoor();
        point->SetDatiErrStat(EGN_NOVALUE, EGN_NOVALUE, EGN_NOVALUE, EGN_NOVALUE, EGN_NOVALUE,
                              EGN_NOVALUE);
        return;
    }
    CGrpGps* group = m_pEditor->Group();
    if (group == nullptr || !group->IsCdElabValid()) return;
    const double lat = point->GetLat();
    const double lon = point->GetLong();
    const double elev = point->GetElev();
    const double antenna = point->GetAltAnt();
    if (!IsEgnValueDefined(lat) || !IsEgnValueDefined(lon) || !IsEgnValueDefined(elev) ||
        !IsEgnValueDefined(antenna))
        return;
    CConvCoord* converter = group->GetConvCoord();
    double x = 0;
    double y = 0;
    double z = 0;
    if (converter == nullptr || !converter->GrafGpsToPlanAtt(lat, lon, elev, antenna, x, y, z))
        return;
    point->SetCoordXY(x, y);
    point->SetCoordZ(z);
}
