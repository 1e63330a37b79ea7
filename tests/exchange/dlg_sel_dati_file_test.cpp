// "Selezione campi" through FSelDatiFile: the layout read from "FILE ASCI", the grid rows as
// the user sees them, the buttons' states after each action, and the settings written on OK.
#include "gpsdialogs/GpsDialogs.h"
#include "gpsdialogs/interfaces/Kit.h"
#include "platform/automation.h"
#include "platform/grid.h"

#include "PythonPeer.h"
#include "TempSettings.h"
#include "resource.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

using automation::Dialog;
using automation::ScriptedUser;

namespace {

const char* const kSection = "FILE ASCI";
constexpr COLORREF kNoDecimalsColour = 0x00D2FFDF;

struct Row {
    std::string caption;
    std::string decimals;
    bool operator==(const Row&) const = default;
};

std::vector<Row> rows(Dialog& d) {
    automation::Grid grid = d.grid(IDC_FIELD_GRID);
    std::vector<Row> result;
    for (int r = 0; r < grid.rows(); ++r)
        result.push_back({grid.text(r, 0), grid.text(r, 1)});
    return result;
}

struct Buttons {
    bool add, remove, up, down;
    bool operator==(const Buttons&) const = default;
};

Buttons buttons(Dialog& d) {
    return {d.enabled(IDC_ADD_FIELD), d.enabled(IDC_REMOVE_FIELD), d.enabled(IDC_MOVE_UP),
            d.enabled(IDC_MOVE_DOWN)};
}

std::string key(const char* format, int p) {
    char name[64];
    kit_sprintf(name, format, p);
    return name;
}

/// Runs the dialog with \p act and confirms it with "OK" (or cancels when \p ok is false).
bool run(const std::function<void(Dialog&)>& act, bool ok = true) {
    ScriptedUser user;
    user.onDialog([&](Dialog& d) {
        act(d);
        d.click(ok ? IDC_LAYOUT_OK : IDC_LAYOUT_CANCEL);
    });
    bool result = FSelDatiFile();
    EXPECT_EQ(user.unexpected(), 0);
    return result;
}

class DlgSelDatiFile : public ::testing::Test {
protected:
    testsupport::TempSettings settings;
    CIniFile ini{settings.pathString()};
};

} // namespace

TEST_F(DlgSelDatiFile, without_settings_shows_the_default_layout_and_options) {
    EXPECT_FALSE(run(
        [](Dialog& d) {
            EXPECT_EQ(d.caption(), "Selezione campi");
            std::vector<std::string> list = d.items(IDC_FIELD_LIST);
            ASSERT_EQ(list.size(), 35u);
            EXPECT_EQ(list.front(), "Nome");
            EXPECT_EQ(list[9], "Qualità");
            EXPECT_EQ(list.back(), "Tema GIS");
            EXPECT_EQ(rows(d), (std::vector<Row>{{"Nome", "0"},
                                                 {"Descrizione", "0"},
                                                 {"Latitudine Mis.", "3"},
                                                 {"Longitudine Mis.", "3"},
                                                 {"Elevazione Ant. Mis.", "3"},
                                                 {"Alt. Antenna", "3"},
                                                 {"Qualità", "0"},
                                                 {"SQM Oriz.", "3"},
                                                 {"SQM Vert.", "3"},
                                                 {"PDOP", "3"},
                                                 {"GDOP", "3"},
                                                 {"Data", "0"},
                                                 {"Secondi Giorn.", "0"},
                                                 {"N. Satelliti GPS", "0"},
                                                 {"N. Satelliti GLO", "0"}}));
            automation::Grid grid = d.grid(IDC_FIELD_GRID);
            EXPECT_EQ(grid.heading(0), "Campo");
            EXPECT_EQ(grid.heading(1), "Decimali");
            EXPECT_EQ(grid.rowLabel(0), "1");
            EXPECT_EQ(grid.rowLabel(14), "15");
            EXPECT_TRUE(grid.readOnly(0, 1));
            EXPECT_EQ(grid.colour(0, 1), kNoDecimalsColour);
            EXPECT_FALSE(grid.readOnly(2, 1));
            EXPECT_NE(grid.colour(2, 1), kNoDecimalsColour);
            EXPECT_EQ(d.items(IDC_ANGLE_FORMAT).size(), 6u);
            EXPECT_EQ(d.items(IDC_ANGLE_FORMAT)[0], "Sessagesimali   ( gg°pp'ss.ddddd\" )");
            EXPECT_EQ(d.selection(IDC_ANGLE_FORMAT), 0);
            EXPECT_TRUE(d.checked(IDC_SEP_COMMA));
            EXPECT_TRUE(d.checked(IDC_QUOTES_YES));
            EXPECT_EQ(buttons(d), (Buttons{false, false, false, false}));
        },
        false));
    EXPECT_EQ(settings.read(), ""); // cancel writes nothing
}

