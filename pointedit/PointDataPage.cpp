#include "PointDataPage.h"

#include "NewDlgModPunGps.h"
#include "frame/DisplayText.h"
#include "frame/NumberField.h"
#include "gpsdialogs/interfaces/ConvCoord.h"
#include "gpsdialogs/interfaces/Kit.h"
#include "gpsdialogs/interfaces/LibGps.h"
#include "platform/messagebox.h"
#include "resource.h"

#include <cmath>
#include <limits>

namespace {

// The precision block: optional numbers, on every page.
constexpr int kPrecisionFields[] = {IDC_COV_XX, IDC_COV_XY, IDC_COV_XZ, IDC_COV_YY,
                                    IDC_COV_YZ, IDC_COV_ZZ, IDC_PDOP,   IDC_GDOP};

NumberForm FormOf(int id) {
    switch (id) {
    case IDC_LAT_MIN:
    case IDC_LON_MIN:
        return NumberForm::Minutes;
    case IDC_LAT_SEC:
    case IDC_LON_SEC:
        return NumberForm::Seconds;
    default:
        return NumberForm::Number;
    }
}

// A number cut toward zero to a whole number that an int holds; texts beyond that range are
// not angles anybody types, and must not overflow the conversion.
int WholeTowardZero(double value) {
    if (!std::isfinite(value)) return 0;
    double cut = std::trunc(value);
    if (cut > std::numeric_limits<int>::max()) return std::numeric_limits<int>::max();
    if (cut < std::numeric_limits<int>::min()) return std::numeric_limits<int>::min();
    return static_cast<int>(cut);
}

} // namespace

CPointDataPage::CPointDataPage(UINT templateId, int pageIndex, bool descriptionFromCode,
                               bool holdsDifferences)
    : CPropertyPage(templateId), m_nPageIndex(pageIndex),
      m_bDescriptionFromCode(descriptionFromCode), m_bHoldsDifferences(holdsDifferences) {}

CPointDataPage::~CPointDataPage() = default;

BEGIN_MESSAGE_MAP(CPointDataPage, CPropertyPage)
ON_EN_CHANGE(IDC_POINT_NAME, &CPointDataPage::OnNameChanged)
ON_EN_CHANGE(IDC_DESCRIPTION, &CPointDataPage::OnDescriptionChanged)
ON_CBN_SELCHANGE(IDC_GRAPHIC_MODEL, &CPointDataPage::OnModelChanged)
ON_BN_CLICKED(IDC_VRS, &CPointDataPage::OnVrsClicked)
ON_EN_CHANGE(IDC_COV_XX, &CPointDataPage::OnCovXX)
ON_EN_CHANGE(IDC_COV_XY, &CPointDataPage::OnCovXY)
ON_EN_CHANGE(IDC_COV_XZ, &CPointDataPage::OnCovXZ)
ON_EN_CHANGE(IDC_COV_YY, &CPointDataPage::OnCovYY)
ON_EN_CHANGE(IDC_COV_YZ, &CPointDataPage::OnCovYZ)
ON_EN_CHANGE(IDC_COV_ZZ, &CPointDataPage::OnCovZZ)
ON_EN_CHANGE(IDC_PDOP, &CPointDataPage::OnPdop)
ON_EN_CHANGE(IDC_GDOP, &CPointDataPage::OnGdop)
END_MESSAGE_MAP()

void CPointDataPage::DoDataExchange(CDataExchange* dx) {
    CPropertyPage::DoDataExchange(dx);
    DDX_Text(dx, IDC_GROUP_NAME, m_strGroup);
    DDX_Text(dx, IDC_POINT_NAME, m_strName);
    DDX_Text(dx, IDC_DESCRIPTION, m_strDescription);
    DDX_CBIndex(dx, IDC_GRAPHIC_MODEL, m_nModel);
    DDX_Text(dx, IDC_ANTENNA_HEIGHT, m_strAntenna);
    DDX_Text(dx, IDC_LAT_DEG, m_strLatDeg);
    DDX_Text(dx, IDC_LAT_MIN, m_strLatMin);
    DDX_Text(dx, IDC_LAT_SEC, m_strLatSec);
    DDX_Text(dx, IDC_LON_DEG, m_strLonDeg);
    DDX_Text(dx, IDC_LON_MIN, m_strLonMin);
    DDX_Text(dx, IDC_LON_SEC, m_strLonSec);
    DDX_Text(dx, IDC_ELEVATION, m_strElevation);
    DDX_Text(dx, IDC_NORTH, m_strNorth);
    DDX_Text(dx, IDC_EAST, m_strEast);
    DDX_Text(dx, IDC_HEIGHT, m_strHeight);
    if (m_bHoldsDifferences) {
        DDX_Text(dx, IDC_GEOC_X, m_strDx);
        DDX_Text(dx, IDC_GEOC_Y, m_strDy);
        DDX_Text(dx, IDC_GEOC_Z, m_strDz);
    }
}

