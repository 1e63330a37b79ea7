// Property sheets inside a dialog, driven as a user drives them: lazy pages, refusal to leave,
// rewritten page styles, clicks and Tab through the pages, and the remembered page.
#include "platform/automation.h"
#include "platform/module.h"
#include "platform/propsheet.h"
#include "platform/resources.h"

#include <gtest/gtest.h>

using automation::Dialog;
using automation::ScriptedUser;

namespace {

const char* const kScript = R"(
#pragma code_page(65001)
IDD_HOST DIALOGEX 0, 0, 300, 200
STYLE DS_SETFONT | DS_MODALFRAME | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU
CAPTION "Scheda di prova"
FONT 8, "MS Sans Serif", 0, 0, 0x1
BEGIN
    CONTROL         "", 50, "Static", SS_BLACKFRAME | NOT WS_VISIBLE, 5, 5, 290, 170
    PUSHBUTTON      "Note", 51, 5, 180, 50, 14
    DEFPUSHBUTTON   "&OK", IDOK, 180, 180, 50, 14
    PUSHBUTTON      "&Annulla", IDCANCEL, 240, 180, 50, 14
END

201 DIALOGEX 0, 0, 250, 140
STYLE DS_SETFONT | WS_CHILD | WS_DISABLED | WS_CAPTION
CAPTION "Primo"
FONT 8, "MS Sans Serif", 0, 0, 0x1
BEGIN
    LTEXT           "&Nome:", -1, 5, 5, 40, 10
    EDITTEXT        1000, 50, 5, 100, 12, ES_AUTOHSCROLL
    LTEXT           "&Valore:", -1, 5, 20, 40, 10
    EDITTEXT        1001, 50, 20, 100, 12
END

202 DIALOGEX 0, 0, 250, 140
STYLE DS_SETFONT | WS_CHILD | WS_DISABLED | WS_CAPTION
CAPTION "Secondo"
FONT 8, "MS Sans Serif", 0, 0, 0x1
BEGIN
    CONTROL         "Rossi && Figli", 1100, "Button", BS_AUTOCHECKBOX | WS_TABSTOP, 5, 5, 80, 10
    PUSHBUTTON      "Azzera", 1101, 5, 20, 50, 14
END

203 DIALOGEX 0, 0, 250, 140
STYLE DS_SETFONT | WS_CHILD | WS_DISABLED | WS_CAPTION
CAPTION "Terzo"
FONT 8, "MS Sans Serif", 0, 0, 0x1
BEGIN
    EDITTEXT        1200, 5, 5, 100, 12
END
)";

struct TestResources {
    std::shared_ptr<platform::ResourceModule> module;
    TestResources() {
        platform::ParseResult parsed = platform::parseResourceScript(
            std::string("#define IDD_HOST 200\n") + kScript, "sheet.rc");
        EXPECT_TRUE(parsed.module) << parsed.error;
        module = parsed.module;
        AfxSetResourceHandle(module.get());
    }
    ~TestResources() { AfxSetResourceHandle(nullptr); }
};

struct Record {
    std::vector<std::string> events;
    std::string name = "Ada";
    double value = 5;
    int check = 0;
};

class FirstPage : public CPropertyPage {
public:
    explicit FirstPage(Record& record) : CPropertyPage(201), m_record(record) {}

protected:
    void DoDataExchange(CDataExchange* dx) override {
        DDX_Text(dx, 1000, m_record.name);
        DDX_Text(dx, 1001, m_record.value);
        DDV_MinMaxDouble(dx, m_record.value, 0, 10);
    }
    BOOL OnSetActive() override {
        m_record.events.push_back("active:0");
        UpdateData(false); // every activation shows the record again
        return TRUE;
    }
    void OnNameChanged() { m_record.events.push_back("name:" + GetDlgItemText(1000)); }
    DECLARE_MESSAGE_MAP()

private:
    Record& m_record;
};

BEGIN_MESSAGE_MAP(FirstPage, CPropertyPage)
    ON_EN_CHANGE(1000, &FirstPage::OnNameChanged)
END_MESSAGE_MAP()

class SecondPage : public CPropertyPage {
public:
    explicit SecondPage(Record& record) : CPropertyPage(202), m_record(record) {}

protected:
    void DoDataExchange(CDataExchange* dx) override { DDX_Check(dx, 1100, m_record.check); }
    void OnReset() { m_record.events.push_back("reset"); }
    DECLARE_MESSAGE_MAP()

private:
    Record& m_record;
};

