// The survey element and the graphic-model options.
#include "gpsdialogs/interfaces/Egn.h"

#include "gpsdialogs/interfaces/Gis.h"

#include <algorithm>

bool IsEgnValueDefined(double v) {
    return v < EGN_NOVALUE_LIMIT;
}

// ---- CEgn -----------------------------------------------------------------------------------

CEgn::CEgn()
    : m_dX(EGN_NOVALUE), m_dY(EGN_NOVALUE),
      m_dZ(EGN_NOVALUE), m_dErrStat{EGN_NOVALUE, EGN_NOVALUE, EGN_NOVALUE,
                                    EGN_NOVALUE, EGN_NOVALUE, EGN_NOVALUE},
      m_uCodes(0), m_pEntVert(nullptr) {}

CEgn::~CEgn() {
    SetEntVert(nullptr);
}

const std::string& CEgn::GetNome() const {
    return m_strNome;
}
void CEgn::SetNome(const std::string& name) {
    if (name == m_strNome) return;
    m_strNome = name;
    if (m_pEntVert != nullptr)
        gis::CLibGis::SetPredefinedText(m_pEntVert->GetEnt(), gis::FIELD_KIND_POINT_NAME, name);
}
const std::string& CEgn::GetSecScri() const {
    return m_strSecScri;
}
void CEgn::SetSecScri(const std::string& description) {
    if (description == m_strSecScri) return;
    m_strSecScri = description;
    if (m_pEntVert != nullptr)
        gis::CLibGis::SetPredefinedText(m_pEntVert->GetEnt(), gis::FIELD_KIND_POINT_CODE,
                                        description);
}
std::string CEgn::GetNote() const {
    return m_strNote;
}
void CEgn::SetNote(const std::string& note) {
    m_strNote = note;
}
std::string CEgn::GetAttribDis() const {
    return m_strAttribDis;
}
void CEgn::SetAttribDis(const std::string& model) {
    m_strAttribDis = model;
}

double CEgn::GetCoordX() const {
    return m_dX;
}
double CEgn::GetCoordY() const {
    return m_dY;
}
double CEgn::GetCoordZ() const {
    return m_dZ;
}

void CEgn::SetCoordXY(double x, double y) {
    m_dX = x;
    m_dY = y;
    if (m_pEntVert == nullptr || !IsEgnValueDefined(x) || !IsEgnValueDefined(y)) return;
    const kit::geom::PNT_3D& at = m_pEntVert->GetCoord();
    if (at.x != x || at.y != y) gis::CLibGis::SetEntVertCoord(m_pEntVert, x, y, at.z, true);
}

void CEgn::SetCoordZ(double z) {
    m_dZ = z;
    if (m_pEntVert == nullptr || !IsEgnValueDefined(z)) return;
    const kit::geom::PNT_3D& at = m_pEntVert->GetCoord();
    if (at.z != z) gis::CLibGis::SetEntVertCoord(m_pEntVert, at.x, at.y, z, true);
}

void CEgn::AnnullaCoor() {
    m_dX = EGN_NOVALUE;
    m_dY = EGN_NOVALUE;
    m_dZ = EGN_NOVALUE;
}

bool CEgn::GetDatiErrStat(double& e1, double& e2, double& e3, double& e4, double& e5,
                          double& e6) const {
    e1 = m_dErrStat[0];
    e2 = m_dErrStat[1];
    e3 = m_dErrStat[2];
    e4 = m_dErrStat[3];
    e5 = m_dErrStat[4];
    e6 = m_dErrStat[5];
    return std::any_of(std::begin(m_dErrStat), std::end(m_dErrStat), IsEgnValueDefined);
}

bool CEgn::SetDatiErrStat(double e1, double e2, double e3, double e4, double e5, double e6) {
    m_dErrStat[0] = e1;
    m_dErrStat[1] = e2;
    m_dErrStat[2] = e3;
    m_dErrStat[3] = e4;
    m_dErrStat[4] = e5;
    m_dErrStat[5] = e6;
    return true;
}

bool CEgn::HasCodeBit(unsigned bit) const {
    return (m_uCodes & bit) != 0;
}

void CEgn::SetCodeBit(unsigned bit, bool on) {
    if (on)
        m_uCodes |= bit;
    else
        m_uCodes &= ~bit;
}

