// gpsbook's base station editor, new point, transfer of drawn points and base move, from their
// menu entries: what the book holds afterwards, on screen and in the saved file.
#include "GpsbookWindow.h"

#include "../../resources/resource.h"
#include "gpsdialogs/interfaces/Kit.h"
#include "platform/automation.h"

#include <QStatusBar>
#include <QTreeWidget>

using automation::Dialog;
using automation::MessageBoxCall;
using automation::ScriptedUser;
using gpsbooktest::GpsbookWindow;
using gpsbooktest::QtUser;

namespace {

using GpsbookSurvey = GpsbookWindow;

/// The book as saved and read again.
std::unique_ptr<gpsbook::FieldBook> savedAndReloaded(MainWindow& window,
                                                     const std::filesystem::path& path) {
    EXPECT_TRUE(window.saveBook());
    gpsbook::LoadResult again = gpsbook::loadFieldBook(path.string());
    EXPECT_TRUE(again.ok()) << again.error;
    return std::move(again.fieldBook);
}

} // namespace

TEST_F(GpsbookSurvey, base_station_editor_writes_the_selected_group_and_marks_the_book) {
    ASSERT_TRUE(window->selectPosition(0, 2)); // a point: its group is edited
    ScriptedUser user;
    user.onDialog([](Dialog& d) {
        EXPECT_EQ(d.templateId(), IDD_MOD_STAZ_BASE);
        EXPECT_EQ(d.text(IDC_BASE_GROUP_NAME), "Rilievo Saragozza");
        EXPECT_EQ(d.text(IDC_BASE_STATION_NAME), "B01");
        EXPECT_EQ(d.text(IDC_BASE_ANTENNA_HEIGHT), "1.652");
        d.setText(IDC_BASE_ANTENNA_HEIGHT, "1.700");
        d.click(IDC_BASE_OK);
    });
    trigger("stazioneBase");
    EXPECT_DOUBLE_EQ(book().GetGrpAt(0)->GetBaseAltAnt(), 1.7);
    EXPECT_TRUE(window->isWindowModified());
    EXPECT_EQ(selection(), (std::pair{0, 2}));
    auto again = savedAndReloaded(*window, bookPath);
    EXPECT_DOUBLE_EQ(again->book.GetGrpAt(0)->GetBaseAltAnt(), 1.7);
    EXPECT_EQ(user.unexpected(), 0);
}

TEST_F(GpsbookSurvey, annulla_marks_the_book_only_when_the_group_kept_a_change) {
    ASSERT_TRUE(window->selectPosition(0, -1));
    ScriptedUser user;
    user.onDialog([](Dialog& d) {
        d.setText(IDC_BASE_STATION_NAME, "B99");
        d.click(IDC_BASE_CANCEL);
    });
    user.onDialog([](Dialog& d) {
        d.click(IDC_BASE_KNOWN_NETWORK); // tags the group at once; Annulla keeps the network
        d.click(IDC_BASE_CANCEL);
    });
    trigger("stazioneBase");
    EXPECT_FALSE(window->isWindowModified());
    EXPECT_EQ(book().GetGrpAt(0)->GetNome(), "B01");
    trigger("stazioneBase");
    EXPECT_TRUE(window->isWindowModified());
    EXPECT_EQ(book().GetGrpAt(0)->GetBaseEurefCode(), 10);
    EXPECT_EQ(user.unexpected(), 0);
}

TEST_F(GpsbookSurvey, new_point_takes_the_chosen_name_group_and_antenna_height) {
    ASSERT_TRUE(window->selectPosition(0, 3));
    const CPunGps* near = point(0, 3);
    const int before = book().GetPunArSize(0);
    ScriptedUser user;
    user.onDialog([&](Dialog& d) {
        EXPECT_EQ(d.templateId(), IDD_OPZ_CREA_PT_GPS);
        EXPECT_EQ(d.text(IDC_COV_YZ), StringDaDouble(near->GetCoordX(), 0, 3));
        d.click(IDC_AUTO_NAME);
        d.setText(IDC_COV_XY, "Picchetto");
        d.setText(IDC_COV_YZ, "685010.5");
        d.setText(IDC_NEW_ANTENNA_HEIGHT, "1.8");
        d.click(IDOK);
    });
    trigger("nuovoPunto");
    ASSERT_EQ(book().GetPunArSize(0), before + 1);
    const CPunGps* created = point(0, before);
    EXPECT_EQ(created->GetNome(), "111"); // the highest number of the group is 110
    EXPECT_EQ(created->GetCode(), "Picchetto");
    EXPECT_DOUBLE_EQ(created->GetAltAnt(), 1.8);
    EXPECT_DOUBLE_EQ(created->GetCoordX(), 685010.5);
    EXPECT_EQ(created->GetCoordY(), near->GetCoordY()); // not retyped: full precision
    EXPECT_TRUE(IsEgnValueDefined(created->GetLat()));
    EXPECT_EQ(selection(), (std::pair{0, before}));
    EXPECT_TRUE(window->isWindowModified());
    EXPECT_DOUBLE_EQ(CIniFile().GetDouble("TRAF_GPS", "AltAnt", 0.0), 1.8);
    auto again = savedAndReloaded(*window, bookPath);
    EXPECT_EQ(again->book.GetPunAt(0, before)->GetNome(), "111");
    EXPECT_EQ(user.unexpected(), 0);
}

