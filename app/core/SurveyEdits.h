// The host's side of the creation, transfer and base-move options: what gpsbook does with the
// choices the module hands back. No widgets, so that the tests reach it directly.
#pragma once

#include "core/FieldBook.h"

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
};

/// Gives the base station of group \p group the antenna height \p antennaHeight, as when the
/// height was recorded wrong: the antenna, and with it every point measured from it, moves by
/// the difference along the base's vertical (the ellipsoid normal at the base), the baselines
/// staying as measured. Geographic positions follow; with a computed projection the plane
/// positions are recomputed.
BaseMoveResult moveBaseStation(CLibGps& book, int group, double antennaHeight);

} // namespace gpsbook
