#include "gpsdialogs/GpsDialogs.h"
#include "platform/automation.h"
#include "platform/dialog.h"

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

TEST(MostraGrpGps, a_station_without_coordinates_shows_empty_fields) {
    testsupport::SmallBook sample;
    ScriptedUser user;
    user.onDialog([](Dialog& d) {
        EXPECT_EQ(d.text(IDC_SHOW_BASE_STATION), "BASE2");
        EXPECT_EQ(d.text(IDC_SHOW_BASE_GROUP), "Rilievo B");
        EXPECT_EQ(d.text(IDC_SHOW_BASE_EAST), "");
        EXPECT_EQ(d.text(IDC_SHOW_BASE_NORTH), "");
        EXPECT_EQ(d.text(IDC_SHOW_BASE_HEIGHT), "");
        d.click(IDOK);
    });
    EXPECT_TRUE(FMostraGrpGps(sample.plain));
    EXPECT_EQ(user.unexpected(), 0);
}

TEST(MostraGrpGps, ampersands_in_station_and_group_names_show_as_typed) {
    CLibGps book;
    CGrpGps* group = book.AddGrp("Soci & C.");
    group->SetNome("Rossi & Figli");
    group->SetCoordZ(12.0);
    ScriptedUser user;
    user.onDialog([](Dialog& d) {
        EXPECT_EQ(d.text(IDC_SHOW_BASE_STATION), "Rossi & Figli");
        EXPECT_EQ(d.text(IDC_SHOW_BASE_GROUP), "Soci & C.");
        EXPECT_EQ(d.text(IDC_SHOW_BASE_HEIGHT), "12.000");
        for (int id : {IDC_SHOW_BASE_STATION, IDC_SHOW_BASE_GROUP, IDC_SHOW_BASE_EAST,
                       IDC_SHOW_BASE_NORTH, IDC_SHOW_BASE_HEIGHT}) {
            CWnd* field = d.window().GetDlgItem(id);
            ASSERT_NE(field, nullptr);
            EXPECT_TRUE(field->GetStyle() & SS_NOPREFIX) << id; // no access key in the data
        }
        d.click(IDOK);
    });
    EXPECT_TRUE(FMostraGrpGps(group));
    EXPECT_EQ(group->GetNomeGrp(), "Soci & C.");
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
