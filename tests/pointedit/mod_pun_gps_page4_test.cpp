// "Dati GIS": the theme list, the table control over a clone of the point's entity, theme
// changes, the refresh after edits on other pages, the commit check, and what reaches the
// point's entity only after OK.
#include "GisFixture.h"
#include "gpsdialogs/interfaces/GisTableCtrl.h"
#include "resource.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using automation::Dialog;
using pointedit_test::GisEditor;

namespace {

constexpr int kPage = 4;
constexpr int kValue = CPropertyCtrl::kValueColumn;
// Grid row of field i.
constexpr int row(int field) {
    return CPropertyCtrl::kFirstRow + field;
}

} // namespace

TEST(ModPunGpsPage4, lists_the_point_themes_and_shows_the_entity_values_with_predefined_read_only) {
    GisEditor e;
    EXPECT_FALSE(e.run(e.sample.first, [](Dialog& d) {
        ASSERT_TRUE(d.selectPage(kPage));
        EXPECT_EQ(d.pageCaption(kPage), "Dati GIS");
        EXPECT_EQ(d.items(IDC_GIS_THEME), (std::vector<std::string>{"", "Pozzetti", "Alberi"}));
        EXPECT_EQ(d.selection(IDC_GIS_THEME), 1);
        EXPECT_TRUE(d.enabled(IDC_GIS_THEME));
        EXPECT_EQ(d.text(IDC_GROUP_NAME), "Rilievo A");
        EXPECT_EQ(d.text(IDC_POINT_NAME), "101");
        EXPECT_EQ(d.text(IDC_DESCRIPTION), "Spigolo fabbricato");
        EXPECT_EQ(d.items(IDC_GRAPHIC_MODEL), (std::vector<std::string>{"", "Pozzetto", "Albero"}));
        EXPECT_EQ(d.selection(IDC_GRAPHIC_MODEL), 2);
        // Shown only: the other pages edit them.
        EXPECT_TRUE(d.readOnly(IDC_POINT_NAME));
        EXPECT_FALSE(d.setText(IDC_DESCRIPTION, "x"));
        EXPECT_FALSE(d.enabled(IDC_GRAPHIC_MODEL));
        EXPECT_FALSE(d.enabled(IDC_ANTENNA_HEIGHT));
        EXPECT_FALSE(d.enabled(IDC_VRS));

        automation::Grid g = d.grid(IDC_GIS_TABLE);
        ASSERT_EQ(g.rows(), 6);
        EXPECT_EQ(g.heading(kValue), "Valore");
        EXPECT_EQ(g.text(row(0), 0), "Nome");
        EXPECT_EQ(g.text(row(0), kValue), "101");
        EXPECT_EQ(g.text(row(1), kValue), "Spigolo fabbricato");
        EXPECT_EQ(g.text(row(2), kValue), "1.35");
        EXPECT_EQ(g.text(row(3), kValue), "7");
        EXPECT_EQ(g.text(row(4), kValue), "S\xc3\xac");
        EXPECT_EQ(g.text(row(5), kValue), "17/05/2024");
        EXPECT_TRUE(g.readOnly(row(0), kValue));
        EXPECT_TRUE(g.readOnly(row(1), kValue));
        EXPECT_FALSE(g.readOnly(row(2), kValue));
        EXPECT_FALSE(g.edit(row(0), kValue, "altro"));
        EXPECT_EQ(g.choices(row(4), kValue), (std::vector<std::string>{"", "S\xc3\xac", "No"}));
        // The control covers the place-holder, its top one pixel higher.
        const RECT place = d.rect(IDC_GIS_TABLE_PLACE);
        const RECT table = d.rect(IDC_GIS_TABLE);
        EXPECT_EQ(table.top, place.top - 1);
        EXPECT_EQ(table.left, place.left);
        EXPECT_EQ(table.bottom, place.bottom);
        d.escape();
    }));
}