CPunGps* CPointDataPage::Working() const {
    return m_pEditor != nullptr ? m_pEditor->WorkingPoint() : nullptr;
}

CGrpGps* CPointDataPage::Group() const {
    return m_pEditor != nullptr ? m_pEditor->Group() : nullptr;
}

BOOL CPointDataPage::OnSetActive() {
    m_pEditor = CNewDlgModPunGps::OfPage(*this);
    if (m_pEditor == nullptr || Working() == nullptr) return CPropertyPage::OnSetActive();
    m_pEditor->SetCurrentPage(m_nPageIndex);
    if (!m_pEditor->EditCoord()) {
        for (int id : CoordinateInputs())
            if (auto* edit = dynamic_cast<CEdit*>(GetDlgItem(id))) edit->SetReadOnly(true);
    }
    Fill();
    return CPropertyPage::OnSetActive();
}

BOOL CPointDataPage::OnKillActive() {
    return CPropertyPage::OnKillActive();
}

void CPointDataPage::Fill() {
    CPunGps* point = Working();
    CGrpGps* group = Group();
    if (point == nullptr) return;
    m_strGroup = group != nullptr ? group->GetNomeGrp() : std::string();
    m_strName = point->GetNome();
    m_strDescription = m_bDescriptionFromCode ? point->GetCode() : point->GetSecScri();
    m_strAntenna = DisplayValue(point->GetAltAnt(), 3);
    GeographicToTexts();
    m_strElevation = DisplayValue(point->GetElev(), 4);
    PlaneToTexts();
    FillModels();
    FillPrecision();
    if (auto* vrs = dynamic_cast<CButton*>(GetDlgItem(IDC_VRS)))
        vrs->SetCheck(point->IsPointVrs() ? 1 : 0);
    std::string dx;
    std::string dy;
    std::string dz;
    Differences(dx, dy, dz);
    if (m_bHoldsDifferences) {
        m_strDx = dx;
        m_strDy = dy;
        m_strDz = dz;
    } else {
        CPushScope quiet(*this);
        SetDlgItemText(IDC_GEOC_X, dx);
        SetDlgItemText(IDC_GEOC_Y, dy);
        SetDlgItemText(IDC_GEOC_Z, dz);
    }
    Push();
    // The texts are the working point's again: marks of texts typed before go.
    MarkNumberFields();
}

void CPointDataPage::FillModels() {
    auto* list = dynamic_cast<CComboBox*>(GetDlgItem(IDC_GRAPHIC_MODEL));
    if (list == nullptr || m_pEditor == nullptr) return;
    CPushScope quiet(*this);
    m_nModel = m_pEditor->FillModelList(*list);
}

void CPointDataPage::FillPrecision() {
    CPunGps* point = Working();
    // Filling the fields is no edit: the stored values keep their full precision.
    CPushScope quiet(*this);
    SetDlgItemText(IDC_COV_XX, DisplayValue(point->GetPosCov_xx(), 10));
    SetDlgItemText(IDC_COV_XY, DisplayValue(point->GetPosCov_xy(), 10));
    SetDlgItemText(IDC_COV_XZ, DisplayValue(point->GetPosCov_xz(), 10));
    SetDlgItemText(IDC_COV_YY, DisplayValue(point->GetPosCov_yy(), 10));
    SetDlgItemText(IDC_COV_YZ, DisplayValue(point->GetPosCov_yz(), 10));
    SetDlgItemText(IDC_COV_ZZ, DisplayValue(point->GetPosCov_zz(), 10));
    SetDlgItemText(IDC_PDOP, DisplayValue(point->GetPdop(), 3));
    SetDlgItemText(IDC_GDOP, DisplayValue(point->GetGdop(), 3));
}