bool CEgn::IsCodedOR() const {
    return HasCodeBit(EGN_CODE_OR);
}
bool CEgn::IsCodedQU() const {
    return HasCodeBit(EGN_CODE_QU);
}
bool CEgn::IsCodedOC() const {
    return HasCodeBit(EGN_CODE_OC);
}
bool CEgn::IsCodedNC() const {
    return HasCodeBit(EGN_CODE_NC);
}
bool CEgn::IsCodedCL() const {
    return HasCodeBit(EGN_CODE_CL);
}
bool CEgn::IsCodedNT() const {
    return HasCodeBit(EGN_CODE_NT);
}
bool CEgn::IsCodedLD() const {
    return HasCodeBit(EGN_CODE_LD);
}
bool CEgn::IsCodedFL() const {
    return HasCodeBit(EGN_CODE_FL);
}
bool CEgn::IsCodedNP() const {
    return HasCodeBit(EGN_CODE_NP);
}
bool CEgn::IsCodedNE() const {
    return HasCodeBit(EGN_CODE_NE);
}
bool CEgn::IsCodedIL() const {
    return HasCodeBit(EGN_CODE_IL);
}
bool CEgn::IsCodedNV() const {
    return HasCodeBit(EGN_CODE_NV);
}
bool CEgn::IsCodedNL() const {
    return HasCodeBit(EGN_CODE_NL);
}

void CEgn::SetCodeOR(bool on) {
    SetCodeBit(EGN_CODE_OR, on);
}
void CEgn::SetCodeQU(bool on) {
    SetCodeBit(EGN_CODE_QU, on);
}
void CEgn::SetCodeOC(bool on) {
    SetCodeBit(EGN_CODE_OC, on);
}
void CEgn::SetCodeNC(bool on) {
    SetCodeBit(EGN_CODE_NC, on);
}
void CEgn::SetCodeCL(bool on) {
    SetCodeBit(EGN_CODE_CL, on);
}
void CEgn::SetCodeNT(bool on) {
    SetCodeBit(EGN_CODE_NT, on);
}
void CEgn::SetCodeLD(bool on) {
    SetCodeBit(EGN_CODE_LD, on);
}
void CEgn::SetCodeFL(bool on) {
    SetCodeBit(EGN_CODE_FL, on);
}
void CEgn::SetCodeNP(bool on) {
    SetCodeBit(EGN_CODE_NP, on);
}
void CEgn::SetCodeNE(bool on) {
    SetCodeBit(EGN_CODE_NE, on);
}
void CEgn::SetCodeIL(bool on) {
    SetCodeBit(EGN_CODE_IL, on);
}
void CEgn::SetCodeNV(bool on) {
    SetCodeBit(EGN_CODE_NV, on);
}
void CEgn::SetCodeNL(bool on) {
    SetCodeBit(EGN_CODE_NL, on);
}

unsigned CEgn::GetCodeMask() const {
    return m_uCodes;
}
void CEgn::SetCodeMask(unsigned mask) {
    m_uCodes = mask & EGN_CODE_ALL;
}

gis::CEntVert* CEgn::GetEntVert() const {
    return m_pEntVert;
}

void CEgn::SetEntVert(gis::CEntVert* vertex) {
    if (vertex == m_pEntVert) return;
    if (m_pEntVert) {
        auto& linked = m_pEntVert->m_linked;
        linked.erase(std::remove(linked.begin(), linked.end(), this), linked.end());
    }
    m_pEntVert = vertex;
    if (m_pEntVert) m_pEntVert->m_linked.push_back(this);
}

void CEgn::ForgetEntVert(const gis::CEntVert* vertex) {
    if (m_pEntVert == vertex) m_pEntVert = nullptr;
}

// ---- graphic-model options ------------------------------------------------------------------

COpzDisEgn::COpzDisEgn(std::string name) : m_strNome(std::move(name)) {}
const std::string& COpzDisEgn::GetNomeOpz() const {
    return m_strNome;
}
void COpzDisEgn::SetNomeOpz(const std::string& name) {
    m_strNome = name;
}

COpzListDisEgn::COpzListDisEgn() = default;
COpzListDisEgn::~COpzListDisEgn() = default;

int COpzListDisEgn::GetNuOpzCom() const {
    return static_cast<int>(m_opz.size());
}

COpzDisEgn* COpzListDisEgn::GetOpzCom(int index) const {
    if (index < 0 || index >= GetNuOpzCom()) return nullptr;
    return m_opz[static_cast<std::size_t>(index)].get();
}

COpzDisEgn* COpzListDisEgn::AddOpzCom(const std::string& name) {
    m_opz.push_back(std::make_unique<COpzDisEgn>(name));
    return m_opz.back().get();
}

bool COpzListDisEgn::RemoveOpzCom(int index) {
    if (index < 0 || index >= GetNuOpzCom()) return false;
    m_opz.erase(m_opz.begin() + index);
    return true;
}

void COpzListDisEgn::Clear() {
    m_opz.clear();
}