TEST_F(GpsbookSurvey, new_point_refused_on_a_group_without_projection_adds_nothing) {
    const int points = book().GetPunArSize(1);
    ScriptedUser user;
    user.onMessageBox([](const MessageBoxCall&) { return IDOK; });
    user.onDialog([](Dialog& d) {
        d.select(IDC_COV_XZ, 1);
        d.setText(IDC_NEW_POINT_NAME, "X1");
        d.click(IDOK);
        EXPECT_TRUE(d.isOpen());
        d.click(IDCANCEL);
    });
    trigger("nuovoPunto");
    ASSERT_EQ(user.messageBoxes().size(), 1u);
    EXPECT_EQ(book().GetPunArSize(1), points);
    EXPECT_FALSE(window->isWindowModified());
    EXPECT_EQ(user.unexpected(), 0);
}

TEST_F(GpsbookSurvey, transfer_without_a_drawn_selection_takes_every_drawn_point) {
    const int before = book().GetPunArSize(0);
    ScriptedUser user;
    user.onDialog([](Dialog& d) {
        EXPECT_EQ(d.text(IDC_TRANSFER_MESSAGE), "Sono stati selezionati n. 3 punti grafici");
        d.setText(IDC_TRANSFER_ANTENNA_HEIGHT, "2");
        d.click(IDOK);
    });
    trigger("trasferisciPunti");
    ASSERT_EQ(book().GetPunArSize(0), before + 3);
    EXPECT_EQ(point(0, before)->GetNome(), "D1");
    EXPECT_EQ(point(0, before + 2)->GetNome(), "D3");
    EXPECT_DOUBLE_EQ(point(0, before + 1)->GetAltAnt(), 2.0);
    EXPECT_TRUE(window->fieldBook().drawingPoints.empty());
    EXPECT_FALSE(action("trasferisciPunti")->isEnabled());
    EXPECT_TRUE(window->isWindowModified());
    auto again = savedAndReloaded(*window, bookPath);
    EXPECT_TRUE(again->drawingPoints.empty());
    EXPECT_EQ(again->book.GetPunArSize(0), before + 3);
    EXPECT_EQ(user.unexpected(), 0);
}

TEST_F(GpsbookSurvey, transfer_takes_the_drawn_points_selected_in_the_tree) {
    auto* tree = window->findChild<QTreeWidget*>();
    ASSERT_NE(tree, nullptr);
    QTreeWidgetItem* drawn = tree->topLevelItem(tree->topLevelItemCount() - 1);
    ASSERT_EQ(drawn->text(0).toStdString(), "Punti grafici");
    ASSERT_EQ(drawn->childCount(), 3);
    tree->clearSelection();
    drawn->child(1)->setSelected(true);
    drawn->child(2)->setSelected(true);
    const int before = book().GetPunArSize(0);
    ScriptedUser user;
    user.onDialog([](Dialog& d) {
        EXPECT_EQ(d.text(IDC_TRANSFER_MESSAGE), "Sono stati selezionati n. 2 punti grafici");
        d.click(IDOK);
    });
    trigger("trasferisciPunti");
    ASSERT_EQ(book().GetPunArSize(0), before + 2);
    EXPECT_EQ(point(0, before)->GetNome(), "D2");
    ASSERT_EQ(window->fieldBook().drawingPoints.size(), 1u);
    EXPECT_EQ(window->fieldBook().drawingPoints[0].name, "D1");
    EXPECT_EQ(user.unexpected(), 0);
}

TEST_F(GpsbookSurvey, move_base_corrects_the_antenna_height_and_moves_the_points) {
    CGrpGps* group = book().GetGrpAt(0);
    const double baseGround = group->GetCoordZ();
    const double height = point(0, 3)->GetCoordZ();
    const double east = point(0, 3)->GetCoordX();
    ScriptedUser user;
    user.onDialog([](Dialog& d) {
        EXPECT_EQ(d.templateId(), IDD_SEL_BASE_GPS);
        // The second survey's drawing is locked.
        EXPECT_EQ(d.items(IDC_BASE_LIST), std::vector<std::string>{"B01"});
        EXPECT_EQ(d.text(IDC_MOVE_ANTENNA_HEIGHT), "1.652");
        d.setText(IDC_MOVE_ANTENNA_HEIGHT, "1.752");
        d.click(IDOK);
    });
    trigger("spostaStazioneBase");
    EXPECT_DOUBLE_EQ(group->GetBaseAltAnt(), 1.752);
    EXPECT_NEAR(group->GetCoordZ(), baseGround, 1e-6);
    EXPECT_NEAR(point(0, 3)->GetCoordZ(), height + 0.1, 1e-4);
    EXPECT_NEAR(point(0, 3)->GetCoordX(), east, 1e-4);
    EXPECT_TRUE(window->isWindowModified());
    const std::string status = window->statusBar()->currentMessage().toStdString();
    EXPECT_NE(status.find("0.100 m"), std::string::npos) << status;
    auto again = savedAndReloaded(*window, bookPath);
    EXPECT_DOUBLE_EQ(again->book.GetGrpAt(0)->GetBaseAltAnt(), 1.752);
    EXPECT_NEAR(again->book.GetPunAt(0, 3)->GetCoordZ(), height + 0.1, 1e-4);
    EXPECT_EQ(user.unexpected(), 0);
}

