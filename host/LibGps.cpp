// The GPS field book: groups with their base stations, and points.
#include "gpsdialogs/interfaces/LibGps.h"

#include "gpsdialogs/interfaces/ConvCoord.h"

#include <algorithm>

namespace {

bool hasTag(const std::string& text, const char* tag) {
    return text.find(tag) != std::string::npos;
}

// Appends the tag, separated by one blank, unless it is already there.
bool addTag(std::string& text, const char* tag) {
    if (hasTag(text, tag)) return false;
    if (!text.empty() && text.back() != ' ') text += ' ';
    text += tag;
    return true;
}

// Removes every occurrence of the tag together with one blank that separated it.
bool removeTag(std::string& text, const std::string& tag) {
    bool removed = false;
    for (std::size_t pos = text.find(tag); pos != std::string::npos; pos = text.find(tag, pos)) {
        text.erase(pos, tag.size());
        removed = true;
        if (pos > 0 && text[pos - 1] == ' ' && (pos == text.size() || text[pos] == ' ')) {
            text.erase(pos - 1, 1);
            --pos;
        } else if (pos == 0 && !text.empty() && text[0] == ' ') {
            text.erase(0, 1);
        }
    }
    return removed;
}

} // namespace

// ---- CPunGps --------------------------------------------------------------------------------

CPunGps::CPunGps(gis::CDBTable* table, bool flag, CGrpGps* group)
    : m_pGrp(group), m_pTable(table), m_pListOwner(nullptr), m_dLat(EGN_NOVALUE),
      m_dLong(EGN_NOVALUE), m_dElev(EGN_NOVALUE), m_dAltAnt(EGN_NOVALUE), m_dGeocX(EGN_NOVALUE),
      m_dGeocY(EGN_NOVALUE), m_dGeocZ(EGN_NOVALUE), m_dPdop(EGN_NOVALUE),
      m_dGdop(EGN_NOVALUE), m_fCov{0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f} {
    if (flag && group) group->Adopt(this);
}

CPunGps::~CPunGps() {
    if (m_pListOwner) m_pListOwner->Release(this);
}

std::string CPunGps::GetCode() const {
    return GetSecScri();
}
void CPunGps::SetCode(const std::string& code) {
    SetSecScri(code);
}

double CPunGps::GetLat() const {
    return m_dLat;
}
double CPunGps::GetLong() const {
    return m_dLong;
}
double CPunGps::GetElev() const {
    return m_dElev;
}
double CPunGps::GetAltAnt() const {
    return m_dAltAnt;
}

void CPunGps::SetLat(double lat) {
    m_dLat = lat;
    GeoChanged();
}

void CPunGps::SetLong(double lon) {
    m_dLong = lon;
    GeoChanged();
}

void CPunGps::SetElev(double elev) {
    m_dElev = elev;
    GeoChanged();
}

void CPunGps::SetGeo(double lat, double lon, double elev) {
    m_dLat = lat;
    m_dLong = lon;
    m_dElev = elev;
    GeoChanged();
}

void CPunGps::SetAltAnt(double height) {
    m_dAltAnt = height;
}

void CPunGps::GeoChanged() {
    if (!GeoToGeocentric(m_dLat, m_dLong, m_dElev, m_dGeocX, m_dGeocY, m_dGeocZ)) {
        m_dGeocX = EGN_NOVALUE;
        m_dGeocY = EGN_NOVALUE;
        m_dGeocZ = EGN_NOVALUE;
    }
}

bool CPunGps::GetGeocCeFaMis(double& x, double& y, double& z) const {
    x = m_dGeocX;
    y = m_dGeocY;
    z = m_dGeocZ;
    return IsEgnValueDefined(x) && IsEgnValueDefined(y) && IsEgnValueDefined(z);
}

void CPunGps::SetGeocCeFaMis(double x, double y, double z) {
    m_dGeocX = x;
    m_dGeocY = y;
    m_dGeocZ = z;
    if (!GeocentricToGeo(x, y, z, m_dLat, m_dLong, m_dElev)) {
        m_dLat = EGN_NOVALUE;
        m_dLong = EGN_NOVALUE;
        m_dElev = EGN_NOVALUE;
    }
}

