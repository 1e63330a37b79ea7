// gpsbook's ASCII export: the layout read from "FILE ASCI", the six angle formats, the line of
// a point, the refusals, and a spreadsheet-style reader (Python's csv) reading the file back.
#include "core/AsciiExport.h"

#include "PythonPeer.h"
#include "SmallBook.h"
#include "TempSettings.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>

using gpsbook::AsciiLayout;
using testsupport::degrees;

namespace {

double fromDms(int d, int m, double s) {
    return degrees(d + m / 60.0 + s / 3600.0);
}

AsciiLayout layout(std::vector<AsciiLayout::Field> fields, int angles = 0, int separator = 0,
                   bool quotes = true) {
    AsciiLayout l;
    l.fields = std::move(fields);
    l.angleFormat = angles;
    l.separator = separator;
    l.quotes = quotes;
    return l;
}

} // namespace

TEST(AsciiExport, angles_in_each_of_the_six_formats) {
    struct Case {
        double radians;
        int format;
        int decimals;
        const char* text;
    };
    const double a = fromDms(44, 29, 42.123456);
    const Case cases[] = {
        {a, 0, 5,
         "44\xC2\xB0"
         "29'42.12346\""},
        {a, 1, 5, "44 29 42.12346"},
        {a, 2, 5, "44.294212346"},
        {a, 3, 9, "44.495034293"},
        {a, 4, 6, "49.438927"},
        {a, 5, 7, "44.297020576"},
        {-a, 0, 2,
         "-44\xC2\xB0"
         "29'42.12\""},
        {-degrees(0.5), 2, 0, "-0.3000"},
        // Rounding carries into the minutes and degrees: never a "60".
        {fromDms(10, 59, 59.9999996), 0, 5,
         "11\xC2\xB0"
         "00'00.00000\""},
        {fromDms(10, 59, 59.6), 1, 0, "11 00 00"},
        {fromDms(10, 59, 59.9999996), 5, 5, "11.0000000"},
        {1.7e200, 0, 5, ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(gpsbook::formatAngle(c.radians, c.format, c.decimals), c.text)
            << c.format << " " << c.decimals;
        if (*c.text == '\0') continue;
        double back = 0.0;
        ASSERT_TRUE(gpsbook::parseAngle(c.text, c.format, back)) << c.text;
        EXPECT_NEAR(back, c.radians, degrees(0.51 / 3600.0)) << c.text; // within the digits
    }
}

TEST(AsciiExport, malformed_angles_are_refused) {
    double r = 0.0;
    for (auto [text, format] : std::vector<std::pair<const char*, int>>{{"44\xC2\xB0"
                                                                         "60'00.0\"",
                                                                         0},
                                                                        {"44 29", 1},
                                                                        {"44.29", 2},
                                                                        {"44.2a42", 2},
                                                                        {"abc", 3},
                                                                        {"", 4},
                                                                        {"44.6", 5},
                                                                        {"44 29 61", 1},
                                                                        {"44\xC2\xB0"
                                                                         "29'42.1",
                                                                         0}})
        EXPECT_FALSE(gpsbook::parseAngle(text, format, r)) << text;
}

TEST(AsciiExport, the_layout_comes_from_the_settings_with_the_dialogs_defaults) {
    testsupport::TempSettings temp;
    AsciiLayout l = AsciiLayout::fromSettings(CIniFile(temp.pathString()));
    EXPECT_EQ(l.angleFormat, 0);
    EXPECT_EQ(l.separatorChar(), ',');
    EXPECT_TRUE(l.quotes);
    ASSERT_EQ(l.fields.size(), 15u);
    EXPECT_EQ(l.fields[5].id, 8);
    EXPECT_EQ(l.fields[5].decimals, 3);

    CIniFile ini(temp.pathString());
    ini.WriteLong("FILE ASCI", "NumCampi", 2000000000);
    ini.WriteLong("FILE ASCI", "Separator", 3);
    ini.WriteBool("FILE ASCI", "Apici", false);
    l = AsciiLayout::fromSettings(ini);
    EXPECT_EQ(l.fields.size(), 1000u);
    EXPECT_EQ(l.fields[999].id, 19);
    EXPECT_EQ(l.separatorChar(), '\t');
    EXPECT_FALSE(l.quotes);
}

TEST(AsciiExport, a_point_line_follows_fields_order_decimals_separator_and_quotes) {
    testsupport::SmallBook sample;
    sample.first->SetNote("Nota con \"virgolette\"");
    sample.first->SetPdop(1.23456);
    std::string error;
    AsciiLayout l = layout(
        {{0, 3}, {12, 2}, {11, 4}, {10, 1}, {8, 3}, {18, 0}, {15, 2}, {9, 3}, {2, 3}}, 3, 1, true);
    EXPECT_EQ(gpsbook::asciiLine(*sample.first, l, error),
              "\"101\";94.00;686728.4567;4928312.0;2.000;\"Nota con \"\"virgolette\"\"\";1.23;;"
              "44.495");
    EXPECT_EQ(error, "");
    // Values the point does not have are empty columns.
    EXPECT_EQ(
        gpsbook::asciiLine(*sample.second, layout({{0, 0}, {2, 5}, {12, 3}}, 0, 2, false), error),
        "PF12  ");
}

TEST(AsciiExport, what_the_columns_or_the_import_cannot_hold_is_refused_and_nothing_is_written) {
    testsupport::SmallBook sample;
    testsupport::TempSettings temp;
    const std::string path = (temp.dir() / "out.txt").string();
    std::ofstream(path) << "vecchio";
    // "Spigolo fabbricato" holds a blank: with the space separator it needs quotes.
    gpsbook::ExportOutcome outcome =
        gpsbook::exportAscii(path, sample.book, {0, 1}, layout({{0, 0}, {1, 0}}, 0, 2, false));
    EXPECT_EQ(outcome.error,
              "Esportazione non eseguita: il punto \"101\" ha un testo con il separatore o le "
              "virgolette: scegliere \"Apici nei nomi\" SI o un altro separatore.");
    EXPECT_EQ(outcome.lines, 0u);
    sample.second->SetNote("due\nrighe");
    outcome = gpsbook::exportAscii(path, sample.book, {0}, layout({{18, 0}}));
    EXPECT_NE(outcome.error.find("su più righe"), std::string::npos);
    outcome = gpsbook::exportAscii(path, sample.book, {0}, layout({{2, 5}}, 1, 2));
    EXPECT_NE(outcome.error.find("separatore Spazio"), std::string::npos);

    // A layout with no column, or only columns the field book never fills.
    outcome = gpsbook::exportAscii(path, sample.book, {0}, layout({}));
    EXPECT_EQ(outcome.error, "Esportazione non eseguita: il formato di esportazione non ha campi; "
                             "sceglierli con \"Formato esportazione…\".");
    outcome = gpsbook::exportAscii(path, sample.book, {0}, layout({{9, 0}, {19, 0}, {40, 0}}));
    EXPECT_EQ(outcome.error, "Esportazione non eseguita: nessuno dei campi scelti è tenuto dal "
                             "libretto, le righe sarebbero vuote; sceglierne altri con \"Formato "
                             "esportazione…\".");
    EXPECT_EQ(outcome.lines, 0u);

    // Angles no field book holds are refused, not written as garbage.
    sample.second->SetLat(degrees(100.0));
    outcome = gpsbook::exportAscii(path, sample.book, {0}, layout({{0, 0}, {2, 5}}));
    EXPECT_EQ(outcome.error, "Esportazione non eseguita: il punto \"PF12\" ha una latitudine fuori "
                             "intervallo (100°; ammessi da -90° a 90°).");
    sample.second->SetLat(degrees(45.0));
    sample.second->SetLong(1e150);
    outcome = gpsbook::exportAscii(path, sample.book, {0}, layout({{0, 0}, {3, 5}}, 3));
    EXPECT_NE(outcome.error.find("ha una longitudine fuori intervallo"), std::string::npos);
    EXPECT_EQ(gpsbook::formatAngle(1e150, 0, 5), "");
    // So are lengths the ASCII import would not read back, up to the no-value marker.
    sample.second->SetCoordXY(-1e300, 2e15);
    outcome = gpsbook::exportAscii(path, sample.book, {0}, layout({{0, 0}, {10, 3}}));
    EXPECT_EQ(outcome.error, "Esportazione non eseguita: il punto \"PF12\" ha il campo \"Coord. "
                             "Nord\" fuori intervallo (2e+15; ammessi valori tra -1e15 e 1e15).");
    outcome = gpsbook::exportAscii(path, sample.book, {0}, layout({{0, 0}, {11, 3}}));
    EXPECT_NE(outcome.error.find("\"Coord. Est\" fuori intervallo (-1e+300;"), std::string::npos);
    std::string error;
    sample.second->SetCoordXY(1e15, 9e199);
    sample.second->SetCoordZ(-1e15);
    EXPECT_EQ(gpsbook::asciiLine(*sample.second, layout({{11, 0}, {10, 0}, {12, 0}}), error),
              "1e+15,,-1e+15");
    EXPECT_EQ(error, "");
    std::ifstream in(path);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "vecchio");
}