TEST_F(DlgSelDatiFile, ok_writes_every_key_of_the_layout) {
    ASSERT_TRUE(run([](Dialog& d) {
        d.select(IDC_ANGLE_FORMAT, 4);
        d.click(IDC_SEP_TAB);
        d.click(IDC_QUOTES_NO);
        EXPECT_TRUE(d.grid(IDC_FIELD_GRID).edit(2, 1, "7"));
    }));
    EXPECT_EQ(ini.GetLong(kSection, "CoordFormat", -9), 4);
    EXPECT_EQ(ini.GetLong(kSection, "Separator", -9), 3);
    EXPECT_FALSE(ini.GetBool(kSection, "Apici", true));
    EXPECT_EQ(ini.GetLong(kSection, "NumCampi", -9), 15);
    const std::vector<int> ids = {0, 1, 2, 3, 4, 8, 9, 13, 14, 15, 16, 19, 20, 22, 23};
    for (int p = 0; p < 15; ++p) {
        EXPECT_EQ(ini.GetLong(kSection, key("Campo-%d", p), -9), ids[static_cast<size_t>(p)]);
        const int decimals = p == 2 ? 7 : (p >= 2 && p <= 5) || (p >= 7 && p <= 10) ? 3 : 0;
        EXPECT_EQ(ini.GetLong(kSection, key("nDecCampo-%d", p), -9), decimals) << p;
    }
}

TEST_F(DlgSelDatiFile, a_layout_that_cannot_be_written_is_reported_and_not_confirmed) {
    settings.write("[FILE ASCI]\nNumCampi=2\n");
    namespace fs = std::filesystem;
    fs::permissions(settings.path(), fs::perms::owner_read | fs::perms::group_read);
    ScriptedUser user;
    user.onDialog([](Dialog& d) {
        d.click(IDC_SEP_TAB);
        d.click(IDC_LAYOUT_OK);
    });
    std::vector<automation::MessageBoxCall> shown;
    user.onMessageBox([&](const automation::MessageBoxCall& m) {
        shown.push_back(m);
        return IDOK;
    });
    EXPECT_FALSE(FSelDatiFile());
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].caption, "Attenzione !");
    EXPECT_EQ(shown[0].text, "Impossibile salvare le impostazioni nel file \"" +
                                 settings.pathString() +
                                 "\": il file è di sola lettura. Le scelte fatte non sono state "
                                 "registrate.");
    fs::permissions(settings.path(), fs::perms::owner_all);
    EXPECT_EQ(settings.read(), "[FILE ASCI]\nNumCampi=2\n");
}

TEST_F(DlgSelDatiFile, decimals_are_chosen_among_zero_to_nine_and_read_only_cells_refuse) {
    run(
        [](Dialog& d) {
            automation::Grid grid = d.grid(IDC_FIELD_GRID);
            EXPECT_EQ(grid.choices(3, 1),
                      (std::vector<std::string>{"0", "1", "2", "3", "4", "5", "6", "7", "8", "9"}));
            EXPECT_TRUE(grid.choices(0, 1).empty()); // "Nome" has no decimals
            EXPECT_FALSE(grid.edit(0, 1, "5"));
            EXPECT_FALSE(grid.edit(3, 0, "5")); // the caption is no value to choose
            EXPECT_EQ(grid.text(0, 1), "0");
            EXPECT_EQ(grid.text(3, 0), "Longitudine Mis.");
        },
        false);
}

