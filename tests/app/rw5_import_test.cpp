// gpsbook's import of RW5 raw files. The files here are written from the format's public
// description: comma-separated records, a record type then fields made of a letter code and a
// value; JB job (NM name, DT date, TM time), MO mode (AD azimuth direction, UN distance unit:
// 0 feet, 1 metres, 2 US survey feet, SF scale factor), LS line of sight (HI instrument
// height, HR rod height), BP base point and GPS position (PN name, LA latitude and LN
// longitude in dd.mmss, negative for south and west, EL ellipsoidal height), SP stored point;
// ",--" starts a record's note, a line starting with "--" is a note of its own. GPS heights
// are recorded at the antenna (phase centre or reference point), the rod height above the
// ground mark.
#include "core/AsciiImport.h"

#include "SmallBook.h"

#include <gtest/gtest.h>

using testsupport::degrees;

namespace {

constexpr double kMm = 0.0005;
const double kAngle = degrees(1e-5 / 3600.0);

double dms(int d, int m, double s) {
    return degrees(d + m / 60.0 + s / 3600.0);
}

std::string withLineEnds(std::string text, const std::string& end) {
    std::string out;
    for (char c : text)
        if (c == '\n')
            out += end;
        else
            out += c;
    return out;
}

} // namespace

// Metres, CR LF: EL is the antenna's height, kept as the point's elevation, and the rod
// height of the LS record before it is the antenna height; the ground is EL - HR.
TEST(Rw5Import, gps_elevation_is_the_antennas_and_the_rod_height_its_antenna_height) {
    const std::string text = withLineEnds("JB,NMcantiere,DT06-21-2023,TM10:00:00\n"
                                          "MO,AD0,UN1,SF1.00000000,EC0,EO0.0\n"
                                          "--GS,PN101,N 4928312.0000,E 686728.4567,EL46.1234\n"
                                          "LS,HR2.0000\n"
                                          "GPS,PN101,LA44.294212345600,LN-11.203012345600,"
                                          "EL95.1234,--Spigolo, nord\n"
                                          "SP,PN5,N 5000.0000,E 5000.0000,EL100.0000,--stazione\n"
                                          "LS,HI1.500,HR1.8000\n"
                                          "GPS,PN102,LA-0.000100000000,LN0.000000000000,EL-3.5\n",
                                          "\r\n");
    CLibGps book;
    gpsbook::ImportOutcome in = gpsbook::importRw5Text(text, book, "rilievo");
    ASSERT_EQ(in.error, "");
    ASSERT_EQ(in.points, 2u);
    EXPECT_EQ(in.groups, 1);
    EXPECT_EQ(in.note, "");
    const CPunGps* p = book.GetPunAt(in.group, 0);
    EXPECT_EQ(p->GetNome(), "101");
    EXPECT_EQ(p->GetCode(), "Spigolo, nord");
    EXPECT_NEAR(p->GetLat(), dms(44, 29, 42.1234560), kAngle);
    EXPECT_NEAR(p->GetLong(), -dms(11, 20, 30.1234560), kAngle);
    EXPECT_NEAR(p->GetElev(), 95.1234, kMm);
    EXPECT_NEAR(p->GetAltAnt(), 2.0, kMm);
    const CPunGps* q = book.GetPunAt(in.group, 1);
    EXPECT_NEAR(q->GetLat(), -degrees(1 / 3600.0), kAngle);
    EXPECT_NEAR(q->GetElev(), -3.5, kMm);
    EXPECT_NEAR(q->GetAltAnt(), 1.8, kMm); // the later LS record
}

