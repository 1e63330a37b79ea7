// "Coordinate assolute" and "Punto finale di baseline": the plane coordinates and the
// geocentric differences edited, the rest derived, undone when it cannot be derived.
#include "EditorFixture.h"
#include "gpsdialogs/interfaces/ConvCoord.h"
#include "resource.h"

#include <gtest/gtest.h>

using automation::Dialog;
using pointedit_test::describe;
using pointedit_test::Editor;
using testsupport::degrees;

TEST(ModPunGpsPage2, editing_north_moves_the_geographic_position_and_keeps_east) {
    Editor e;
    CPunGps* p = e.sample.first;
    EXPECT_TRUE(e.run(p, [](Dialog& d) {
        d.selectPage(1);
        EXPECT_EQ(d.activePage(), 1);
        EXPECT_EQ(d.text(IDC_ELEVATION), "96.0000");
        EXPECT_TRUE(d.readOnly(IDC_LAT_SEC));
        EXPECT_TRUE(d.readOnly(IDC_ANTENNA_HEIGHT));
        d.setText(IDC_NORTH, "4928300");
        d.type(IDC_NORTH, ".5");
        EXPECT_EQ(d.text(IDC_ELEVATION).find('.'), d.text(IDC_ELEVATION).size() - 4);
        d.click(IDOK);
    }));
    EXPECT_DOUBLE_EQ(p->GetCoordX(), 686728.4567);
    EXPECT_DOUBLE_EQ(p->GetCoordY(), 4928300.5);
    double lat = 0, lon = 0, elev = 0;
    ASSERT_TRUE(e.sample.projected->GetConvCoord()->PlanAttToGrafGps(686728.4567, 4928300.5, 94.0,
                                                                     2.0, lat, lon, elev));
    EXPECT_DOUBLE_EQ(p->GetLat(), lat);
    EXPECT_DOUBLE_EQ(p->GetLong(), lon);
    EXPECT_DOUBLE_EQ(p->GetElev(), elev);
}

TEST(ModPunGpsPage2, editing_east_keeps_north) {
    Editor e;
    EXPECT_TRUE(e.run(e.sample.first, [](Dialog& d) {
        d.selectPage(1);
        d.setText(IDC_EAST, "686700");
        d.click(IDOK);
    }));
    EXPECT_DOUBLE_EQ(e.sample.first->GetCoordX(), 686700.0);
    EXPECT_DOUBLE_EQ(e.sample.first->GetCoordY(), 4928312.0001);
}

TEST(ModPunGpsPage2, without_projection_north_is_stored_and_the_position_kept) {
    Editor e;
    CPunGps* p = e.sample.third;
    p->SetGeo(degrees(45), degrees(9), 10.12345);
    EXPECT_TRUE(e.run(p, [](Dialog& d) {
        d.selectPage(1);
        EXPECT_EQ(d.text(IDC_ELEVATION), "10.1235");
        d.setText(IDC_NORTH, "55");
        EXPECT_EQ(d.text(IDC_ELEVATION), "10.123");
        d.click(IDOK);
    }));
    EXPECT_DOUBLE_EQ(p->GetCoordY(), 55.0);
    EXPECT_DOUBLE_EQ(p->GetLat(), degrees(45));
    EXPECT_DOUBLE_EQ(p->GetElev(), 10.12345);
}

TEST(ModPunGpsPage2, an_undefined_antenna_height_undoes_every_keystroke) {
    Editor e;
    CPunGps* p = e.sample.first;
    p->SetAltAnt(EGN_NOVALUE);
    const std::string before = describe(*p);
    EXPECT_TRUE(e.run(p, [](Dialog& d) {
        d.selectPage(1);
        d.type(IDC_HEIGHT, "1");
        EXPECT_EQ(d.text(IDC_HEIGHT), "94.000");
        d.click(IDOK);
    }));
    EXPECT_EQ(describe(*p), before);
}

TEST(ModPunGpsPage2, an_empty_height_disables_ok) {
    Editor e;
    e.run(e.sample.first, [](Dialog& d) {
        d.selectPage(1);
        d.setText(IDC_HEIGHT, "");
        EXPECT_FALSE(d.enabled(IDOK));
        d.type(IDC_HEIGHT, "9");
        EXPECT_TRUE(d.enabled(IDOK));
        d.click(IDCANCEL);
    });
}

TEST(ModPunGpsPage2, locked_coordinates_leave_no_editable_coordinate) {
    Editor e;
    e.run(
        e.sample.first,
        [](Dialog& d) {
            d.selectPage(1);
            for (int id : {IDC_NORTH, IDC_EAST, IDC_HEIGHT, IDC_LAT_DEG, IDC_ELEVATION,
                           IDC_ANTENNA_HEIGHT, IDC_GEOC_X})
                EXPECT_TRUE(d.readOnly(id)) << id;
            EXPECT_FALSE(d.readOnly(IDC_POINT_NAME));
            EXPECT_FALSE(d.readOnly(IDC_COV_XX));
            d.selectPage(2);
            for (int id : {IDC_GEOC_X, IDC_GEOC_Y, IDC_GEOC_Z})
                EXPECT_TRUE(d.readOnly(id)) << id;
            d.click(IDCANCEL);
        },
        false);
}

