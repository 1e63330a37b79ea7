// The base station editor, as a user drives it, asserting the group afterwards.
#include "gpsdialogs/GpsDialogs.h"
#include "gpsdialogs/interfaces/ConvCoord.h"
#include "gpsdialogs/interfaces/LibGps.h"
#include "platform/automation.h"
#include "platform/dialog.h"

#include "SmallBook.h"
#include "resource.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <iterator>
#include <map>
#include <random>

using automation::Dialog;
using automation::ScriptedUser;

namespace {

// A host whose "Note" editor writes a fixed note.
class NoteWriter : public CGestGps {
public:
    void EditaNote(CEgn* element) override {
        ++calls;
        element->SetNote(note);
    }
    int calls = 0;
    std::string note = "Nota dall'host";
};

struct Station : ::testing::Test {
    Station() {
        group = sample.projected;
        group->SetSecScri("Pilastrino");
        group->SetNote("Nota originale");
        group->SetTipoRicevitore(2);
        group->SetTipoRilievo(2);
        group->m_dPdop = 1.23456;
        group->m_dGdop = 2.5;
        group->GetGeocCeFaMis(geocX, geocY, geocZ);
    }
    testsupport::SmallBook sample;
    CGrpGps* group = nullptr;
    double geocX = 0, geocY = 0, geocZ = 0;
};

std::string fixed(double value, int decimals) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*f", decimals, value);
    return buffer;
}

} // namespace

TEST_F(Station, opens_with_every_value_of_the_group) {
    ScriptedUser user;
    user.onDialog([&](Dialog& d) {
        EXPECT_EQ(d.templateId(), IDD_MOD_STAZ_BASE);
        EXPECT_EQ(d.caption(), "Punto iniziale di baseline");
        EXPECT_EQ(d.text(IDC_BASE_GROUP_NAME), "Rilievo A");
        EXPECT_TRUE(d.readOnly(IDC_BASE_GROUP_NAME));
        EXPECT_EQ(d.text(IDC_BASE_STATION_NAME), "100");
        EXPECT_EQ(d.text(IDC_BASE_DESCRIPTION), "Pilastrino");
        EXPECT_EQ(d.text(IDC_BASE_ANTENNA_HEIGHT), "1.500");
        EXPECT_EQ(d.text(IDC_GEOC_X), fixed(geocX, 2));
        EXPECT_EQ(d.text(IDC_GEOC_Y), fixed(geocY, 2));
        EXPECT_EQ(d.text(IDC_GEOC_Z), fixed(geocZ, 2));
        EXPECT_EQ(d.items(IDC_RECEIVER_TYPE),
                  (std::vector<std::string>{"Monofrequenza", "Doppia frequenza"}));
        EXPECT_EQ(d.items(IDC_SURVEY_TYPE), (std::vector<std::string>{"Baseline", "RTK"}));
        EXPECT_EQ(d.selection(IDC_RECEIVER_TYPE), 1);
        EXPECT_EQ(d.selection(IDC_SURVEY_TYPE), 1);
        EXPECT_FALSE(d.checked(IDC_BASE_KNOWN_NETWORK));
        EXPECT_EQ(d.text(IDC_BASE_PDOP), "1.235");
        EXPECT_EQ(d.text(IDC_BASE_GDOP), "2.500");
        EXPECT_TRUE(d.enabled(IDC_BASE_NOTE));
        d.click(IDC_BASE_CANCEL);
    });
    EXPECT_FALSE(FDlgModStazBase(group, nullptr, true));
    EXPECT_EQ(user.unexpected(), 0);
}

