// Every dialog of the module as the Windows view shows it: each native control is bound to its
// own model window and shows that window's id, class, text, rectangle, visibility, enabled
// state, tab stop and default-button style, whatever the order in which the dialog makes its
// windows; the point editor's sheet is a native dialog whose pages are checked one by one as
// they are shown. On the headless pass there are no native windows and these tests skip.
#include "NativeInput.h"
#include "SmallBook.h"
#include "TempSettings.h"
#include "gpsdialogs/GpsDialogs.h"
#include "gpsdialogs/interfaces/Cts.h"
#include "gpsdialogs/interfaces/Gis.h"
#include "platform/automation.h"
#include "platform/dialog.h"
#include "platform/win32/Win32Backend.h"
#include "resource.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

using automation::Dialog;

namespace {

bool native(Dialog& d) {
    return d.window().GetSafeHwnd() != nullptr &&
           platform::win32::nativeWindow(*d.window().GetSafeHwnd()) != nullptr;
}

bool shownNatively(Dialog& d) {
    return native(d) && platform::win32::show(d.window());
}

std::string lines(const std::vector<std::string>& differences) {
    std::string text;
    for (const std::string& line : differences)
        text += line + "\n";
    return text;
}

/// Checks the dialog as the scripted user meets it, then as a person sees it, then closes it.
std::function<void(Dialog&)> checked(const char* name, bool& seen,
                                     std::function<void(Dialog&)> prepare = {}) {
    return [name, &seen, prepare](Dialog& d) {
        seen = native(d);
        if (seen) {
            if (prepare) prepare(d);
            EXPECT_EQ(lines(platform::win32::checkNative(d.window())), "") << name;
            platform::win32::show(d.window());
            EXPECT_EQ(lines(platform::win32::checkNative(d.window())), "") << name << " shown";
        }
        if (!d.close()) d.click(IDCANCEL);
        if (d.isOpen()) d.window().EndDialog(IDCANCEL); // a dialog with neither
    };
}

} // namespace

TEST(NativeView, every_template_shows_its_model_control_for_control) {
    testsupport::TempSettings settings;
    testsupport::SmallBook sample;
    automation::ScriptedUser user;
    user.onMessageBox([](const automation::MessageBoxCall&) { return IDOK; });
    bool seen = false;
    int group = 0;
    double height = 1.5;
    std::string name = "102", descr = "Nuovo", text = "PF";
    double x = 686750.0, y = 4928350.0, z = 94.0;
    bool inName = true, inCode = false;
    std::vector<CGrpGps*> groups{sample.projected, sample.plain}, chosen;
    const std::vector<std::pair<const char*, std::function<void()>>> exports = {
        {"transfer-options", [&] { FDlgOpzTrasfPtGps(&sample.book, 3, group, height); }},
        {"creation-options",
         [&] {
             FDlgOpzCreazGps(sample.projected, &sample.book, group, name, descr, x, y, z, height);
         }},
        {"point-coordinates", [&] { FMostraPunGps(sample.first); }},
        {"base-station-coordinates", [&] { FMostraGrpGps(sample.projected); }},
        {"search", [&] { FDlgFindPunGps(text, inName, inCode); }},
        {"print-groups", [&] { FDlgSelGrpLibGps(&groups, &chosen); }},
        {"move-base-station", [&] { FDlgOpzSpostaBaseGps(&sample.book, nullptr, group, height); }},
        {"export-fields", [&] { FSelDatiFile(); }},
        {"base-station-editor", [&] { FDlgModStazBase(sample.projected, nullptr, true); }},
    };
    for (const auto& [dialog, open] : exports) {
        user.onDialog(checked(dialog, seen));
        open();
        if (!seen) GTEST_SKIP() << "no native windows on this backend";
    }
    EXPECT_EQ(user.unexpected(), 0) << lines(user.unexpectedLog());
}

TEST(NativeView, the_point_editor_and_each_of_its_pages_show_the_model) {
    testsupport::TempSettings settings;
    testsupport::SmallBook sample;
    CCts cts;
    gis::CLibGis gis;
    automation::ScriptedUser user;
    user.onMessageBox([](const automation::MessageBoxCall&) { return IDOK; });
    bool seen = false;
    for (bool full : {true, false}) {
        user.onDialog(checked("point editor", seen, [](Dialog& d) {
            for (int page = 0; page < 5; ++page) {
                ASSERT_TRUE(d.selectPage(page)) << page;
                EXPECT_EQ(lines(platform::win32::checkNative(d.window())), "") << "page " << page;
            }
            d.selectPage(0);
        }));
        FDlgModPunGps(&cts, sample.first, &sample.book, &gis, full, nullptr, full);
        if (!seen) GTEST_SKIP() << "no native windows on this backend";
    }
    EXPECT_EQ(user.unexpected(), 0);
}

// Where a dialog opens: without DS_CENTER at its template's position counted from the client
// area of the window the person works in (the host's); with it, in the middle of the work area.
TEST(NativeView, dialogs_open_at_the_hosts_window_or_centred_in_the_work_area) {
    testsupport::TempSettings settings;
    testsupport::SmallBook sample;
    void* host = native::hostWindow(240, 160, 700, 500);
    const std::vector<int> origin = native::clientOrigin(host);
    std::vector<int> layout, base;
    automation::ScriptedUser user;
    user.onDialog([&](Dialog& d) { // the export layout: no DS_CENTER, at 0, 0
        if (shownNatively(d))
            layout = native::screenRect(platform::win32::nativeWindow(*d.window().GetSafeHwnd()));
        d.click(IDC_LAYOUT_CANCEL);
    });
    FSelDatiFile();
    user.onDialog([&](Dialog& d) { // the base station editor: DS_CENTER
        if (shownNatively(d))
            base = native::screenRect(platform::win32::nativeWindow(*d.window().GetSafeHwnd()));
        d.click(IDC_BASE_CANCEL);
    });
    FDlgModStazBase(sample.projected, nullptr, true);
    native::closeWindow(host);
    if (layout.empty() || base.empty()) GTEST_SKIP() << "no native windows on this pass";
    EXPECT_EQ(layout[0], origin[0]);
    EXPECT_EQ(layout[1], origin[1]);
    const std::vector<int> area = native::workArea();
    EXPECT_NEAR((base[0] + base[2]) / 2, (area[0] + area[2]) / 2, 16);
    EXPECT_NEAR((base[1] + base[3]) / 2, (area[1] + area[3]) / 2, 24);
    EXPECT_EQ(user.unexpected(), 0);
}
