// The field book file: every value of the sample survives load -> save -> load bit for bit,
// undefined values stay undefined, bad files are refused with a short message naming the file,
// a failed save leaves the destination as it was, and a killed save leaves no lasting litter.
#include "core/FieldBook.h"

#include "TempSettings.h"

#include "gpsdialogs/interfaces/ConvCoord.h"

#include <gtest/gtest.h>

#include <atomic>
#include <bit>
#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdint>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <limits>
#include <numbers>
#include <random>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using gpsbook::FieldBook;
using gpsbook::loadFieldBook;
using gpsbook::saveFieldBook;

namespace {

const std::string kSample = GPS_SOURCE_DIR "/examples/sample.gpsbook.json";

std::string readAll(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void writeAll(const std::filesystem::path& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
}

std::vector<std::string> filesIn(const std::filesystem::path& dir) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

#define EXPECT_SAME_DOUBLE(a, b, what)                                                             \
    EXPECT_EQ(std::bit_cast<std::uint64_t>(double(a)), std::bit_cast<std::uint64_t>(double(b)))    \
        << what << ": " << (a) << " vs " << (b)
#define EXPECT_SAME_FLOAT(a, b, what)                                                              \
    EXPECT_EQ(std::bit_cast<std::uint32_t>(float(a)), std::bit_cast<std::uint32_t>(float(b)))      \
        << what << ": " << (a) << " vs " << (b)

struct GisPlace {
    std::string theme;
    int entity = -1, part = -1, vertex = -1;
    bool operator==(const GisPlace&) const = default;
};

GisPlace placeOf(gis::CLibGis& lib, const CEgn& element) {
    GisPlace place;
    gis::CEntVert* vertex = element.GetEntVert();
    if (vertex == nullptr) return place;
    gis::CEnt* ent = gis::CLibGis::GetEnt(vertex);
    gis::CTheme* theme = gis::CLibGis::GetTheme(ent);
    place.theme = theme->GetName().GetText();
    for (int i = 0; i < theme->GetNumEnts(); ++i)
        if (theme->GetEntAt(i) == ent) place.entity = i;
    lib.FindEntVertIndex(ent, vertex, place.part, place.vertex);
    return place;
}

void expectSameElement(FieldBook& a, FieldBook& b, const CEgn& x, const CEgn& y,
                       const std::string& what) {
    EXPECT_EQ(x.GetNome(), y.GetNome()) << what;
    EXPECT_EQ(x.GetSecScri(), y.GetSecScri()) << what;
    EXPECT_EQ(x.GetNote(), y.GetNote()) << what;
    EXPECT_EQ(x.GetAttribDis(), y.GetAttribDis()) << what;
    EXPECT_SAME_DOUBLE(x.GetCoordX(), y.GetCoordX(), what + " X");
    EXPECT_SAME_DOUBLE(x.GetCoordY(), y.GetCoordY(), what + " Y");
    EXPECT_SAME_DOUBLE(x.GetCoordZ(), y.GetCoordZ(), what + " Z");
    EXPECT_EQ(x.GetCodeMask(), y.GetCodeMask()) << what;
    double e[6], f[6];
    x.GetDatiErrStat(e[0], e[1], e[2], e[3], e[4], e[5]);
    y.GetDatiErrStat(f[0], f[1], f[2], f[3], f[4], f[5]);
    for (int i = 0; i < 6; ++i)
        EXPECT_SAME_DOUBLE(e[i], f[i], what + " error " + std::to_string(i));
    EXPECT_EQ(placeOf(a.gis, x), placeOf(b.gis, y)) << what;
}

void expectSameBook(FieldBook& a, FieldBook& b) {
    EXPECT_EQ(a.context.m_Rig.GetLblNome2(), b.context.m_Rig.GetLblNome2());
    ASSERT_EQ(a.book.m_OpzListDisEgn.GetNuOpzCom(), b.book.m_OpzListDisEgn.GetNuOpzCom());
    for (int i = 0; i < a.book.m_OpzListDisEgn.GetNuOpzCom(); ++i)
        EXPECT_EQ(a.book.m_OpzListDisEgn.GetOpzCom(i)->GetNomeOpz(),
                  b.book.m_OpzListDisEgn.GetOpzCom(i)->GetNomeOpz());

    ASSERT_EQ(a.book.GetGrpArSize(), b.book.GetGrpArSize());
    for (int g = 0; g < a.book.GetGrpArSize(); ++g) {
        const CGrpGps& x = *a.book.GetGrpAt(g);
        const CGrpGps& y = *b.book.GetGrpAt(g);
        const std::string what = "group " + x.GetNomeGrp();
        EXPECT_EQ(x.GetNomeGrp(), y.GetNomeGrp());
        expectSameElement(a, b, x, y, what);
        EXPECT_EQ(x.GetProjection(), y.GetProjection()) << what;
        EXPECT_EQ(x.IsCdElabValid(), y.IsCdElabValid()) << what;
        EXPECT_SAME_DOUBLE(x.GetUndulation(), y.GetUndulation(), what);
        EXPECT_EQ(x.GetTargetDrawing(), y.GetTargetDrawing()) << what;
        EXPECT_EQ(a.drawings.IsDrawingLocked(x.GetTargetDrawing()),
                  b.drawings.IsDrawingLocked(y.GetTargetDrawing()))
            << what;
        double gx[3], gy[3];
        x.GetGeocCeFaMis(gx[0], gx[1], gx[2]);
        y.GetGeocCeFaMis(gy[0], gy[1], gy[2]);
        for (int i = 0; i < 3; ++i)
            EXPECT_SAME_DOUBLE(gx[i], gy[i], what + " geocentric");
        EXPECT_SAME_DOUBLE(x.GetBaseLat(), y.GetBaseLat(), what);
        EXPECT_SAME_DOUBLE(x.GetBaseLong(), y.GetBaseLong(), what);
        EXPECT_SAME_DOUBLE(x.GetBaseElev(), y.GetBaseElev(), what);
        EXPECT_SAME_DOUBLE(x.GetBaseAltAnt(), y.GetBaseAltAnt(), what);
        EXPECT_EQ(x.GetTipoRicevitore(), y.GetTipoRicevitore()) << what;
        EXPECT_EQ(x.GetTipoRilievo(), y.GetTipoRilievo()) << what;
        EXPECT_EQ(x.GetBaseEurefCode(), y.GetBaseEurefCode()) << what;
        EXPECT_SAME_DOUBLE(x.m_dPdop, y.m_dPdop, what);
        EXPECT_SAME_DOUBLE(x.m_dGdop, y.m_dGdop, what);

        ASSERT_EQ(x.GetPunCount(), y.GetPunCount()) << what;
        for (int p = 0; p < x.GetPunCount(); ++p) {
            const CPunGps& s = *x.GetPunAt(p);
            const CPunGps& t = *y.GetPunAt(p);
            const std::string at = what + " point " + s.GetNome();
            expectSameElement(a, b, s, t, at);
            EXPECT_SAME_DOUBLE(s.GetLat(), t.GetLat(), at);
            EXPECT_SAME_DOUBLE(s.GetLong(), t.GetLong(), at);
            EXPECT_SAME_DOUBLE(s.GetElev(), t.GetElev(), at);
            EXPECT_SAME_DOUBLE(s.GetAltAnt(), t.GetAltAnt(), at);
            double sx[3], tx[3];
            s.GetGeocCeFaMis(sx[0], sx[1], sx[2]);
            t.GetGeocCeFaMis(tx[0], tx[1], tx[2]);
            for (int i = 0; i < 3; ++i)
                EXPECT_SAME_DOUBLE(sx[i], tx[i], at + " geocentric");
            EXPECT_SAME_DOUBLE(s.GetPdop(), t.GetPdop(), at);
            EXPECT_SAME_DOUBLE(s.GetGdop(), t.GetGdop(), at);
            EXPECT_SAME_FLOAT(s.GetPosCov_xx(), t.GetPosCov_xx(), at);
            EXPECT_SAME_FLOAT(s.GetPosCov_xy(), t.GetPosCov_xy(), at);
            EXPECT_SAME_FLOAT(s.GetPosCov_xz(), t.GetPosCov_xz(), at);
            EXPECT_SAME_FLOAT(s.GetPosCov_yy(), t.GetPosCov_yy(), at);
            EXPECT_SAME_FLOAT(s.GetPosCov_yz(), t.GetPosCov_yz(), at);
            EXPECT_SAME_FLOAT(s.GetPosCov_zz(), t.GetPosCov_zz(), at);
            EXPECT_EQ(s.IsPointVrs(), t.IsPointVrs()) << at;
            EXPECT_EQ(s.m_pGrp == &x, t.m_pGrp == &y) << at;
        }
    }

    ASSERT_EQ(a.gis.GetNumThemes(), b.gis.GetNumThemes());
    for (int t = 0; t < a.gis.GetNumThemes(); ++t) {
        gis::CTheme* x = a.gis.GetTheme(t);
        gis::CTheme* y = b.gis.GetTheme(t);
        EXPECT_EQ(x->GetName(), y->GetName());
        EXPECT_EQ(x->GetEntType(), y->GetEntType());
        gis::CDBTable* tx = a.gis.GetTable(x);
        gis::CDBTable* ty = b.gis.GetTable(y);
        ASSERT_EQ(a.gis.GetNumFields(tx), b.gis.GetNumFields(ty));
        for (int f = 0; f < a.gis.GetNumFields(tx); ++f) {
            EXPECT_EQ(gis::CLibGis::GetFieldName(a.gis.GetField(tx, f)),
                      gis::CLibGis::GetFieldName(b.gis.GetField(ty, f)));
            EXPECT_EQ(gis::CLibGis::GetFieldDataType(a.gis.GetField(tx, f)),
                      gis::CLibGis::GetFieldDataType(b.gis.GetField(ty, f)));
            EXPECT_EQ(a.gis.GetFieldType(a.gis.GetField(tx, f)),
                      b.gis.GetFieldType(b.gis.GetField(ty, f)));
        }
        ASSERT_EQ(x->GetNumEnts(), y->GetNumEnts());
        for (int e = 0; e < x->GetNumEnts(); ++e) {
            gis::CEnt* ex = x->GetEntAt(e);
            gis::CEnt* ey = y->GetEntAt(e);
            ASSERT_EQ(ex->GetNumParts(), ey->GetNumParts());
            for (int p = 0; p < ex->GetNumParts(); ++p) {
                gis::CEntPart* px = a.gis.GetEntPart(ex, p);
                gis::CEntPart* py = b.gis.GetEntPart(ey, p);
                ASSERT_EQ(px->GetNumVerts(), py->GetNumVerts());
                for (int v = 0; v < px->GetNumVerts(); ++v) {
                    const auto& cx = a.gis.GetEntVert(px, v)->GetCoord();
                    const auto& cy = b.gis.GetEntVert(py, v)->GetCoord();
                    EXPECT_SAME_DOUBLE(cx.x, cy.x, "vertex");
                    EXPECT_SAME_DOUBLE(cx.y, cy.y, "vertex");
                    EXPECT_SAME_DOUBLE(cx.z, cy.z, "vertex");
                }
            }
            for (int f = 0; f < a.gis.GetNumFields(tx); ++f) {
                kit::CPolyValue vx, vy;
                a.gis.GetRowValue(a.gis.GetRow(ex), f, vx);
                b.gis.GetRowValue(b.gis.GetRow(ey), f, vy);
                EXPECT_EQ(vx, vy) << "theme " << x->GetName().GetText() << " field " << f;
            }
        }
    }
}

class FieldBookFile : public ::testing::Test {
protected:
    testsupport::TempSettings temp;
    std::filesystem::path file(const std::string& name) const { return temp.dir() / name; }

    gpsbook::LoadResult loadText(const std::string& text, const std::string& name = "bad.json") {
        writeAll(file(name), text);
        return loadFieldBook(file(name).string());
    }
};

// A minimal valid document with one group and one point, where `point` replaces the point's
// members.
std::string bookWithPoint(const std::string& point) {
    return R"({"format": "gpsbook-field-book", "version": 1, "groups": [
        {"name": "G", "station": {"name": "B"}, "points": [)" +
           point + "]}]}";
}

} // namespace

TEST_F(FieldBookFile, sample_survives_load_save_load_bit_for_bit) {
    gpsbook::LoadResult first = loadFieldBook(kSample);
    ASSERT_TRUE(first.ok()) << first.error;
    ASSERT_EQ(saveFieldBook(file("copy.json").string(), *first.fieldBook), "");
    gpsbook::LoadResult second = loadFieldBook(file("copy.json").string());
    ASSERT_TRUE(second.ok()) << second.error;
    expectSameBook(*first.fieldBook, *second.fieldBook);

    // Writing what was read back gives the same text again.
    ASSERT_EQ(saveFieldBook(file("copy2.json").string(), *second.fieldBook), "");
    EXPECT_EQ(readAll(file("copy.json")), readAll(file("copy2.json")));
    EXPECT_EQ(filesIn(temp.dir()), (std::vector<std::string>{"copy.json", "copy2.json"}));
}

TEST_F(FieldBookFile, sample_holds_what_a_real_field_book_holds) {
    gpsbook::LoadResult loaded = loadFieldBook(kSample);
    ASSERT_TRUE(loaded.ok()) << loaded.error;
    const CLibGps& book = loaded.fieldBook->book;
    ASSERT_GE(book.GetGrpArSize(), 2);
    EXPECT_GE(book.m_OpzListDisEgn.GetNuOpzCom(), 3);

    int points = 0, projected = 0, unprojected = 0, vrs = 0, pfNames = 0, numericNames = 0;
    int withoutPlane = 0, withoutCovariance = 0, checkedPlane = 0;
    for (int g = 0; g < book.GetGrpArSize(); ++g) {
        const CGrpGps& group = *book.GetGrpAt(g);
        group.IsCdElabValid() ? ++projected : ++unprojected;
        for (int p = 0; p < group.GetPunCount(); ++p) {
            const CPunGps& point = *group.GetPunAt(p);
            ++points;
            if (point.IsPointVrs()) {
                ++vrs;
                EXPECT_NE(point.GetSecScri().find("[VRS]"), std::string::npos);
            }
            if (point.GetNome().rfind("PF", 0) == 0) ++pfNames;
            if (std::isdigit(static_cast<unsigned char>(point.GetNome()[0]))) ++numericNames;
            if (!IsEgnValueDefined(point.GetCoordX())) ++withoutPlane;
            if (point.GetPosCov_xx() == 0.0f && point.GetPosCov_zz() == 0.0f) ++withoutCovariance;
            // Plane coordinates come from the group's own converter, and the survey stays
            // within a few kilometres of its base station.
            if (group.IsCdElabValid() && IsEgnValueDefined(point.GetCoordX())) {
                double x = 0, y = 0, z = 0;
                ASSERT_TRUE(group.GetConvCoord()->GrafGpsToPlanAtt(
                    point.GetLat(), point.GetLong(), point.GetElev(), point.GetAltAnt(), x, y, z));
                EXPECT_NEAR(point.GetCoordX(), x, 1e-6) << point.GetNome();
                EXPECT_NEAR(point.GetCoordY(), y, 1e-6) << point.GetNome();
                EXPECT_NEAR(point.GetCoordZ(), z, 1e-6) << point.GetNome();
                EXPECT_LT(std::hypot(x - group.GetCoordX(), y - group.GetCoordY()), 5000.0);
                ++checkedPlane;
            }
        }
    }
    EXPECT_GE(points, 20);
    EXPECT_GE(projected, 1);
    EXPECT_GE(unprojected, 1);
    EXPECT_EQ(vrs, 1);
    EXPECT_GE(pfNames, 2);
    EXPECT_GE(numericNames, 5);
    EXPECT_GE(withoutPlane, 1);
    EXPECT_GE(withoutCovariance, 1);
    EXPECT_GE(checkedPlane, 5);
    EXPECT_EQ(book.GetGrpAt(0)->GetProjection(), "EPSG:6707");
    // RDN2008 / UTM zone 32N around Bologna.
    EXPECT_NEAR(book.GetGrpAt(0)->GetCoordX(), 685000.0, 3000.0);
    EXPECT_NEAR(book.GetGrpAt(0)->GetCoordY(), 4929000.0, 3000.0);
}

TEST_F(FieldBookFile, sample_links_points_to_point_themes_and_to_a_line) {
    gpsbook::LoadResult loaded = loadFieldBook(kSample);
    ASSERT_TRUE(loaded.ok()) << loaded.error;
    gis::CLibGis& lib = loaded.fieldBook->gis;
    int pointThemes = 0, otherThemes = 0, dateFields = 0;
    for (int t = 0; t < lib.GetNumThemes(); ++t) {
        gis::CTheme* theme = lib.GetTheme(t);
        gis::CLibGis::GetEntType(theme) == gis::ENT_TYPE_POINT ? ++pointThemes : ++otherThemes;
        gis::CDBTable* table = lib.GetTable(theme);
        for (int f = 0; f < lib.GetNumFields(table); ++f)
            if (gis::CLibGis::GetFieldDataType(lib.GetField(table, f)) == gis::FieldDataType::Date)
                ++dateFields;
    }
    EXPECT_GE(pointThemes, 2);
    EXPECT_GE(otherThemes, 1);
    EXPECT_GE(dateFields, 2);
    // Points 101 to 103 are the vertices of one kerb line.
    const CGrpGps& group = *loaded.fieldBook->book.GetGrpAt(0);
    for (int p = 0; p < group.GetPunCount(); ++p) {
        const CPunGps& point = *group.GetPunAt(p);
        if (point.GetNome() == "101" || point.GetNome() == "103") {
            EXPECT_EQ(lib.GetThemeName(point.GetEntVert()), kit::String("Cordoli"));
        }
        if (point.GetNome() == "104") {
            gis::CEnt* ent = gis::CLibGis::GetEnt(point.GetEntVert());
            kit::CPolyValue inspected;
            ASSERT_TRUE(lib.GetRowValue(lib.GetRow(ent), 6, inspected));
            EXPECT_EQ(inspected, kit::CPolyValue(kit::Date{2024, 5, 17}));
        }
    }
}

TEST_F(FieldBookFile, a_book_of_the_first_version_still_reads) {
    gpsbook::LoadResult loaded = loadText(
        R"({"format": "gpsbook-field-book", "version": 1, "groups": [], "gisThemes": [
             {"name": "T", "entityType": 1, "fields": [{"name": "n", "type": "long"}],
              "entities": [{"parts": [[[1, 2, 3]]], "values": [7]}]}]})");
    ASSERT_TRUE(loaded.ok()) << loaded.error;
    ASSERT_EQ(saveFieldBook(file("new.json").string(), *loaded.fieldBook), "");
    const std::string text = readAll(file("new.json"));
    EXPECT_NE(text.find("\"version\": " + std::to_string(gpsbook::kFormatVersion)),
              std::string::npos);
    EXPECT_NE(text.find("\"values\": [\n            7\n"), std::string::npos) << text;
}

