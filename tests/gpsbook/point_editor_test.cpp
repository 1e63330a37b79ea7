// gpsbook edits points through the module's point editor: from the menu, the toolbar and the
// tree, with the book marked modified only after OK, and notes through the host object.
#include "GpsbookWindow.h"

#include "../../resources/resource.h"
#include "core/BookText.h"
#include "gpsdialogs/interfaces/Gis.h"
#include "gpsdialogs/interfaces/LibGps.h"
#include "platform/automation.h"

#include <QDialogButtonBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include <fstream>
#include <sstream>

using automation::Dialog;
using automation::ScriptedUser;
using gpsbooktest::GpsbookWindow;

namespace {

using GpsbookPointEditor = GpsbookWindow;

std::string fileText(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

/// The tree row of point \p index of group \p group.
QTreeWidgetItem* row(QTreeWidget* tree, int group, int index) {
    QTreeWidgetItem* groupItem = tree->topLevelItem(group);
    return groupItem != nullptr ? groupItem->child(index) : nullptr;
}

} // namespace

TEST_F(GpsbookPointEditor, ok_writes_the_point_shows_it_and_marks_the_book) {
    ASSERT_TRUE(window->selectPosition(0, 3));
    ScriptedUser user;
    user.onDialog([](Dialog& d) {
        EXPECT_EQ(d.templateId(), IDD_MOD_PUN_GPS);
        EXPECT_EQ(d.text(IDC_POINT_NAME), "101");
        d.setText(IDC_POINT_NAME, "101A");
        d.click(IDOK);
    });
    trigger("modificaPunto");
    EXPECT_EQ(point(0, 3)->GetNome(), "101A");
    EXPECT_TRUE(window->isWindowModified());
    auto* tree = window->findChild<QTreeWidget*>();
    ASSERT_NE(tree, nullptr);
    QTreeWidgetItem* item = row(tree, 0, 3);
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->text(0).toStdString(), "101A");

    ASSERT_TRUE(window->saveBook());
    gpsbook::LoadResult again = gpsbook::loadFieldBook(bookPath.string());
    ASSERT_TRUE(again.ok()) << again.error;
    EXPECT_EQ(again.fieldBook->book.GetPunAt(0, 3)->GetNome(), "101A");
}

TEST_F(GpsbookPointEditor, annulla_changes_neither_the_book_nor_its_file) {
    const std::string before = fileText(bookPath);
    ASSERT_TRUE(window->selectPosition(0, 3));
    ScriptedUser user;
    user.onDialog([](Dialog& d) {
        d.setText(IDC_POINT_NAME, "da non tenere");
        d.selectPage(3);
        d.click(IDCANCEL);
    });
    trigger("modificaPunto");
    EXPECT_EQ(point(0, 3)->GetNome(), "101");
    EXPECT_FALSE(window->isWindowModified());
    EXPECT_EQ(fileText(bookPath), before);
}

TEST_F(GpsbookPointEditor, enter_on_a_point_of_the_tree_opens_the_editor_on_it) {
    auto* tree = window->findChild<QTreeWidget*>();
    ASSERT_NE(tree, nullptr);
    ASSERT_TRUE(window->selectPosition(1, 2));
    const std::string name = point(1, 2)->GetNome();
    ScriptedUser user;
    user.onDialog([&](Dialog& d) {
        EXPECT_EQ(d.text(IDC_POINT_NAME), name);
        d.click(IDCANCEL);
    });
    tree->setFocus();
    QTest::keyClick(tree, Qt::Key_Return);
    EXPECT_EQ(user.dialogsSeen(), std::vector<int>{IDD_MOD_PUN_GPS});
}

TEST_F(GpsbookPointEditor, correction_declaration_locks_coordinates_and_note) {
    ASSERT_TRUE(window->selectPosition(0, 3));
    ScriptedUser user;
    user.onDialog([](Dialog& d) {
        EXPECT_EQ(d.caption(), "Edita dichiarazione di correzione - Punto Gps");
        EXPECT_FALSE(d.enabled(IDC_POINT_NOTE));
        EXPECT_TRUE(d.readOnly(IDC_LAT_SEC));
        d.click(IDCANCEL);
    });
    trigger("dichiarazioneCorrezione");
    EXPECT_EQ(user.unexpected(), 0);
}

