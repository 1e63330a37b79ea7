// GIS data: themes, typed rows, entity geometry, and the link of survey elements to entities.
#include "gpsdialogs/interfaces/Gis.h"
#include "gpsdialogs/interfaces/LibGps.h"

#include <gtest/gtest.h>

#include <memory>

using kit::CPolyValue;
using kit::String;

namespace {

// Two point themes with a name field, a code field and attributes, and a line theme.
struct GisFixture : ::testing::Test {
    gis::CLibGis lib;
    gis::CTheme* manholes = nullptr;
    gis::CTheme* trees = nullptr;
    gis::CTheme* pipes = nullptr;

    void SetUp() override {
        manholes = lib.CreateTheme("Pozzetti", gis::ENT_TYPE_POINT);
        gis::CDBTable* t = lib.GetTable(manholes);
        lib.AddField(t, "Nome", gis::FieldDataType::Text, gis::FIELD_KIND_POINT_NAME);
        lib.AddField(t, "Codice", gis::FieldDataType::Text, gis::FIELD_KIND_POINT_CODE);
        lib.AddField(t, "Profondita", gis::FieldDataType::Double);
        lib.AddField(t, "Numero", gis::FieldDataType::Long);
        lib.AddField(t, "Ispezionato", gis::FieldDataType::Bool);
        trees = lib.CreateTheme("Alberi", gis::ENT_TYPE_POINT);
        gis::CDBTable* u = lib.GetTable(trees);
        lib.AddField(u, "Nome", gis::FieldDataType::Text, gis::FIELD_KIND_POINT_NAME);
        lib.AddField(u, "Specie", gis::FieldDataType::Text);
        lib.AddField(u, "NUMERO", gis::FieldDataType::Double);
        pipes = lib.CreateTheme("Condotte", gis::ENT_TYPE_LINE);
    }

    CPolyValue value(gis::CEnt* ent, int field) {
        CPolyValue v;
        lib.GetRowValue(lib.GetRow(ent), field, v);
        return v;
    }
};

} // namespace

TEST_F(GisFixture, themes_fields_and_lookup) {
    EXPECT_EQ(lib.GetNumThemes(), 3);
    EXPECT_EQ(lib.FindTheme("Alberi"), trees);
    EXPECT_EQ(lib.FindTheme("alberi"), nullptr); // exact name
    EXPECT_EQ(lib.FindTheme(""), nullptr);
    EXPECT_EQ(lib.CreateTheme("Alberi", gis::ENT_TYPE_POINT), nullptr);
    EXPECT_EQ(gis::CLibGis::GetEntType(pipes), gis::ENT_TYPE_LINE);
    EXPECT_EQ(gis::CLibGis::GetThemeName(lib.GetTheme(1)), String("Alberi"));
    gis::CDBTable* t = lib.GetTable(manholes);
    EXPECT_EQ(lib.GetNumFields(t), 5);
    EXPECT_TRUE(lib.IsFieldPredefined(lib.GetField(t, 0)));
    EXPECT_EQ(lib.GetFieldType(lib.GetField(t, 1)), gis::FIELD_KIND_POINT_CODE);
    EXPECT_FALSE(lib.IsFieldPredefined(lib.GetField(t, 2)));
    EXPECT_EQ(lib.GetField(t, 5), nullptr);
    EXPECT_EQ(lib.AddField(t, "nome", gis::FieldDataType::Text), nullptr); // duplicate
    EXPECT_EQ(lib.AddField(t, "Id", gis::FieldDataType::Long, gis::FIELD_KIND_POINT_NAME), nullptr);
    EXPECT_EQ(lib.GetThemeName(static_cast<gis::CEntVert*>(nullptr)), String());
}

