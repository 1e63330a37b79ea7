// The point editor window: its pages, the remembered page, the copy-back on OK and nothing
// written on Annulla, the VRS rule, "Note" and the correction-declaration mode.
#include "EditorFixture.h"
#include "platform/propsheet.h"
#include "resource.h"

#include <gtest/gtest.h>

using automation::Dialog;
using pointedit_test::describe;
using pointedit_test::Editor;

TEST(NewDlgModPunGps, shows_five_pages_in_order_and_opens_on_the_first_without_a_key) {
    Editor e;
    bool seen = false;
    EXPECT_FALSE(e.run(e.sample.first, [&](Dialog& d) {
        seen = true;
        EXPECT_EQ(d.caption(), "Modifica punto GPS");
        ASSERT_EQ(d.pageCount(), 5);
        EXPECT_EQ(d.pageCaption(0), "Dati libretto");
        EXPECT_EQ(d.pageCaption(1), "Coordinate assolute");
        EXPECT_EQ(d.pageCaption(2), "Punto finale di baseline");
        EXPECT_EQ(d.pageCaption(3), "Codici");
        EXPECT_EQ(d.pageCaption(4), "Dati GIS");
        EXPECT_EQ(d.activePage(), 0);
        EXPECT_TRUE(d.enabled(IDC_POINT_NOTE));
        d.click(IDCANCEL);
    }));
    EXPECT_TRUE(seen);
    EXPECT_EQ(e.settings.read(), "");
}

TEST(NewDlgModPunGps, ok_remembers_the_active_page_and_annulla_writes_no_key) {
    Editor e;
    EXPECT_TRUE(e.run(e.sample.first, [](Dialog& d) {
        EXPECT_TRUE(d.selectPage(3));
        d.click(IDOK);
    }));
    const std::string afterOk = e.settings.read();
    EXPECT_NE(afterOk.find("[EDIT_GPS]"), std::string::npos);
    EXPECT_NE(afterOk.find("ModPt=3"), std::string::npos);

    EXPECT_FALSE(e.run(e.sample.first, [](Dialog& d) {
        EXPECT_EQ(d.activePage(), 3);
        d.selectPage(1);
        d.click(IDCANCEL);
    }));
    EXPECT_EQ(e.settings.read(), afterOk);

    EXPECT_TRUE(e.run(e.sample.first, [](Dialog& d) {
        EXPECT_EQ(d.activePage(), 3);
        d.selectPage(4);
        d.click(IDOK);
    }));
    EXPECT_NE(e.settings.read().find("ModPt=4"), std::string::npos);
}

TEST(NewDlgModPunGps, a_remembered_index_outside_the_pages_opens_the_first) {
    for (const char* stored : {"7", "-1", "5"}) {
        Editor e;
        e.settings.write(std::string("[EDIT_GPS]\nModPt=") + stored + "\n");
        e.run(e.sample.first, [&](Dialog& d) {
            EXPECT_EQ(d.activePage(), 0) << stored;
            d.click(IDCANCEL);
        });
    }
}

TEST(NewDlgModPunGps, ok_without_edits_leaves_the_point_exactly_as_it_was) {
    Editor e;
    const std::string before = describe(*e.sample.projected);
    for (int page = 0; page < 5; ++page)
        EXPECT_TRUE(e.run(e.sample.first, [&](Dialog& d) {
            for (int p = 0; p <= page; ++p)
                d.selectPage(p);
            d.click(IDOK);
        }));
    EXPECT_EQ(describe(*e.sample.projected), before);
}

