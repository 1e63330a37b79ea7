// The edit boxes of the Windows view as a person meets them: the caret and the selection are
// the model's both ways (a selection made in the native box is where the model types, and one
// the program makes is shown), and a refused text shows the model's balloon at its field. On
// the headless pass there are no native windows and these tests skip.
#include "NativeInput.h"

#include "SmallBook.h"
#include "TempSettings.h"
#include "gpsdialogs/GpsDialogs.h"
#include "platform/automation.h"
#include "platform/win32/Win32Backend.h"
#include "resource.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

using automation::Dialog;

namespace {

void* nativeOf(Dialog& d, int id) {
    platform::Window* w = d.control(id);
    return w != nullptr ? platform::win32::nativeWindow(*w) : nullptr;
}

using Selection = std::pair<int, int>;

} // namespace

TEST(NativeEdit, caret_and_selection_are_the_models_both_ways) {
    testsupport::TempSettings settings;
    testsupport::SmallBook sample;
    CGrpGps* group = sample.projected;
    bool shown = false;
    std::string typed;
    automation::ScriptedUser user;
    user.onDialog([&](Dialog& d) {
        void* height =
            platform::win32::show(d.window()) ? nativeOf(d, IDC_BASE_ANTENNA_HEIGHT) : nullptr;
        shown = height != nullptr;
        if (!shown) {
            d.click(IDC_BASE_CANCEL);
            return;
        }
        const std::string before = d.text(IDC_BASE_ANTENNA_HEIGHT);
        ASSERT_GE(before.size(), 3u);
        // A selection the program makes is the native box's.
        d.selectText(IDC_BASE_ANTENNA_HEIGHT, 1, 3);
        EXPECT_EQ(native::selection(height), (Selection{1, 3}));
        // One the person makes in the box is the model's, and the next key replaces it.
        native::select(height, 0, 1);
        EXPECT_EQ(d.textSelection(IDC_BASE_ANTENNA_HEIGHT), (Selection{0, 1}));
        native::type(height, "2");
        typed = "2" + before.substr(1);
        EXPECT_EQ(d.text(IDC_BASE_ANTENNA_HEIGHT), typed);
        EXPECT_EQ(d.textSelection(IDC_BASE_ANTENNA_HEIGHT), (Selection{1, 1}));
        // Keys typed through the model land at the caret the box shows, and move it on.
        ASSERT_TRUE(d.keys(IDC_BASE_ANTENNA_HEIGHT, "7"));
        typed = "27" + before.substr(1);
        EXPECT_EQ(native::text(height), typed);
        EXPECT_EQ(native::selection(height), (Selection{2, 2}));
        // The caret put by a press (no selection) reaches the model too.
        native::select(height, 0, 0);
        ASSERT_TRUE(d.keys(IDC_BASE_ANTENNA_HEIGHT, "\x7f"));
        typed = typed.substr(1);
        EXPECT_EQ(native::text(height), typed);
        d.click(IDC_BASE_OK);
    });
    const bool ok = FDlgModStazBase(group, nullptr, true);
    if (!shown) GTEST_SKIP() << "no native windows on this pass";
    EXPECT_TRUE(ok);
    EXPECT_DOUBLE_EQ(group->GetBaseAltAnt(), std::stod(typed));
    EXPECT_EQ(user.unexpected(), 0);
}

TEST(NativeEdit, a_refused_number_shows_the_models_balloon_at_its_field) {
    testsupport::TempSettings settings;
    testsupport::SmallBook sample;
    CGrpGps* group = sample.projected;
    const std::string description = group->GetSecScri();
    bool shown = false;
    automation::ScriptedUser user;
    user.onDialog([&](Dialog& d) {
        void* pdop = platform::win32::show(d.window()) ? nativeOf(d, IDC_BASE_PDOP) : nullptr;
        shown = pdop != nullptr;
        if (!shown) {
            d.click(IDC_BASE_CANCEL);
            return;
        }
        std::string title, text;
        EXPECT_FALSE(platform::win32::shownBalloon(pdop, title, text));
        native::replaceText(pdop, "1,5x");
        native::click(nativeOf(d, IDC_BASE_OK), 5, 5);
        ASSERT_TRUE(d.isOpen());
        const Dialog::BalloonTip balloon = d.balloon(IDC_BASE_PDOP);
        ASSERT_TRUE(balloon.shown());
        ASSERT_TRUE(platform::win32::shownBalloon(pdop, title, text));
        EXPECT_EQ(title, "Valore non valido");
        EXPECT_EQ(title, balloon.title);
        EXPECT_EQ(text, balloon.text);
        EXPECT_EQ(native::focus(), pdop);
        native::key(pdop, native::kEscape); // the Annulla step
    });
    EXPECT_FALSE(FDlgModStazBase(group, nullptr, true));
    if (!shown) GTEST_SKIP() << "no native windows on this pass";
    EXPECT_EQ(group->GetSecScri(), description);
    EXPECT_EQ(user.unexpected(), 0);
}