TEST_F(GpsbookPointEditor, a_note_edited_from_the_editor_is_kept_only_after_ok) {
    ASSERT_TRUE(window->selectPosition(0, 3));
    auto editNote = [](const char* typed) {
        return [typed](NoteEditorDialog& dialog) {
            // Owned by the point editor, so that it stays above it.
            ASSERT_NE(dialog.parentWidget(), nullptr);
            EXPECT_EQ(dialog.parentWidget()->windowTitle(), "Modifica punto GPS");
            auto* edit = dialog.findChild<QPlainTextEdit*>();
            ASSERT_NE(edit, nullptr);
            edit->selectAll();
            QTest::keyClicks(edit, typed);
            auto* buttons = dialog.findChild<QDialogButtonBox*>();
            ASSERT_NE(buttons, nullptr);
            QTest::mouseClick(buttons->button(QDialogButtonBox::Ok), Qt::LeftButton);
        };
    };
    const std::string original = point(0, 3)->GetNote();
    ScriptedUser user;
    qt.onNoteEditor(editNote("da scartare"));
    user.onDialog([](Dialog& d) {
        d.click(IDC_POINT_NOTE);
        d.click(IDCANCEL);
    });
    trigger("modificaPunto");
    EXPECT_EQ(point(0, 3)->GetNote(), original);
    EXPECT_FALSE(window->isWindowModified());

    qt.onNoteEditor(editNote("Picchetto rifatto"));
    user.onDialog([](Dialog& d) {
        d.click(IDC_POINT_NOTE);
        d.click(IDOK);
    });
    trigger("modificaPunto");
    EXPECT_EQ(point(0, 3)->GetNote(), "Picchetto rifatto");
    EXPECT_TRUE(window->isWindowModified());
}

TEST_F(GpsbookPointEditor, gis_values_and_themes_edited_on_dati_gis_are_saved_with_the_book) {
    auto* tree = window->findChild<QTreeWidget*>();
    ASSERT_NE(tree, nullptr);
    EXPECT_EQ(row(tree, 0, 6)->text(gpsbook::ColTheme).toStdString(), "Pozzetti");
    ASSERT_TRUE(window->selectPosition(0, 6)); // 104, a manhole
    ScriptedUser user;
    user.onDialog([](Dialog& d) {
        d.selectPage(4);
        automation::Grid g = d.grid(IDC_GIS_TABLE);
        EXPECT_EQ(g.text(0, 1), "104");
        EXPECT_TRUE(g.edit(3, 1, "1,50"));
        EXPECT_TRUE(g.edit(6, 1, "2/12/2026"));
        d.click(IDOK);
    });
    trigger("modificaPunto");
    EXPECT_TRUE(window->isWindowModified());

    // 305, an oak without entity, becomes a tree of the avenue.
    ASSERT_TRUE(window->selectPosition(1, 4));
    user.onDialog([](Dialog& d) {
        d.selectPage(4);
        EXPECT_EQ(d.selection(IDC_GIS_THEME), -1);
        EXPECT_TRUE(d.select(IDC_GIS_THEME, 2));
        EXPECT_EQ(d.text(IDC_GIS_THEME), "Alberature");
        d.grid(IDC_GIS_TABLE).edit(1, 1, "Quercus robur");
        d.click(IDOK);
    });
    trigger("modificaPunto");
    EXPECT_EQ(row(tree, 1, 4)->text(gpsbook::ColTheme).toStdString(), "Alberature");

    ASSERT_TRUE(window->saveBook());
    gpsbook::LoadResult again = gpsbook::loadFieldBook(bookPath.string());
    ASSERT_TRUE(again.ok()) << again.error;
    gis::CLibGis& lib = again.fieldBook->gis;
    auto value = [&](const CPunGps* p, int field) {
        kit::CPolyValue v;
        lib.GetRowValue(lib.GetRow(gis::CLibGis::GetEnt(p->GetEntVert())), field, v);
        return v;
    };
    const CPunGps* manhole = again.fieldBook->book.GetPunAt(0, 6);
    EXPECT_EQ(value(manhole, 3), kit::CPolyValue(1.5));
    EXPECT_EQ(value(manhole, 6), kit::CPolyValue(kit::Date{2026, 12, 2}));
    const CPunGps* oak = again.fieldBook->book.GetPunAt(1, 4);
    EXPECT_EQ(lib.GetThemeName(oak->GetEntVert()), kit::String("Alberature"));
    EXPECT_EQ(value(oak, 0), kit::CPolyValue(kit::String("305")));
    EXPECT_EQ(value(oak, 1), kit::CPolyValue(kit::String("Quercus robur")));
}
