// The choice of the base station to move, as a user drives it, asserting what the host gets.
#include "gpsdialogs/GpsDialogs.h"
#include "gpsdialogs/interfaces/DrawEng.h"
#include "gpsdialogs/interfaces/LibGps.h"
#include "platform/automation.h"
#include "platform/dialog.h"

#include "resource.h"

#include <gtest/gtest.h>

using automation::Dialog;
using automation::ScriptedUser;

namespace {

// Three groups on drawings 11, 12, 13; stations "S1", "S2", "S3" with antenna heights 1.1,
// 1.2, 1.3.
struct ThreeGroups : ::testing::Test {
    ThreeGroups() {
        for (int i = 1; i <= 3; ++i) {
            CGrpGps* g = book.AddGrp("Gruppo " + std::to_string(i));
            g->SetNome("S" + std::to_string(i));
            g->SetBaseAltAnt(1.0 + i / 10.0);
            g->SetTargetDrawing(10 + i);
        }
    }
    CLibGps book;
    CDrawEng eng;
    int index = 99;
    double height = -1.0;
};

} // namespace

TEST_F(ThreeGroups, lists_the_station_names_and_shows_the_first_height) {
    ScriptedUser user;
    user.onDialog([](Dialog& d) {
        EXPECT_EQ(d.caption(), "Sposta base GPS");
        EXPECT_EQ(d.items(IDC_BASE_LIST), (std::vector<std::string>{"S1", "S2", "S3"}));
        EXPECT_EQ(d.selection(IDC_BASE_LIST), 0);
        EXPECT_EQ(d.text(IDC_MOVE_ANTENNA_HEIGHT), "1.100");
        d.click(IDOK);
    });
    FDlgOpzSpostaBaseGps(&book, &eng, index, height);
    EXPECT_EQ(index, 0);
    EXPECT_DOUBLE_EQ(height, 1.1);
    EXPECT_EQ(user.unexpected(), 0);
}

TEST_F(ThreeGroups, locked_drawing_left_out_and_second_entry_maps_to_the_third_group) {
    eng.LockDrawing(12);
    ScriptedUser user;
    user.onDialog([](Dialog& d) {
        EXPECT_EQ(d.items(IDC_BASE_LIST), (std::vector<std::string>{"S1", "S3"}));
        d.select(IDC_BASE_LIST, 1);
        EXPECT_EQ(d.text(IDC_MOVE_ANTENNA_HEIGHT), "1.300");
        d.click(IDOK);
    });
    user.onDialog([](Dialog& d) {
        d.select(IDC_BASE_LIST, 1);
        d.setText(IDC_MOVE_ANTENNA_HEIGHT, "1,875");
        d.enter(); // "&Continua..." is the default button
    });
    FDlgOpzSpostaBaseGps(&book, &eng, index, height);
    EXPECT_EQ(index, 2);
    EXPECT_DOUBLE_EQ(height, 1.3);
    FDlgOpzSpostaBaseGps(&book, &eng, index, height);
    EXPECT_EQ(index, 2);
    EXPECT_DOUBLE_EQ(height, 1.875);
}

TEST_F(ThreeGroups, selecting_an_entry_replaces_the_typed_height) {
    ScriptedUser user;
    user.onDialog([](Dialog& d) {
        d.setText(IDC_MOVE_ANTENNA_HEIGHT, "9");
        d.select(IDC_BASE_LIST, 2);
        EXPECT_EQ(d.text(IDC_MOVE_ANTENNA_HEIGHT), "1.300");
        d.select(IDC_BASE_LIST, 0);
        EXPECT_EQ(d.text(IDC_MOVE_ANTENNA_HEIGHT), "1.100");
        d.click(IDOK);
    });
    FDlgOpzSpostaBaseGps(&book, &eng, index, height);
    EXPECT_EQ(index, 0);
    EXPECT_DOUBLE_EQ(height, 1.1);
}

TEST_F(ThreeGroups, annulla_or_escape_hand_back_minus_one_whatever_was_selected) {
    ScriptedUser user;
    user.onDialog([](Dialog& d) {
        d.select(IDC_BASE_LIST, 2);
        d.click(IDCANCEL);
    });
    user.onDialog([](Dialog& d) { d.escape(); });
    FDlgOpzSpostaBaseGps(&book, &eng, index, height);
    EXPECT_EQ(index, -1);
    index = 5;
    FDlgOpzSpostaBaseGps(&book, &eng, index, height);
    EXPECT_EQ(index, -1);
    EXPECT_EQ(user.unexpected(), 0);
}

TEST_F(ThreeGroups, a_height_that_is_not_a_number_comes_back_as_the_toolkit_reads_it) {
    ScriptedUser user;
    user.onDialog([](Dialog& d) {
        d.setText(IDC_MOVE_ANTENNA_HEIGHT, "2.5 m");
        d.click(IDOK);
    });
    user.onDialog([](Dialog& d) {
        d.setText(IDC_MOVE_ANTENNA_HEIGHT, "abc");
        d.click(IDOK);
    });
    FDlgOpzSpostaBaseGps(&book, &eng, index, height);
    EXPECT_DOUBLE_EQ(height, 2.5);
    FDlgOpzSpostaBaseGps(&book, &eng, index, height);
    EXPECT_EQ(index, 0);
    EXPECT_DOUBLE_EQ(height, 0.0);
}

TEST_F(ThreeGroups, every_drawing_locked_or_no_group_continua_hands_back_minus_one) {
    for (int d = 11; d <= 13; ++d)
        eng.LockDrawing(d);
    CLibGps empty;
    ScriptedUser user;
    for (int i = 0; i < 2; ++i)
        user.onDialog([](Dialog& d) {
            EXPECT_TRUE(d.items(IDC_BASE_LIST).empty());
            EXPECT_EQ(d.text(IDC_MOVE_ANTENNA_HEIGHT), "");
            d.click(IDOK);
        });
    FDlgOpzSpostaBaseGps(&book, &eng, index, height);
    EXPECT_EQ(index, -1);
    index = 7;
    FDlgOpzSpostaBaseGps(&empty, &eng, index, height);
    EXPECT_EQ(index, -1);
    EXPECT_EQ(user.unexpected(), 0);
}

TEST_F(ThreeGroups, nothing_of_the_field_book_changes) {
    ScriptedUser user;
    user.onDialog([](Dialog& d) {
        d.setText(IDC_MOVE_ANTENNA_HEIGHT, "4");
        d.click(IDOK);
    });
    FDlgOpzSpostaBaseGps(&book, nullptr, index, height);
    EXPECT_EQ(index, 0);
    EXPECT_DOUBLE_EQ(book.GetGrpAt(0)->GetBaseAltAnt(), 1.1);
}
