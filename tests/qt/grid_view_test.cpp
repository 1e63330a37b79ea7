// The grid's Qt view: the table follows the model one row or cell at a time, and what a person
// does in the table (clicks, double clicks, typing, the drop-down list) reaches the model as
// the grid's user actions.
#include "QtTestSupport.h"

#include "platform/grid.h"
#include "platform/qt/View.h"

#include <QComboBox>
#include <QFrame>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QTableWidget>
#include <QTest>

#include <set>
#include <string>
#include <vector>

using automation::Dialog;
using automation::ScriptedUser;
using namespace qttest;

namespace {

const char* const kScript = R"(
300 DIALOGEX 0, 0, 260, 160
STYLE DS_SETFONT | DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU
CAPTION "Griglia"
FONT 8, "MS Sans Serif", 0, 0, 0x1
BEGIN
    LTEXT           "Static", 3001, 7, 7, 246, 120, NOT WS_VISIBLE
    DEFPUSHBUTTON   "OK", IDOK, 150, 140, 50, 14
    PUSHBUTTON      "Annulla", IDCANCEL, 205, 140, 50, 14
END
)";

constexpr int kGrid = 3000;
constexpr COLORREF kReadOnlyColour = 0x00D2FFDF;

/// Two columns with headings and numbered rows; the decimals of a field are chosen from a
/// drop-down list, and a field's name may not be left empty.
class GridForm : public CDialog, public IGridListener {
public:
    GridForm() : CDialog(300) {}
    CGridCtrl grid;

    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        RECT place{};
        GetDlgItem(3001)->GetWindowRect(&place);
        ScreenToClient(&place);
        grid.Create(place, this, kGrid);
        grid.InsertColumn("Campo");
        grid.InsertColumn("Decimali", DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        grid.SetColumnWidth(0, 170);
        grid.SetColumnWidth(1, 60);
        grid.SetColumnEditor(1, platform::GridEditor::DropDown);
        grid.SetRowNumbers(true, 1);
        for (const char* name : {"Nome", "Latitudine", "Quota"}) {
            int row = grid.InsertRow(-1);
            grid.SetItemText(row, 0, name);
            grid.SetItemText(row, 1, row == 0 ? "0" : "3");
        }
        grid.SetItemState(0, 1, GVIS_READONLY);
        grid.SetItemBkColour(0, 1, kReadOnlyColour);
        grid.SetListener(this);
        return TRUE;
    }

    bool OnGridBeginEdit(CGridCtrl&, int, int column, std::vector<std::string>& choices) override {
        if (column == 1)
            for (char digit = '0'; digit <= '9'; ++digit)
                choices.emplace_back(1, digit);
        return true;
    }
    bool OnGridEndEdit(CGridCtrl& g, int row, int column, std::string& text) override {
        bool refused = column == 0 && text.find_first_not_of(' ') == std::string::npos;
        g.SetRowMessage(row, refused ? "Il nome non può essere vuoto." : "");
        if (refused) g.ShowEditBalloon("Il nome non può essere vuoto.");
        return !refused;
    }
};

QTableWidget* tableOf(Dialog& d) {
    return widget<QTableWidget>(d, kGrid);
}

QPoint centreOf(QTableWidget* table, int row, int column) {
    return table->visualRect(table->model()->index(row, column)).center();
}

QWidget* editorOf(QTableWidget* table, int row, int column) {
    return table->indexWidget(table->model()->index(row, column));
}

class QtGrid : public ::testing::Test {
protected:
    void SetUp() override { useQtBackend(); }
    CurrentResources resources{parse(kScript)};
};

} // namespace