TEST_F(FieldBookFile, awkward_numbers_come_back_bit_for_bit) {
    const double doubles[] = {0.1,
                              1.0 / 3.0,
                              -0.0,
                              5e-324,
                              std::numeric_limits<double>::min(),
                              8.4999999999999e199,
                              -1e300,
                              std::numbers::pi / 2,
                              686123.0,
                              -123456789.123456789};
    const float floats[] = {1e-45f, -0.0f, 3.4028235e38f, 0.1f, 1.0f / 3.0f, -7.3e-6f};
    FieldBook fb;
    CGrpGps* group = fb.book.AddGrp("numbers");
    for (double v : doubles) {
        CPunGps* p = group->AddPun();
        p->SetNome("p");
        p->SetCoordXY(v, v);
        p->SetCoordZ(-v); // -(-1e300) is beyond the limit: it must come back undefined
        p->SetPdop(v);
    }
    CPunGps* c = group->AddPun();
    c->SetNome("cov");
    c->SetPosCov_xx(floats[0]);
    c->SetPosCov_xy(floats[1]);
    c->SetPosCov_xz(floats[2]);
    c->SetPosCov_yy(floats[3]);
    c->SetPosCov_yz(floats[4]);
    c->SetPosCov_zz(floats[5]);

    ASSERT_EQ(saveFieldBook(file("n.json").string(), fb), "");
    gpsbook::LoadResult back = loadFieldBook(file("n.json").string());
    ASSERT_TRUE(back.ok()) << back.error;
    const CGrpGps& g = *back.fieldBook->book.GetGrpAt(0);
    for (int i = 0; i < static_cast<int>(std::size(doubles)); ++i) {
        EXPECT_SAME_DOUBLE(g.GetPunAt(i)->GetCoordX(), doubles[i], "X");
        EXPECT_SAME_DOUBLE(g.GetPunAt(i)->GetCoordY(), doubles[i], "Y");
        EXPECT_SAME_DOUBLE(g.GetPunAt(i)->GetCoordZ(),
                           IsEgnValueDefined(-doubles[i]) ? -doubles[i] : EGN_NOVALUE, "Z");
        EXPECT_SAME_DOUBLE(g.GetPunAt(i)->GetPdop(), doubles[i], "PDOP");
    }
    const CPunGps& cov = *g.GetPunAt(static_cast<int>(std::size(doubles)));
    EXPECT_SAME_FLOAT(cov.GetPosCov_xx(), floats[0], "xx");
    EXPECT_SAME_FLOAT(cov.GetPosCov_xy(), floats[1], "xy");
    EXPECT_SAME_FLOAT(cov.GetPosCov_xz(), floats[2], "xz");
    EXPECT_SAME_FLOAT(cov.GetPosCov_yy(), floats[3], "yy");
    EXPECT_SAME_FLOAT(cov.GetPosCov_yz(), floats[4], "yz");
    EXPECT_SAME_FLOAT(cov.GetPosCov_zz(), floats[5], "zz");
    // Covariances are written in their shortest single-precision form.
    EXPECT_NE(readAll(file("n.json")).find("\"yy\": 0.1,"), std::string::npos);
}