TEST_F(DlgSelDatiFile, stored_layout_with_odd_values_is_shown_and_written_back_as_the_rules_say) {
    ini.WriteLong(kSection, "NumCampi", 5);
    ini.WriteLong(kSection, "Campo-0", 24); // "Latitudine WGS84", decimals 12
    ini.WriteLong(kSection, "nDecCampo-0", 12);
    ini.WriteLong(kSection, "Campo-1", 0); // "Nome": a stored 6 is not shown
    ini.WriteLong(kSection, "nDecCampo-1", 6);
    ini.WriteLong(kSection, "Campo-2", 77); // unknown id
    ini.WriteLong(kSection, "nDecCampo-2", 4);
    ini.WriteLong(kSection, "Campo-3", -5);
    ini.WriteString(kSection, "nDecCampo-4", "abc"); // position 4: default field "Elevazione"
    ini.WriteLong(kSection, "CoordFormat", 9);
    ini.WriteLong(kSection, "Separator", 7);
    ini.WriteLong(kSection, "Campo-7", 31); // beyond NumCampi: left alone
    ASSERT_TRUE(run([](Dialog& d) {
        EXPECT_EQ(rows(d), (std::vector<Row>{{"Latitudine WGS84", "12"},
                                             {"Nome", "0"},
                                             {"", "0"},
                                             {"", "0"},
                                             {"Elevazione Ant. Mis.", "3"}}));
        automation::Grid grid = d.grid(IDC_FIELD_GRID);
        EXPECT_TRUE(grid.readOnly(2, 1));
        EXPECT_EQ(grid.colour(2, 1), kNoDecimalsColour);
        EXPECT_EQ(d.selection(IDC_ANGLE_FORMAT), -1);
        for (int id = IDC_SEP_COMMA; id <= IDC_SEP_TAB; ++id)
            EXPECT_FALSE(d.checked(id));
        grid.edit(4, 1, "5");
    }));
    EXPECT_EQ(ini.GetLong(kSection, "CoordFormat", 0), -1);
    EXPECT_EQ(ini.GetLong(kSection, "Separator", 0), -1);
    EXPECT_EQ(ini.GetLong(kSection, "nDecCampo-0", 0), 12);
    EXPECT_EQ(ini.GetLong(kSection, "nDecCampo-1", 9), 0);
    EXPECT_EQ(ini.GetLong(kSection, "Campo-2", 0), 77);
    EXPECT_EQ(ini.GetLong(kSection, "nDecCampo-2", 9), 0);
    EXPECT_EQ(ini.GetLong(kSection, "Campo-3", 0), -5);
    EXPECT_EQ(ini.GetLong(kSection, "nDecCampo-4", 9), 5);
    EXPECT_EQ(ini.GetLong(kSection, "Campo-7", 0), 31);
}

TEST_F(DlgSelDatiFile, count_beyond_the_default_layout_fills_with_data_rows) {
    ini.WriteLong(kSection, "NumCampi", 17);
    run(
        [](Dialog& d) {
            std::vector<Row> shown = rows(d);
            ASSERT_EQ(shown.size(), 17u);
            EXPECT_EQ(shown[15], (Row{"Data", "0"}));
            EXPECT_EQ(shown[16], (Row{"Data", "0"}));
            EXPECT_TRUE(d.grid(IDC_FIELD_GRID).readOnly(16, 1));
        },
        false);
}

TEST_F(DlgSelDatiFile, zero_or_negative_count_starts_empty_and_ok_writes_zero) {
    for (int count : {0, -3}) {
        ini.WriteLong(kSection, "NumCampi", count);
        ASSERT_TRUE(run([](Dialog& d) { EXPECT_EQ(d.grid(IDC_FIELD_GRID).rows(), 0); }));
        EXPECT_EQ(ini.GetLong(kSection, "NumCampi", -9), 0);
    }
}

TEST_F(DlgSelDatiFile, an_absurd_count_is_capped_at_a_thousand_rows) {
    ini.WriteLong(kSection, "NumCampi", 2000000000);
    run([](Dialog& d) { EXPECT_EQ(d.grid(IDC_FIELD_GRID).rows(), 1000); }, false);
}

