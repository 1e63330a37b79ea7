// The grid as the Windows view shows it: presses, double clicks, arrows, F2, typing, the
// in-place edit box and drop-down list, all as native messages to the native windows, reach
// the model as the grid's user actions; what the host sees afterwards is what it would see
// after the same steps through the automation API. On the headless pass there are no native
// windows and these tests skip.
#include "NativeInput.h"

#include "gpsdialogs/GpsDialogs.h"
#include "gpsdialogs/interfaces/GisTableCtrl.h"
#include "platform/automation.h"
#include "platform/grid.h"
#include "platform/win32/Win32Backend.h"
#include "pointedit/GisFixture.h"

#include "TempSettings.h"
#include "resource.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

using automation::Dialog;

namespace {

/// The native grid of a dialog and where its cells are.
struct NativeGrid {
    platform::Window* model = nullptr;
    void* window = nullptr;

    NativeGrid(Dialog& d, int id) : model(d.control(id)) {
        if (model != nullptr) window = platform::win32::nativeWindow(*model);
    }
    explicit operator bool() const { return window != nullptr; }

    void click(int row, int column) {
        int x = 0, y = 0;
        ASSERT_TRUE(platform::win32::gridCellCentre(*model, row, column, x, y));
        native::click(window, x, y);
    }
    void doubleClick(int row, int column) {
        int x = 0, y = 0;
        ASSERT_TRUE(platform::win32::gridCellCentre(*model, row, column, x, y));
        native::doubleClick(window, x, y);
    }
    void* editor(const char* className) const { return native::child(window, className); }
};

bool focused(automation::Grid& g, int row, int column) {
    return (g.state(row, column) & GVIS_FOCUSED) != 0;
}

const std::vector<std::string> kDecimals = {"0", "1", "2", "3", "4", "5", "6", "7", "8", "9"};

} // namespace

TEST(NativeGrid, presses_keys_and_the_drop_down_list_choose_decimals_that_ok_writes) {
    testsupport::TempSettings settings;
    bool shown = false;
    automation::ScriptedUser user;
    user.onDialog([&](Dialog& d) {
        NativeGrid grid(d, IDC_FIELD_GRID);
        shown = static_cast<bool>(grid);
        if (!shown) {
            d.click(IDC_LAYOUT_CANCEL);
            return;
        }
        automation::Grid g = d.grid(IDC_FIELD_GRID);
        grid.click(3, 1);
        EXPECT_TRUE(focused(g, 3, 1));
        EXPECT_TRUE(g.state(3, 1) & GVIS_SELECTED);
        native::key(grid.window, native::kDown);
        EXPECT_TRUE(focused(g, 4, 1));
        native::key(grid.window, native::kUp);
        EXPECT_TRUE(focused(g, 3, 1));

        // A double click opens the list on the cell; Enter takes the entry it shows.
        grid.doubleClick(3, 1);
        EXPECT_TRUE(g.editing());
        void* list = grid.editor("ComboBox");
        ASSERT_NE(list, nullptr);
        EXPECT_TRUE(native::visible(list));
        EXPECT_EQ(native::comboItems(list), kDecimals);
        native::comboShow(list, 5);
        native::key(list, native::kReturn);
        EXPECT_TRUE(d.isOpen()); // Enter went to the list, not to the dialog's OK
        EXPECT_FALSE(g.editing());
        EXPECT_EQ(grid.editor("ComboBox"), nullptr);
        EXPECT_EQ(g.text(3, 1), "5");

        // F2 opens it again; Escape leaves the cell as it was.
        native::key(grid.window, native::kF2);
        list = grid.editor("ComboBox");
        ASSERT_NE(list, nullptr);
        native::comboShow(list, 8);
        native::key(list, native::kEscape);
        EXPECT_TRUE(d.isOpen());
        EXPECT_FALSE(g.editing());
        EXPECT_EQ(g.text(3, 1), "5");

        // "Nome" has no decimals and the captions are no values: nothing opens.
        grid.doubleClick(0, 1);
        grid.doubleClick(3, 0);
        EXPECT_FALSE(g.editing());
        EXPECT_EQ(grid.editor("ComboBox"), nullptr);
        d.click(IDC_LAYOUT_OK);
    });
    const bool ok = FSelDatiFile();
    if (!shown) GTEST_SKIP() << "no native windows on this pass";
    EXPECT_TRUE(ok);
    EXPECT_EQ(user.unexpected(), 0);
    CIniFile ini{settings.pathString()};
    EXPECT_EQ(ini.GetLong("FILE ASCI", "nDecCampo-3", -9), 5);
    EXPECT_EQ(ini.GetLong("FILE ASCI", "nDecCampo-0", -9), 0);
}

