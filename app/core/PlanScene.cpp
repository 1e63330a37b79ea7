#include "core/PlanScene.h"

#include "gpsdialogs/interfaces/ConvCoord.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <functional>
#include <set>

namespace gpsbook::plan {

namespace {

// Marks per bucket: small enough that a click looks at a handful, large enough that a book
// of a hundred thousand points makes no more than a thousand buckets for the scene's index.
constexpr std::size_t kBucketSize = 128;
constexpr int kFamilies = 40;

bool planeDefined(const CEgn& element) {
    const double e = element.GetCoordX(), n = element.GetCoordY();
    return IsEgnValueDefined(e) && IsEgnValueDefined(n) && std::isfinite(e) && std::isfinite(n);
}

std::string systemLabel(const CGrpGps& group) {
    const CConvCoord* conv = group.GetConvCoord();
    const std::string name = conv != nullptr ? conv->GetCrsName() : std::string();
    const std::string& crs = group.GetProjection();
    if (name.empty() || name == crs) return crs;
    return name + " (" + crs + ")";
}

/// The symbol family of an element: its graphic model's place among the book's options, or
/// for a model the book does not list (or none) the first word of its description.
std::uint8_t familyOf(const CLibGps& book, const CEgn& element) {
    const std::string model = element.GetAttribDis();
    if (!model.empty()) {
        const COpzListDisEgn& options = book.m_OpzListDisEgn;
        for (int i = 0; i < options.GetNuOpzCom(); ++i)
            if (options.GetOpzCom(i)->GetNomeOpz() == model)
                return static_cast<std::uint8_t>(i % kFamilies);
    }
    std::string word = model;
    if (word.empty()) {
        const std::string& text = element.GetSecScri();
        auto end = std::find_if(text.begin(), text.end(),
                                [](unsigned char c) { return std::isspace(c) != 0; });
        word.assign(text.begin(), end);
    }
    for (char& c : word)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return static_cast<std::uint8_t>(std::hash<std::string>{}(word) % kFamilies);
}

} // namespace

void Box::add(double e, double n) {
    if (empty()) {
        minEast = maxEast = e;
        minNorth = maxNorth = n;
        return;
    }
    minEast = std::min(minEast, e);
    maxEast = std::max(maxEast, e);
    minNorth = std::min(minNorth, n);
    maxNorth = std::max(maxNorth, n);
}

std::vector<System> systems(const CLibGps& book) {
    std::vector<System> list;
    for (int g = 0; g < book.GetGrpArSize(); ++g) {
        const CGrpGps& group = *book.GetGrpAt(g);
        if (!group.IsCdElabValid()) continue;
        auto same = std::find_if(list.begin(), list.end(),
                                 [&](const System& s) { return s.crs == group.GetProjection(); });
        if (same == list.end()) {
            list.push_back({group.GetProjection(), systemLabel(group), {}});
            same = list.end() - 1;
        }
        same->groups.push_back(g);
    }
    return list;
}

int systemOfGroup(const std::vector<System>& list, const CLibGps& book, int group) {
    const CGrpGps* grp = book.GetGrpAt(group);
    if (grp == nullptr || !grp->IsCdElabValid()) return -1;
    for (std::size_t i = 0; i < list.size(); ++i)
        if (list[i].crs == grp->GetProjection()) return static_cast<int>(i);
    return -1;
}

Plan Plan::build(const FieldBook& fieldBook, const std::string& crs) {
    Plan plan;
    const CLibGps& book = fieldBook.book;
    const int groups = book.GetGrpArSize();
    plan.m_byGroup.resize(static_cast<std::size_t>(groups));
    plan.m_baseOf.assign(static_cast<std::size_t>(groups), -1);
    std::vector<bool> drawnGroup(static_cast<std::size_t>(groups), false);

    auto addMark = [&plan](const CEgn& element, MarkKind kind, std::uint8_t family, int group,
                           int point) {
        Mark mark;
        mark.east = element.GetCoordX();
        mark.north = element.GetCoordY();
        mark.kind = kind;
        mark.excluded = element.IsCodedNE();
        mark.family = family;
        mark.group = group;
        mark.point = point;
        mark.name = element.GetNome();
        plan.m_bounds.add(mark.east, mark.north);
        plan.m_marks.push_back(std::move(mark));
        return static_cast<int>(plan.m_marks.size()) - 1;
    };

    for (int g = 0; g < groups; ++g) {
        const CGrpGps& group = *book.GetGrpAt(g);
        const int count = book.GetPunArSize(g);
        plan.m_byGroup[static_cast<std::size_t>(g)].assign(static_cast<std::size_t>(count), -1);
        if (!group.IsCdElabValid()) {
            plan.m_leftOut.push_back({g, group.GetNomeGrp(), "senza proiezione calcolata"});
            continue;
        }
        if (group.GetProjection() != crs) {
            plan.m_leftOut.push_back({g, group.GetNomeGrp(), "in " + group.GetProjection()});
            continue;
        }
        drawnGroup[static_cast<std::size_t>(g)] = true;
        int base = -1;
        if (planeDefined(group))
            base = addMark(group, MarkKind::Base, 0, g, -1);
        else
            ++plan.m_withoutPlane;
        plan.m_baseOf[static_cast<std::size_t>(g)] = base;
        for (int p = 0; p < count; ++p) {
            const CPunGps& point = *book.GetPunAt(g, p);
            if (!planeDefined(point)) {
                ++plan.m_withoutPlane;
                continue;
            }
            const int mark = addMark(point, MarkKind::Point, familyOf(book, point), g, p);
            plan.m_byGroup[static_cast<std::size_t>(g)][static_cast<std::size_t>(p)] = mark;
            if (base >= 0) plan.m_baselines.push_back({base, mark});
        }
    }

    const std::vector<DrawingPoint>& drawn = fieldBook.drawingPoints;
    plan.m_drawn.assign(drawn.size(), -1);
    for (std::size_t i = 0; i < drawn.size(); ++i) {
        if (!std::isfinite(drawn[i].east) || !std::isfinite(drawn[i].north)) continue;
        Mark mark;
        mark.east = drawn[i].east;
        mark.north = drawn[i].north;
        mark.kind = MarkKind::Drawn;
        mark.point = static_cast<int>(i);
        mark.name = drawn[i].name;
        plan.m_bounds.add(mark.east, mark.north);
        plan.m_marks.push_back(std::move(mark));
        plan.m_drawn[i] = static_cast<int>(plan.m_marks.size()) - 1;
    }

    // GIS lines and areas: left out only when their vertices belong to points of groups that
    // are not drawn here.
    auto& gis = const_cast<gis::CLibGis&>(fieldBook.gis);
    for (int t = 0; t < gis.GetNumThemes(); ++t) {
        gis::CTheme* theme = gis.GetTheme(t);
        const int type = gis::CLibGis::GetEntType(theme);
        if (type != 2 && type != 3) continue;
        for (int e = 0; e < theme->GetNumEnts(); ++e) {
            gis::CEnt* ent = theme->GetEntAt(e);
            Shape shape;
            shape.theme = gis::CLibGis::GetThemeName(theme).GetText();
            shape.area = type == 3;
            bool linkedHere = false, linkedElsewhere = false;
            for (int p = 0; p < ent->GetNumParts(); ++p) {
                gis::CEntPart* part = gis.GetEntPart(ent, p);
                std::vector<std::pair<double, double>> vertices;
                for (int v = 0; v < part->GetNumVerts(); ++v) {
                    const gis::CEntVert* vertex = gis.GetEntVert(part, v);
                    for (const CEgn* element : vertex->GetLinkedElements()) {
                        int g = -1;
                        if (const auto* point = dynamic_cast<const CPunGps*>(element))
                            book.GetIndiciDiGrp(point->m_pGrp, g);
                        else if (const auto* group = dynamic_cast<const CGrpGps*>(element))
                            book.GetIndiciDiGrp(group, g);
                        if (g < 0) continue;
                        (drawnGroup[static_cast<std::size_t>(g)] ? linkedHere : linkedElsewhere) =
                            true;
                    }
                    const kit::geom::PNT_3D& at = vertex->GetCoord();
                    if (std::isfinite(at.x) && std::isfinite(at.y) && IsEgnValueDefined(at.x) &&
                        IsEgnValueDefined(at.y))
                        vertices.emplace_back(at.x, at.y);
                }
                if (vertices.size() >= 2) shape.parts.push_back(std::move(vertices));
            }
            if (shape.parts.empty() || (linkedElsewhere && !linkedHere)) continue;
            for (const auto& part : shape.parts)
                for (const auto& [east, north] : part)
                    plan.m_bounds.add(east, north);
            plan.m_shapes.push_back(std::move(shape));
        }
    }

    plan.makeBuckets();
    return plan;
}

void Plan::makeBuckets() {
    std::vector<int> order(m_marks.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        order[i] = static_cast<int>(i);
    // Median splits across the longer side: buckets of even size however the points lie, so
    // that a point measured a hundred kilometres off does not make one bucket of all the rest.
    std::function<void(std::size_t, std::size_t)> split = [&](std::size_t from, std::size_t to) {
        Box box;
        for (std::size_t i = from; i < to; ++i)
            box.add(m_marks[static_cast<std::size_t>(order[i])].east,
                    m_marks[static_cast<std::size_t>(order[i])].north);
        const bool alongEast = box.maxEast - box.minEast >= box.maxNorth - box.minNorth;
        if (to - from <= kBucketSize ||
            (box.maxEast == box.minEast && box.maxNorth == box.minNorth)) {
            Bucket bucket;
            bucket.box = box;
            bucket.marks.assign(order.begin() + static_cast<std::ptrdiff_t>(from),
                                order.begin() + static_cast<std::ptrdiff_t>(to));
            std::sort(bucket.marks.begin(), bucket.marks.end());
            m_buckets.push_back(std::move(bucket));
            return;
        }
        const std::size_t middle = from + (to - from) / 2;
        std::nth_element(order.begin() + static_cast<std::ptrdiff_t>(from),
                         order.begin() + static_cast<std::ptrdiff_t>(middle),
                         order.begin() + static_cast<std::ptrdiff_t>(to), [&](int a, int b) {
                             const Mark& ma = m_marks[static_cast<std::size_t>(a)];
                             const Mark& mb = m_marks[static_cast<std::size_t>(b)];
                             return alongEast ? ma.east < mb.east : ma.north < mb.north;
                         });
        split(from, middle);
        split(middle, to);
    };
    if (!order.empty()) split(0, order.size());
}

int Plan::find(int group, int point) const {
    if (group < 0 || static_cast<std::size_t>(group) >= m_byGroup.size()) return -1;
    if (point < 0) return m_baseOf[static_cast<std::size_t>(group)];
    const std::vector<int>& marks = m_byGroup[static_cast<std::size_t>(group)];
    return static_cast<std::size_t>(point) < marks.size() ? marks[static_cast<std::size_t>(point)]
                                                          : -1;
}

int Plan::findDrawn(int index) const {
    return index >= 0 && static_cast<std::size_t>(index) < m_drawn.size()
               ? m_drawn[static_cast<std::size_t>(index)]
               : -1;
}

std::vector<int> Plan::marksIn(const Box& box) const {
    std::vector<int> found;
    for (const Bucket& bucket : m_buckets) {
        if (!bucket.box.intersects(box)) continue;
        for (int m : bucket.marks) {
            const Mark& mark = m_marks[static_cast<std::size_t>(m)];
            if (box.contains(mark.east, mark.north)) found.push_back(m);
        }
    }
    std::sort(found.begin(), found.end());
    return found;
}

int Plan::nearest(double east, double north, double radius) const {
    const Box around{east - radius, north - radius, east + radius, north + radius};
    int best = -1;
    double bestDistance = radius * radius;
    for (const Bucket& bucket : m_buckets) {
        if (!bucket.box.intersects(around)) continue;
        for (int m : bucket.marks) {
            const Mark& mark = m_marks[static_cast<std::size_t>(m)];
            const double de = mark.east - east, dn = mark.north - north;
            const double d = de * de + dn * dn;
            // Of marks on the same spot the later one is drawn on top, and is the one picked.
            if (d < bestDistance || (d == bestDistance && m > best)) {
                best = m;
                bestDistance = d;
            }
        }
    }
    return best;
}

double scaleBarLength(double longest) {
    if (!(longest > 0.0) || !std::isfinite(longest)) return 0.0;
    const double power = std::pow(10.0, std::floor(std::log10(longest)));
    for (double step : {5.0, 2.0, 1.0})
        if (step * power <= longest * (1.0 + 1e-12)) return step * power;
    return power;
}

std::string scaleBarText(double length) {
    char text[64];
    if (length >= 1000.0)
        std::snprintf(text, sizeof text, "%g km", length / 1000.0);
    else if (length >= 0.01)
        std::snprintf(text, sizeof text, "%g m", length);
    else
        std::snprintf(text, sizeof text, "%g mm", length * 1000.0);
    std::string result = text;
    std::replace(result.begin(), result.end(), '.', ',');
    return result;
}

} // namespace gpsbook::plan