TEST(NewDlgModPunGps, annulla_after_edits_on_several_pages_changes_nothing) {
    Editor e;
    e.settings.write("; tenuto\n[EDIT_GPS]\nModPt=2\n");
    const std::string settings = e.settings.read();
    const std::string groupA = describe(*e.sample.projected);
    const std::string groupB = describe(*e.sample.plain);
    EXPECT_FALSE(e.run(e.sample.first, [](Dialog& d) {
        d.selectPage(0);
        d.type(IDC_LAT_SEC, "9");
        d.setText(IDC_POINT_NAME, "Nuovo");
        d.selectPage(1);
        d.setText(IDC_NORTH, "4928000");
        d.selectPage(2);
        d.setText(IDC_GEOC_X, "12.5");
        d.selectPage(3);
        d.click(IDC_CODE_NE);
        d.click(IDC_CODE_IL);
        d.click(IDCANCEL);
    }));
    EXPECT_EQ(describe(*e.sample.projected), groupA);
    EXPECT_EQ(describe(*e.sample.plain), groupB);
    EXPECT_EQ(e.settings.read(), settings);
}

TEST(NewDlgModPunGps, ok_copies_the_edits_of_every_page_into_the_point) {
    Editor e;
    EXPECT_TRUE(e.run(e.sample.first, [](Dialog& d) {
        d.setText(IDC_POINT_NAME, "101bis");
        d.setText(IDC_COV_XX, "0.5");
        d.selectPage(3);
        d.click(IDC_CODE_IL);
        d.click(IDC_CODE_NC);
        d.click(IDOK);
    }));
    CPunGps& p = *e.sample.first;
    EXPECT_EQ(p.GetNome(), "101bis");
    EXPECT_FLOAT_EQ(p.GetPosCov_xx(), 0.5f);
    EXPECT_TRUE(p.IsCodedIL());
    EXPECT_FALSE(p.IsCodedNC());
    EXPECT_EQ(p.GetNote(), "Nota di campagna");
    EXPECT_EQ(e.sample.projected->GetPunCount(), 2); // the working point never joined the group
}

TEST(NewDlgModPunGps, vrs_point_confirmed_takes_the_mark_from_the_others_of_its_group) {
    Editor e;
    CPunGps* third = e.sample.book.AddPun(0);
    third->SetNome("102");
    e.sample.second->SetPointAsVrs();
    third->SetPointAsVrs();
    EXPECT_TRUE(e.run(e.sample.first, [](Dialog& d) {
        d.click(IDC_VRS);
        d.click(IDOK);
    }));
    EXPECT_TRUE(e.sample.first->IsPointVrs());
    EXPECT_FALSE(e.sample.second->IsPointVrs());
    EXPECT_FALSE(third->IsPointVrs());

    // Confirming a point without the mark clears only its own.
    e.sample.second->SetPointAsVrs();
    EXPECT_TRUE(e.run(e.sample.first, [](Dialog& d) {
        EXPECT_TRUE(d.checked(IDC_VRS));
        d.click(IDC_VRS);
        d.click(IDOK);
    }));
    EXPECT_FALSE(e.sample.first->IsPointVrs());
    EXPECT_TRUE(e.sample.second->IsPointVrs());
    EXPECT_FALSE(third->IsPointVrs());
}

TEST(NewDlgModPunGps, note_edits_the_working_point_and_reaches_the_point_only_on_ok) {
    Editor e;
    pointedit_test::NoteHost host;
    EXPECT_FALSE(e.run(
        e.sample.first,
        [](Dialog& d) {
            d.click(IDC_POINT_NOTE);
            d.click(IDCANCEL);
        },
        true, &host));
    EXPECT_EQ(host.calls, 1);
    EXPECT_NE(host.edited, e.sample.first);
    EXPECT_EQ(e.sample.first->GetNote(), "Nota di campagna");

    EXPECT_TRUE(e.run(
        e.sample.first,
        [](Dialog& d) {
            d.click(IDC_POINT_NOTE);
            d.click(IDOK);
        },
        true, &host));
    EXPECT_EQ(e.sample.first->GetNote(), "Nota di campagna rivista");
}

TEST(NewDlgModPunGps, without_host_object_note_is_enabled_and_does_nothing) {
    Editor e;
    const std::string before = describe(*e.sample.first);
    EXPECT_TRUE(e.run(e.sample.first, [](Dialog& d) {
        EXPECT_TRUE(d.enabled(IDC_POINT_NOTE));
        EXPECT_TRUE(d.click(IDC_POINT_NOTE));
        d.click(IDOK);
    }));
    EXPECT_EQ(describe(*e.sample.first), before);
}

