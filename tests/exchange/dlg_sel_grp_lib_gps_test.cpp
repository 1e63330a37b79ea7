#include "gpsdialogs/GpsDialogs.h"
#include "platform/automation.h"

#include "SmallBook.h"
#include "resource.h"

#include <gtest/gtest.h>

using automation::Dialog;
using automation::ScriptedUser;

namespace {

struct ThreeGroups {
    CLibGps book;
    std::vector<CGrpGps*> groups;
    ThreeGroups() {
        groups.push_back(book.AddGrp("Rilievo A"));
        groups.push_back(book.AddGrp("Rilievo B"));
        groups.push_back(book.AddGrp("Rilievo A")); // same name, another group
    }
};

} // namespace

TEST(DlgSelGrpLibGps, lists_every_group_in_order_with_nothing_selected) {
    ThreeGroups sample;
    ScriptedUser user;
    user.onDialog([](Dialog& d) {
        EXPECT_EQ(d.caption(), "Stampa libretto GPS");
        EXPECT_EQ(d.items(IDC_PRINT_GROUPS),
                  (std::vector<std::string>{"Rilievo A", "Rilievo B", "Rilievo A"}));
        EXPECT_TRUE(d.selections(IDC_PRINT_GROUPS).empty());
        d.click(IDCANCEL);
    });
    std::vector<CGrpGps*> chosen;
    EXPECT_FALSE(FDlgSelGrpLibGps(&sample.groups, &chosen));
}

TEST(DlgSelGrpLibGps, groups_clicked_in_any_order_come_back_in_list_order) {
    ThreeGroups sample;
    ScriptedUser user;
    user.onDialog([](Dialog& d) {
        d.select(IDC_PRINT_GROUPS, 2);
        d.select(IDC_PRINT_GROUPS, 0);
        d.select(IDC_PRINT_GROUPS, 1);
        d.select(IDC_PRINT_GROUPS, 1); // a second click deselects
        EXPECT_EQ(d.selections(IDC_PRINT_GROUPS), (std::vector<int>{0, 2}));
        d.click(IDOK);
    });
    std::vector<CGrpGps*> chosen{sample.groups[1]};
    ASSERT_TRUE(FDlgSelGrpLibGps(&sample.groups, &chosen));
    EXPECT_EQ(chosen, (std::vector<CGrpGps*>{sample.groups[0], sample.groups[2]}));
}

TEST(DlgSelGrpLibGps, ok_with_nothing_selected_empties_the_choice) {
    ThreeGroups sample;
    ScriptedUser user;
    user.onDialog([](Dialog& d) { d.enter(); });
    std::vector<CGrpGps*> chosen{sample.groups[0], sample.groups[1]};
    EXPECT_TRUE(FDlgSelGrpLibGps(&sample.groups, &chosen));
    EXPECT_TRUE(chosen.empty());
}

TEST(DlgSelGrpLibGps, empty_candidate_list_gives_an_empty_list_and_ok_returns_true) {
    std::vector<CGrpGps*> none;
    ScriptedUser user;
    user.onDialog([](Dialog& d) {
        EXPECT_TRUE(d.items(IDC_PRINT_GROUPS).empty());
        d.click(IDOK);
    });
    std::vector<CGrpGps*> chosen;
    EXPECT_TRUE(FDlgSelGrpLibGps(&none, &chosen));
    EXPECT_TRUE(chosen.empty());
}

TEST(DlgSelGrpLibGps, cancel_escape_and_close_box_keep_the_previous_choice) {
    ThreeGroups sample;
    ScriptedUser user;
    user.onDialog([](Dialog& d) {
        d.select(IDC_PRINT_GROUPS, 0);
        d.click(IDCANCEL);
    });
    user.onDialog([](Dialog& d) {
        d.select(IDC_PRINT_GROUPS, 0);
        d.escape();
    });
    user.onDialog([](Dialog& d) {
        d.select(IDC_PRINT_GROUPS, 0);
        EXPECT_TRUE(d.close());
    });
    std::vector<CGrpGps*> chosen{sample.groups[1]};
    for (int i = 0; i < 3; ++i) {
        EXPECT_FALSE(FDlgSelGrpLibGps(&sample.groups, &chosen));
        EXPECT_EQ(chosen, (std::vector<CGrpGps*>{sample.groups[1]}));
    }
    EXPECT_EQ(user.unexpected(), 0);
}

TEST(DlgSelGrpLibGps, a_null_entry_is_left_out_and_the_others_keep_their_groups) {
    ThreeGroups sample;
    std::vector<CGrpGps*> groups{nullptr, sample.groups[0], nullptr, sample.groups[1], nullptr};
    ScriptedUser user;
    user.onDialog([](Dialog& d) {
        EXPECT_EQ(d.items(IDC_PRINT_GROUPS), (std::vector<std::string>{"Rilievo A", "Rilievo B"}));
        d.select(IDC_PRINT_GROUPS, 1);
        d.select(IDC_PRINT_GROUPS, 0);
        d.click(IDOK);
    });
    std::vector<CGrpGps*> chosen;
    ASSERT_TRUE(FDlgSelGrpLibGps(&groups, &chosen));
    EXPECT_EQ(chosen, (std::vector<CGrpGps*>{sample.groups[0], sample.groups[1]}));
    EXPECT_EQ(user.unexpected(), 0);
}