TEST(ModPunGpsPage2, the_description_is_written_as_the_points_description) {
    Editor e;
    EXPECT_TRUE(e.run(e.sample.first, [](Dialog& d) {
        d.selectPage(1);
        d.setText(IDC_DESCRIPTION, "Cancello");
        d.click(IDOK);
    }));
    EXPECT_EQ(e.sample.first->GetSecScri(), "Cancello");
}

// ---- "Punto finale di baseline" -------------------------------------------------------------

TEST(ModPunGpsPage2a, dx_typed_on_a_base_at_4400000_sets_the_geocentric_x) {
    Editor e;
    CGrpGps* g = e.sample.projected;
    g->SetGeocCeFaMis(4400000.0, 880000.0, 4520000.0);
    CPunGps* p = e.sample.first;
    std::string dy;
    std::string dz;
    EXPECT_TRUE(e.run(p, [&](Dialog& d) {
        d.selectPage(2);
        EXPECT_EQ(d.label(IDC_VRS), "Punto di emanazione del rilievo:");
        dy = d.text(IDC_GEOC_Y);
        dz = d.text(IDC_GEOC_Z);
        d.setText(IDC_GEOC_X, "");
        d.type(IDC_GEOC_X, "1.5");
        d.click(IDOK);
    }));
    double x = 0, y = 0, z = 0;
    ASSERT_TRUE(p->GetGeocCeFaMis(x, y, z));
    EXPECT_DOUBLE_EQ(x, 4400001.5);
    EXPECT_DOUBLE_EQ(y, 880000.0 + DoubleDaString(dy));
    EXPECT_DOUBLE_EQ(z, 4520000.0 + DoubleDaString(dz));
    double ex = 0, ey = 0, ez = 0;
    ASSERT_TRUE(g->GetConvCoord()->GrafGpsToPlanAtt(p->GetLat(), p->GetLong(), p->GetElev(),
                                                    p->GetAltAnt(), ex, ey, ez));
    EXPECT_DOUBLE_EQ(p->GetCoordX(), ex);
    EXPECT_DOUBLE_EQ(p->GetCoordY(), ey);
}

TEST(ModPunGpsPage2a, without_projection_the_position_is_stored_and_the_plane_kept) {
    Editor e;
    CGrpGps* g = e.sample.plain;
    g->SetGeocCeFaMis(4400000.0, 880000.0, 4520000.0);
    CPunGps* p = e.sample.third;
    p->SetGeocCeFaMis(4400010.0, 880010.0, 4520010.0);
    EXPECT_TRUE(e.run(p, [](Dialog& d) {
        d.selectPage(2);
        EXPECT_EQ(d.text(IDC_GEOC_X), "10.000");
        d.setText(IDC_GEOC_Y, "-20");
        EXPECT_EQ(d.text(IDC_EAST), "123.457");
        d.click(IDOK);
    }));
    double x = 0, y = 0, z = 0;
    ASSERT_TRUE(p->GetGeocCeFaMis(x, y, z));
    EXPECT_DOUBLE_EQ(y, 879980.0);
    EXPECT_DOUBLE_EQ(p->GetCoordX(), 123.4567);
}

TEST(ModPunGpsPage2a, a_failed_recomputation_puts_text_and_position_back) {
    Editor e;
    CPunGps* p = e.sample.first;
    p->SetAltAnt(EGN_NOVALUE);
    const std::string before = describe(*p);
    double x0 = 0, y0 = 0, z0 = 0;
    p->GetGeocCeFaMis(x0, y0, z0);
    EXPECT_TRUE(e.run(p, [](Dialog& d) {
        d.selectPage(2);
        const std::string dx = d.text(IDC_GEOC_X);
        d.type(IDC_GEOC_X, "7");
        EXPECT_EQ(d.text(IDC_GEOC_X), dx);
        d.click(IDOK);
    }));
    double x = 0, y = 0, z = 0;
    p->GetGeocCeFaMis(x, y, z);
    EXPECT_DOUBLE_EQ(x, x0);
    EXPECT_EQ(describe(*p), before);
}

TEST(ModPunGpsPage2a, an_empty_dz_disables_ok) {
    Editor e;
    e.run(e.sample.first, [](Dialog& d) {
        d.selectPage(2);
        d.setText(IDC_GEOC_Z, "");
        EXPECT_FALSE(d.enabled(IDOK));
        d.click(IDCANCEL);
    });
}

TEST(ModPunGpsPage2a, an_unknown_model_is_added_as_on_the_other_pages) {
    Editor e;
    e.sample.first->SetAttribDis("Palo");
    e.run(e.sample.first, [](Dialog& d) {
        d.selectPage(2);
        EXPECT_EQ(d.items(IDC_GRAPHIC_MODEL),
                  (std::vector<std::string>{"", "Pozzetto", "Albero", "Palo"}));
        EXPECT_EQ(d.selection(IDC_GRAPHIC_MODEL), 3);
        d.click(IDCANCEL);
    });
}
