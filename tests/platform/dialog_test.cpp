// Dialogs made from templates, driven by the automation API: notifications, keyboard, data
// exchange and its messages.
#include "platform/automation.h"
#include "platform/backend.h"
#include "platform/dialog.h"
#include "platform/model.h"
#include "platform/module.h"
#include "platform/resources.h"

#include <gtest/gtest.h>

#include <thread>

using automation::Dialog;
using automation::ScriptedUser;

namespace {

const char* const kScript = R"(
#pragma code_page(65001)
#define IDD_FORM 100
#define IDD_NOMENU 101
#define IDC_NAME 1000
#define IDC_VALUE 1001
#define IDC_CHECK 1002
#define IDC_RADIO_A 1003
#define IDC_RADIO_B 1004
#define IDC_RADIO_C 1005
#define IDC_COMBO 1006
#define IDC_LIST 1007
#define IDC_APPLY 1008
#define IDC_READONLY 1009

IDD_FORM DIALOGEX 0, 0, 200, 150
STYLE DS_SETFONT | DS_MODALFRAME | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU
CAPTION "Modulo di prova"
FONT 8, "MS Sans Serif", 0, 0, 0x1
BEGIN
    LTEXT           "&Nome:", -1, 5, 5, 40, 10
    EDITTEXT        IDC_NAME, 50, 5, 100, 12, ES_AUTOHSCROLL
    EDITTEXT        IDC_VALUE, 50, 20, 100, 12, ES_RIGHT
    EDITTEXT        IDC_READONLY, 50, 35, 100, 12, ES_READONLY
    CONTROL         "Attivo", IDC_CHECK, "Button", BS_AUTOCHECKBOX | WS_TABSTOP, 5, 50, 80, 10
    CONTROL         "A", IDC_RADIO_A, "Button", BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP, 5, 65, 30, 10
    CONTROL         "B", IDC_RADIO_B, "Button", BS_AUTORADIOBUTTON, 40, 65, 30, 10
    CONTROL         "C", IDC_RADIO_C, "Button", BS_AUTORADIOBUTTON, 75, 65, 30, 10
    COMBOBOX        IDC_COMBO, 5, 80, 100, 60, CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP | WS_GROUP
    LISTBOX         IDC_LIST, 110, 80, 80, 40, LBS_NOTIFY | WS_VSCROLL | WS_TABSTOP
    PUSHBUTTON      "Applica", IDC_APPLY, 5, 130, 50, 14
    DEFPUSHBUTTON   "OK", IDOK, 90, 130, 50, 14
    PUSHBUTTON      "Annulla", IDCANCEL, 145, 130, 50, 14
END

IDD_NOMENU DIALOGEX 0, 0, 100, 50
STYLE DS_SETFONT | DS_MODALFRAME | WS_POPUP | WS_CAPTION
CAPTION "Senza chiusura"
FONT 8, "MS Sans Serif", 0, 0, 0x1
BEGIN
    PUSHBUTTON      "OK", 2001, 5, 30, 40, 14
    PUSHBUTTON      "Annulla", 2002, 50, 30, 40, 14
END

IDD_FORM DLGINIT
BEGIN
    IDC_COMBO, 0x403, 4, 0
0x6e55, 0x006f,
    IDC_COMBO, 0x403, 4, 0
0x7544, 0x0065,
    0
END
)";

// Resources of the test, current for its lifetime.
struct TestResources {
    std::shared_ptr<platform::ResourceModule> module;
    TestResources() {
        platform::ParseResult parsed = platform::parseResourceScript(kScript, "test.rc");
        EXPECT_TRUE(parsed.module) << parsed.error;
        module = parsed.module;
        AfxSetResourceHandle(module.get());
    }
    ~TestResources() { AfxSetResourceHandle(nullptr); }
};