TEST_F(GisFixture, a_point_entity_knows_its_vertex_and_theme) {
    gis::CEnt* ent = lib.CreateEntPoint(manholes, {1000.5, 2000.25, 12.0});
    ASSERT_NE(ent, nullptr);
    EXPECT_EQ(ent->GetNumParts(), 1);
    gis::CEntVert* v = lib.GetEntVert(lib.GetEntPart(ent, 0), 0);
    ASSERT_NE(v, nullptr);
    EXPECT_EQ(gis::CLibGis::GetEnt(v), ent);
    EXPECT_EQ(gis::CLibGis::GetTheme(ent), manholes);
    EXPECT_EQ(lib.GetThemeName(v), String("Pozzetti"));
    EXPECT_EQ(v->GetCoord().y, 2000.25);
    EXPECT_EQ(lib.GetRow(ent)->GetCount(), 5);
    EXPECT_TRUE(value(ent, 0).IsEmpty());
    EXPECT_EQ(lib.CreateEntPoint(nullptr, {}), nullptr);
}

TEST_F(GisFixture, row_values_must_fit_their_field) {
    gis::CEnt* ent = lib.CreateEntPoint(manholes, {});
    kit::CResultRow* row = lib.GetRow(ent);
    CPolyValue v(String("abc"));
    EXPECT_FALSE(lib.SetRowValue(row, 3, v)); // text into a long field
    EXPECT_TRUE(value(ent, 3).IsEmpty());
    v = String("42");
    EXPECT_TRUE(lib.SetRowValue(row, 3, v));
    EXPECT_EQ(v.GetType(), CPolyValue::Type::Long); // handed back as stored
    EXPECT_EQ(value(ent, 3), CPolyValue(std::int32_t{42}));
    v = String("1,75");
    EXPECT_TRUE(lib.SetRowValue(row, 2, v));
    EXPECT_EQ(value(ent, 2), CPolyValue(1.75));
    CPolyValue half(2.5);
    EXPECT_FALSE(lib.SetRowValue(row, 3, half));
    CPolyValue number(std::int32_t{7});
    EXPECT_TRUE(lib.SetRowValue(row, 0, number)); // anything fits a text field
    EXPECT_EQ(value(ent, 0), CPolyValue(String("7")));
    v = String("no");
    EXPECT_TRUE(lib.SetRowValue(row, 4, v));
    EXPECT_EQ(value(ent, 4), CPolyValue(false));
    EXPECT_FALSE(lib.SetRowValue(row, 9, v));
    EXPECT_FALSE(lib.SetRowValue(nullptr, 0, v));
}

TEST_F(GisFixture, a_clone_has_its_own_row_and_geometry) {
    gis::CEnt* ent = lib.CreateEntPoint(manholes, {1, 2, 3});
    CPolyValue depth(1.2);
    lib.SetRowValue(lib.GetRow(ent), 2, depth);
    gis::CEnt* clone = lib.CloneEnt(manholes, ent);
    ASSERT_NE(clone, nullptr);
    EXPECT_NE(lib.GetRow(clone), lib.GetRow(ent));
    EXPECT_EQ(value(clone, 2), CPolyValue(1.2));
    CPolyValue deeper(3.4);
    lib.SetRowValue(lib.GetRow(clone), 2, deeper);
    gis::CLibGis::SetEntVertCoord(lib.GetEntVert(lib.GetEntPart(clone, 0), 0), 9, 9, 9, true);
    EXPECT_EQ(value(ent, 2), CPolyValue(1.2));
    EXPECT_EQ(lib.GetEntVert(lib.GetEntPart(ent, 0), 0)->GetCoord().x, 1.0);
    EXPECT_TRUE(clone->IsModified());
    EXPECT_FALSE(ent->IsModified());
    EXPECT_TRUE(lib.DeleteEnt(clone));
    EXPECT_FALSE(lib.DeleteEnt(nullptr));
    EXPECT_EQ(manholes->GetNumEnts(), 1);
}

TEST_F(GisFixture, vertex_positions_within_a_multi_part_entity) {
    gis::CEnt* line = lib.CreateEnt(pipes);
    lib.AddEntVert(lib.AddEntPart(line), {0, 0, 0});
    gis::CEntPart* second = lib.AddEntPart(line);
    lib.AddEntVert(second, {1, 0, 0});
    gis::CEntVert* target = lib.AddEntVert(second, {2, 0, 0});
    int part = 9, vert = 9;
    EXPECT_TRUE(lib.FindEntVertIndex(line, target, part, vert));
    EXPECT_EQ(part, 1);
    EXPECT_EQ(vert, 1);
    gis::CEnt* other = lib.CreateEntPoint(manholes, {});
    EXPECT_FALSE(lib.FindEntVertIndex(other, target, part, vert));
    EXPECT_EQ(part, -1);
    EXPECT_EQ(vert, -1);
}