TEST_F(Station, receiver_type_0_shows_dual_frequency_and_is_stored_back_unchanged) {
    group->SetTipoRicevitore(0);
    group->SetTipoRilievo(1);
    ScriptedUser user;
    user.onDialog([](Dialog& d) {
        EXPECT_EQ(d.selection(IDC_RECEIVER_TYPE), 1); // "Doppia frequenza"
        EXPECT_EQ(d.selection(IDC_SURVEY_TYPE), 0);   // "Baseline"
        d.click(IDC_BASE_OK);
    });
    EXPECT_TRUE(FDlgModStazBase(group, nullptr, true));
    EXPECT_EQ(group->GetTipoRicevitore(), 0);
    EXPECT_EQ(group->GetTipoRilievo(), 1);
}

TEST_F(Station, survey_switched_to_baseline_and_back_to_rtk_stores_2_and_receiver_1) {
    group->SetTipoRilievo(7);
    ScriptedUser user;
    user.onDialog([](Dialog& d) {
        d.select(IDC_SURVEY_TYPE, 0);
        d.select(IDC_SURVEY_TYPE, 1);
        d.select(IDC_RECEIVER_TYPE, 0);
        d.click(IDC_BASE_OK);
    });
    EXPECT_TRUE(FDlgModStazBase(group, nullptr, true));
    EXPECT_EQ(group->GetTipoRilievo(), 2);
    EXPECT_EQ(group->GetTipoRicevitore(), 1);
}

TEST_F(Station, the_box_follows_the_exact_tag_of_the_description) {
    ScriptedUser user;
    bool checked = false;
    user.onDialog([&](Dialog& d) {
        checked = d.checked(IDC_BASE_KNOWN_NETWORK);
        d.click(IDC_BASE_CANCEL);
    });
    group->SetSecScri("Caposaldo [WGS84-ETRF2000]");
    FDlgModStazBase(group, nullptr, true);
    EXPECT_TRUE(checked);

    user.onDialog([&](Dialog& d) {
        checked = d.checked(IDC_BASE_KNOWN_NETWORK);
        d.click(IDC_BASE_CANCEL);
    });
    group->SetSecScri("Caposaldo [wgs84-etrf2000]");
    FDlgModStazBase(group, nullptr, true);
    EXPECT_FALSE(checked);
    EXPECT_EQ(user.unexpected(), 0);
}

TEST_F(Station, the_box_tags_the_group_at_once_and_annulla_restores_only_the_description) {
    ScriptedUser user;
    user.onDialog([&](Dialog& d) {
        d.click(IDC_BASE_KNOWN_NETWORK);
        EXPECT_EQ(group->GetBaseEurefCode(), 10); // changed while the dialog is open
        EXPECT_EQ(d.text(IDC_BASE_DESCRIPTION), group->GetSecScri());
        EXPECT_NE(d.text(IDC_BASE_DESCRIPTION).find("[WGS84-ETRF2000]"), std::string::npos);
        d.setText(IDC_BASE_STATION_NAME, "Altro");
        d.click(IDC_BASE_CANCEL);
    });
    EXPECT_FALSE(FDlgModStazBase(group, nullptr, true));
    EXPECT_EQ(group->GetSecScri(), "Pilastrino");
    EXPECT_EQ(group->GetBaseEurefCode(), 10); // what the box did besides the tag stays
    EXPECT_EQ(group->GetNome(), "100");
    EXPECT_EQ(group->GetNote(), "Nota originale");
}

TEST_F(Station, unchecking_the_box_removes_the_tag_and_ok_keeps_it_removed) {
    group->SetBaseEuref(10);
    ScriptedUser user;
    user.onDialog([&](Dialog& d) {
        EXPECT_TRUE(d.checked(IDC_BASE_KNOWN_NETWORK));
        d.click(IDC_BASE_KNOWN_NETWORK);
        EXPECT_EQ(d.text(IDC_BASE_DESCRIPTION), "Pilastrino");
        d.click(IDC_BASE_OK);
    });
    EXPECT_TRUE(FDlgModStazBase(group, nullptr, true));
    EXPECT_EQ(group->GetSecScri(), "Pilastrino");
    EXPECT_FALSE(group->IsBaseEuref());
}