TEST_F(FieldBookFile, undefined_values_are_written_null_and_read_as_the_marker) {
    FieldBook fb;
    CGrpGps* group = fb.book.AddGrp("G");
    CPunGps* p = group->AddPun();
    p->SetNome("u");
    p->SetGeo(0.7, 0.2, 9e199); // above the limit: undefined
    p->SetPdop(std::numeric_limits<double>::quiet_NaN());
    p->SetGdop(EGN_NOVALUE);
    p->SetCoordXY(1.5, EGN_NOVALUE);
    ASSERT_EQ(saveFieldBook(file("u.json").string(), fb), "");
    const std::string text = readAll(file("u.json"));
    EXPECT_NE(text.find("\"elevation\": null"), std::string::npos);
    EXPECT_NE(text.find("\"pdop\": null"), std::string::npos);
    EXPECT_NE(text.find("\"y\": null"), std::string::npos);
    EXPECT_EQ(text.find("e+199"), std::string::npos);

    gpsbook::LoadResult back = loadFieldBook(file("u.json").string());
    ASSERT_TRUE(back.ok()) << back.error;
    const CPunGps& q = *back.fieldBook->book.GetPunAt(0, 0);
    EXPECT_EQ(q.GetElev(), EGN_NOVALUE);
    EXPECT_EQ(q.GetPdop(), EGN_NOVALUE);
    EXPECT_EQ(q.GetGdop(), EGN_NOVALUE);
    EXPECT_EQ(q.GetCoordX(), 1.5);
    EXPECT_EQ(q.GetCoordY(), EGN_NOVALUE);
    EXPECT_EQ(q.GetCoordZ(), EGN_NOVALUE);
    EXPECT_EQ(q.GetAltAnt(), EGN_NOVALUE); // never set
}

