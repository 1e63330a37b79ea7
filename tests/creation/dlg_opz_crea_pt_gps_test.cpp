// The point creation options, as a user drives them, asserting the caller's variables and the
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

const char* const kNoProjection =
    "Gruppo selezionato non valido in quanto non è stata calcolata una proiezione !";
const char* const kNameRequired = "Occorre inserire un nome per il punto !";

// The caller's variables of one call, with recognisable starting values.
struct Call {
    int grpIndex = -7;
    std::string name = "A1";
    std::string descr = "Spigolo";
    double x = 12.34567;
    double y = 4928300.4567;
    double z = 94.0;
    double antHeight = -3.0;

    bool run(CLibGps& lib) {
        return FDlgOpzCreazGps(lib.GetGrpAt(0), &lib, grpIndex, name, descr, x, y, z, antHeight);
    }
};

struct Creation : ::testing::Test {
    void setAutomatic(bool on) { CIniFile().WriteBool("LIBRETTO", "AssNomiGpsAuto", on); }

    // A field book of one projected group whose station and points have these names.
    static void fill(CLibGps& lib, const std::string& station,
                     const std::vector<std::string>& names) {
        CGrpGps* g = lib.AddGrp("Numerato");
        g->SetNome(station);
        g->SetProjection("EPSG:6707");
        for (const std::string& n : names)
            lib.AddPun(lib.GetGrpArSize() - 1)->SetNome(n);
    }

    // The name proposed at the opening with automatic naming on.
    std::string proposed(CLibGps& lib) {
        setAutomatic(true);
        std::string shown;
        ScriptedUser user;
        user.onDialog([&](Dialog& d) {
            shown = d.text(IDC_NEW_POINT_NAME);
            d.click(IDCANCEL);
        });
        Call().run(lib);
        return shown;
    }

    testsupport::TempSettings settings;
    testsupport::SmallBook sample;
};

} // namespace

TEST_F(Creation, opens_with_the_callers_values_and_the_groups_of_the_book) {
    ScriptedUser user;
    user.onDialog([](Dialog& d) {
        EXPECT_EQ(d.caption(), "Creazione punti GPS");
        EXPECT_EQ(d.items(IDC_COV_XZ), (std::vector<std::string>{"Rilievo A", "Rilievo B"}));
        EXPECT_EQ(d.selection(IDC_COV_XZ), 0);
        EXPECT_EQ(d.text(IDC_NEW_POINT_NAME), "A1");
        EXPECT_FALSE(d.checked(IDC_AUTO_NAME));
        EXPECT_EQ(d.text(IDC_COV_XY), "Spigolo");
        EXPECT_EQ(d.text(IDC_COV_YZ), "12.346"); // East
        EXPECT_EQ(d.text(IDC_COV_YY), "4928300.457");
        EXPECT_EQ(d.text(IDC_NEW_HEIGHT), "94.000");
        EXPECT_EQ(d.text(IDC_NEW_ANTENNA_HEIGHT), "0"); // nothing remembered yet
        d.click(IDCANCEL);
    });
    Call call;
    EXPECT_FALSE(call.run(sample.book));
    EXPECT_EQ(call.grpIndex, -7);
    EXPECT_EQ(call.name, "A1");
    EXPECT_EQ(call.x, 12.34567);
    EXPECT_EQ(call.antHeight, -3.0);
    EXPECT_EQ(user.unexpected(), 0);
}

TEST_F(Creation, automatic_name_skips_pf_names_and_starts_above_the_station) {
    CLibGps numbered;
    fill(numbered, "5", {"6", "7", "12", "PF300"});
    EXPECT_EQ(proposed(numbered), "13");
    CLibGps named;
    fill(named, "BASE", {"6", "7", "12", "PF300"});
    EXPECT_EQ(proposed(named), "101");
    numbered.AddPun(0)->SetNome("250");
    named.AddPun(0)->SetNome("250");
    EXPECT_EQ(proposed(numbered), "251");
    EXPECT_EQ(proposed(named), "251");
}

TEST_F(Creation, automatic_name_of_an_empty_group_and_of_odd_names) {
    CLibGps empty;
    fill(empty, "BASE", {});
    EXPECT_EQ(proposed(empty), "101");
    CLibGps station;
    fill(station, "300", {});
    EXPECT_EQ(proposed(station), "301");
    CLibGps odd;
    fill(odd, "-5", {"Pf400", "P", "0", "-900", "120A", ""});
    EXPECT_EQ(proposed(odd), "121"); // "Pf" is not "PF"; "120A" reads as 120
}