TEST_F(Station, ok_untouched_keeps_the_geocentric_decimals_and_rounds_pdop_to_3_decimals) {
    const double x = 4468851.23693, y = 895117.54297, z = 4447121.63572;
    group->SetGeocCeFaMis(x, y, z);
    ScriptedUser user;
    user.onDialog([](Dialog& d) { d.click(IDC_BASE_OK); });
    EXPECT_TRUE(FDlgModStazBase(group, nullptr, true));
    double gx = 0, gy = 0, gz = 0;
    group->GetGeocCeFaMis(gx, gy, gz);
    EXPECT_EQ(gx, x); // not written: no rounding to the 2 decimals shown
    EXPECT_EQ(gy, y);
    EXPECT_EQ(gz, z);
    EXPECT_DOUBLE_EQ(group->m_dPdop, 1.235);
    EXPECT_DOUBLE_EQ(group->m_dGdop, 2.5);
    EXPECT_DOUBLE_EQ(group->GetBaseAltAnt(), 1.5);
}

TEST_F(Station, one_geocentric_field_retyped_with_other_decimals_writes_all_three) {
    const double x = 4468851.23693, y = 895117.54297, z = 4447121.63572;
    group->SetGeocCeFaMis(x, y, z);
    ScriptedUser user;
    user.onDialog([](Dialog& d) {
        ASSERT_EQ(d.text(IDC_GEOC_Y), "895117.54");
        d.setText(IDC_GEOC_Y, "895117.540"); // same number, other text
        d.click(IDC_BASE_OK);
    });
    EXPECT_TRUE(FDlgModStazBase(group, nullptr, true));
    double gx = 0, gy = 0, gz = 0;
    group->GetGeocCeFaMis(gx, gy, gz);
    EXPECT_NEAR(gx, 4468851.24, 1e-6);
    EXPECT_NEAR(gy, 895117.54, 1e-6);
    EXPECT_NEAR(gz, 4447121.64, 1e-6);
}

TEST_F(Station, ok_writes_the_typed_values_and_recomputes_the_plane_position) {
    const double oldEast = group->GetCoordX();
    ScriptedUser user;
    user.onDialog([](Dialog& d) {
        d.setText(IDC_BASE_STATION_NAME, "B01");
        d.setText(IDC_BASE_DESCRIPTION, "Tetto");
        d.setText(IDC_BASE_ANTENNA_HEIGHT, "2,250");
        d.setText(IDC_BASE_PDOP, "1.8");
        d.setText(IDC_BASE_GDOP, " 0 ");
        d.click(IDC_BASE_OK);
    });
    EXPECT_TRUE(FDlgModStazBase(group, nullptr, true));
    EXPECT_EQ(group->GetNome(), "B01");
    EXPECT_EQ(group->GetSecScri(), "Tetto");
    EXPECT_DOUBLE_EQ(group->GetBaseAltAnt(), 2.25);
    EXPECT_DOUBLE_EQ(group->m_dPdop, 1.8);
    EXPECT_DOUBLE_EQ(group->m_dGdop, 0.0);
    // The station's plane position now comes from its geographic one through the converter:
    // the ground height is the antenna's minus the new antenna height.
    double east = 0, north = 0, height = 0;
    ASSERT_TRUE(group->GetConvCoord()->GrafGpsToPlanAtt(group->GetBaseLat(), group->GetBaseLong(),
                                                        group->GetBaseElev(), 2.25, east, north,
                                                        height));
    EXPECT_NEAR(group->GetCoordX(), east, 1e-6);
    EXPECT_NEAR(group->GetCoordY(), north, 1e-6);
    EXPECT_NEAR(group->GetCoordZ(), height, 1e-6);
    EXPECT_NE(group->GetCoordX(), oldEast);
}