// The decimals cells as a keyboard user meets them: the typed digit opens the list showing that
// entry; keys in the closed list only change the entry it shows; Enter or Tab on the closed list
// and a choice in the open one are the picks; the Enter after a pick stays in the grid.
TEST(NativeGrid, keys_in_a_closed_decimals_list_only_show_an_entry_enter_and_tab_pick_it) {
    testsupport::TempSettings settings;
    bool shown = false;
    automation::ScriptedUser user;
    user.onDialog([&](Dialog& d) {
        NativeGrid grid(d, IDC_FIELD_GRID);
        shown = static_cast<bool>(grid);
        if (!shown) {
            d.click(IDC_LAYOUT_CANCEL);
            return;
        }
        automation::Grid g = d.grid(IDC_FIELD_GRID);
        const std::string before = g.text(3, 1);
        grid.click(3, 1);
        native::type(grid.window, "5");
        void* list = grid.editor("ComboBox");
        ASSERT_NE(list, nullptr);
        EXPECT_TRUE(g.editing());
        EXPECT_EQ(native::text(list), "5");
        native::key(list, native::kDown);
        native::key(list, native::kDown);
        EXPECT_TRUE(g.editing()); // the keys only moved the entry shown
        EXPECT_EQ(grid.editor("ComboBox"), list);
        EXPECT_EQ(native::text(list), "7");
        EXPECT_EQ(g.text(3, 1), before);
        native::key(list, native::kReturn);
        EXPECT_FALSE(g.editing());
        EXPECT_EQ(g.text(3, 1), "7");
        // The Enter after the pick is the dialog's again; here the focus cell's: it stays open.
        EXPECT_TRUE(d.isOpen());

        grid.click(4, 1);
        native::type(grid.window, "2");
        list = grid.editor("ComboBox");
        ASSERT_NE(list, nullptr);
        native::key(list, native::kUp);
        native::key(list, native::kTab);
        EXPECT_FALSE(g.editing());
        EXPECT_EQ(g.text(4, 1), "1");
        d.click(IDC_LAYOUT_OK);
    });
    const bool ok = FSelDatiFile();
    if (!shown) GTEST_SKIP() << "no native windows on this pass";
    EXPECT_TRUE(ok);
    CIniFile ini{settings.pathString()};
    EXPECT_EQ(ini.GetLong("FILE ASCI", "nDecCampo-3", -9), 7);
}

TEST(NativeGrid, typing_edits_a_gis_value_and_a_refused_one_keeps_the_edit_box) {
    using pointedit_test::GisEditor;
    constexpr int kValue = CPropertyCtrl::kValueColumn;
    constexpr int kDepth = CPropertyCtrl::kFirstRow + 2;
    constexpr int kNumber = CPropertyCtrl::kFirstRow + 3;
    GisEditor e;
    CPunGps* p = e.sample.first;
    bool shown = false;
    const bool ok = e.run(p, [&](Dialog& d) {
        ASSERT_TRUE(d.selectPage(4));
        NativeGrid grid(d, IDC_GIS_TABLE);
        shown = static_cast<bool>(grid);
        if (!shown) {
            d.escape();
            return;
        }
        automation::Grid g = d.grid(IDC_GIS_TABLE);
        grid.click(kNumber, kValue);
        // Typing over the cell opens the edit box with what was typed.
        native::type(grid.window, "1");
        void* box = grid.editor("Edit");
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(native::text(box), "1");
        native::type(box, "2a");
        EXPECT_EQ(g.editText(), "12a");
        native::key(box, native::kReturn);
        EXPECT_TRUE(d.isOpen());
        EXPECT_TRUE(g.editing()); // refused: the box stays with the text, the reason beside it
        EXPECT_EQ(grid.editor("Edit"), box);
        EXPECT_EQ(native::text(box), "12a");
        EXPECT_NE(g.message(kNumber).find("numero intero"), std::string::npos);
        // Its whole text selected for the next key, the keys in it, the reason in a balloon.
        EXPECT_EQ(native::selection(box), (std::pair<int, int>{0, 3}));
        EXPECT_EQ(native::focus(), box);
        std::string title, reason;
        ASSERT_TRUE(platform::win32::shownBalloon(box, title, reason));
        EXPECT_NE(reason.find("numero intero"), std::string::npos);
        native::replaceText(box, "12");
        EXPECT_FALSE(platform::win32::shownBalloon(box, title, reason));
        native::key(box, native::kReturn);
        EXPECT_FALSE(g.editing());
        EXPECT_EQ(grid.editor("Edit"), nullptr);
        EXPECT_EQ(g.text(kNumber, kValue), "12");
        EXPECT_EQ(g.message(kNumber), "");

        // A double click shows the value to change; Escape keeps the old one.
        grid.doubleClick(kDepth, kValue);
        box = grid.editor("Edit");
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(native::text(box), g.text(kDepth, kValue));
        native::replaceText(box, "9");
        native::key(box, native::kEscape);
        EXPECT_TRUE(d.isOpen());
        EXPECT_FALSE(g.editing());
        EXPECT_EQ(g.text(kDepth, kValue), "1.35");
        d.click(IDOK);
    });
    if (!shown) GTEST_SKIP() << "no native windows on this pass";
    EXPECT_TRUE(ok);
    EXPECT_NE(e.entity(p).find(":101|Spigolo fabbricato|1.35|12|"), std::string::npos)
        << e.entity(p);
}

