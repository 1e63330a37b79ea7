// Typing into the point-data pages as a person does: over a selection, at the caret, with
// BackSpace and Delete. What a field shows is what the person typed or exactly the value the
// working point holds; a text that is not a number is marked and never confirmed; a refused
// keystroke is heard and leaves the held value's text selected.
#include "EditorFixture.h"
#include "gpsdialogs/interfaces/ConvCoord.h"
#include "gpsdialogs/interfaces/Kit.h"
#include "resource.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <map>
#include <random>
#include <regex>

using automation::Dialog;
using pointedit_test::Editor;
using testsupport::degrees;

namespace {

constexpr const char* kTitle = "Valore non valido";

// Runs the editor on \p point with \p script; \p beeps receives the beeps heard.
bool runCounting(Editor& e, CPunGps* point, const std::function<void(Dialog&)>& script,
                 int* beeps = nullptr) {
    automation::ScriptedUser user;
    user.onDialog(script);
    bool ok = FDlgModPunGps(&e.cts, point, &e.sample.book, &e.gis, true, nullptr, true);
    if (beeps != nullptr) *beeps = user.beeps();
    EXPECT_EQ(user.unexpected(), 0);
    return ok;
}

// What a person reads as a number: blanks around, a sign, digits with '.' or ',' as mark.
bool wholeNumber(const std::string& text) {
    static const std::regex number(R"(^[ \t]*[+-]?([0-9]+([.,][0-9]*)?|[.,][0-9]+)[ \t]*$)");
    return std::regex_match(text, number);
}

double readNumber(std::string text) {
    for (char& c : text)
        if (c == ',') c = '.';
    return std::strtod(text.c_str(), nullptr);
}

bool blank(const std::string& text) {
    return text.find_first_not_of(" \t") == std::string::npos;
}

bool isMinutesOrSeconds(int id) {
    return id == IDC_LAT_MIN || id == IDC_LAT_SEC || id == IDC_LON_MIN || id == IDC_LON_SEC;
}

bool validText(int id, const std::string& text) {
    if (!wholeNumber(text)) return false;
    return !isMinutesOrSeconds(id) || std::fabs(readNumber(text)) < 60.0;
}

} // namespace

TEST(PointDataEntry, retyping_a_coordinate_over_its_selection_replaces_it) {
    Editor e;
    CPunGps* p = e.sample.first;
    EXPECT_TRUE(runCounting(e, p, [](Dialog& d) {
        d.selectPage(1);
        d.selectAll(IDC_NORTH); // Ctrl+A, then the new value key by key
        d.keys(IDC_NORTH, "4930106.5");
        EXPECT_EQ(d.text(IDC_NORTH), "4930106.5");
        EXPECT_TRUE(d.enabled(IDOK));
        d.click(IDOK);
    }));
    EXPECT_DOUBLE_EQ(p->GetCoordY(), 4930106.5);
    EXPECT_DOUBLE_EQ(p->GetCoordX(), 686728.4567);

    Editor f;
    p = f.sample.first;
    EXPECT_TRUE(runCounting(f, p, [](Dialog& d) {
        d.selectAll(IDC_LAT_DEG);
        d.keys(IDC_LAT_DEG, "45"); // "4" on the way lies far south of the area: converted
        EXPECT_EQ(d.text(IDC_LAT_DEG), "45");
        d.putCaret(IDC_LON_DEG, 1); // "11": BackSpace on the first digit
        d.backspace(IDC_LON_DEG);
        EXPECT_EQ(d.text(IDC_LON_DEG), "1");
        d.putCaret(IDC_LAT_SEC, 2); // "42.00000": ',' then Delete the '.'
        d.keys(IDC_LAT_SEC, ",");
        EXPECT_FALSE(d.enabled(IDOK)); // "42,.00000" is no number
        d.pressDelete(IDC_LAT_SEC);
        EXPECT_EQ(d.text(IDC_LAT_SEC), "42,00000");
        d.click(IDOK);
    }));
    EXPECT_NEAR(p->GetLat(), AngRadiFromSesg(45, 29, 42.0), 1e-12);
    EXPECT_NEAR(p->GetLong(), AngRadiFromSesg(1, 20, 34.8), 1e-12);
}

