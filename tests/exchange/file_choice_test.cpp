// The export and import file choice through FInpNomeFileAsciiLibGps and
// FInpNomeFileConvGpsVari: what the file dialog shows, the remembered folders, the format code
// of the filter row, and what "PERSIST" holds afterwards.
#include "gpsdialogs/GpsDialogs.h"
#include "gpsdialogs/interfaces/Kit.h"
#include "platform/automation.h"
#include "platform/filedialog.h"

#include "TempSettings.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>

using automation::FileDialogAnswer;
using automation::FileDialogCall;
using automation::MessageBoxCall;
using automation::ScriptedUser;

namespace {

const char* const kPersist = "PERSIST";

class FileChoice : public ::testing::Test {
protected:
    // Paths as the system writes them (its own separator).
    std::string file(const std::string& name) const {
        return (settings.dir() / name).make_preferred().string();
    }
    std::string folder() const {
        return settings.dir().string() +
               static_cast<char>(std::filesystem::path::preferred_separator);
    }
    void make(const std::string& name) const { std::ofstream(settings.dir() / name) << "x"; }

    testsupport::TempSettings settings;
    CIniFile ini{settings.pathString()};
};

FileDialogAnswer cancel(const FileDialogCall& call) {
    return FileDialogAnswer{false, "", call.filterIndex};
}

} // namespace

TEST_F(FileChoice, export_with_empty_name_and_nothing_remembered_proposes_doc_txt) {
    ScriptedUser user;
    FileDialogCall shown;
    user.onFileDialog([&](const FileDialogCall& call) {
        shown = call;
        return cancel(call);
    });
    std::string name;
    EXPECT_FALSE(FInpNomeFileAsciiLibGps(name));
    EXPECT_EQ(name, "doc"); // the bare proposed name comes back on cancel
    EXPECT_FALSE(shown.open);
    EXPECT_EQ(shown.title, "CREA FILE LIBRETTO PUNTI GPS");
    EXPECT_EQ(shown.filter, "File ASCII (*.TXT)|*.txt||");
    EXPECT_EQ(shown.defaultExtension, ".txt");
    EXPECT_EQ(shown.fileName, "doc.txt");
    EXPECT_EQ(shown.flags, OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY);
    EXPECT_EQ(settings.read(), "");
}

TEST_F(FileChoice, export_proposes_the_file_name_in_the_remembered_folder_in_key_order) {
    ini.WriteString(kPersist, "LastLoadedFile", "/altrove/carico.gps");
    ini.WriteString(kPersist, "LastStoredFile", file("salvato.gps"));
    ScriptedUser user;
    std::vector<FileDialogCall> shown;
    for (int i = 0; i < 2; ++i)
        user.onFileDialog([&](const FileDialogCall& call) {
            shown.push_back(call);
            return cancel(call);
        });
    std::string name = "/home/rilievi/cantiere.txt";
    EXPECT_FALSE(FInpNomeFileAsciiLibGps(name));
    EXPECT_EQ(name, "cantiere.txt");
    ini.WriteString(kPersist, "LastExportedLibrettoLBC", "/export/ultimo.txt");
    name = "nord";
    EXPECT_FALSE(FInpNomeFileAsciiLibGps(name));
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0].fileName, folder() + "cantiere.txt"); // no second ".txt"
    EXPECT_EQ(shown[1].fileName, "/export/nord.txt");
}

TEST_F(FileChoice, export_confirmed_hands_back_the_path_and_remembers_it_after_the_question) {
    make("libretto.txt");
    ScriptedUser user;
    user.onFileDialog([&](const FileDialogCall&) {
        return FileDialogAnswer{true, file("libretto.txt"), 1};
    });
    user.onMessageBox([](const MessageBoxCall&) { return IDYES; });
    std::string name = "qualsiasi";
    ASSERT_TRUE(FInpNomeFileAsciiLibGps(name));
    EXPECT_EQ(name, file("libretto.txt"));
    ASSERT_EQ(user.messageBoxes().size(), 1u); // asked before replacing
    EXPECT_EQ(ini.GetString(kPersist, "LastExportedLibrettoLBC", ""), file("libretto.txt"));
    EXPECT_EQ(user.unexpected(), 0);
}

TEST_F(FileChoice, import_preselects_the_row_of_the_remembered_format) {
    const std::vector<std::pair<int, int>> cases = {{1, 1},  {7, 7},   {8, 10}, {9, 8},
                                                    {10, 9}, {12, 12}, {0, 1},  {13, 1}};
    for (auto [code, row] : cases) {
        ini.WriteLong(kPersist, "GpsVari", code);
        ScriptedUser user;
        FileDialogCall shown;
        user.onFileDialog([&](const FileDialogCall& call) {
            shown = call;
            return cancel(call);
        });
        std::string name = "invariato";
        int format = 5;
        EXPECT_FALSE(FInpNomeFileConvGpsVari(name, format));
        EXPECT_EQ(shown.filterIndex, row) << code;
        EXPECT_EQ(name, "invariato");
        EXPECT_EQ(format, 1);
    }
}

TEST_F(FileChoice, import_shows_title_filter_and_remembered_folder_and_stores_only_on_ok) {
    ini.WriteString(kPersist, "LastStoredFile", "/archivio/a.gps");
    ini.WriteString(kPersist, "LastExportedFileGps", file("esportato.rw5"));
    make("rilievo.llh");
    ScriptedUser user;
    FileDialogCall shown;
    user.onFileDialog([&](const FileDialogCall& call) {
        shown = call;
        return FileDialogAnswer{true, "rilievo.llh", 10};
    });
    std::string name;
    int format = 0;
    ASSERT_TRUE(FInpNomeFileConvGpsVari(name, format));
    EXPECT_TRUE(shown.open);
    EXPECT_EQ(shown.title, "Importazione File");
    EXPECT_EQ(shown.filter, "Gart       (*.PRT)|*.prt|"
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
                            "Stonex     (*.RW5)|*.rw5||");
    EXPECT_EQ(shown.initialFolder, folder());
    EXPECT_EQ(shown.fileName, "");
    EXPECT_EQ(shown.defaultExtension, "");
    EXPECT_EQ(shown.flags, OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY);
    EXPECT_EQ(name, file("rilievo.llh"));
    EXPECT_EQ(format, 8);
    EXPECT_EQ(ini.GetLong(kPersist, "GpsVari", 0), 8);
    EXPECT_EQ(ini.GetString(kPersist, "LastImportedFileGps", ""), file("rilievo.llh"));
}

TEST_F(FileChoice, import_of_a_missing_file_is_refused_then_cancelled_without_writing) {
    ScriptedUser user;
    user.onFileDialog([&](const FileDialogCall&) {
        return FileDialogAnswer{true, file("manca.rw5"), 12};
    });
    user.onMessageBox([](const MessageBoxCall&) { return IDOK; });
    user.onFileDialog(cancel);
    std::string name = "prima";
    int format = 4;
    EXPECT_FALSE(FInpNomeFileConvGpsVari(name, format));
    EXPECT_EQ(user.messageBoxes().size(), 1u);
    EXPECT_EQ(name, "prima");
    EXPECT_EQ(format, 1);
    EXPECT_EQ(settings.read(), "");
}
