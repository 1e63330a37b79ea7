// The plan of a field book: what is drawn in which system, what is left out and counted, and
// the buckets through which the view finds marks.
#include "core/FieldBook.h"
#include "core/PlanScene.h"
#include "gpsdialogs/interfaces/Gis.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

using namespace gpsbook::plan;

namespace {

std::unique_ptr<gpsbook::FieldBook> sample() {
    gpsbook::LoadResult loaded =
        gpsbook::loadFieldBook(GPS_SOURCE_DIR "/examples/sample.gpsbook.json");
    EXPECT_TRUE(loaded.ok()) << loaded.error;
    return std::move(loaded.fieldBook);
}

std::vector<std::string> namesOf(const Plan& plan, MarkKind kind) {
    std::vector<std::string> names;
    for (const Mark& mark : plan.marks())
        if (mark.kind == kind) names.push_back(mark.name);
    return names;
}

/// Gives the second group of the sample (no projection) a system of its own and plane values.
void projectSecondGroup(gpsbook::FieldBook& book, const std::string& crs) {
    CGrpGps* group = book.book.GetGrpAt(1);
    group->SetProjection(crs, 0.0);
    ASSERT_TRUE(group->IsCdElabValid());
    group->SetCoordXY(500000.0, 4930000.0);
    for (int p = 0; p < book.book.GetPunArSize(1); ++p)
        book.book.GetPunAt(1, p)->SetCoordXY(500010.0 + p, 4930020.0 - p);
}

} // namespace

TEST(PlanScene, sample_draws_the_points_with_plane_coordinates_and_counts_the_others) {
    auto book = sample();
    const std::vector<System> list = systems(book->book);
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0].crs, "EPSG:6707");
    EXPECT_NE(list[0].label.find("EPSG:6707"), std::string::npos);
    EXPECT_EQ(list[0].groups, std::vector<int>{0});
    EXPECT_EQ(systemOfGroup(list, book->book, 0), 0);
    EXPECT_EQ(systemOfGroup(list, book->book, 1), -1);

    const Plan plan = Plan::build(*book, "EPSG:6707");
    EXPECT_EQ(namesOf(plan, MarkKind::Base), std::vector<std::string>{"B01"});
    const std::vector<std::string> points = namesOf(plan, MarkKind::Point);
    EXPECT_EQ(points.size(), 12u); // 14 points, of which 107 and 110 have no plane coordinates
    EXPECT_EQ(std::count(points.begin(), points.end(), "107"), 0);
    EXPECT_EQ(std::count(points.begin(), points.end(), "110"), 0);
    EXPECT_EQ(plan.withoutPlane(), 2);
    EXPECT_EQ(namesOf(plan, MarkKind::Drawn), (std::vector<std::string>{"D1", "D2", "D3"}));
    ASSERT_EQ(plan.leftOut().size(), 1u);
    EXPECT_EQ(plan.leftOut()[0].group, 1);
    EXPECT_EQ(plan.leftOut()[0].reason, "senza proiezione calcolata");

    // Every point drawn has its baseline from the group's base station.
    EXPECT_EQ(plan.baselines().size(), 12u);
    for (const Baseline& line : plan.baselines()) {
        EXPECT_EQ(plan.marks()[static_cast<std::size_t>(line.base)].kind, MarkKind::Base);
        EXPECT_EQ(plan.marks()[static_cast<std::size_t>(line.point)].group, 0);
    }
    // The kerb line through 101, 102, 103; the point themes are not shapes.
    ASSERT_EQ(plan.shapes().size(), 1u);
    EXPECT_EQ(plan.shapes()[0].theme, "Cordoli");
    EXPECT_FALSE(plan.shapes()[0].area);
    ASSERT_EQ(plan.shapes()[0].parts.size(), 1u);
    EXPECT_EQ(plan.shapes()[0].parts[0].size(), 3u);

    // Positions as the tree gives them find their marks.
    const int pf07 = plan.find(0, 1);
    ASSERT_GE(pf07, 0);
    EXPECT_EQ(plan.marks()[static_cast<std::size_t>(pf07)].name, "PF07");
    EXPECT_NEAR(plan.marks()[static_cast<std::size_t>(pf07)].east, 685511.822, 0.001);
    EXPECT_EQ(plan.find(0, 9), -1); // 107
    EXPECT_EQ(plan.marks()[static_cast<std::size_t>(plan.find(0, -1))].name, "B01");
    EXPECT_EQ(plan.marks()[static_cast<std::size_t>(plan.findDrawn(2))].name, "D3");
    EXPECT_EQ(plan.find(1, 0), -1);
    EXPECT_EQ(plan.find(7, 0), -1);
    EXPECT_EQ(plan.findDrawn(3), -1);
}

TEST(PlanScene, points_coded_ne_are_drawn_and_marked_excluded) {
    auto book = sample();
    CPunGps* fence = book->book.GetPunAt(0, 9); // 107, coded NE
    ASSERT_TRUE(fence->IsCodedNE());
    fence->SetCoordXY(685000.0, 4928900.0);
    const Plan plan = Plan::build(*book, "EPSG:6707");
    const int mark = plan.find(0, 9);
    ASSERT_GE(mark, 0);
    EXPECT_TRUE(plan.marks()[static_cast<std::size_t>(mark)].excluded);
    EXPECT_FALSE(plan.marks()[static_cast<std::size_t>(plan.find(0, 3))].excluded);
    EXPECT_EQ(plan.withoutPlane(), 1);
}

