#include "core/SurveyEdits.h"

#include "gpsdialogs/interfaces/ConvCoord.h"

#include <cmath>

namespace gpsbook {

namespace {

// The plane position of a point from its geographic one, when the group has a projection; a
// conversion that fails leaves the plane position undefined rather than stale.
void recomputePlane(const CGrpGps& group, CPunGps& point) {
    if (!group.IsCdElabValid()) return;
    double east = 0, north = 0, height = 0;
    if (group.GetConvCoord()->GrafGpsToPlanAtt(point.GetLat(), point.GetLong(), point.GetElev(),
                                               point.GetAltAnt(), east, north, height)) {
        point.SetCoordXY(east, north);
        point.SetCoordZ(height);
    } else {
        point.AnnullaCoor();
    }
}

} // namespace

CPunGps* createPoint(CLibGps& book, int group, const std::string& name,
                     const std::string& description, double east, double north, double height,
                     double antennaHeight, std::string& error) {
    error.clear();
    CGrpGps* grp = book.GetGrpAt(group);
    if (grp == nullptr || !grp->IsCdElabValid()) {
        error = "il gruppo non ha una proiezione calcolata";
        return nullptr;
    }
    double lat = 0, lon = 0, elev = 0;
    if (!grp->GetConvCoord()->PlanAttToGrafGps(east, north, height, antennaHeight, lat, lon,
                                               elev)) {
        error = "la posizione è fuori dall'area della proiezione del gruppo";
        return nullptr;
    }
    CPunGps* point = book.AddPun(group);
    point->SetNome(name);
    point->SetCode(description);
    point->SetAltAnt(antennaHeight);
    point->SetGeo(lat, lon, elev);
    point->SetCoordXY(east, north);
    point->SetCoordZ(height);
    return point;
}

TransferResult transferDrawingPoints(FieldBook& fieldBook, const std::vector<int>& which, int group,
                                     double antennaHeight) {
    TransferResult result;
    std::vector<bool> take(fieldBook.drawingPoints.size(), false);
    for (int i : which)
        if (i >= 0 && static_cast<std::size_t>(i) < take.size())
            take[static_cast<std::size_t>(i)] = true;
    std::vector<DrawingPoint> kept;
    for (std::size_t i = 0; i < fieldBook.drawingPoints.size(); ++i) {
        const DrawingPoint& p = fieldBook.drawingPoints[i];
        std::string error;
        if (take[i] && createPoint(fieldBook.book, group, p.name, p.description, p.east, p.north,
                                   p.height, antennaHeight, error) != nullptr) {
            ++result.transferred;
            continue;
        }
        if (take[i]) result.failed.push_back(p.name);
        kept.push_back(p);
    }
    fieldBook.drawingPoints = std::move(kept);
    return result;
}

BaseMoveResult moveBaseStation(CLibGps& book, int group, double antennaHeight) {
    BaseMoveResult result;
    CGrpGps* grp = book.GetGrpAt(group);
    if (grp == nullptr) {
        result.error = "il gruppo non esiste";
        return result;
    }
    double bx = 0, by = 0, bz = 0;
    if (!grp->GetGeocCeFaMis(bx, by, bz)) {
        result.error = "la posizione della stazione base non è nota";
        return result;
    }
    const double oldHeight = grp->GetBaseAltAnt();
    if (!IsEgnValueDefined(oldHeight) || !std::isfinite(antennaHeight) ||
        std::fabs(antennaHeight) > 1e6) {
        result.error = "l'altezza dell'antenna della stazione base non è nota";
        return result;
    }
    result.shift = antennaHeight - oldHeight;
    const double lat = grp->GetBaseLat(), lon = grp->GetBaseLong();
    const double dx = result.shift * std::cos(lat) * std::cos(lon);
    const double dy = result.shift * std::cos(lat) * std::sin(lon);
    const double dz = result.shift * std::sin(lat);

    grp->SetGeocCeFaMis(bx + dx, by + dy, bz + dz);
    grp->SetBaseAltAnt(antennaHeight);
    if (grp->IsCdElabValid()) {
        double east = 0, north = 0, height = 0;
        if (grp->GetConvCoord()->GrafGpsToPlanAtt(grp->GetBaseLat(), grp->GetBaseLong(),
                                                  grp->GetBaseElev(), antennaHeight, east, north,
                                                  height)) {
            grp->SetCoordXY(east, north);
            grp->SetCoordZ(height);
        }
    }
    for (int p = 0; p < grp->GetPunCount(); ++p) {
        CPunGps* point = grp->GetPunAt(p);
        double x = 0, y = 0, z = 0;
        if (!point->GetGeocCeFaMis(x, y, z)) continue; // not measured: nothing to move
        point->SetGeocCeFaMis(x + dx, y + dy, z + dz);
        recomputePlane(*grp, *point);
        ++result.points;
    }
    result.ok = true;
    return result;
}

} // namespace gpsbook