class Form : public CDialog {
public:
    Form() : CDialog(100) {}
    std::string name = "Ada";
    double value = 1.5;
    int check = 1;
    int radio = 1;
    int combo = 1;
    std::vector<std::string> events;

protected:
    void DoDataExchange(CDataExchange* dx) override {
        DDX_Text(dx, 1000, name);
        DDX_Text(dx, 1001, value);
        DDV_MinMaxDouble(dx, value, -10.0, 10.0);
        DDX_Check(dx, 1002, check);
        DDX_Radio(dx, 1003, radio);
        DDX_CBIndex(dx, 1006, combo);
    }
    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        CListBox* list = static_cast<CListBox*>(GetDlgItem(1007));
        list->AddString("uno");
        list->AddString("due");
        return TRUE;
    }
    void OnNameChanged() { events.push_back("name:" + GetDlgItemText(1000)); }
    void OnCheck() { events.push_back("check"); }
    void OnRadio() { events.push_back("radio"); }
    void OnCombo() { events.push_back("combo"); }
    void OnList() { events.push_back("list"); }
    void OnListDouble() { events.push_back("double"); }
    void OnApply() { events.push_back("apply"); }

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(Form, CDialog)
ON_EN_CHANGE(1000, &Form::OnNameChanged)
ON_BN_CLICKED(1002, &Form::OnCheck)
ON_BN_CLICKED(1004, &Form::OnRadio)
ON_CBN_SELCHANGE(1006, &Form::OnCombo)
ON_LBN_SELCHANGE(1007, &Form::OnList)
ON_LBN_DBLCLK(1007, &Form::OnListDouble)
ON_BN_CLICKED(1008, &Form::OnApply)
END_MESSAGE_MAP()

} // namespace

TEST(Dialog, template_not_in_the_current_resources_gives_minus_one) {
    AfxSetResourceHandle(nullptr);
    Form form;
    EXPECT_EQ(form.DoModal(), -1);
}

TEST(Dialog, initial_values_reach_the_controls_and_list_items_come_from_the_template) {
    TestResources resources;
    ScriptedUser user;
    Form form;
    user.onDialog([](Dialog& d) {
        EXPECT_EQ(d.caption(), "Modulo di prova");
        EXPECT_EQ(d.text(1000), "Ada");
        EXPECT_EQ(d.text(1001), "1.5");
        EXPECT_TRUE(d.checked(1002));
        EXPECT_FALSE(d.checked(1003));
        EXPECT_TRUE(d.checked(1004));
        EXPECT_EQ(d.items(1006), (std::vector<std::string>{"Uno", "Due"}));
        EXPECT_EQ(d.selection(1006), 1);
        EXPECT_EQ(d.items(1007), (std::vector<std::string>{"uno", "due"}));
        EXPECT_EQ(d.focus(), 1000); // first tab stop
        EXPECT_TRUE(d.readOnly(1009));
        d.click(IDCANCEL);
    });
    EXPECT_EQ(form.DoModal(), IDCANCEL);
    // Filling the controls with the initial values runs none of the dialog's handlers.
    EXPECT_TRUE(form.events.empty());
}

TEST(Dialog, user_actions_notify_and_program_changes_of_state_do_not) {
    TestResources resources;
    ScriptedUser user;
    Form form;
    user.onDialog([&](Dialog& d) {
        form.events.clear();
        d.type(1000, "!?");     // two keystrokes, two changes
        d.setText(1000, "Bea"); // select all and paste: one change
        d.click(1002);          // the box toggles first, then notifies
        EXPECT_FALSE(d.checked(1002));
        d.click(1004);
        d.click(1003); // auto radio: unchecks the others of its group
        EXPECT_TRUE(d.checked(1003));
        EXPECT_FALSE(d.checked(1004));
        d.select(1006, 0);
        d.select(1007, 1);
        d.doubleClick(1007, 0);
        static_cast<CButton*>(form.GetDlgItem(1002))->SetCheck(BST_CHECKED);
        static_cast<CComboBox*>(form.GetDlgItem(1006))->SetCurSel(1);
        form.GetDlgItem(1000)->SetWindowText("Bea"); // same text: no change
        d.click(IDCANCEL);
    });
    form.DoModal();
    EXPECT_EQ(form.events, (std::vector<std::string>{"name:Ada!", "name:Ada!?", "name:Bea", "check",
                                                     "radio", "combo", "list", "list", "double"}));
}