void CPointDataPage::AngleToTexts(double radians, std::string& deg, std::string& min,
                                  std::string& sec) {
    if (!IsEgnValueDefined(radians)) {
        deg.clear();
        min.clear();
        sec.clear();
        return;
    }
    int d = 0;
    int m = 0;
    double s = 0;
    AngSesgFromRadi(radians, d, m, s);
    deg = StringDaDouble(d, 0, 0);
    min = StringDaDouble(m, 0, 0);
    sec = StringDaDouble(s, 0, 5);
}

double CPointDataPage::AngleFromTexts(const std::string& deg, const std::string& min,
                                      const std::string& sec) {
    return AngRadiFromSesg(WholeTowardZero(DoubleDaString(deg)),
                           WholeTowardZero(DoubleDaString(min)), DoubleDaString(sec));
}

double CPointDataPage::RememberedValue(const std::string& text) {
    return text.empty() ? EGN_NOVALUE : DoubleDaString(text);
}

double CPointDataPage::RememberedAngle(const std::string& deg, const std::string& min,
                                       const std::string& sec) {
    if (deg.empty() && min.empty() && sec.empty()) return EGN_NOVALUE;
    return AngleFromTexts(deg, min, sec);
}

void CPointDataPage::GeographicToTexts() {
    CPunGps* point = Working();
    AngleToTexts(point->GetLat(), m_strLatDeg, m_strLatMin, m_strLatSec);
    AngleToTexts(point->GetLong(), m_strLonDeg, m_strLonMin, m_strLonSec);
}

void CPointDataPage::PlaneToTexts() {
    CPunGps* point = Working();
    m_strEast = DisplayValue(point->GetCoordX(), 3);
    m_strNorth = DisplayValue(point->GetCoordY(), 3);
    m_strHeight = DisplayValue(point->GetCoordZ(), 3);
}

void CPointDataPage::Differences(std::string& dx, std::string& dy, std::string& dz) const {
    dx.clear();
    dy.clear();
    dz.clear();
    CPunGps* point = Working();
    CGrpGps* group = Group();
    if (point == nullptr || group == nullptr) return;
    double gx = 0;
    double gy = 0;
    double gz = 0;
    double px = 0;
    double py = 0;
    double pz = 0;
    if (!group->GetGeocCeFaMis(gx, gy, gz) || !point->GetGeocCeFaMis(px, py, pz)) return;
    dx = DisplayValue(px - gx, 3);
    dy = DisplayValue(py - gy, 3);
    dz = DisplayValue(pz - gz, 3);
}

bool CPointDataPage::GeographicToPlane() {
    CPunGps* point = Working();
    CGrpGps* group = Group();
    if (group == nullptr || !group->IsCdElabValid()) return true;
    const double lat = point->GetLat();
    const double lon = point->GetLong();
    const double elev = point->GetElev();
    const double antenna = point->GetAltAnt();
    if (!IsEgnValueDefined(lat) || !IsEgnValueDefined(lon) || !IsEgnValueDefined(elev) ||
        !IsEgnValueDefined(antenna))
        return false;
    CConvCoord* converter = group->GetConvCoord();
    double x = 0;
    double y = 0;
    double z = 0;
    if (converter == nullptr || !converter->GrafGpsToPlanAtt(lat, lon, elev, antenna, x, y, z))
        return false;
    point->SetCoordXY(x, y);
    point->SetCoordZ(z);
    return true;
}

void CPointDataPage::EndRecomputation() {
    m_pEditor->SetPointChanged(true);
    Push();
    ApplyOkRule();
}

void CPointDataPage::ApplyOkRule() {
    Pull();
    bool required = true;
    for (int id : RequiredFields())
        if (!CheckNumberField(*this, id, FormOf(id), true)) required = false;
    m_pEditor->SetPrecisionUsable(MarkPrecisionFields());
    m_pEditor->EnableOk(required);
}

bool CPointDataPage::MarkPrecisionFields() {
    bool usable = true;
    for (int id : kPrecisionFields)
        if (!CheckNumberField(*this, id, NumberForm::Number, false)) usable = false;
    return usable;
}

