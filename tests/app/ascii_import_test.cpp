// gpsbook's import: its own ASCII export read back with the same layout (every point to the
// millimetre, every angle to 1e-5 seconds), RW5 GPS records, bad lines reported by number
// with nothing added, and the formats gpsbook does not read yet.
#include "core/AsciiImport.h"

#include "SmallBook.h"
#include "TempSettings.h"

#include <gtest/gtest.h>

#include <fstream>

using gpsbook::AsciiLayout;
using testsupport::degrees;

namespace {

constexpr double kMm = 0.0005;
const double kAngle = degrees(1e-5 / 3600.0);

AsciiLayout wideLayout(int angles, int separator, bool quotes) {
    AsciiLayout l;
    l.angleFormat = angles;
    l.separator = separator;
    l.quotes = quotes;
    const int decimals = angles <= 2 ? 6 : 9; // enough for 1e-5 seconds in every format
    l.fields = {{12, 4}, {1, 0},  {3, decimals}, {0, 0},  {2, decimals}, {8, 4},  {4, 4},
                {11, 4}, {10, 4}, {17, 6},       {15, 2}, {19, 0},       {18, 0}, {13, 3}};
    return l;
}

// Points that try the writer: negative angles under one degree, undefined values, quotes.
void fill(CLibGps& book) {
    CGrpGps* group = book.AddGrp("Campagna");
    (void)group;
    const struct {
        const char* name;
        const char* code;
        double lat, lon, elev, ant, east, north, z;
    } points[] = {
        {"P1", "Spigolo \"A\"", degrees(44.4950123456789), degrees(11.3430987654321), 96.1234, 1.8,
         686728.4567, 4928312.0001, 94.3234},
        {"P2", "", degrees(-0.0001234567), degrees(-0.9999999999), -12.3456, 0.0, -0.0004, 0.0004,
         -1.25},
        {"P3", "Senza quote", degrees(45.9999999999), degrees(179.9999999), 5000.0, 2.5, 1.7e200,
         1.7e200, 1.7e200},
    };
    for (const auto& p : points) {
        CPunGps* point = book.AddPun(0);
        point->SetNome(p.name);
        point->SetCode(p.code);
        point->SetAltAnt(p.ant);
        point->SetGeo(p.lat, p.lon, p.elev);
        if (p.east < 1e199) point->SetCoordXY(p.east, p.north);
        if (p.z < 1e199) point->SetCoordZ(p.z);
        point->SetPdop(1.5);
        point->SetNote("nota di " + std::string(p.name));
        point->SetPosCov_xx(0.000123f);
        point->SetPosCov_zz(0.000456f);
    }
}

void expectSamePoints(const CLibGps& book, int a, int b) {
    ASSERT_EQ(book.GetPunArSize(a), book.GetPunArSize(b));
    for (int i = 0; i < book.GetPunArSize(a); ++i) {
        const CPunGps* x = book.GetPunAt(a, i);
        const CPunGps* y = book.GetPunAt(b, i);
        EXPECT_EQ(y->GetNome(), x->GetNome());
        EXPECT_EQ(y->GetCode(), x->GetCode());
        EXPECT_EQ(y->GetNote(), x->GetNote());
        EXPECT_NEAR(y->GetLat(), x->GetLat(), kAngle) << x->GetNome();
        EXPECT_NEAR(y->GetLong(), x->GetLong(), kAngle) << x->GetNome();
        EXPECT_NEAR(y->GetElev(), x->GetElev(), kMm);
        EXPECT_NEAR(y->GetAltAnt(), x->GetAltAnt(), kMm);
        EXPECT_NEAR(y->GetCoordX(), x->GetCoordX(), kMm);
        EXPECT_NEAR(y->GetCoordY(), x->GetCoordY(), kMm);
        EXPECT_NEAR(y->GetCoordZ(), x->GetCoordZ(), kMm);
        EXPECT_NEAR(y->GetPdop(), x->GetPdop(), 0.005);
        EXPECT_NEAR(y->GetPosCov_xx(), x->GetPosCov_xx(), 1e-6);
        EXPECT_NEAR(y->GetPosCov_zz(), x->GetPosCov_zz(), 1e-6);
    }
}

} // namespace

TEST(AsciiImport, reads_back_its_own_export_in_every_angle_format_separator_and_quoting) {
    for (int angles = 0; angles < 6; ++angles)
        for (int separator = 0; separator < 4; ++separator) {
            if (angles == 1 && separator == 2) continue; // refused by the export
            CLibGps book;
            fill(book);
            AsciiLayout l = wideLayout(angles, separator, true);
            std::string text;
            gpsbook::ExportOutcome out = gpsbook::asciiText(book, {0}, l, text);
            ASSERT_EQ(out.error, "");
            gpsbook::ImportOutcome in = gpsbook::importAsciiText(text, l, book, "Campagna");
            ASSERT_EQ(in.error, "") << angles << " " << separator;
            EXPECT_EQ(in.points, 3u);
            EXPECT_EQ(book.GetGrpAt(in.group)->GetNomeGrp(), "Campagna (2)");
            expectSamePoints(book, 0, in.group);
        }
}

