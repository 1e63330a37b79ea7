// The grid control, headless: a test dialog makes it at run time on a hidden placeholder and
// listens to it; the scripted user clicks and edits its cells.
#include "platform/automation.h"
#include "platform/backend.h"
#include "platform/dialog.h"
#include "platform/grid.h"
#include "platform/module.h"
#include "platform/resources.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using automation::Dialog;
using automation::ScriptedUser;

namespace {

const char* const kScript = R"(
#define IDD_GRID 300
IDD_GRID DIALOGEX 0, 0, 260, 160
STYLE DS_SETFONT | DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU
CAPTION "Griglia di prova"
FONT 8, "MS Sans Serif", 0, 0, 0x1
BEGIN
    LTEXT           "Static", 3001, 7, 7, 200, 120, NOT WS_VISIBLE
    EDITTEXT        3002, 7, 135, 100, 12, ES_AUTOHSCROLL
    DEFPUSHBUTTON   "OK", IDOK, 150, 140, 50, 14
    PUSHBUTTON      "Annulla", IDCANCEL, 205, 140, 50, 14
END
)";

constexpr int kGrid = 3000;
constexpr COLORREF kReadOnlyColour = 0x00D2FFDF;
constexpr std::uint64_t kBigData = 0x123456789ABCDEF0ull;

struct TestResources {
    std::shared_ptr<platform::ResourceModule> module;
    TestResources() {
        platform::ParseResult parsed = platform::parseResourceScript(kScript, "grid.rc");
        EXPECT_TRUE(parsed.module) << parsed.error;
        module = parsed.module;
        AfxSetResourceHandle(module.get());
    }
    ~TestResources() { AfxSetResourceHandle(nullptr); }
};

/// A fixed heading row and three fields; column 1 holds decimals chosen from a drop-down list.
/// The dialog is the grid's listener and writes what it hears into a log.
class GridForm : public CDialog, public IGridListener {
public:
    GridForm() : CDialog(300) {}

    CGridCtrl grid;
    RECT placeholder{};
    std::vector<std::string> log;
    bool refuseClick = false;
    bool refuseBegin = false;
    bool parentRefusesEnd = false;
    bool destroyOnClick = false;
    std::string textAtOk;

    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        GetDlgItem(3001)->GetWindowRect(&placeholder);
        ScreenToClient(&placeholder);
        grid.Create(placeholder, this, kGrid);
        grid.InsertColumn("Campo");
        grid.InsertColumn("Decimali", DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        grid.SetColumnWidth(-1, 25);
        grid.SetColumnWidth(0, 170);
        grid.SetColumnEditor(1, platform::GridEditor::DropDown);
        grid.SetRowNumbers(true, 1);
        grid.InsertRow();
        grid.SetFixedRowCount(1);
        grid.SetItemText(0, 0, "Campo");
        grid.SetItemText(0, 1, "Decimali");
        addField("Nome", "0", false);
        addField("Latitudine", "3", true);
        addField("Quota", "3", true);
        grid.SetItemData(2, 0, kBigData);
        grid.SetListener(this);
        return TRUE;
    }

    void OnOK() override {
        // As the pages that hold a grid: a text the grid refuses keeps the dialog open.
        if (!grid.CommitEdit()) return;
        textAtOk = grid.GetItemText(3, 0);
        CDialog::OnOK();
    }

    bool OnGridClick(CGridCtrl&, int row, int column) override {
        log.push_back("press " + cell(row, column));
        return !refuseClick;
    }
    void OnGridClicked(CGridCtrl& g, int row, int column) override {
        CCellRange r = g.GetSelectedCellRange();
        log.push_back("release " + cell(row, column) + " rows " + std::to_string(r.GetMinRow()) +
                      "-" + std::to_string(r.GetMaxRow()));
        if (destroyOnClick) g.DestroyWindow();
    }
    bool OnGridBeginEdit(CGridCtrl&, int row, int column,
                         std::vector<std::string>& choices) override {
        log.push_back("begin " + cell(row, column));
        if (refuseBegin) return false;
        if (column == 1)
            for (char digit = '0'; digit <= '9'; ++digit)
                choices.emplace_back(1, digit);
        return true;
    }
    bool OnGridEndEdit(CGridCtrl& g, int row, int column, std::string& text) override {
        log.push_back("end " + cell(row, column) + " " + text);
        // The name of a field is stored without surrounding blanks, and never empty.
        size_t first = text.find_first_not_of(' ');
        text = first == std::string::npos
                   ? ""
                   : text.substr(first, text.find_last_not_of(' ') - first + 1);
        if (column == 0 && text.empty()) {
            g.SetRowMessage(row, "Il nome non può essere vuoto.");
            g.ShowEditBalloon("Il nome non può essere vuoto.");
            return false;
        }
        g.SetRowMessage(row, "");
        return true;
    }

private:
    static std::string cell(int row, int column) {
        return std::to_string(row) + "," + std::to_string(column);
    }

