// gpsbook's side of the creation, transfer and base-move options, on the bundled sample.
#include "core/FieldBook.h"
#include "core/SurveyEdits.h"

#include "gpsdialogs/interfaces/ConvCoord.h"
#include "gpsdialogs/interfaces/Gis.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

const char* const kSample = GPS_SOURCE_DIR "/examples/sample.gpsbook.json";

struct SurveyEdits : ::testing::Test {
    void SetUp() override {
        gpsbook::LoadResult loaded = gpsbook::loadFieldBook(kSample);
        ASSERT_TRUE(loaded.ok()) << loaded.error;
        fb = std::move(loaded.fieldBook);
    }
    CLibGps& book() { return fb->book; }
    std::unique_ptr<gpsbook::FieldBook> fb;
};

struct Geocentric {
    double x = 0, y = 0, z = 0;
};

Geocentric geocentric(const CPunGps& p) {
    Geocentric g;
    p.GetGeocCeFaMis(g.x, g.y, g.z);
    return g;
}

Geocentric geocentric(const CGrpGps& group) {
    Geocentric g;
    group.GetGeocCeFaMis(g.x, g.y, g.z);
    return g;
}

} // namespace

TEST_F(SurveyEdits, a_created_point_lies_where_its_plane_position_says) {
    std::string error;
    const int before = book().GetPunArSize(0);
    CPunGps* p =
        gpsbook::createPoint(book(), 0, "120", "Picchetto", 685010.5, 4928870.25, 62.9, 1.8, error);
    ASSERT_NE(p, nullptr) << error;
    EXPECT_EQ(book().GetPunArSize(0), before + 1);
    EXPECT_EQ(book().GetPunAt(0, before), p);
    EXPECT_EQ(p->GetNome(), "120");
    EXPECT_EQ(p->GetCode(), "Picchetto");
    EXPECT_EQ(p->GetAltAnt(), 1.8);
    double east = 0, north = 0, height = 0;
    ASSERT_TRUE(book().GetGrpAt(0)->GetConvCoord()->GrafGpsToPlanAtt(
        p->GetLat(), p->GetLong(), p->GetElev(), 1.8, east, north, height));
    EXPECT_NEAR(east, 685010.5, 1e-4);
    EXPECT_NEAR(north, 4928870.25, 1e-4);
    EXPECT_NEAR(height, 62.9, 1e-4);
    EXPECT_EQ(p->GetCoordX(), 685010.5);
}

TEST_F(SurveyEdits, no_point_without_projection_or_where_the_projection_fails) {
    std::string error;
    const int points = book().GetPunArSize(1);
    EXPECT_EQ(gpsbook::createPoint(book(), 1, "X", "", 0, 0, 0, 0, error), nullptr);
    EXPECT_NE(error.find("proiezione"), std::string::npos);
    EXPECT_EQ(book().GetPunArSize(1), points);
    EXPECT_EQ(gpsbook::createPoint(book(), 0, "X", "", 9e9, 0, 0, 0, error), nullptr);
    EXPECT_EQ(error, "la posizione non si può convertire in coordinate geografiche con la "
                     "proiezione del gruppo");
    EXPECT_EQ(gpsbook::createPoint(book(), 7, "X", "", 0, 0, 0, 0, error), nullptr);
    // Beyond the area the projection is meant for, a position that converts is taken.
    EXPECT_NE(gpsbook::createPoint(book(), 0, "X", "", 900000, 4928870, 0, 0, error), nullptr)
        << error;
}

TEST_F(SurveyEdits, transfer_takes_the_chosen_drawn_points_and_keeps_the_others) {
    ASSERT_EQ(fb->drawingPoints.size(), 3u);
    fb->drawingPoints[2].east = -9e9; // this one cannot be converted
    const int before = book().GetPunArSize(0);
    gpsbook::TransferResult r = gpsbook::transferDrawingPoints(*fb, {2, 0}, 0, 2.0);
    EXPECT_EQ(r.transferred, 1);
    EXPECT_EQ(r.failed, std::vector<std::string>{"D3"});
    ASSERT_EQ(book().GetPunArSize(0), before + 1);
    const CPunGps* moved = book().GetPunAt(0, before);
    EXPECT_EQ(moved->GetNome(), "D1");
    EXPECT_EQ(moved->GetCode(), "CORDOLO marciapiede");
    EXPECT_EQ(moved->GetAltAnt(), 2.0);
    EXPECT_TRUE(IsEgnValueDefined(moved->GetLat()));
    ASSERT_EQ(fb->drawingPoints.size(), 2u);
    EXPECT_EQ(fb->drawingPoints[0].name, "D2");
    EXPECT_EQ(fb->drawingPoints[1].name, "D3");
}

