// A property sheet in real widgets: a tab bar over the page area, page widgets made on first
// activation, clicks on the tabs and Ctrl+Tab as the model's tab clicks, refusals shown.
#include "QtTestSupport.h"

#include "TestSheet.h"

#include <QLineEdit>
#include <QTabBar>
#include <QTest>

#include <cstdlib>
#include <string>

using automation::Dialog;
using automation::ScriptedUser;
using namespace qttest;
using namespace testsheet;

namespace {
QTabBar* tabBarOf(Dialog& d) {
    QWidget* tabs = widget(d, AFX_IDC_TAB_CONTROL);
    return tabs != nullptr ? tabs->findChild<QTabBar*>() : nullptr;
}
} // namespace

TEST(QtPropertySheet, tabs_show_the_pages_and_a_click_turns_them) {
    useQtBackend();
    SheetResources resources;
    ScriptedUser user;
    Host host;
    user.onDialog([&](Dialog& d) {
        QTabBar* bar = tabBarOf(d);
        ASSERT_NE(bar, nullptr);
        EXPECT_EQ(bar->count(), 3);
        EXPECT_EQ(bar->tabText(1), "Secondo");
        EXPECT_EQ(bar->currentIndex(), 0);
        EXPECT_EQ(widget(d, 1100), nullptr); // page 2 has no widgets before its first activation

        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(2).center());
        EXPECT_EQ(d.activePage(), 2);
        QWidget* third = widget(d, 1200);
        ASSERT_NE(third, nullptr);
        EXPECT_TRUE(third->isVisibleTo(dialogWidget(d)));
        EXPECT_FALSE(
            platform::qt::widgetFor(host.sheet.first.m_hWnd)->isVisibleTo(dialogWidget(d)));

        // The page lies below the tabs, inside the frame it was placed on.
        QWidget* page = platform::qt::widgetFor(host.sheet.third.m_hWnd);
        QPoint pageTop = page->mapTo(dialogWidget(d), QPoint(0, 0));
        QPoint barBottom = bar->mapTo(dialogWidget(d), QPoint(0, bar->height()));
        EXPECT_GE(pageTop.y(), barBottom.y() - 2);

        // GPS_TEST_SHOTS=folder keeps a picture of the sheet, to look at.
        if (const char* folder = std::getenv("GPS_TEST_SHOTS"))
            platform::qt::grab(d.window(), std::string(folder) + "/property-sheet.png");

        QTest::keyClick(third, Qt::Key_Tab, Qt::ControlModifier);
        EXPECT_EQ(d.activePage(), 0);
        EXPECT_EQ(bar->currentIndex(), 0);
        // The access keys of the active page reach its controls.
        QTest::keyClick(dialogWidget(d), Qt::Key_V, Qt::AltModifier);
        EXPECT_EQ(d.focus(), 1001);
        QTest::keyClick(widget(d, 1000), Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
        EXPECT_EQ(d.activePage(), 2);
        d.click(IDCANCEL);
    });
    host.DoModal();
    EXPECT_EQ(user.unexpected(), 0);
}

TEST(QtPropertySheet, a_refused_click_leaves_the_tab_of_the_page_that_stays) {
    useQtBackend();
    SheetResources resources;
    ScriptedUser user;
    Host host;
    user.onMessageBox([](const automation::MessageBoxCall&) { return IDOK; });
    user.onDialog([&](Dialog& d) {
        auto* value = widget<QLineEdit>(d, 1001);
        ASSERT_NE(value, nullptr);
        value->setFocus();
        value->end(false);            // after the "5" the program put there
        QTest::keyClicks(value, "0"); // 50: outside 0..10
        QTabBar* bar = tabBarOf(d);
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(1).center());
        EXPECT_EQ(d.activePage(), 0);
        EXPECT_EQ(bar->currentIndex(), 0);
        EXPECT_EQ(d.focus(), 1001);
        d.click(IDCANCEL);
    });
    host.DoModal();
    EXPECT_EQ(user.messageBoxes().size(), 1u);
}