TEST_F(DlgSelDatiFile, add_follows_the_list_and_leaves_the_grid_buttons_off) {
    ini.WriteLong(kSection, "NumCampi", 0);
    ASSERT_TRUE(run([](Dialog& d) {
        // The keyboard moves the selection without touching ">>".
        EXPECT_TRUE(d.moveTo(IDC_FIELD_LIST, 3));
        EXPECT_FALSE(d.enabled(IDC_ADD_FIELD));
        d.select(IDC_FIELD_LIST, 33);
        EXPECT_TRUE(d.enabled(IDC_ADD_FIELD));
        d.moveTo(IDC_FIELD_LIST, 32); // ">>" adds whatever is selected now
        d.click(IDC_ADD_FIELD);
        EXPECT_EQ(d.selection(IDC_FIELD_LIST), 33);
        d.click(IDC_ADD_FIELD);
        EXPECT_EQ(d.selection(IDC_FIELD_LIST), 34);
        d.click(IDC_ADD_FIELD);
        EXPECT_EQ(d.selection(IDC_FIELD_LIST), -1); // nothing after the last field
        EXPECT_TRUE(d.enabled(IDC_ADD_FIELD));
        d.click(IDC_ADD_FIELD); // does nothing
        EXPECT_EQ(rows(d), (std::vector<Row>{{"Dati GIS con Nome attributi", "3"},
                                             {"Tabella GIS", "0"},
                                             {"Tema GIS", "0"}}));
        // A click in the grid turns the row buttons on; ">>" turns them off again although
        // the row still looks selected.
        automation::Grid grid = d.grid(IDC_FIELD_GRID);
        grid.click(1, 0);
        EXPECT_EQ(buttons(d), (Buttons{true, true, true, true}));
        d.doubleClick(IDC_FIELD_LIST, 0); // double click adds "Nome"
        EXPECT_EQ(buttons(d), (Buttons{true, false, false, false}));
        EXPECT_NE(grid.state(1, 0) & GVIS_SELECTED, 0u);
        d.click(IDC_ADD_FIELD); // "Descrizione", duplicates allowed later
        d.select(IDC_FIELD_LIST, 0);
        d.click(IDC_ADD_FIELD);
        EXPECT_EQ(grid.rows(), 6);
        EXPECT_EQ(grid.text(5, 0), "Nome");
    }));
    EXPECT_EQ(ini.GetLong(kSection, "NumCampi", 0), 6);
    EXPECT_EQ(ini.GetLong(kSection, "Campo-0", 0), 32);
    EXPECT_EQ(ini.GetLong(kSection, "Campo-3", 9), 0);
    EXPECT_EQ(ini.GetLong(kSection, "Campo-4", 9), 1);
    EXPECT_EQ(ini.GetLong(kSection, "Campo-5", 9), 0);
}

TEST_F(DlgSelDatiFile, remove_keeps_the_index_and_selects_the_row_that_moved_up) {
    run(
        [](Dialog& d) {
            automation::Grid grid = d.grid(IDC_FIELD_GRID);
            grid.click(13, 1);
            EXPECT_EQ(buttons(d), (Buttons{false, true, true, true}));
            d.click(IDC_REMOVE_FIELD); // "N. Satelliti GPS" goes, "GLO" takes its place
            EXPECT_EQ(grid.rows(), 14);
            EXPECT_EQ(grid.text(13, 0), "N. Satelliti GLO");
            EXPECT_NE(grid.state(13, 0) & GVIS_SELECTED, 0u);
            EXPECT_NE(grid.state(13, 1) & GVIS_SELECTED, 0u);
            EXPECT_TRUE(grid.readOnly(13, 1)); // still read-only once selected
            EXPECT_EQ(buttons(d), (Buttons{false, true, true, false}));
            d.click(IDC_REMOVE_FIELD); // the last row: nothing stands at the index any more
            EXPECT_EQ(grid.rows(), 13);
            EXPECT_EQ(buttons(d), (Buttons{false, false, false, false}));
            grid.click(0, 0);
            EXPECT_EQ(buttons(d), (Buttons{false, true, false, true}));
            d.click(IDC_REMOVE_FIELD);
            EXPECT_EQ(grid.text(0, 0), "Descrizione");
            EXPECT_EQ(buttons(d), (Buttons{false, true, false, true}));
        },
        false);
}

TEST_F(DlgSelDatiFile, removing_every_row_leaves_the_buttons_off_and_ok_writes_zero) {
    ini.WriteLong(kSection, "NumCampi", 1);
    ASSERT_TRUE(run([](Dialog& d) {
        d.grid(IDC_FIELD_GRID).click(0, 0);
        d.click(IDC_REMOVE_FIELD);
        EXPECT_EQ(d.grid(IDC_FIELD_GRID).rows(), 0);
        EXPECT_EQ(buttons(d), (Buttons{false, false, false, false}));
    }));
    EXPECT_EQ(ini.GetLong(kSection, "NumCampi", 9), 0);
}