TEST_F(Creation, numeric_names_beyond_32_bits_do_not_overflow) {
    CLibGps big;
    fill(big, "1", {"99999999999", "12"});
    EXPECT_EQ(proposed(big), "100000000000");
    CLibGps huge;
    fill(huge, "1", {"99999999999999999999999"});
    EXPECT_EQ(proposed(huge), "9223372036854775807");
}

TEST_F(Creation, switching_group_always_proposes_its_automatic_name) {
    sample.third->SetNome("40");
    ScriptedUser user;
    user.onDialog([](Dialog& d) {
        EXPECT_FALSE(d.checked(IDC_AUTO_NAME));
        d.select(IDC_COV_XZ, 1); // "Rilievo B": station BASE2, point 40
        EXPECT_EQ(d.text(IDC_NEW_POINT_NAME), "101");
        d.select(IDC_COV_XZ, 0); // "Rilievo A": station 100, points 101 and PF12
        EXPECT_EQ(d.text(IDC_NEW_POINT_NAME), "102");
        d.click(IDCANCEL);
    });
    Call().run(sample.book);
    EXPECT_EQ(user.unexpected(), 0);
}

TEST_F(Creation, the_box_is_remembered_at_once_and_off_brings_back_the_callers_name) {
    ScriptedUser user;
    user.onDialog([](Dialog& d) {
        d.click(IDC_AUTO_NAME);
        EXPECT_EQ(CIniFile().GetBool("LIBRETTO", "AssNomiGpsAuto", false), true);
        EXPECT_EQ(d.text(IDC_NEW_POINT_NAME), "102");
        d.setText(IDC_NEW_POINT_NAME, "Z9");
        d.click(IDC_AUTO_NAME);
        EXPECT_EQ(d.text(IDC_NEW_POINT_NAME), "A1"); // the caller's, not the typed one
        d.click(IDC_AUTO_NAME);
        d.click(IDCANCEL);
    });
    user.onDialog([](Dialog& d) {
        EXPECT_TRUE(d.checked(IDC_AUTO_NAME));
        EXPECT_EQ(d.text(IDC_NEW_POINT_NAME), "102");
        d.click(IDCANCEL);
    });
    EXPECT_FALSE(Call().run(sample.book));
    EXPECT_TRUE(CIniFile().GetBool("LIBRETTO", "AssNomiGpsAuto", false)); // survives Annulla
    EXPECT_EQ(CIniFile().GetDouble("TRAF_GPS", "AltAnt", -1.0), -1.0);
    EXPECT_FALSE(Call().run(sample.book));
    EXPECT_EQ(user.unexpected(), 0);
}

TEST_F(Creation, crea_hands_back_the_choices_keeping_coordinates_not_retyped) {
    ScriptedUser user;
    user.onDialog([](Dialog& d) {
        d.setText(IDC_NEW_POINT_NAME, "P7");
        d.setText(IDC_COV_XY, "Tombino");
        d.setText(IDC_COV_YY, "4928300.4575"); // within a millimetre of the caller's North
        d.setText(IDC_NEW_ANTENNA_HEIGHT, "1.8");
        d.click(IDOK);
    });
    user.onDialog([](Dialog& d) {
        d.setText(IDC_COV_YZ, "12.35");
        d.setText(IDC_NEW_HEIGHT, "-2");
        d.click(IDOK);
    });
    Call call;
    EXPECT_TRUE(call.run(sample.book));
    EXPECT_EQ(call.grpIndex, 0);
    EXPECT_EQ(call.name, "P7");
    EXPECT_EQ(call.descr, "Tombino");
    EXPECT_EQ(call.x, 12.34567);
    EXPECT_EQ(call.y, 4928300.4567);
    EXPECT_EQ(call.z, 94.0);
    EXPECT_DOUBLE_EQ(call.antHeight, 1.8);
    EXPECT_DOUBLE_EQ(CIniFile().GetDouble("TRAF_GPS", "AltAnt", 0.0), 1.8);

    Call second;
    EXPECT_TRUE(second.run(sample.book));
    EXPECT_DOUBLE_EQ(second.x, 12.35);
    EXPECT_DOUBLE_EQ(second.z, -2.0);
    EXPECT_DOUBLE_EQ(second.antHeight, 1.8); // proposed from the settings file
    EXPECT_EQ(user.unexpected(), 0);
}