TEST_F(FieldBookFile, members_left_out_take_the_values_of_a_new_point) {
    gpsbook::LoadResult loaded = loadText(bookWithPoint(R"({"name": "only a name"})"), "min.json");
    ASSERT_TRUE(loaded.ok()) << loaded.error;
    const CPunGps& p = *loaded.fieldBook->book.GetPunAt(0, 0);
    EXPECT_EQ(p.GetNome(), "only a name");
    EXPECT_EQ(p.GetSecScri(), "");
    EXPECT_EQ(p.GetLat(), EGN_NOVALUE);
    EXPECT_EQ(p.GetCoordZ(), EGN_NOVALUE);
    EXPECT_EQ(p.GetCodeMask(), 0u);
    EXPECT_EQ(p.GetPosCov_zz(), 0.0f);
    EXPECT_FALSE(p.IsPointVrs());
    EXPECT_FALSE(loaded.fieldBook->book.GetGrpAt(0)->IsCdElabValid());
}

TEST_F(FieldBookFile, the_vrs_member_decides_the_description_tag) {
    gpsbook::LoadResult loaded =
        loadText(bookWithPoint(R"({"name": "a", "description": "Appoggio", "vrs": true},
                         {"name": "b", "description": "Appoggio [VRS]", "vrs": false},
                         {"name": "c", "description": "Appoggio [VRS]"})"),
                 "vrs.json");
    ASSERT_TRUE(loaded.ok()) << loaded.error;
    const CLibGps& book = loaded.fieldBook->book;
    EXPECT_TRUE(book.GetPunAt(0, 0)->IsPointVrs());
    EXPECT_EQ(book.GetPunAt(0, 0)->GetSecScri(), "Appoggio [VRS]");
    EXPECT_FALSE(book.GetPunAt(0, 1)->IsPointVrs());
    EXPECT_EQ(book.GetPunAt(0, 1)->GetSecScri(), "Appoggio");
    EXPECT_TRUE(book.GetPunAt(0, 2)->IsPointVrs());
}

