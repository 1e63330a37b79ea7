// "Cerca punto..." and "Cerca successivo": the window's side of the module's search dialog.
#include "GpsbookWindow.h"

#include "../../resources/resource.h"
#include "platform/automation.h"

#include <QStatusBar>

using automation::Dialog;
using automation::ScriptedUser;
using gpsbooktest::GpsbookWindow;
using gpsbooktest::QtUser;

namespace {

// The sample's first group: PF12, PF07, PF15, 101...110, S1; the second: 301...306, VRS1, PF03.

/// Fills in the search dialog and presses "&Successivo" (the module remembers the last search,
/// so both boxes are set whatever they show).
auto search(std::string text, bool inName, bool inCode) {
    return [=](Dialog& d) {
        EXPECT_EQ(d.caption(), "Ricerca");
        d.setText(IDC_FIND_TEXT, text);
        if (d.checked(IDC_FIND_IN_NAME) != inName) d.click(IDC_FIND_IN_NAME);
        if (d.checked(IDC_FIND_IN_CODE) != inCode) d.click(IDC_FIND_IN_CODE);
        d.click(IDOK);
    };
}

using GpsbookSearch = GpsbookWindow;

} // namespace

TEST_F(GpsbookSearch, finds_the_next_name_after_the_selection_and_then_goes_on_without_asking) {
    ASSERT_TRUE(window->selectPosition(0, 0)); // PF12
    ScriptedUser user;
    user.onDialog(search("pf", true, false));
    trigger("cercaPunto");
    EXPECT_EQ(selection(), std::pair(0, 1)); // PF07: the selected PF12 is the last candidate

    trigger("cercaSuccessivo");
    EXPECT_EQ(selection(), std::pair(0, 2)); // PF15
    trigger("cercaSuccessivo");
    EXPECT_EQ(selection(), std::pair(1, 7)); // PF03, in the next group
    trigger("cercaSuccessivo");
    EXPECT_EQ(selection(), std::pair(0, 0)); // round to PF12

    EXPECT_EQ(user.dialogsSeen(), std::vector<int>{IDD_FIND_PUN});
    EXPECT_EQ(user.unexpected(), 0) << user.unexpectedLog().front();
}

TEST_F(GpsbookSearch, going_past_the_last_point_says_the_search_started_again_from_the_top) {
    ASSERT_TRUE(window->selectPosition(1, 7)); // PF03, the last match of the book
    ScriptedUser user;
    user.onDialog(search("pf", true, false));
    trigger("cercaPunto");
    EXPECT_EQ(selection(), std::pair(0, 0)); // PF12
    const QString wrapped = window->statusBar()->currentMessage();
    EXPECT_TRUE(wrapped.contains("ricerca ripresa dall'inizio")) << wrapped.toStdString();
    EXPECT_TRUE(wrapped.contains("PF12")) << wrapped.toStdString();

    trigger("cercaSuccessivo"); // PF07, further down: nothing to say
    EXPECT_EQ(selection(), std::pair(0, 1));
    const QString onward = window->statusBar()->currentMessage();
    EXPECT_FALSE(onward.contains("dall'inizio")) << onward.toStdString();
    EXPECT_TRUE(onward.contains("PF07")) << onward.toStdString();
}

TEST_F(GpsbookSearch, a_group_selected_starts_at_its_first_point) {
    ASSERT_TRUE(window->selectPosition(1, -1));
    ScriptedUser user;
    user.onDialog(search("PF", true, false));
    trigger("cercaPunto");
    EXPECT_EQ(selection(), std::pair(1, 7));
}

TEST_F(GpsbookSearch, code_and_comment_alone_finds_by_description_not_by_name) {
    ASSERT_TRUE(window->selectPosition(0, 0));
    ScriptedUser user;
    user.onDialog(search("quercia", false, true));
    trigger("cercaPunto");
    EXPECT_EQ(selection(), std::pair(1, 4)); // 305, "ALBERO quercia"

    // 101 is a name that no description holds.
    user.onDialog(search("101", false, true));
    std::string shown;
    qt.onMessageBox([&](QMessageBox& box) {
        shown = box.text().toStdString();
        QtUser::dismiss(box);
    });
    trigger("cercaPunto");
    EXPECT_NE(shown.find("\"101\" nel codice/commento"), std::string::npos) << shown;
    EXPECT_EQ(selection(), std::pair(1, 4));
    EXPECT_EQ(user.unexpected(), 0);
}

TEST_F(GpsbookSearch, annulla_keeps_the_selection_and_the_remembered_search) {
    ASSERT_TRUE(window->selectPosition(0, 3));
    ScriptedUser user;
    user.onDialog(search("10", true, false));
    trigger("cercaPunto");
    ASSERT_EQ(selection(), std::pair(0, 4)); // 102

    user.onDialog([](Dialog& d) {
        d.setText(IDC_FIND_TEXT, "S1");
        d.click(IDCANCEL);
    });
    trigger("cercaPunto");
    EXPECT_EQ(selection(), std::pair(0, 4));

    trigger("cercaSuccessivo"); // still "10", not the text typed before Annulla
    EXPECT_EQ(selection(), std::pair(0, 5));
    EXPECT_EQ(user.pendingDialogs(), 0);
    EXPECT_EQ(user.unexpected(), 0);
}

TEST_F(GpsbookSearch, no_match_says_so_with_the_text_and_keeps_the_selection) {
    ASSERT_TRUE(window->selectPosition(0, 10));
    ScriptedUser user;
    user.onDialog(search("platano", true, false)); // only a description holds it
    std::string shown;
    qt.onMessageBox([&](QMessageBox& box) {
        shown = box.text().toStdString();
        QtUser::dismiss(box);
    });
    trigger("cercaPunto");
    EXPECT_NE(shown.find("Nessun punto trovato"), std::string::npos) << shown;
    EXPECT_NE(shown.find("\"platano\" nel nome"), std::string::npos) << shown;
    EXPECT_EQ(selection(), std::pair(0, 10));
    EXPECT_EQ(user.unexpected(), 0);
}