// The MO record's unit applies to rod heights and elevations; CR CR LF line ends.
TEST(Rw5Import, the_mode_records_unit_applies_to_rod_heights_and_elevations) {
    struct Case {
        const char* unit;
        double metres; // of one unit
    };
    for (const Case& c : {Case{"0", 0.3048}, Case{"1", 1.0}, Case{"2", 1200.0 / 3937.0}}) {
        const std::string text =
            withLineEnds(std::string("MO,AD0,UN") + c.unit +
                             ",SF1.00000000\nLS,HR6.5617\nGPS,PN1,LA45.000000,LN9.000000,"
                             "EL328.0840\n",
                         "\r\r\n");
        CLibGps book;
        gpsbook::ImportOutcome in = gpsbook::importRw5Text(text, book, "x");
        ASSERT_EQ(in.error, "") << c.unit;
        ASSERT_EQ(in.points, 1u);
        EXPECT_NEAR(book.GetPunAt(0, 0)->GetAltAnt(), 6.5617 * c.metres, 1e-6) << c.unit;
        EXPECT_NEAR(book.GetPunAt(0, 0)->GetElev(), 328.0840 * c.metres, 1e-6) << c.unit;
    }
    CLibGps book;
    EXPECT_EQ(gpsbook::importRw5Text("MO,AD0,UN7\nGPS,PN1,LA45.0,LN9.0,EL1\n", book, "x").error,
              "Riga 1: unità di misura non valida: \"UN7\" (ammesse 0 piedi, 1 metri, 2 piedi "
              "US).");
    EXPECT_EQ(book.GetGrpArSize(), 0);
}

// BP records give the group its base station; a second base point starts a group of its own.
// Lone CR line ends.
TEST(Rw5Import, base_point_records_give_each_group_its_base_station) {
    const std::string text = withLineEnds("MO,AD0,UN1\n"
                                          "BP,PNBASE1,LA44.300000,LN11.200000,EL120.5,AG1.6500\n"
                                          "LS,HR2.000\n"
                                          "GPS,PN1,LA44.300100,LN11.200100,EL98.0\n"
                                          "BP,PNBASE1,LA44.300000,LN11.200000,EL120.5,AG1.6500\n"
                                          "GPS,PN2,LA44.300200,LN11.200200,EL99.0\n"
                                          "BP,PNBASE2,LA44.310000,LN11.210000,EL130.25\n"
                                          "GPS,PN3,LA44.310100,LN11.210100,EL97.0\n",
                                          "\r");
    CLibGps book;
    book.AddGrp("cantiere");
    gpsbook::ImportOutcome in = gpsbook::importRw5Text(text, book, "cantiere");
    ASSERT_EQ(in.error, "");
    EXPECT_EQ(in.points, 3u);
    ASSERT_EQ(in.groups, 2);
    ASSERT_EQ(book.GetGrpArSize(), 3);
    const CGrpGps* first = book.GetGrpAt(1);
    EXPECT_EQ(first->GetNomeGrp(), "cantiere (2)");
    EXPECT_EQ(first->GetNome(), "BASE1");
    EXPECT_NEAR(first->GetBaseLat(), dms(44, 30, 0), kAngle);
    EXPECT_NEAR(first->GetBaseLong(), dms(11, 20, 0), kAngle);
    EXPECT_NEAR(first->GetBaseElev(), 120.5, kMm);
    EXPECT_NEAR(first->GetBaseAltAnt(), 1.65, kMm);
    EXPECT_EQ(book.GetPunArSize(1), 2);
    const CGrpGps* second = book.GetGrpAt(2);
    EXPECT_EQ(second->GetNomeGrp(), "cantiere (3)");
    EXPECT_EQ(second->GetNome(), "BASE2");
    EXPECT_NEAR(second->GetBaseElev(), 130.25, kMm);
    EXPECT_EQ(book.GetPunArSize(2), 1);
    EXPECT_EQ(book.GetPunAt(2, 0)->GetNome(), "3");
}

