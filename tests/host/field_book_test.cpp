// The field book: groups and points, descriptions with their tags, positions, projections.
#include "gpsdialogs/interfaces/ConvCoord.h"
#include "gpsdialogs/interfaces/Cts.h"
#include "gpsdialogs/interfaces/DrawEng.h"
#include "gpsdialogs/interfaces/LibGps.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

namespace {
constexpr double kDeg = std::numbers::pi / 180.0;
constexpr double kTenthMmAsRadians = 1e-4 / 6371000.0;
} // namespace

TEST(FieldBook, a_new_point_has_no_values) {
    CLibGps lib;
    CGrpGps* group = lib.AddGrp("Rilievo A");
    CPunGps point(nullptr, false, group);
    EXPECT_EQ(point.m_pGrp, group);
    EXPECT_EQ(group->GetPunCount(), 0); // a standalone working point is not listed
    for (double v :
         {point.GetLat(), point.GetLong(), point.GetElev(), point.GetAltAnt(), point.GetPdop(),
          point.GetGdop(), point.GetCoordX(), point.GetCoordY(), point.GetCoordZ()})
        EXPECT_EQ(v, EGN_NOVALUE);
    double x, y, z;
    EXPECT_FALSE(point.GetGeocCeFaMis(x, y, z));
    double e[6];
    EXPECT_FALSE(point.GetDatiErrStat(e[0], e[1], e[2], e[3], e[4], e[5]));
    EXPECT_EQ(e[5], EGN_NOVALUE);
    EXPECT_TRUE(point.GetNome().empty());
    EXPECT_TRUE(point.GetCode().empty());
    EXPECT_EQ(point.GetCodeMask(), 0u);
    EXPECT_EQ(point.GetEntVert(), nullptr);
    EXPECT_FALSE(IsEgnValueDefined(EGN_NOVALUE));
    EXPECT_FALSE(IsEgnValueDefined(std::nan("")));
    EXPECT_TRUE(IsEgnValueDefined(8.4e199));
}

TEST(FieldBook, code_and_description_are_one_text) {
    CPunGps point(nullptr, false, nullptr);
    point.SetCode("pozzetto");
    EXPECT_EQ(point.GetSecScri(), "pozzetto");
    CEgn& element = point;
    element.SetSecScri("spigolo");
    EXPECT_EQ(point.GetCode(), "spigolo");
}

TEST(FieldBook, the_vrs_tag_comes_and_goes_with_the_mark) {
    CPunGps point(nullptr, false, nullptr);
    struct Case {
        const char* before;
        const char* marked;
    };
    for (const Case& c :
         {Case{"", "[VRS]"}, Case{"base", "base [VRS]"}, Case{"base ", "base [VRS]"}}) {
        point.SetCode(c.before);
        EXPECT_TRUE(point.SetPointAsVrs());
        EXPECT_EQ(point.GetSecScri(), c.marked);
        EXPECT_TRUE(point.IsPointVrs());
        EXPECT_FALSE(point.SetPointAsVrs()); // once only
        EXPECT_EQ(point.GetSecScri(), c.marked);
        EXPECT_TRUE(point.ClearPointAsVrs());
        EXPECT_FALSE(point.IsPointVrs());
    }
    point.SetCode("[VRS] muro");
    EXPECT_TRUE(point.ClearPointAsVrs());
    EXPECT_EQ(point.GetCode(), "muro");
    point.SetCode("muro [VRS] nord [VRS]");
    EXPECT_TRUE(point.IsPointVrs());
    EXPECT_TRUE(point.ClearPointAsVrs());
    EXPECT_EQ(point.GetCode(), "muro nord");
    point.SetCode("muro [vrs]");
    EXPECT_FALSE(point.IsPointVrs());
    EXPECT_FALSE(point.ClearPointAsVrs());
    EXPECT_EQ(point.GetCode(), "muro [vrs]");
}