TEST_F(Station, without_projection_or_base_latitude_the_plane_position_stays) {
    sample.plain->SetCoordXY(10.0, 20.0);
    sample.plain->SetCoordZ(30.0);
    sample.plain->SetBaseGeo(testsupport::degrees(44.5), testsupport::degrees(11.3), 90.0);
    group->SetBaseGeo(EGN_NOVALUE, testsupport::degrees(11.3), 90.0);
    ScriptedUser user;
    user.onDialog([](Dialog& d) { d.click(IDC_BASE_OK); });
    user.onDialog([](Dialog& d) { d.click(IDC_BASE_OK); });
    EXPECT_TRUE(FDlgModStazBase(sample.plain, nullptr, true));
    EXPECT_TRUE(FDlgModStazBase(group, nullptr, true));
    EXPECT_DOUBLE_EQ(sample.plain->GetCoordX(), 10.0);
    EXPECT_DOUBLE_EQ(sample.plain->GetCoordZ(), 30.0);
    EXPECT_DOUBLE_EQ(group->GetCoordX(), 686700.1234);
    EXPECT_DOUBLE_EQ(group->GetCoordY(), 4928300.4567);
}

TEST_F(Station, note_goes_through_the_host_and_annulla_puts_the_previous_note_back) {
    NoteWriter host;
    ScriptedUser user;
    user.onDialog([&](Dialog& d) {
        d.click(IDC_BASE_NOTE);
        EXPECT_EQ(group->GetNote(), "Nota dall'host");
        d.click(IDC_BASE_CANCEL);
    });
    user.onDialog([&](Dialog& d) {
        d.click(IDC_BASE_NOTE);
        d.click(IDC_BASE_OK);
    });
    EXPECT_FALSE(FDlgModStazBase(group, &host, true));
    EXPECT_EQ(group->GetNote(), "Nota originale");
    EXPECT_TRUE(FDlgModStazBase(group, &host, true));
    EXPECT_EQ(group->GetNote(), "Nota dall'host");
    EXPECT_EQ(host.calls, 2);
}

TEST_F(Station, note_without_a_host_does_nothing) {
    ScriptedUser user;
    user.onDialog([&](Dialog& d) {
        EXPECT_TRUE(d.click(IDC_BASE_NOTE));
        d.click(IDC_BASE_OK);
    });
    EXPECT_TRUE(FDlgModStazBase(group, nullptr, true));
    EXPECT_EQ(group->GetNote(), "Nota originale");
}

TEST_F(Station, correction_declaration_mode_has_its_caption_and_no_note) {
    NoteWriter host;
    ScriptedUser user;
    user.onDialog([](Dialog& d) {
        EXPECT_EQ(d.caption(), "Edita dichiarazione di correzione - Staz. Base Gps");
        EXPECT_FALSE(d.enabled(IDC_BASE_NOTE));
        EXPECT_FALSE(d.click(IDC_BASE_NOTE));
        d.setText(IDC_BASE_ANTENNA_HEIGHT, "1.7");
        d.click(IDC_BASE_OK);
    });
    EXPECT_TRUE(FDlgModStazBase(group, &host, false));
    EXPECT_EQ(host.calls, 0);
    EXPECT_DOUBLE_EQ(group->GetBaseAltAnt(), 1.7);
}

TEST_F(Station, enter_does_nothing_and_escape_runs_the_annulla_step) {
    ScriptedUser user;
    user.onDialog([&](Dialog& d) {
        d.setText(IDC_BASE_STATION_NAME, "B01");
        d.click(IDC_BASE_KNOWN_NETWORK);
        d.enter();
        EXPECT_TRUE(d.isOpen());
        EXPECT_FALSE(d.close()); // no close box on this template
        EXPECT_EQ(group->GetNome(), "100");
        d.escape();
        EXPECT_FALSE(d.isOpen());
    });
    EXPECT_FALSE(FDlgModStazBase(group, nullptr, true));
    EXPECT_EQ(group->GetSecScri(), "Pilastrino"); // the description as before the click
    EXPECT_EQ(group->GetNome(), "100");
    EXPECT_EQ(user.unexpected(), 0);
}