BEGIN_MESSAGE_MAP(SecondPage, CPropertyPage)
    ON_BN_CLICKED(1101, &SecondPage::OnReset)
END_MESSAGE_MAP()

class ThirdPage : public CPropertyPage {
public:
    ThirdPage() : CPropertyPage(203) {}
};

class Sheet : public CPropertySheet {
public:
    explicit Sheet(Record& record) : CPropertySheet("Scheda"), first(record), second(record) {
        m_psh.dwFlags |= PSH_NOAPPLYNOW;
        AddPage(&first);
        AddPage(&second);
        AddPage(&third);
    }
    FirstPage first;
    SecondPage second;
    ThirdPage third;
};

// A dialog that embeds the sheet on its hidden frame and remembers the active page on OK.
class Host : public CDialog {
public:
    explicit Host(int startPage = 0) : CDialog(200), sheet(record) { sheet.SetActivePage(startPage); }
    Record record;
    Sheet sheet;
    int remembered = -1;

protected:
    int OnCreate(LPCREATESTRUCT cs) {
        if (CDialog::OnCreate(cs) == -1) return -1;
        if (!sheet.Create(this, WS_CHILD | WS_VISIBLE, 0)) return -1;
        sheet.ModifyStyleEx(0, WS_EX_CONTROLPARENT);
        return 0;
    }
    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        RECT frame;
        GetDlgItem(50)->GetWindowRect(&frame);
        ScreenToClient(&frame);
        sheet.MoveWindow(&frame);
        return TRUE;
    }
    void OnOK() override {
        if (!sheet.GetActivePage()->OnKillActive()) return;
        remembered = sheet.GetActiveIndex();
        CDialog::OnOK();
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(Host, CDialog)
    ON_WM_CREATE()
END_MESSAGE_MAP()

} // namespace

TEST(PropertySheet, pages_are_made_on_first_activation_with_the_system_styles) {
    TestResources resources;
    ScriptedUser user;
    Host host;
    user.onDialog([&](Dialog& d) {
        EXPECT_EQ(d.pageCount(), 3);
        EXPECT_EQ(d.pageCaption(0), "Primo");
        EXPECT_EQ(d.pageCaption(2), "Terzo");
        EXPECT_EQ(d.activePage(), 0);
        EXPECT_NE(host.sheet.first.m_hWnd, nullptr);
        EXPECT_EQ(host.sheet.second.m_hWnd, nullptr);
        EXPECT_EQ(host.sheet.third.m_hWnd, nullptr);

        DWORD style = host.sheet.first.GetStyle();
        EXPECT_EQ(style & (WS_DISABLED | WS_CAPTION | WS_POPUP), 0u);
        EXPECT_EQ(style & (WS_CHILD | DS_CONTROL | WS_VISIBLE), WS_CHILD | DS_CONTROL | WS_VISIBLE);
        EXPECT_TRUE(d.setText(1000, "Bea")); // a page's controls take clicks and typing

        EXPECT_TRUE(d.selectPage(2));
        EXPECT_EQ(d.activePage(), 2);
        EXPECT_NE(host.sheet.third.m_hWnd, nullptr);
        EXPECT_EQ(host.sheet.second.m_hWnd, nullptr);
        EXPECT_FALSE(host.sheet.first.IsWindowVisible());
        EXPECT_FALSE(d.exists(1000)); // the hidden page's controls are out of reach
        EXPECT_TRUE(d.exists(1200));

        // The pages lie on the display area of the tab control, inside the frame.
        RECT page = d.rect(1200);
        RECT frame = d.rect(50);
        EXPECT_GT(page.top, frame.top + 10);
        EXPECT_GE(page.left, frame.left);
        EXPECT_LE(page.right, frame.right);
        d.click(IDCANCEL);
    });
    EXPECT_EQ(host.DoModal(), IDCANCEL);
    EXPECT_EQ(host.record.name, "Bea"); // leaving the page read its fields back
}