TEST_F(SurveyEdits, moving_the_base_shifts_it_and_its_points_along_its_vertical) {
    CGrpGps* group = book().GetGrpAt(0);
    const double oldAntenna = group->GetBaseAltAnt();
    const double baseElev = group->GetBaseElev();
    const double baseGround = group->GetCoordZ();
    const Geocentric base = geocentric(*group);
    const CPunGps* p = group->GetPunAt(3);
    const Geocentric point = geocentric(*p);
    const double elev = p->GetElev(), east = p->GetCoordX(), north = p->GetCoordY(),
                 height = p->GetCoordZ();

    gpsbook::BaseMoveResult moved = gpsbook::moveBaseStation(book(), 0, oldAntenna + 0.1);
    ASSERT_TRUE(moved.ok) << moved.error;
    EXPECT_NEAR(moved.shift, 0.1, 1e-12);
    EXPECT_EQ(moved.points, group->GetPunCount() - 1);
    EXPECT_EQ(moved.leftOut, 1); // 107, coded NE
    EXPECT_DOUBLE_EQ(group->GetBaseAltAnt(), oldAntenna + 0.1);
    EXPECT_NEAR(group->GetBaseElev(), baseElev + 0.1, 1e-6);
    EXPECT_NEAR(group->GetCoordZ(), baseGround, 1e-6); // the mark stays where it is
    // The baseline from the base to the point is as measured.
    const Geocentric base2 = geocentric(*group), point2 = geocentric(*p);
    EXPECT_NEAR(point2.x - base2.x, point.x - base.x, 1e-6);
    EXPECT_NEAR(point2.y - base2.y, point.y - base.y, 1e-6);
    EXPECT_NEAR(point2.z - base2.z, point.z - base.z, 1e-6);
    EXPECT_NEAR(p->GetElev(), elev + 0.1, 1e-4);
    EXPECT_NEAR(p->GetCoordZ(), height + 0.1, 1e-4);
    EXPECT_NEAR(p->GetCoordX(), east, 1e-4);
    EXPECT_NEAR(p->GetCoordY(), north, 1e-4);
}

TEST_F(SurveyEdits, a_base_without_position_or_height_is_not_moved) {
    CGrpGps* fresh = book().AddGrp("Nuovo");
    gpsbook::BaseMoveResult moved = gpsbook::moveBaseStation(book(), 2, 1.5);
    EXPECT_FALSE(moved.ok);
    EXPECT_FALSE(moved.error.empty());
    EXPECT_FALSE(IsEgnValueDefined(fresh->GetBaseAltAnt()));
    fresh->SetBaseGeo(0.77, 0.19, 100.0);
    EXPECT_FALSE(gpsbook::moveBaseStation(book(), 2, 1.5).ok); // old height unknown
    EXPECT_FALSE(gpsbook::moveBaseStation(book(), 9, 1.5).ok);
}

TEST_F(SurveyEdits, deletion_takes_entities_no_other_element_uses_and_ignores_bad_positions) {
    gis::CLibGis& gis = fb->gis;
    // The base station shares the manhole of 104; the kerb line has 101, 102 and 103.
    CGrpGps* first = book().GetGrpAt(0);
    first->SetEntVert(book().GetPunAt(0, 6)->GetEntVert());
    gpsbook::Deletion which;
    which.points = {{0, 6}, {0, 3}, {0, 3}, {0, 99}, {7, 0}};
    gpsbook::DeletionResult done = gpsbook::deleteElements(*fb, which);
    EXPECT_EQ(done.points, 2);
    EXPECT_EQ(done.entities, 0);
    EXPECT_EQ(gis.FindTheme("Pozzetti")->GetNumEnts(), 1);
    EXPECT_EQ(gis.FindTheme("Cordoli")->GetNumEnts(), 1);
    EXPECT_EQ(book().GetPunArSize(0), 12);

    // The group goes with the station's entity, now used by nothing else, and its points'.
    which = {};
    which.groups = {0, 0};
    which.points = {{0, 0}}; // inside a group that goes whole: counted once
    done = gpsbook::deleteElements(*fb, which);
    EXPECT_EQ(done.groups, 1);
    EXPECT_EQ(done.points, 12);
    EXPECT_EQ(done.entities, 3); // manhole, kerb line, tree
    EXPECT_EQ(gis.FindTheme("Pozzetti")->GetNumEnts(), 0);
    EXPECT_EQ(gis.FindTheme("Cordoli")->GetNumEnts(), 0);
    EXPECT_EQ(book().GetGrpArSize(), 1);
}

TEST_F(SurveyEdits, duplicate_names_are_listed_once_in_order) {
    CGrpGps* group = book().GetGrpAt(1);
    EXPECT_TRUE(gpsbook::duplicatePointNames(*group).empty());
    group->GetPunAt(5)->SetNome("302");
    group->GetPunAt(6)->SetNome("301");
    group->GetPunAt(7)->SetNome("302");
    EXPECT_EQ(gpsbook::duplicatePointNames(*group), (std::vector<std::string>{"301", "302"}));
    EXPECT_TRUE(gpsbook::groupHasPointNamed(*group, "303"));
    EXPECT_FALSE(gpsbook::groupHasPointNamed(*group, "30"));
}