TEST(ModPunGpsPage4, edited_values_reach_the_point_entity_only_after_ok) {
    GisEditor e;
    CPunGps* p = e.sample.first;
    gis::CEnt* before = gis::CLibGis::GetEnt(p->GetEntVert());
    EXPECT_TRUE(e.run(p, [&](Dialog& d) {
        d.selectPage(kPage);
        automation::Grid g = d.grid(IDC_GIS_TABLE);
        EXPECT_TRUE(g.edit(row(2), kValue, "2,40"));
        EXPECT_EQ(g.text(row(2), kValue), "2.4");
        EXPECT_TRUE(g.edit(row(4), kValue, "No"));
        EXPECT_TRUE(g.edit(row(5), kValue, "29/02/2028"));
        // Typed but not confirmed with Enter: OK takes it over.
        EXPECT_TRUE(g.beginEdit(row(3), kValue));
        EXPECT_TRUE(g.setEditText("12"));
        EXPECT_EQ(e.entity(p).find("2.4"), std::string::npos); // the point's entity is untouched
        d.click(IDOK);
    }));
    EXPECT_EQ(gis::CLibGis::GetEnt(p->GetEntVert()), before);
    EXPECT_NE(e.entity(p).find(":101|Spigolo fabbricato|2.4|12|0|29/02/2028|"), std::string::npos)
        << e.entity(p);
    EXPECT_EQ(e.entities(), 1); // the clone is gone
}

TEST(ModPunGpsPage4, a_value_that_does_not_fit_keeps_the_page_and_the_editor_open) {
    GisEditor e;
    CPunGps* p = e.sample.first;
    const std::string entity = e.entity(p);
    const std::string point = pointedit_test::describe(*p);
    EXPECT_FALSE(e.run(p, [](Dialog& d) {
        d.selectPage(kPage);
        automation::Grid g = d.grid(IDC_GIS_TABLE);
        const std::string reason =
            "Valore non valido: serve un numero intero da -2147483648 a 2147483647";
        // Seen as a person sees it: the reason in a balloon at the cell, the text selected
        // whole for the next key, the focus in the editor.
        EXPECT_FALSE(g.edit(row(3), kValue, "12a"));
        EXPECT_TRUE(g.editing());
        EXPECT_EQ(g.balloon(), reason);
        EXPECT_EQ(g.message(row(3)), reason);
        EXPECT_TRUE(g.editTextSelected());
        EXPECT_EQ(d.focus(), IDC_GIS_TABLE);
        // A double click on the next row commits first: refused, the text stays in its cell.
        EXPECT_FALSE(g.beginEdit(row(5), kValue));
        EXPECT_FALSE(g.click(row(5), kValue));
        EXPECT_EQ(g.editRow(), row(3));
        EXPECT_EQ(g.editText(), "12a");
        EXPECT_EQ(g.text(row(5), kValue), "17/05/2024");
        EXPECT_EQ(g.text(row(3), kValue), "7");
        // Leaving the page and OK: refused, with the focus back in the editor.
        EXPECT_TRUE(d.setFocus(IDC_GIS_THEME));
        EXPECT_FALSE(d.selectPage(0));
        EXPECT_EQ(d.activePage(), kPage);
        EXPECT_EQ(d.focus(), IDC_GIS_TABLE);
        EXPECT_EQ(g.balloon(), reason);
        EXPECT_TRUE(g.type("1"));
        EXPECT_EQ(g.balloon(), "");
        EXPECT_TRUE(g.type("2a"));
        d.click(IDOK);
        EXPECT_TRUE(d.isOpen());
        EXPECT_EQ(d.focus(), IDC_GIS_TABLE);
        EXPECT_TRUE(g.editTextSelected());
        EXPECT_EQ(g.balloon(), reason);
        EXPECT_TRUE(g.setEditText("31/02/2024"));
        EXPECT_FALSE(g.enter());
        EXPECT_TRUE(g.escape());
        EXPECT_EQ(g.message(row(3)), ""); // the cell shows its accepted value again
        EXPECT_EQ(g.text(row(3), kValue), "7");
        EXPECT_FALSE(g.edit(row(5), kValue, "31/02/2024"));
        EXPECT_NE(g.message(row(5)).find("data"), std::string::npos);
        EXPECT_TRUE(g.setEditText("28/02/2024"));
        EXPECT_TRUE(g.enter());
        EXPECT_EQ(g.message(row(5)), "");
        EXPECT_TRUE(d.selectPage(0));
        d.escape();
    }));
    EXPECT_EQ(e.entity(p), entity);
    EXPECT_EQ(pointedit_test::describe(*p), point);
    EXPECT_EQ(e.entities(), 1);
}