TEST_F(Station, undefined_values_show_empty_and_stay_undefined_on_ok) {
    CGrpGps* plain = sample.plain; // no antenna height, position, PDOP or GDOP
    ScriptedUser user;
    user.onDialog([&](Dialog& d) {
        for (int id : {IDC_BASE_ANTENNA_HEIGHT, IDC_GEOC_X, IDC_GEOC_Y, IDC_GEOC_Z, IDC_BASE_PDOP,
                       IDC_BASE_GDOP})
            EXPECT_EQ(d.text(id), "") << id;
        d.type(IDC_BASE_PDOP, "2");
        d.backspace(IDC_BASE_PDOP); // empty again
        d.click(IDC_BASE_OK);
    });
    EXPECT_TRUE(FDlgModStazBase(plain, nullptr, true));
    EXPECT_FALSE(IsEgnValueDefined(plain->GetBaseAltAnt()));
    EXPECT_FALSE(IsEgnValueDefined(plain->m_dPdop));
    EXPECT_FALSE(IsEgnValueDefined(plain->m_dGdop));
    double x = 0, y = 0, z = 0;
    plain->GetGeocCeFaMis(x, y, z);
    EXPECT_FALSE(IsEgnValueDefined(x));
    EXPECT_EQ(user.unexpected(), 0);
}

TEST_F(Station, a_field_that_is_not_a_number_is_marked_takes_the_focus_and_nothing_is_written) {
    ScriptedUser user;
    user.onDialog([&](Dialog& d) {
        d.setText(IDC_BASE_STATION_NAME, "B01");
        d.setText(IDC_GEOC_Y, "12a");
        d.setText(IDC_BASE_GDOP, "x");
        d.click(IDC_BASE_OK);
        EXPECT_TRUE(d.isOpen());
        EXPECT_EQ(d.balloon(IDC_GEOC_Y).title, "Valore non valido");
        EXPECT_EQ(d.balloon(IDC_GEOC_Y).text, "un numero, ad esempio 1234.567");
        EXPECT_TRUE(d.balloon(IDC_BASE_GDOP).shown());
        EXPECT_FALSE(d.balloon(IDC_BASE_PDOP).shown());
        EXPECT_EQ(d.focus(), IDC_GEOC_Y); // the first one, its text selected to be retyped
        EXPECT_EQ(d.selectedText(IDC_GEOC_Y), "12a");
        EXPECT_EQ(group->GetNome(), "100");
        d.keys(IDC_GEOC_Y, "7");
        EXPECT_FALSE(d.balloon(IDC_GEOC_Y).shown()); // valid again: the mark goes
        EXPECT_TRUE(d.balloon(IDC_BASE_GDOP).shown());
        d.setText(IDC_BASE_GDOP, " 3,5 ");
        d.click(IDC_BASE_OK);
    });
    EXPECT_TRUE(FDlgModStazBase(group, nullptr, true));
    EXPECT_EQ(group->GetNome(), "B01");
    EXPECT_DOUBLE_EQ(group->m_dGdop, 3.5);
    double x = 0, y = 0, z = 0;
    group->GetGeocCeFaMis(x, y, z);
    EXPECT_NEAR(y, 7.0, 1e-6);
    EXPECT_EQ(user.unexpected(), 0);
}