TEST(AsciiImport, a_bad_line_is_reported_by_number_and_adds_nothing) {
    AsciiLayout l;
    l.fields = {{0, 0}, {2, 5}, {4, 3}};
    l.quotes = true;
    struct Case {
        const char* text;
        const char* error;
    };
    const Case cases[] = {
        {"\"A\",44\xC2\xB0"
         "29'42.00000\",95.000\r\n\"B\",44\xC2\xB0"
         "29'42.00000\"\r\n",
         "Riga 2: attesi 3 campi, trovati 2."},
        {"\"A\",44\xC2\xB0"
         "29'42.00000\",95.000\n\n\"B\",x,95.000\n",
         "Riga 3: il campo \"Latitudine Mis.\" non è un angolo nel formato scelto: \"x\"."},
        {"\"A,44,95\n", "Riga 1: virgolette non chiuse o testo dopo le virgolette."},
        {"\"A\",,9five\n", "Riga 1: il campo \"Elevazione Ant. Mis.\" non è un numero: \"9five\"."},
    };
    for (const Case& c : cases) {
        CLibGps book;
        gpsbook::ImportOutcome in = gpsbook::importAsciiText(c.text, l, book, "x");
        EXPECT_EQ(in.error, c.error);
        EXPECT_EQ(book.GetGrpArSize(), 0);
    }
}

TEST(AsciiImport, rw5_gps_records_become_points_with_the_rod_height) {
    const std::string text = "JB,NMcantiere,DT06-21-2023,TM10:00:00\r\n"
                             "MO,AD0,UN2,SF1.00000000\r\n"
                             "--commento del rilievo\r\n"
                             "LS,HR2.0000\r\n"
                             "GPS,PN101,LA44.294212345600,LN-11.203012345600,EL95.1234,--Spigolo, "
                             "nord\r\n"
                             "SP,PN5,N 5000.0000,E 5000.0000,EL100.0000,--punto di stazione\r\n"
                             "GPS,PN102,LA0.000100000000,LN0.000000000000,EL-3.5\r\n";
    CLibGps book;
    gpsbook::ImportOutcome in = gpsbook::importRw5Text(text, book, "rilievo");
    ASSERT_EQ(in.error, "");
    ASSERT_EQ(in.points, 2u);
    const CPunGps* p = book.GetPunAt(in.group, 0);
    EXPECT_EQ(p->GetNome(), "101");
    EXPECT_EQ(p->GetCode(), "Spigolo, nord");
    EXPECT_NEAR(p->GetLat(), degrees(44 + 29 / 60.0 + 42.1234560 / 3600.0), kAngle);
    EXPECT_NEAR(p->GetLong(), -degrees(11 + 20 / 60.0 + 30.1234560 / 3600.0), kAngle);
    EXPECT_NEAR(p->GetAltAnt(), 2.0, kMm);
    EXPECT_NEAR(p->GetElev(), 97.1234, kMm); // the antenna above the ground point
    EXPECT_NEAR(book.GetPunAt(in.group, 1)->GetLat(), degrees(1 / 3600.0), kAngle);

    CLibGps untouched;
    gpsbook::ImportOutcome bad = gpsbook::importRw5Text(
        "GPS,PN1,LA1.0,LN1.0,EL1\nGPS,PN2,LA45.1,LN1.000000,EL1\n", untouched, "x");
    EXPECT_EQ(bad.error, "Riga 1: valore non valido: \"LA1.0\".");
    bad = gpsbook::importRw5Text("GPS,PN2,LA45.100000,EL1\n", untouched, "x");
    EXPECT_EQ(bad.error, "Riga 1: il record GPS deve avere PN, LA, LN ed EL.");
    EXPECT_EQ(untouched.GetGrpArSize(), 0);
}

TEST(AsciiImport, formats_without_reader_say_so_and_change_nothing) {
    testsupport::TempSettings temp;
    const std::string path = (temp.dir() / "rilievo.prt").string();
    std::ofstream(path) << "qualcosa\n";
    for (int format : {1, 2, 5, 7, 8, 9, 10, 11}) {
        CLibGps book;
        gpsbook::ImportOutcome in = gpsbook::importFile(path, format, AsciiLayout{}, book);
        EXPECT_EQ(in.error, "Il formato \"" + gpsbook::importFormatLabel(format) +
                                "\" non è ancora supportato: nessun punto importato.");
        EXPECT_EQ(book.GetGrpArSize(), 0);
    }
    EXPECT_EQ(gpsbook::importFormatLabel(8), "Gart 2000"); // the code of row 10
    CLibGps book;
    gpsbook::ImportOutcome in =
        gpsbook::importFile((temp.dir() / "manca.rw5").string(), 12, AsciiLayout{}, book);
    EXPECT_NE(in.error.find("Impossibile leggere"), std::string::npos);
}
