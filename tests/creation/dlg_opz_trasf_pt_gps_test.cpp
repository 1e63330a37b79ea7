// The transfer options, as a user drives them, asserting the caller's variables and the
// settings file afterwards.
#include "gpsdialogs/GpsDialogs.h"
#include "gpsdialogs/interfaces/Kit.h"
#include "gpsdialogs/interfaces/LibGps.h"
#include "platform/automation.h"
#include "platform/dialog.h"

#include "SmallBook.h"
#include "TempSettings.h"
#include "resource.h"

#include <gtest/gtest.h>

using automation::Dialog;
using automation::ScriptedUser;

namespace {

// Answers the next \p count message boxes with their OK button.
void answerOk(ScriptedUser& user, int count) {
    for (int i = 0; i < count; ++i)
        user.onMessageBox([](const automation::MessageBoxCall&) { return IDOK; });
}

struct Transfer : ::testing::Test {
    testsupport::TempSettings settings;
    testsupport::SmallBook sample;
    int grpIndex = -7;
    double antHeight = -3.0;
};

} // namespace

TEST_F(Transfer, tells_the_count_and_lists_the_groups) {
    ScriptedUser user;
    user.onDialog([](Dialog& d) {
        EXPECT_EQ(d.caption(), "Trasformazione in punti GPS");
        EXPECT_EQ(d.text(IDC_TRANSFER_MESSAGE), "Sono stati selezionati n. 12 punti grafici");
        EXPECT_FALSE(d.enabled(IDC_TRANSFER_MESSAGE));
        EXPECT_EQ(d.items(IDC_TRANSFER_GROUP),
                  (std::vector<std::string>{"Rilievo A", "Rilievo B"}));
        EXPECT_EQ(d.selection(IDC_TRANSFER_GROUP), 0);
        EXPECT_EQ(d.text(IDC_TRANSFER_ANTENNA_HEIGHT), "0");
        d.click(IDCANCEL);
    });
    EXPECT_FALSE(FDlgOpzTrasfPtGps(&sample.book, 12, grpIndex, antHeight));
    EXPECT_EQ(grpIndex, -7);
    EXPECT_EQ(antHeight, -3.0);
    EXPECT_EQ(settings.read(), "");
    EXPECT_EQ(user.unexpected(), 0);
}

TEST_F(Transfer, antenna_height_is_shared_with_the_creation_options) {
    ScriptedUser user;
    user.onDialog([](Dialog& d) {
        d.setText(IDC_TRANSFER_ANTENNA_HEIGHT, "1.8");
        d.click(IDOK);
    });
    user.onDialog([](Dialog& d) {
        EXPECT_EQ(d.text(IDC_NEW_ANTENNA_HEIGHT), "1.8");
        d.setText(IDC_NEW_ANTENNA_HEIGHT, "2.05");
        d.setText(IDC_NEW_POINT_NAME, "X");
        d.click(IDOK);
    });
    user.onDialog([](Dialog& d) {
        EXPECT_EQ(d.text(IDC_TRANSFER_ANTENNA_HEIGHT), "2.05");
        d.click(IDCANCEL);
    });
    EXPECT_TRUE(FDlgOpzTrasfPtGps(&sample.book, 3, grpIndex, antHeight));
    EXPECT_EQ(grpIndex, 0);
    EXPECT_DOUBLE_EQ(antHeight, 1.8);
    int g = 0;
    std::string name, descr;
    double x = 0, y = 0, z = 0, h = 0;
    EXPECT_TRUE(FDlgOpzCreazGps(nullptr, &sample.book, g, name, descr, x, y, z, h));
    EXPECT_FALSE(FDlgOpzTrasfPtGps(&sample.book, 3, grpIndex, antHeight));
    EXPECT_DOUBLE_EQ(CIniFile().GetDouble("TRAF_GPS", "AltAnt", 0.0), 2.05);
    EXPECT_EQ(user.unexpected(), 0);
}

TEST_F(Transfer, third_group_hands_back_position_2) {
    CGrpGps* third = sample.book.AddGrp("Rilievo C");
    third->SetProjection("EPSG:6707");
    ScriptedUser user;
    user.onDialog([](Dialog& d) {
        d.select(IDC_TRANSFER_GROUP, 2);
        d.enter(); // "&Trasferisci" is the default button
    });
    EXPECT_TRUE(FDlgOpzTrasfPtGps(&sample.book, 1, grpIndex, antHeight));
    EXPECT_EQ(grpIndex, 2);
    EXPECT_EQ(antHeight, 0.0);
}

TEST_F(Transfer, a_group_without_projection_keeps_the_dialog_open) {
    ScriptedUser user;
    answerOk(user, 1);
    user.onDialog([](Dialog& d) {
        d.select(IDC_TRANSFER_GROUP, 1);
        d.click(IDOK);
        EXPECT_TRUE(d.isOpen());
        EXPECT_EQ(d.focus(), IDC_TRANSFER_GROUP);
        d.close();
    });
    EXPECT_FALSE(FDlgOpzTrasfPtGps(&sample.book, 1, grpIndex, antHeight));
    ASSERT_EQ(user.messageBoxes().size(), 1u);
    EXPECT_EQ(user.messageBoxes()[0].text,
              "Gruppo selezionato non valido in quanto non è stata calcolata una proiezione !");
    EXPECT_EQ(user.messageBoxes()[0].caption, "Attenzione !");
    EXPECT_EQ(user.beeps(), 1);
    EXPECT_EQ(grpIndex, -7);
    EXPECT_EQ(settings.read(), "");
    EXPECT_EQ(user.unexpected(), 0);
}

TEST_F(Transfer, antenna_height_out_of_range_is_refused_first) {
    ScriptedUser user;
    answerOk(user, 1);
    user.onDialog([](Dialog& d) {
        d.setText(IDC_TRANSFER_ANTENNA_HEIGHT, "-1000000.5");
        d.click(IDOK);
        EXPECT_EQ(d.focus(), IDC_TRANSFER_ANTENNA_HEIGHT);
        d.setText(IDC_TRANSFER_ANTENNA_HEIGHT, "-1000000");
        d.click(IDOK);
    });
    EXPECT_TRUE(FDlgOpzTrasfPtGps(&sample.book, 1, grpIndex, antHeight));
    ASSERT_EQ(user.messageBoxes().size(), 1u);
    EXPECT_EQ(user.messageBoxes()[0].text, "Immettere un numero compreso tra -1000000 e 1000000.");
    EXPECT_EQ(user.beeps(), 0);
    EXPECT_EQ(antHeight, -1e6);
    EXPECT_EQ(user.unexpected(), 0);
}

TEST_F(Transfer, an_empty_field_book_refuses_with_the_projection_message) {
    CLibGps empty;
    ScriptedUser user;
    answerOk(user, 1);
    user.onDialog([](Dialog& d) {
        EXPECT_TRUE(d.items(IDC_TRANSFER_GROUP).empty());
        d.click(IDOK);
        EXPECT_TRUE(d.isOpen());
        d.click(IDCANCEL);
    });
    EXPECT_FALSE(FDlgOpzTrasfPtGps(&empty, 0, grpIndex, antHeight));
    ASSERT_EQ(user.messageBoxes().size(), 1u);
    EXPECT_EQ(grpIndex, -7);
    EXPECT_EQ(user.unexpected(), 0);
}