TEST(ModPunGpsPage4, a_decimal_that_is_not_finite_is_refused_with_its_reason) {
    GisEditor e;
    CPunGps* p = e.sample.first;
    EXPECT_TRUE(e.run(p, [](Dialog& d) {
        d.selectPage(kPage);
        automation::Grid g = d.grid(IDC_GIS_TABLE);
        for (const char* text : {"inf", "-inf", "nan", "1e400", "-1e400", "Infinity", " NaN "}) {
            EXPECT_FALSE(g.edit(row(2), kValue, text)) << text;
            EXPECT_NE(g.balloon().find("numero finito"), std::string::npos) << text;
            EXPECT_TRUE(g.escape());
        }
        // Large finite values are values like any other.
        EXPECT_TRUE(g.edit(row(2), kValue, "1e308"));
        EXPECT_EQ(g.message(row(2)), "");
        d.click(IDOK);
    }));
    EXPECT_NE(e.entity(p).find("|1e+308|"), std::string::npos) << e.entity(p);
}

TEST(ModPunGpsPage4, enter_and_escape_in_the_table_never_confirm_or_cancel_the_editor) {
    GisEditor e;
    CPunGps* p = e.sample.first;
    EXPECT_TRUE(e.run(p, [](Dialog& d) {
        d.selectPage(kPage);
        automation::Grid g = d.grid(IDC_GIS_TABLE);
        // The read-only "Codice" row: both keys stay in the table.
        ASSERT_TRUE(g.click(row(1), kValue));
        EXPECT_TRUE(d.enter());
        EXPECT_TRUE(d.escape());
        ASSERT_TRUE(d.isOpen());
        EXPECT_FALSE(g.editing());
        // On a value: Enter opens and stores, Escape cancels.
        ASSERT_TRUE(g.click(row(3), kValue));
        EXPECT_TRUE(d.enter());
        EXPECT_TRUE(g.editing());
        EXPECT_TRUE(g.type("9"));
        EXPECT_TRUE(d.enter());
        EXPECT_EQ(g.text(row(3), kValue), "9");
        EXPECT_TRUE(d.enter());
        EXPECT_TRUE(g.type("10"));
        EXPECT_TRUE(d.escape());
        ASSERT_TRUE(d.isOpen());
        EXPECT_EQ(g.text(row(3), kValue), "9");
        d.click(IDOK);
    }));
    EXPECT_NE(e.entity(p).find("|9|"), std::string::npos) << e.entity(p);
}

TEST(ModPunGpsPage4, a_point_without_entity_gets_one_in_the_chosen_theme) {
    GisEditor e;
    CPunGps* p = e.sample.second; // PF12, no entity
    EXPECT_TRUE(e.run(p, [&](Dialog& d) {
        d.selectPage(kPage);
        EXPECT_EQ(d.selection(IDC_GIS_THEME), -1);
        automation::Grid g = d.grid(IDC_GIS_TABLE);
        ASSERT_TRUE(g.exists());
        EXPECT_EQ(g.rows(), 0); // no table, no row
        ASSERT_TRUE(d.select(IDC_GIS_THEME, 2));
        ASSERT_EQ(g.rows(), 3);
        EXPECT_EQ(g.text(row(0), kValue), "PF12");
        EXPECT_TRUE(g.edit(row(1), kValue, "Tiglio"));
        EXPECT_TRUE(g.edit(row(2), kValue, "0.45"));
        EXPECT_EQ(e.trees->GetNumEnts(), 1); // the page's own, not yet the point's
        EXPECT_EQ(p->GetEntVert(), nullptr);
        d.click(IDOK);
    }));
    ASSERT_NE(p->GetEntVert(), nullptr);
    EXPECT_EQ(e.gis.GetThemeName(p->GetEntVert()), kit::String("Alberi"));
    EXPECT_EQ(p->GetEntVert()->GetCoord().x, p->GetCoordX());
    EXPECT_EQ(p->GetEntVert()->GetCoord().y, p->GetCoordY());
    EXPECT_EQ(p->GetEntVert()->GetCoord().z, p->GetCoordZ());
    EXPECT_NE(e.entity(p).find(":PF12|Tiglio|0.45|"), std::string::npos) << e.entity(p);
    EXPECT_EQ(e.trees->GetNumEnts(), 1);
    EXPECT_EQ(e.entities(), 2);
}

