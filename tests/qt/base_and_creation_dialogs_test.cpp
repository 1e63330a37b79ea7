// The base station editor, the base move choice and the creation and transfer options in real
// widgets: what a person does with mouse and keyboard reaches the same steps as the automation
// API.
#include "QtTestSupport.h"

#include "SmallBook.h"
#include "TempSettings.h"
#include "gpsdialogs/GpsDialogs.h"
#include "gpsdialogs/interfaces/DrawEng.h"
#include "resource.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QTest>

using automation::Dialog;
using automation::MessageBoxCall;
using automation::ScriptedUser;
using namespace qttest;

namespace {

class QtBaseAndCreation : public ::testing::Test {
protected:
    void SetUp() override { useQtBackend(); }
    testsupport::TempSettings settings;
    testsupport::SmallBook sample;
};

void typeOver(QLineEdit* edit, const char* text) {
    edit->selectAll();
    QTest::keyClicks(edit, text);
}

void choose(QComboBox* combo, int index) {
    combo->setCurrentIndex(index);
    emit combo->activated(index); // the choice in the drop-down list
}

} // namespace

TEST_F(QtBaseAndCreation, base_station_editor_ignores_enter_and_confirms_with_ok) {
    CGrpGps* group = sample.projected;
    group->SetTipoRicevitore(1);
    bool openAfterEnter = false;
    ScriptedUser user;
    user.onDialog([&](Dialog& d) {
        auto* height = widget<QLineEdit>(d, IDC_BASE_ANTENNA_HEIGHT);
        typeOver(height, "1.625");
        choose(widget<QComboBox>(d, IDC_RECEIVER_TYPE), 1);
        QWidget* box = widget(d, IDC_BASE_KNOWN_NETWORK);
        QTest::mouseClick(box, Qt::LeftButton, {}, onBox(box));
        EXPECT_NE(widget<QLineEdit>(d, IDC_BASE_DESCRIPTION)->text().indexOf("[WGS84-ETRF2000]"),
                  -1);
        QTest::keyClick(height, Qt::Key_Return);
        openAfterEnter = d.isOpen() && dialogWidget(d)->isVisible();
        QTest::mouseClick(widget(d, IDC_BASE_OK), Qt::LeftButton);
    });
    EXPECT_TRUE(FDlgModStazBase(group, nullptr, true));
    EXPECT_TRUE(openAfterEnter);
    EXPECT_DOUBLE_EQ(group->GetBaseAltAnt(), 1.625);
    EXPECT_EQ(group->GetTipoRicevitore(), 2);
    EXPECT_TRUE(group->IsBaseEuref());
    EXPECT_EQ(user.unexpected(), 0);
}

TEST_F(QtBaseAndCreation,
       base_station_editor_escape_is_annulla_and_a_bad_number_shows_its_balloon) {
    CGrpGps* group = sample.projected;
    const std::string description = group->GetSecScri();
    ScriptedUser user;
    user.onDialog([&](Dialog& d) {
        typeOver(widget<QLineEdit>(d, IDC_BASE_PDOP), "1,5x");
        QTest::mouseClick(widget(d, IDC_BASE_OK), Qt::LeftButton);
        EXPECT_TRUE(dialogWidget(d)->isVisible());
        QLabel* balloon = dialogWidget(d)->findChild<QLabel*>("balloon");
        ASSERT_NE(balloon, nullptr);
        EXPECT_TRUE(balloon->isVisible());
        EXPECT_TRUE(balloon->text().contains("Valore non valido"));
        QWidget* box = widget(d, IDC_BASE_KNOWN_NETWORK);
        QTest::mouseClick(box, Qt::LeftButton, {}, onBox(box));
        QTest::keyClick(widget(d, IDC_BASE_PDOP), Qt::Key_Escape);
    });
    EXPECT_FALSE(FDlgModStazBase(group, nullptr, true));
    EXPECT_EQ(group->GetSecScri(), description); // Annulla's step: the description put back
    EXPECT_EQ(user.unexpected(), 0);
}