TEST(Dialog, refused_user_actions_change_nothing) {
    TestResources resources;
    ScriptedUser user;
    Form form;
    user.onDialog([&](Dialog& d) {
        EXPECT_FALSE(d.setText(1009, "x")); // read-only
        EXPECT_FALSE(d.type(4242, "x"));    // no such control
        form.GetDlgItem(1008)->EnableWindow(false);
        EXPECT_FALSE(d.click(1008)); // disabled
        form.GetDlgItem(1002)->ShowWindow(SW_HIDE);
        EXPECT_FALSE(d.click(1002));     // hidden
        EXPECT_FALSE(d.select(1006, 5)); // out of range
        EXPECT_TRUE(d.checked(1002));
        d.click(IDCANCEL);
        EXPECT_FALSE(d.click(1003)); // dialog closed
    });
    form.DoModal();
    EXPECT_TRUE(form.events.empty());
}

TEST(Dialog, ok_exchanges_the_values_back) {
    TestResources resources;
    ScriptedUser user;
    Form form;
    user.onDialog([](Dialog& d) {
        d.setText(1000, "Carla");
        d.setText(1001, " -2,25 "); // blanks around, comma as decimal mark
        d.click(1002);
        d.click(1005);
        d.select(1006, 0);
        d.click(IDOK);
    });
    EXPECT_EQ(form.DoModal(), IDOK);
    EXPECT_EQ(form.name, "Carla");
    EXPECT_DOUBLE_EQ(form.value, -2.25);
    EXPECT_EQ(form.check, 0);
    EXPECT_EQ(form.radio, 2);
    EXPECT_EQ(form.combo, 0);
}

TEST(Dialog, a_value_that_is_not_a_number_is_refused_with_the_standard_message) {
    TestResources resources;
    ScriptedUser user;
    Form form;
    user.onDialog([](Dialog& d) {
        d.setText(1001, "1.5x");
        d.click(IDOK);
        EXPECT_TRUE(d.isOpen());
        EXPECT_EQ(d.focus(), 1001);
        d.setText(1001, "");
        d.click(IDOK);
        EXPECT_TRUE(d.isOpen());
        d.setText(1001, "12");
        d.click(IDOK);
        EXPECT_TRUE(d.isOpen());
        EXPECT_EQ(d.focus(), 1001);
        d.setText(1001, "10"); // bounds are inclusive
        d.click(IDOK);
        EXPECT_FALSE(d.isOpen());
    });
    user.onMessageBox([](const automation::MessageBoxCall&) { return IDOK; });
    user.onMessageBox([](const automation::MessageBoxCall&) { return IDOK; });
    user.onMessageBox([](const automation::MessageBoxCall&) { return IDOK; });
    EXPECT_EQ(form.DoModal(), IDOK);
    ASSERT_EQ(user.messageBoxes().size(), 3u);
    EXPECT_EQ(user.messageBoxes()[0].text, "Immettere un numero.");
    EXPECT_EQ(user.messageBoxes()[0].type, MB_OK | MB_ICONEXCLAMATION);
    EXPECT_EQ(user.messageBoxes()[1].text, "Immettere un numero.");
    EXPECT_EQ(user.messageBoxes()[2].text, "Immettere un numero compreso tra -10 e 10.");
    EXPECT_DOUBLE_EQ(form.value, 10.0);
    EXPECT_EQ(user.unexpected(), 0);
}