TEST(FieldBook, clearing_vrs_marks_spares_the_kept_point) {
    CLibGps lib;
    lib.AddGrp("A");
    for (const char* code : {"a [VRS]", "b [VRS]", "c", "[VRS]"})
        lib.AddPun(0)->SetCode(code);
    CGrpGps* group = lib.GetGrpAt(0);
    std::vector<int> cleared{99};
    EXPECT_TRUE(group->ClearAllPointVrs(1, cleared));
    EXPECT_EQ(cleared, (std::vector<int>{0, 3}));
    EXPECT_EQ(lib.GetPunAt(0, 0)->GetCode(), "a");
    EXPECT_EQ(lib.GetPunAt(0, 1)->GetCode(), "b [VRS]");
    EXPECT_EQ(lib.GetPunAt(0, 3)->GetCode(), "");
    EXPECT_TRUE(group->ClearAllPointVrs(-1, cleared));
    EXPECT_EQ(cleared, (std::vector<int>{1}));
    EXPECT_FALSE(group->ClearAllPointVrs(-1, cleared));
    EXPECT_TRUE(cleared.empty());
}

TEST(FieldBook, reference_network_tag_of_the_base_station) {
    CGrpGps group;
    group.SetSecScri("Base Milano");
    EXPECT_FALSE(group.SetBaseEuref(0));
    EXPECT_EQ(group.GetSecScri(), "Base Milano");
    EXPECT_TRUE(group.SetBaseEuref(10));
    EXPECT_TRUE(group.SetBaseEuref(10));
    EXPECT_EQ(group.GetSecScri(), "Base Milano [WGS84-ETRF2000]");
    EXPECT_EQ(group.GetBaseEurefCode(), 10);
    EXPECT_TRUE(group.IsBaseEuref());
    EXPECT_TRUE(group.ClearBaseEuref());
    EXPECT_EQ(group.GetSecScri(), "Base Milano");
    EXPECT_EQ(group.GetBaseEurefCode(), 0);
    EXPECT_FALSE(group.ClearBaseEuref());
}

TEST(FieldBook, thirteen_independent_codes) {
    using Is = bool (CEgn::*)() const;
    using Set = void (CEgn::*)(bool);
    const std::pair<Is, Set> codes[] = {
        {&CEgn::IsCodedOR, &CEgn::SetCodeOR}, {&CEgn::IsCodedQU, &CEgn::SetCodeQU},
        {&CEgn::IsCodedOC, &CEgn::SetCodeOC}, {&CEgn::IsCodedNC, &CEgn::SetCodeNC},
        {&CEgn::IsCodedCL, &CEgn::SetCodeCL}, {&CEgn::IsCodedNT, &CEgn::SetCodeNT},
        {&CEgn::IsCodedLD, &CEgn::SetCodeLD}, {&CEgn::IsCodedFL, &CEgn::SetCodeFL},
        {&CEgn::IsCodedNP, &CEgn::SetCodeNP}, {&CEgn::IsCodedNE, &CEgn::SetCodeNE},
        {&CEgn::IsCodedIL, &CEgn::SetCodeIL}, {&CEgn::IsCodedNV, &CEgn::SetCodeNV},
        {&CEgn::IsCodedNL, &CEgn::SetCodeNL}};
    for (std::size_t i = 0; i < std::size(codes); ++i) {
        CPunGps point(nullptr, false, nullptr);
        (point.*codes[i].second)(true);
        for (std::size_t j = 0; j < std::size(codes); ++j)
            EXPECT_EQ((point.*codes[j].first)(), i == j) << i << " " << j;
        (point.*codes[i].second)(false);
        EXPECT_EQ(point.GetCodeMask(), 0u);
    }
}

