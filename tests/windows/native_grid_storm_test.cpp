// A seeded random person at the native grids: presses, double clicks, arrows, F2, typing, the
// wheel, Enter and Escape in the editor, mixed with the dialogs' own buttons. After every step
// the native editor is the model's (there exactly while an edit is open, showing its text);
// afterwards no native window is left, and a cancelled point editor leaves the entity as it
// was. Skipped on the headless pass, which has no native windows.
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

#include <functional>
#include <random>
#include <string>

using automation::Dialog;

namespace {

constexpr int kSteps = 1500;

class Storm {
public:
    Storm(Dialog& d, int gridId, unsigned seed) : m_d(d), m_id(gridId), m_random(seed) {}

    int below(int n) { return n > 0 ? static_cast<int>(m_random() % static_cast<unsigned>(n)) : 0; }

    /// One random step at the native grid; false when the grid has no native window.
    bool step(const std::string& typed) {
        platform::Window* model = m_d.control(m_id);
        void* grid = model != nullptr ? platform::win32::nativeWindow(*model) : nullptr;
        if (grid == nullptr) return false;
        automation::Grid g = m_d.grid(m_id);
        void* box = native::child(grid, "Edit");
        void* list = native::child(grid, "ComboBox");
        int x = 0, y = 0;
        const bool inView =
            platform::win32::gridCellCentre(*model, below(g.rows()), below(g.columns()), x, y);
        switch (below(8)) {
        case 0:
            if (inView) native::click(grid, x, y);
            break;
        case 1:
            if (inView) native::doubleClick(grid, x, y);
            break;
        case 2: {
            const unsigned keys[] = {native::kUp, native::kDown, native::kLeft, native::kRight,
                                     native::kF2};
            native::key(grid, keys[below(5)]);
            break;
        }
        case 3:
            native::type(box != nullptr ? box : grid,
                         std::string(1, typed[below(static_cast<int>(typed.size()))]));
            break;
        case 4:
            native::wheel(grid, below(2) == 0 ? 1 : -1);
            break;
        case 5:
            if (list != nullptr) native::comboShow(list, below(10));
            if (box != nullptr) native::replaceText(box, std::string(1, typed[below(2)]));
            [[fallthrough]];
        default:
            if (box != nullptr || list != nullptr)
                native::key(box != nullptr ? box : list,
                            below(3) == 0 ? native::kEscape : native::kReturn);
            break;
        }
        return true;
    }

    /// The native editor is the model's: there exactly while an edit is open, with its text.
    void check(int stepNumber) {
        platform::Window* model = m_d.control(m_id);
        void* grid = model != nullptr ? platform::win32::nativeWindow(*model) : nullptr;
        if (grid == nullptr) return;
        automation::Grid g = m_d.grid(m_id);
        void* box = native::child(grid, "Edit");
        void* list = native::child(grid, "ComboBox");
        ASSERT_EQ(g.editing(), box != nullptr || list != nullptr) << "step " << stepNumber;
        ASSERT_FALSE(box != nullptr && list != nullptr) << "step " << stepNumber;
        if (box != nullptr) {
            ASSERT_EQ(native::text(box), g.editText()) << "step " << stepNumber;
        }
        // ... over the cell being edited, when that cell is in view.
        const platform::GridEdit& edit = model->stateAs<platform::GridState>()->edit();
        int x = 0, y = 0;
        if (edit.active && platform::win32::gridCellCentre(*model, edit.row, edit.column, x, y)) {
            ASSERT_TRUE(native::covers(box != nullptr ? box : list, x, y)) << "step " << stepNumber;
        }
        if (g.editing() && !m_editing) ++opened;
        m_editing = g.editing();
    }

    int opened = 0; ///< how many edits the person opened

private:
    Dialog& m_d;
    int m_id;
    std::mt19937 m_random;
    bool m_editing = false;
};

} // namespace

TEST(NativeGridStorm, the_export_layout_follows_a_random_person_and_leaves_no_window) {
    testsupport::TempSettings settings;
    const int before = native::threadWindows();
    bool shown = false;
    automation::ScriptedUser user;
    user.onDialog([&](Dialog& d) {
        Storm storm(d, IDC_FIELD_GRID, 13);
        for (int i = 0; i < kSteps && d.isOpen(); ++i) {
            if (storm.below(6) == 0) {
                // The dialog's own buttons add, remove and move rows under the grid.
                const int buttons[] = {IDC_ADD_FIELD, IDC_REMOVE_FIELD, IDC_MOVE_UP, IDC_MOVE_DOWN};
                d.select(IDC_FIELD_LIST, storm.below(36));
                d.click(buttons[storm.below(4)]);
            } else if (!storm.step("0123456789x")) {
                break;
            }
            shown = true;
            storm.check(i);
            if (HasFatalFailure()) break;
        }
        if (shown) {
            EXPECT_GT(storm.opened, 20); // the person did edit
        }
        d.click(IDC_LAYOUT_OK);
    });
    const bool ok = FSelDatiFile();
    if (!shown) GTEST_SKIP() << "no native windows on this pass";
    EXPECT_TRUE(ok);
    EXPECT_EQ(user.unexpected(), 0);
    EXPECT_EQ(native::threadWindows(), before);
}

TEST(NativeGridStorm, a_cancelled_point_editor_leaves_the_entity_after_a_random_person) {
    pointedit_test::GisEditor e;
    CPunGps* p = e.sample.first;
    const std::string entity = e.entity(p);
    const int before = native::threadWindows();
    bool shown = false;
    e.run(p, [&](Dialog& d) {
        ASSERT_TRUE(d.selectPage(4));
        Storm storm(d, IDC_GIS_TABLE, 29);
        for (int i = 0; i < kSteps; ++i) {
            if (!storm.step("12a,/9-")) break;
            shown = true;
            storm.check(i);
            if (HasFatalFailure()) break;
        }
        if (shown) {
            EXPECT_GT(storm.opened, 20); // the person did edit
        }
        // Escape on the grid ends an open edit and stays there; Annulla cancels the dialog.
        d.escape();
        if (shown) {
            EXPECT_FALSE(d.grid(IDC_GIS_TABLE).editing());
            ASSERT_TRUE(d.isOpen());
        }
        if (d.isOpen()) d.click(IDCANCEL);
        EXPECT_FALSE(d.isOpen());
    });
    if (!shown) GTEST_SKIP() << "no native windows on this pass";
    EXPECT_EQ(e.entity(p), entity);
    EXPECT_EQ(e.entities(), 1);
    EXPECT_EQ(native::threadWindows(), before);
}