TEST(Dialog, enter_presses_the_default_button_or_the_focused_push_button) {
    TestResources resources;
    ScriptedUser user;
    Form form;
    user.onDialog([&](Dialog& d) {
        d.click(1008); // focus now on "Applica"
        form.events.clear();
        d.enter(); // presses the focused push button
        EXPECT_EQ(form.events, (std::vector<std::string>{"apply"}));
        d.setFocus(1000);
        d.enter(); // from an edit: the default button, OK
        EXPECT_FALSE(d.isOpen());
    });
    EXPECT_EQ(form.DoModal(), IDOK);
}

TEST(Dialog, escape_and_close_box_cancel_but_only_a_system_menu_has_a_close_box) {
    TestResources resources;
    ScriptedUser user;
    user.onDialog([](Dialog& d) { EXPECT_TRUE(d.escape()); });
    user.onDialog([](Dialog& d) { EXPECT_TRUE(d.close()); });
    user.onDialog([](Dialog& d) {
        EXPECT_FALSE(d.close()); // no system menu: no close box
        EXPECT_TRUE(d.isOpen());
        d.escape();
    });
    Form first, second;
    EXPECT_EQ(first.DoModal(), IDCANCEL);
    EXPECT_EQ(second.DoModal(), IDCANCEL);
    CDialog noMenu(101);
    EXPECT_EQ(noMenu.DoModal(), IDCANCEL);
    EXPECT_EQ(user.unexpected(), 0);
}

TEST(Dialog, controls_are_placed_in_pixels_from_dialog_units) {
    TestResources resources;
    ScriptedUser user;
    Form form;
    user.onDialog([&](Dialog& d) {
        RECT client{};
        form.GetClientRect(&client);
        EXPECT_EQ(client.Width(), 300);  // 200 units * 6 / 4
        EXPECT_EQ(client.Height(), 244); // 150 units * 13 / 8, rounded
        RECT edit{};
        form.GetDlgItem(1000)->GetWindowRect(&edit);
        form.ScreenToClient(&edit);
        EXPECT_EQ(edit.left, 75);
        EXPECT_EQ(edit.top, 8);
        EXPECT_EQ(edit.Width(), 150);
        EXPECT_EQ(edit.Height(), 20);
        d.click(IDCANCEL);
    });
    form.DoModal();
}

namespace {

// A view whose screen has a task bar on top and on the left, and whose host window (the one a
// person works in) has its client area at a given place.
class PlacingBackend final : public platform::Backend {
public:
    std::optional<POINT> host;
    std::string name() const override { return "placing"; }
    SIZE dialogBaseUnits(const platform::FontSpec&) override { return SIZE{6, 13}; }
    RECT workArea(const platform::Window*) override { return RECT{100, 50, 1100, 850}; }
    std::optional<POINT> hostOwnerOrigin() override { return host; }
    void runModal(CDialog& dialog, const platform::ModalScript& script) override {
        if (script) script(dialog);
    }
    int messageBox(CWnd*, const std::string&, const std::string&, UINT) override { return IDOK; }
    void beep(UINT) override {}
};

RECT placed(CDialog& dialog) {
    RECT r{};
    ScriptedUser user;
    user.onDialog([&](Dialog& d) {
        d.window().GetWindowRect(&r);
        d.window().EndDialog(IDCANCEL);
    });
    dialog.DoModal();
    return r;
}

} // namespace