TEST_F(GpsbookSurvey, move_base_cancelled_changes_nothing) {
    const double antenna = book().GetGrpAt(0)->GetBaseAltAnt();
    ScriptedUser user;
    user.onDialog([](Dialog& d) {
        d.setText(IDC_MOVE_ANTENNA_HEIGHT, "3");
        d.click(IDCANCEL);
    });
    trigger("spostaStazioneBase");
    EXPECT_EQ(book().GetGrpAt(0)->GetBaseAltAnt(), antenna);
    EXPECT_FALSE(window->isWindowModified());
    EXPECT_EQ(user.unexpected(), 0);
}

TEST_F(GpsbookSurvey, move_base_leaves_points_coded_ne_as_they_were) {
    CPunGps* excluded = point(0, 9); // 107, coded NE, no plane coordinates
    ASSERT_EQ(excluded->GetNome(), "107");
    ASSERT_TRUE(excluded->IsCodedNE());
    ASSERT_FALSE(IsEgnValueDefined(excluded->GetCoordX()));
    const double lat = excluded->GetLat(), elev = excluded->GetElev();
    ScriptedUser user;
    user.onDialog([](Dialog& d) {
        d.setText(IDC_MOVE_ANTENNA_HEIGHT, "1.752");
        d.click(IDOK);
    });
    trigger("spostaStazioneBase");
    EXPECT_FALSE(IsEgnValueDefined(point(0, 9)->GetCoordX()));
    EXPECT_FALSE(IsEgnValueDefined(point(0, 9)->GetCoordZ()));
    EXPECT_EQ(point(0, 9)->GetLat(), lat);
    EXPECT_EQ(point(0, 9)->GetElev(), elev);
    EXPECT_EQ(window->statusBar()->currentMessage().toStdString(),
              "Stazione base B01 spostata di 0.100 m lungo la verticale: 13 punti spostati, 1 "
              "punto escluso (codice NE)");
    auto again = savedAndReloaded(*window, bookPath);
    EXPECT_FALSE(IsEgnValueDefined(again->book.GetPunAt(0, 9)->GetCoordX()));
    EXPECT_EQ(user.unexpected(), 0);
}

TEST_F(GpsbookSurvey, new_point_with_a_name_the_group_has_is_refused_before_creation) {
    ASSERT_TRUE(window->selectPosition(0, 3));
    const int points = book().GetPunArSize(0);
    ScriptedUser user;
    user.onDialog([](Dialog& d) {
        d.setText(IDC_NEW_POINT_NAME, "PF12");
        d.click(IDOK);
    });
    std::string shown;
    qt.onMessageBox([&](QMessageBox& box) {
        shown = box.text().toStdString();
        QtUser::dismiss(box);
    });
    trigger("nuovoPunto");
    EXPECT_EQ(shown, "Il gruppo \"Rilievo Saragozza\" ha già un punto di nome PF12: il punto non "
                     "è stato creato. Scegliere un altro nome.");
    EXPECT_EQ(book().GetPunArSize(0), points);
    EXPECT_FALSE(window->isWindowModified());
    EXPECT_EQ(window->undoStack().count(), 0);
    EXPECT_EQ(user.unexpected(), 0);
}

TEST_F(GpsbookSurvey, the_tree_marks_names_a_file_repeats_within_a_group) {
    // A second "301" in the second group and a "PF12" there too, as a file may bring them.
    point(1, 3)->SetNome("301");
    point(1, 4)->SetNome("PF12");
    ASSERT_TRUE(window->saveBook());
    ASSERT_TRUE(window->openFile(QString::fromStdString(bookPath.string())));
    auto* tree = window->findChild<QTreeWidget*>();
    QTreeWidgetItem* second = tree->topLevelItem(1);
    const QString warning = "Nome ripetuto: un altro punto del gruppo ha lo stesso nome";
    EXPECT_EQ(second->child(0)->toolTip(0), warning);
    EXPECT_EQ(second->child(3)->toolTip(0), warning);
    EXPECT_FALSE(second->child(0)->icon(0).isNull());
    EXPECT_TRUE(second->child(4)->toolTip(0).isEmpty()); // PF12 only once in this group
    EXPECT_TRUE(second->child(1)->icon(0).isNull());
    EXPECT_NE(second->toolTip(0).indexOf("Nomi ripetuti nel gruppo: 301"), -1);
    EXPECT_EQ(tree->topLevelItem(0)->toolTip(0).indexOf("Nomi ripetuti"), -1);
}