TEST_F(GisFixture, fields_added_later_reach_existing_rows) {
    gis::CEnt* ent = lib.CreateEntPoint(trees, {});
    ASSERT_NE(lib.AddField(lib.GetTable(trees), "Altezza", gis::FieldDataType::Double), nullptr);
    CPolyValue h(String("12.5"));
    EXPECT_TRUE(lib.SetRowValue(lib.GetRow(ent), 3, h));
    EXPECT_EQ(value(ent, 3), CPolyValue(12.5));
}

TEST_F(GisFixture, deleting_an_entity_unlinks_its_elements) {
    CPunGps point(nullptr, false, nullptr);
    gis::CEnt* ent = lib.CreateEntPoint(manholes, {});
    point.SetEntVert(lib.GetEntVert(lib.GetEntPart(ent, 0), 0));
    ASSERT_NE(point.GetEntVert(), nullptr);
    lib.DeleteEnt(ent);
    EXPECT_EQ(point.GetEntVert(), nullptr);
}

TEST(GisLink, elements_and_library_may_go_in_either_order) {
    auto point = std::make_unique<CPunGps>(nullptr, false, nullptr);
    gis::CEntVert* vertex = nullptr;
    {
        gis::CLibGis lib;
        gis::CTheme* theme = lib.CreateTheme("T", gis::ENT_TYPE_POINT);
        vertex = lib.GetEntVert(lib.GetEntPart(lib.CreateEntPoint(theme, {}), 0), 0);
        auto other = std::make_unique<CPunGps>(nullptr, false, nullptr);
        other->SetEntVert(vertex);
        point->SetEntVert(vertex);
        EXPECT_EQ(vertex->GetLinkedElements().size(), 2u);
        other.reset();
        EXPECT_EQ(vertex->GetLinkedElements().size(), 1u);
    }
    EXPECT_EQ(point->GetEntVert(), nullptr);
}

// ---- CheckCodeIsTable -----------------------------------------------------------------------

TEST_F(GisFixture, check_code_creates_a_point_entity_for_an_element_without_one) {
    CPunGps point(nullptr, false, nullptr);
    point.SetNome("101");
    point.SetCode("pozzetto");
    point.SetCoordXY(1500000.25, 5000000.5);
    point.SetCoordZ(120.0);
    ASSERT_TRUE(CheckCodeIsTable(&lib, &point, "Pozzetti"));
    gis::CEntVert* v = point.GetEntVert();
    ASSERT_NE(v, nullptr);
    gis::CEnt* ent = gis::CLibGis::GetEnt(v);
    EXPECT_EQ(gis::CLibGis::GetTheme(ent), manholes);
    EXPECT_EQ(v->GetCoord().x, 1500000.25);
    EXPECT_EQ(v->GetCoord().z, 120.0);
    EXPECT_EQ(value(ent, 0), CPolyValue(String("101")));
    EXPECT_EQ(value(ent, 1), CPolyValue(String("pozzetto")));

    // The same theme again changes nothing.
    ASSERT_TRUE(CheckCodeIsTable(&lib, &point, "Pozzetti"));
    EXPECT_EQ(point.GetEntVert(), v);
    EXPECT_EQ(manholes->GetNumEnts(), 1);
}

