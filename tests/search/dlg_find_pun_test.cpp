// The point search, as a user drives it. Each test runs in its own process under ctest, so the
// remembered search starts fresh in each.
#include "gpsdialogs/GpsDialogs.h"
#include "platform/automation.h"
#include "platform/dialog.h"

#include "resource.h"

#include <gtest/gtest.h>

using automation::Dialog;
using automation::ScriptedUser;

namespace {

struct Criteria {
    std::string text;
    bool inName = false;
    bool inCode = false;
};

Criteria remembered() {
    Criteria c;
    FDatiFindPunGps(c.text, c.inName, c.inCode);
    return c;
}

// Puts the remembered search back to its start values (empty text, in name, not in code), so
// that tests do not depend on the order they run in. The dialog cannot confirm an empty text,
// so this ends the run from the program side.
void resetRememberedSearch() {
    ScriptedUser user;
    user.onDialog([](Dialog& d) {
        d.setText(IDC_FIND_TEXT, "");
        if (!d.checked(IDC_FIND_IN_NAME)) d.click(IDC_FIND_IN_NAME);
        if (d.checked(IDC_FIND_IN_CODE)) d.click(IDC_FIND_IN_CODE);
        d.window().EndDialog(IDOK);
    });
    std::string text;
    bool inName = false, inCode = false;
    FDlgFindPunGps(text, inName, inCode);
}

} // namespace

// These two see the module as just loaded: they come first, and change nothing.
TEST(DlgFindPun, remembered_search_before_any_confirmation_is_empty_in_name_not_in_code) {
    Criteria saved = remembered();
    EXPECT_EQ(saved.text, "");
    EXPECT_TRUE(saved.inName);
    EXPECT_FALSE(saved.inCode);
}

TEST(DlgFindPun, first_call_opens_with_the_callers_text_in_name_and_next_enabled) {
    ScriptedUser user;
    user.onDialog([](Dialog& d) {
        EXPECT_EQ(d.templateId(), IDD_FIND_PUN);
        EXPECT_EQ(d.caption(), "Ricerca");
        EXPECT_EQ(d.text(IDC_FIND_TEXT), "12");
        EXPECT_TRUE(d.checked(IDC_FIND_IN_NAME));
        EXPECT_FALSE(d.checked(IDC_FIND_IN_CODE));
        EXPECT_TRUE(d.enabled(IDOK));
        EXPECT_EQ(d.text(IDOK), "&Successivo");
        d.click(IDCANCEL);
    });
    std::string text = "12";
    bool inName = false, inCode = true;
    EXPECT_FALSE(FDlgFindPunGps(text, inName, inCode));
    EXPECT_EQ(user.unexpected(), 0);
}

TEST(DlgFindPun, empty_text_keeps_next_disabled_until_a_character_is_typed) {
    resetRememberedSearch();
    ScriptedUser user;
    user.onDialog([](Dialog& d) {
        EXPECT_FALSE(d.enabled(IDOK));
        EXPECT_FALSE(d.click(IDOK)); // a disabled button cannot be pressed
        d.enter();                   // nor reached with Enter: it beeps
        EXPECT_TRUE(d.isOpen());
        d.type(IDC_FIND_TEXT, "A");
        EXPECT_TRUE(d.enabled(IDOK));
        d.type(IDC_FIND_TEXT, "\b");
        EXPECT_FALSE(d.enabled(IDOK));
        d.click(IDCANCEL);
    });
    std::string text;
    bool inName = false, inCode = false;
    EXPECT_FALSE(FDlgFindPunGps(text, inName, inCode));
    EXPECT_EQ(user.beeps(), 1);
}