TEST(Dialog, opens_centred_in_the_work_area_or_at_its_place_in_its_owners_client_area) {
    TestResources resources;
    auto owned = std::make_unique<PlacingBackend>();
    PlacingBackend* view = owned.get();
    platform::setBackend(std::move(owned));
    // DS_CENTER: the middle of the work area, not of the whole screen.
    Form centred;
    RECT r = placed(centred);
    EXPECT_EQ(r.left, 100 + (1000 - 300) / 2);
    EXPECT_EQ(r.top, 50 + (800 - 244) / 2);
    // Without it: the template's position (0, 0) counted from the host window's client area.
    CDialog plain(101);
    view->host = POINT{300, 200};
    r = placed(plain);
    EXPECT_EQ(r.left, 300);
    EXPECT_EQ(r.top, 200);
    // Opened from a dialog of ours: counted from that dialog's client area.
    ScriptedUser user;
    RECT inner{};
    POINT ownerOrigin{};
    user.onDialog([&](Dialog& outer) {
        ownerOrigin = outer.window().m_hWnd->clientOrigin();
        CDialog nested(101, &outer.window());
        inner = placed(nested);
        outer.window().EndDialog(IDCANCEL);
    });
    Form owner;
    owner.DoModal();
    EXPECT_EQ(inner.left, ownerOrigin.x);
    EXPECT_EQ(inner.top, ownerOrigin.y);
    // Never out of the work area: a host window near its edge, or none at all.
    view->host = POINT{1090, 845};
    r = placed(plain);
    EXPECT_EQ(r.right, 1100);
    EXPECT_EQ(r.bottom, 850);
    view->host.reset();
    r = placed(plain);
    EXPECT_EQ(r.left, 100);
    EXPECT_EQ(r.top, 50);
    platform::useHeadlessBackend();
}

TEST(Dialog, a_stale_or_foreign_window_handle_fails_cleanly) {
    TestResources resources;
    ScriptedUser user;
    HWND stale = nullptr;
    HWND control = nullptr;
    {
        Form form;
        user.onDialog([&](Dialog& d) {
            stale = d.window().m_hWnd;
            control = d.window().GetDlgItem(1000)->m_hWnd;
            EXPECT_TRUE(IsWindow(stale));
            EXPECT_EQ(CWnd::FromHandle(control)->GetWindowText(), "Ada");
            d.click(IDCANCEL);
        });
        form.DoModal();
    }
    EXPECT_FALSE(IsWindow(stale));
    EXPECT_EQ(CWnd::FromHandle(stale), nullptr);
    EXPECT_EQ(CWnd::FromHandle(control), nullptr);
    CWnd wrapper;
    EXPECT_FALSE(wrapper.Attach(control));
    int notAWindow = 0;
    EXPECT_EQ(CWnd::FromHandle(reinterpret_cast<HWND>(&notAWindow)), nullptr);
    EXPECT_FALSE(IsWindow(nullptr));
}

#ifndef NDEBUG
TEST(DialogDeathTest, a_window_touched_from_another_thread_stops_debug_builds) {
    platform::checkUiThread(); // this thread is the user-interface thread
    auto makeWindow = [] {
        platform::Window window(platform::ControlKind::Static, 1, "Static", 0, 0, RECT{0, 0, 0, 0},
                                nullptr);
    };
    makeWindow(); // fine here
    EXPECT_DEATH(std::thread(makeWindow).join(), "outside the user-interface thread");
}
#endif

