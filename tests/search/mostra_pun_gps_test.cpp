#include "gpsdialogs/GpsDialogs.h"
#include "platform/automation.h"
#include "platform/dialog.h"

#include "SmallBook.h"
#include "resource.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using automation::Dialog;
using automation::ScriptedUser;

namespace {

/// True when field \p id shows its text as it is, an '&' included (no access key).
bool showsAsTyped(Dialog& d, int id) {
    CWnd* field = d.window().GetDlgItem(id);
    return field != nullptr && (field->GetStyle() & SS_NOPREFIX) != 0;
}

} // namespace

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

TEST(MostraPunGps, undefined_coordinates_show_as_empty_fields) {
    testsupport::SmallBook sample; // "PF12" has no coordinates at all
    CPunGps edge(nullptr, false, nullptr);
    edge.SetCoordXY(8.5e199, std::nextafter(8.5e199, 0.0)); // the limit is not below it
    edge.SetCoordZ(std::numeric_limits<double>::quiet_NaN());
    ScriptedUser user;
    user.onDialog([](Dialog& d) {
        EXPECT_EQ(d.text(IDC_SHOW_POINT_NAME), "PF12");
        EXPECT_EQ(d.text(IDC_SHOW_POINT_EAST), "");
        EXPECT_EQ(d.text(IDC_SHOW_POINT_NORTH), "");
        EXPECT_EQ(d.text(IDC_SHOW_POINT_HEIGHT), "");
        d.click(IDOK);
    });
    user.onDialog([](Dialog& d) {
        EXPECT_EQ(d.text(IDC_SHOW_POINT_EAST), "");
        EXPECT_NE(d.text(IDC_SHOW_POINT_NORTH), ""); // huge, but a value
        EXPECT_EQ(d.text(IDC_SHOW_POINT_HEIGHT), "");
        d.click(IDOK);
    });
    EXPECT_TRUE(FMostraPunGps(sample.second));
    EXPECT_TRUE(FMostraPunGps(&edge));
    EXPECT_EQ(user.unexpected(), 0);
}

TEST(MostraPunGps, ampersands_in_name_code_and_group_show_as_typed) {
    CLibGps book;
    book.AddGrp("Soci & C.");
    CPunGps* point = book.AddPun(0);
    point->SetNome("Rossi & Figli");
    point->SetCode("A&B && C");
    ScriptedUser user;
    user.onDialog([](Dialog& d) {
        EXPECT_EQ(d.text(IDC_SHOW_POINT_NAME), "Rossi & Figli");
        EXPECT_EQ(d.text(IDC_SHOW_POINT_CODE), "A&B && C");
        EXPECT_EQ(d.text(IDC_SHOW_POINT_GROUP), "Soci & C.");
        for (int id : {IDC_SHOW_POINT_NAME, IDC_SHOW_POINT_CODE, IDC_SHOW_POINT_GROUP,
                       IDC_SHOW_POINT_EAST, IDC_SHOW_POINT_NORTH, IDC_SHOW_POINT_HEIGHT})
            EXPECT_TRUE(showsAsTyped(d, id)) << id;
        d.click(IDOK);
    });
    EXPECT_TRUE(FMostraPunGps(point));
    EXPECT_EQ(point->GetNome(), "Rossi & Figli");
    EXPECT_EQ(user.unexpected(), 0);
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