TEST(FieldBook, geographic_and_geocentric_positions_follow_each_other) {
    CPunGps point(nullptr, false, nullptr);
    point.SetLat(45.4642 * kDeg);
    double x, y, z;
    EXPECT_FALSE(point.GetGeocCeFaMis(x, y, z)); // longitude and elevation still missing
    point.SetLong(9.19 * kDeg);
    point.SetElev(160.0);
    ASSERT_TRUE(point.GetGeocCeFaMis(x, y, z));
    double rx, ry, rz;
    ASSERT_TRUE(GeoToGeocentric(45.4642 * kDeg, 9.19 * kDeg, 160.0, rx, ry, rz));
    EXPECT_NEAR(x, rx, 1e-6);
    EXPECT_NEAR(y, ry, 1e-6);
    EXPECT_NEAR(z, rz, 1e-6);

    // A baseline end point: geocentric first, geographic derived.
    point.SetGeocCeFaMis(x + 1.5, y, z);
    double x2, y2, z2;
    ASSERT_TRUE(point.GetGeocCeFaMis(x2, y2, z2));
    EXPECT_EQ(x2, x + 1.5);
    CPunGps check(nullptr, false, nullptr);
    check.SetGeo(point.GetLat(), point.GetLong(), point.GetElev());
    ASSERT_TRUE(check.GetGeocCeFaMis(x2, y2, z2));
    EXPECT_NEAR(x2, x + 1.5, 1e-4);
    EXPECT_NEAR(y2, y, 1e-4);
    EXPECT_NEAR(z2, z, 1e-4);

    point.SetElev(EGN_NOVALUE);
    EXPECT_FALSE(point.GetGeocCeFaMis(x2, y2, z2));
    point.SetGeocCeFaMis(4.4e6, EGN_NOVALUE, 4.5e6);
    EXPECT_EQ(point.GetLat(), EGN_NOVALUE);
    EXPECT_EQ(point.GetElev(), EGN_NOVALUE);
}

TEST(FieldBook, base_station_position_derives_from_its_geocentric_position) {
    CGrpGps group;
    EXPECT_EQ(group.GetBaseLat(), EGN_NOVALUE);
    double x, y, z;
    ASSERT_TRUE(GeoToGeocentric(41.9028 * kDeg, 12.4964 * kDeg, 75.25, x, y, z));
    group.SetGeocCeFaMis(x, y, z);
    EXPECT_NEAR(group.GetBaseLat(), 41.9028 * kDeg, kTenthMmAsRadians);
    EXPECT_NEAR(group.GetBaseLong(), 12.4964 * kDeg, kTenthMmAsRadians);
    EXPECT_NEAR(group.GetBaseElev(), 75.25, 1e-4);
    group.SetGeocCeFaMis(EGN_NOVALUE, y, z);
    EXPECT_EQ(group.GetBaseLat(), EGN_NOVALUE);
    EXPECT_EQ(group.GetBaseLong(), EGN_NOVALUE);
    EXPECT_EQ(group.GetBaseElev(), EGN_NOVALUE);
}

TEST(FieldBook, indices_of_points_and_groups) {
    CLibGps lib;
    lib.AddGrp("A");
    lib.AddGrp("B");
    lib.AddPun(0);
    CPunGps* p = lib.AddPun(1);
    lib.AddPun(1);
    EXPECT_EQ(lib.GetGrpArSize(), 2);
    EXPECT_EQ(lib.GetPunArSize(1), 2);
    EXPECT_EQ(lib.GetPunArSize(7), 0);
    EXPECT_EQ(lib.GetPunAt(1, 0), p);
    EXPECT_EQ(lib.GetPunAt(1, 2), nullptr);
    EXPECT_EQ(lib.GetGrpAt(-1), nullptr);
    EXPECT_EQ(lib.GetGrpAt(1)->GetNomeGrp(), "B");
    int g = 5, i = 5;
    EXPECT_TRUE(lib.GetIndiciDiPun(p, g, i));
    EXPECT_EQ(g, 1);
    EXPECT_EQ(i, 0);
    CPunGps stray(nullptr, false, lib.GetGrpAt(0));
    EXPECT_FALSE(lib.GetIndiciDiPun(&stray, g, i));
    EXPECT_EQ(g, -1);
    EXPECT_EQ(i, -1);
    EXPECT_FALSE(lib.GetIndiciDiPun(nullptr, g, i));
    EXPECT_TRUE(lib.GetIndiciDiGrp(lib.GetGrpAt(1), g));
    EXPECT_EQ(g, 1);
    CGrpGps other;
    EXPECT_FALSE(lib.GetIndiciDiGrp(&other, g));
    EXPECT_EQ(g, -1);
}