TEST_F(GisFixture, check_code_moves_the_entity_to_another_theme) {
    CPunGps point(nullptr, false, nullptr);
    point.SetNome("7");
    point.SetCoordXY(10, 20);
    point.SetCoordZ(30);
    ASSERT_TRUE(CheckCodeIsTable(&lib, &point, "Pozzetti"));
    CPolyValue number(std::int32_t{5});
    lib.SetRowValue(lib.GetRow(gis::CLibGis::GetEnt(point.GetEntVert())), 3, number);

    ASSERT_TRUE(CheckCodeIsTable(&lib, &point, "Alberi"));
    gis::CEnt* ent = gis::CLibGis::GetEnt(point.GetEntVert());
    EXPECT_EQ(gis::CLibGis::GetTheme(ent), trees);
    EXPECT_EQ(manholes->GetNumEnts(), 0); // the old entity is gone
    EXPECT_EQ(value(ent, 0), CPolyValue(String("7")));
    EXPECT_EQ(value(ent, 2), CPolyValue(5.0)); // "Numero" -> "NUMERO", widened to double
    EXPECT_EQ(point.GetEntVert()->GetCoord().y, 20.0);
}

TEST_F(GisFixture, check_code_with_an_empty_or_unknown_theme_removes_the_entity) {
    for (const char* name : {"", "Sconosciuto", "pozzetti"}) {
        SCOPED_TRACE(name);
        CPunGps point(nullptr, false, nullptr);
        point.SetCoordXY(1, 2);
        ASSERT_TRUE(CheckCodeIsTable(&lib, &point, "Pozzetti"));
        ASSERT_EQ(manholes->GetNumEnts(), 1);
        EXPECT_TRUE(CheckCodeIsTable(&lib, &point, name));
        EXPECT_EQ(point.GetEntVert(), nullptr);
        EXPECT_EQ(manholes->GetNumEnts(), 0);
    }
}

TEST_F(GisFixture, check_code_keeps_an_entity_that_other_elements_still_use) {
    gis::CEnt* line = lib.CreateEnt(pipes);
    gis::CEntPart* part = lib.AddEntPart(line);
    CPunGps a(nullptr, false, nullptr), b(nullptr, false, nullptr);
    a.SetEntVert(lib.AddEntVert(part, {0, 0, 0}));
    b.SetEntVert(lib.AddEntVert(part, {5, 0, 0}));
    EXPECT_TRUE(CheckCodeIsTable(&lib, &a, ""));
    EXPECT_EQ(a.GetEntVert(), nullptr);
    EXPECT_EQ(pipes->GetNumEnts(), 1);
    ASSERT_NE(b.GetEntVert(), nullptr);

    // An element without plane coordinates takes its new point at the old vertex.
    EXPECT_TRUE(CheckCodeIsTable(&lib, &b, "Alberi"));
    EXPECT_EQ(b.GetEntVert()->GetCoord().x, 5.0);
    EXPECT_EQ(pipes->GetNumEnts(), 0);
}

TEST_F(GisFixture, check_code_refuses_missing_arguments) {
    CPunGps point(nullptr, false, nullptr);
    EXPECT_FALSE(CheckCodeIsTable(nullptr, &point, "Pozzetti"));
    EXPECT_FALSE(CheckCodeIsTable(&lib, nullptr, "Pozzetti"));
    EXPECT_EQ(manholes->GetNumEnts(), 0);
}

TEST(GisDates, texts_become_days_that_exist_and_nothing_else) {
    auto date = [](const char* text) {
        kit::CPolyValue out;
        const bool ok = kit::CPolyValue(kit::String(text)).ConvertTo(CPolyValue::Type::Date, out);
        return ok ? out.ToString().GetText() : std::string("refused");
    };
    EXPECT_EQ(date("2/12/2026"), "02/12/2026");
    EXPECT_EQ(date(" 29.02.2024 "), "29/02/2024");
    EXPECT_EQ(date("2000-02-29"), "29/02/2000");
    EXPECT_EQ(date(""), ""); // blank: no value
    for (const char* bad :
         {"31/02/2024", "29/02/2100", "1/13/2024", "0/1/2024", "12/2026", "2/12/26", "2/12-2026",
          "2026/12/02", "1/1/0000", "1/1/12345", "2/12/2026x", "x"})
        EXPECT_EQ(date(bad), "refused") << bad;
    CPolyValue out;
    EXPECT_FALSE(CPolyValue(kit::Date{2024, 1, 1}).ConvertTo(CPolyValue::Type::Long, out));
    EXPECT_FALSE(CPolyValue(std::int32_t{20240101}).ConvertTo(CPolyValue::Type::Date, out));
}