TEST_F(QtGrid, the_table_follows_the_model_touching_only_the_rows_and_cells_that_changed) {
    GridForm form;
    ScriptedUser user;
    user.onDialog([&](Dialog& d) {
        QTableWidget* table = tableOf(d);
        ASSERT_NE(table, nullptr);
        ASSERT_EQ(table->rowCount(), 3);
        ASSERT_EQ(table->columnCount(), 2);
        EXPECT_EQ(table->horizontalHeaderItem(1)->text(), "Decimali");
        EXPECT_EQ(table->columnWidth(0), 170);
        EXPECT_TRUE(table->verticalHeader()->isVisibleTo(table));
        EXPECT_EQ(table->item(1, 0)->text(), "Latitudine");
        EXPECT_EQ(table->item(0, 1)->background().color(), QColor(223, 255, 210));
        EXPECT_EQ(table->item(0, 1)->textAlignment(), int(Qt::AlignHCenter | Qt::AlignVCenter));

        std::set<int> touchedRows;
        int inserted = 0;
        QObject::connect(table->model(), &QAbstractItemModel::dataChanged, table,
                         [&](const QModelIndex& from, const QModelIndex& to) {
                             for (int r = from.row(); r <= to.row(); ++r)
                                 touchedRows.insert(r);
                         });
        QObject::connect(
            table->model(), &QAbstractItemModel::rowsInserted, table,
            [&](const QModelIndex&, int first, int last) { inserted += last - first + 1; });
        form.grid.InsertRow(1);
        EXPECT_EQ(inserted, 1);
        EXPECT_EQ(touchedRows, (std::set<int>{1}));
        EXPECT_EQ(table->rowCount(), 4);
        EXPECT_EQ(table->item(2, 0)->text(), "Latitudine");

        touchedRows.clear();
        form.grid.SetItemText(3, 1, "5");
        form.grid.SetItemBkColour(3, 0, RGB(255, 0, 0));
        EXPECT_EQ(touchedRows, (std::set<int>{3}));
        EXPECT_EQ(table->item(3, 1)->text(), "5");
        EXPECT_EQ(table->item(3, 0)->background().color(), QColor(255, 0, 0));

        form.grid.SetSelectedRange(2, 0, 2, 1);
        EXPECT_EQ(table->selectedItems().size(), 2);
        EXPECT_TRUE(table->item(2, 1)->isSelected());
        form.grid.DeleteRow(2);
        EXPECT_EQ(table->rowCount(), 3);
        EXPECT_TRUE(table->selectedItems().isEmpty());
        EXPECT_EQ(table->item(2, 0)->text(), "Quota");
        d.escape();
    });
    form.DoModal();
    EXPECT_EQ(user.unexpected(), 0);
}

TEST_F(QtGrid, a_double_click_opens_an_edit_box_whose_text_reaches_the_cell_on_enter) {
    GridForm form;
    ScriptedUser user;
    user.onDialog([&](Dialog& d) {
        QTableWidget* table = tableOf(d);
        automation::Grid g = d.grid(kGrid);
        QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, centreOf(table, 1, 0));
        EXPECT_EQ(g.state(1, 0), GVIS_SELECTED | GVIS_FOCUSED);
        EXPECT_TRUE(table->item(1, 0)->isSelected());
        EXPECT_EQ(d.focus(), kGrid);

        QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, centreOf(table, 1, 0));
        auto* line = qobject_cast<QLineEdit*>(editorOf(table, 1, 0));
        ASSERT_NE(line, nullptr);
        EXPECT_TRUE(g.editing());
        QTest::keyClicks(line, "Nord"); // over the selected old text
        EXPECT_EQ(g.editText(), "Nord");
        QTest::keyClick(line, Qt::Key_Return);
        EXPECT_FALSE(g.editing());
        EXPECT_EQ(g.text(1, 0), "Nord");
        EXPECT_EQ(table->item(1, 0)->text(), "Nord");
        EXPECT_EQ(editorOf(table, 1, 0), nullptr);
        EXPECT_TRUE(d.isOpen()); // Enter ended the edit, not the dialog

        // Typing over a cell opens its edit box; Escape leaves the cell as it was.
        QTest::keyClick(table, Qt::Key_Down);
        EXPECT_EQ(g.state(2, 0), GVIS_SELECTED | GVIS_FOCUSED);
        QTest::keyClicks(table, "Q");
        line = qobject_cast<QLineEdit*>(editorOf(table, 2, 0));
        ASSERT_NE(line, nullptr);
        EXPECT_EQ(line->text(), "Q");
        QTest::keyClick(line, Qt::Key_Escape);
        EXPECT_FALSE(g.editing());
        EXPECT_EQ(g.text(2, 0), "Quota");

        // A refused text keeps the edit box open and shows the reason beside the row.
        QTest::keyClick(table, Qt::Key_F2);
        line = qobject_cast<QLineEdit*>(editorOf(table, 2, 0));
        ASSERT_NE(line, nullptr);
        line->selectAll();
        QTest::keyClick(line, Qt::Key_Backspace);
        QTest::keyClick(line, Qt::Key_Return);
        EXPECT_TRUE(g.editing());
        EXPECT_EQ(editorOf(table, 2, 0), line);
        EXPECT_EQ(table->item(2, 0)->toolTip(), "Il nome non può essere vuoto.");
        EXPECT_FALSE(table->item(2, 1)->icon().isNull());
        QTest::keyClick(line, Qt::Key_Escape);

        // A read-only cell opens nothing.
        QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, centreOf(table, 0, 1));
        EXPECT_EQ(editorOf(table, 0, 1), nullptr);
        EXPECT_FALSE(g.editing());
        d.click(IDCANCEL);
    });
    form.DoModal();
    EXPECT_EQ(user.unexpected(), 0);
}