struct BadFile {
    const char* what;
    std::string text;
    std::vector<std::string> message; // each must appear in the error
};

TEST_F(FieldBookFile, bad_files_are_refused_with_a_message_naming_file_and_fault) {
    const std::vector<BadFile> cases = {
        {"JSON syntax",
         "{\"format\": \"gpsbook-field-book\",\n  \"version\": 1,\n  \"groups\": [ }\n",
         {"errore di sintassi JSON", "riga 3, colonna 15"}},
        {"empty", "  \n", {"vuoto"}},
        {"not an object", "[1, 2]", {"deve essere un oggetto", "un elenco"}},
        {"another format",
         R"({"format": "other", "version": 1, "groups": []})",
         {"non è un libretto GPS"}},
        {"newer version",
         R"({"format": "gpsbook-field-book", "version": 99, "groups": []})",
         {"versione 99"}},
        {"drawn point without plane",
         R"({"format": "gpsbook-field-book", "version": 3, "groups": [],
             "drawingPoints": [{"name": "D1"}]})",
         {"manca il campo obbligatorio \"drawingPoints[0].plane\""}},
        {"drawn point with an undefined height",
         R"({"format": "gpsbook-field-book", "version": 3, "groups": [],
             "drawingPoints": [{"name": "D1", "plane": {"x": 1, "y": 2, "z": null}}]})",
         {"\"drawingPoints[0].plane.z\" deve essere un numero", "null"}},
        {"drawn point far beyond any plane",
         R"({"format": "gpsbook-field-book", "version": 3, "groups": [],
             "drawingPoints": [{"name": "D1", "plane": {"x": 1e16, "y": 2, "z": 3}}]})",
         {"drawingPoints[0].plane.x"}},
        {"drawn points not a list",
         R"({"format": "gpsbook-field-book", "version": 3, "groups": [], "drawingPoints": {}})",
         {"\"drawingPoints\" deve essere un elenco"}},
        {"version as text",
         R"({"format": "gpsbook-field-book", "version": "1", "groups": []})",
         {"\"version\" deve essere un numero intero", "un testo"}},
        {"no groups",
         R"({"format": "gpsbook-field-book", "version": 1})",
         {"manca il campo obbligatorio \"groups\""}},
        {"group without station",
         R"({"format": "gpsbook-field-book", "version": 1, "groups": [{"name": "G"}]})",
         {"manca il campo obbligatorio \"groups[0].station\""}},
        {"point without name",
         bookWithPoint(R"({"description": "x"})"),
         {"manca il campo obbligatorio \"groups[0].points[0].name\""}},
        {"latitude as text",
         bookWithPoint(R"({"name": "p", "latitudeRad": "0.77"})"),
         {"\"groups[0].points[0].latitudeRad\" deve essere un numero o null", "un testo"}},
        {"latitude beyond the pole",
         bookWithPoint(R"({"name": "p", "latitudeRad": 1.6})"),
         {"fuori intervallo", "groups[0].points[0].latitudeRad"}},
        {"unknown code",
         bookWithPoint(R"({"name": "p", "codes": ["OR", "XX"]})"),
         {"groups[0].points[0].codes[1]", "XX"}},
        {"five error values",
         bookWithPoint(R"({"name": "p", "statErrors": [1, 2, 3, 4, 5]})"),
         {"groups[0].points[0].statErrors", "6 valori"}},
        {"covariance beyond a float",
         bookWithPoint(R"({"name": "p", "covariance": {"xx": 1e39}})"),
         {"groups[0].points[0].covariance.xx"}},
        {"vrs as number",
         bookWithPoint(R"({"name": "p", "vrs": 1})"),
         {"groups[0].points[0].vrs", "true o false"}},
        {"unknown system",
         R"({"format": "gpsbook-field-book", "version": 1, "groups": [{"name": "G",
             "projection": {"crs": "EPSG:999999"}, "station": {"name": "B"}}]})",
         {"groups[0].projection.crs", "EPSG:999999"}},
        {"negative drawing",
         R"({"format": "gpsbook-field-book", "version": 1, "groups": [{"name": "G",
             "drawing": -1, "station": {"name": "B"}}]})",
         {"groups[0].drawing"}},
        {"receiver type beyond a byte",
         R"({"format": "gpsbook-field-book", "version": 1, "groups": [{"name": "G",
             "station": {"name": "B", "receiverType": 300}}]})",
         {"groups[0].station.receiverType", "da 0 a 255"}},
        {"link to a missing theme",
         bookWithPoint(R"({"name": "p", "gis": {"theme": "T",
             "entity": 0, "part": 0, "vertex": 0}})"),
         {"groups[0].points[0].gis.theme", "\"T\""}},
        {"a day that does not exist",
         R"({"format": "gpsbook-field-book", "version": 2, "groups": [], "gisThemes": [
             {"name": "T", "entityType": 1, "fields": [{"name": "d", "type": "date"}],
              "entities": [{"parts": [], "values": ["2026-02-29"]}]}]})",
         {"gisThemes[0].entities[0].values[0]"}},
        {"value of the wrong kind",
         R"({"format": "gpsbook-field-book", "version": 1, "groups": [], "gisThemes": [
             {"name": "T", "entityType": 1, "fields": [{"name": "n", "type": "long"}],
              "entities": [{"parts": [], "values": ["abc"]}]}]})",
         {"gisThemes[0].entities[0].values[0]"}},
    };
    for (const BadFile& c : cases) {
        gpsbook::LoadResult result = loadText(c.text);
        EXPECT_FALSE(result.ok()) << c.what;
        EXPECT_EQ(result.fieldBook, nullptr) << c.what;
        EXPECT_NE(result.error.find(file("bad.json").string()), std::string::npos)
            << c.what << ": " << result.error;
        for (const std::string& part : c.message)
            EXPECT_NE(result.error.find(part), std::string::npos)
                << c.what << ": \"" << part << "\" not in: " << result.error;
    }
}