// Enter and Escape on a grid with the focus are the grid's: Enter opens the focus cell's edit
// box with its text selected and stores it, Escape cancels it; neither ends the dialog.
TEST(NativeGrid, enter_and_escape_stay_in_the_grid) {
    using pointedit_test::GisEditor;
    constexpr int kValue = CPropertyCtrl::kValueColumn;
    constexpr int kDepth = CPropertyCtrl::kFirstRow + 2;
    GisEditor e;
    CPunGps* p = e.sample.first;
    bool shown = false;
    const bool ok = e.run(p, [&](Dialog& d) {
        ASSERT_TRUE(d.selectPage(4));
        NativeGrid grid(d, IDC_GIS_TABLE);
        shown = static_cast<bool>(grid);
        if (!shown) {
            d.escape();
            return;
        }
        automation::Grid g = d.grid(IDC_GIS_TABLE);
        grid.click(kDepth, kValue);
        native::key(grid.window, native::kReturn);
        ASSERT_TRUE(d.isOpen());
        EXPECT_TRUE(g.editing());
        void* box = grid.editor("Edit");
        ASSERT_NE(box, nullptr);
        const std::string old = native::text(box);
        EXPECT_EQ(native::selection(box), (std::pair<int, int>{0, static_cast<int>(old.size())}));
        native::key(box, native::kEscape);
        EXPECT_FALSE(g.editing());
        EXPECT_EQ(native::focus(), grid.window);
        native::key(grid.window, native::kEscape);
        ASSERT_TRUE(d.isOpen());

        native::key(grid.window, native::kReturn);
        box = grid.editor("Edit");
        ASSERT_NE(box, nullptr);
        native::type(box, "2.5");
        native::key(box, native::kReturn);
        EXPECT_FALSE(g.editing());
        EXPECT_EQ(g.text(kDepth, kValue), "2.5");
        ASSERT_TRUE(d.isOpen());
        d.click(IDOK);
    });
    if (!shown) GTEST_SKIP() << "no native windows on this pass";
    EXPECT_TRUE(ok);
    EXPECT_NE(e.entity(p).find("|2.5|"), std::string::npos) << e.entity(p);
}

// The export layout's field list: the arrow keys move its selection without the click that
// turns ">>" on; a click on an entry does, and ">>" then adds that field.
TEST(NativeList, keys_move_the_field_list_without_a_click_and_a_click_adds_the_field) {
    testsupport::TempSettings settings;
    {
        CIniFile ini{settings.pathString()};
        ini.WriteLong("FILE ASCI", "NumCampi", 0);
    }
    bool shown = false;
    automation::ScriptedUser user;
    user.onDialog([&](Dialog& d) {
        platform::Window* model = d.control(IDC_FIELD_LIST);
        void* list = model != nullptr ? platform::win32::nativeWindow(*model) : nullptr;
        shown = list != nullptr;
        if (!shown) {
            d.click(IDC_LAYOUT_CANCEL);
            return;
        }
        native::key(list, native::kDown);
        native::key(list, native::kDown);
        EXPECT_GE(d.selection(IDC_FIELD_LIST), 0);
        EXPECT_FALSE(d.enabled(IDC_ADD_FIELD)); // no click yet
        int x = 0, y = 0;
        ASSERT_TRUE(native::listViewItemCentre(list, 2, x, y));
        native::click(list, x, y);
        EXPECT_EQ(d.selection(IDC_FIELD_LIST), 2);
        EXPECT_TRUE(d.enabled(IDC_ADD_FIELD));
        d.click(IDC_ADD_FIELD); // adds "Latitudine Mis." and selects the next entry
        EXPECT_EQ(d.selection(IDC_FIELD_LIST), 3);
        d.click(IDC_LAYOUT_OK);
    });
    const bool ok = FSelDatiFile();
    if (!shown) GTEST_SKIP() << "no native windows on this pass";
    EXPECT_TRUE(ok);
    CIniFile ini{settings.pathString()};
    EXPECT_EQ(ini.GetLong("FILE ASCI", "NumCampi", -9), 1);
    EXPECT_EQ(ini.GetLong("FILE ASCI", "Campo-0", -9), 2);
}
