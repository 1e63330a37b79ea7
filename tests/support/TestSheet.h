// A test-only property sheet: a dialog (200) that embeds a sheet of three pages (201 "Primo"
// with a name and a value from 0 to 10, 202 "Secondo" with a check box and a button, 203
// "Terzo" with one edit) on its hidden frame 50, and remembers the active page on OK.
// Include it in one source file of a test program: it defines the message maps.
#pragma once

#include "platform/module.h"
#include "platform/propsheet.h"
#include "platform/resources.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace testsheet {

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

struct SheetResources {
    std::shared_ptr<platform::ResourceModule> module;
    SheetResources() {
        platform::ParseResult parsed = platform::parseResourceScript(
            std::string("#define IDD_HOST 200\n") + kScript, "sheet.rc");
        EXPECT_TRUE(parsed.module) << parsed.error;
        module = parsed.module;
        AfxSetResourceHandle(module.get());
    }
    ~SheetResources() { AfxSetResourceHandle(nullptr); }
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
    explicit Host(int startPage = 0) : CDialog(200), sheet(record) {
        sheet.SetActivePage(startPage);
    }
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

} // namespace testsheet
