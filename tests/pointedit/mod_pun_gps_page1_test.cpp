// "Dati libretto" and what the three point-data pages share: the fill from the working point,
// the angle fields typed key by key, the roll-back, the OK rule, the coordinate lock, the
// description with the VRS tag, the graphic-model list and the precision fields.
#include "EditorFixture.h"
#include "gpsdialogs/interfaces/ConvCoord.h"
#include "resource.h"

#include <gtest/gtest.h>

using automation::Dialog;
using pointedit_test::describe;
using pointedit_test::Editor;
using testsupport::degrees;

namespace {

// The plane coordinates the group's converter gives for the point's geographic position.
void expectPlaneFollows(const CPunGps& p) {
    double x = 0, y = 0, z = 0;
    ASSERT_TRUE(p.m_pGrp->GetConvCoord()->GrafGpsToPlanAtt(p.GetLat(), p.GetLong(), p.GetElev(),
                                                           p.GetAltAnt(), x, y, z));
    EXPECT_DOUBLE_EQ(p.GetCoordX(), x);
    EXPECT_DOUBLE_EQ(p.GetCoordY(), y);
    EXPECT_DOUBLE_EQ(p.GetCoordZ(), z);
}

} // namespace

TEST(ModPunGpsPage1, shows_the_point_as_the_field_book_holds_it) {
    Editor e;
    e.run(e.sample.first, [](Dialog& d) {
        EXPECT_EQ(d.text(IDC_GROUP_NAME), "Rilievo A");
        EXPECT_EQ(d.text(IDC_POINT_NAME), "101");
        EXPECT_EQ(d.text(IDC_DESCRIPTION), "Spigolo fabbricato");
        EXPECT_EQ(d.text(IDC_ANTENNA_HEIGHT), "2.000");
        EXPECT_EQ(d.text(IDC_LAT_DEG), "44");
        EXPECT_EQ(d.text(IDC_LAT_MIN), "29");
        EXPECT_EQ(d.text(IDC_LAT_SEC), "42.00000");
        EXPECT_EQ(d.text(IDC_LON_DEG), "11");
        EXPECT_EQ(d.text(IDC_LON_MIN), "20");
        EXPECT_EQ(d.text(IDC_LON_SEC), "34.80000");
        EXPECT_EQ(d.text(IDC_ELEVATION), "96.0000");
        EXPECT_EQ(d.text(IDC_EAST), "686728.457");
        EXPECT_EQ(d.text(IDC_NORTH), "4928312.000");
        EXPECT_EQ(d.text(IDC_HEIGHT), "94.000");
        EXPECT_EQ(d.text(IDC_COV_XX), "0.0001234567");
        EXPECT_EQ(d.text(IDC_PDOP), "1.235");
        EXPECT_EQ(d.text(IDC_GDOP), "2.346");
        EXPECT_FALSE(d.text(IDC_GEOC_X).empty());
        EXPECT_TRUE(d.readOnly(IDC_NORTH));
        EXPECT_TRUE(d.readOnly(IDC_GEOC_X));
        EXPECT_FALSE(d.readOnly(IDC_LAT_SEC));
        EXPECT_EQ(d.items(IDC_GRAPHIC_MODEL), (std::vector<std::string>{"", "Pozzetto", "Albero"}));
        EXPECT_EQ(d.selection(IDC_GRAPHIC_MODEL), 2);
        d.click(IDCANCEL);
    });
}

TEST(ModPunGpsPage1, undefined_values_show_as_empty_fields) {
    Editor e;
    e.run(e.sample.second, [](Dialog& d) {
        for (int id : {IDC_ANTENNA_HEIGHT, IDC_LAT_DEG, IDC_LAT_MIN, IDC_LAT_SEC, IDC_LON_DEG,
                       IDC_LON_MIN, IDC_LON_SEC, IDC_ELEVATION, IDC_EAST, IDC_NORTH, IDC_HEIGHT,
                       IDC_GEOC_X, IDC_GEOC_Y, IDC_GEOC_Z, IDC_PDOP, IDC_GDOP})
            EXPECT_EQ(d.text(id), "") << id;
        d.click(IDCANCEL);
    });
}