TEST(DlgFindPun, clearing_both_boxes_disables_next_and_either_box_enables_it_again) {
    resetRememberedSearch();
    ScriptedUser user;
    user.onDialog([](Dialog& d) {
        d.click(IDC_FIND_IN_NAME);
        EXPECT_FALSE(d.checked(IDC_FIND_IN_NAME));
        EXPECT_FALSE(d.enabled(IDOK));
        d.click(IDC_FIND_IN_CODE);
        EXPECT_TRUE(d.enabled(IDOK));
        d.click(IDC_FIND_IN_CODE);
        EXPECT_FALSE(d.enabled(IDOK));
        d.click(IDC_FIND_IN_NAME);
        EXPECT_TRUE(d.enabled(IDOK));
        d.click(IDCANCEL);
    });
    std::string text = "A";
    bool inName = false, inCode = false;
    FDlgFindPunGps(text, inName, inCode);
    EXPECT_EQ(user.unexpected(), 0);
}

TEST(DlgFindPun, confirmed_search_is_handed_back_and_remembered_for_the_next_call) {
    resetRememberedSearch();
    ScriptedUser user;
    user.onDialog([](Dialog& d) {
        d.setText(IDC_FIND_TEXT, "A5");
        d.click(IDC_FIND_IN_NAME);
        d.click(IDC_FIND_IN_CODE);
        d.click(IDOK);
    });
    std::string text = "12";
    bool inName = true, inCode = false;
    ASSERT_TRUE(FDlgFindPunGps(text, inName, inCode));
    EXPECT_EQ(text, "A5");
    EXPECT_FALSE(inName);
    EXPECT_TRUE(inCode);

    Criteria saved = remembered();
    EXPECT_EQ(saved.text, "A5");
    EXPECT_FALSE(saved.inName);
    EXPECT_TRUE(saved.inCode);

    // The next call ignores the caller's proposal and its flags.
    user.onDialog([](Dialog& d) {
        EXPECT_EQ(d.text(IDC_FIND_TEXT), "A5");
        EXPECT_FALSE(d.checked(IDC_FIND_IN_NAME));
        EXPECT_TRUE(d.checked(IDC_FIND_IN_CODE));
        d.click(IDCANCEL);
    });
    std::string proposal = "12";
    bool n = true, c = false;
    EXPECT_FALSE(FDlgFindPunGps(proposal, n, c));
    EXPECT_EQ(proposal, "12");
    EXPECT_EQ(user.unexpected(), 0);
}

TEST(DlgFindPun, cancel_and_close_box_change_neither_the_caller_nor_the_remembered_search) {
    resetRememberedSearch();
    ScriptedUser user;
    user.onDialog([](Dialog& d) {
        d.setText(IDC_FIND_TEXT, "XYZ");
        d.click(IDC_FIND_IN_CODE);
        d.click(IDCANCEL);
    });
    user.onDialog([](Dialog& d) {
        d.setText(IDC_FIND_TEXT, "XYZ");
        EXPECT_TRUE(d.close());
    });
    user.onDialog([](Dialog& d) {
        d.setText(IDC_FIND_TEXT, "XYZ");
        EXPECT_TRUE(d.escape());
    });
    for (int i = 0; i < 3; ++i) {
        std::string text = "keep";
        bool inName = false, inCode = false;
        EXPECT_FALSE(FDlgFindPunGps(text, inName, inCode));
        EXPECT_EQ(text, "keep");
        EXPECT_FALSE(inName);
        EXPECT_FALSE(inCode);
    }
    Criteria saved = remembered();
    EXPECT_EQ(saved.text, "");
    EXPECT_TRUE(saved.inName);
    EXPECT_FALSE(saved.inCode);
    EXPECT_EQ(user.unexpected(), 0);
}

TEST(DlgFindPun, enter_confirms_through_the_default_button) {
    resetRememberedSearch();
    ScriptedUser user;
    user.onDialog([](Dialog& d) {
        d.setText(IDC_FIND_TEXT, "PF");
        d.enter();
        EXPECT_FALSE(d.isOpen());
    });
    std::string text;
    bool inName = false, inCode = false;
    EXPECT_TRUE(FDlgFindPunGps(text, inName, inCode));
    EXPECT_EQ(text, "PF");
    EXPECT_TRUE(inName);
    EXPECT_FALSE(inCode);
}
