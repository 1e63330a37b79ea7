// The point editor as a person meets it in the Windows view: keys and presses sent to the
// native windows (Escape, Enter, the buttons, the tabs, Ctrl+Tab, Tab into the page, typing)
// do what the same steps do through the automation API, and after every step the native
// windows still show the model. On the headless pass there are no native windows and these
// tests skip.
#include "NativeInput.h"

#include "platform/dialog.h"
#include "platform/propsheet.h"
#include "platform/win32/Win32Backend.h"
#include "pointedit/EditorFixture.h"

#include "resource.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

using automation::Dialog;
using pointedit_test::describe;

namespace {

void* nativeOf(Dialog& d, int id) {
    platform::Window* w = d.control(id);
    return w != nullptr ? platform::win32::nativeWindow(*w) : nullptr;
}

std::string differences(Dialog& d) {
    std::string text;
    for (const std::string& line : platform::win32::checkNative(d.window()))
        text += line + "\n";
    return text;
}

/// A press in the middle of a native control.
void press(void* window) {
    native::click(window, 5, 5);
}

/// The native window that should have the focus: the model's.
void* modelFocus() {
    platform::Window* focus = platform::focusWindow();
    return focus != nullptr ? platform::win32::nativeWindow(*focus) : nullptr;
}

/// Opens the editor shown as to a person; \p act gets it only when the view is native.
bool runShown(pointedit_test::Editor& editor, CGestGps* host,
              const std::function<void(Dialog&)>& act, bool* confirmed = nullptr,
              bool full = true) {
    bool shown = false;
    const bool ok = editor.run(
        editor.sample.first,
        [&](Dialog& d) {
            shown = platform::win32::show(d.window());
            if (shown) {
                act(d);
            } else {
                d.escape();
            }
        },
        true, host, full);
    if (confirmed != nullptr) *confirmed = ok;
    return shown;
}

} // namespace

TEST(NativePointEditor, escape_and_annulla_leave_the_point_as_it_was) {
    pointedit_test::Editor editor;
    const std::string before = describe(*editor.sample.first);
    pointedit_test::NoteHost host;
    for (bool byKey : {true, false}) {
        const bool shown = runShown(editor, &host, [&](Dialog& d) {
            EXPECT_EQ(differences(d), "");
            native::replaceText(nativeOf(d, IDC_POINT_NAME), "Cambiato");
            EXPECT_EQ(d.text(IDC_POINT_NAME), "Cambiato");
            void* cancel = nativeOf(d, IDCANCEL);
            ASSERT_NE(cancel, nullptr);
            EXPECT_EQ(native::text(cancel), "&Annulla");
            EXPECT_EQ(native::id(cancel), IDCANCEL);
            if (byKey)
                native::key(native::focus(), native::kEscape);
            else
                press(cancel);
            EXPECT_FALSE(d.isOpen());
        });
        if (!shown) GTEST_SKIP() << "no native windows on this backend";
    }
    EXPECT_EQ(describe(*editor.sample.first), before);
    EXPECT_EQ(host.calls, 0);
}

TEST(NativePointEditor, enter_and_ok_store_what_the_fields_show_note_opens_the_note) {
    pointedit_test::Editor editor;
    pointedit_test::NoteHost host;
    const bool shown = runShown(editor, &host, [&](Dialog& d) {
        void* note = nativeOf(d, IDC_POINT_NOTE);
        ASSERT_NE(note, nullptr);
        EXPECT_EQ(native::text(note), "Note");
        press(note);
        EXPECT_EQ(host.calls, 1);
        EXPECT_TRUE(d.isOpen());
        native::replaceText(nativeOf(d, IDC_POINT_NAME), "Nuovo nome");
        // Enter in a field: the default button, "&OK".
        native::key(nativeOf(d, IDC_POINT_NAME), native::kReturn);
        EXPECT_FALSE(d.isOpen());
    });
    if (!shown) GTEST_SKIP() << "no native windows on this backend";
    EXPECT_EQ(editor.sample.first->GetNome(), "Nuovo nome");
    EXPECT_EQ(editor.sample.first->GetNote(), "Nota di campagna rivista");

    // Declaring a correction: "Note" is off, Enter still confirms.
    bool confirmed = false;
    runShown(
        editor, &host,
        [&](Dialog& d) {
            EXPECT_FALSE(d.enabled(IDC_POINT_NOTE));
            EXPECT_EQ(differences(d), "");
            native::replaceText(nativeOf(d, IDC_POINT_NAME), "Corretto");
            native::key(nativeOf(d, IDC_POINT_NAME), native::kReturn);
            EXPECT_FALSE(d.isOpen());
        },
        &confirmed, false);
    EXPECT_TRUE(confirmed);
    EXPECT_EQ(editor.sample.first->GetNome(), "Corretto");
}

