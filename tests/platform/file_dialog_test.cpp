// The standard file dialogs answered by a scripted user: what the dialog shows, the filter row
// in and out, the default extension, the existence checks and the question before replacing
// a file, which a scripted answer meets as a person's choice does.
#include "TempFolder.h"
#include "platform/automation.h"
#include "platform/filedialog.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

using automation::FileDialogAnswer;
using automation::FileDialogCall;
using automation::MessageBoxCall;
using automation::ScriptedUser;

namespace fs = std::filesystem;

namespace {

/// A folder of its own for each test, removed afterwards.
class FileDialog : public ::testing::Test {
protected:
    void SetUp() override { dir = testsupport::makeTempFolder("gps-filedialog-"); }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(dir, ec);
    }

    // A path as the system writes it (its own separator).
    std::string file(const std::string& name) const {
        return (dir / name).make_preferred().string();
    }
    void make(const std::string& name) const { std::ofstream(dir / name) << "contenuto"; }

    fs::path dir;
};

const char* const kImportFilter = "Gart       (*.PRT)|*.prt|"
                                  "Pinnacle   (*.REP)(*.HTM)(*.HTML)|*.rep;*.htm;*.html|"
                                  "Field Face (*.TXT)|*.txt|"
                                  "Trimble    (*.TXT)|*.txt|"
                                  "Leica      (*.ASC)(*.IDX)|*.asc;*.idx|"
                                  "Leica Geo Office (*.TXT)|*.txt|"
                                  "Leica Geo Office (*.CST)(*.DAT)|*.cst;*.dat|"
                                  "Leica Geo Office - Formato Pelora - No 4/5 (*.CST)|*.cst|"
                                  "Leica Geo Office - Formato Pelora - Si 4/5 (*.CST)|*.cst|"
                                  "Gart 2000  (*.LLH)|*.llh|"
                                  "Trimble    (*.MDB)|*.mdb|"
                                  "Stonex     (*.RW5)|*.rw5||";

const DWORD kSaveFlags = OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY;
const DWORD kOpenFlags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY;

FileDialogAnswer choose(const std::string& path, int row = 1) {
    return FileDialogAnswer{true, path, row};
}

} // namespace

TEST_F(FileDialog, shows_title_rows_folder_and_preselected_row_and_hands_back_the_row_in_use) {
    make("rilievo.llh");
    ScriptedUser user;
    FileDialogCall shown;
    user.onFileDialog([&](const FileDialogCall& call) {
        shown = call;
        return choose("rilievo.llh", 10);
    });
    CFileDialog dialog(TRUE, nullptr, nullptr, kOpenFlags, kImportFilter);
    const std::string folder = dir.string();
    dialog.m_ofn.lpstrTitle = "Importazione File";
    dialog.m_ofn.lpstrInitialDir = folder.c_str();
    dialog.m_ofn.nFilterIndex = 8;
    ASSERT_EQ(dialog.DoModal(), IDOK);

    EXPECT_TRUE(shown.open);
    EXPECT_EQ(shown.title, "Importazione File");
    EXPECT_EQ(shown.filter, kImportFilter);
    EXPECT_EQ(shown.filterIndex, 8);
    EXPECT_EQ(shown.initialFolder, folder);
    EXPECT_EQ(shown.fileName, "");
    EXPECT_EQ(shown.defaultExtension, "");
    EXPECT_EQ(shown.flags, kOpenFlags);

    EXPECT_EQ(dialog.m_ofn.nFilterIndex, 10u);
    EXPECT_EQ(dialog.GetPathName(), file("rilievo.llh")); // a bare name is in the folder shown
    EXPECT_EQ(dialog.GetFileName(), "rilievo.llh");
    EXPECT_EQ(dialog.GetFileExt(), "llh");
    EXPECT_EQ(dialog.GetFileTitle(), "rilievo");
    EXPECT_EQ(user.unexpected(), 0);
}

