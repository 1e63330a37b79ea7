// gpsbook's import of its own ASCII export: read back with the same layout (every point to the
// millimetre, every angle to 1e-5 seconds); bad lines and values the field book cannot hold
// reported by number with nothing added; the text's encoding and line ends; the file itself
// (only a regular file of bounded size) and the formats gpsbook does not read yet.
#include "core/AsciiImport.h"

#include "SmallBook.h"
#include "TempSettings.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <filesystem>
#include <fstream>

#include <sys/stat.h>

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
         "Riga 2: attesi 3 campi separati da virgola (Nome, Latitudine Mis., Elevazione Ant. "
         "Mis.), trovati 2: il file non corrisponde al formato di esportazione scelto."},
        {"\"A\",44\xC2\xB0"
         "29'42.00000\",95.000\n\n\"B\",x,95.000\n",
         "Riga 3: il campo \"Latitudine Mis.\" non è un angolo nel formato scelto: \"x\"."},
        {"\"A,44,95\n", "Riga 1: virgolette non chiuse o testo dopo le virgolette."},
        {"\"A\",,9five\n", "Riga 1: il campo \"Elevazione Ant. Mis.\" non è un numero: \"9five\"."},
        // Values a field book cannot hold, which it would refuse to open once saved.
        {"\"A\",100\xC2\xB0"
         "00'00.00000\",1\n",
         "Riga 1: il campo \"Latitudine Mis.\" è fuori intervallo (ammessi da -90° a 90°): "
         "\"100°00'00.00000\"\"."},
        {"\"A\",,1e250\n", "Riga 1: il campo \"Elevazione Ant. Mis.\" è fuori intervallo "
                           "(ammessi valori tra -1e15 e 1e15): \"1e250\"."},
        {"\"A\",,1e308\n", "Riga 1: il campo \"Elevazione Ant. Mis.\" è fuori intervallo "
                           "(ammessi valori tra -1e15 e 1e15): \"1e308\"."},
    };
    for (const Case& c : cases) {
        CLibGps book;
        gpsbook::ImportOutcome in = gpsbook::importAsciiText(c.text, l, book, "x");
        EXPECT_EQ(in.error, c.error);
        EXPECT_EQ(book.GetGrpArSize(), 0);
    }

    // Decimal degrees: a latitude of 1e150 degrees, a longitude past a full turn.
    AsciiLayout decimal;
    decimal.angleFormat = 3;
    decimal.fields = {{0, 0}, {2, 9}, {3, 9}};
    const std::pair<const char*, const char*> angles[] = {
        {"\"A\",1e150,0\n", "Riga 1: il campo \"Latitudine Mis.\" è fuori intervallo (ammessi da "
                            "-90° a 90°): \"1e150\"."},
        {"\"A\",45,10\n\"B\",45,400\n", "Riga 2: il campo \"Longitudine Mis.\" è fuori "
                                        "intervallo (ammessi da -360° a 360°): \"400\"."},
    };
    for (const auto& [text, error] : angles) {
        CLibGps book;
        EXPECT_EQ(gpsbook::importAsciiText(text, decimal, book, "x").error, error);
        EXPECT_EQ(book.GetGrpArSize(), 0);
    }
}

