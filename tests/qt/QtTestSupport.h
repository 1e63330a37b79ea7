// Shared pieces of the Qt backend's tests: one QApplication with the Qt backend for the whole
// test program, resource scripts made current for a test, and the widgets of a dialog's
// controls.
#pragma once

#include "platform/automation.h"
#include "platform/backend.h"
#include "platform/dialog.h"
#include "platform/module.h"
#include "platform/qt/QtBackend.h"
#include "platform/resources.h"

#include <QApplication>
#include <QWidget>

#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <optional>
#include <sstream>
#include <string>

namespace qttest {

/// Templates of the tests: a dialog with one control of every kind (100), a dialog without
/// system menu whose default button starts disabled (101), a dialog with a help button that
/// opens another one (103), and a property-page-like child template (104).
inline const char* const kProbeScript = R"RC(
#define IDD_PROBE 100
#define IDD_NO_SYSMENU 101
#define IDD_HELP 103
#define IDD_PAGE 104

IDD_PROBE DIALOGEX 0, 0, 260, 170
STYLE DS_SETFONT | DS_MODALFRAME | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU
CAPTION "Prova"
FONT 8, "MS Sans Serif", 0, 0, 0x1
BEGIN
    LTEXT           "&Nome:", IDC_STATIC, 7, 9, 40, 8
    EDITTEXT        1000, 50, 7, 100, 12, ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP
    LTEXT           "Codice:", IDC_STATIC, 7, 24, 40, 8
    EDITTEXT        1001, 50, 22, 100, 12, ES_RIGHT | ES_READONLY | WS_BORDER | NOT WS_TABSTOP
    LTEXT           "Punti && linee", 1010, 160, 9, 90, 8, SS_NOPREFIX
    RTEXT           "A && B", 1011, 160, 24, 90, 8
    GROUPBOX        "Opzioni", IDC_STATIC, 7, 40, 246, 50
    CONTROL         "Automatica", 1002, "Button", BS_AUTOCHECKBOX | WS_TABSTOP, 14, 52, 80, 10
    CONTROL         "Manuale", 1003, "Button", BS_CHECKBOX | WS_TABSTOP, 14, 68, 80, 10
    CONTROL         "Uno", 1004, "Button", BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP, 110, 52, 50, 10
    CONTROL         "Due", 1005, "Button", BS_AUTORADIOBUTTON, 110, 68, 50, 10
    COMBOBOX        1006, 170, 52, 76, 60, CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP
    LISTBOX         1007, 7, 96, 80, 50, LBS_NOTIFY | WS_VSCROLL | WS_BORDER | WS_TABSTOP
    LISTBOX         1008, 92, 96, 80, 50, LBS_MULTIPLESEL | LBS_NOTIFY | WS_VSCROLL | WS_BORDER | WS_TABSTOP
    CONTROL         "", 1009, "SysListView32", LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | WS_BORDER | WS_TABSTOP, 177, 96, 76, 50
    DEFPUSHBUTTON   "OK", IDOK, 146, 151, 50, 14, WS_TABSTOP
    PUSHBUTTON      "Annulla", IDCANCEL, 203, 151, 50, 14, WS_TABSTOP
    LTEXT           "&Ultima", 1012, 7, 153, 60, 8
END

IDD_NO_SYSMENU DIALOGEX 0, 0, 120, 60
STYLE DS_SETFONT | DS_MODALFRAME | WS_POPUP | WS_CAPTION
CAPTION "Senza chiusura"
FONT 8, "MS Sans Serif", 0, 0, 0x1
BEGIN
    EDITTEXT        1000, 7, 7, 106, 12, ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP
    DEFPUSHBUTTON   "OK", IDOK, 7, 40, 50, 14, WS_DISABLED | WS_TABSTOP
    PUSHBUTTON      "Annulla", IDCANCEL, 63, 40, 50, 14, WS_TABSTOP
END

IDD_HELP DIALOGEX 0, 0, 120, 50
STYLE DS_SETFONT | DS_MODALFRAME | DS_CONTEXTHELP | WS_POPUP | WS_CAPTION | WS_SYSMENU
EXSTYLE WS_EX_CONTEXTHELP
CAPTION "Aiuto"
FONT 8, "MS Sans Serif", 0, 0, 0x1
BEGIN
    PUSHBUTTON      "Apri", 1020, 7, 7, 50, 14, WS_TABSTOP
    DEFPUSHBUTTON   "OK", IDOK, 63, 7, 50, 14, WS_TABSTOP
END

IDD_PAGE DIALOGEX 0, 0, 100, 40
STYLE DS_SETFONT | WS_CHILD | WS_CAPTION
CAPTION "Pagina"
FONT 8, "MS Sans Serif", 0, 0, 0x1
BEGIN
    LTEXT           "Valore:", IDC_STATIC, 5, 7, 30, 8
    EDITTEXT        1030, 40, 5, 55, 12, ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP
END
)RC";

/// Makes the application (offscreen unless told otherwise) and installs the Qt backend; the
/// application lives until the program ends.
inline void useQtBackend() {
    static QApplication* app = [] {
        if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "qt_tests";
        static char* argv[] = {name, nullptr};
        return new QApplication(argc, argv);
    }();
    (void)app;
    if (platform::backend().name() != "qt") {
        ASSERT_TRUE(platform::qt::install());
    }
}

inline std::optional<std::string> readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

/// A parsed resource script, current while the object lives.
class CurrentResources {
public:
    explicit CurrentResources(std::shared_ptr<platform::ResourceModule> module)
        : m_module(std::move(module)), m_previous(AfxGetResourceHandle()) {
        AfxSetResourceHandle(m_module.get());
    }
    ~CurrentResources() { AfxSetResourceHandle(m_previous); }
    CurrentResources(const CurrentResources&) = delete;
    CurrentResources& operator=(const CurrentResources&) = delete;

    platform::ResourceModule& module() { return *m_module; }

private:
    std::shared_ptr<platform::ResourceModule> m_module;
    HINSTANCE m_previous;
};

/// Parses a script that must be valid.
inline std::shared_ptr<platform::ResourceModule> parse(const std::string& script) {
    platform::ParseResult result = platform::parseResourceScript(script, "test.rc");
    EXPECT_TRUE(result.module) << result.error;
    return result.module;
}

/// The control \p id of a dialog, looked for in the dialog and then in its child windows that
/// are shown (the active page of a sheet, not the others), as the automation API does.
inline platform::Window* control(const platform::Window& root, int id) {
    for (const auto& child : root.children())
        if (child->id() == id && child->kind() != platform::ControlKind::Dialog) return child.get();
    for (const auto& child : root.children())
        if (child->visible())
            if (platform::Window* found = control(*child, id)) return found;
    return nullptr;
}

/// The widget of control \p id of the running dialog.
template <class T = QWidget> T* widget(automation::Dialog& d, int id) {
    platform::Window* w = d.window().m_hWnd != nullptr ? control(*d.window().m_hWnd, id) : nullptr;
    return qobject_cast<T*>(platform::qt::widgetFor(w));
}

/// The dialog's own window.
inline QWidget* dialogWidget(automation::Dialog& d) {
    return platform::qt::widgetFor(d.window().m_hWnd);
}

/// A point on the box of a check box or radio button, where a click always lands.
inline QPoint onBox(const QWidget* button) {
    return QPoint(6, button->height() / 2);
}

} // namespace qttest
