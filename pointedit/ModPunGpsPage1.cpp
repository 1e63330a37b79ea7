#include "ModPunGpsPage1.h"

#include "gpsdialogs/interfaces/ConvCoord.h"
#include "gpsdialogs/interfaces/Kit.h"
#include "gpsdialogs/interfaces/LibGps.h"
#include "resource.h"

CModPunGpsPage1::CModPunGpsPage1() : CPointDataPage(IDD_MOD_PUN_GPS_PAGE1, 0, true, true) {}

CModPunGpsPage1::~CModPunGpsPage1() = default;

BEGIN_MESSAGE_MAP(CModPunGpsPage1, CPointDataPage)
ON_EN_CHANGE(IDC_ANTENNA_HEIGHT, &CModPunGpsPage1::OnAntennaChanged)
ON_EN_CHANGE(IDC_ELEVATION, &CModPunGpsPage1::OnElevationChanged)
ON_EN_CHANGE(IDC_LAT_DEG, &CModPunGpsPage1::OnLatitudeChanged)
ON_EN_CHANGE(IDC_LAT_MIN, &CModPunGpsPage1::OnLatitudeChanged)
ON_EN_CHANGE(IDC_LAT_SEC, &CModPunGpsPage1::OnLatitudeChanged)
ON_EN_CHANGE(IDC_LON_DEG, &CModPunGpsPage1::OnLongitudeChanged)
ON_EN_CHANGE(IDC_LON_MIN, &CModPunGpsPage1::OnLongitudeChanged)
ON_EN_CHANGE(IDC_LON_SEC, &CModPunGpsPage1::OnLongitudeChanged)
END_MESSAGE_MAP()

std::vector<int> CModPunGpsPage1::CoordinateInputs() const {
    return {IDC_LAT_DEG, IDC_LAT_MIN, IDC_LAT_SEC,   IDC_LON_DEG,
            IDC_LON_MIN, IDC_LON_SEC, IDC_ELEVATION, IDC_ANTENNA_HEIGHT};
}

std::vector<int> CModPunGpsPage1::RequiredFields() const {
    return {IDC_ANTENNA_HEIGHT, IDC_LAT_DEG, IDC_LAT_MIN, IDC_LAT_SEC,
            IDC_LON_DEG,        IDC_LON_MIN, IDC_LON_SEC, IDC_ELEVATION};
}

void CModPunGpsPage1::StoreDescription(const std::string& text) {
    Working()->SetCode(text);
}

bool CModPunGpsPage1::Recompute() {
    if (!GeographicToPlane()) return false;
    PlaneToTexts();
    Differences(m_strDx, m_strDy, m_strDz);
    EndRecomputation();
    return true;
}

void CModPunGpsPage1::OnAntennaChanged() {
    if (Working() == nullptr) return;
    const std::string previous = m_strAntenna;
    Pull();
    if (m_strAntenna == previous) return;
    Working()->SetAltAnt(DoubleDaString(m_strAntenna));
    if (Recompute()) return;
    Working()->SetAltAnt(RememberedValue(previous));
    RollBack(IDC_ANTENNA_HEIGHT);
}

void CModPunGpsPage1::OnElevationChanged() {
    if (Working() == nullptr) return;
    const std::string previous = m_strElevation;
    Pull();
    if (m_strElevation == previous) return;
    Working()->SetElev(DoubleDaString(m_strElevation));
    if (Recompute()) return;
    Working()->SetElev(RememberedValue(previous));
    RollBack(IDC_ELEVATION);
}

void CModPunGpsPage1::OnLatitudeChanged() {
    if (Working() == nullptr) return;
    const std::string deg = m_strLatDeg;
    const std::string min = m_strLatMin;
    const std::string sec = m_strLatSec;
    Pull();
    if (m_strLatDeg == deg && m_strLatMin == min && m_strLatSec == sec) return;
    Working()->SetLat(AngleFromTexts(m_strLatDeg, m_strLatMin, m_strLatSec));
    if (Recompute()) return;
    Working()->SetLat(RememberedAngle(deg, min, sec));
    RollBack(IDC_LAT_DEG);
}

void CModPunGpsPage1::OnLongitudeChanged() {
    if (Working() == nullptr) return;
    const std::string deg = m_strLonDeg;
    const std::string min = m_strLonMin;
    const std::string sec = m_strLonSec;
    Pull();
    if (m_strLonDeg == deg && m_strLonMin == min && m_strLonSec == sec) return;
    Working()->SetLong(AngleFromTexts(m_strLonDeg, m_strLonMin, m_strLonSec));
    if (Recompute()) return;
    Working()->SetLong(RememberedAngle(deg, min, sec));
    RollBack(IDC_LON_DEG);
}
