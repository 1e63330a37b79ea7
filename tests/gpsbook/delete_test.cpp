// Deleting points, drawn points and whole groups: the confirmation says what goes, "Annulla"
// keeps everything, and a point's GIS entity goes with it unless another element uses it.
#include "GpsbookWindow.h"

#include "core/BookText.h"
#include "gpsdialogs/interfaces/Gis.h"
#include "platform/automation.h"

#include <QMenu>
#include <QStatusBar>
#include <QTest>
#include <QTreeWidget>

using gpsbooktest::GpsbookWindow;

namespace {

class GpsbookDelete : public GpsbookWindow {
protected:
    /// Answers the confirmation with "Elimina" (or "Annulla") and keeps its text.
    void answer(bool agree) {
        qt.onMessageBox([this, agree](QMessageBox& box) {
            question = box.text().toStdString();
            for (QAbstractButton* b : box.buttons())
                if ((box.buttonRole(b) == QMessageBox::DestructiveRole) == agree) {
                    b->click();
                    return;
                }
        });
    }

    int entitiesOf(const char* theme) {
        gis::CLibGis& lib = window->fieldBook().gis;
        return lib.FindTheme(theme)->GetNumEnts();
    }

    QTreeWidget* tree() { return window->findChild<QTreeWidget*>(); }

    std::string question;
};

} // namespace

TEST_F(GpsbookDelete, a_point_goes_with_its_own_gis_entity_after_the_confirmation) {
    ASSERT_TRUE(window->selectPosition(0, 6)); // 104, the only vertex of a manhole
    const int points = book().GetPunArSize(0);
    answer(false);
    trigger("elimina");
    EXPECT_EQ(question.substr(0, question.find('\n')),
              "Eliminare il punto 104 del gruppo \"Rilievo Saragozza\"?");
    EXPECT_EQ(book().GetPunArSize(0), points);
    EXPECT_FALSE(window->isWindowModified());

    answer(true);
    trigger("elimina");
    ASSERT_EQ(book().GetPunArSize(0), points - 1);
    EXPECT_EQ(point(0, 6)->GetNome(), "105");
    EXPECT_EQ(entitiesOf("Pozzetti"), 0);
    EXPECT_EQ(selection(), (std::pair{0, 6})); // the next point
    EXPECT_TRUE(window->isWindowModified());
    EXPECT_NE(window->statusBar()->currentMessage().indexOf("1 entità GIS"), -1);
    ASSERT_TRUE(window->saveBook());
    gpsbook::LoadResult again = gpsbook::loadFieldBook(bookPath.string());
    ASSERT_TRUE(again.ok()) << again.error;
    EXPECT_EQ(again.fieldBook->book.GetPunArSize(0), points - 1);
    EXPECT_EQ(again.fieldBook->gis.FindTheme("Pozzetti")->GetNumEnts(), 0);
}

TEST_F(GpsbookDelete, an_entity_another_point_still_uses_stays) {
    // 101, 102 and 103 are the vertices of one kerb line.
    const CEgn* kept = point(0, 4);
    ASSERT_TRUE(window->selectPosition(0, 3));
    answer(true);
    trigger("elimina");
    EXPECT_EQ(entitiesOf("Cordoli"), 1);
    EXPECT_EQ(point(0, 3), kept);
    EXPECT_EQ(gis::CLibGis::GetEnt(kept->GetEntVert())->GetNumParts(), 1);
    // The line keeps its three vertices; the deleted point's is linked to nothing.
    gis::CLibGis& lib = window->fieldBook().gis;
    gis::CEnt* line = gis::CLibGis::GetEnt(kept->GetEntVert());
    gis::CEntPart* part = lib.GetEntPart(line, 0);
    ASSERT_EQ(part->GetNumVerts(), 3);
    EXPECT_TRUE(lib.GetEntVert(part, 0)->GetLinkedElements().empty());
    EXPECT_NE(window->statusBar()->currentMessage().indexOf("1 punto"), -1);
    EXPECT_EQ(window->statusBar()->currentMessage().indexOf("entità"), -1);
}

TEST_F(GpsbookDelete, a_group_goes_whole_and_the_question_counts_its_points) {
    ASSERT_TRUE(window->selectPosition(1, -1));
    answer(true);
    trigger("elimina");
    EXPECT_EQ(question.substr(0, question.find('\n')),
              "Eliminare il gruppo \"Rilievo Casalecchio (da elaborare)\" con i suoi 8 punti?");
    EXPECT_EQ(book().GetGrpArSize(), 1);
    EXPECT_EQ(selection(), (std::pair{0, -1}));

    // An empty group, as a failed import may leave, goes too.
    book().AddGrp("vuoto");
    ASSERT_TRUE(window->saveBook());
    ASSERT_TRUE(window->openFile(QString::fromStdString(bookPath.string())));
    ASSERT_TRUE(window->selectPosition(1, -1));
    answer(true);
    trigger("elimina");
    EXPECT_EQ(question.substr(0, question.find('\n')),
              "Eliminare il gruppo \"vuoto\", che non ha punti?");
    EXPECT_EQ(book().GetGrpArSize(), 1);
}

TEST_F(GpsbookDelete, several_points_and_drawn_points_chosen_together) {
    QTreeWidget* t = tree();
    t->clearSelection();
    t->topLevelItem(0)->child(0)->setSelected(true);
    t->topLevelItem(1)->child(7)->setSelected(true);
    QTreeWidgetItem* drawn = t->topLevelItem(t->topLevelItemCount() - 1);
    drawn->child(0)->setSelected(true);
    drawn->child(2)->setSelected(true);
    answer(true);
    trigger("elimina");
    EXPECT_EQ(question.substr(0, question.find("\n\n")),
              "Eliminare:\n- 2 punti;\n- 2 punti grafici?");
    EXPECT_EQ(book().GetPunArSize(0), 13);
    EXPECT_EQ(book().GetPunArSize(1), 7);
    EXPECT_EQ(point(0, 0)->GetNome(), "PF07");
    ASSERT_EQ(window->fieldBook().drawingPoints.size(), 1u);
    EXPECT_EQ(window->fieldBook().drawingPoints[0].name, "D2");
    EXPECT_EQ(window->undoStack().undoText().toStdString(), "eliminazione di 2 elementi");
}

TEST_F(GpsbookDelete, del_key_and_the_tree_s_context_menu_reach_it) {
    EXPECT_EQ(action("elimina")->shortcut(), QKeySequence(QKeySequence::Delete));
    EXPECT_TRUE(tree()->actions().contains(action("elimina")));
    EXPECT_EQ(tree()->contextMenuPolicy(), Qt::ActionsContextMenu);
    // The Del key on the tree.
    window->show();
    QApplication::setActiveWindow(window.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    ASSERT_TRUE(window->selectPosition(1, 0));
    tree()->setFocus();
    answer(true);
    QTest::keyClick(tree(), Qt::Key_Delete);
    EXPECT_EQ(question.substr(0, question.find('\n')),
              "Eliminare il punto 301 del gruppo \"Rilievo Casalecchio (da elaborare)\"?");
    EXPECT_EQ(book().GetPunArSize(1), 7);
    tree()->clearSelection();
    EXPECT_FALSE(action("elimina")->isEnabled());
}
