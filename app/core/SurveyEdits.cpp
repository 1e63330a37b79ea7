#include "core/SurveyEdits.h"

#include "gpsdialogs/interfaces/ConvCoord.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <set>

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
        error = "la posizione non si può convertire in coordinate geografiche con la proiezione "
                "del gruppo";
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
        if (point->IsCodedNE()) {
            ++result.leftOut;
            continue;
        }
        double x = 0, y = 0, z = 0;
        if (!point->GetGeocCeFaMis(x, y, z)) continue; // not measured: nothing to move
        point->SetGeocCeFaMis(x + dx, y + dy, z + dz);
        recomputePlane(*grp, *point);
        ++result.points;
    }
    result.ok = true;
    return result;
}

namespace {

// Unlinks the element from its GIS entity; deletes the entity when no element uses it any more.
// Returns whether an entity was deleted.
bool dropEntity(gis::CLibGis& gis, CEgn& element) {
    gis::CEnt* entity = gis::CLibGis::GetEnt(element.GetEntVert());
    if (entity == nullptr) return false;
    bool shared = false;
    for (int p = 0; p < entity->GetNumParts() && !shared; ++p) {
        gis::CEntPart* part = gis.GetEntPart(entity, p);
        for (int v = 0; v < part->GetNumVerts() && !shared; ++v)
            for (const CEgn* other : gis.GetEntVert(part, v)->GetLinkedElements())
                shared = shared || other != &element;
    }
    // With no theme the element leaves its entity, which goes when nothing else uses it.
    CheckCodeIsTable(&gis, &element, kit::String());
    return !shared;
}

} // namespace

DeletionResult deleteElements(FieldBook& fieldBook, const Deletion& which) {
    DeletionResult result;
    CLibGps& book = fieldBook.book;
    const std::set<int> groups(which.groups.begin(), which.groups.end());
    // Points from the last to the first, so that the positions still to go stay valid.
    std::set<std::pair<int, int>, std::greater<>> points;
    for (const PointPosition& at : which.points)
        if (!groups.contains(at.group) && book.GetPunAt(at.group, at.point) != nullptr)
            points.insert({at.group, at.point});
    for (const auto& [g, p] : points) {
        CGrpGps* group = book.GetGrpAt(g);
        if (dropEntity(fieldBook.gis, *group->GetPunAt(p))) ++result.entities;
        group->RemovePun(p);
        ++result.points;
    }
    for (auto g = groups.rbegin(); g != groups.rend(); ++g) {
        CGrpGps* group = book.GetGrpAt(*g);
        if (group == nullptr) continue;
        for (int p = 0; p < group->GetPunCount(); ++p)
            if (dropEntity(fieldBook.gis, *group->GetPunAt(p))) ++result.entities;
        if (dropEntity(fieldBook.gis, *group)) ++result.entities;
        result.points += group->GetPunCount();
        book.RemoveGrp(*g);
        ++result.groups;
    }
    const std::set<int> drawn(which.drawingPoints.begin(), which.drawingPoints.end());
    std::vector<DrawingPoint> kept;
    for (std::size_t i = 0; i < fieldBook.drawingPoints.size(); ++i) {
        if (drawn.contains(static_cast<int>(i)))
            ++result.drawingPoints;
        else
            kept.push_back(fieldBook.drawingPoints[i]);
    }
    fieldBook.drawingPoints = std::move(kept);
    return result;
}

std::vector<std::string> duplicatePointNames(const CGrpGps& group) {
    std::map<std::string, int> count;
    for (int p = 0; p < group.GetPunCount(); ++p)
        ++count[group.GetPunAt(p)->GetNome()];
    std::vector<std::string> names;
    for (int p = 0; p < group.GetPunCount(); ++p) {
        const std::string& name = group.GetPunAt(p)->GetNome();
        if (count[name] > 1 && std::find(names.begin(), names.end(), name) == names.end())
            names.push_back(name);
    }
    return names;
}

bool groupHasPointNamed(const CGrpGps& group, const std::string& name) {
    for (int p = 0; p < group.GetPunCount(); ++p)
        if (group.GetPunAt(p)->GetNome() == name) return true;
    return false;
}

} // namespace gpsbook
