#include "gpsdialogs/GpsDialogs.h"
#include "platform/automation.h"

#include "SmallBook.h"
#include "resource.h"

#include <gtest/gtest.h>

using automation::Dialog;
using automation::ScriptedUser;

TEST(MostraPunGps, shows_name_code_group_and_coordinates_rounded_to_millimetres) {
    testsupport::SmallBook sample;
    ScriptedUser user;
    user.onDialog([](Dialog& d) {
        EXPECT_EQ(d.caption(), "Coordinate punto GPS");
        EXPECT_EQ(d.text(IDC_SHOW_POINT_NAME), "101");
        EXPECT_EQ(d.text(IDC_SHOW_POINT_CODE), "Spigolo fabbricato");
        EXPECT_EQ(d.text(IDC_SHOW_POINT_GROUP), "Rilievo A");
        EXPECT_EQ(d.text(IDC_SHOW_POINT_EAST), "686728.457");
        EXPECT_EQ(d.text(IDC_SHOW_POINT_NORTH), "4928312.000");
        EXPECT_EQ(d.text(IDC_SHOW_POINT_HEIGHT), "94.000");
        d.click(IDOK);
    });
    EXPECT_TRUE(FMostraPunGps(sample.first));
    EXPECT_EQ(user.unexpected(), 0);
}

TEST(MostraPunGps, small_negative_values_show_without_a_minus_zero) {
    testsupport::SmallBook sample;
    ScriptedUser user;
    user.onDialog([](Dialog& d) {
        EXPECT_EQ(d.text(IDC_SHOW_POINT_EAST), "123.457");
        EXPECT_EQ(d.text(IDC_SHOW_POINT_NORTH), "0.000");
        EXPECT_EQ(d.text(IDC_SHOW_POINT_HEIGHT), "-1.250");
        d.click(IDOK);
    });
    EXPECT_TRUE(FMostraPunGps(sample.third));
}

TEST(MostraPunGps, point_without_group_shows_an_empty_group_and_the_rest) {
    CPunGps lone(nullptr, false, nullptr);
    lone.SetNome("X1");
    lone.SetCode("Solo");
    lone.SetCoordXY(1.0, 2.0);
    lone.SetCoordZ(3.0);
    ScriptedUser user;
    user.onDialog([](Dialog& d) {
        EXPECT_EQ(d.text(IDC_SHOW_POINT_NAME), "X1");
        EXPECT_EQ(d.text(IDC_SHOW_POINT_CODE), "Solo");
        EXPECT_EQ(d.text(IDC_SHOW_POINT_GROUP), "");
        EXPECT_EQ(d.text(IDC_SHOW_POINT_EAST), "1.000");
        d.click(IDOK);
    });
    EXPECT_TRUE(FMostraPunGps(&lone));
}

TEST(MostraPunGps, cancel_escape_and_close_box_return_false) {
    testsupport::SmallBook sample;
    ScriptedUser user;
    user.onDialog([](Dialog& d) { d.click(IDCANCEL); });
    user.onDialog([](Dialog& d) { d.escape(); });
    user.onDialog([](Dialog& d) { EXPECT_TRUE(d.close()); });
    EXPECT_FALSE(FMostraPunGps(sample.first));
    EXPECT_FALSE(FMostraPunGps(sample.first));
    EXPECT_FALSE(FMostraPunGps(sample.first));
    EXPECT_EQ(user.unexpected(), 0);
}

TEST(MostraPunGps, null_point_is_refused_without_showing_anything) {
    ScriptedUser user;
    EXPECT_FALSE(FMostraPunGps(nullptr));
    EXPECT_TRUE(user.dialogsSeen().empty());
}