TEST(PointDataEntry, a_refused_keystroke_shows_the_held_text_selected_and_beeps) {
    Editor e;
    CPunGps* p = e.sample.first;
    p->SetAltAnt(EGN_NOVALUE); // no conversion can be computed
    int beeps = 0;
    const std::string before = pointedit_test::describe(*p);
    EXPECT_FALSE(runCounting(
        e, p,
        [](Dialog& d) {
            d.selectPage(1);
            d.putCaret(IDC_NORTH, 3); // "4928312.000"
            d.keys(IDC_NORTH, "7");
            EXPECT_EQ(d.text(IDC_NORTH), "4928312.000");
            EXPECT_EQ(d.selectedText(IDC_NORTH), "4928312.000");
            d.keys(IDC_NORTH, "8"); // replaces the selection, refused again
            EXPECT_EQ(d.text(IDC_NORTH), "4928312.000");
            EXPECT_TRUE(d.enabled(IDOK));
            d.selectPage(0);
            d.putCaret(IDC_LAT_MIN, 1); // one field of three: that one is selected
            d.keys(IDC_LAT_MIN, "1");
            EXPECT_EQ(d.text(IDC_LAT_MIN), "29");
            EXPECT_EQ(d.selectedText(IDC_LAT_MIN), "29");
            EXPECT_EQ(d.focus(), IDC_LAT_MIN);
            // The page shown again is judged by the OK rule: its antenna height is missing.
            EXPECT_FALSE(d.enabled(IDOK));
            d.click(IDCANCEL);
        },
        &beeps));
    EXPECT_EQ(beeps, 3);
    EXPECT_EQ(pointedit_test::describe(*p), before);
}

TEST(PointDataEntry, a_key_in_the_empty_elevation_of_a_point_without_position_leaves_it_empty) {
    Editor e;
    CPunGps* p = e.sample.second; // no position, in the projected group
    int beeps = 0;
    runCounting(
        e, p,
        [](Dialog& d) {
            d.keys(IDC_ELEVATION, "5");
            EXPECT_EQ(d.text(IDC_ELEVATION), "");
            EXPECT_FALSE(d.enabled(IDOK)); // nothing of the position is there
            d.selectPage(1);               // the elevation as the working point holds it
            EXPECT_EQ(d.text(IDC_ELEVATION), "");
            d.click(IDCANCEL);
        },
        &beeps);
    EXPECT_EQ(beeps, 1);
    EXPECT_FALSE(IsEgnValueDefined(p->GetElev()));
}

TEST(PointDataEntry, every_required_field_counts_for_ok) {
    const struct {
        int page;
        std::vector<int> fields;
    } pages[] = {{0,
                  {IDC_ANTENNA_HEIGHT, IDC_LAT_DEG, IDC_LAT_MIN, IDC_LAT_SEC, IDC_LON_DEG,
                   IDC_LON_MIN, IDC_LON_SEC, IDC_ELEVATION}},
                 {1, {IDC_EAST, IDC_NORTH, IDC_HEIGHT}},
                 {2, {IDC_GEOC_X, IDC_GEOC_Y, IDC_GEOC_Z}}};
    for (const auto& page : pages) {
        for (int id : page.fields) {
            for (const char* bad : {"", "abc", "6x", "  "}) {
                Editor e;
                runCounting(e, e.sample.first, [&](Dialog& d) {
                    d.selectPage(page.page);
                    const std::string held = d.text(id);
                    d.setText(id, bad);
                    EXPECT_FALSE(d.enabled(IDOK)) << id << " '" << bad << "'";
                    d.setText(id, held);
                    EXPECT_TRUE(d.enabled(IDOK)) << id;
                    d.click(IDCANCEL);
                });
            }
        }
    }
}

