// "Annulla" and "Ripeti" over every kind of change to the book: each puts back the book exactly
// as it was, as the saved file shows byte for byte, across saves; the title's modified mark
// follows what is saved.
#include "GpsbookWindow.h"

#include "../../resources/resource.h"
#include "PlanView.h"
#include "platform/automation.h"

#include <QDialogButtonBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTest>
#include <QTreeWidget>
#include <QUndoStack>

#include <fstream>
#include <sstream>
#include <stdexcept>
#include <utility>

using automation::Dialog;
using automation::FileDialogAnswer;
using automation::FileDialogCall;
using automation::ScriptedUser;
using gpsbooktest::GpsbookWindow;
using gpsbooktest::QtUser;

namespace {

std::string fileText(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

class GpsbookUndo : public GpsbookWindow {
protected:
    /// Makes a change through \p change, then checks that undo and redo, with saves between
    /// them, give back the file as it was before and after the change.
    void undoAndRedoRestoreTheFile(const std::function<void()>& change, const char* label) {
        // The book as the program writes it, before the change.
        ASSERT_TRUE(window->saveBook());
        const std::string before = fileText(bookPath);
        ASSERT_FALSE(window->isWindowModified());
        QSignalSpy changed(window.get(), &MainWindow::bookChanged);

        change();
        ASSERT_TRUE(window->isWindowModified()) << label;
        EXPECT_EQ(changed.count(), 1) << label;
        EXPECT_EQ(action("annulla")->text().toStdString(), std::string("&Annulla ") + label);
        ASSERT_TRUE(window->saveBook());
        const std::string after = fileText(bookPath);
        ASSERT_NE(after, before) << label;

        trigger("annulla");
        EXPECT_EQ(changed.count(), 2);
        EXPECT_EQ(window->statusBar()->currentMessage().toStdString(),
                  std::string("Annullato: ") + label);
        EXPECT_TRUE(window->isWindowModified()) << "undone after a save: " << label;
        EXPECT_EQ(action("ripeti")->text().toStdString(), std::string("&Ripeti ") + label);
        ASSERT_TRUE(window->saveBook());
        EXPECT_EQ(fileText(bookPath), before) << label;

        trigger("ripeti");
        EXPECT_EQ(changed.count(), 3);
        EXPECT_EQ(window->statusBar()->currentMessage().toStdString(),
                  std::string("Ripetuto: ") + label);
        EXPECT_TRUE(window->isWindowModified());
        ASSERT_TRUE(window->saveBook());
        EXPECT_EQ(fileText(bookPath), after) << label;

        // Back to the state saved: the mark goes with it.
        trigger("annulla");
        EXPECT_TRUE(window->isWindowModified());
        trigger("ripeti");
        EXPECT_FALSE(window->isWindowModified());
    }

    ScriptedUser user;
};

/// Answers the question of a deletion with "Elimina".
void agree(QMessageBox& box) {
    for (QAbstractButton* button : box.buttons())
        if (box.buttonRole(button) == QMessageBox::DestructiveRole) button->click();
}

} // namespace

TEST_F(GpsbookUndo, point_editor_with_gis_values) {
    ASSERT_TRUE(window->selectPosition(0, 6)); // 104, a manhole
    undoAndRedoRestoreTheFile(
        [&] {
            user.onDialog([](Dialog& d) {
                d.setText(IDC_POINT_NAME, "104A");
                d.selectPage(4);
                EXPECT_TRUE(d.grid(IDC_GIS_TABLE).edit(3, 1, "1,50"));
                d.click(IDOK);
            });
            trigger("modificaPunto");
            EXPECT_EQ(point(0, 6)->GetNome(), "104A");
        },
        "modifica del punto 104");
    EXPECT_EQ(selection(), (std::pair{0, 6}));
    EXPECT_EQ(user.unexpected(), 0);
}

TEST_F(GpsbookUndo, base_station_editor) {
    ASSERT_TRUE(window->selectPosition(0, -1));
    undoAndRedoRestoreTheFile(
        [&] {
            user.onDialog([](Dialog& d) {
                d.setText(IDC_BASE_ANTENNA_HEIGHT, "1.700");
                d.click(IDC_BASE_OK);
            });
            trigger("stazioneBase");
        },
        "stazione base del gruppo Rilievo Saragozza");
    EXPECT_EQ(user.unexpected(), 0);
}

TEST_F(GpsbookUndo, note) {
    undoAndRedoRestoreTheFile(
        [&] {
            qt.onNoteEditor([](NoteEditorDialog& dialog) {
                auto* edit = dialog.findChild<QPlainTextEdit*>();
                edit->selectAll();
                QTest::keyClicks(edit, "Base rimossa");
                dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
            });
            window->notes().EditaNote(book().GetGrpAt(0));
        },
        "modifica della nota");
}

TEST_F(GpsbookUndo, new_point) {
    ASSERT_TRUE(window->selectPosition(0, 3));
    const int points = book().GetPunArSize(0);
    undoAndRedoRestoreTheFile(
        [&] {
            user.onDialog([](Dialog& d) {
                d.setText(IDC_NEW_POINT_NAME, "PX1");
                d.click(IDOK);
            });
            trigger("nuovoPunto");
            EXPECT_EQ(book().GetPunArSize(0), points + 1);
        },
        "nuovo punto PX1");
    EXPECT_EQ(user.unexpected(), 0);
}

TEST_F(GpsbookUndo, transfer_of_drawn_points) {
    undoAndRedoRestoreTheFile(
        [&] {
            user.onDialog([](Dialog& d) { d.click(IDOK); });
            trigger("trasferisciPunti");
        },
        "trasferimento di 3 punti grafici");
    trigger("annulla");
    EXPECT_EQ(window->fieldBook().drawingPoints.size(), 3u);
    EXPECT_TRUE(action("trasferisciPunti")->isEnabled());
    EXPECT_EQ(user.unexpected(), 0);
}

TEST_F(GpsbookUndo, base_move) {
    undoAndRedoRestoreTheFile(
        [&] {
            user.onDialog([](Dialog& d) {
                d.setText(IDC_MOVE_ANTENNA_HEIGHT, "1.752");
                d.click(IDOK);
            });
            trigger("spostaStazioneBase");
        },
        "spostamento della stazione base B01");
    EXPECT_EQ(user.unexpected(), 0);
}

TEST_F(GpsbookUndo, import) {
    const std::filesystem::path file = settings.dir() / "rilievo.rw5";
    std::ofstream(file) << "GPS,PN1,LA44.294212,LN11.203012,EL95.0\n";
    const int groups = book().GetGrpArSize();
    undoAndRedoRestoreTheFile(
        [&] {
            user.onFileDialog([&](const FileDialogCall&) {
                return FileDialogAnswer{true, file.string(), 12};
            });
            trigger("importa");
            ASSERT_EQ(book().GetGrpArSize(), groups + 1);
        },
        "importazione nel gruppo rilievo");
    trigger("annulla");
    EXPECT_EQ(book().GetGrpArSize(), groups);
    EXPECT_EQ(user.unexpected(), 0);
}

TEST_F(GpsbookUndo, delete_of_a_point_with_its_gis_entity) {
    ASSERT_TRUE(window->selectPosition(0, 6));
    undoAndRedoRestoreTheFile(
        [&] {
            qt.onMessageBox(agree);
            trigger("elimina");
        },
        "eliminazione del punto 104");
    trigger("annulla");
    // The entity came back with the point, linked as before.
    EXPECT_EQ(point(0, 6)->GetNome(), "104");
    EXPECT_NE(point(0, 6)->GetEntVert(), nullptr);
    EXPECT_EQ(selection(), (std::pair{0, 6}));
}

TEST_F(GpsbookUndo, delete_of_a_group) {
    ASSERT_TRUE(window->selectPosition(1, -1));
    undoAndRedoRestoreTheFile(
        [&] {
            qt.onMessageBox(agree);
            trigger("elimina");
        },
        "eliminazione del gruppo Rilievo Casalecchio (da elaborare)");
}

TEST_F(GpsbookUndo, keys_menu_and_the_history_of_a_new_book) {
    EXPECT_EQ(action("annulla")->shortcut(), QKeySequence("Ctrl+Z"));
    EXPECT_EQ(action("ripeti")->shortcut(), QKeySequence("Ctrl+Y"));
    EXPECT_EQ(action("elimina")->shortcut(), QKeySequence(Qt::Key_Delete));
    EXPECT_FALSE(action("annulla")->isEnabled());
    EXPECT_FALSE(action("ripeti")->isEnabled());
    // A change, then another book: nothing of the first can be undone there.
    ASSERT_TRUE(window->selectPosition(0, 3));
    user.onDialog([](Dialog& d) {
        d.setText(IDC_POINT_NAME, "X");
        d.click(IDOK);
    });
    trigger("modificaPunto");
    EXPECT_TRUE(action("annulla")->isEnabled());
    EXPECT_EQ(action("annulla")->statusTip().isEmpty(), false);
    // Cancelled: nothing recorded.
    user.onDialog([](Dialog& d) {
        d.setText(IDC_POINT_NAME, "Y");
        d.click(IDCANCEL);
    });
    trigger("modificaPunto");
    EXPECT_EQ(window->undoStack().count(), 1);
    window->newBook();
    EXPECT_EQ(window->undoStack().count(), 0);
    EXPECT_FALSE(window->isWindowModified());
    EXPECT_EQ(user.unexpected(), 0);
}

TEST_F(GpsbookUndo, an_exception_in_a_double_click_the_context_menu_or_a_step_keeps_the_book) {
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    // Something fails once the book has changed: the next notice of a change throws.
    bool armed = false;
    QObject::connect(window.get(), &MainWindow::bookChanged, window.get(), [&armed] {
        if (std::exchange(armed, false)) throw std::runtime_error("prova");
    });
    auto reported = [this](const std::string& action) {
        qt.onMessageBox([action](QMessageBox& box) {
            EXPECT_EQ(box.text().toStdString(),
                      "Operazione \"" + action +
                          "\" non riuscita (prova). Il libretto è rimasto aperto: salvarlo con "
                          "un altro nome prima di continuare.");
            box.accept();
        });
    };
    auto rename = [this](const char* name) {
        user.onDialog([name](Dialog& d) {
            d.setText(IDC_POINT_NAME, name);
            d.click(IDOK);
        });
    };

    // A double click on a point of the tree.
    auto* tree = window->findChild<QTreeWidget*>();
    QTreeWidgetItem* item = tree->topLevelItem(0)->child(3);
    tree->scrollToItem(item);
    const QRect row = tree->visualItemRect(item);
    ASSERT_TRUE(tree->viewport()->rect().contains(row.center())) << row.y();
    rename("X1");
    reported("Modifica punto");
    armed = true;
    QTest::mousePress(tree->viewport(), Qt::LeftButton, {}, row.center());
    QTest::mouseDClick(tree->viewport(), Qt::LeftButton, {}, row.center());
    EXPECT_EQ(point(0, 3)->GetNome(), "X1");
    EXPECT_EQ(window->undoStack().count(), 1);

    // A step back or forth that fails leaves the book and the history at their step.
    reported("Annulla modifica del punto 101");
    armed = true;
    trigger("annulla");
    EXPECT_EQ(point(0, 3)->GetNome(), "X1");
    EXPECT_EQ(window->undoStack().index(), 1);
    EXPECT_EQ(selection(), (std::pair{0, 3}));
    trigger("annulla");
    EXPECT_EQ(point(0, 3)->GetNome(), "101");
    reported("Ripeti modifica del punto 101");
    armed = true;
    trigger("ripeti");
    EXPECT_EQ(point(0, 3)->GetNome(), "101");
    EXPECT_EQ(window->undoStack().index(), 0);
    EXPECT_FALSE(window->isWindowModified());
    trigger("ripeti");
    EXPECT_EQ(point(0, 3)->GetNome(), "X1");

    // "Elimina" from the tree's context menu.
    const int points = book().GetPunArSize(0);
    ASSERT_TRUE(window->selectPosition(0, 5));
    QAction* remove = nullptr;
    for (QAction* a : tree->actions())
        if (a->objectName() == "elimina") remove = a;
    ASSERT_NE(remove, nullptr);
    qt.onMessageBox(agree);
    reported("Elimina");
    armed = true;
    remove->trigger();
    EXPECT_EQ(book().GetPunArSize(0), points - 1);

    // A double click on a point of the plan.
    PlanView* plan = window->planView();
    plan->fit();
    rename("X2");
    reported("Modifica punto");
    armed = true;
    const int mark = plan->plan().find(0, 9); // 108
    ASSERT_GE(mark, 0);
    QTest::mouseDClick(plan->canvas()->viewport(), Qt::LeftButton, {}, plan->viewPosition(mark));
    EXPECT_EQ(point(0, 9)->GetNome(), "X2");
    EXPECT_EQ(window->undoStack().count(), 3);
    EXPECT_EQ(user.unexpected(), 0);
}