TEST(PropertySheet, a_page_that_refuses_to_be_left_keeps_the_focus_and_stays_active) {
    TestResources resources;
    ScriptedUser user;
    Host host;
    user.onMessageBox([](const automation::MessageBoxCall&) { return IDOK; });
    user.onDialog([&](Dialog& d) {
        d.setText(1001, "42"); // outside 0..10
        EXPECT_FALSE(d.selectPage(1));
        EXPECT_EQ(d.activePage(), 0);
        EXPECT_EQ(host.sheet.second.m_hWnd, nullptr);
        EXPECT_EQ(d.focus(), 1001);
        EXPECT_FALSE(host.sheet.SetActivePage(2)); // the program meets the same refusal
        EXPECT_EQ(d.activePage(), 0);

        d.setText(1001, "7");
        EXPECT_TRUE(d.selectPage(1));
        EXPECT_EQ(d.activePage(), 1);
        d.click(IDCANCEL);
    });
    host.DoModal();
    ASSERT_EQ(user.messageBoxes().size(), 2u);
    EXPECT_EQ(user.messageBoxes()[0].text, "Immettere un numero compreso tra 0 e 10.");
    EXPECT_EQ(host.record.value, 7); // read back when the page was left
}

TEST(PropertySheet, filling_a_page_runs_no_handler_but_typing_does) {
    TestResources resources;
    ScriptedUser user;
    Host host;
    user.onDialog([&](Dialog& d) {
        d.type(1000, "!");
        d.selectPage(1);
        d.selectPage(0); // shows the record again: a fill, not a change by the user
        d.click(IDCANCEL);
    });
    host.DoModal();
    EXPECT_EQ(host.record.events,
              (std::vector<std::string>{"active:0", "name:Ada!", "active:0"}));
}

TEST(PropertySheet, clicks_reach_the_active_page_and_enter_reaches_the_owner) {
    TestResources resources;
    ScriptedUser user;
    Host host;
    user.onDialog([&](Dialog& d) {
        EXPECT_FALSE(d.click(1100)); // on a page not shown yet
        d.selectPage(1);
        EXPECT_EQ(d.label(1100), "Rossi & Figli");
        EXPECT_TRUE(d.click(1100));
        EXPECT_TRUE(d.click(1101));
        EXPECT_TRUE(d.checked(1100));
        // A close request to the sheet itself is ignored; only the dialog closes.
        host.sheet.SendMessage(WM_CLOSE);
        EXPECT_TRUE(d.isOpen());
        d.setFocus(1100);
        d.enter(); // not on a push button: the owner's default button
    });
    EXPECT_EQ(host.DoModal(), IDOK);
    EXPECT_EQ(host.record.check, 1);
    EXPECT_EQ(host.remembered, 1);
    EXPECT_EQ(host.record.events.back(), "reset");
}

TEST(PropertySheet, tab_moves_through_the_tabs_the_active_page_and_the_buttons) {
    TestResources resources;
    ScriptedUser user;
    Host host;
    user.onDialog([&](Dialog& d) {
        std::vector<int> order;
        for (int i = 0; i < 7; ++i) {
            d.pressTab();
            order.push_back(d.focus());
        }
        EXPECT_EQ(order, (std::vector<int>{1000, 1001, 51, IDOK, IDCANCEL, AFX_IDC_TAB_CONTROL, 1000}));
        d.pressTab(true);
        EXPECT_EQ(d.focus(), AFX_IDC_TAB_CONTROL);
        d.selectPage(1);
        d.pressTab();
        EXPECT_EQ(d.focus(), 1100);
        d.click(IDCANCEL);
    });
    host.DoModal();
}

TEST(PropertySheet, the_remembered_page_opens_first) {
    TestResources resources;
    ScriptedUser user;
    int remembered = -1;
    {
        Host host;
        user.onDialog([](Dialog& d) {
            d.selectPage(2);
            d.click(IDOK);
        });
        EXPECT_EQ(host.DoModal(), IDOK);
        remembered = host.remembered;
    }
    EXPECT_EQ(remembered, 2);
    Host again(remembered);
    user.onDialog([&](Dialog& d) {
        EXPECT_EQ(d.activePage(), 2);
        EXPECT_EQ(again.sheet.first.m_hWnd, nullptr);
        d.click(IDCANCEL);
    });
    again.DoModal();
    Host outOfRange(7);
    user.onDialog([](Dialog& d) {
        EXPECT_EQ(d.activePage(), 0);
        d.click(IDCANCEL);
    });
    outOfRange.DoModal();
    EXPECT_EQ(user.unexpected(), 0);
}