TEST_F(QtBaseAndCreation, move_choice_follows_the_clicked_entry) {
    CDrawEng eng;
    sample.plain->SetBaseAltAnt(1.25);
    ScriptedUser user;
    int index = -5;
    double height = 0;
    user.onDialog([](Dialog& d) {
        auto* list = widget<QListWidget>(d, IDC_BASE_LIST);
        ASSERT_EQ(list->count(), 2);
        EXPECT_EQ(list->item(1)->text(), "BASE2");
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualItemRect(list->item(1)).center());
        EXPECT_EQ(widget<QLineEdit>(d, IDC_MOVE_ANTENNA_HEIGHT)->text(), "1.250");
        QTest::keyClick(widget(d, IDC_MOVE_ANTENNA_HEIGHT), Qt::Key_Return); // the default
    });
    FDlgOpzSpostaBaseGps(&sample.book, &eng, index, height);
    EXPECT_EQ(index, 1);
    EXPECT_DOUBLE_EQ(height, 1.25);
    EXPECT_EQ(user.unexpected(), 0);
}

TEST_F(QtBaseAndCreation, creation_options_refuse_a_height_out_of_range_then_create) {
    ScriptedUser user;
    user.onMessageBox([](const MessageBoxCall&) { return IDOK; });
    user.onDialog([](Dialog& d) {
        QWidget* box = widget(d, IDC_AUTO_NAME);
        QTest::mouseClick(box, Qt::LeftButton, {}, onBox(box));
        EXPECT_EQ(widget<QLineEdit>(d, IDC_NEW_POINT_NAME)->text(), "102");
        typeOver(widget<QLineEdit>(d, IDC_NEW_ANTENNA_HEIGHT), "2000000");
        QTest::mouseClick(widget(d, IDOK), Qt::LeftButton);
        EXPECT_TRUE(d.isOpen());
        EXPECT_EQ(d.focus(), IDC_NEW_ANTENNA_HEIGHT);
        typeOver(widget<QLineEdit>(d, IDC_NEW_ANTENNA_HEIGHT), "1,8");
        QTest::mouseClick(widget(d, IDOK), Qt::LeftButton);
    });
    int grpIndex = -1;
    std::string name = "A1", descr;
    double x = 1, y = 2, z = 3, h = 0;
    EXPECT_TRUE(FDlgOpzCreazGps(nullptr, &sample.book, grpIndex, name, descr, x, y, z, h));
    EXPECT_EQ(name, "102");
    EXPECT_DOUBLE_EQ(h, 1.8);
    ASSERT_EQ(user.messageBoxes().size(), 1u);
    EXPECT_EQ(user.unexpected(), 0);
}

TEST_F(QtBaseAndCreation, transfer_options_show_the_count_and_refuse_a_plain_group) {
    ScriptedUser user;
    user.onMessageBox([](const MessageBoxCall&) { return IDOK; });
    user.onDialog([](Dialog& d) {
        auto* message = widget<QPlainTextEdit>(d, IDC_TRANSFER_MESSAGE);
        ASSERT_NE(message, nullptr);
        EXPECT_EQ(message->toPlainText(), "Sono stati selezionati n. 12 punti grafici");
        EXPECT_FALSE(message->isEnabled());
        auto* groups = widget<QComboBox>(d, IDC_TRANSFER_GROUP);
        choose(groups, 1);
        QTest::mouseClick(widget(d, IDOK), Qt::LeftButton);
        EXPECT_TRUE(d.isOpen());
        choose(groups, 0);
        QTest::mouseClick(widget(d, IDOK), Qt::LeftButton);
    });
    int grpIndex = -1;
    double h = 5;
    EXPECT_TRUE(FDlgOpzTrasfPtGps(&sample.book, 12, grpIndex, h));
    EXPECT_EQ(grpIndex, 0);
    EXPECT_EQ(h, 0.0);
    ASSERT_EQ(user.messageBoxes().size(), 1u);
    EXPECT_EQ(user.beeps(), 1);
    EXPECT_EQ(user.unexpected(), 0);
}