TEST(NativePointEditor, tab_presses_and_ctrl_tab_change_the_page_tab_enters_it) {
    pointedit_test::Editor editor;
    const bool shown = runShown(editor, nullptr, [&](Dialog& d) {
        void* tab = nativeOf(d, AFX_IDC_TAB_CONTROL);
        ASSERT_NE(tab, nullptr);
        // The first focus is the model's: the tab control.
        EXPECT_EQ(native::focus(), modelFocus());
        EXPECT_EQ(native::focus(), tab);
        const int start = d.activePage();
        int x = 0, y = 0;
        for (int page : {2, 4, 1}) {
            ASSERT_TRUE(native::tabItemCentre(tab, page, x, y));
            native::click(tab, x, y);
            EXPECT_EQ(d.activePage(), page);
            EXPECT_EQ(differences(d), "") << "page " << page;
        }
        native::keyWith(native::focus(), native::kTab, true, false);
        EXPECT_EQ(d.activePage(), 2);
        native::keyWith(native::focus(), native::kTab, true, true);
        native::keyWith(native::focus(), native::kTab, true, true);
        EXPECT_EQ(d.activePage(), 0);
        EXPECT_EQ(differences(d), "");
        // Tab from the tab control goes into the page, as the model's tab order says.
        native::key(tab, native::kTab);
        EXPECT_EQ(native::focus(), modelFocus());
        ASSERT_NE(platform::focusWindow(), nullptr);
        EXPECT_EQ(platform::focusWindow()->id(), IDC_POINT_NAME);
        (void)start;
        d.escape();
    });
    if (!shown) GTEST_SKIP() << "no native windows on this backend";
}

// A seeded random person at the native point editor: tab presses, Ctrl+Tab, Tab, typing,
// "Note", Enter, Escape, "&OK" and "&Annulla". After every step the native windows show the
// model and the focus is where the model has it; Escape and "&Annulla" never change the point;
// "&OK" stores the name the field shows.
TEST(NativePointEditor, a_random_person_finds_the_view_in_step_with_the_model) {
    for (unsigned seed = 1; seed <= 10; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        pointedit_test::Editor editor;
        pointedit_test::NoteHost host;
        const std::string before = describe(*editor.sample.first);
        std::mt19937 random(seed);
        std::string shownName;
        bool confirmed = false;
        const bool shown = runShown(
            editor, &host,
            [&](Dialog& d) {
                void* tab = nativeOf(d, AFX_IDC_TAB_CONTROL);
                ASSERT_NE(tab, nullptr);
                for (int step = 0; step < 80 && d.isOpen(); ++step) {
                    SCOPED_TRACE("step " + std::to_string(step));
                    const int action = static_cast<int>(random() % 40);
                    if (platform::Window* name = d.control(IDC_POINT_NAME))
                        shownName = name->text();
                    void* focus = native::focus();
                    if (action < 8) {
                        int x = 0, y = 0;
                        if (native::tabItemCentre(tab, static_cast<int>(random() % 5), x, y))
                            native::click(tab, x, y);
                    } else if (action < 14) {
                        if (focus != nullptr)
                            native::keyWith(focus, native::kTab, true, action >= 11);
                    } else if (action < 24) {
                        if (focus != nullptr)
                            native::keyWith(focus, native::kTab, false, action >= 20);
                    } else if (action < 35) {
                        // In a field a character; on a button or a tab, maybe an access key.
                        if (focus != nullptr)
                            native::type(focus, std::string(1, "12A,"[random() % 4]));
                    } else if (action < 37) {
                        press(nativeOf(d, IDC_POINT_NOTE));
                    } else if (action == 37) {
                        if (focus != nullptr) native::key(focus, native::kEscape);
                    } else if (action == 38) {
                        press(nativeOf(d, IDCANCEL));
                    } else {
                        press(nativeOf(d, IDOK));
                    }
                    if (!d.isOpen()) break;
                    ASSERT_EQ(differences(d), "") << "after action " << action;
                    ASSERT_EQ(native::focus(), modelFocus()) << "after action " << action;
                }
                if (d.isOpen()) native::key(native::focus(), native::kEscape);
                EXPECT_FALSE(d.isOpen());
            },
            &confirmed);
        if (!shown) GTEST_SKIP() << "no native windows on this backend";
        if (confirmed)
            EXPECT_EQ(editor.sample.first->GetNome(), shownName);
        else
            EXPECT_EQ(describe(*editor.sample.first), before);
    }
}