TEST(Dialog, an_edit_types_at_its_caret_over_its_selection_as_a_person_does) {
    TestResources resources;
    ScriptedUser user;
    Form form;
    user.onDialog([&](Dialog& d) {
        form.events.clear();
        // The program's text leaves the caret before it, with nothing selected.
        EXPECT_EQ(d.textSelection(1000), (std::pair<int, int>{0, 0}));
        d.keys(1000, "Z");
        EXPECT_EQ(d.text(1000), "ZAda");
        d.selectAll(1000); // Ctrl+A: no change of text, the dialog hears nothing
        EXPECT_EQ(d.selectedText(1000), "ZAda");
        d.keys(1000, "Bo"); // the first key replaces the selection, the second follows it
        EXPECT_EQ(d.text(1000), "Bo");
        d.putCaret(1000, 1);
        d.keys(1000, "èx"); // characters, not bytes
        EXPECT_EQ(d.text(1000), "Bèxo");
        EXPECT_EQ(d.textSelection(1000), (std::pair<int, int>{3, 3}));
        d.backspace(1000);   // the x before the caret
        d.pressDelete(1000); // the o after it
        EXPECT_EQ(d.text(1000), "Bè");
        d.pressDelete(1000); // nothing after the caret: no change
        d.putCaret(1000, 0);
        d.backspace(1000); // nothing before it: no change
        d.selectText(1000, 2, 0);
        EXPECT_EQ(d.selectedText(1000), "Bè");
        d.pressDelete(1000);
        EXPECT_EQ(d.text(1000), "");
        d.type(1000, "ab"); // type() clicks after the text first
        d.putCaret(1000, 0);
        d.type(1000, "c");
        EXPECT_EQ(d.text(1000), "abc");
        EXPECT_FALSE(d.keys(1009, "x")); // read-only: refused
        EXPECT_TRUE(d.selectAll(1009));  // but its text can be selected
        d.click(IDCANCEL);
    });
    form.DoModal();
    EXPECT_EQ(form.events, (std::vector<std::string>{"name:ZAda", "name:B", "name:Bo", "name:Bèo",
                                                     "name:Bèxo", "name:Bèo", "name:Bè",
                                                     "name:", "name:a", "name:ab", "name:abc"}));
}

TEST(Dialog, the_program_sets_reads_and_replaces_the_selection_and_shows_a_balloon) {
    TestResources resources;
    ScriptedUser user;
    Form form;
    user.onDialog([&](Dialog& d) {
        form.events.clear();
        auto* edit = static_cast<CEdit*>(form.GetDlgItem(1000));
        edit->SetSel(1, -1);
        int start = -1, end = -1;
        edit->GetSel(start, end);
        EXPECT_EQ(start, 1);
        EXPECT_EQ(end, 3);
        EXPECT_EQ(edit->GetSel(), 1u | (3u << 16));
        edit->ReplaceSel("lba"); // one change the dialog hears, the caret after the new text
        EXPECT_EQ(d.text(1000), "Alba");
        EXPECT_EQ(d.textSelection(1000), (std::pair<int, int>{4, 4}));
        edit->SetSel(-1, 0); // no selection: the caret stays where the selection began
        EXPECT_EQ(d.textSelection(1000), (std::pair<int, int>{4, 4}));
        edit->SetSel(0, -1);
        edit->SetWindowText("Alba"); // the same text: nothing moves
        EXPECT_EQ(d.selectedText(1000), "Alba");
        edit->SetWindowText("Carla"); // a new text: the caret before it, nothing selected
        EXPECT_EQ(d.textSelection(1000), (std::pair<int, int>{0, 0}));

        EXPECT_FALSE(d.balloon(1000).shown());
        EXPECT_TRUE(edit->ShowBalloonTip("Valore non valido", "minuti da 0 a 59", TTI_ERROR));
        EXPECT_EQ(d.balloon(1000).title, "Valore non valido");
        EXPECT_EQ(d.balloon(1000).text, "minuti da 0 a 59");
        EXPECT_FALSE(d.balloon(1001).shown());
        EXPECT_TRUE(edit->HideBalloonTip());
        EXPECT_FALSE(d.balloon(1000).shown());
        d.click(IDCANCEL);
    });
    form.DoModal();
    EXPECT_EQ(form.events, (std::vector<std::string>{"name:Alba", "name:Carla"}));
}

TEST(Dialog, tab_into_an_edit_selects_its_whole_text) {
    TestResources resources;
    ScriptedUser user;
    Form form;
    user.onDialog([&](Dialog& d) {
        EXPECT_EQ(d.focus(), 1000);
        d.pressTab();
        EXPECT_EQ(d.focus(), 1001);
        EXPECT_EQ(d.selectedText(1001), "1.5");
        d.keys(1001, "2");
        EXPECT_EQ(d.text(1001), "2");
        d.click(IDOK);
    });
    EXPECT_EQ(form.DoModal(), IDOK);
    EXPECT_EQ(form.value, 2.0);
}