    void addField(const std::string& name, const std::string& decimals, bool hasDecimals) {
        int row = grid.InsertRow(-1);
        grid.SetItemText(row, 0, name);
        grid.SetItemText(row, 1, decimals);
        grid.SetItemData(row, 0, static_cast<std::uint64_t>(row));
        if (!hasDecimals) {
            grid.SetItemState(row, 1, GVIS_READONLY);
            grid.SetItemBkColour(row, 1, kReadOnlyColour);
        }
    }

    void onParentClick(NMHDR* header, LRESULT*) {
        auto* info = reinterpret_cast<NM_GRIDVIEW*>(header);
        log.push_back("parent click " + cell(info->iRow, info->iColumn));
    }
    void onParentEnd(NMHDR* header, LRESULT* result) {
        auto* info = reinterpret_cast<NM_GRIDVIEW*>(header);
        log.push_back("parent end " + cell(info->iRow, info->iColumn) + " " + *info->pText);
        *result = parentRefusesEnd ? 1 : 0;
    }

    DECLARE_MESSAGE_MAP()
};

// clang-format off
BEGIN_MESSAGE_MAP(GridForm, CDialog)
    ON_NOTIFY(NM_CLICK, kGrid, &GridForm::onParentClick)
    ON_NOTIFY(GVN_ENDLABELEDIT, kGrid, &GridForm::onParentEnd)
END_MESSAGE_MAP()
// clang-format on

/// Runs the form with one scripted handler; the handler cancels unless it closed the dialog.
int run(GridForm& form, const std::function<void(Dialog&)>& body) {
    ScriptedUser user;
    user.onDialog([&](Dialog& d) {
        body(d);
        if (d.isOpen()) d.click(IDCANCEL);
    });
    int result = static_cast<int>(form.DoModal());
    EXPECT_EQ(user.unexpected(), 0);
    return result;
}

} // namespace

