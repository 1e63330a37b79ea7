// What the plan view draws of a field book, without any widget: the marks of the points, base
// stations and drawn points of one plane coordinate system, the baselines, the GIS lines and
// areas, what is left out and why, and the spatial buckets through which the view finds what
// lies under the cursor or inside a rectangle.
//
// Plane values of different systems never meet in one plan: a plan is built for one system
// (a group's projected reference system, by its definition text), and the groups of other
// systems or without a computed projection are listed as not drawn. Drawn points and the GIS
// entities that no point of another system is linked to belong to the drawing itself, whose
// plane is the one the groups project into: they are drawn in every system.
#pragma once

#include "core/FieldBook.h"

#include <cstdint>
#include <string>
#include <vector>

namespace gpsbook::plan {

/// A plane coordinate system in which some groups of the book can be drawn.
struct System {
    std::string crs;         ///< the groups' definition text ("EPSG:6707")
    std::string label;       ///< what the drop-down shows: the system's name and definition
    std::vector<int> groups; ///< the groups drawn in it, in book order
};

/// The systems of the book's groups with a computed projection, in the order the groups come.
std::vector<System> systems(const CLibGps& book);

/// Index in \p list of the system of \p group; -1 when the group has no computed projection.
int systemOfGroup(const std::vector<System>& list, const CLibGps& book, int group);

enum class MarkKind : std::uint8_t {
    Point, ///< a GPS point of a group
    Base,  ///< a group's base station
    Drawn, ///< a point of the drawing not yet in any group
};

/// One symbol of the plan.
struct Mark {
    double east = 0.0;
    double north = 0.0;
    MarkKind kind = MarkKind::Point;
    bool excluded = false; ///< coded NE: left out of processing
    /// Symbol family of the graphic model (or, without one, of the description's first word):
    /// a small number the view turns into a shape and a colour.
    std::uint8_t family = 0;
    int group = -1; ///< book position of the group; -1 for a drawn point
    int point = -1; ///< position in the group (-1: the base station) or among the drawn points
    std::string name;
};

/// A line from a base station to a point measured from it: indices of two marks.
struct Baseline {
    int base = 0;
    int point = 0;
};

/// A GIS line or area entity, through its vertices, part by part.
struct Shape {
    std::string theme;
    bool area = false;
    std::vector<std::vector<std::pair<double, double>>> parts; ///< east, north
};

/// A group of the book left out of the plan, and why.
struct LeftOut {
    int group = -1;
    std::string name;
    std::string reason; ///< in the user's words
};

/// An axis-aligned rectangle of plane coordinates.
struct Box {
    double minEast = 0.0, minNorth = 0.0, maxEast = -1.0, maxNorth = -1.0;
    bool empty() const { return maxEast < minEast || maxNorth < minNorth; }
    bool contains(double e, double n) const {
        return e >= minEast && e <= maxEast && n >= minNorth && n <= maxNorth;
    }
    bool intersects(const Box& o) const {
        return !empty() && !o.empty() && o.minEast <= maxEast && o.maxEast >= minEast &&
               o.minNorth <= maxNorth && o.maxNorth >= minNorth;
    }
    void add(double e, double n);
};

/// A bucket of nearby marks: the unit the view draws and indexes.
struct Bucket {
    Box box;
    std::vector<int> marks;
};

/// Everything drawn for one system.
class Plan {
public:
    /// Builds the plan of \p book in the system \p crs (empty: only the drawing's own objects).
    static Plan build(const FieldBook& book, const std::string& crs);

    const std::vector<Mark>& marks() const { return m_marks; }
    const std::vector<Baseline>& baselines() const { return m_baselines; }
    const std::vector<Shape>& shapes() const { return m_shapes; }
    const std::vector<LeftOut>& leftOut() const { return m_leftOut; }
    const std::vector<Bucket>& buckets() const { return m_buckets; }
    /// Points of the drawn groups that have no plane coordinates.
    int withoutPlane() const { return m_withoutPlane; }
    /// Everything drawn: marks and GIS vertices.
    const Box& bounds() const { return m_bounds; }

    /// The mark of a book position (point -1: the group's base station); -1 when not drawn.
    int find(int group, int point) const;
    /// The mark of a drawn point; -1 when it is not drawn.
    int findDrawn(int index) const;
    /// Marks inside \p box (edges included), in mark order.
    std::vector<int> marksIn(const Box& box) const;
    /// The mark nearest to (east, north) within \p radius; -1 when none is that close.
    int nearest(double east, double north, double radius) const;

private:
    void makeBuckets();

    std::vector<Mark> m_marks;
    std::vector<Baseline> m_baselines;
    std::vector<Shape> m_shapes;
    std::vector<LeftOut> m_leftOut;
    std::vector<Bucket> m_buckets;
    std::vector<std::vector<int>> m_byGroup; // mark of each point of each group, -1 if none
    std::vector<int> m_baseOf;               // mark of each group's base station
    std::vector<int> m_drawn;                // mark of each drawn point
    int m_withoutPlane = 0;
    Box m_bounds;
};

/// A length for the scale bar: 1, 2 or 5 times a power of ten, the longest not above
/// \p longest (in the plan's unit). 0 when \p longest is not a positive finite number.
double scaleBarLength(double longest);

/// Text of a scale bar length: "50 m", "2 km", "0,5 m".
std::string scaleBarText(double length);

} // namespace gpsbook::plan