TEST(ModPunGpsPage1, typing_in_each_angle_field_moves_the_point_and_its_plane_coordinates) {
    // Degrees are replaced at once (a single degree is outside the group's projection and
    // would be undone); minutes and seconds are typed key by key from an empty field.
    struct Case {
        int id;
        const char* pasted;
        const char* typed;
        double lat;
        double lon;
    };
    const double lat0 = degrees(44.495);
    const double lon0 = degrees(11.343);
    const Case cases[] = {
        {IDC_LAT_DEG, "45", "", AngRadiFromSesg(45, 29, 42.0), lon0},
        {IDC_LAT_MIN, "", "31", AngRadiFromSesg(44, 31, 42.0), lon0},
        {IDC_LAT_SEC, "", "12.125", AngRadiFromSesg(44, 29, 12.125), lon0},
        {IDC_LON_DEG, "10", "", lat0, AngRadiFromSesg(10, 20, 34.8)},
        {IDC_LON_MIN, "", "59.99", lat0, AngRadiFromSesg(11, 59, 34.8)},
        {IDC_LON_SEC, "", "1.5", lat0, AngRadiFromSesg(11, 20, 1.5)},
    };
    for (const Case& c : cases) {
        Editor e;
        EXPECT_TRUE(e.run(e.sample.first, [&](Dialog& d) {
            d.setText(c.id, c.pasted);
            d.type(c.id, c.typed); // one recomputation per key
            EXPECT_EQ(d.text(c.id), std::string(c.pasted) + c.typed);
            EXPECT_TRUE(d.enabled(IDOK));
            d.click(IDOK);
        })) << c.typed;
        const CPunGps& p = *e.sample.first;
        EXPECT_NEAR(p.GetLat(), c.lat, 1e-12) << c.pasted << c.typed;
        EXPECT_NEAR(p.GetLong(), c.lon, 1e-12) << c.pasted << c.typed;
        expectPlaneFollows(p);
    }
}

TEST(ModPunGpsPage1, the_plane_fields_show_the_recomputed_coordinates_at_once) {
    Editor e;
    e.run(e.sample.first, [&](Dialog& d) {
        d.type(IDC_LAT_SEC, "5"); // 42.000005
        double x = 0, y = 0, z = 0;
        e.sample.projected->GetConvCoord()->GrafGpsToPlanAtt(AngRadiFromSesg(44, 29, 42.000005),
                                                             degrees(11.343), 96.0, 2.0, x, y, z);
        EXPECT_EQ(d.text(IDC_EAST), StringDaDouble(x, 0, 3));
        EXPECT_EQ(d.text(IDC_NORTH), StringDaDouble(y, 0, 3));
        EXPECT_EQ(d.text(IDC_HEIGHT), StringDaDouble(z, 0, 3));
        d.click(IDCANCEL);
    });
}

TEST(ModPunGpsPage1, degrees_and_minutes_are_cut_toward_zero) {
    Editor e;
    CPunGps* p = e.sample.third; // no projection: any angle is kept
    p->SetGeo(AngRadiFromSesg(44, 29, 42.0), degrees(9), 10.0);
    p->SetAltAnt(1.8);
    EXPECT_TRUE(e.run(p, [](Dialog& d) {
        d.setText(IDC_LAT_DEG, "-12.7");
        d.setText(IDC_LAT_MIN, "30.9");
        d.click(IDOK);
    }));
    EXPECT_NEAR(p->GetLat(), AngRadiFromSesg(-12, 30, 42.0), 1e-12);
}

TEST(ModPunGpsPage1, without_projection_the_elevation_is_stored_and_the_plane_kept) {
    Editor e;
    CPunGps* p = e.sample.third;
    p->SetGeo(degrees(45), degrees(9), 10.0);
    p->SetAltAnt(1.8);
    EXPECT_TRUE(e.run(p, [](Dialog& d) {
        d.setText(IDC_ELEVATION, "12.5");
        EXPECT_EQ(d.text(IDC_EAST), "123.457");
        d.click(IDOK);
    }));
    EXPECT_DOUBLE_EQ(p->GetElev(), 12.5);
    EXPECT_DOUBLE_EQ(p->GetCoordX(), 123.4567);
    EXPECT_DOUBLE_EQ(p->GetCoordZ(), -1.25);
}

TEST(ModPunGpsPage1, an_undefined_antenna_height_undoes_every_keystroke) {
    Editor e;
    CPunGps* p = e.sample.first;
    p->SetAltAnt(EGN_NOVALUE);
    const std::string before = describe(*p);
    EXPECT_FALSE(e.run(p, [](Dialog& d) {
        d.type(IDC_LAT_SEC, "7");
        EXPECT_EQ(d.text(IDC_LAT_SEC), "42.00000");
        d.type(IDC_ELEVATION, "1");
        EXPECT_EQ(d.text(IDC_ELEVATION), "96.0000");
        // The page shown again is judged by the OK rule: the antenna height is missing.
        EXPECT_FALSE(d.enabled(IDOK));
        d.click(IDCANCEL);
    }));
    EXPECT_EQ(describe(*p), before);
}