TEST(AsciiImport, covariance_terms_are_all_six_or_none_and_within_single_precision) {
    AsciiLayout l;
    l.fields = {{0, 0}, {17, 6}};
    CLibGps book;
    gpsbook::ImportOutcome in = gpsbook::importAsciiText(
        "\"A\",,,,,,\n\"B\",1e-4,0,0,2e-4,0,3e-4\n\"C\",3.4028235e38,0,0,0,0,0\n", l, book, "x");
    ASSERT_EQ(in.error, "");
    const CPunGps* a = book.GetPunAt(in.group, 0);
    const CPunGps* b = book.GetPunAt(in.group, 1);
    EXPECT_EQ(a->GetPosCov_xx(), 0.0f); // no covariance: all six 0
    EXPECT_EQ(a->GetPosCov_zz(), 0.0f);
    EXPECT_EQ(b->GetPosCov_xx(), 1e-4f);
    EXPECT_EQ(b->GetPosCov_zz(), 3e-4f);
    EXPECT_EQ(book.GetPunAt(in.group, 2)->GetPosCov_xx(), FLT_MAX); // the largest float's text

    const std::pair<const char*, const char*> bad[] = {
        {"\"A\",1e-4,,0,0,0,0\n", "Riga 1: il campo \"Matrice Covarianza\" ha termini vuoti: "
                                  "servono tutti e sei i termini o nessuno."},
        {"\"A\",1e300,0,0,0,0,0\n",
         "Riga 1: il campo \"Matrice Covarianza\" è fuori intervallo (ammessi valori tra -3.4e38 e "
         "3.4e38): \"1e300\"."},
        {"\"A\",0,0,0,0,0,-1e39\n",
         "Riga 1: il campo \"Matrice Covarianza\" è fuori intervallo (ammessi valori tra -3.4e38 e "
         "3.4e38): \"-1e39\"."},
    };
    for (const auto& [text, error] : bad) {
        CLibGps untouched;
        EXPECT_EQ(gpsbook::importAsciiText(text, l, untouched, "x").error, error);
        EXPECT_EQ(untouched.GetGrpArSize(), 0);
    }
}

TEST(AsciiImport, encodings_and_line_ends_are_read_or_refused_by_name) {
    AsciiLayout l;
    l.fields = {{0, 0}, {1, 0}};
    // A byte-order mark is not part of the first name; lone CR and CR CR LF end lines.
    for (const char* text :
         {"\xEF\xBB\xBF\"P1\",\"a\"\r\n\"P2\",\"b\"\r\n", "\"P1\",\"a\"\r\"P2\",\"b\"\r",
          "\"P1\",\"a\"\r\r\n\"P2\",\"b\"\r\r\n"}) {
        CLibGps book;
        gpsbook::ImportOutcome in = gpsbook::importAsciiText(text, l, book, "x");
        ASSERT_EQ(in.error, "");
        EXPECT_EQ(in.note, "");
        ASSERT_EQ(in.points, 2u);
        EXPECT_EQ(book.GetPunAt(0, 0)->GetNome(), "P1");
        EXPECT_EQ(book.GetPunAt(0, 1)->GetCode(), "b");
    }
    // Latin-1 text becomes UTF-8 before anything is added, and the note says so.
    CLibGps book;
    gpsbook::ImportOutcome in =
        gpsbook::importAsciiText("\"Localit\xE0\",\"Perch\xE9 \x80\"\n", l, book, "x");
    ASSERT_EQ(in.error, "");
    EXPECT_EQ(book.GetPunAt(0, 0)->GetNome(), "Località");
    EXPECT_EQ(book.GetPunAt(0, 0)->GetCode(), "Perché \xEF\xBF\xBD");
    EXPECT_EQ(in.note,
              "Il file non è in UTF-8: i testi sono stati letti come Latin-1 (ISO "
              "8859-1); i caratteri senza corrispondenza sono diventati \"\xEF\xBF\xBD\".");
    // UTF-16, with or without its mark, is refused by name.
    const std::string utf16le("\xFF\xFE\"\0P\0\"\0", 8), bare("\"\0P\0\"\0,\0\"\0a\0\"\0", 14);
    for (const std::string& text : {utf16le, bare}) {
        CLibGps untouched;
        EXPECT_EQ(gpsbook::importAsciiText(text, l, untouched, "x").error,
                  "Nessun punto importato: il file è in UTF-16: salvarlo in UTF-8 (o Latin-1) e "
                  "importarlo di nuovo.");
        EXPECT_EQ(untouched.GetGrpArSize(), 0);
    }
}

TEST(AsciiImport, messages_quote_a_short_excerpt_in_valid_utf8_with_escapes) {
    AsciiLayout l;
    l.fields = {{0, 0}, {4, 3}};
    std::string huge = "\"A\",\x01\t\xFF";
    huge += std::string(20 << 20 >> 4, '9'); // a field of over a megabyte
    huge += "x\n";
    CLibGps book;
    gpsbook::ImportOutcome in = gpsbook::importAsciiText(huge, l, book, "x");
    EXPECT_EQ(in.error, "Riga 1: il campo \"Elevazione Ant. Mis.\" non è un numero: "
                        "\"\\x01\\tÿ9999999999999999999999999999999999999…\".");
}

