#include "gpsdialogs/GpsDialogs.h"
#include "platform/automation.h"

#include "SmallBook.h"
#include "resource.h"

#include <gtest/gtest.h>

using automation::Dialog;
using automation::ScriptedUser;

TEST(MostraGrpGps, shows_station_name_group_name_and_rounded_coordinates) {
    testsupport::SmallBook sample;
    sample.projected->SetCoordXY(123.4567, 4928300.4565);
    ScriptedUser user;
    user.onDialog([](Dialog& d) {
        EXPECT_EQ(d.caption(), "Coordinate stazione base GPS");
        EXPECT_EQ(d.text(IDC_SHOW_BASE_STATION), "100");
        EXPECT_EQ(d.text(IDC_SHOW_BASE_GROUP), "Rilievo A");
        EXPECT_EQ(d.text(IDC_SHOW_BASE_EAST), "123.457");
        EXPECT_EQ(d.text(IDC_SHOW_BASE_NORTH), "4928300.457");
        EXPECT_EQ(d.text(IDC_SHOW_BASE_HEIGHT), "93.500");
        d.click(IDOK);
    });
    EXPECT_TRUE(FMostraGrpGps(sample.projected));
    EXPECT_EQ(user.unexpected(), 0);
}

TEST(MostraGrpGps, annulla_and_close_box_return_false_and_change_nothing) {
    testsupport::SmallBook sample;
    ScriptedUser user;
    user.onDialog([](Dialog& d) { d.click(IDCANCEL); });
    user.onDialog([](Dialog& d) { EXPECT_TRUE(d.close()); });
    EXPECT_FALSE(FMostraGrpGps(sample.projected));
    EXPECT_FALSE(FMostraGrpGps(sample.projected));
    EXPECT_EQ(sample.projected->GetNome(), "100");
    EXPECT_DOUBLE_EQ(sample.projected->GetCoordX(), 686700.1234);
    EXPECT_EQ(user.unexpected(), 0);
}

TEST(MostraGrpGps, value_fields_are_static_texts_not_editable_by_the_user) {
    testsupport::SmallBook sample;
    ScriptedUser user;
    user.onDialog([](Dialog& d) {
        EXPECT_FALSE(d.setText(IDC_SHOW_BASE_EAST, "0"));
        EXPECT_EQ(d.text(IDC_SHOW_BASE_EAST), "686700.123");
        d.click(IDOK);
    });
    EXPECT_TRUE(FMostraGrpGps(sample.projected));
}