TEST(PlanScene, groups_of_another_system_are_never_mixed_in) {
    auto book = sample();
    projectSecondGroup(*book, "EPSG:32632");
    const std::vector<System> list = systems(book->book);
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[1].crs, "EPSG:32632");

    const Plan first = Plan::build(*book, "EPSG:6707");
    for (const Mark& mark : first.marks())
        EXPECT_NE(mark.group, 1) << mark.name;
    ASSERT_EQ(first.leftOut().size(), 1u);
    EXPECT_EQ(first.leftOut()[0].reason, "in EPSG:32632");

    const Plan second = Plan::build(*book, "EPSG:32632");
    EXPECT_EQ(namesOf(second, MarkKind::Base), std::vector<std::string>{"CS01"});
    EXPECT_EQ(namesOf(second, MarkKind::Point).size(), 8u);
    ASSERT_EQ(second.leftOut().size(), 1u);
    EXPECT_EQ(second.leftOut()[0].group, 0);
    // The kerb line belongs to points of the first system: not drawn in the second one.
    EXPECT_TRUE(second.shapes().empty());
    // The drawing's own points are in every system.
    EXPECT_EQ(namesOf(second, MarkKind::Drawn).size(), 3u);

    // So is an area that no point is linked to.
    gis::CTheme* lots = book->gis.CreateTheme("Lotti", 3);
    gis::CEntPart* part = book->gis.AddEntPart(book->gis.CreateEnt(lots));
    for (auto [e, n] :
         {std::pair{685000.0, 4928800.0}, {685040.0, 4928800.0}, {685040.0, 4928840.0}})
        book->gis.AddEntVert(part, kit::geom::PNT_3D{e, n, 0.0});
    for (const std::string crs : {"EPSG:6707", "EPSG:32632"}) {
        const Plan plan = Plan::build(*book, crs);
        auto area = std::find_if(plan.shapes().begin(), plan.shapes().end(),
                                 [](const Shape& shape) { return shape.theme == "Lotti"; });
        ASSERT_NE(area, plan.shapes().end()) << crs;
        EXPECT_TRUE(area->area);
        EXPECT_EQ(area->parts.at(0).size(), 3u);
        EXPECT_TRUE(plan.bounds().contains(685040.0, 4928840.0));
    }
}

TEST(PlanScene, an_empty_book_has_an_empty_plan) {
    gpsbook::FieldBook book;
    EXPECT_TRUE(systems(book.book).empty());
    const Plan plan = Plan::build(book, "");
    EXPECT_TRUE(plan.marks().empty());
    EXPECT_TRUE(plan.bounds().empty());
    EXPECT_TRUE(plan.marksIn(Box{-1e9, -1e9, 1e9, 1e9}).empty());
    EXPECT_EQ(plan.nearest(0, 0, 1e9), -1);
}

TEST(PlanScene, buckets_hold_every_mark_once_and_queries_match_a_plain_search) {
    gpsbook::FieldBook book;
    book.book.AddGrp("Grande")->SetProjection("EPSG:6707", 0.0);
    std::mt19937 random(7);
    std::normal_distribution<double> spread(0.0, 300.0);
    for (int i = 0; i < 5000; ++i) {
        CPunGps* point = book.book.AddPun(0);
        point->SetNome(std::to_string(i));
        point->SetCoordXY(680000.0 + spread(random), 4920000.0 + spread(random));
    }
    // A point a hundred kilometres off, and a pile on one spot.
    book.book.AddPun(0)->SetCoordXY(780000.0, 4920000.0);
    for (int i = 0; i < 300; ++i)
        book.book.AddPun(0)->SetCoordXY(680000.0, 4920000.0);
    const Plan plan = Plan::build(book, "EPSG:6707");
    ASSERT_EQ(plan.marks().size(), 5301u);

    std::vector<int> seen;
    for (const Bucket& bucket : plan.buckets()) {
        for (int m : bucket.marks) {
            const Mark& mark = plan.marks()[static_cast<std::size_t>(m)];
            EXPECT_TRUE(bucket.box.contains(mark.east, mark.north));
            seen.push_back(m);
        }
    }
    std::sort(seen.begin(), seen.end());
    ASSERT_EQ(seen.size(), plan.marks().size());
    for (std::size_t i = 0; i < seen.size(); ++i)
        ASSERT_EQ(seen[i], static_cast<int>(i));

    const Box box{679900.0, 4919950.0, 680100.0, 4920000.0};
    std::vector<int> expected;
    for (std::size_t m = 0; m < plan.marks().size(); ++m)
        if (box.contains(plan.marks()[m].east, plan.marks()[m].north))
            expected.push_back(static_cast<int>(m));
    EXPECT_EQ(plan.marksIn(box), expected);
    EXPECT_GT(expected.size(), 300u); // the pile lies on the box's edge and counts

    const int lone = plan.nearest(779990.0, 4920005.0, 20.0);
    ASSERT_GE(lone, 0);
    EXPECT_DOUBLE_EQ(plan.marks()[static_cast<std::size_t>(lone)].east, 780000.0);
    EXPECT_EQ(plan.nearest(779990.0, 4920005.0, 5.0), -1);
}

TEST(PlanScene, scale_bar_takes_a_round_length_that_fits) {
    const struct {
        double longest;
        double length;
    } cases[] = {{0.0, 0.0},   {-3.0, 0.0},   {1.0, 1.0},     {7.3, 5.0},      {19.9, 10.0},
                 {20.0, 20.0}, {0.034, 0.02}, {250.0, 200.0}, {4999.0, 2000.0}};
    for (const auto& c : cases)
        EXPECT_DOUBLE_EQ(scaleBarLength(c.longest), c.length) << c.longest;
    EXPECT_EQ(scaleBarText(50.0), "50 m");
    EXPECT_EQ(scaleBarText(2000.0), "2 km");
    EXPECT_EQ(scaleBarText(0.5), "0,5 m");
    EXPECT_EQ(scaleBarText(0.005), "5 mm");
}