// Some field programs write LA/LN in signed decimal degrees. A value whose minutes or seconds
// would be 60 or more shows it, and the whole file is then read so, never mixed.
TEST(Rw5Import, decimal_degree_files_are_read_as_such_for_the_whole_file) {
    const std::string text = "GPS,PN1,LA10.1620303000,LN-84.2500000000,EL10\n"
                             "GPS,PN2,LA10.1675000000,LN-84.2510000000,EL11\n";
    CLibGps book;
    gpsbook::ImportOutcome in = gpsbook::importRw5Text(text, book, "x");
    ASSERT_EQ(in.error, "");
    EXPECT_NEAR(book.GetPunAt(0, 0)->GetLat(), degrees(10.1620303), 1e-12);
    EXPECT_NEAR(book.GetPunAt(0, 0)->GetLong(), degrees(-84.25), 1e-12);
    EXPECT_NEAR(book.GetPunAt(0, 1)->GetLat(), degrees(10.1675), 1e-12);
    EXPECT_EQ(in.note, "LA e LN sono stati letti in gradi decimali per tutto il file: alla riga 2 "
                       "\"LA10.1675000000\" non può essere in gradi, primi e secondi (gg.ppss).");

    // Without such a value the file is dd.mmss, as the format says.
    CLibGps sexagesimal;
    in =
        gpsbook::importRw5Text("GPS,PN1,LA10.1620303000,LN-84.2500000000,EL10\n", sexagesimal, "x");
    ASSERT_EQ(in.error, "");
    EXPECT_EQ(in.note, "");
    EXPECT_NEAR(sexagesimal.GetPunAt(0, 0)->GetLat(), dms(10, 16, 20.303), kAngle);
}

TEST(Rw5Import, bad_records_name_their_line_and_the_real_reason_and_add_nothing) {
    const std::pair<const char*, const char*> cases[] = {
        {"GPS,PN1,LA1.0,LN1.000000,EL1\n", "Riga 1: valore non valido: \"LA1.0\"."},
        {"GPS,PN2,LA45.100000,EL1\n", "Riga 1: il record GPS deve avere PN, LA, LN ed EL."},
        {"GPS,PN2,LA45.100000,LN9.000000,EL1e308\n",
         "Riga 1: valore fuori intervallo: \"EL1e308\" (ammessi valori tra -1e15 e 1e15)."},
        {"GPS,PN2,LA45.100000,LN9.000000,EL1e250\n",
         "Riga 1: valore fuori intervallo: \"EL1e250\" (ammessi valori tra -1e15 e 1e15)."},
        {"\n--nota\nGPS,PN3,LA95.000000,LN9.000000,EL1\n",
         "Riga 3: valore fuori intervallo: \"LA95.000000\" (ammessi da -90° a 90°)."},
        {"GPS,PN3,LA45.000000,LN999.000000,EL1\n",
         "Riga 1: valore fuori intervallo: \"LN999.000000\" (ammessi da -360° a 360°)."},
        {"LS,HRdue\r\nGPS,PN1,LA45.0,LN9.0,EL1\r\n", "Riga 1: valore non valido: \"HRdue\"."},
        {"BP,PNB,LA45.000000,LN9.000000\nGPS,PN1,LA45.000000,LN9.000000,EL1\n",
         "Riga 1: il record BP deve avere PN, LA, LN ed EL."},
        {"JB,NMx\r\nSP,PN5,N 1,E 2,EL3\r\n",
         "Nessun punto importato: il file non ha record GPS (posizioni GPS)."},
        {"GPS,PN1,LA45.0\r\x01\n", "Riga 1: valore non valido: \"LA45.0\\r\\x01\"."},
        {"GPS,PN1,LA4\x01\x02,LN9.0,EL1\n", "Riga 1: valore non valido: \"LA4\\x01\\x02\"."},
    };
    for (const auto& [text, error] : cases) {
        CLibGps book;
        EXPECT_EQ(gpsbook::importRw5Text(text, book, "x").error, error) << text;
        EXPECT_EQ(book.GetGrpArSize(), 0);
    }
    // A byte-order mark does not hide the first record.
    CLibGps book;
    gpsbook::ImportOutcome in =
        gpsbook::importRw5Text("\xEF\xBB\xBFGPS,PN1,LA45.000000,LN9.000000,EL1\n", book, "x");
    ASSERT_EQ(in.error, "");
    EXPECT_EQ(in.points, 1u);
}