TEST(ModPunGpsPage1, a_position_the_converter_refuses_is_undone) {
    Editor e;
    EXPECT_TRUE(e.run(e.sample.first, [](Dialog& d) {
        d.setText(IDC_LAT_DEG, "91000");
        EXPECT_EQ(d.text(IDC_LAT_DEG), "44");
        d.click(IDOK);
    }));
    EXPECT_NEAR(e.sample.first->GetLat(), AngRadiFromSesg(44, 29, 42.0), 1e-12);
}

TEST(ModPunGpsPage1, an_empty_required_field_disables_ok_across_pages_until_refilled) {
    Editor e;
    e.run(e.sample.first, [](Dialog& d) {
        d.setText(IDC_ELEVATION, "");
        EXPECT_FALSE(d.enabled(IDOK));
        d.selectPage(3);
        EXPECT_FALSE(d.enabled(IDOK));
        d.selectPage(0);
        EXPECT_FALSE(d.enabled(IDOK));
        d.type(IDC_ELEVATION, "9");
        EXPECT_TRUE(d.enabled(IDOK));
        d.click(IDCANCEL);
    });
}

TEST(ModPunGpsPage1, coordinates_are_locked_when_the_host_says_so) {
    Editor e;
    EXPECT_TRUE(e.run(
        e.sample.first,
        [](Dialog& d) {
            for (int id : {IDC_LAT_DEG, IDC_LAT_MIN, IDC_LAT_SEC, IDC_LON_DEG, IDC_LON_MIN,
                           IDC_LON_SEC, IDC_ELEVATION, IDC_ANTENNA_HEIGHT})
                EXPECT_TRUE(d.readOnly(id)) << id;
            EXPECT_TRUE(d.setText(IDC_POINT_NAME, "101a"));
            EXPECT_TRUE(d.setText(IDC_PDOP, "3"));
            EXPECT_TRUE(d.select(IDC_GRAPHIC_MODEL, 1));
            d.click(IDOK);
        },
        false));
    EXPECT_EQ(e.sample.first->GetNome(), "101a");
    EXPECT_DOUBLE_EQ(e.sample.first->GetPdop(), 3.0);
    EXPECT_EQ(e.sample.first->GetAttribDis(), "Pozzetto");
}

TEST(ModPunGpsPage1, the_vrs_tag_typed_in_the_description_sets_and_clears_the_mark) {
    Editor e;
    EXPECT_TRUE(e.run(e.sample.first, [](Dialog& d) {
        d.setText(IDC_DESCRIPTION, "Spigolo [VRS] nord");
        EXPECT_TRUE(d.checked(IDC_VRS));
        d.setText(IDC_DESCRIPTION, "Spigolo [vrs]");
        EXPECT_FALSE(d.checked(IDC_VRS));
        d.type(IDC_DESCRIPTION, "\b\b\b\bVRS]"); // "Spigolo [VRS]" key by key
        EXPECT_TRUE(d.checked(IDC_VRS));
        d.click(IDOK);
    }));
    EXPECT_TRUE(e.sample.first->IsPointVrs());
    EXPECT_EQ(e.sample.first->GetCode().find("[vrs]"), std::string::npos);
}

TEST(ModPunGpsPage1, the_model_list_keeps_an_unknown_model_and_the_empty_entry_clears_it) {
    Editor e;
    e.sample.first->SetAttribDis("Palo");
    EXPECT_TRUE(e.run(e.sample.first, [](Dialog& d) {
        EXPECT_EQ(d.items(IDC_GRAPHIC_MODEL),
                  (std::vector<std::string>{"", "Pozzetto", "Albero", "Palo"}));
        EXPECT_EQ(d.selection(IDC_GRAPHIC_MODEL), 3);
        d.click(IDOK);
    }));
    EXPECT_EQ(e.sample.first->GetAttribDis(), "Palo");
    EXPECT_TRUE(e.run(e.sample.first, [](Dialog& d) {
        d.select(IDC_GRAPHIC_MODEL, 0);
        d.click(IDOK);
    }));
    EXPECT_EQ(e.sample.first->GetAttribDis(), "");
}

TEST(ModPunGpsPage1, a_precision_field_stores_its_value_and_nothing_else) {
    Editor e;
    std::string before = describe(*e.sample.first);
    EXPECT_TRUE(e.run(e.sample.first, [](Dialog& d) {
        d.setText(IDC_COV_ZZ, "0.25");
        d.setText(IDC_GDOP, "4.5");
        d.click(IDOK);
    }));
    EXPECT_FLOAT_EQ(e.sample.first->GetPosCov_zz(), 0.25f);
    EXPECT_DOUBLE_EQ(e.sample.first->GetGdop(), 4.5);
    e.sample.first->SetPosCov_zz(0.0009876543f);
    e.sample.first->SetGdop(2.3456789);
    EXPECT_EQ(describe(*e.sample.first), before);
}
