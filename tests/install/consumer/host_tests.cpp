// A host's own tests of its integration, built against the installed package alone: the
// dialogs are driven as a user drives them, and controls are named by the module's ids.
#include <gpsdialogs/GpsDialogs.h>
#include <gpsdialogs/interfaces/LibGps.h>
#include <gpsdialogs/resource.h>
#include <platform/automation.h>

#include <gtest/gtest.h>

#include <string>

using automation::Dialog;
using automation::ScriptedUser;

TEST(HostIntegration, search_hands_back_what_the_user_typed_and_ticked) {
    ScriptedUser user;
    user.onDialog([](Dialog& d) {
        EXPECT_EQ(d.caption(), "Ricerca");
        d.setText(IDC_FIND_TEXT, "PF1");
        if (d.checked(IDC_FIND_IN_NAME)) d.click(IDC_FIND_IN_NAME);
        d.click(IDC_FIND_IN_CODE);
        d.click(IDOK);
    });
    std::string text = "12";
    bool inName = true, inCode = false;
    ASSERT_TRUE(FDlgFindPunGps(text, inName, inCode));
    EXPECT_EQ(text, "PF1");
    EXPECT_FALSE(inName);
    EXPECT_TRUE(inCode);
    EXPECT_EQ(user.unexpected(), 0);

    std::string again;
    FDatiFindPunGps(again, inName, inCode);
    EXPECT_EQ(again, "PF1");
}

TEST(HostIntegration, point_display_shows_the_host_data_as_typed_and_no_undefined_value) {
    CLibGps book;
    book.AddGrp("Rilievo A");
    CPunGps* point = book.AddPun(0);
    point->SetNome("Rossi & Figli");
    point->SetCoordXY(686728.4567, 4928312.0001); // the height stays undefined
    ScriptedUser user;
    user.onDialog([](Dialog& d) {
        EXPECT_EQ(d.text(IDC_SHOW_POINT_NAME), "Rossi & Figli");
        EXPECT_EQ(d.text(IDC_SHOW_POINT_GROUP), "Rilievo A");
        EXPECT_EQ(d.text(IDC_SHOW_POINT_EAST), "686728.457");
        EXPECT_EQ(d.text(IDC_SHOW_POINT_HEIGHT), "");
        d.click(IDOK);
    });
    EXPECT_TRUE(FMostraPunGps(point));
    EXPECT_EQ(user.unexpected(), 0);
}