TEST_F(Creation, group_without_projection_is_refused_before_an_empty_name) {
    ScriptedUser user;
    answerOk(user, 2);
    user.onDialog([](Dialog& d) {
        d.select(IDC_COV_XZ, 1);
        d.setText(IDC_NEW_POINT_NAME, "");
        d.click(IDOK);
        EXPECT_TRUE(d.isOpen());
        EXPECT_EQ(d.focus(), IDC_COV_XZ);
        d.select(IDC_COV_XZ, 0);
        d.setText(IDC_NEW_POINT_NAME, "");
        d.click(IDOK);
        EXPECT_TRUE(d.isOpen());
        EXPECT_EQ(d.focus(), IDC_NEW_POINT_NAME);
        d.setText(IDC_NEW_POINT_NAME, "N1");
        d.click(IDOK);
    });
    Call call;
    EXPECT_TRUE(call.run(sample.book));
    ASSERT_EQ(user.messageBoxes().size(), 2u);
    EXPECT_EQ(user.messageBoxes()[0].text, kNoProjection);
    EXPECT_EQ(user.messageBoxes()[0].caption, "Attenzione !");
    EXPECT_EQ(user.messageBoxes()[1].text, kNameRequired);
    EXPECT_EQ(user.messageBoxes()[1].caption, "Attenzione !");
    EXPECT_EQ(user.beeps(), 2);
    EXPECT_EQ(call.name, "N1");
    EXPECT_EQ(call.grpIndex, 0);
    EXPECT_EQ(user.unexpected(), 0);
}

TEST_F(Creation, antenna_height_range_is_inclusive_and_checked_before_the_group) {
    ScriptedUser user;
    answerOk(user, 1);
    user.onDialog([](Dialog& d) {
        d.select(IDC_COV_XZ, 1);
        d.setText(IDC_NEW_ANTENNA_HEIGHT, "1000000.001");
        d.click(IDOK);
        EXPECT_TRUE(d.isOpen());
        EXPECT_EQ(d.focus(), IDC_NEW_ANTENNA_HEIGHT);
        d.select(IDC_COV_XZ, 0);
        d.setText(IDC_NEW_POINT_NAME, "N1");
        d.setText(IDC_NEW_ANTENNA_HEIGHT, "1e6");
        d.click(IDOK);
    });
    Call call;
    EXPECT_TRUE(call.run(sample.book));
    ASSERT_EQ(user.messageBoxes().size(), 1u);
    EXPECT_EQ(user.messageBoxes()[0].text, "Immettere un numero compreso tra -1000000 e 1000000.");
    EXPECT_EQ(call.antHeight, 1e6);
    EXPECT_EQ(user.unexpected(), 0);
}

TEST_F(Creation, coordinates_that_are_not_numbers_or_beyond_1e15_are_refused) {
    ScriptedUser user;
    answerOk(user, 2);
    user.onDialog([](Dialog& d) {
        d.setText(IDC_COV_YY, "nord");
        d.click(IDOK);
        EXPECT_EQ(d.focus(), IDC_COV_YY);
        d.setText(IDC_COV_YY, "0");
        d.setText(IDC_NEW_HEIGHT, "-1.1e15");
        d.click(IDOK);
        EXPECT_EQ(d.focus(), IDC_NEW_HEIGHT);
        d.click(IDCANCEL);
    });
    Call call;
    EXPECT_FALSE(call.run(sample.book));
    ASSERT_EQ(user.messageBoxes().size(), 2u);
    EXPECT_EQ(user.messageBoxes()[0].text, "Immettere un numero.");
    EXPECT_EQ(user.messageBoxes()[1].text, "Immettere un numero compreso tra -1e+15 e 1e+15.");
    EXPECT_EQ(call.y, 4928300.4567);
    EXPECT_EQ(user.unexpected(), 0);
}

TEST_F(Creation, an_empty_field_book_refuses_crea_with_the_projection_message) {
    CLibGps empty;
    setAutomatic(true);
    ScriptedUser user;
    answerOk(user, 1);
    user.onDialog([](Dialog& d) {
        EXPECT_TRUE(d.items(IDC_COV_XZ).empty());
        EXPECT_EQ(d.text(IDC_NEW_POINT_NAME), "A1");
        d.click(IDOK);
        EXPECT_TRUE(d.isOpen());
        d.click(IDC_AUTO_NAME);
        d.click(IDC_AUTO_NAME);
        d.click(IDCANCEL);
    });
    Call call;
    EXPECT_FALSE(FDlgOpzCreazGps(nullptr, &empty, call.grpIndex, call.name, call.descr, call.x,
                                 call.y, call.z, call.antHeight));
    ASSERT_EQ(user.messageBoxes().size(), 1u);
    EXPECT_EQ(user.messageBoxes()[0].text, kNoProjection);
    EXPECT_EQ(user.unexpected(), 0);
}