double CPunGps::GetPdop() const {
    return m_dPdop;
}
void CPunGps::SetPdop(double pdop) {
    m_dPdop = pdop;
}
double CPunGps::GetGdop() const {
    return m_dGdop;
}
void CPunGps::SetGdop(double gdop) {
    m_dGdop = gdop;
}

float CPunGps::GetPosCov_xx() const {
    return m_fCov[0];
}
float CPunGps::GetPosCov_xy() const {
    return m_fCov[1];
}
float CPunGps::GetPosCov_xz() const {
    return m_fCov[2];
}
float CPunGps::GetPosCov_yy() const {
    return m_fCov[3];
}
float CPunGps::GetPosCov_yz() const {
    return m_fCov[4];
}
float CPunGps::GetPosCov_zz() const {
    return m_fCov[5];
}
void CPunGps::SetPosCov_xx(float v) {
    m_fCov[0] = v;
}
void CPunGps::SetPosCov_xy(float v) {
    m_fCov[1] = v;
}
void CPunGps::SetPosCov_xz(float v) {
    m_fCov[2] = v;
}
void CPunGps::SetPosCov_yy(float v) {
    m_fCov[3] = v;
}
void CPunGps::SetPosCov_yz(float v) {
    m_fCov[4] = v;
}
void CPunGps::SetPosCov_zz(float v) {
    m_fCov[5] = v;
}

bool CPunGps::IsPointVrs() const {
    return hasTag(GetSecScri(), GPS_TAG_VRS);
}

bool CPunGps::SetPointAsVrs() {
    std::string text = GetSecScri();
    if (!addTag(text, GPS_TAG_VRS)) return false;
    SetSecScri(text);
    return true;
}

bool CPunGps::ClearPointAsVrs() {
    std::string text = GetSecScri();
    if (!removeTag(text, GPS_TAG_VRS)) return false;
    SetSecScri(text);
    return true;
}

gis::CDBTable* CPunGps::GetGisTable() const {
    return m_pTable;
}
void CPunGps::SetGisTable(gis::CDBTable* table) {
    m_pTable = table;
}

// ---- CGrpGps --------------------------------------------------------------------------------

CGrpGps::CGrpGps()
    : m_dPdop(EGN_NOVALUE), m_dGdop(EGN_NOVALUE), m_dUndulation(0.0), m_dGeocX(EGN_NOVALUE),
      m_dGeocY(EGN_NOVALUE), m_dGeocZ(EGN_NOVALUE), m_dBaseLat(EGN_NOVALUE),
      m_dBaseLong(EGN_NOVALUE), m_dBaseElev(EGN_NOVALUE), m_dBaseAltAnt(EGN_NOVALUE),
      m_ucRicevitore(0), m_ucRilievo(0), m_nEuref(0), m_uDrawing(0) {}

CGrpGps::~CGrpGps() {
    // The points must not remove themselves from the list while it is being destroyed.
    for (auto& point : m_punti)
        point->m_pListOwner = nullptr;
    m_punti.clear();
}

void CGrpGps::Adopt(CPunGps* point) {
    point->m_pListOwner = this;
    m_punti.emplace_back(point);
}

void CGrpGps::Release(CPunGps* point) {
    auto it = std::find_if(m_punti.begin(), m_punti.end(),
                           [point](const std::unique_ptr<CPunGps>& p) { return p.get() == point; });
    if (it != m_punti.end()) {
        // The point is being deleted by its own destructor: give it up without deleting it.
        [[maybe_unused]] CPunGps* released = it->release();
        m_punti.erase(it);
    }
    point->m_pListOwner = nullptr;
}

const std::string& CGrpGps::GetNomeGrp() const {
    return m_strNomeGrp;
}
void CGrpGps::SetNomeGrp(const std::string& name) {
    m_strNomeGrp = name;
}