TEST_F(QtGrid, a_drop_down_cell_opens_a_combo_box_with_the_listeners_choices) {
    GridForm form;
    ScriptedUser user;
    user.onDialog([&](Dialog& d) {
        QTableWidget* table = tableOf(d);
        QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, centreOf(table, 2, 1));
        auto* combo = qobject_cast<QComboBox*>(editorOf(table, 2, 1));
        ASSERT_NE(combo, nullptr);
        EXPECT_EQ(combo->count(), 10);
        EXPECT_EQ(combo->currentText(), "3");
        emit combo->activated(7); // the choice in the list
        EXPECT_FALSE(d.grid(kGrid).editing());
        EXPECT_EQ(d.grid(kGrid).text(2, 1), "7");
        EXPECT_EQ(table->item(2, 1)->text(), "7");
        EXPECT_EQ(editorOf(table, 2, 1), nullptr);

        // The automation API opens the same editor in the widget.
        EXPECT_TRUE(d.grid(kGrid).beginEdit(1, 1));
        ASSERT_NE(qobject_cast<QComboBox*>(editorOf(table, 1, 1)), nullptr);
        EXPECT_TRUE(d.grid(kGrid).pick(0));
        EXPECT_EQ(table->item(1, 1)->text(), "0");
        d.click(IDCANCEL);
    });
    form.DoModal();
    EXPECT_EQ(user.unexpected(), 0);
}

TEST_F(QtGrid, enter_and_escape_stay_in_the_table_and_a_refusal_shows_its_balloon_at_the_cell) {
    GridForm form;
    ScriptedUser user;
    user.onDialog([&](Dialog& d) {
        QTableWidget* table = tableOf(d);
        automation::Grid g = d.grid(kGrid);
        QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, centreOf(table, 1, 0));
        // Enter opens the cell's edit box with the old text selected; Escape closes it; the
        // dialog sees neither key.
        QTest::keyClick(table, Qt::Key_Return);
        auto* line = qobject_cast<QLineEdit*>(editorOf(table, 1, 0));
        ASSERT_NE(line, nullptr);
        EXPECT_EQ(line->selectedText(), "Latitudine");
        QTest::keyClick(line, Qt::Key_Escape);
        EXPECT_FALSE(g.editing());
        QTest::keyClick(table, Qt::Key_Escape);
        ASSERT_TRUE(d.isOpen());

        QTest::keyClick(table, Qt::Key_Return);
        line = qobject_cast<QLineEdit*>(editorOf(table, 1, 0));
        ASSERT_NE(line, nullptr);
        QTest::keyClicks(line, "  ");
        QTest::keyClick(line, Qt::Key_Return);
        ASSERT_TRUE(g.editing());
        ASSERT_TRUE(d.isOpen());
        // The refused text selected whole in the focused edit box, the reason in a balloon
        // just below the cell.
        EXPECT_EQ(line->selectedText(), "  ");
        EXPECT_EQ(d.focus(), kGrid);
        auto* balloon = dialogWidget(d)->findChild<QFrame*>("gridBalloon");
        ASSERT_NE(balloon, nullptr);
        EXPECT_TRUE(balloon->isVisible());
        EXPECT_EQ(balloon->findChild<QLabel*>("gridBalloonText")->text(),
                  "Il nome non può essere vuoto.");
        QRect cell = table->visualRect(table->model()->index(1, 0));
        QPoint below = table->viewport()->mapTo(balloon->parentWidget(), cell.bottomLeft());
        EXPECT_NEAR(balloon->y(), below.y(), 4);

        // A double click on another row: the refused text stays in its own cell, open.
        QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, centreOf(table, 2, 0));
        EXPECT_EQ(editorOf(table, 2, 0), nullptr);
        EXPECT_EQ(editorOf(table, 1, 0), line);
        EXPECT_EQ(line->text(), "  ");
        EXPECT_EQ(table->item(2, 0)->text(), "Quota");
        EXPECT_EQ(g.editRow(), 1);

        // The first key replaces the text and takes the balloon away.
        QTest::keyClicks(line, "Est");
        EXPECT_EQ(g.editText(), "Est");
        EXPECT_FALSE(balloon->isVisible());
        QTest::keyClick(line, Qt::Key_Return);
        EXPECT_EQ(table->item(1, 0)->text(), "Est");
        d.click(IDCANCEL);
    });
    form.DoModal();
    EXPECT_EQ(user.unexpected(), 0);
}
