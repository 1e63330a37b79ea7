// The host's GPS survey data library: the field book, its groups (one base station each)
// and the GPS points measured from them.
#pragma once

#include "gpsdialogs/interfaces/Egn.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class CConvCoord;
class CGrpGps;
namespace gis {
class CDBTable;
}

/// \brief The tag that marks a VRS point in its description.
inline constexpr const char* GPS_TAG_VRS = "[VRS]";
/// \brief The tag that marks a base station on a reference network in its description.
inline constexpr const char* GPS_TAG_EUREF = "[WGS84-ETRF2000]";

/// \brief A GPS point: a survey element with its measured geographic position (radians,
/// ellipsoidal height of the antenna), antenna height, geocentric position, precision
/// figures and VRS mark.
///
/// The description (CEgn::GetSecScri) is also the point's code (GetCode/SetCode). The
/// geographic and geocentric positions are one position on the GRS80 ellipsoid: setting
/// either sets the other; while either is incomplete or undefined, the other is undefined.
/// A new point has every double at EGN_NOVALUE, covariance terms 0, empty texts, no codes.
class CPunGps : public CEgn {
public:
    /// \brief A new point.
    /// \param table GIS attribute table the host associates with the point (not owned, may
    /// be null; the field book does not use it)
    /// \param flag true: the point is appended to group's point list and owned by the group
    /// (allocate it with new and never delete it yourself while it is listed: deleting a
    /// listed point removes it from the list first); false: a standalone point that only
    /// refers to group
    /// \param group the owning group (m_pGrp), may be null
    CPunGps(gis::CDBTable* table, bool flag, CGrpGps* group);
    /// \brief Removes the point from its group's list if it is listed there.
    ~CPunGps() override;

    /// \brief The owning group; null when the point belongs to no group.
    CGrpGps* m_pGrp;

    /// \brief The point's code: its description.
    std::string GetCode() const;
    /// \brief Sets the point's code: its description.
    void SetCode(const std::string& code);

    /// \brief Latitude in radians.
    double GetLat() const;
    /// \brief Longitude in radians.
    double GetLong() const;
    /// \brief Ellipsoidal height of the antenna.
    double GetElev() const;
    /// \brief Antenna height above the ground point.
    double GetAltAnt() const;
    /// \brief Sets the latitude (radians); the geocentric position follows.
    void SetLat(double lat);
    /// \brief Sets the longitude (radians); the geocentric position follows.
    void SetLong(double lon);
    /// \brief Sets the ellipsoidal height; the geocentric position follows.
    void SetElev(double elev);
    /// \brief Sets the antenna height.
    void SetAltAnt(double height);

    /// \brief The geocentric position. \return true when it is defined
    bool GetGeocCeFaMis(double& x, double& y, double& z) const;
    /// \brief Sets the geocentric position; latitude, longitude and elevation follow.
    void SetGeocCeFaMis(double x, double y, double z);

    /// \brief PDOP.
    double GetPdop() const;
    /// \brief Sets PDOP.
    void SetPdop(double pdop);
    /// \brief GDOP.
    double GetGdop() const;
    /// \brief Sets GDOP.
    void SetGdop(double gdop);

    /// \brief Covariance term xx.
    float GetPosCov_xx() const;
    /// \brief Covariance term xy.
    float GetPosCov_xy() const;
    /// \brief Covariance term xz.
    float GetPosCov_xz() const;
    /// \brief Covariance term yy.
    float GetPosCov_yy() const;
    /// \brief Covariance term yz.
    float GetPosCov_yz() const;
    /// \brief Covariance term zz.
    float GetPosCov_zz() const;
    /// \brief Sets covariance term xx.
    void SetPosCov_xx(float v);
    /// \brief Sets covariance term xy.
    void SetPosCov_xy(float v);
    /// \brief Sets covariance term xz.
    void SetPosCov_xz(float v);
    /// \brief Sets covariance term yy.
    void SetPosCov_yy(float v);
    /// \brief Sets covariance term yz.
    void SetPosCov_yz(float v);
    /// \brief Sets covariance term zz.
    void SetPosCov_zz(float v);