TEST_F(FieldBookFile, drawn_points_come_back_in_order_and_older_versions_are_read) {
    gpsbook::LoadResult loaded = loadText(
        R"({"format": "gpsbook-field-book", "version": 3, "groups": [], "drawingPoints": [
            {"name": "D2", "description": "Chiusino", "plane": {"x": 0.1, "y": -2, "z": 3.25}},
            {"name": "D1", "plane": {"x": 685021.317, "y": 4928893.604, "z": 63.118}}]})");
    ASSERT_TRUE(loaded.ok()) << loaded.error;
    const auto& drawn = loaded.fieldBook->drawingPoints;
    ASSERT_EQ(drawn.size(), 2u);
    EXPECT_EQ(drawn[0].name, "D2");
    EXPECT_EQ(drawn[0].description, "Chiusino");
    EXPECT_EQ(drawn[0].east, 0.1);
    EXPECT_EQ(drawn[0].north, -2.0);
    EXPECT_EQ(drawn[1].description, "");
    ASSERT_EQ(saveFieldBook(file("d.json").string(), *loaded.fieldBook), "");
    const std::string text = readAll(file("d.json"));
    EXPECT_NE(text.find("\"version\": 3"), std::string::npos);
    gpsbook::LoadResult back = loadFieldBook(file("d.json").string());
    ASSERT_TRUE(back.ok()) << back.error;
    ASSERT_EQ(back.fieldBook->drawingPoints.size(), 2u);
    EXPECT_EQ(back.fieldBook->drawingPoints[1].north, 4928893.604);
    EXPECT_EQ(back.fieldBook->drawingPoints[1].height, 63.118);

    for (int version : {1, 2}) {
        gpsbook::LoadResult older = loadText(R"({"format": "gpsbook-field-book", "version": )" +
                                             std::to_string(version) + R"(, "groups": []})");
        ASSERT_TRUE(older.ok()) << older.error;
        EXPECT_TRUE(older.fieldBook->drawingPoints.empty());
    }
}

TEST_F(FieldBookFile, a_fault_late_in_the_file_gives_no_book_at_all) {
    // The first group is fine; the second is not. Nothing of the first may come back.
    gpsbook::LoadResult result = loadText(
        R"({"format": "gpsbook-field-book", "version": 1, "groups": [
            {"name": "good", "station": {"name": "B"}, "points": [{"name": "1"}]},
            {"name": "bad", "station": {"name": "C"}, "points": [{"name": 2}]}]})");
    EXPECT_FALSE(result.ok());
    EXPECT_NE(result.error.find("groups[1].points[0].name"), std::string::npos) << result.error;
}

TEST_F(FieldBookFile, missing_file_and_folder_are_refused_by_name) {
    gpsbook::LoadResult missing = loadFieldBook(file("nothing.json").string());
    EXPECT_FALSE(missing.ok());
    EXPECT_NE(missing.error.find(file("nothing.json").string()), std::string::npos);
    EXPECT_NE(missing.error.find("non esiste"), std::string::npos);

    gpsbook::LoadResult folder = loadFieldBook(temp.dir().string());
    EXPECT_FALSE(folder.ok());
    EXPECT_NE(folder.error.find("cartella"), std::string::npos) << folder.error;
}

TEST_F(FieldBookFile, a_failed_save_leaves_the_destination_byte_for_byte) {
    const std::string before = "{ \"an\": \"older file\" }\n";
    writeAll(file("book.json"), before);

    FieldBook good;
    good.book.AddGrp("G");
    std::string error = saveFieldBook((temp.dir() / "no-such-folder" / "book.json").string(), good);
    EXPECT_NE(error.find("non esiste"), std::string::npos) << error;
    error = saveFieldBook(temp.dir().string(), good);
    EXPECT_NE(error.find("cartella"), std::string::npos) << error;
    EXPECT_EQ(filesIn(temp.dir()), std::vector<std::string>{"book.json"});

    if (::geteuid() != 0) { // permissions do not stop the superuser
        std::filesystem::permissions(temp.dir(), std::filesystem::perms::owner_read |
                                                     std::filesystem::perms::owner_exec);
        error = saveFieldBook(file("book.json").string(), good);
        std::filesystem::permissions(temp.dir(), std::filesystem::perms::owner_all);
        EXPECT_FALSE(error.empty());
        EXPECT_EQ(readAll(file("book.json")), before);
        EXPECT_EQ(filesIn(temp.dir()), std::vector<std::string>{"book.json"});
    }
}

TEST_F(FieldBookFile, texts_that_are_not_utf8_are_saved_as_latin1_and_gis_links_name_empty_lists) {
    FieldBook fb;
    fb.book.AddGrp("Localit\xE0")->AddPun()->SetNome(std::string("bad \xff name"));
    ASSERT_EQ(saveFieldBook(file("book.json").string(), fb), "");
    gpsbook::LoadResult back = gpsbook::loadFieldBook(file("book.json").string());
    ASSERT_TRUE(back.ok()) << back.error;
    EXPECT_EQ(back.fieldBook->book.GetGrpAt(0)->GetNomeGrp(), "Località");
    EXPECT_EQ(back.fieldBook->book.GetPunAt(0, 0)->GetNome(), "bad ÿ name");

    // A link into an entity without parts says so, not "from 0 to -1".
    gpsbook::LoadResult result = loadText(R"({"format": "gpsbook-field-book", "version": 1,
        "groups": [{"name": "G", "station": {"name": "B"}, "points": [{"name": "p",
            "gis": {"theme": "T", "entity": 0, "part": 0, "vertex": 0}}]}],
        "gisThemes": [{"name": "T", "entityType": 1, "fields": [],
            "entities": [{"parts": [], "values": []}]}]})");
    EXPECT_NE(result.error.find("\"groups[0].points[0].gis.part\": l'entità GIS non ha parti a "
                                "cui collegarsi"),
              std::string::npos)
        << result.error;
}