TEST_F(FileDialog, a_row_outside_the_list_preselects_the_first_and_a_title_is_always_shown) {
    ScriptedUser user;
    std::vector<FileDialogCall> shown;
    auto cancel = [&](const FileDialogCall& call) {
        shown.push_back(call);
        return FileDialogAnswer{false, "", call.filterIndex};
    };
    for (DWORD row : {0u, 13u}) {
        user.onFileDialog(cancel);
        CFileDialog dialog(TRUE, nullptr, nullptr, kOpenFlags, kImportFilter);
        dialog.m_ofn.nFilterIndex = row;
        EXPECT_EQ(dialog.DoModal(), IDCANCEL);
        EXPECT_EQ(dialog.m_ofn.nFilterIndex, row); // a cancelled dialog hands nothing back
    }
    user.onFileDialog(cancel);
    CFileDialog save(FALSE, "txt", "doc.txt", kSaveFlags, "File ASCII (*.TXT)|*.txt||");
    EXPECT_EQ(save.DoModal(), IDCANCEL);
    EXPECT_EQ(save.GetPathName(), "doc.txt");

    ASSERT_EQ(shown.size(), 3u);
    EXPECT_EQ(shown[0].filterIndex, 1);
    EXPECT_EQ(shown[1].filterIndex, 1);
    EXPECT_EQ(shown[0].title, "Apri");
    EXPECT_EQ(shown[2].title, "Salva con nome");
    EXPECT_FALSE(shown[2].open);
    EXPECT_EQ(shown[2].filter, "File ASCII (*.TXT)|*.txt||");
    EXPECT_EQ(shown[2].fileName, "doc.txt");
    EXPECT_EQ(user.unexpected(), 0);
}

TEST_F(FileDialog, the_default_extension_is_added_before_the_replace_question) {
    make("doc.txt");
    ScriptedUser user;
    user.onFileDialog([&](const FileDialogCall&) { return choose(file("doc")); });
    user.onMessageBox([](const MessageBoxCall&) { return IDYES; });
    CFileDialog dialog(FALSE, ".txt", nullptr, kSaveFlags, "File ASCII (*.TXT)|*.txt||");
    dialog.m_ofn.lpstrTitle = "CREA FILE LIBRETTO PUNTI GPS";
    ASSERT_EQ(dialog.DoModal(), IDOK);

    EXPECT_EQ(dialog.GetPathName(), file("doc.txt"));
    ASSERT_EQ(user.messageBoxes().size(), 1u);
    EXPECT_EQ(user.messageBoxes()[0].text, "doc.txt esiste già.\nSostituirlo?");
    EXPECT_EQ(user.messageBoxes()[0].caption, "CREA FILE LIBRETTO PUNTI GPS");
    EXPECT_EQ(user.messageBoxes()[0].type, MB_YESNO | MB_ICONEXCLAMATION);
    EXPECT_EQ(user.unexpected(), 0);
}

TEST_F(FileDialog, no_to_the_replace_question_keeps_the_dialog_open_for_another_name) {
    make("doc.txt");
    ScriptedUser user;
    user.onFileDialog([&](const FileDialogCall&) { return choose(file("doc.txt")); });
    user.onMessageBox([](const MessageBoxCall&) { return IDNO; });
    FileDialogCall second;
    user.onFileDialog([&](const FileDialogCall& call) {
        second = call;
        return choose("nuovo");
    });
    CFileDialog dialog(FALSE, "txt", nullptr, kSaveFlags, "File ASCII (*.TXT)|*.txt||");
    ASSERT_EQ(dialog.DoModal(), IDOK);

    EXPECT_EQ(second.fileName, file("doc.txt"));        // the dialog still shows the refused name
    EXPECT_EQ(dialog.GetPathName(), file("nuovo.txt")); // in the folder of the refused name
    EXPECT_EQ(user.fileDialogs().size(), 2u);
    EXPECT_EQ(user.messageBoxes().size(), 1u);
    EXPECT_EQ(std::ifstream(dir / "doc.txt").get(), 'c');

    // Without the flag nobody is asked.
    user.onFileDialog([&](const FileDialogCall&) { return choose(file("doc.txt")); });
    CFileDialog unasked(FALSE, "txt", nullptr, OFN_PATHMUSTEXIST, "File ASCII (*.TXT)|*.txt||");
    EXPECT_EQ(unasked.DoModal(), IDOK);
    EXPECT_EQ(user.messageBoxes().size(), 1u);
    EXPECT_EQ(user.unexpected(), 0);
}

