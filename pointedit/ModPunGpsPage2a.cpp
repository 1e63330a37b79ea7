#include "ModPunGpsPage2a.h"

#include "frame/DisplayText.h"
#include "gpsdialogs/interfaces/Kit.h"
#include "gpsdialogs/interfaces/LibGps.h"
#include "resource.h"

CModPunGpsPage2a::CModPunGpsPage2a() : CPointDataPage(IDD_MOD_PUN_GPS_PAGE2A, 2, false, true) {}

CModPunGpsPage2a::~CModPunGpsPage2a() = default;

BEGIN_MESSAGE_MAP(CModPunGpsPage2a, CPointDataPage)
ON_EN_CHANGE(IDC_GEOC_X, &CModPunGpsPage2a::OnDxChanged)
ON_EN_CHANGE(IDC_GEOC_Y, &CModPunGpsPage2a::OnDyChanged)
ON_EN_CHANGE(IDC_GEOC_Z, &CModPunGpsPage2a::OnDzChanged)
END_MESSAGE_MAP()

std::vector<int> CModPunGpsPage2a::CoordinateInputs() const {
    // The differences are this page's coordinates: they are locked with the rest.
    return {IDC_NORTH, IDC_EAST, IDC_HEIGHT, IDC_GEOC_X, IDC_GEOC_Y, IDC_GEOC_Z};
}

std::vector<int> CModPunGpsPage2a::RequiredFields() const {
    return {IDC_GEOC_X, IDC_GEOC_Y, IDC_GEOC_Z};
}

void CModPunGpsPage2a::StoreDescription(const std::string& text) {
    Working()->SetSecScri(text);
}

bool CModPunGpsPage2a::Recompute() {
    CPunGps* point = Working();
    CGrpGps* group = Group();
    double gx = EGN_NOVALUE;
    double gy = EGN_NOVALUE;
    double gz = EGN_NOVALUE;
    if (group != nullptr) group->GetGeocCeFaMis(gx, gy, gz);
    // The position as the point holds it, to put back exactly when the recomputation fails.
    const double lat = point->GetLat();
    const double lon = point->GetLong();
    const double elev = point->GetElev();
    point->SetGeocCeFaMis(gx + DoubleDaString(m_strDx), gy + DoubleDaString(m_strDy),
                          gz + DoubleDaString(m_strDz));
    if (!GeographicToPlane()) {
        // The position goes back with the text, so that the reload shows what was there.
        point->SetLat(lat);
        point->SetLong(lon);
        point->SetElev(elev);
        return false;
    }
    PlaneToTexts();
    GeographicToTexts();
    m_strElevation = DisplayValue(point->GetElev(), 3);
    EndRecomputation();
    return true;
}

void CModPunGpsPage2a::DifferenceChanged(std::string& held, int id) {
    if (Working() == nullptr) return;
    const std::string previous = held;
    Pull();
    if (held == previous) return;
    if (Recompute()) return;
    held = previous;
    RollBack(id);
}

void CModPunGpsPage2a::OnDxChanged() {
    DifferenceChanged(m_strDx, IDC_GEOC_X);
}

void CModPunGpsPage2a::OnDyChanged() {
    DifferenceChanged(m_strDy, IDC_GEOC_Y);
}

void CModPunGpsPage2a::OnDzChanged() {
    DifferenceChanged(m_strDz, IDC_GEOC_Z);
}
