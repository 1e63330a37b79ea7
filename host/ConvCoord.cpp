// Geographic <-> plane conversion of one projected system through PROJ.
#include "gpsdialogs/interfaces/ConvCoord.h"

#include <proj.h>

#include <cmath>
#include <cstdlib>
#include <numbers>

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

constexpr double kUndefinedLimit = 8.5e199;

bool usable(double v) {
    return std::isfinite(v) && v < kUndefinedLimit && v > -kUndefinedLimit;
}

double toDegrees(double rad) {
    return rad * 180.0 / std::numbers::pi;
}
double toRadians(double deg) {
    return deg * std::numbers::pi / 180.0;
}

#ifdef _WIN32
// On Windows PROJ is linked into this DLL and its database travels with it, in the folder
// "proj" beside the DLL; PROJ_DATA (or the older PROJ_LIB) still takes precedence.
void setDataFolder(PJ_CONTEXT* ctx) {
    if (std::getenv("PROJ_DATA") || std::getenv("PROJ_LIB")) return;
    HMODULE self = nullptr;
    if (!::GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                                  GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                              reinterpret_cast<LPCWSTR>(&setDataFolder), &self))
        return;
    wchar_t module[MAX_PATH * 4];
    const DWORD n = ::GetModuleFileNameW(self, module, MAX_PATH * 4);
    if (n == 0 || n >= MAX_PATH * 4) return;
    std::wstring folder(module, n);
    folder.resize(folder.find_last_of(L"\\/") + 1);
    folder += L"proj";
    const int size =
        ::WideCharToMultiByte(CP_UTF8, 0, folder.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(size), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, folder.c_str(), -1, utf8.data(), size, nullptr, nullptr);
    const char* paths[] = {utf8.c_str()};
    proj_context_set_search_paths(ctx, 1, paths);
}
#endif

std::string contextError(PJ_CONTEXT* ctx) {
    const int err = proj_context_errno(ctx);
    const char* text = err ? proj_context_errno_string(ctx, err) : nullptr;
    return text ? text : "unknown error";
}

} // namespace

struct CConvCoord::Impl {
    std::string crs;
    std::string error;
    double undulation = 0.0;
    PJ_CONTEXT* ctx = nullptr;
    PJ* projected = nullptr;
    PJ* transform = nullptr; // geographic (lon, lat degrees) <-> (East, North)
    bool hasArea = false;
    double west = 0.0, south = 0.0, east = 0.0, north = 0.0;

    ~Impl() {
        if (transform) proj_destroy(transform);
        if (projected) proj_destroy(projected);
        if (ctx) proj_context_destroy(ctx);
    }

    void build() {
        ctx = proj_context_create();
        if (!ctx) {
            error = "PROJ context not available";
            return;
        }
        proj_log_level(ctx, PJ_LOG_NONE);
#ifdef _WIN32
        setDataFolder(ctx);
#endif
        std::string definition = crs;
        // A bare PROJ string denotes an operation; ask for the system it defines.
        if (definition.rfind("+proj=", 0) == 0 && definition.find("+type=crs") == std::string::npos)
            definition += " +type=crs";
        projected = proj_create(ctx, definition.c_str());
        if (!projected) {
            error = "unknown coordinate reference system '" + crs + "': " + contextError(ctx);
            return;
        }
        if (proj_get_type(projected) != PJ_TYPE_PROJECTED_CRS) {
            error = "'" + crs + "' is not a projected coordinate reference system";
            return;
        }
        PJ* geodetic = proj_crs_get_geodetic_crs(ctx, projected);
        if (!geodetic) {
            error = "no geodetic datum for '" + crs + "': " + contextError(ctx);
            return;
        }
        PJ* op = proj_create_crs_to_crs_from_pj(ctx, geodetic, projected, nullptr, nullptr);
        proj_destroy(geodetic);
        if (!op) {
            error = "no conversion to '" + crs + "': " + contextError(ctx);
            return;
        }
        // Longitude first, East first, whatever the systems' own axis order.
        transform = proj_normalize_for_visualization(ctx, op);
        proj_destroy(op);
        if (!transform) {
            error = "no conversion to '" + crs + "': " + contextError(ctx);
            return;
        }
        const char* areaName = nullptr;
        double w = 0, s = 0, e = 0, n = 0;
        if (proj_get_area_of_use(ctx, projected, &w, &s, &e, &n, &areaName) && w > -1000 &&
            s > -1000) {
            hasArea = true;
            west = w;
            south = s;
            east = e;
            north = n;
        }
    }
};

CConvCoord::CConvCoord(const std::string& crs, double undulation) : m_pImpl(new Impl) {
    m_pImpl->crs = crs;
    m_pImpl->undulation = undulation;
    m_pImpl->build();
}

CConvCoord::~CConvCoord() = default;

bool CConvCoord::IsValid() const {
    return m_pImpl->transform != nullptr;
}

const std::string& CConvCoord::GetError() const {
    return m_pImpl->error;
}

const std::string& CConvCoord::GetCrs() const {
    return m_pImpl->crs;
}