// A seeded person at every number field of the station, typing as a person does; OK either
// writes what the fields show or, with a text that is not a number, nothing.
TEST_F(Station, a_random_person_stores_what_the_fields_show_or_nothing) {
    const int fields[] = {IDC_BASE_ANTENNA_HEIGHT, IDC_GEOC_X,   IDC_GEOC_Y, IDC_GEOC_Z,
                          IDC_BASE_PDOP,           IDC_BASE_GDOP};
    const std::string keys = "0123456789012345678901234567890123456789-+.,. a";
    auto number = [](std::string text, double& value) {
        size_t first = text.find_first_not_of(" \t");
        if (first == std::string::npos) return false;
        text = text.substr(first, text.find_last_not_of(" \t") - first + 1);
        for (char& c : text)
            if (c == ',') c = '.';
        char* end = nullptr;
        value = std::strtod(text.c_str(), &end);
        bool digits = text.find_first_of("0123456789") != std::string::npos;
        return digits && *end == '\0' && text.find_first_of("eEnNiIxX") == std::string::npos;
    };
    for (unsigned seed : {7u, 8u, 9u, 10u}) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        testsupport::SmallBook book;
        CGrpGps* g = seed % 2 ? book.projected : book.plain;
        std::mt19937 random(seed);
        std::map<int, std::string> shown;
        bool refused = false;
        ScriptedUser user;
        user.onDialog([&](Dialog& d) {
            for (int step = 0; step < 120; ++step) {
                int id = fields[random() % std::size(fields)];
                const int length = static_cast<int>(d.text(id).size());
                switch (random() % 6) {
                case 0:
                    d.selectAll(id);
                    break;
                case 1:
                    d.putCaret(id, static_cast<int>(random() % (length + 1)));
                    break;
                case 2:
                    d.backspace(id);
                    break;
                case 3:
                    d.pressDelete(id);
                    break;
                default:
                    d.keys(id, std::string(1, keys[random() % keys.size()]));
                    break;
                }
            }
            for (int id : fields)
                shown[id] = d.text(id);
            d.click(IDC_BASE_OK);
            if (d.isOpen()) {
                refused = true;
                int marked = 0;
                for (int id : fields) {
                    double v = 0;
                    bool bad = !number(shown[id], v) &&
                               shown[id].find_first_not_of(" \t") != std::string::npos;
                    EXPECT_EQ(d.balloon(id).shown(), bad) << id << " '" << shown[id] << "'";
                    if (bad && marked++ == 0) {
                        EXPECT_EQ(d.focus(), id);
                    }
                }
                EXPECT_GT(marked, 0);
                d.click(IDC_BASE_CANCEL);
            }
        });
        const std::string before = g->GetNome() + std::to_string(g->GetBaseAltAnt()) +
                                   std::to_string(g->m_dPdop) + std::to_string(g->m_dGdop);
        bool ok = FDlgModStazBase(g, nullptr, true);
        EXPECT_EQ(ok, !refused);
        EXPECT_EQ(user.unexpected(), 0);
        auto expectStored = [&](int id, double stored) {
            double v = 0;
            if (number(shown[id], v))
                EXPECT_NEAR(stored, v, 1e-9 * std::max(1.0, std::fabs(v))) << id;
            else
                EXPECT_FALSE(IsEgnValueDefined(stored)) << id << " '" << shown[id] << "'";
        };
        if (!ok) {
            EXPECT_EQ(g->GetNome() + std::to_string(g->GetBaseAltAnt()) +
                          std::to_string(g->m_dPdop) + std::to_string(g->m_dGdop),
                      before);
            continue;
        }
        expectStored(IDC_BASE_ANTENNA_HEIGHT, g->GetBaseAltAnt());
        expectStored(IDC_BASE_PDOP, g->m_dPdop);
        expectStored(IDC_BASE_GDOP, g->m_dGdop);
    }
}

TEST_F(Station, a_close_request_runs_the_annulla_step) {
    ScriptedUser user;
    user.onDialog([&](Dialog& d) {
        d.click(IDC_BASE_KNOWN_NETWORK);
        d.window().SendMessage(WM_CLOSE); // as a window manager may still ask
    });
    EXPECT_FALSE(FDlgModStazBase(group, nullptr, true));
    EXPECT_EQ(group->GetSecScri(), "Pilastrino");
    EXPECT_EQ(user.unexpected(), 0);
}

TEST(StationExport, a_null_group_is_refused_without_a_dialog) {
    ScriptedUser user;
    EXPECT_FALSE(FDlgModStazBase(nullptr, nullptr, true));
    EXPECT_TRUE(user.dialogsSeen().empty());
}