bool CGrpGps::IsCdElabValid() const {
    return m_pConv && m_pConv->IsValid();
}

CConvCoord* CGrpGps::GetConvCoord() const {
    return IsCdElabValid() ? m_pConv.get() : nullptr;
}

bool CGrpGps::SetProjection(const std::string& crs, double undulation, std::string* error) {
    if (crs.empty()) {
        ClearProjection();
        return true;
    }
    if (m_pConv && crs == m_strProj) { // the converter is made once per system
        m_pConv->SetUndulation(undulation);
        m_dUndulation = undulation;
        return true;
    }
    auto conv = std::make_unique<CConvCoord>(crs, undulation);
    if (!conv->IsValid()) {
        if (error) *error = conv->GetError();
        ClearProjection();
        return false;
    }
    m_strProj = crs;
    m_dUndulation = undulation;
    m_pConv = std::move(conv);
    return true;
}

void CGrpGps::ClearProjection() {
    m_pConv.reset();
    m_strProj.clear();
    m_dUndulation = 0.0;
}

const std::string& CGrpGps::GetProjection() const {
    return m_strProj;
}
double CGrpGps::GetUndulation() const {
    return m_dUndulation;
}

bool CGrpGps::GetGeocCeFaMis(double& x, double& y, double& z) const {
    x = m_dGeocX;
    y = m_dGeocY;
    z = m_dGeocZ;
    return IsEgnValueDefined(x) && IsEgnValueDefined(y) && IsEgnValueDefined(z);
}

void CGrpGps::SetGeocCeFaMis(double x, double y, double z) {
    m_dGeocX = x;
    m_dGeocY = y;
    m_dGeocZ = z;
    if (!GeocentricToGeo(x, y, z, m_dBaseLat, m_dBaseLong, m_dBaseElev)) {
        m_dBaseLat = EGN_NOVALUE;
        m_dBaseLong = EGN_NOVALUE;
        m_dBaseElev = EGN_NOVALUE;
    }
}

void CGrpGps::SetBaseGeo(double lat, double lon, double elev) {
    m_dBaseLat = lat;
    m_dBaseLong = lon;
    m_dBaseElev = elev;
    if (!GeoToGeocentric(lat, lon, elev, m_dGeocX, m_dGeocY, m_dGeocZ)) {
        m_dGeocX = EGN_NOVALUE;
        m_dGeocY = EGN_NOVALUE;
        m_dGeocZ = EGN_NOVALUE;
    }
}

double CGrpGps::GetBaseLat() const {
    return m_dBaseLat;
}
double CGrpGps::GetBaseLong() const {
    return m_dBaseLong;
}
double CGrpGps::GetBaseElev() const {
    return m_dBaseElev;
}
double CGrpGps::GetBaseAltAnt() const {
    return m_dBaseAltAnt;
}
void CGrpGps::SetBaseAltAnt(double height) {
    m_dBaseAltAnt = height;
}

unsigned char CGrpGps::GetTipoRicevitore() const {
    return m_ucRicevitore;
}
void CGrpGps::SetTipoRicevitore(unsigned char type) {
    m_ucRicevitore = type;
}
unsigned char CGrpGps::GetTipoRilievo() const {
    return m_ucRilievo;
}
void CGrpGps::SetTipoRilievo(unsigned char type) {
    m_ucRilievo = type;
}

bool CGrpGps::SetBaseEuref(int network) {
    if (network <= 0) return false;
    m_nEuref = network;
    std::string text = GetSecScri();
    if (addTag(text, GPS_TAG_EUREF)) SetSecScri(text);
    return true;
}

bool CGrpGps::ClearBaseEuref() {
    m_nEuref = 0;
    std::string text = GetSecScri();
    if (!removeTag(text, GPS_TAG_EUREF)) return false;
    SetSecScri(text);
    return true;
}