TEST(ModPunGpsPage4, a_line_vertex_keeps_its_theme_alone_selected_and_disabled) {
    GisEditor e;
    CPunGps* p = e.sample.second;
    gis::CEnt* line = e.gis.CreateEnt(e.pipes);
    gis::CEntPart* part = e.gis.AddEntPart(line);
    e.gis.AddEntVert(part, {1, 2, 3});
    gis::CEntVert* vertex = e.gis.AddEntVert(part, {p->GetCoordX(), p->GetCoordY(), 5.0});
    kit::CPolyValue material(kit::String("ghisa"));
    e.gis.SetRowValue(e.gis.GetRow(line), 0, material);
    p->SetEntVert(vertex);
    const std::string entity = e.entity(p);
    EXPECT_TRUE(e.run(p, [](Dialog& d) {
        d.selectPage(kPage);
        EXPECT_EQ(d.items(IDC_GIS_THEME), (std::vector<std::string>{"Condotte"}));
        EXPECT_EQ(d.selection(IDC_GIS_THEME), 0);
        EXPECT_FALSE(d.enabled(IDC_GIS_THEME));
        automation::Grid g = d.grid(IDC_GIS_TABLE);
        EXPECT_EQ(g.text(row(0), kValue), "ghisa");
        EXPECT_TRUE(g.edit(row(0), kValue, "PVC"));
        d.click(IDOK);
    }));
    EXPECT_EQ(p->GetEntVert(), vertex);
    EXPECT_EQ(e.entity(p), entity.substr(0, entity.find(':')) + ":PVC|");
    EXPECT_EQ(e.pipes->GetNumEnts(), 1);
}

TEST(ModPunGpsPage4, the_empty_entry_hides_the_table_and_ok_unlinks_the_point) {
    GisEditor e;
    CPunGps* p = e.sample.first;
    EXPECT_TRUE(e.run(p, [](Dialog& d) {
        d.selectPage(kPage);
        EXPECT_TRUE(d.visible(IDC_GIS_TABLE_PLACE));
        ASSERT_TRUE(d.select(IDC_GIS_THEME, 0));
        EXPECT_FALSE(d.visible(IDC_GIS_TABLE_PLACE));
        EXPECT_EQ(d.grid(IDC_GIS_TABLE).rows(), 0);
        // Back to a theme: the place-holder comes back under a new table.
        ASSERT_TRUE(d.select(IDC_GIS_THEME, 1));
        EXPECT_TRUE(d.visible(IDC_GIS_TABLE_PLACE));
        EXPECT_EQ(d.grid(IDC_GIS_TABLE).rows(), 6);
        EXPECT_EQ(d.grid(IDC_GIS_TABLE).text(row(2), kValue), ""); // a new entity
        ASSERT_TRUE(d.select(IDC_GIS_THEME, 0));
        d.click(IDOK);
    }));
    EXPECT_EQ(p->GetEntVert(), nullptr);
    EXPECT_EQ(e.entities(), 0);
}

TEST(ModPunGpsPage4, choosing_the_theme_already_chosen_keeps_what_was_typed) {
    GisEditor e;
    CPunGps* p = e.sample.first;
    gis::CEnt* before = gis::CLibGis::GetEnt(p->GetEntVert());
    EXPECT_TRUE(e.run(p, [](Dialog& d) {
        d.selectPage(kPage);
        automation::Grid g = d.grid(IDC_GIS_TABLE);
        EXPECT_TRUE(g.edit(row(2), kValue, "3"));
        ASSERT_TRUE(d.select(IDC_GIS_THEME, 1));
        EXPECT_EQ(g.text(row(2), kValue), "3");
        d.click(IDOK);
    }));
    EXPECT_EQ(gis::CLibGis::GetEnt(p->GetEntVert()), before);
    EXPECT_NE(e.entity(p).find("|3|7|1|"), std::string::npos) << e.entity(p);
}