void CPointDataPage::MarkNumberFields() {
    for (int id : RequiredFields())
        CheckNumberField(*this, id, FormOf(id), true);
    MarkPrecisionFields();
}

void CPointDataPage::OnPrecisionChanged() {
    m_pEditor->SetPrecisionUsable(MarkPrecisionFields());
}

void CPointDataPage::RollBack(int id) {
    Fill();
    ApplyOkRule();
    // An angle has three fields: the one typed into is the one with the focus.
    CWnd* focus = GetFocus();
    if (focus != nullptr && focus->GetParent() == this && dynamic_cast<CEdit*>(focus) != nullptr)
        id = focus->GetDlgCtrlID();
    if (auto* edit = dynamic_cast<CEdit*>(GetDlgItem(id))) edit->SetSel(0, -1);
    MessageBeep(MB_OK);
}

void CPointDataPage::OnNameChanged() {
    if (Working() == nullptr) return;
    const std::string previous = m_strName;
    Pull();
    if (m_strName == previous) return;
    Working()->SetNome(m_strName);
    m_pEditor->SetPointChanged(true);
}

void CPointDataPage::OnDescriptionChanged() {
    if (Working() == nullptr) return;
    const std::string previous = m_strDescription;
    Pull();
    if (m_strDescription == previous) return;
    StoreDescription(m_strDescription);
    m_pEditor->SetPointChanged(true);
    if (auto* vrs = dynamic_cast<CButton*>(GetDlgItem(IDC_VRS)))
        vrs->SetCheck(m_strDescription.find(GPS_TAG_VRS) != std::string::npos ? 1 : 0);
    OnVrsClicked();
}

void CPointDataPage::OnModelChanged() {
    if (Working() == nullptr) return;
    Pull();
    std::string model;
    if (auto* list = dynamic_cast<CComboBox*>(GetDlgItem(IDC_GRAPHIC_MODEL)))
        if (m_nModel >= 0) list->GetLBText(m_nModel, model);
    Working()->SetAttribDis(model);
}

void CPointDataPage::OnVrsClicked() {
    CPunGps* point = Working();
    auto* vrs = dynamic_cast<CButton*>(GetDlgItem(IDC_VRS));
    if (point == nullptr || vrs == nullptr) return;
    if (vrs->GetCheck() != 0)
        point->SetPointAsVrs();
    else
        point->ClearPointAsVrs();
    m_strDescription = point->GetSecScri();
    Push();
}

float CPointDataPage::ReadPrecision(int id) const {
    return static_cast<float>(DoubleDaString(GetDlgItemText(id)));
}

// A precision text that is not a number is stored as it reads, and keeps OK closed.
void CPointDataPage::OnCovXX() {
    if (Working() == nullptr) return;
    Working()->SetPosCov_xx(ReadPrecision(IDC_COV_XX));
    OnPrecisionChanged();
}
void CPointDataPage::OnCovXY() {
    if (Working() == nullptr) return;
    Working()->SetPosCov_xy(ReadPrecision(IDC_COV_XY));
    OnPrecisionChanged();
}
void CPointDataPage::OnCovXZ() {
    if (Working() == nullptr) return;
    Working()->SetPosCov_xz(ReadPrecision(IDC_COV_XZ));
    OnPrecisionChanged();
}
void CPointDataPage::OnCovYY() {
    if (Working() == nullptr) return;
    Working()->SetPosCov_yy(ReadPrecision(IDC_COV_YY));
    OnPrecisionChanged();
}
void CPointDataPage::OnCovYZ() {
    if (Working() == nullptr) return;
    Working()->SetPosCov_yz(ReadPrecision(IDC_COV_YZ));
    OnPrecisionChanged();
}
void CPointDataPage::OnCovZZ() {
    if (Working() == nullptr) return;
    Working()->SetPosCov_zz(ReadPrecision(IDC_COV_ZZ));
    OnPrecisionChanged();
}
void CPointDataPage::OnPdop() {
    if (Working() == nullptr) return;
    Working()->SetPdop(ReadPrecision(IDC_PDOP));
    OnPrecisionChanged();
}
void CPointDataPage::OnGdop() {
    if (Working() == nullptr) return;
    Working()->SetGdop(ReadPrecision(IDC_GDOP));
    OnPrecisionChanged();
}
