// The host's coordinate conversion library: geographic <-> plane coordinates of one projected
// reference system, angles in degrees/minutes/seconds, geographic <-> geocentric positions.
#pragma once

#include <memory>
#include <string>

/// \brief Converts between geographic positions (radians, ellipsoidal height of the
/// antenna) and plane coordinates (X East, Y North, Z ground height) of one projected
/// coordinate reference system.
///
/// The geographic position is taken in the projected system's own geodetic datum. Plane Z is
/// the ground height: elevation minus antenna height minus the geoid undulation. A
/// conversion refuses (returns false, outputs untouched) only what it cannot compute: a
/// non-finite or undefined (>= 8.5e199) input, a latitude beyond ±90°, a PROJ error or a
/// non-finite result. The system's area of use is information for the host (GetAreaOfUse),
/// never a refusal: positions outside it are converted as the projection defines them.
class CConvCoord {
public:
    /// \brief Makes a converter for a projected system.
    /// \param crs "EPSG:nnnn" (or another authority code PROJ knows), a WKT text, or a PROJ
    /// string ("+proj=utm +zone=32 +ellps=GRS80"); it must denote a projected system
    /// \param undulation geoid undulation in metres (ellipsoidal minus orthometric height)
    explicit CConvCoord(const std::string& crs, double undulation = 0.0);
    /// \brief Releases the PROJ objects of the converter.
    ~CConvCoord();
    CConvCoord(const CConvCoord&) = delete;
    CConvCoord& operator=(const CConvCoord&) = delete;

    /// \brief Geographic to plane coordinates.
    /// \param lat latitude in radians
    /// \param lon longitude in radians
    /// \param elev ellipsoidal height of the antenna
    /// \param antHeight antenna height above the ground point
    /// \param X receives East
    /// \param Y receives North
    /// \param Z receives the ground height (elev - antHeight - undulation)
    /// \return false, outputs untouched, when the conversion is refused
    bool GrafGpsToPlanAtt(double lat, double lon, double elev, double antHeight, double& X,
                          double& Y, double& Z) const;
    /// \brief Plane to geographic coordinates (the inverse of GrafGpsToPlanAtt).
    /// \param X East
    /// \param Y North
    /// \param Z ground height
    /// \param antHeight antenna height above the ground point
    /// \param lat receives the latitude in radians
    /// \param lon receives the longitude in radians
    /// \param elev receives the antenna's ellipsoidal height (Z + antHeight + undulation)
    /// \return false, outputs untouched, when the conversion is refused
    bool PlanAttToGrafGps(double X, double Y, double Z, double antHeight, double& lat, double& lon,
                          double& elev) const;

    // ---- host side ----------------------------------------------------------------------

    /// \brief Host side: true when the system was understood as a projected system.
    bool IsValid() const;
    /// \brief Host side: why the system was refused; empty when valid.
    const std::string& GetError() const;
    /// \brief Host side: the definition given to the constructor.
    const std::string& GetCrs() const;
    /// \brief Host side: the system's name ("RDN2008 / UTM zone 32N (N-E)"); empty if invalid.
    std::string GetCrsName() const;
    /// \brief Host side: the geoid undulation in metres.
    double GetUndulation() const;
    /// \brief Host side: sets the geoid undulation in metres.
    void SetUndulation(double undulation);
    /// \brief Host side: the area of use in degrees (west, south, east, north; west > east
    /// when it crosses the 180° meridian).
    /// \return false when the system has none (a bare PROJ string)
    bool GetAreaOfUse(double& west, double& south, double& east, double& north) const;
    /// \brief Host side: replaces the area of use (degrees), for systems without one.
    void SetAreaOfUse(double west, double south, double east, double north);
    /// \brief Host side: the authority code of the system ("EPSG:6707"), also for a system
    /// given as WKT or PROJ text that the EPSG registry holds exactly; empty when it has none.
    std::string GetCrsCode() const;
    /// \brief Host side: the unit of the plane coordinates X and Y, as a symbol ("m", "ft",
    /// "ftUS") or the unit's name; the heights Z are always in metres. Empty if invalid.
    std::string GetPlaneUnit() const;

private:
    struct Impl;
    std::unique_ptr<Impl> m_pImpl;
};

/// \brief An angle given as degrees, minutes and seconds, in radians.
///
/// The sign of the angle is the sign of its first non-zero part; the later parts count in
/// the same direction when positive and back toward zero when negative (so -12°30' is
/// (-12, 30, 0), -0°30' is (0, -30, 0), and (45, 0, -0.000001) is just under 45°). This
/// makes it the exact inverse of AngSesgFromRadi.
double AngRadiFromSesg(int deg, int min, double sec);

/// \brief An angle in radians as whole degrees, whole minutes and seconds.
///
/// The sign goes on the first non-zero part: -0°30' gives deg 0, min -30; -0°0'12" gives sec
/// -12. Seconds that a display with 5 decimals would round to 60 are carried into the next
/// minute (and 60 minutes into the next degree), keeping the exact remainder as a tiny
/// negative second: 44°59'59.999999" gives (45, 0, -0.000001), shown "45 0 0.00000".
/// AngRadiFromSesg of the three parts gives the angle back. A non-finite angle gives
/// (0, 0, angle).
void AngSesgFromRadi(double rad, int& deg, int& min, double& sec);

/// \brief Host side: geographic (radians, ellipsoidal height) to geocentric position on the
/// GRS80 ellipsoid.
/// \return false, outputs untouched, for a non-finite or undefined input or a latitude
/// beyond ±90°
bool GeoToGeocentric(double lat, double lon, double h, double& X, double& Y, double& Z);

/// \brief Host side: geocentric position to geographic (radians, ellipsoidal height) on the
/// GRS80 ellipsoid.
/// \return false, outputs untouched, for a non-finite or undefined input
bool GeocentricToGeo(double X, double Y, double Z, double& lat, double& lon, double& h);
