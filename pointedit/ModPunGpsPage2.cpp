#include "ModPunGpsPage2.h"

#include "frame/DisplayText.h"
#include "gpsdialogs/interfaces/ConvCoord.h"
#include "gpsdialogs/interfaces/Kit.h"
#include "gpsdialogs/interfaces/LibGps.h"
#include "resource.h"

CModPunGpsPage2::CModPunGpsPage2() : CPointDataPage(IDD_MOD_PUN_GPS_PAGE2, 1, true, false) {}

CModPunGpsPage2::~CModPunGpsPage2() = default;

BEGIN_MESSAGE_MAP(CModPunGpsPage2, CPointDataPage)
ON_EN_CHANGE(IDC_NORTH, &CModPunGpsPage2::OnNorthChanged)
ON_EN_CHANGE(IDC_EAST, &CModPunGpsPage2::OnEastChanged)
ON_EN_CHANGE(IDC_HEIGHT, &CModPunGpsPage2::OnHeightChanged)
END_MESSAGE_MAP()

std::vector<int> CModPunGpsPage2::CoordinateInputs() const {
    return {IDC_NORTH, IDC_EAST, IDC_HEIGHT};
}

std::vector<int> CModPunGpsPage2::RequiredFields() const {
    return {IDC_EAST, IDC_NORTH, IDC_HEIGHT};
}

void CModPunGpsPage2::StoreDescription(const std::string& text) {
    Working()->SetSecScri(text);
}

bool CModPunGpsPage2::Recompute() {
    CPunGps* point = Working();
    CGrpGps* group = Group();
    if (group != nullptr && group->IsCdElabValid()) {
        const double x = point->GetCoordX();
        const double y = point->GetCoordY();
        const double z = point->GetCoordZ();
        const double antenna = point->GetAltAnt();
        if (!IsEgnValueDefined(x) || !IsEgnValueDefined(y) || !IsEgnValueDefined(z) ||
            !IsEgnValueDefined(antenna))
            return false;
        CConvCoord* converter = group->GetConvCoord();
        double lat = 0;
        double lon = 0;
        double elev = 0;
        if (converter == nullptr || !converter->PlanAttToGrafGps(x, y, z, antenna, lat, lon, elev))
            return false;
        point->SetLat(lat);
        point->SetLong(lon);
        point->SetElev(elev);
    }
    GeographicToTexts();
    m_strElevation = DisplayValue(point->GetElev(), 3);
    std::string dx;
    std::string dy;
    std::string dz;
    Differences(dx, dy, dz);
    {
        CPushScope quiet(*this);
        SetDlgItemText(IDC_GEOC_X, dx);
        SetDlgItemText(IDC_GEOC_Y, dy);
        SetDlgItemText(IDC_GEOC_Z, dz);
    }
    EndRecomputation();
    return true;
}

void CModPunGpsPage2::OnEastChanged() {
    if (Working() == nullptr) return;
    const std::string previous = m_strEast;
    Pull();
    if (m_strEast == previous) return;
    Working()->SetCoordXY(DoubleDaString(m_strEast), Working()->GetCoordY());
    if (Recompute()) return;
    Working()->SetCoordXY(RememberedValue(previous), Working()->GetCoordY());
    RollBack(IDC_EAST);
}

void CModPunGpsPage2::OnNorthChanged() {
    if (Working() == nullptr) return;
    const std::string previous = m_strNorth;
    Pull();
    if (m_strNorth == previous) return;
    Working()->SetCoordXY(Working()->GetCoordX(), DoubleDaString(m_strNorth));
    if (Recompute()) return;
    Working()->SetCoordXY(Working()->GetCoordX(), RememberedValue(previous));
    RollBack(IDC_NORTH);
}

void CModPunGpsPage2::OnHeightChanged() {
    if (Working() == nullptr) return;
    const std::string previous = m_strHeight;
    Pull();
    if (m_strHeight == previous) return;
    Working()->SetCoordZ(DoubleDaString(m_strHeight));
    if (Recompute()) return;
    Working()->SetCoordZ(RememberedValue(previous));
    RollBack(IDC_HEIGHT);
}