std::string CConvCoord::GetCrsName() const {
    if (!IsValid()) return std::string();
    const char* name = proj_get_name(m_pImpl->projected);
    return name ? name : "";
}

std::string CConvCoord::GetCrsCode() const {
    if (!IsValid()) return std::string();
    const char* auth = proj_get_id_auth_name(m_pImpl->projected, 0);
    const char* code = proj_get_id_code(m_pImpl->projected, 0);
    if (auth != nullptr && code != nullptr) return std::string(auth) + ":" + code;
    // A system given by its definition: the registry's system that is exactly the same.
    std::string found;
    int* confidence = nullptr;
    PJ_OBJ_LIST* candidates =
        proj_identify(m_pImpl->ctx, m_pImpl->projected, "EPSG", nullptr, &confidence);
    if (candidates != nullptr) {
        if (proj_list_get_count(candidates) > 0 && confidence != nullptr && confidence[0] == 100) {
            PJ* match = proj_list_get(m_pImpl->ctx, candidates, 0);
            const char* matchCode = match != nullptr ? proj_get_id_code(match, 0) : nullptr;
            if (matchCode != nullptr) found = std::string("EPSG:") + matchCode;
            if (match != nullptr) proj_destroy(match);
        }
        proj_list_destroy(candidates);
    }
    proj_int_list_destroy(confidence);
    return found;
}

std::string CConvCoord::GetPlaneUnit() const {
    if (!IsValid()) return std::string();
    PJ* cs = proj_crs_get_coordinate_system(m_pImpl->ctx, m_pImpl->projected);
    if (cs == nullptr) return "m";
    double factor = 1.0;
    const char* name = nullptr;
    const bool known = proj_cs_get_axis_info(m_pImpl->ctx, cs, 0, nullptr, nullptr, nullptr,
                                             &factor, &name, nullptr, nullptr) != 0;
    std::string unit = known && name != nullptr ? name : "metre";
    proj_destroy(cs);
    if (!known || std::fabs(factor - 1.0) < 1e-12) return "m";
    if (std::fabs(factor - 0.3048) < 1e-12) return "ft";
    if (std::fabs(factor - 1200.0 / 3937.0) < 1e-12) return "ftUS";
    return unit;
}

double CConvCoord::GetUndulation() const {
    return m_pImpl->undulation;
}

void CConvCoord::SetUndulation(double undulation) {
    m_pImpl->undulation = undulation;
}

bool CConvCoord::GetAreaOfUse(double& west, double& south, double& east, double& north) const {
    if (!m_pImpl->hasArea) return false;
    west = m_pImpl->west;
    south = m_pImpl->south;
    east = m_pImpl->east;
    north = m_pImpl->north;
    return true;
}

void CConvCoord::SetAreaOfUse(double west, double south, double east, double north) {
    m_pImpl->hasArea = true;
    m_pImpl->west = west;
    m_pImpl->south = south;
    m_pImpl->east = east;
    m_pImpl->north = north;
}

bool CConvCoord::GrafGpsToPlanAtt(double lat, double lon, double elev, double antHeight, double& X,
                                  double& Y, double& Z) const {
    if (!IsValid() || !usable(lat) || !usable(lon) || !usable(elev) || !usable(antHeight) ||
        !usable(m_pImpl->undulation) || std::fabs(lat) > std::numbers::pi / 2)
        return false;
    // The area of use is not checked: a surveyor's half-typed value lies far outside it on
    // the way to a good one, and the projection still computes it.
    const double latDeg = toDegrees(lat);
    const double lonDeg = toDegrees(lon);
    proj_errno_reset(m_pImpl->transform);
    const PJ_COORD out =
        proj_trans(m_pImpl->transform, PJ_FWD, proj_coord(lonDeg, latDeg, 0.0, 0.0));
    const double east = out.xy.x;
    const double north = out.xy.y;
    if (!std::isfinite(east) || !std::isfinite(north) || east == HUGE_VAL ||
        proj_errno(m_pImpl->transform) != 0)
        return false;
    const double height = elev - antHeight - m_pImpl->undulation;
    if (!std::isfinite(height)) return false;
    X = east;
    Y = north;
    Z = height;
    return true;
}

bool CConvCoord::PlanAttToGrafGps(double X, double Y, double Z, double antHeight, double& lat,
                                  double& lon, double& elev) const {
    if (!IsValid() || !usable(X) || !usable(Y) || !usable(Z) || !usable(antHeight) ||
        !usable(m_pImpl->undulation))
        return false;
    proj_errno_reset(m_pImpl->transform);
    const PJ_COORD out = proj_trans(m_pImpl->transform, PJ_INV, proj_coord(X, Y, 0.0, 0.0));
    const double lonDeg = out.lp.lam;
    const double latDeg = out.lp.phi;
    if (!std::isfinite(lonDeg) || !std::isfinite(latDeg) || lonDeg == HUGE_VAL ||
        proj_errno(m_pImpl->transform) != 0 || std::fabs(latDeg) > 90.0)
        return false;
    const double height = Z + antHeight + m_pImpl->undulation;
    if (!std::isfinite(height)) return false;
    lat = toRadians(latDeg);
    lon = toRadians(lonDeg);
    elev = height;
    return true;
}
