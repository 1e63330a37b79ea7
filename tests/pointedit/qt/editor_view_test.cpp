// The point editor in real widgets, offscreen: a surveyor types into the fields, turns the
// tabs with the mouse and confirms; the point holds what the widgets showed.
#include "../GisFixture.h"
#include "gpsdialogs/interfaces/ConvCoord.h"
#include "platform/propsheet.h"
#include "qt/QtTestSupport.h"
#include "resource.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTableWidget>
#include <QTest>

#include <cstdlib>

using automation::Dialog;
using namespace qttest;

namespace {

// The field of the active page that shows \p text: every page has its own name field, and
// only the active page's is on screen.
QLineEdit* shownEdit(Dialog& d, const QString& text) {
    for (QLineEdit* edit : dialogWidget(d)->findChildren<QLineEdit*>())
        if (edit->isVisibleTo(dialogWidget(d)) && edit->text() == text) return edit;
    return nullptr;
}

} // namespace

TEST(QtPointEditor, typing_turning_tabs_and_ok_through_the_widgets) {
    useQtBackend();
    pointedit_test::Editor e;
    const bool confirmed = e.run(e.sample.first, [](Dialog& d) {
        QWidget* tabs = widget(d, AFX_IDC_TAB_CONTROL);
        ASSERT_NE(tabs, nullptr);
        QTabBar* bar = tabs->findChild<QTabBar*>();
        ASSERT_NE(bar, nullptr);
        ASSERT_EQ(bar->count(), 5);
        EXPECT_EQ(bar->tabText(2), "Punto finale di baseline");

        auto* seconds = widget<QLineEdit>(d, IDC_LAT_SEC);
        ASSERT_NE(seconds, nullptr);
        EXPECT_EQ(seconds->text(), "42.00000");
        seconds->selectAll();
        QTest::keyClicks(seconds, "43.5");
        EXPECT_EQ(d.text(IDC_LAT_SEC), "43.5");
        EXPECT_EQ(widget<QLineEdit>(d, IDC_EAST)->text().toStdString(), d.text(IDC_EAST));
        if (const char* folder = std::getenv("GPS_TEST_SHOTS"))
            platform::qt::grab(d.window(), std::string(folder) + "/point-editor.png");

        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(3).center());
        EXPECT_EQ(d.activePage(), 3);
        QLineEdit* name = shownEdit(d, "101");
        ASSERT_NE(name, nullptr);
        name->selectAll();
        QTest::keyClicks(name, "101 nord");

        auto* ok = widget<QPushButton>(d, IDOK);
        ASSERT_NE(ok, nullptr);
        QTest::mouseClick(ok, Qt::LeftButton);
    });
    EXPECT_TRUE(confirmed);
    const CPunGps& p = *e.sample.first;
    EXPECT_EQ(p.GetNome(), "101 nord");
    EXPECT_NEAR(p.GetLat(), AngRadiFromSesg(44, 29, 43.5), 1e-12);
    double x = 0, y = 0, z = 0;
    ASSERT_TRUE(p.m_pGrp->GetConvCoord()->GrafGpsToPlanAtt(p.GetLat(), p.GetLong(), p.GetElev(),
                                                           p.GetAltAnt(), x, y, z));
    EXPECT_DOUBLE_EQ(p.GetCoordX(), x);
    EXPECT_NE(e.settings.read().find("ModPt=3"), std::string::npos);
}

