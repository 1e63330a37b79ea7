// "Codici": the survey codes as check boxes, OR and QU shown only, NE clearing or
// recomputing the plane coordinates, and the survey row that locks NE.
#include "EditorFixture.h"
#include "gpsdialogs/interfaces/ConvCoord.h"
#include "resource.h"

#include <gtest/gtest.h>

using automation::Dialog;
using pointedit_test::Editor;

TEST(ModPunGpsPage3, shows_the_codes_and_keeps_or_and_qu_out_of_reach) {
    Editor e;
    CPunGps* p = e.sample.first;
    p->SetCodeOR(true);
    p->SetCodeQU(true);
    EXPECT_TRUE(e.run(p, [](Dialog& d) {
        d.selectPage(3);
        EXPECT_EQ(d.text(IDC_GROUP_NAME), "Rilievo A");
        EXPECT_EQ(d.text(IDC_DESCRIPTION), "Spigolo fabbricato");
        EXPECT_TRUE(d.checked(IDC_CODE_OR));
        EXPECT_TRUE(d.checked(IDC_CODE_QU));
        EXPECT_FALSE(d.enabled(IDC_CODE_OR));
        EXPECT_FALSE(d.click(IDC_CODE_QU));
        EXPECT_TRUE(d.checked(IDC_CODE_NC));
        EXPECT_FALSE(d.enabled(IDC_ANTENNA_HEIGHT));
        EXPECT_EQ(d.text(IDC_ANTENNA_HEIGHT), "");
        EXPECT_FALSE(d.enabled(IDC_VRS));
        for (int id : {IDC_CODE_CL, IDC_CODE_FL, IDC_CODE_IL, IDC_CODE_NT, IDC_CODE_NV, IDC_CODE_NL,
                       IDC_CODE_NP, IDC_CODE_OC, IDC_CODE_LD})
            EXPECT_TRUE(d.click(id)) << id;
        d.click(IDC_CODE_NC);
        d.click(IDOK);
    }));
    EXPECT_EQ(p->GetCodeMask(), EGN_CODE_OR | EGN_CODE_QU | EGN_CODE_CL | EGN_CODE_FL |
                                    EGN_CODE_IL | EGN_CODE_NT | EGN_CODE_NV | EGN_CODE_NL |
                                    EGN_CODE_NP | EGN_CODE_OC | EGN_CODE_LD);
}

TEST(ModPunGpsPage3, ne_on_clears_plane_and_errors_and_off_recomputes_only_the_plane) {
    Editor e;
    CPunGps* p = e.sample.first;
    EXPECT_TRUE(e.run(p, [](Dialog& d) {
        d.selectPage(3);
        d.click(IDC_CODE_NE);
        d.click(IDOK);
    }));
    EXPECT_TRUE(p->IsCodedNE());
    EXPECT_FALSE(IsEgnValueDefined(p->GetCoordX()));
    EXPECT_FALSE(IsEgnValueDefined(p->GetCoordZ()));
    double s[6];
    EXPECT_FALSE(p->GetDatiErrStat(s[0], s[1], s[2], s[3], s[4], s[5]));
    for (double v : s)
        EXPECT_EQ(v, EGN_NOVALUE);

    EXPECT_TRUE(e.run(p, [](Dialog& d) {
        d.selectPage(3);
        EXPECT_TRUE(d.checked(IDC_CODE_NE));
        d.click(IDC_CODE_NE);
        d.click(IDOK);
    }));
    EXPECT_FALSE(p->IsCodedNE());
    double x = 0, y = 0, z = 0;
    ASSERT_TRUE(e.sample.projected->GetConvCoord()->GrafGpsToPlanAtt(
        p->GetLat(), p->GetLong(), p->GetElev(), p->GetAltAnt(), x, y, z));
    EXPECT_DOUBLE_EQ(p->GetCoordX(), x);
    EXPECT_DOUBLE_EQ(p->GetCoordY(), y);
    EXPECT_DOUBLE_EQ(p->GetCoordZ(), z);
    EXPECT_FALSE(p->GetDatiErrStat(s[0], s[1], s[2], s[3], s[4], s[5]));
}

TEST(ModPunGpsPage3, ne_off_without_projection_or_elevation_leaves_the_plane_cleared) {
    Editor e;
    CPunGps* plain = e.sample.third;
    CPunGps* noElevation = e.sample.first;
    noElevation->SetElev(EGN_NOVALUE);
    for (CPunGps* p : {plain, noElevation}) {
        EXPECT_TRUE(e.run(p, [](Dialog& d) {
            d.selectPage(3);
            d.click(IDC_CODE_NE);
            d.click(IDC_CODE_NE);
            d.click(IDOK);
        }));
        EXPECT_FALSE(p->IsCodedNE());
        EXPECT_FALSE(IsEgnValueDefined(p->GetCoordX()));
    }
}

TEST(ModPunGpsPage3, a_traverse_survey_row_locks_ne_but_shows_it) {
    Editor e;
    e.sample.first->SetCodeNE(true);
    e.cts.m_Rig.SetLblNome2("TR");
    e.run(e.sample.first, [](Dialog& d) {
        d.selectPage(3);
        EXPECT_TRUE(d.checked(IDC_CODE_NE));
        EXPECT_FALSE(d.enabled(IDC_CODE_NE));
        d.click(IDCANCEL);
    });
    e.cts.m_Rig.SetLblNome2("tr");
    e.run(e.sample.first, [](Dialog& d) {
        d.selectPage(3);
        EXPECT_TRUE(d.enabled(IDC_CODE_NE));
        d.click(IDCANCEL);
    });
}

TEST(ModPunGpsPage3, name_description_and_model_are_written_at_every_change) {
    Editor e;
    e.sample.first->SetAttribDis("");
    EXPECT_TRUE(e.run(e.sample.first, [](Dialog& d) {
        d.selectPage(3);
        EXPECT_EQ(d.selection(IDC_GRAPHIC_MODEL), 0);
        d.type(IDC_DESCRIPTION, " est");
        d.setText(IDC_POINT_NAME, "");
        d.select(IDC_GRAPHIC_MODEL, 1);
        d.selectPage(0); // the other pages show what this one changed
        EXPECT_EQ(d.text(IDC_DESCRIPTION), "Spigolo fabbricato est");
        EXPECT_EQ(d.selection(IDC_GRAPHIC_MODEL), 1);
        d.click(IDOK);
    }));
    EXPECT_EQ(e.sample.first->GetCode(), "Spigolo fabbricato est");
    EXPECT_EQ(e.sample.first->GetNome(), "");
    EXPECT_EQ(e.sample.first->GetAttribDis(), "Pozzetto");
}