TEST(AsciiImport, a_file_without_points_adds_no_group_and_says_why) {
    AsciiLayout l;
    l.fields = {{0, 0}};
    const std::pair<const char*, const char*> cases[] = {
        {"", "Nessun punto importato: il file è vuoto."},
        {"\xEF\xBB\xBF", "Nessun punto importato: il file è vuoto."},
        {"\r\n  \r\n\t\n", "Nessun punto importato: il file ha solo righe vuote."},
    };
    for (const auto& [text, error] : cases) {
        CLibGps book;
        gpsbook::ImportOutcome in = gpsbook::importAsciiText(text, l, book, "x");
        EXPECT_EQ(in.error, error);
        EXPECT_EQ(book.GetGrpArSize(), 0);
    }
}

TEST(AsciiImport, only_regular_files_of_bounded_size_are_read_and_the_group_takes_the_name) {
    testsupport::TempSettings temp;
    AsciiLayout l;
    l.fields = {{0, 0}};
    CLibGps book;
    auto error = [&](const std::string& path) {
        return gpsbook::importOwnAsciiFile(path, l, book).error;
    };
    const std::string fifo = (temp.dir() / "coda").string();
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_EQ(error(fifo), "Impossibile importare il file \"" + fifo +
                               "\": non è un file ordinario (è un dispositivo, una pipe o un "
                               "socket).");
    EXPECT_EQ(error("/dev/zero"), "Impossibile importare il file \"/dev/zero\": non è un file "
                                  "ordinario (è un dispositivo, una pipe o un socket).");
    const std::string large = (temp.dir() / "grande.txt").string();
    std::filesystem::resize_file((std::ofstream(large), large), (16u << 20) + 1);
    EXPECT_EQ(error(large), "Impossibile importare il file \"" + large +
                                "\": il file supera 16 MB, il limite dei file importati.");
    EXPECT_EQ(error(temp.dir().string()), "Impossibile importare il file \"" + temp.dir().string() +
                                              "\": è una cartella, non un file.");
    EXPECT_EQ(book.GetGrpArSize(), 0);

    // A file name in Latin-1 gives a group name in UTF-8.
    const std::string latin1 = (temp.dir() / "Localit\xE0.txt").string();
    std::ofstream(latin1) << "\"P1\"\n";
    gpsbook::ImportOutcome in = gpsbook::importOwnAsciiFile(latin1, l, book);
    ASSERT_EQ(in.error, "");
    EXPECT_EQ(book.GetGrpAt(in.group)->GetNomeGrp(), "Località");
}

TEST(AsciiImport, formats_without_reader_say_so_and_change_nothing) {
    testsupport::TempSettings temp;
    const std::string path = (temp.dir() / "rilievo.prt").string();
    std::ofstream(path) << "qualcosa\n";
    for (int format : {1, 2, 5, 7, 8, 9, 10, 11}) {
        CLibGps book;
        gpsbook::ImportOutcome in = gpsbook::importFile(path, format, book);
        EXPECT_EQ(in.error, "Il formato \"" + gpsbook::importFormatLabel(format) +
                                "\" non è ancora supportato: nessun punto importato.");
        EXPECT_EQ(book.GetGrpArSize(), 0);
    }
    EXPECT_EQ(gpsbook::importFormatLabel(8), "Gart 2000"); // the code of row 10
    // The *.TXT rows are not gpsbook's own files: the message says where those are read.
    CLibGps book;
    EXPECT_EQ(gpsbook::importFile(path, 4, book).error,
              "Il formato \"Trimble (*.TXT)\" non è ancora supportato: nessun punto importato. I "
              "file ASCII esportati da gpsbook si leggono con \"Importa ASCII di gpsbook…\" del "
              "menu File.");
    gpsbook::ImportOutcome in = gpsbook::importFile((temp.dir() / "manca.rw5").string(), 12, book);
    EXPECT_EQ(in.error, "Impossibile importare il file \"" + (temp.dir() / "manca.rw5").string() +
                            "\": il file non esiste.");
}