TEST(PointDataEntry, a_text_that_is_not_a_number_is_marked_and_keeps_ok_disabled) {
    Editor e;
    CPunGps* p = e.sample.first;
    const std::string before = pointedit_test::describe(*p);
    EXPECT_FALSE(runCounting(e, p, [](Dialog& d) {
        d.setText(IDC_LAT_SEC, "abc");
        EXPECT_EQ(d.balloon(IDC_LAT_SEC).title, kTitle);
        EXPECT_EQ(d.balloon(IDC_LAT_SEC).text, "secondi da 0 a 59.99999");
        EXPECT_FALSE(d.enabled(IDOK));
        d.setText(IDC_LAT_SEC, " 42,5 "); // blanks around and a comma are fine
        EXPECT_FALSE(d.balloon(IDC_LAT_SEC).shown());
        EXPECT_TRUE(d.enabled(IDOK));
        d.setText(IDC_LAT_MIN, "6x");
        EXPECT_EQ(d.balloon(IDC_LAT_MIN).text, "minuti da 0 a 59");
        EXPECT_FALSE(d.enabled(IDOK));
        d.setText(IDC_LAT_MIN, "-61"); // sign aside, 60 or more
        EXPECT_FALSE(d.enabled(IDOK));
        d.setText(IDC_LAT_MIN, "59.99");
        EXPECT_FALSE(d.balloon(IDC_LAT_MIN).shown());
        EXPECT_TRUE(d.enabled(IDOK));
        d.setText(IDC_ELEVATION, "1.2.3");
        EXPECT_EQ(d.balloon(IDC_ELEVATION).text, "un numero, ad esempio 1234.567");
        EXPECT_FALSE(d.enabled(IDOK));
        d.setText(IDC_ELEVATION, "");
        EXPECT_FALSE(d.balloon(IDC_ELEVATION).shown()); // empty: OK closed, nothing to say
        EXPECT_FALSE(d.enabled(IDOK));
        d.setText(IDC_ELEVATION, "96");
        d.setText(IDC_PDOP, "x"); // not required, but never confirmed as something else
        EXPECT_TRUE(d.balloon(IDC_PDOP).shown());
        EXPECT_FALSE(d.enabled(IDOK));
        d.setText(IDC_PDOP, "");
        EXPECT_TRUE(d.enabled(IDOK));
        d.selectPage(3); // leaving and coming back shows the point again, unmarked
        d.selectPage(0);
        EXPECT_FALSE(d.balloon(IDC_LAT_SEC).shown());
        d.click(IDCANCEL);
    }));
    EXPECT_EQ(pointedit_test::describe(*p), before);
}