TEST_F(FieldBookFile, saving_replaces_the_file_keeping_its_permissions_and_links) {
    FieldBook fb;
    fb.book.AddGrp("G");
    writeAll(file("book.json"), "old");
    ::chmod(file("book.json").c_str(), 0640);
    std::filesystem::create_symlink(file("book.json"), file("link.json"));

    ASSERT_EQ(saveFieldBook(file("link.json").string(), fb), "");
    EXPECT_TRUE(std::filesystem::is_symlink(file("link.json")));
    EXPECT_NE(readAll(file("book.json")).find("\"name\": \"G\""), std::string::npos);
    struct stat st {};
    ASSERT_EQ(::stat(file("book.json").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    EXPECT_EQ(filesIn(temp.dir()), (std::vector<std::string>{"book.json", "link.json"}));
}

namespace {

// True when text is valid UTF-8 (the test's own reading of the encoding).
bool isUtf8(const std::string& text) {
    std::size_t i = 0;
    while (i < text.size()) {
        const auto c = static_cast<unsigned char>(text[i]);
        const std::size_t length = c < 0x80         ? 1
                                   : (c >> 5) == 6  ? 2
                                   : (c >> 4) == 14 ? 3
                                   : (c >> 3) == 30 ? 4
                                                    : 0;
        if (length == 0 || i + length > text.size()) return false;
        for (std::size_t k = 1; k < length; ++k)
            if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return false;
        i += length;
    }
    return true;
}

} // namespace

TEST_F(FieldBookFile, deep_nesting_is_refused_and_many_members_are_read) {
    // An unknown member 70,000 arrays deep, then more members: refused, not a crash.
    const std::string deep = R"({"format":"gpsbook-field-book","version":1,"x":)" +
                             std::string(70000, '[') + std::string(70000, ']') +
                             R"(,"context":null,"groups":[]})";
    gpsbook::LoadResult refused = loadText(deep);
    EXPECT_FALSE(refused.ok());
    EXPECT_NE(refused.error.find("annidati oltre 64 livelli"), std::string::npos) << refused.error;

    // Unknown members nested as deep as the limit allows are read over.
    const std::string nested = R"({"format":"gpsbook-field-book","version":1,"x":)" +
                               std::string(63, '[') + std::string(63, ']') + R"(,"groups":[]})";
    gpsbook::LoadResult read = loadText(nested);
    EXPECT_TRUE(read.ok()) << read.error;

    // A hundred thousand members, the book's own last.
    std::string wide = R"({"format":"gpsbook-field-book","version":1,)";
    for (int i = 0; i < 100000; ++i)
        wide += "\"u" + std::to_string(i) + "\":" + std::to_string(i) + ",";
    wide += R"("groups":[{"name":"G","station":{"name":"B"}}]})";
    gpsbook::LoadResult many = loadText(wide);
    ASSERT_TRUE(many.ok()) << many.error;
    ASSERT_EQ(many.fieldBook->book.GetGrpArSize(), 1);
    EXPECT_EQ(many.fieldBook->book.GetGrpAt(0)->GetNomeGrp(), "G");
}

TEST_F(FieldBookFile, only_regular_files_of_bounded_size_are_read) {
    // A FIFO with no writer would block an ordinary read for ever. Should the loader wait on
    // it, a helper opens and closes the other end so that the test ends and fails.
    const std::filesystem::path fifo = file("book.fifo");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    std::atomic<bool> done{false};
    std::thread unblock([&] {
        while (!done) {
            const int fd = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK);
            if (fd >= 0) {
                ::close(fd);
                return;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    });
    gpsbook::LoadResult pipe = loadFieldBook(fifo.string());
    done = true;
    unblock.join();
    EXPECT_FALSE(pipe.ok());
    EXPECT_NE(pipe.error.find("non è un file ordinario"), std::string::npos) << pipe.error;

    gpsbook::LoadResult device = loadFieldBook("/dev/zero");
    EXPECT_FALSE(device.ok());
    EXPECT_NE(device.error.find("non è un file ordinario"), std::string::npos) << device.error;

    // A file past the limit is refused by its size, without reading it.
    {
        std::ofstream big(file("big.json"), std::ios::binary);
        big << R"({"format":"gpsbook-field-book","version":1,"groups":[]})";
    }
    std::filesystem::resize_file(file("big.json"), gpsbook::kMaxFileBytes + 1);
    gpsbook::LoadResult tooLarge = loadFieldBook(file("big.json").string());
    EXPECT_FALSE(tooLarge.ok());
    EXPECT_NE(tooLarge.error.find("il file supera " + std::to_string(gpsbook::kMaxFileBytes >> 20) +
                                  " MB"),
              std::string::npos)
        << tooLarge.error;
}

TEST_F(FieldBookFile, messages_quote_a_short_valid_excerpt_of_the_file) {
    struct Case {
        std::string what;
        std::string text;
        std::string mustHave;
    };
    const std::vector<Case> cases = {
        {"a number of 100,000 digits",
         R"({"format":"gpsbook-field-book","version":1,"x":)" + std::string(100000, '7') +
             R"(,"groups":[]})",
         "7777"},
        {"a text of 100,000 letters with a bad escape",
         R"({"format":"gpsbook-field-book","version":1,"x":")" + std::string(100000, 'a') +
             R"(\q"})",
         "errore di sintassi JSON"},
        {"invalid UTF-8 in a text", "{\"format\":\"gpsbook-\xff\xfe\xc3\"}", "errore di sintassi"},
        {"a long unknown code",
         bookWithPoint(R"({"name": "p", "codes": [")" + std::string(100000, 'Z') + R"("]})"),
         "codes[0]"},
    };
    for (const Case& c : cases) {
        gpsbook::LoadResult result = loadText(c.text);
        EXPECT_FALSE(result.ok()) << c.what;
        EXPECT_LT(result.error.size(), 1000u) << c.what;
        EXPECT_TRUE(isUtf8(result.error)) << c.what << ": " << result.error;
        EXPECT_NE(result.error.find(c.mustHave), std::string::npos)
            << c.what << ": " << result.error;
        EXPECT_NE(result.error.find(file("bad.json").string()), std::string::npos) << c.what;
    }
}

