// The host's side of the creation, transfer and base-move options: what gpsbook does with the
// choices the module hands back. No widgets, so that the tests reach it directly.
#pragma once

#include "core/FieldBook.h"
#include "core/PointSearch.h"

#include <string>
#include <vector>

namespace gpsbook {

/// Appends a new point to group \p group of \p book, at the plane position \p east, \p north,
/// \p height (the ground point's), with its geographic position computed through the group's
/// converter for that antenna height.
/// \param error on failure, why (the group has no computed projection, or the position is
///        outside the projection's area)
/// \return the new point; null, nothing added, on failure
CPunGps* createPoint(CLibGps& book, int group, const std::string& name,
                     const std::string& description, double east, double north, double height,
                     double antennaHeight, std::string& error);

/// Outcome of a transfer of drawn points.
struct TransferResult {
    int transferred = 0;             ///< points now in the group
    std::vector<std::string> failed; ///< names of the drawn points left in the drawing
};

/// Turns the drawn points at \p which (positions in \p fieldBook.drawingPoints) into points of
/// group \p group with antenna height \p antennaHeight; those transferred leave the list of
/// drawn points, those whose position cannot be converted stay there.
TransferResult transferDrawingPoints(FieldBook& fieldBook, const std::vector<int>& which, int group,
                                     double antennaHeight);

/// Outcome of a move of a base station.
struct BaseMoveResult {
    bool ok = false;
    std::string error;  ///< why nothing was moved
    double shift = 0.0; ///< metres along the base's vertical (new antenna height - old)
    int points = 0;     ///< points moved with the base
    int leftOut = 0;    ///< points coded NE (excluded from processing), left as they were
};

/// Gives the base station of group \p group the antenna height \p antennaHeight, as when the
/// height was recorded wrong: the antenna, and with it every point measured from it, moves by
/// the difference along the base's vertical (the ellipsoid normal at the base), the baselines
/// staying as measured. Geographic positions follow; with a computed projection the plane
/// positions are recomputed. Points coded NE are excluded from processing: they keep every
/// value, their plane coordinates (empty or not) included.
BaseMoveResult moveBaseStation(CLibGps& book, int group, double antennaHeight);

/// What a deletion removes: whole groups, points of other groups, drawn points.
struct Deletion {
    std::vector<int> groups;           ///< group positions
    std::vector<PointPosition> points; ///< points of groups not in \p groups
    std::vector<int> drawingPoints;    ///< positions in FieldBook::drawingPoints
};

/// Outcome of a deletion.
struct DeletionResult {
    int groups = 0;
    int points = 0; ///< points removed, those of the removed groups included
    int drawingPoints = 0;
    int entities = 0; ///< GIS entities deleted with their elements
};

/// Removes what \p which names from \p fieldBook. The GIS entity an element (point or base
/// station) is a vertex of is deleted with it unless another element still uses one of its
/// vertices. Positions out of range and repeated positions are ignored.
DeletionResult deleteElements(FieldBook& fieldBook, const Deletion& which);

/// The names that occur more than once among the points of \p group, each once, in order of
/// first occurrence.
std::vector<std::string> duplicatePointNames(const CGrpGps& group);

/// True when a point of \p group is called \p name (compared exactly).
bool groupHasPointNamed(const CGrpGps& group, const std::string& name);

} // namespace gpsbook