TEST(ModPunGpsPage4, name_code_and_position_changed_elsewhere_show_here_and_reach_the_entity) {
    GisEditor e;
    CPunGps* p = e.sample.first;
    EXPECT_TRUE(e.run(p, [&](Dialog& d) {
        d.selectPage(kPage); // the clone exists from now on, shown before the change
        d.selectPage(0);
        d.setText(IDC_POINT_NAME, "101bis");
        d.setText(IDC_DESCRIPTION, "Tombino");
        d.setText(IDC_LAT_SEC, "43.00000");
        const double x = e.sample.first->GetCoordX(); // the point itself has not moved yet
        d.selectPage(kPage);
        automation::Grid g = d.grid(IDC_GIS_TABLE);
        EXPECT_EQ(g.text(row(0), kValue), "101bis");
        EXPECT_EQ(g.text(row(1), kValue), "Tombino");
        EXPECT_EQ(g.text(row(2), kValue), "1.35");
        // The page's clone follows the working point; the point's entity waits for OK.
        ASSERT_EQ(e.manholes->GetNumEnts(), 2);
        const kit::geom::PNT_3D& clone =
            e.gis.GetEntVert(e.gis.GetEntPart(e.manholes->GetEntAt(1), 0), 0)->GetCoord();
        EXPECT_NE(clone.y, p->GetEntVert()->GetCoord().y);
        EXPECT_EQ(p->GetEntVert()->GetCoord().x, x);
        d.click(IDOK);
    }));
    EXPECT_NE(e.entity(p).find(":101bis|Tombino|1.35|"), std::string::npos) << e.entity(p);
    EXPECT_EQ(p->GetEntVert()->GetCoord().x, p->GetCoordX());
    EXPECT_EQ(p->GetEntVert()->GetCoord().y, p->GetCoordY());
    EXPECT_EQ(p->GetEntVert()->GetCoord().z, p->GetCoordZ());
    EXPECT_EQ(e.entities(), 1);
}

TEST(ModPunGpsPage4, ok_without_the_page_or_cancel_leaves_the_entity_untouched) {
    GisEditor e;
    CPunGps* p = e.sample.first;
    const std::string entity = e.entity(p);
    EXPECT_TRUE(e.run(p, [](Dialog& d) {
        d.selectPage(3);
        d.click(IDOK);
    }));
    EXPECT_EQ(e.entity(p), entity);
    EXPECT_EQ(e.entities(), 1);

    for (bool escape : {true, false}) {
        EXPECT_FALSE(e.run(p, [&](Dialog& d) {
            d.selectPage(kPage);
            d.grid(IDC_GIS_TABLE).edit(row(2), kValue, "9");
            d.select(IDC_GIS_THEME, 2);
            escape ? d.escape() : d.close();
        }));
        EXPECT_EQ(e.entity(p), entity);
        EXPECT_EQ(e.entities(), 1);
    }
}

TEST(ModPunGpsPage4, many_theme_changes_leave_one_entity_and_the_last_theme) {
    GisEditor e;
    CPunGps* p = e.sample.first;
    EXPECT_TRUE(e.run(p, [&](Dialog& d) {
        d.selectPage(kPage);
        for (int i = 0; i < 200; ++i)
            d.select(IDC_GIS_THEME, i % 3);
        EXPECT_EQ(e.entities(), 2); // the point's and the page's
        d.select(IDC_GIS_THEME, 2);
        d.click(IDOK);
    }));
    EXPECT_EQ(e.gis.GetThemeName(p->GetEntVert()), kit::String("Alberi"));
    EXPECT_EQ(e.entities(), 1);
}

TEST(ModPunGpsPage4, opening_on_the_gis_page_shows_the_entity_at_once) {
    GisEditor e;
    CPunGps* p = e.sample.first;
    EXPECT_TRUE(e.run(p, [](Dialog& d) {
        d.selectPage(kPage);
        d.click(IDOK);
    }));
    EXPECT_TRUE(e.run(p, [](Dialog& d) {
        EXPECT_EQ(d.activePage(), kPage);
        EXPECT_EQ(d.items(IDC_GIS_THEME), (std::vector<std::string>{"", "Pozzetti", "Alberi"}));
        EXPECT_EQ(d.selection(IDC_GIS_THEME), 1);
        EXPECT_EQ(d.grid(IDC_GIS_TABLE).text(row(2), kValue), "1.35");
        EXPECT_TRUE(d.grid(IDC_GIS_TABLE).edit(row(2), kValue, "1.4"));
        d.click(IDOK);
    }));
    EXPECT_NE(e.entity(p).find("|1.4|"), std::string::npos) << e.entity(p);
}