TEST_F(FieldBookFile, temporaries_of_killed_saves_go_with_the_next_save) {
    gpsbook::LoadResult sample = loadFieldBook(kSample);
    ASSERT_TRUE(sample.ok()) << sample.error;
    const std::string book = file("book.json").string();
    ASSERT_EQ(saveFieldBook(book, *sample.fieldBook), "");
    const std::string saved = readAll(book);
    auto temporaries = [&] {
        std::vector<std::string> names = filesIn(temp.dir());
        std::erase(names, "book.json");
        return names;
    };

    std::mt19937 random(4321);
    for (int round = 0; round < 300 && temporaries().empty(); ++round) {
        int running[2];
        ASSERT_EQ(::pipe(running), 0);
        const pid_t saver = ::fork();
        ASSERT_GE(saver, 0);
        if (saver == 0) { // saves for ever, saying so after its first save
            for (int i = 1;; ++i) {
                (void)saveFieldBook(book, *sample.fieldBook);
                if (i == 1 && ::write(running[1], "s", 1) != 1) ::_exit(1);
            }
        }
        ::close(running[1]);
        char byte;
        const ssize_t started = ::read(running[0], &byte, 1);
        ::close(running[0]);
        ::usleep(random() % 5000);
        ::kill(saver, SIGKILL);
        ::waitpid(saver, nullptr, 0);
        ASSERT_EQ(started, 1) << "the saver did not get through a first save";
    }
    ASSERT_FALSE(temporaries().empty()) << "no kill came during a save";
    EXPECT_EQ(readAll(book), saved);

    ASSERT_EQ(saveFieldBook(book, *sample.fieldBook), "");
    EXPECT_TRUE(temporaries().empty());
    EXPECT_EQ(readAll(book), saved);
}

TEST_F(FieldBookFile, a_save_over_a_file_another_program_changed_asks_before_overwriting) {
    const std::string path = file("book.json").string();
    writeAll(path, readAll(kSample));
    // Two programs open the same book.
    gpsbook::LoadResult first = loadFieldBook(path);
    gpsbook::LoadResult second = loadFieldBook(path);
    ASSERT_TRUE(first.ok() && second.ok());
    first.fieldBook->book.GetPunAt(0, 0)->SetNote("dal primo");
    second.fieldBook->book.GetPunAt(0, 0)->SetNote("dal secondo");

    ASSERT_EQ(saveFieldBook(path, *first.fieldBook), "");
    const std::string firstSaved = readAll(path);
    gpsbook::SaveResult refused = gpsbook::writeFieldBook(path, *second.fieldBook);
    EXPECT_EQ(refused.status, gpsbook::SaveStatus::Changed);
    EXPECT_EQ(refused.message.rfind("Il libretto è stato modificato da un altro programma", 0), 0u)
        << refused.message;
    EXPECT_EQ(readAll(path), firstSaved);
    EXPECT_EQ(filesIn(temp.dir()), std::vector<std::string>{"book.json"});

    // Once the user agrees it is written, and later saves of the same program go through.
    EXPECT_TRUE(gpsbook::writeFieldBook(path, *second.fieldBook, true).ok());
    second.fieldBook->book.GetPunAt(0, 0)->SetNote("ancora dal secondo");
    EXPECT_EQ(saveFieldBook(path, *second.fieldBook), "");
    gpsbook::LoadResult back = loadFieldBook(path);
    ASSERT_TRUE(back.ok()) << back.error;
    EXPECT_EQ(back.fieldBook->book.GetPunAt(0, 0)->GetNote(), "ancora dal secondo");
    // The first program, in turn, is asked.
    EXPECT_EQ(gpsbook::writeFieldBook(path, *first.fieldBook).status, gpsbook::SaveStatus::Changed);
}

TEST_F(FieldBookFile, a_read_only_book_is_refused_with_the_offer_of_another_name) {
    const std::string path = file("book.json").string();
    writeAll(path, readAll(kSample));
    std::filesystem::permissions(path, std::filesystem::perms::owner_read |
                                           std::filesystem::perms::group_read |
                                           std::filesystem::perms::others_read);
    gpsbook::LoadResult loaded = loadFieldBook(path);
    ASSERT_TRUE(loaded.ok()) << loaded.error;
    loaded.fieldBook->book.GetPunAt(0, 0)->SetNote("modificata");
    gpsbook::SaveResult refused = gpsbook::writeFieldBook(path, *loaded.fieldBook);
    EXPECT_EQ(refused.status, gpsbook::SaveStatus::ReadOnly);
    EXPECT_EQ(refused.message, "Il file \"" + path +
                                   "\" è di sola lettura: il libretto non è stato salvato. Può "
                                   "salvarlo con un altro nome.");
    EXPECT_EQ(readAll(path), readAll(kSample));
    EXPECT_EQ(filesIn(temp.dir()), std::vector<std::string>{"book.json"});
    // Under another name it is saved.
    EXPECT_EQ(saveFieldBook(file("copia.json").string(), *loaded.fieldBook), "");
}

TEST_F(FieldBookFile, gis_decimal_attributes_of_any_finite_size_are_written_as_they_are) {
    FieldBook fb;
    gis::CTheme* theme = fb.gis.CreateTheme(kit::String("Pozzetti"), gis::ENT_TYPE_POINT);
    ASSERT_NE(theme, nullptr);
    fb.gis.AddField(fb.gis.GetTable(theme), "Portata", gis::FieldDataType::Double, 0);
    const double values[] = {1e250, 1e308, -1e300, 8.5e199, 1.7e200, 0.1};
    for (double v : values) {
        gis::CEnt* ent = fb.gis.CreateEnt(theme);
        kit::CPolyValue value(v);
        ASSERT_TRUE(fb.gis.SetRowValue(fb.gis.GetRow(ent), 0, value));
    }
    fb.book.AddGrp("G");
    ASSERT_EQ(saveFieldBook(file("gis.json").string(), fb), "");
    gpsbook::LoadResult back = loadFieldBook(file("gis.json").string());
    ASSERT_TRUE(back.ok()) << back.error;
    gis::CTheme* read = back.fieldBook->gis.FindTheme(kit::String("Pozzetti"));
    ASSERT_NE(read, nullptr);
    ASSERT_EQ(read->GetNumEnts(), 6);
    for (int e = 0; e < 6; ++e) {
        kit::CPolyValue v;
        back.fieldBook->gis.GetRowValue(back.fieldBook->gis.GetRow(read->GetEntAt(e)), 0, v);
        ASSERT_EQ(v.GetType(), kit::CPolyValue::Type::Double) << e;
        EXPECT_EQ(v.GetDouble(), values[e]) << e;
    }
}