TEST(NewDlgModPunGps, correction_declaration_mode_has_its_title_and_no_note) {
    Editor e;
    pointedit_test::NoteHost host;
    e.run(
        e.sample.first,
        [](Dialog& d) {
            EXPECT_EQ(d.caption(), "Edita dichiarazione di correzione - Punto Gps");
            EXPECT_FALSE(d.enabled(IDC_POINT_NOTE));
            EXPECT_FALSE(d.click(IDC_POINT_NOTE));
            d.click(IDCANCEL);
        },
        false, &host, false);
    EXPECT_EQ(host.calls, 0);
}

TEST(NewDlgModPunGps, missing_arguments_show_nothing_and_write_nothing) {
    Editor e;
    CPunGps lone(nullptr, false, nullptr);
    const std::string before = describe(*e.sample.projected);
    automation::ScriptedUser user; // any dialog would be unexpected
    EXPECT_FALSE(
        FDlgModPunGps(nullptr, e.sample.first, &e.sample.book, &e.gis, true, nullptr, true));
    EXPECT_FALSE(FDlgModPunGps(&e.cts, nullptr, &e.sample.book, &e.gis, true, nullptr, true));
    EXPECT_FALSE(FDlgModPunGps(&e.cts, e.sample.first, nullptr, &e.gis, true, nullptr, true));
    EXPECT_FALSE(
        FDlgModPunGps(&e.cts, e.sample.first, &e.sample.book, nullptr, true, nullptr, true));
    EXPECT_FALSE(FDlgModPunGps(&e.cts, &lone, &e.sample.book, &e.gis, true, nullptr, true));
    EXPECT_TRUE(user.dialogsSeen().empty());
    EXPECT_EQ(user.unexpected(), 0);
    EXPECT_EQ(describe(*e.sample.projected), before);
    EXPECT_EQ(e.settings.read(), "");
}

TEST(NewDlgModPunGps, closing_the_window_cancels) {
    Editor e;
    const std::string before = describe(*e.sample.first);
    EXPECT_FALSE(e.run(e.sample.first, [](Dialog& d) {
        d.setText(IDC_POINT_NAME, "X");
        d.close();
    }));
    EXPECT_EQ(describe(*e.sample.first), before);
}

TEST(NewDlgModPunGps, the_sheet_lies_on_the_hidden_frame) {
    Editor e;
    e.run(e.sample.first, [](Dialog& d) {
        EXPECT_FALSE(d.visible(IDC_SHEET_FRAME));
        const RECT frame = d.rect(IDC_SHEET_FRAME);
        const RECT tabs = d.rect(AFX_IDC_TAB_CONTROL);
        EXPECT_EQ(tabs.left, frame.left);
        EXPECT_EQ(tabs.top, frame.top);
        EXPECT_EQ(tabs.right, frame.right);
        EXPECT_EQ(tabs.bottom, frame.bottom);
        const RECT name = d.rect(IDC_POINT_NAME);
        EXPECT_GT(name.top, frame.top);
        EXPECT_LT(name.bottom, frame.bottom);
        d.click(IDCANCEL);
    });
}

TEST(NewDlgModPunGps, values_the_point_lacks_stay_undefined_when_other_fields_are_edited) {
    Editor e;
    CPunGps* p = e.sample.second; // nothing measured yet
    EXPECT_TRUE(e.run(p, [](Dialog& d) {
        d.setText(IDC_POINT_NAME, "PF12/1");
        d.selectPage(1);
        d.selectPage(2);
        d.click(IDOK);
    }));
    EXPECT_EQ(p->GetNome(), "PF12/1");
    for (double v : {p->GetLat(), p->GetLong(), p->GetElev(), p->GetAltAnt(), p->GetCoordX(),
                     p->GetPdop(), p->GetGdop()})
        EXPECT_FALSE(IsEgnValueDefined(v));
}