    /// \brief True when the description holds the tag "[VRS]".
    bool IsPointVrs() const;
    /// \brief Marks the point as VRS: appends " [VRS]" to the description unless present.
    /// \return true when the mark was added, false when it was already there
    bool SetPointAsVrs();
    /// \brief Removes every "[VRS]" tag (and the blank that separated it) from the
    /// description. \return true when a tag was removed
    bool ClearPointAsVrs();

    // ---- host side ----------------------------------------------------------------------

    /// \brief Host side: sets latitude, longitude (radians) and elevation at once.
    void SetGeo(double lat, double lon, double elev);
    /// \brief Host side: the GIS table given at construction.
    gis::CDBTable* GetGisTable() const;
    /// \brief Host side: sets the GIS table the host associates with the point.
    void SetGisTable(gis::CDBTable* table);

private:
    friend class CGrpGps;
    void GeoChanged();

    gis::CDBTable* m_pTable;
    CGrpGps* m_pListOwner; // the group whose list owns the point; null when standalone
    double m_dLat;
    double m_dLong;
    double m_dElev;
    double m_dAltAnt;
    double m_dGeocX;
    double m_dGeocY;
    double m_dGeocZ;
    double m_dPdop;
    double m_dGdop;
    float m_fCov[6];
};

/// \brief A group of the field book: the points measured from one base station.
///
/// As a survey element, its name and description are the base station's and its plane
/// coordinates are the station's; the group also has a name of its own. The base station's
/// geocentric position (SetGeocCeFaMis) gives its latitude, longitude and elevation on the
/// GRS80 ellipsoid. A group with a projection (SetProjection) has a converter and a computed
/// projection (IsCdElabValid). A new group has every double at EGN_NOVALUE, PDOP/GDOP
/// included, receiver and survey types 0, drawing 0, no projection, no points.
class CGrpGps : public CEgn {
public:
    /// \brief A new group without points.
    CGrpGps();
    /// \brief Deletes the group's points.
    ~CGrpGps() override;

    /// \brief PDOP recorded for the group.
    double m_dPdop;
    /// \brief GDOP recorded for the group.
    double m_dGdop;

    /// \brief The group's name.
    const std::string& GetNomeGrp() const;
    /// \brief True when the group has a computed projection: a valid converter.
    bool IsCdElabValid() const;
    /// \brief The group's converter; null without a computed projection.
    CConvCoord* GetConvCoord() const;

    /// \brief Geocentric position of the base station. \return true when it is defined
    bool GetGeocCeFaMis(double& x, double& y, double& z) const;
    /// \brief Sets the geocentric position of the base station; its latitude, longitude and
    /// elevation follow.
    void SetGeocCeFaMis(double x, double y, double z);
    /// \brief Latitude of the base station (radians).
    double GetBaseLat() const;
    /// \brief Longitude of the base station (radians).
    double GetBaseLong() const;
    /// \brief Ellipsoidal height of the base station's antenna.
    double GetBaseElev() const;
    /// \brief Height of the base station's antenna centre.
    double GetBaseAltAnt() const;
    /// \brief Sets the height of the base station's antenna centre.
    void SetBaseAltAnt(double height);

    /// \brief Receiver type: 1 single frequency, 2 dual frequency (0: not known).
    unsigned char GetTipoRicevitore() const;
    /// \brief Sets the receiver type.
    void SetTipoRicevitore(unsigned char type);
    /// \brief Survey type: 1 baseline, 2 RTK (0: not known).
    unsigned char GetTipoRilievo() const;
    /// \brief Sets the survey type.
    void SetTipoRilievo(unsigned char type);

    /// \brief Marks the base station as a station of a reference network: keeps the
    /// network code and appends " [WGS84-ETRF2000]" to the description unless present.
    /// \param network network code (10: the national ETRF2000 network); must be positive
    /// \return false, nothing changed, for a code of 0 or less
    bool SetBaseEuref(int network);
    /// \brief Removes the reference-network mark: every "[WGS84-ETRF2000]" tag of the
    /// description and the network code. \return true when a tag was removed
    bool ClearBaseEuref();

    /// \brief Identifier of the drawing of the group.
    std::uint64_t GetTargetDrawing() const;

    /// \brief Clears the VRS mark of the group's points, except the point at keepIndex.
    /// \param keepIndex position of the point that keeps its mark; -1 clears every point
    /// \param cleared emptied, then receives the positions of the points whose mark was
    /// cleared
    /// \return true when at least one mark was cleared
    bool ClearAllPointVrs(int keepIndex, std::vector<int>& cleared);