// A seeded person at every number field of a point-data page of a projected group, checked
// after every key; then OK, and the stored values are those the fields show.
TEST(PointDataEntry, a_random_person_never_sees_a_text_that_is_neither_typed_nor_held) {
    const struct {
        int page;
        std::vector<int> required;
    } pages[] = {{0,
                  {IDC_ANTENNA_HEIGHT, IDC_LAT_DEG, IDC_LAT_MIN, IDC_LAT_SEC, IDC_LON_DEG,
                   IDC_LON_MIN, IDC_LON_SEC, IDC_ELEVATION}},
                 {1, {IDC_EAST, IDC_NORTH, IDC_HEIGHT}},
                 {2, {IDC_GEOC_X, IDC_GEOC_Y, IDC_GEOC_Z}}};
    const std::vector<int> optional = {IDC_COV_XX, IDC_COV_XY, IDC_COV_XZ, IDC_COV_YY,
                                       IDC_COV_YZ, IDC_COV_ZZ, IDC_PDOP,   IDC_GDOP};
    const std::string keys = "0123456789012345678901234567890123456789-+.,. a";
    for (unsigned seed : {1u, 2u, 3u}) {
        for (const auto& page : pages) {
            SCOPED_TRACE("seed " + std::to_string(seed) + " page " + std::to_string(page.page));
            std::mt19937 random(seed * 31 + static_cast<unsigned>(page.page));
            std::vector<int> fields = page.required;
            fields.insert(fields.end(), optional.begin(), optional.end());
            Editor e;
            CPunGps* p = e.sample.first;
            std::map<int, std::string> shown;
            bool confirmed = runCounting(e, p, [&](Dialog& d) {
                d.selectPage(page.page);
                for (int step = 0; step < 300; ++step) {
                    int id = fields[random() % fields.size()];
                    const std::string before = d.text(id);
                    const int length = static_cast<int>(before.size()); // ASCII texts
                    auto [start, end] = d.textSelection(id);
                    std::string expected = before;
                    switch (random() % 8) {
                    case 0:
                        d.selectAll(id);
                        continue;
                    case 1: {
                        int at = static_cast<int>(random() % (length + 1));
                        d.putCaret(id, at);
                        continue;
                    }
                    case 2: {
                        int a = static_cast<int>(random() % (length + 1));
                        int b = static_cast<int>(random() % (length + 1));
                        d.selectText(id, a, b);
                        continue;
                    }
                    case 3:
                        if (start != end)
                            expected.erase(start, end - start);
                        else if (start > 0)
                            expected.erase(start - 1, 1);
                        d.backspace(id);
                        break;
                    case 4:
                        if (start != end)
                            expected.erase(start, end - start);
                        else if (start < length)
                            expected.erase(start, 1);
                        d.pressDelete(id);
                        break;
                    default: {
                        const char key = keys[random() % keys.size()];
                        expected.replace(start, end - start, 1, key);
                        d.keys(id, std::string(1, key));
                        break;
                    }
                    }
                    const std::string now = d.text(id);
                    if (now != expected) {
                        // Undone: the held value's text, whole, ready to be typed over.
                        EXPECT_TRUE(now.empty() || validText(id, now)) << id << " '" << now << "'";
                        EXPECT_EQ(d.selectedText(id), now) << id;
                    }
                    bool usable = true;
                    for (int r : page.required)
                        usable = usable && validText(r, d.text(r));
                    for (int o : optional)
                        usable = usable && (blank(d.text(o)) || validText(o, d.text(o)));
                    ASSERT_EQ(d.enabled(IDOK), usable)
                        << "step " << step << " field " << id << " '" << now << "'";
                    for (int f : fields)
                        EXPECT_EQ(d.balloon(f).shown(),
                                  !blank(d.text(f)) && !validText(f, d.text(f)))
                            << f << " '" << d.text(f) << "'";
                }
                // Make every field usable, then confirm.
                for (int f : page.required)
                    if (!validText(f, d.text(f))) d.setText(f, isMinutesOrSeconds(f) ? "7" : "45");
                for (int f : optional)
                    if (!blank(d.text(f)) && !validText(f, d.text(f))) d.setText(f, "1");
                for (int f :
                     {IDC_ANTENNA_HEIGHT, IDC_LAT_DEG, IDC_LAT_MIN, IDC_LAT_SEC, IDC_LON_DEG,
                      IDC_LON_MIN, IDC_LON_SEC, IDC_ELEVATION, IDC_EAST, IDC_NORTH, IDC_HEIGHT,
                      IDC_GEOC_X, IDC_GEOC_Y, IDC_GEOC_Z, IDC_PDOP, IDC_GDOP})
                    shown[f] = d.text(f);
                EXPECT_TRUE(d.enabled(IDOK));
                d.click(IDOK);
            });
            ASSERT_TRUE(confirmed);
            const double tolerance = 1e-6;
            if (page.page == 0) {
                EXPECT_NEAR(p->GetAltAnt(), readNumber(shown[IDC_ANTENNA_HEIGHT]), tolerance);
                EXPECT_NEAR(p->GetElev(), readNumber(shown[IDC_ELEVATION]), tolerance);
                auto angle = [&](int d, int m, int s) {
                    return AngRadiFromSesg(static_cast<int>(std::trunc(readNumber(shown[d]))),
                                           static_cast<int>(std::trunc(readNumber(shown[m]))),
                                           readNumber(shown[s]));
                };
                EXPECT_NEAR(p->GetLat(), angle(IDC_LAT_DEG, IDC_LAT_MIN, IDC_LAT_SEC), 1e-9);
                EXPECT_NEAR(p->GetLong(), angle(IDC_LON_DEG, IDC_LON_MIN, IDC_LON_SEC), 1e-9);
            } else if (page.page == 1) {
                EXPECT_NEAR(p->GetCoordX(), readNumber(shown[IDC_EAST]), tolerance);
                EXPECT_NEAR(p->GetCoordY(), readNumber(shown[IDC_NORTH]), tolerance);
                EXPECT_NEAR(p->GetCoordZ(), readNumber(shown[IDC_HEIGHT]), tolerance);
            } else {
                double gx = 0, gy = 0, gz = 0, px = 0, py = 0, pz = 0;
                e.sample.projected->GetGeocCeFaMis(gx, gy, gz);
                p->GetGeocCeFaMis(px, py, pz);
                EXPECT_NEAR(px - gx, readNumber(shown[IDC_GEOC_X]), 1e-3);
                EXPECT_NEAR(py - gy, readNumber(shown[IDC_GEOC_Y]), 1e-3);
                EXPECT_NEAR(pz - gz, readNumber(shown[IDC_GEOC_Z]), 1e-3);
            }
            if (!blank(shown[IDC_PDOP])) {
                EXPECT_NEAR(p->GetPdop(), static_cast<float>(readNumber(shown[IDC_PDOP])), 1e-3);
            }
        }
    }
}