int CGrpGps::GetBaseEurefCode() const {
    return m_nEuref;
}
bool CGrpGps::IsBaseEuref() const {
    return hasTag(GetSecScri(), GPS_TAG_EUREF);
}

std::uint64_t CGrpGps::GetTargetDrawing() const {
    return m_uDrawing;
}
void CGrpGps::SetTargetDrawing(std::uint64_t drawing) {
    m_uDrawing = drawing;
}

bool CGrpGps::ClearAllPointVrs(int keepIndex, std::vector<int>& cleared) {
    cleared.clear();
    for (int i = 0; i < GetPunCount(); ++i) {
        if (i == keepIndex) continue;
        if (m_punti[static_cast<std::size_t>(i)]->ClearPointAsVrs()) cleared.push_back(i);
    }
    return !cleared.empty();
}

int CGrpGps::GetPunCount() const {
    return static_cast<int>(m_punti.size());
}

CPunGps* CGrpGps::GetPunAt(int index) const {
    if (index < 0 || index >= GetPunCount()) return nullptr;
    return m_punti[static_cast<std::size_t>(index)].get();
}

int CGrpGps::IndexOfPun(const CPunGps* point) const {
    for (std::size_t i = 0; i < m_punti.size(); ++i)
        if (m_punti[i].get() == point) return static_cast<int>(i);
    return -1;
}

CPunGps* CGrpGps::AddPun() {
    return new CPunGps(nullptr, true, this);
}

bool CGrpGps::RemovePun(int index) {
    if (index < 0 || index >= GetPunCount()) return false;
    std::unique_ptr<CPunGps> point = std::move(m_punti[static_cast<std::size_t>(index)]);
    m_punti.erase(m_punti.begin() + index);
    point->m_pListOwner = nullptr;
    return true; // the point is deleted here, outside the list
}

// ---- CLibGps --------------------------------------------------------------------------------

CLibGps::CLibGps() = default;
CLibGps::~CLibGps() = default;

int CLibGps::GetGrpArSize() const {
    return static_cast<int>(m_grps.size());
}

CGrpGps* CLibGps::GetGrpAt(int index) const {
    if (index < 0 || index >= GetGrpArSize()) return nullptr;
    return m_grps[static_cast<std::size_t>(index)].get();
}

int CLibGps::GetPunArSize(int group) const {
    const CGrpGps* grp = GetGrpAt(group);
    return grp ? grp->GetPunCount() : 0;
}

CPunGps* CLibGps::GetPunAt(int group, int point) const {
    const CGrpGps* grp = GetGrpAt(group);
    return grp ? grp->GetPunAt(point) : nullptr;
}

bool CLibGps::GetIndiciDiPun(const CPunGps* point, int& group, int& index) const {
    group = -1;
    index = -1;
    if (!point) return false;
    for (int g = 0; g < GetGrpArSize(); ++g) {
        const int i = m_grps[static_cast<std::size_t>(g)]->IndexOfPun(point);
        if (i >= 0) {
            group = g;
            index = i;
            return true;
        }
    }
    return false;
}

bool CLibGps::GetIndiciDiGrp(const CGrpGps* group, int& index) const {
    index = -1;
    if (!group) return false;
    for (int g = 0; g < GetGrpArSize(); ++g) {
        if (m_grps[static_cast<std::size_t>(g)].get() == group) {
            index = g;
            return true;
        }
    }
    return false;
}

CGrpGps* CLibGps::AddGrp(const std::string& name) {
    m_grps.push_back(std::make_unique<CGrpGps>());
    m_grps.back()->SetNomeGrp(name);
    return m_grps.back().get();
}

bool CLibGps::RemoveGrp(int index) {
    if (index < 0 || index >= GetGrpArSize()) return false;
    m_grps.erase(m_grps.begin() + index);
    return true;
}

CPunGps* CLibGps::AddPun(int group) {
    CGrpGps* grp = GetGrpAt(group);
    return grp ? grp->AddPun() : nullptr;
}

void CLibGps::Clear() {
    m_grps.clear();
    m_OpzListDisEgn.Clear();
}
