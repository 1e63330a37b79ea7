// The host's side of the point search: given the criteria the search dialog hands back, find
// the next point of the field book that matches them.
#pragma once

#include <optional>
#include <string>

class CLibGps;
class CPunGps;

namespace gpsbook {

/// A point's place in the field book.
struct PointPosition {
    int group = -1;
    int point = -1;

    bool operator==(const PointPosition&) const = default;
};

/// True when \p text occurs in \p within, letters A-Z compared without regard to case (every
/// other character, accented letters included, compared exactly). An empty \p text never
/// occurs.
bool containsIgnoringCase(const std::string& within, const std::string& text);

/// True when the point's name (\p inName) or its code/comment, the description (\p inCode),
/// contains \p text as containsIgnoringCase says.
bool pointMatches(const CPunGps& point, const std::string& text, bool inName, bool inCode);

/// The next point after the current position that matches, in field-book order (groups in
/// order, points in order within each group), wrapping around once to the start.
///
/// \param startGroup, startPoint the current position: a point (both valid) is searched
/// after, and is itself the last candidate; a group alone (startPoint -1) starts the search at
/// the group's first point; no position (startGroup -1 or out of range) starts at the very
/// first point of the book
/// \param wrapped when given, set to whether the point found lies at or before where the
/// search began, so that the search went past the last point and started again at the first
/// \return the position found, or nothing when no point matches (an empty text, or neither
/// flag set, matches nothing)
std::optional<PointPosition> findNextPoint(const CLibGps& book, int startGroup, int startPoint,
                                           const std::string& text, bool inName, bool inCode,
                                           bool* wrapped = nullptr);

} // namespace gpsbook