    // ---- host side ----------------------------------------------------------------------

    /// \brief Host side: sets the group's name.
    void SetNomeGrp(const std::string& name);
    /// \brief Host side: sets the projected system of the group (see CConvCoord) and makes
    /// its converter, once. An empty crs removes the projection.
    /// \param error receives why the system was refused (may be null)
    /// \return false when the system is refused: the group then has no computed projection
    bool SetProjection(const std::string& crs, double undulation = 0.0,
                       std::string* error = nullptr);
    /// \brief Host side: removes the projection.
    void ClearProjection();
    /// \brief Host side: the projected system given to SetProjection (empty: none).
    const std::string& GetProjection() const;
    /// \brief Host side: the geoid undulation of the projection.
    double GetUndulation() const;
    /// \brief Host side: sets the base station's latitude, longitude (radians) and elevation;
    /// the geocentric position follows.
    void SetBaseGeo(double lat, double lon, double elev);
    /// \brief Host side: the reference-network code (0: none).
    int GetBaseEurefCode() const;
    /// \brief Host side: true when the description holds "[WGS84-ETRF2000]".
    bool IsBaseEuref() const;
    /// \brief Host side: sets the identifier of the group's drawing.
    void SetTargetDrawing(std::uint64_t drawing);

    /// \brief Host side: number of points.
    int GetPunCount() const;
    /// \brief Host side: point by position; null when out of range.
    CPunGps* GetPunAt(int index) const;
    /// \brief Host side: position of a point in the group; -1 when not listed.
    int IndexOfPun(const CPunGps* point) const;
    /// \brief Host side: appends a new point and returns it (owned by the group).
    CPunGps* AddPun();
    /// \brief Host side: deletes the point at a position. \return false when out of range
    bool RemovePun(int index);

private:
    friend class CPunGps;
    void Adopt(CPunGps* point);
    void Release(CPunGps* point);

    std::string m_strNomeGrp;
    std::string m_strProj;
    double m_dUndulation;
    std::unique_ptr<CConvCoord> m_pConv;
    double m_dGeocX;
    double m_dGeocY;
    double m_dGeocZ;
    double m_dBaseLat;
    double m_dBaseLong;
    double m_dBaseElev;
    double m_dBaseAltAnt;
    unsigned char m_ucRicevitore;
    unsigned char m_ucRilievo;
    int m_nEuref;
    std::uint64_t m_uDrawing;
    std::vector<std::unique_ptr<CPunGps>> m_punti;
};

/// \brief The field book: an ordered list of groups, and the graphic-model options.
class CLibGps {
public:
    /// \brief An empty field book.
    CLibGps();
    /// \brief Deletes the groups and their points.
    ~CLibGps();
    CLibGps(const CLibGps&) = delete;
    CLibGps& operator=(const CLibGps&) = delete;

    /// \brief The graphic-model options offered for the field book's elements.
    COpzListDisEgn m_OpzListDisEgn;

    /// \brief Number of groups (positions 0 to n-1).
    int GetGrpArSize() const;
    /// \brief Group by position; null when out of range.
    CGrpGps* GetGrpAt(int index) const;
    /// \brief Number of points of a group; 0 for a position out of range.
    int GetPunArSize(int group) const;
    /// \brief Point by group and point position; null when out of range.
    CPunGps* GetPunAt(int group, int point) const;
    /// \brief Positions of a point.
    /// \return false, both set to -1, when the point is not in the field book
    bool GetIndiciDiPun(const CPunGps* point, int& group, int& index) const;
    /// \brief Position of a group. \return false, set to -1, when the group is not here
    bool GetIndiciDiGrp(const CGrpGps* group, int& index) const;

    // ---- host side ----------------------------------------------------------------------

    /// \brief Host side: appends a new group with the given name and returns it.
    CGrpGps* AddGrp(const std::string& name);
    /// \brief Host side: deletes the group at a position with its points.
    /// \return false when out of range
    bool RemoveGrp(int index);
    /// \brief Host side: appends a new point to the group at a position; null when out of
    /// range.
    CPunGps* AddPun(int group);
    /// \brief Host side: deletes every group and option.
    void Clear();

private:
    std::vector<std::unique_ptr<CGrpGps>> m_grps;
};