TEST(Grid, made_at_run_time_on_the_placeholder_it_shows_what_the_program_filled) {
    TestResources resources;
    GridForm form;
    run(form, [&](Dialog& d) {
        automation::Grid g = d.grid(kGrid);
        ASSERT_TRUE(g.exists());
        RECT placed{};
        form.grid.GetWindowRect(&placed);
        form.ScreenToClient(&placed);
        EXPECT_EQ(placed, form.placeholder);
        EXPECT_EQ(g.rows(), 4);
        EXPECT_EQ(g.columns(), 2);
        EXPECT_EQ(g.fixedRows(), 1);
        EXPECT_EQ(g.heading(1), "Decimali");
        EXPECT_EQ(g.text(2, 0), "Latitudine");
        EXPECT_EQ(g.rowLabel(0), ""); // a fixed row has no number
        EXPECT_EQ(g.rowLabel(1), "1");
        EXPECT_EQ(g.rowLabel(3), "3");
        EXPECT_EQ(g.colour(1, 1), kReadOnlyColour);
        EXPECT_EQ(g.colour(2, 1), platform::kGridBackground);
        EXPECT_EQ(g.colour(0, 1), platform::kGridFixedBackground);
        EXPECT_EQ(g.state(1, 1), GVIS_READONLY);
        EXPECT_TRUE(g.readOnly(1, 1));
        EXPECT_TRUE(g.readOnly(0, 0)); // fixed
        EXPECT_FALSE(g.readOnly(2, 1));
        EXPECT_EQ(form.grid.GetItemData(2, 0), kBigData);
        EXPECT_EQ(form.grid.GetItemBkColour(2, 1), CLR_DEFAULT);
        EXPECT_EQ(form.grid.GetItemFormat(2, 1), DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        EXPECT_EQ(form.grid.GetColumnWidth(-1), 25);
        // Cells that do not exist are refused and read as empty.
        EXPECT_FALSE(form.grid.SetItemText(4, 0, "x"));
        EXPECT_FALSE(form.grid.SetItemState(1, 2, 0));
        EXPECT_EQ(g.text(-1, 0), "");
        EXPECT_EQ(form.grid.GetItemData(9, 9), 0u);
    });

    CGridCtrl unmade; // before Create every call fails cleanly
    EXPECT_EQ(unmade.InsertRow(), -1);
    EXPECT_EQ(unmade.InsertColumn("A"), -1);
    EXPECT_FALSE(unmade.SetItemText(0, 0, "x"));
    EXPECT_EQ(unmade.GetItemText(0, 0), "");
    EXPECT_FALSE(unmade.GetSelectedCellRange().IsValid());
    EXPECT_TRUE(unmade.CommitEdit());
}

TEST(Grid, a_click_selects_one_cell_and_tells_the_listener_before_and_after_and_the_parent) {
    TestResources resources;
    GridForm form;
    run(form, [&](Dialog& d) {
        automation::Grid g = d.grid(kGrid);
        form.log.clear();
        EXPECT_TRUE(g.click(2, 1));
        EXPECT_EQ(form.log, (std::vector<std::string>{"press 2,1", "parent click 2,1",
                                                      "release 2,1 rows 2-2"}));
        EXPECT_EQ(g.state(2, 1), GVIS_SELECTED | GVIS_FOCUSED);
        EXPECT_EQ(d.focus(), kGrid);
        EXPECT_TRUE(g.click(3, 0));
        EXPECT_EQ(g.state(2, 1), 0u);
        CCellRange range = form.grid.GetSelectedCellRange();
        EXPECT_EQ(range, CCellRange(3, 0, 3, 0));

        // Fixed cells, cells that do not exist, and a refusing listener leave all as it was.
        form.log.clear();
        EXPECT_FALSE(g.click(0, 0));
        EXPECT_FALSE(g.click(4, 0));
        form.refuseClick = true;
        EXPECT_FALSE(g.click(1, 0));
        EXPECT_EQ(form.log, (std::vector<std::string>{"press 1,0"}));
        EXPECT_EQ(form.grid.GetSelectedCellRange(), CCellRange(3, 0, 3, 0));
        form.refuseClick = false;
        form.grid.EnableWindow(false);
        EXPECT_FALSE(g.click(1, 0));
        form.grid.EnableWindow(true);

        // The program selects ranges; setting a cell's state replaces all of its bits.
        form.grid.SetSelectedRange(1, 0, 2, 1);
        EXPECT_EQ(form.grid.GetSelectedCellRange(), CCellRange(1, 0, 2, 1));
        EXPECT_EQ(g.state(3, 0), GVIS_FOCUSED); // no longer selected, still the focus cell
        EXPECT_EQ(g.state(1, 1), GVIS_READONLY | GVIS_SELECTED);
        form.grid.SetItemState(1, 1, GVIS_SELECTED);
        EXPECT_FALSE(g.readOnly(1, 1));
        form.grid.SetItemState(3, 0, 0);
        int row = 0, column = 0;
        EXPECT_FALSE(form.grid.GetFocusCell(row, column));

        // A listener may destroy the grid in its handler; the accessor then finds none.
        form.destroyOnClick = true;
        EXPECT_TRUE(g.click(2, 0));
        EXPECT_FALSE(g.exists());
        EXPECT_EQ(g.rows(), 0);
        EXPECT_FALSE(g.click(2, 0));
    });
}

TEST(Grid, enter_or_leaving_the_grid_stores_the_typed_text_and_escape_keeps_the_old_one) {
    TestResources resources;
    GridForm form;
    int result = run(form, [&](Dialog& d) {
        automation::Grid g = d.grid(kGrid);
        EXPECT_TRUE(g.edit(3, 0, "Quota ellissoidica"));
        EXPECT_EQ(g.text(3, 0), "Quota ellissoidica");
        EXPECT_FALSE(g.editing());

        EXPECT_TRUE(g.beginEdit(2, 0));
        EXPECT_EQ(g.editText(), "Latitudine");
        EXPECT_TRUE(g.setEditText("X"));
        EXPECT_TRUE(g.escape());
        EXPECT_EQ(g.text(2, 0), "Latitudine");

        // The dialog's Enter and Escape end the edit and leave the dialog open.
        g.beginEdit(2, 0);
        g.setEditText("Lat");
        EXPECT_TRUE(d.enter());
        EXPECT_TRUE(d.isOpen());
        EXPECT_EQ(g.text(2, 0), "Lat");
        g.beginEdit(2, 0);
        g.setEditText("Y");
        EXPECT_TRUE(d.escape());
        EXPECT_TRUE(d.isOpen());
        EXPECT_FALSE(g.editing());
        EXPECT_EQ(g.text(2, 0), "Lat");

        // The focus leaving the grid stores the edit; so does a click on another cell.
        g.beginEdit(2, 0);
        g.setEditText("Lon");
        EXPECT_TRUE(d.setFocus(3002));
        EXPECT_EQ(g.text(2, 0), "Lon");
        g.beginEdit(2, 0);
        g.setEditText("Long.");
        EXPECT_TRUE(g.click(3, 1));
        EXPECT_EQ(g.text(2, 0), "Long.");

        // Pressing OK while editing: the edit is stored before OK runs.
        g.beginEdit(3, 0);
        g.setEditText("Z");
        d.click(IDOK);
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(form.textAtOk, "Z");
}

TEST(Grid, with_the_focus_it_keeps_enter_and_escape_for_its_cells_and_never_ends_the_dialog) {
    TestResources resources;
    GridForm form;
    int result = run(form, [&](Dialog& d) {
        automation::Grid g = d.grid(kGrid);
        ASSERT_TRUE(g.click(2, 0));
        // Enter opens the focus cell's editor with its whole text selected.
        EXPECT_TRUE(d.enter());
        ASSERT_TRUE(g.editing());
        EXPECT_EQ(g.editRow(), 2);
        EXPECT_EQ(g.editColumn(), 0);
        EXPECT_TRUE(g.editTextSelected());
        EXPECT_TRUE(g.type("Lat"));
        EXPECT_FALSE(g.editTextSelected());
        EXPECT_TRUE(g.type("."));
        EXPECT_EQ(g.editText(), "Lat.");
        EXPECT_TRUE(d.enter());
        EXPECT_FALSE(g.editing());
        EXPECT_EQ(g.text(2, 0), "Lat.");
        // Escape cancels an open edit, and does nothing without one.
        EXPECT_TRUE(d.enter());
        EXPECT_TRUE(g.type("X"));
        EXPECT_TRUE(d.escape());
        EXPECT_FALSE(g.editing());
        EXPECT_EQ(g.text(2, 0), "Lat.");
        EXPECT_TRUE(d.escape());
        // A read-only cell keeps both keys too, and opens nothing.
        ASSERT_TRUE(g.click(1, 1));
        EXPECT_TRUE(d.enter());
        EXPECT_TRUE(d.escape());
        EXPECT_FALSE(g.editing());
        EXPECT_TRUE(d.isOpen());
        // Away from the grid the keys are the dialog's again.
        EXPECT_TRUE(d.setFocus(3002));
        EXPECT_TRUE(d.enter());
        EXPECT_FALSE(d.isOpen());
    });
    EXPECT_EQ(result, IDOK);
}

TEST(Grid, a_refused_text_stays_selected_with_its_balloon_and_reaches_no_other_cell) {
    TestResources resources;
    GridForm form;
    int result = run(form, [&](Dialog& d) {
        automation::Grid g = d.grid(kGrid);
        const std::string reason = "Il nome non può essere vuoto.";
        EXPECT_FALSE(g.edit(2, 0, "  "));
        ASSERT_TRUE(g.editing());
        EXPECT_EQ(g.balloon(), reason);
        EXPECT_TRUE(g.editTextSelected());
        EXPECT_EQ(d.focus(), kGrid);
        // The first key replaces the refused text and hides the balloon.
        EXPECT_TRUE(g.type("N"));
        EXPECT_EQ(g.editText(), "N");
        EXPECT_EQ(g.balloon(), "");
        EXPECT_TRUE(g.setEditText(" "));

        // The focus leaving for another control: refused, the editor stays open with the
        // balloon, and the focus goes where the person put it.
        EXPECT_TRUE(d.setFocus(3002));
        EXPECT_EQ(d.focus(), 3002);
        EXPECT_TRUE(g.editing());
        EXPECT_EQ(g.balloon(), reason);

        // A click or a double click on another cell commits first; refused, nothing else
        // happens, and the open text never reaches the other cell.
        form.log.clear();
        EXPECT_FALSE(g.click(3, 0));
        EXPECT_FALSE(g.beginEdit(3, 0));
        EXPECT_FALSE(g.edit(3, 1, "5"));
        EXPECT_EQ(g.editRow(), 2);
        EXPECT_EQ(g.editText(), " ");
        EXPECT_EQ(g.text(3, 0), "Quota");
        EXPECT_EQ(g.text(3, 1), "3");
        EXPECT_EQ(g.state(3, 0) & (GVIS_SELECTED | GVIS_FOCUSED), 0u);
        for (const std::string& entry : form.log)
            EXPECT_TRUE(entry.rfind("end 2,0", 0) == 0 || entry.rfind("parent end 2,0", 0) == 0)
                << entry;
        EXPECT_EQ(d.focus(), kGrid);
        EXPECT_TRUE(g.editTextSelected());

        // OK: refused as well, the dialog stays with the focus in the editor.
        EXPECT_TRUE(d.setFocus(3002));
        d.click(IDOK);
        ASSERT_TRUE(d.isOpen());
        EXPECT_EQ(d.focus(), kGrid);
        EXPECT_TRUE(g.editTextSelected());
        EXPECT_TRUE(g.type("Nord"));
        EXPECT_TRUE(d.enter());
        EXPECT_EQ(g.text(2, 0), "Nord");
        EXPECT_EQ(g.message(2), "");
        // Escape after a refusal puts the old text back and takes its mark away.
        EXPECT_FALSE(g.edit(3, 0, ""));
        EXPECT_EQ(g.message(3), reason);
        EXPECT_TRUE(d.escape());
        EXPECT_FALSE(g.editing());
        EXPECT_EQ(g.balloon(), "");
        EXPECT_EQ(g.text(3, 0), "Quota");
        d.click(IDOK);
    });
    EXPECT_EQ(result, IDOK);
}

TEST(Grid, read_only_fixed_cells_and_a_grid_that_is_not_editable_refuse_the_editor) {
    TestResources resources;
    GridForm form;
    run(form, [&](Dialog& d) {
        automation::Grid g = d.grid(kGrid);
        form.log.clear();
        EXPECT_FALSE(g.edit(1, 1, "5"));
        EXPECT_FALSE(g.beginEdit(1, 1));
        EXPECT_FALSE(g.beginEdit(0, 0));
        EXPECT_TRUE(g.choices(1, 1).empty());
        EXPECT_EQ(g.text(1, 1), "0");
        for (const std::string& entry : form.log)
            EXPECT_EQ(entry.rfind("begin", 0), std::string::npos);

        form.grid.SetEditable(false);
        EXPECT_TRUE(g.readOnly(2, 0));
        EXPECT_FALSE(g.edit(2, 0, "x"));
        form.grid.SetEditable(true);
        EXPECT_TRUE(g.edit(2, 0, "x"));

        // A cell that becomes read-only while it is being edited closes its editor.
        g.beginEdit(3, 0);
        g.setEditText("nuovo");
        form.grid.SetItemState(3, 0, GVIS_READONLY);
        EXPECT_FALSE(g.editing());
        EXPECT_EQ(g.text(3, 0), "Quota");
    });
}

TEST(Grid, a_column_without_editor_can_be_selected_but_never_edited) {
    TestResources resources;
    GridForm form;
    run(form, [&](Dialog& d) {
        automation::Grid g = d.grid(kGrid);
        form.grid.SetColumnEditor(0, platform::GridEditor::None);
        EXPECT_TRUE(g.readOnly(2, 0));
        EXPECT_TRUE(g.click(2, 0));
        EXPECT_NE(g.state(2, 0) & GVIS_SELECTED, 0u);
        EXPECT_FALSE(g.beginEdit(2, 0));
        EXPECT_FALSE(g.edit(2, 0, "x"));
        EXPECT_TRUE(g.edit(2, 1, "4")); // the other column keeps its drop-down
        form.grid.SetItemEditor(3, 0, platform::GridEditor::Text);
        EXPECT_TRUE(g.edit(3, 0, "Quota ortometrica"));
    });
}

TEST(Grid, the_listener_or_the_parent_may_refuse_to_open_the_editor_or_to_store_its_text) {
    TestResources resources;
    GridForm form;
    run(form, [&](Dialog& d) {
        automation::Grid g = d.grid(kGrid);
        form.refuseBegin = true;
        EXPECT_FALSE(g.edit(2, 0, "x"));
        EXPECT_FALSE(g.editing());
        form.refuseBegin = false;

        // A refused text keeps the editor open with the text, and the reason beside the row.
        EXPECT_FALSE(g.edit(2, 0, "   "));
        EXPECT_TRUE(g.editing());
        EXPECT_EQ(g.editText(), "   ");
        EXPECT_EQ(g.message(2), "Il nome non può essere vuoto.");
        EXPECT_FALSE(form.grid.CommitEdit());
        EXPECT_TRUE(d.enter());
        EXPECT_TRUE(g.editing());
        EXPECT_EQ(g.text(2, 0), "Latitudine");
        g.setEditText(" Nord ");
        EXPECT_TRUE(form.grid.CommitEdit());
        EXPECT_EQ(g.text(2, 0), "Nord"); // as the listener stored it
        EXPECT_EQ(g.message(2), "");

        form.log.clear();
        form.parentRefusesEnd = true;
        EXPECT_FALSE(g.edit(3, 0, "Quota s.l.m."));
        EXPECT_EQ(form.log.back(), "parent end 3,0 Quota s.l.m.");
        form.parentRefusesEnd = false;
        EXPECT_TRUE(g.enter());
        EXPECT_EQ(g.text(3, 0), "Quota s.l.m.");
    });
}

TEST(Grid, a_drop_down_cell_lists_the_listeners_choices_and_edit_picks_among_them) {
    TestResources resources;
    GridForm form;
    run(form, [&](Dialog& d) {
        automation::Grid g = d.grid(kGrid);
        EXPECT_EQ(g.choices(2, 1),
                  (std::vector<std::string>{"0", "1", "2", "3", "4", "5", "6", "7", "8", "9"}));
        EXPECT_FALSE(g.editing()); // looking at the list closed it again
        EXPECT_EQ(g.text(2, 1), "3");
        EXPECT_TRUE(g.choices(2, 0).empty()); // an edit box, not a list

        EXPECT_TRUE(g.edit(2, 1, "7"));
        EXPECT_EQ(g.text(2, 1), "7");
        EXPECT_FALSE(g.edit(2, 1, "12"));
        EXPECT_FALSE(g.editing());
        EXPECT_EQ(g.text(2, 1), "7");

        EXPECT_TRUE(g.beginEdit(3, 1));
        EXPECT_FALSE(g.setEditText("5")); // a list cannot be typed into
        EXPECT_FALSE(g.pick(10));
        EXPECT_TRUE(g.pick(5));
        EXPECT_EQ(g.text(3, 1), "5");
    });
}

TEST(Grid, inserting_and_deleting_rows_moves_later_rows_with_everything_they_hold) {
    TestResources resources;
    GridForm form;
    run(form, [&](Dialog& d) {
        automation::Grid g = d.grid(kGrid);
        g.click(3, 0);
        EXPECT_EQ(form.grid.InsertRow(1), 1);
        EXPECT_EQ(form.grid.GetRowCount(), 5);
        EXPECT_EQ(g.text(1, 0), "");
        EXPECT_EQ(g.text(2, 0), "Nome");
        EXPECT_TRUE(g.readOnly(2, 1));
        EXPECT_EQ(g.colour(2, 1), kReadOnlyColour);
        EXPECT_EQ(form.grid.GetItemData(3, 0), kBigData);
        EXPECT_EQ(g.state(4, 0), GVIS_SELECTED | GVIS_FOCUSED);
        EXPECT_EQ(g.rowLabel(4), "4");
        EXPECT_EQ(form.grid.InsertRow(-1), 5);

        EXPECT_TRUE(form.grid.DeleteRow(1));
        EXPECT_EQ(g.text(1, 0), "Nome");
        EXPECT_EQ(form.grid.GetSelectedCellRange(), CCellRange(3, 0, 3, 0));
        EXPECT_FALSE(form.grid.DeleteRow(5));

        // Deleting the row being edited closes the editor; a row above it moves it up.
        g.beginEdit(3, 0);
        g.setEditText("in corso");
        form.grid.DeleteRow(1);
        EXPECT_TRUE(g.editing());
        EXPECT_TRUE(g.enter());
        EXPECT_EQ(g.text(2, 0), "in corso");
        g.beginEdit(2, 0);
        form.grid.DeleteRow(2);
        EXPECT_FALSE(g.editing());
        EXPECT_EQ(g.rows(), 3);
        EXPECT_EQ(g.text(2, 0), "");
    });
}

namespace {

/// A backend that answers modal runs like the headless one and writes down each change of a
/// grid with the range it concerns.
class ChangeRecorder final : public platform::Backend {
public:
    std::vector<std::string> changes;

    std::string name() const override { return "recorder"; }
    SIZE dialogBaseUnits(const platform::FontSpec&) override { return SIZE{6, 13}; }
    void runModal(CDialog& dialog, const platform::ModalScript& script) override {
        if (script) script(dialog);
    }
    int messageBox(CWnd*, const std::string&, const std::string&, UINT) override { return IDOK; }
    void beep(UINT) override {}
    void windowChanged(platform::Window& window, platform::Change what,
                       const platform::ChangeRange& r) override {
        if (window.kind() != platform::ControlKind::Grid) return;
        std::string kind = "other";
        switch (what) {
        case platform::Change::Cells:
            kind = "cells";
            break;
        case platform::Change::RowsInserted:
            kind = "rows+";
            break;
        case platform::Change::RowsRemoved:
            kind = "rows-";
            break;
        case platform::Change::InPlaceEdit:
            kind = "editor";
            break;
        case platform::Change::Focus:
            kind = "focus";
            break;
        default:
            break;
        }
        changes.push_back(kind + " " + std::to_string(r.first) + ":" + std::to_string(r.last) +
                          "/" + std::to_string(r.firstColumn) + ":" + std::to_string(r.lastColumn));
    }
};

} // namespace

TEST(Grid, every_change_reports_only_the_rows_and_cells_it_touched) {
    TestResources resources;
    auto owned = std::make_unique<ChangeRecorder>();
    ChangeRecorder* recorder = owned.get();
    platform::setBackend(std::move(owned));
    GridForm form;
    run(form, [&](Dialog& d) {
        automation::Grid g = d.grid(kGrid);
        g.click(2, 1);
        auto changesOf = [&](const std::function<void()>& action) {
            recorder->changes.clear();
            action();
            return recorder->changes;
        };
        using Changes = std::vector<std::string>;
        EXPECT_EQ(changesOf([&] { form.grid.InsertRow(-1); }), (Changes{"rows+ 4:4/-1:-1"}));
        EXPECT_EQ(changesOf([&] { form.grid.SetItemText(4, 1, "2"); }), (Changes{"cells 4:4/1:1"}));
        EXPECT_EQ(changesOf([&] { form.grid.SetItemData(4, 1, 7); }), (Changes{}));
        // The old selection and focus cell, then the new ones.
        EXPECT_EQ(changesOf([&] { g.click(3, 0); }),
                  (Changes{"cells 2:3/-1:-1", "cells 2:2/1:1", "cells 3:3/0:0"}));
        EXPECT_EQ(changesOf([&] { form.grid.DeleteRow(1); }), (Changes{"rows- 1:1/-1:-1"}));
        g.click(1, 0);
        EXPECT_EQ(changesOf([&] { g.edit(1, 0, "Lat"); }),
                  (Changes{"editor 1:1/0:0", "editor 1:1/0:0", "editor 1:1/0:0", "cells 1:1/0:0"}));
    });
    platform::useHeadlessBackend();
}
