// Geographic <-> geocentric positions on the GRS80 ellipsoid, and angles in degrees,
// minutes and seconds.
#include "gpsdialogs/interfaces/ConvCoord.h"

#include <cmath>
#include <numbers>

namespace {

constexpr double kA = 6378137.0;           // GRS80 semi-major axis
constexpr double kF = 1.0 / 298.257222101; // GRS80 flattening
constexpr double kE2 = kF * (2.0 - kF);    // first eccentricity squared
constexpr double kUndefinedLimit = 8.5e199;

bool usable(double v) {
    return std::isfinite(v) && v < kUndefinedLimit && v > -kUndefinedLimit;
}

} // namespace

bool GeoToGeocentric(double lat, double lon, double h, double& X, double& Y, double& Z) {
    if (!usable(lat) || !usable(lon) || !usable(h) || std::fabs(lat) > std::numbers::pi / 2)
        return false;
    const double sinLat = std::sin(lat);
    const double cosLat = std::cos(lat);
    const double n = kA / std::sqrt(1.0 - kE2 * sinLat * sinLat);
    X = (n + h) * cosLat * std::cos(lon);
    Y = (n + h) * cosLat * std::sin(lon);
    Z = (n * (1.0 - kE2) + h) * sinLat;
    return true;
}

bool GeocentricToGeo(double X, double Y, double Z, double& lat, double& lon, double& h) {
    if (!usable(X) || !usable(Y) || !usable(Z)) return false;
    const double p = std::hypot(X, Y);
    const double lonOut = (p == 0.0) ? 0.0 : std::atan2(Y, X);
    // Fixed-point iteration on the latitude; the height formula below holds at every
    // latitude (also at the poles, where p / cos(lat) would not).
    double phi = std::atan2(Z, p * (1.0 - kE2));
    double height = 0.0;
    for (int i = 0; i < 20; ++i) {
        const double s = std::sin(phi);
        const double c = std::cos(phi);
        const double n = kA / std::sqrt(1.0 - kE2 * s * s);
        height = p * c + Z * s - kA * kA / n;
        const double next = std::atan2(Z, p * (1.0 - kE2 * n / (n + height)));
        const bool done = std::fabs(next - phi) < 1e-15;
        phi = next;
        if (done) break;
    }
    const double s = std::sin(phi);
    const double c = std::cos(phi);
    const double n = kA / std::sqrt(1.0 - kE2 * s * s);
    height = p * c + Z * s - kA * kA / n;
    if (!std::isfinite(phi) || !std::isfinite(height)) return false;
    lat = phi;
    lon = lonOut;
    h = height;
    return true;
}

double AngRadiFromSesg(int deg, int min, double sec) {
    // The first non-zero part carries the sign; the later parts count away from zero when
    // positive and back toward it when negative.
    double sign = 1.0;
    if (deg != 0)
        sign = deg < 0 ? -1.0 : 1.0;
    else if (min != 0)
        sign = min < 0 ? -1.0 : 1.0;
    else
        sign = sec < 0 ? -1.0 : 1.0;
    double seconds = 0.0;
    if (deg != 0)
        seconds = std::fabs(double(deg)) * 3600.0 + double(min) * 60.0 + sec;
    else if (min != 0)
        seconds = std::fabs(double(min)) * 60.0 + sec;
    else
        seconds = std::fabs(sec);
    return sign * seconds / 3600.0 * std::numbers::pi / 180.0;
}

void AngSesgFromRadi(double rad, int& deg, int& min, double& sec) {
    if (!std::isfinite(rad)) {
        deg = 0;
        min = 0;
        sec = rad;
        return;
    }
    const bool negative = rad < 0.0;
    const double total = std::fabs(rad) * 180.0 / std::numbers::pi * 3600.0; // seconds
    // Whole degrees must fit an int; such angles are no angles of a survey, only kept sane.
    if (total / 3600.0 >= 2147483647.0) {
        deg = negative ? -2147483647 : 2147483647;
        min = 0;
        sec = 0.0;
        return;
    }
    double d = std::floor(total / 3600.0);
    double rest = total - d * 3600.0;
    double m = std::floor(rest / 60.0);
    double s = rest - m * 60.0;
    if (m >= 60.0) { // floating residue of the floor above
        m -= 60.0;
        d += 1.0;
    }
    // Seconds that would show as 60.00000 with 5 decimals go into the next minute; the
    // remainder stays as a tiny negative second, so that the parts still add up exactly.
    if (s >= 59.999995) {
        s -= 60.0;
        m += 1.0;
        if (m >= 60.0) {
            m -= 60.0;
            d += 1.0;
        }
    }
    // A remainder within the rounding noise of the conversion from radians (two units in
    // the last place of the total seconds) is noise, not part of the angle: 30° stays
    // (30, 0, 0) instead of (30, 0, -1.4e-11).
    if (std::fabs(s) <= total * 4.5e-16) s = 0.0;
    int id = static_cast<int>(d);
    int im = static_cast<int>(m);
    if (negative) {
        if (id != 0)
            id = -id;
        else if (im != 0)
            im = -im;
        else
            s = -s;
    }
    deg = id;
    min = im;
    sec = s;
}
