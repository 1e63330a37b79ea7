// Property sheets inside a dialog, driven as a user drives them: lazy pages, refusal to leave,
// rewritten page styles, clicks and Tab through the pages, and the remembered page.
#include "platform/automation.h"

#include "TestSheet.h"

#include <gtest/gtest.h>

using automation::Dialog;
using automation::ScriptedUser;

using namespace testsheet;

TEST(PropertySheet, pages_are_made_on_first_activation_with_the_system_styles) {
    SheetResources resources;
    ScriptedUser user;
    Host host;
    user.onDialog([&](Dialog& d) {
        EXPECT_EQ(d.pageCount(), 3);
        EXPECT_EQ(d.pageCaption(0), "Primo");
        EXPECT_EQ(d.pageCaption(2), "Terzo");
        EXPECT_EQ(d.activePage(), 0);
        EXPECT_NE(host.sheet.first.m_hWnd, nullptr);
        EXPECT_EQ(host.sheet.second.m_hWnd, nullptr);
        EXPECT_EQ(host.sheet.third.m_hWnd, nullptr);

        DWORD style = host.sheet.first.GetStyle();
        EXPECT_EQ(style & (WS_DISABLED | WS_CAPTION | WS_POPUP), 0u);
        EXPECT_EQ(style & (WS_CHILD | DS_CONTROL | WS_VISIBLE), WS_CHILD | DS_CONTROL | WS_VISIBLE);
        EXPECT_TRUE(d.setText(1000, "Bea")); // a page's controls take clicks and typing

        EXPECT_TRUE(d.selectPage(2));
        EXPECT_EQ(d.activePage(), 2);
        EXPECT_NE(host.sheet.third.m_hWnd, nullptr);
        EXPECT_EQ(host.sheet.second.m_hWnd, nullptr);
        EXPECT_FALSE(host.sheet.first.IsWindowVisible());
        EXPECT_FALSE(d.exists(1000)); // the hidden page's controls are out of reach
        EXPECT_TRUE(d.exists(1200));

        // The pages lie on the display area of the tab control, inside the frame.
        RECT page = d.rect(1200);
        RECT frame = d.rect(50);
        EXPECT_GT(page.top, frame.top + 10);
        EXPECT_GE(page.left, frame.left);
        EXPECT_LE(page.right, frame.right);
        d.click(IDCANCEL);
    });
    EXPECT_EQ(host.DoModal(), IDCANCEL);
    EXPECT_EQ(host.record.name, "Bea"); // leaving the page read its fields back
}

TEST(PropertySheet, a_page_that_refuses_to_be_left_keeps_the_focus_and_stays_active) {
    SheetResources resources;
    ScriptedUser user;
    Host host;
    user.onMessageBox([](const automation::MessageBoxCall&) { return IDOK; });
    user.onDialog([&](Dialog& d) {
        d.setText(1001, "42"); // outside 0..10
        EXPECT_FALSE(d.selectPage(1));
        EXPECT_EQ(d.activePage(), 0);
        EXPECT_EQ(host.sheet.second.m_hWnd, nullptr);
        EXPECT_EQ(d.focus(), 1001);
        EXPECT_FALSE(host.sheet.SetActivePage(2)); // the program meets the same refusal
        EXPECT_EQ(d.activePage(), 0);

        d.setText(1001, "7");
        EXPECT_TRUE(d.selectPage(1));
        EXPECT_EQ(d.activePage(), 1);
        d.click(IDCANCEL);
    });
    host.DoModal();
    ASSERT_EQ(user.messageBoxes().size(), 2u);
    EXPECT_EQ(user.messageBoxes()[0].text, "Immettere un numero compreso tra 0 e 10.");
    EXPECT_EQ(host.record.value, 7); // read back when the page was left
}

TEST(PropertySheet, filling_a_page_runs_no_handler_but_typing_does) {
    SheetResources resources;
    ScriptedUser user;
    Host host;
    user.onDialog([&](Dialog& d) {
        d.type(1000, "!");
        d.selectPage(1);
        d.selectPage(0); // shows the record again: a fill, not a change by the user
        d.click(IDCANCEL);
    });
    host.DoModal();
    EXPECT_EQ(host.record.events, (std::vector<std::string>{"active:0", "name:Ada!", "active:0"}));
}

TEST(PropertySheet, clicks_reach_the_active_page_and_enter_reaches_the_owner) {
    SheetResources resources;
    ScriptedUser user;
    Host host;
    user.onDialog([&](Dialog& d) {
        EXPECT_FALSE(d.click(1100)); // on a page not shown yet
        d.selectPage(1);
        EXPECT_EQ(d.label(1100), "Rossi & Figli");
        EXPECT_TRUE(d.click(1100));
        EXPECT_TRUE(d.click(1101));
        EXPECT_TRUE(d.checked(1100));
        // A close request to the sheet itself is ignored; only the dialog closes.
        host.sheet.SendMessage(WM_CLOSE);
        EXPECT_TRUE(d.isOpen());
        d.setFocus(1100);
        d.enter(); // not on a push button: the owner's default button
    });
    EXPECT_EQ(host.DoModal(), IDOK);
    EXPECT_EQ(host.record.check, 1);
    EXPECT_EQ(host.remembered, 1);
    EXPECT_EQ(host.record.events.back(), "reset");
}

TEST(PropertySheet, tab_moves_through_the_tabs_the_active_page_and_the_buttons) {
    SheetResources resources;
    ScriptedUser user;
    Host host;
    user.onDialog([&](Dialog& d) {
        std::vector<int> order;
        for (int i = 0; i < 7; ++i) {
            d.pressTab();
            order.push_back(d.focus());
        }
        EXPECT_EQ(order,
                  (std::vector<int>{1000, 1001, 51, IDOK, IDCANCEL, AFX_IDC_TAB_CONTROL, 1000}));
        d.pressTab(true);
        EXPECT_EQ(d.focus(), AFX_IDC_TAB_CONTROL);
        d.selectPage(1);
        d.pressTab();
        EXPECT_EQ(d.focus(), 1100);
        d.click(IDCANCEL);
    });
    host.DoModal();
}

TEST(PropertySheet, the_remembered_page_opens_first) {
    SheetResources resources;
    ScriptedUser user;
    int remembered = -1;
    {
        Host host;
        user.onDialog([](Dialog& d) {
            d.selectPage(2);
            d.click(IDOK);
        });
        EXPECT_EQ(host.DoModal(), IDOK);
        remembered = host.remembered;
    }
    EXPECT_EQ(remembered, 2);
    Host again(remembered);
    user.onDialog([&](Dialog& d) {
        EXPECT_EQ(d.activePage(), 2);
        EXPECT_EQ(again.sheet.first.m_hWnd, nullptr);
        d.click(IDCANCEL);
    });
    again.DoModal();
    Host outOfRange(7);
    user.onDialog([](Dialog& d) {
        EXPECT_EQ(d.activePage(), 0);
        d.click(IDCANCEL);
    });
    outOfRange.DoModal();
    EXPECT_EQ(user.unexpected(), 0);
}
