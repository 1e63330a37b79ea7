// Who answers: the innermost scripted user while one is alive, else the backend, which for the
// headless backend means a question closed at once. Each question reaches the user once.
#include "platform/automation.h"
#include "platform/backend.h"
#include "platform/dialog.h"
#include "platform/filedialog.h"
#include "platform/messagebox.h"
#include "platform/module.h"
#include "platform/resources.h"

#include <gtest/gtest.h>

using automation::Dialog;
using automation::FileDialogAnswer;
using automation::FileDialogCall;
using automation::MessageBoxCall;
using automation::ScriptedUser;

namespace {

const char* const kScript = R"(
100 DIALOGEX 0, 0, 100, 50
STYLE DS_SETFONT | DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU
CAPTION "Domanda"
FONT 8, "MS Sans Serif", 0, 0, 0x1
BEGIN
    DEFPUSHBUTTON   "OK", IDOK, 5, 30, 40, 14
    PUSHBUTTON      "Annulla", IDCANCEL, 50, 30, 40, 14
END
)";

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

} // namespace

TEST(Interaction, message_boxes_and_beeps_reach_the_scripted_user_exactly_once) {
    ScriptedUser user;
    user.onMessageBox([](const MessageBoxCall& m) {
        EXPECT_EQ(m.text, "Sovrascrivere?");
        EXPECT_EQ(m.caption, "Attenzione !");
        EXPECT_EQ(m.type, MB_YESNO | MB_ICONQUESTION);
        return IDYES;
    });
    EXPECT_EQ(MessageBox(nullptr, "Sovrascrivere?", "Attenzione !", MB_YESNO | MB_ICONQUESTION),
              IDYES);
    MessageBeep(MB_ICONEXCLAMATION);
    MessageBeep(MB_OK);
    EXPECT_EQ(user.messageBoxes().size(), 1u);
    EXPECT_EQ(user.beeps(), 2);
    EXPECT_EQ(user.unexpected(), 0);

    // With no handler left: the box is closed with its Cancel or No, and that is unexpected.
    EXPECT_EQ(MessageBox(nullptr, "Ancora?", "", MB_YESNO), IDNO);
    EXPECT_EQ(MessageBox(nullptr, "Fatto.", "", MB_OK), IDOK);
    EXPECT_EQ(user.messageBoxes().size(), 3u);
    EXPECT_EQ(user.unexpected(), 2);
}

TEST(Interaction, the_innermost_scripted_user_answers_and_the_outer_one_sees_nothing) {
    ScriptedUser outer;
    {
        ScriptedUser inner;
        inner.onMessageBox([](const MessageBoxCall&) { return IDOK; });
        inner.onFileDialog([](const FileDialogCall&) { return FileDialogAnswer{}; });
        MessageBox(nullptr, "Dentro", "", MB_OKCANCEL);
        MessageBeep(MB_OK);
        CFileDialog dialog(TRUE);
        EXPECT_EQ(dialog.DoModal(), IDCANCEL);
        EXPECT_EQ(inner.messageBoxes().size(), 1u);
        EXPECT_EQ(inner.beeps(), 1);
        EXPECT_EQ(inner.fileDialogs().size(), 1u);
        EXPECT_EQ(inner.unexpected(), 0);
    }
    EXPECT_TRUE(outer.messageBoxes().empty());
    EXPECT_TRUE(outer.fileDialogs().empty());
    EXPECT_EQ(outer.beeps(), 0);
}

TEST(Interaction, without_a_scripted_user_the_headless_backend_closes_every_question_at_once) {
    ASSERT_EQ(platform::backend().name(), "headless");
    TestResources resources;
    CDialog dialog(100);
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_EQ(MessageBox(nullptr, "Avviso", "", MB_OK), IDOK);
    EXPECT_EQ(MessageBox(nullptr, "Continuare?", "", MB_OKCANCEL), IDCANCEL);
    MessageBeep(MB_OK);
    CFileDialog file(FALSE, "txt", "doc.txt");
    EXPECT_EQ(file.DoModal(), IDCANCEL);
}

TEST(Interaction, a_modal_run_goes_to_the_script_once_and_a_message_box_inside_it_too) {
    TestResources resources;
    ScriptedUser user;
    int runs = 0;
    user.onDialog([&](Dialog& d) {
        ++runs;
        EXPECT_EQ(d.caption(), "Domanda");
        EXPECT_EQ(MessageBox(&d.window(), "Dal dialogo", "", MB_OK), IDOK);
        d.click(IDOK);
    });
    user.onMessageBox([](const MessageBoxCall&) { return IDOK; });
    CDialog dialog(100);
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(runs, 1);
    EXPECT_EQ(user.dialogsSeen(), std::vector<int>{100});
    EXPECT_EQ(user.messageBoxes().size(), 1u);
    EXPECT_EQ(user.unexpected(), 0);
}

// No keyboard or clipboard delivers bytes that are not characters: what a person types or
// pastes reaches the model as valid UTF-8, so the host never gets a text it cannot save.
TEST(Interaction, typed_and_pasted_bytes_that_are_not_utf8_become_replacement_characters) {
    platform::ParseResult parsed = platform::parseResourceScript(R"(
101 DIALOGEX 0, 0, 100, 50
STYLE DS_SETFONT | DS_MODALFRAME | WS_POPUP | WS_CAPTION
CAPTION "Testo"
FONT 8, "MS Sans Serif", 0, 0, 0x1
BEGIN
    EDITTEXT        1000, 5, 5, 90, 14, ES_AUTOHSCROLL
    DEFPUSHBUTTON   "OK", IDOK, 5, 30, 40, 14
END
)",
                                                                 "test.rc");
    ASSERT_TRUE(parsed.module) << parsed.error;
    AfxSetResourceHandle(parsed.module.get());
    const std::string replacement = "\xEF\xBF\xBD";
    std::string pasted, typed;
    ScriptedUser user;
    user.onDialog([&](Dialog& d) {
        // A stray byte, a cut sequence, an encoded surrogate; good characters stay.
        EXPECT_TRUE(d.setText(1000, "a\xff"
                                    "b\xc3"
                                    "\xed\xa0\x80"
                                    "è€"));
        pasted = d.text(1000);
        EXPECT_TRUE(d.setText(1000, ""));
        EXPECT_TRUE(d.type(1000, "x\xe2\x82"
                                 "y"));
        typed = d.text(1000);
        d.click(IDOK);
    });
    CDialog dialog(101);
    EXPECT_EQ(dialog.DoModal(), IDOK);
    AfxSetResourceHandle(nullptr);
    EXPECT_EQ(pasted, "a" + replacement + "b" + replacement + replacement + "è€");
    EXPECT_EQ(typed, "x" + replacement + "y");
}