TEST_F(FileDialog, the_extension_added_is_that_of_the_row_in_use_else_the_default_one) {
    const char* filter = "Testo (*.txt)|*.txt|Tutti i file (*.*)|*.*||";
    struct Case {
        const char* defExt;
        const char* typed;
        int row;
        const char* chosen;
    };
    const Case cases[] = {
        {"dat", "misure", 1, "misure.txt"},        {"dat", "misure", 2, "misure.dat"},
        {"dat", "misure.csv", 1, "misure.csv"},    {"dat", "misure.", 1, "misure.txt"},
        {".dat", ".nascosto", 2, ".nascosto.dat"}, {nullptr, "misure", 1, "misure"},
    };
    for (const Case& c : cases) {
        ScriptedUser user;
        user.onFileDialog([&](const FileDialogCall&) { return choose(file(c.typed), c.row); });
        CFileDialog dialog(FALSE, c.defExt, nullptr, kSaveFlags, filter);
        ASSERT_EQ(dialog.DoModal(), IDOK) << c.typed;
        EXPECT_EQ(dialog.GetPathName(), file(c.chosen)) << c.typed << " row " << c.row;
        EXPECT_EQ(dialog.m_ofn.nFilterIndex, static_cast<DWORD>(c.row));
    }
}

TEST_F(FileDialog, a_missing_file_is_refused_with_a_message_and_the_dialog_stays_open) {
    make("presente.rw5");
    ScriptedUser user;
    user.onFileDialog([&](const FileDialogCall&) { return choose(file("manca.rw5"), 12); });
    user.onMessageBox([](const MessageBoxCall&) { return IDOK; });
    FileDialogCall again;
    user.onFileDialog([&](const FileDialogCall& call) {
        again = call;
        return choose(file("presente.rw5"), 12);
    });
    CFileDialog dialog(TRUE, nullptr, nullptr, kOpenFlags, kImportFilter);
    dialog.m_ofn.lpstrTitle = "Importazione File";
    ASSERT_EQ(dialog.DoModal(), IDOK);

    ASSERT_EQ(user.messageBoxes().size(), 1u);
    const MessageBoxCall& refusal = user.messageBoxes()[0];
    EXPECT_EQ(
        refusal.text,
        "manca.rw5\nFile non trovato.\nVerificare che il nome del file indicato sia corretto.");
    EXPECT_EQ(refusal.caption, "Importazione File");
    EXPECT_EQ(refusal.type, MB_OK | MB_ICONEXCLAMATION);
    EXPECT_EQ(again.filterIndex, 12);
    EXPECT_EQ(dialog.GetPathName(), file("presente.rw5"));
    EXPECT_EQ(user.unexpected(), 0);
}

TEST_F(FileDialog, a_refused_answer_with_no_answer_left_cancels_and_counts_as_unexpected) {
    ScriptedUser user;
    user.onFileDialog([&](const FileDialogCall&) { return choose(file("manca/doc.txt")); });
    user.onMessageBox([](const MessageBoxCall&) { return IDOK; });
    CFileDialog dialog(FALSE, "txt", "doc.txt", kSaveFlags, "File ASCII (*.TXT)|*.txt||");
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);

    ASSERT_EQ(user.messageBoxes().size(), 1u);
    EXPECT_EQ(user.messageBoxes()[0].text,
              file("manca/doc.txt") +
                  "\nPercorso non trovato.\nVerificare che il percorso indicato sia corretto.");
    EXPECT_EQ(dialog.GetPathName(), "doc.txt");
    ASSERT_EQ(user.unexpected(), 1);
    EXPECT_NE(user.unexpectedLog()[0].find("file dialog"), std::string::npos);
}