TEST(AsciiExport, standard_deviations_are_empty_for_a_point_without_covariance) {
    testsupport::SmallBook sample;
    const AsciiLayout l = layout({{0, 0}, {13, 3}, {14, 3}});
    std::string error;
    EXPECT_EQ(gpsbook::asciiLine(*sample.first, l, error), "\"101\",,");
    // A covariance of 1 cm² east-west only: 0.100 horizontal, 0 vertical at the equator.
    sample.first->SetGeo(0.0, 0.0, 10.0);
    sample.first->SetPosCov_yy(0.01f);
    EXPECT_EQ(gpsbook::asciiLine(*sample.first, l, error), "\"101\",0.100,0.000");
    EXPECT_EQ(error, "");
}

TEST(AsciiExport, pythons_csv_reader_finds_the_same_values_with_each_separator_and_quoting) {
    testsupport::SmallBook sample;
    testsupport::TempSettings temp;
    const char* const separators[] = {",", ";", " ", "\\t"};
    for (int separator = 0; separator < 4; ++separator) {
        for (bool quotes : {true, false}) {
            AsciiLayout l =
                layout({{0, 0}, {1, 0}, {2, 5}, {12, 3}, {11, 3}}, 2, separator, quotes);
            // Without quotes the texts must hold no blank, separator or quote.
            sample.first->SetCode(quotes ? "Spigolo; fabbricato, \"nord\"" : "Spigolo");
            sample.second->SetCode(quotes ? "Punto fiduciale" : "Fiduciale");
            const std::string path = (temp.dir() / "export.txt").string();
            gpsbook::ExportOutcome outcome = gpsbook::exportAscii(path, sample.book, {0, 1}, l);
            ASSERT_EQ(outcome.error, "");
            ASSERT_EQ(outcome.lines, 3u);
            int status = 0;
            const std::string out = testsupport::runPython(
                "import csv, sys\n"
                "sep = sys.argv[2].replace('\\\\t', '\\t')\n"
                "with open(sys.argv[1], newline='', encoding='utf-8') as f:\n"
                "    for row in csv.reader(f, delimiter=sep, quotechar='\"'):\n"
                "        print('|'.join(row))\n",
                testsupport::shellWord(path) + " " + testsupport::shellWord(separators[separator]),
                status);
            ASSERT_EQ(status, 0) << out;
            const std::string code = quotes ? "Spigolo; fabbricato, \"nord\"" : "Spigolo";
            EXPECT_EQ(out, "101|" + code +
                               "|44.294200000|94.000|686728.457\n"
                               "PF12|" +
                               (quotes ? "Punto fiduciale" : "Fiduciale") +
                               "|||\n"
                               "7|Picchetto||-1.250|123.457\n")
                << separator << quotes;
        }
    }
}

TEST(AsciiExport, a_read_only_file_is_not_replaced_and_the_export_says_why) {
    testsupport::SmallBook sample;
    testsupport::TempSettings temp;
    const std::string path = (temp.dir() / "out.txt").string();
    std::ofstream(path) << "vecchio";
    std::filesystem::permissions(path, std::filesystem::perms::owner_read |
                                           std::filesystem::perms::group_read);
    gpsbook::ExportOutcome outcome =
        gpsbook::exportAscii(path, sample.book, {0, 1}, layout({{0, 0}}));
    EXPECT_NE(outcome.error.find("il file è di sola lettura"), std::string::npos) << outcome.error;
    EXPECT_EQ(outcome.lines, 0u);
    std::ifstream in(path);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "vecchio");
}