TEST(FieldBook, listed_points_leave_their_group_when_deleted) {
    CLibGps lib;
    CGrpGps* group = lib.AddGrp("A");
    auto* first = new CPunGps(nullptr, true, group);
    CPunGps* second = group->AddPun();
    EXPECT_EQ(group->GetPunCount(), 2);
    EXPECT_EQ(first->m_pGrp, group);
    delete first;
    EXPECT_EQ(group->GetPunCount(), 1);
    EXPECT_EQ(group->GetPunAt(0), second);
    EXPECT_TRUE(group->RemovePun(0));
    EXPECT_FALSE(group->RemovePun(0));
    EXPECT_EQ(group->GetPunCount(), 0);
}

TEST(FieldBook, projection_gives_the_group_a_converter) {
    CGrpGps group;
    EXPECT_FALSE(group.IsCdElabValid());
    EXPECT_EQ(group.GetConvCoord(), nullptr);
    std::string error;
    ASSERT_TRUE(group.SetProjection("EPSG:6707", 47.5, &error)) << error;
    EXPECT_TRUE(group.IsCdElabValid());
    CConvCoord* conv = group.GetConvCoord();
    ASSERT_NE(conv, nullptr);
    EXPECT_EQ(group.GetConvCoord(), conv); // made once
    double x, y, z;
    ASSERT_TRUE(conv->GrafGpsToPlanAtt(45.0 * kDeg, 9.0 * kDeg, 300.0, 2.0, x, y, z));
    EXPECT_NEAR(z, 250.5, 1e-9);
    ASSERT_TRUE(group.SetProjection("EPSG:6707", 40.0));
    EXPECT_EQ(group.GetConvCoord(), conv); // same system: same converter, new undulation
    ASSERT_TRUE(conv->GrafGpsToPlanAtt(45.0 * kDeg, 9.0 * kDeg, 300.0, 2.0, x, y, z));
    EXPECT_NEAR(z, 258.0, 1e-9);

    EXPECT_FALSE(group.SetProjection("EPSG:4326", 0.0, &error));
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(group.IsCdElabValid());
    EXPECT_EQ(group.GetConvCoord(), nullptr);
    EXPECT_TRUE(group.GetProjection().empty());
}

TEST(FieldBook, graphic_model_options_keep_their_order) {
    CLibGps lib;
    lib.m_OpzListDisEgn.AddOpzCom("Pozzetto");
    lib.m_OpzListDisEgn.AddOpzCom("Albero");
    ASSERT_EQ(lib.m_OpzListDisEgn.GetNuOpzCom(), 2);
    EXPECT_EQ(lib.m_OpzListDisEgn.GetOpzCom(1)->GetNomeOpz(), "Albero");
    EXPECT_EQ(lib.m_OpzListDisEgn.GetOpzCom(2), nullptr);
}

TEST(HostContext, drawing_locks_and_survey_row_label) {
    CDrawEng eng;
    EXPECT_FALSE(eng.IsDrawingLocked(7));
    eng.LockDrawing(7);
    EXPECT_TRUE(eng.IsDrawingLocked(7));
    EXPECT_FALSE(eng.IsDrawingLocked(8));
    eng.UnlockDrawing(7);
    EXPECT_FALSE(eng.IsDrawingLocked(7));
    CCts cts;
    EXPECT_EQ(cts.m_Rig.GetLblNome2(), "");
    cts.m_Rig.SetLblNome2("TR");
    EXPECT_EQ(cts.m_Rig.GetLblNome2(), "TR");
}