TEST_F(DlgSelDatiFile, moves_carry_texts_read_only_colour_and_id_and_follow_the_row) {
    ini.WriteLong(kSection, "NumCampi", 3);
    ini.WriteLong(kSection, "Campo-0", 2);
    ini.WriteLong(kSection, "nDecCampo-0", 8);
    ini.WriteLong(kSection, "Campo-1", 9); // "Qualità", no decimals
    ini.WriteLong(kSection, "Campo-2", 12);
    ASSERT_TRUE(run([](Dialog& d) {
        automation::Grid grid = d.grid(IDC_FIELD_GRID);
        grid.click(1, 0);
        d.click(IDC_MOVE_UP);
        EXPECT_EQ(rows(d),
                  (std::vector<Row>{{"Qualità", "0"}, {"Latitudine Mis.", "8"}, {"Quota", "3"}}));
        EXPECT_TRUE(grid.readOnly(0, 1));
        EXPECT_EQ(grid.colour(0, 1), kNoDecimalsColour);
        EXPECT_NE(grid.state(0, 0) & GVIS_SELECTED, 0u);
        EXPECT_NE(grid.state(0, 1) & GVIS_SELECTED, 0u);
        EXPECT_EQ(buttons(d), (Buttons{false, true, false, true}));
        d.click(IDC_MOVE_DOWN);
        d.click(IDC_MOVE_DOWN); // to the end: appended
        EXPECT_EQ(rows(d),
                  (std::vector<Row>{{"Latitudine Mis.", "8"}, {"Quota", "3"}, {"Qualità", "0"}}));
        EXPECT_TRUE(grid.readOnly(2, 1));
        EXPECT_FALSE(grid.readOnly(0, 1));
        EXPECT_EQ(buttons(d), (Buttons{false, true, true, false}));
        d.click(IDC_MOVE_UP);
        EXPECT_EQ(buttons(d), (Buttons{false, true, true, true}));
    }));
    EXPECT_EQ(ini.GetLong(kSection, "Campo-0", 0), 2);
    EXPECT_EQ(ini.GetLong(kSection, "nDecCampo-0", 0), 8);
    EXPECT_EQ(ini.GetLong(kSection, "Campo-1", 0), 9);
    EXPECT_EQ(ini.GetLong(kSection, "nDecCampo-1", 9), 0);
    EXPECT_EQ(ini.GetLong(kSection, "Campo-2", 0), 12);
}

TEST_F(DlgSelDatiFile, enter_confirms_and_escape_or_close_box_write_nothing) {
    {
        ScriptedUser user;
        user.onDialog([](Dialog& d) { d.escape(); });
        user.onDialog([](Dialog& d) { d.close(); });
        EXPECT_FALSE(FSelDatiFile());
        EXPECT_FALSE(FSelDatiFile());
        EXPECT_EQ(user.unexpected(), 0);
    }
    EXPECT_EQ(settings.read(), "");
    ScriptedUser user;
    user.onDialog([](Dialog& d) { d.enter(); });
    EXPECT_TRUE(FSelDatiFile());
    EXPECT_EQ(ini.GetLong(kSection, "NumCampi", 0), 15);
}

TEST_F(DlgSelDatiFile, pythons_configparser_reads_the_layout_the_dialog_wrote) {
    settings.write("; impostazioni\n[ALTRO]\nChiave=1\n");
    ASSERT_TRUE(run([](Dialog& d) {
        d.select(IDC_ANGLE_FORMAT, 2);
        d.click(IDC_SEP_SEMICOLON);
        d.grid(IDC_FIELD_GRID).click(0, 0);
        d.click(IDC_REMOVE_FIELD);
    }));
    int status = 0;
    const std::string out = testsupport::runPython(
        "import configparser, sys\n"
        "c = configparser.ConfigParser(interpolation=None)\n"
        "c.read(sys.argv[1], encoding='utf-8')\n"
        "s = c['FILE ASCI']\n"
        "n = int(s['NumCampi'])\n"
        "print(s['CoordFormat'], s['Separator'], s['Apici'], n, c['ALTRO']['Chiave'])\n"
        "print(' '.join(s['Campo-%d' % p] + ':' + s['nDecCampo-%d' % p] for p in range(n)))\n",
        testsupport::shellWord(settings.pathString()), status);
    ASSERT_EQ(status, 0) << out;
    EXPECT_EQ(out, "2 1 1 14 1\n1:0 2:3 3:3 4:3 8:3 9:0 13:3 14:3 15:3 16:3 19:0 20:0 22:0 23:0\n");
}