TEST_F(FileDialog, unanswered_dialogs_cancel_and_count_as_unexpected_and_nobody_cancels_them_too) {
    {
        ScriptedUser user;
        CFileDialog dialog(TRUE, nullptr, nullptr, kOpenFlags, kImportFilter);
        EXPECT_EQ(dialog.DoModal(), IDCANCEL);
        EXPECT_EQ(user.fileDialogs().size(), 1u);
        EXPECT_EQ(user.unexpected(), 1);
    }
    CFileDialog nobody(FALSE, "txt", "doc.txt", kSaveFlags, "File ASCII (*.TXT)|*.txt||");
    EXPECT_EQ(nobody.DoModal(), IDCANCEL);
}

TEST_F(FileDialog, a_folder_or_an_empty_name_is_not_a_choice) {
    fs::create_directory(dir / "sotto");
    ScriptedUser user;
    user.onFileDialog([&](const FileDialogCall&) { return choose(file("sotto")); });
    user.onFileDialog([&](const FileDialogCall&) { return choose(""); });
    user.onFileDialog([&](const FileDialogCall&) { return FileDialogAnswer{false, "", 1}; });
    CFileDialog dialog(FALSE, nullptr, nullptr, kSaveFlags, nullptr);
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_EQ(user.fileDialogs().size(), 3u);
    EXPECT_TRUE(user.messageBoxes().empty());
    EXPECT_EQ(user.unexpected(), 0);
}

TEST_F(FileDialog, a_name_the_caller_refuses_is_never_offered_for_replacing) {
    class Guarded : public CFileDialog {
    public:
        explicit Guarded(std::string guarded)
            : CFileDialog(FALSE, "txt", nullptr, kSaveFlags, "Testo (*.txt)|*.txt||"),
              m_guarded(std::move(guarded)) {}
        std::vector<std::string> asked;

    protected:
        BOOL OnFileNameOK() override {
            asked.push_back(GetPathName());
            return GetPathName() == m_guarded;
        }

    private:
        std::string m_guarded;
    };
    make("protetto.txt");
    make("altro.txt");
    ScriptedUser user;
    user.onFileDialog([&](const FileDialogCall&) { return choose(file("protetto")); });
    user.onFileDialog([&](const FileDialogCall&) { return choose(file("altro.txt")); });
    user.onMessageBox([](const MessageBoxCall&) { return IDYES; });
    Guarded dialog(file("protetto.txt"));
    ASSERT_EQ(dialog.DoModal(), IDOK);

    EXPECT_EQ(dialog.asked, (std::vector<std::string>{file("protetto.txt"), file("altro.txt")}));
    ASSERT_EQ(user.messageBoxes().size(), 1u); // the replace question for "altro.txt" alone
    EXPECT_EQ(user.messageBoxes()[0].text, "altro.txt esiste già.\nSostituirlo?");
    EXPECT_EQ(dialog.GetPathName(), file("altro.txt"));
}

TEST_F(FileDialog, a_bare_name_goes_to_the_proposed_folder_before_the_initial_one) {
    fs::create_directory(dir / "proposta");
    fs::create_directory(dir / "iniziale");
    const std::string initial = (dir / "iniziale").string();
    ScriptedUser user;
    user.onFileDialog([&](const FileDialogCall&) { return choose("a.txt"); });
    user.onFileDialog([&](const FileDialogCall&) { return choose("b.txt"); });

    CFileDialog proposed(FALSE, "txt", file("proposta/doc.txt").c_str(), kSaveFlags, nullptr);
    proposed.m_ofn.lpstrInitialDir = initial.c_str();
    ASSERT_EQ(proposed.DoModal(), IDOK);
    EXPECT_EQ(proposed.GetPathName(), file("proposta/a.txt"));

    CFileDialog bare(FALSE, "txt", "doc.txt", kSaveFlags, nullptr);
    bare.m_ofn.lpstrInitialDir = initial.c_str();
    ASSERT_EQ(bare.DoModal(), IDOK);
    EXPECT_EQ(bare.GetPathName(), file("iniziale/b.txt"));
}