TEST(QtPointEditor, the_gis_page_says_why_it_refuses_a_value_and_keeps_the_editor_open) {
    useQtBackend();
    pointedit_test::GisEditor e;
    CPunGps* p = e.sample.first;
    const bool confirmed = e.run(p, [](Dialog& d) {
        QTabBar* bar = widget(d, AFX_IDC_TAB_CONTROL)->findChild<QTabBar*>();
        ASSERT_NE(bar, nullptr);
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(4).center());
        ASSERT_EQ(d.activePage(), 4);
        auto* themes = widget<QComboBox>(d, IDC_GIS_THEME);
        ASSERT_NE(themes, nullptr);
        EXPECT_EQ(themes->count(), 3);
        EXPECT_EQ(themes->currentText(), "Pozzetti");

        auto* table = widget<QTableWidget>(d, IDC_GIS_TABLE);
        ASSERT_NE(table, nullptr);
        ASSERT_EQ(table->rowCount(), 6);
        EXPECT_EQ(table->item(3, 1)->text(), "7");
        QTest::mouseDClick(table->viewport(), Qt::LeftButton, {},
                           table->visualItemRect(table->item(3, 1)).center());
        auto* line = table->findChild<QLineEdit*>();
        ASSERT_NE(line, nullptr);
        line->selectAll();
        QTest::keyClicks(line, "12a");
        QTest::keyClick(line, Qt::Key_Return);
        EXPECT_TRUE(d.grid(IDC_GIS_TABLE).editing());
        EXPECT_TRUE(table->item(3, 1)->toolTip().contains("numero intero"));

        // OK is refused while the value does not fit, and so is another tab.
        QTest::mouseClick(widget<QPushButton>(d, IDOK), Qt::LeftButton);
        EXPECT_TRUE(d.isOpen());
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(0).center());
        EXPECT_EQ(d.activePage(), 4);

        line = table->findChild<QLineEdit*>();
        ASSERT_NE(line, nullptr);
        line->selectAll();
        QTest::keyClicks(line, "12");
        QTest::keyClick(line, Qt::Key_Return);
        EXPECT_FALSE(d.grid(IDC_GIS_TABLE).editing());
        EXPECT_EQ(table->item(3, 1)->text(), "12");
        EXPECT_TRUE(table->item(3, 1)->toolTip().isEmpty());
        QTest::mouseClick(widget<QPushButton>(d, IDOK), Qt::LeftButton);
    });
    EXPECT_TRUE(confirmed);
    EXPECT_NE(e.entity(p).find("|1.35|12|"), std::string::npos) << e.entity(p);
}

TEST(QtPointEditor, the_caret_the_undone_key_and_the_balloon_in_the_widgets) {
    useQtBackend();
    pointedit_test::Editor e;
    e.sample.first->SetAltAnt(EGN_NOVALUE); // with the projection, no position can be computed
    e.run(e.sample.first, [](Dialog& d) {
        // Typing in the middle of a widget's text reaches the model at the caret.
        auto* minutes = widget<QLineEdit>(d, IDC_LON_MIN);
        ASSERT_NE(minutes, nullptr);
        minutes->setFocus();
        minutes->setCursorPosition(1); // "20"
        QTest::keyClick(minutes, Qt::Key_Backspace);
        // Undone: the held text again, whole, selected in the widget as in the model.
        EXPECT_EQ(minutes->text(), "20");
        EXPECT_EQ(minutes->selectedText(), "20");
        EXPECT_EQ(d.selectedText(IDC_LON_MIN), "20");
        d.click(IDCANCEL);
    });

    pointedit_test::Editor f;
    f.run(f.sample.third, [](Dialog& d) { // no projection: every key is kept
        auto* seconds = widget<QLineEdit>(d, IDC_PDOP);
        ASSERT_NE(seconds, nullptr);
        seconds->setFocus();
        seconds->setCursorPosition(0);
        QTest::keyClicks(seconds, "x");
        EXPECT_EQ(d.text(IDC_PDOP), "x");
        EXPECT_EQ(d.textSelection(IDC_PDOP), (std::pair<int, int>{1, 1}));
        QLabel* balloon = dialogWidget(d)->findChild<QLabel*>("balloon");
        ASSERT_NE(balloon, nullptr);
        EXPECT_TRUE(balloon->isVisible());
        EXPECT_TRUE(balloon->text().contains("Valore non valido"));
        EXPECT_FALSE(widget<QPushButton>(d, IDOK)->isEnabled());
        if (const char* folder = std::getenv("GPS_TEST_SHOTS"))
            platform::qt::grab(d.window(), std::string(folder) + "/point-editor-balloon.png");
        // The model moves the widget's caret too.
        d.putCaret(IDC_PDOP, 0);
        EXPECT_EQ(seconds->cursorPosition(), 0);
        QTest::keyClick(seconds, Qt::Key_Delete);
        EXPECT_EQ(d.text(IDC_PDOP), "");
        EXPECT_FALSE(balloon->isVisible());
        EXPECT_TRUE(widget<QPushButton>(d, IDOK)->isEnabled());
        d.click(IDCANCEL);
    });
}
