// What the window shows through the module: a point's coordinates, a group's base station, the
// choice of the groups to print.
#include "GpsbookWindow.h"

#include "../../resources/resource.h"
#include "platform/automation.h"

#include <QFile>

#include <fstream>

#include <sys/stat.h>

using automation::Dialog;
using automation::FileDialogAnswer;
using automation::FileDialogCall;
using automation::MessageBoxCall;
using automation::ScriptedUser;
using gpsbooktest::GpsbookWindow;
using gpsbooktest::QtUser;

namespace {

double number(const std::string& text) {
    return std::stod(text);
}

std::vector<std::string> filesIn(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

/// The permission bits of a file.
unsigned permissions(const std::filesystem::path& path) {
    struct stat info {};
    EXPECT_EQ(::stat(path.c_str(), &info), 0) << path;
    return info.st_mode & 07777;
}

/// Chooses the groups to print: the second one.
void printSecondGroup(Dialog& d) {
    d.select(IDC_PRINT_GROUPS, 1);
    d.click(IDOK);
}

using GpsbookDisplays = GpsbookWindow;
using GpsbookPrint = GpsbookWindow;

} // namespace

TEST_F(GpsbookDisplays, point_coordinates_are_those_of_the_selected_point) {
    ASSERT_TRUE(window->selectPosition(0, 3));
    const CPunGps* shown = point(0, 3);
    ScriptedUser user;
    user.onDialog([&](Dialog& d) {
        EXPECT_EQ(d.templateId(), IDD_MOSTRA_PUN_GPS);
        EXPECT_EQ(d.text(IDC_SHOW_POINT_NAME), "101");
        EXPECT_EQ(d.text(IDC_SHOW_POINT_CODE), shown->GetCode());
        EXPECT_EQ(d.text(IDC_SHOW_POINT_GROUP), "Rilievo Saragozza");
        EXPECT_NEAR(number(d.text(IDC_SHOW_POINT_EAST)), shown->GetCoordX(), 0.0005);
        EXPECT_NEAR(number(d.text(IDC_SHOW_POINT_NORTH)), shown->GetCoordY(), 0.0005);
        d.click(IDOK);
    });
    trigger("mostraPunto");
    EXPECT_EQ(user.dialogsSeen(), std::vector<int>{IDD_MOSTRA_PUN_GPS});
    EXPECT_EQ(user.unexpected(), 0);
}

TEST_F(GpsbookDisplays, point_coordinates_need_a_point_not_a_group) {
    ASSERT_TRUE(window->selectPosition(1, -1));
    EXPECT_FALSE(action("mostraPunto")->isEnabled());
    EXPECT_TRUE(action("mostraStazioneBase")->isEnabled());
}

TEST_F(GpsbookDisplays, base_station_of_the_selected_group_or_of_the_selected_points_group) {
    ScriptedUser user;
    std::vector<std::pair<std::string, std::string>> seen;
    auto record = [&](Dialog& d) {
        EXPECT_EQ(d.templateId(), IDD_MOSTRA_GRP_GPS);
        seen.emplace_back(d.text(IDC_SHOW_BASE_STATION), d.text(IDC_SHOW_BASE_GROUP));
        d.click(IDOK);
    };
    user.onDialog(record);
    user.onDialog(record);

    ASSERT_TRUE(window->selectPosition(0, -1));
    trigger("mostraStazioneBase");
    ASSERT_TRUE(window->selectPosition(1, 5)); // 306, second group
    trigger("mostraStazioneBase");

    EXPECT_EQ(seen,
              (std::vector<std::pair<std::string, std::string>>{
                  {"B01", "Rilievo Saragozza"}, {"CS01", "Rilievo Casalecchio (da elaborare)"}}));
    EXPECT_EQ(selection(), std::pair(1, 5));
    EXPECT_EQ(user.unexpected(), 0);
}

TEST_F(GpsbookPrint, lists_every_group_in_order_and_annulla_writes_nothing) {
    const auto before = filesIn(settings.dir());
    ScriptedUser user;
    user.onDialog([](Dialog& d) {
        EXPECT_EQ(d.templateId(), IDD_SEL_GRP_LIB_GPS);
        EXPECT_EQ(
            d.items(IDC_PRINT_GROUPS),
            (std::vector<std::string>{"Rilievo Saragozza", "Rilievo Casalecchio (da elaborare)"}));
        d.click(IDCANCEL);
    });
    trigger("stampa");
    EXPECT_EQ(filesIn(settings.dir()), before);
    EXPECT_EQ(user.unexpected(), 0);
}

TEST_F(GpsbookPrint, nothing_chosen_says_so_and_asks_for_no_file) {
    ScriptedUser user;
    user.onDialog([](Dialog& d) { d.click(IDOK); });
    std::string shown;
    qt.onMessageBox([&](QMessageBox& box) {
        shown = box.text().toStdString();
        QtUser::dismiss(box);
    });
    trigger("stampa");
    EXPECT_NE(shown.find("Nessun gruppo selezionato"), std::string::npos) << shown;
}

TEST_F(GpsbookPrint, chosen_groups_replace_the_pdf_the_user_names_once_agreed) {
    std::ofstream(settings.dir() / "stampa.pdf") << "vecchia stampa";
    ScriptedUser user;
    user.onDialog(printSecondGroup);
    FileDialogCall shown;
    user.onFileDialog([&](const FileDialogCall& f) {
        shown = f;
        return FileDialogAnswer{true, (settings.dir() / "stampa").string(), 1};
    });
    user.onMessageBox([](const MessageBoxCall&) { return IDYES; });
    trigger("stampa");

    EXPECT_FALSE(shown.open);
    EXPECT_EQ(shown.title, "Stampa libretto in PDF");
    EXPECT_EQ(shown.filter, "Documenti PDF (*.pdf)|*.pdf||");
    EXPECT_EQ(shown.fileName, (settings.dir() / "rilievi.pdf").string());
    // The extension is added before the question, which names the completed file.
    ASSERT_EQ(user.messageBoxes().size(), 1u);
    EXPECT_EQ(user.messageBoxes()[0].text, "stampa.pdf esiste già.\nSostituirlo?");
    QFile written(QString::fromStdString((settings.dir() / "stampa.pdf").string()));
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_TRUE(written.read(5) == "%PDF-");
    // The printer's temporary file is gone.
    EXPECT_EQ(filesIn(settings.dir()),
              (std::vector<std::string>{"rilievi.gpsbook.json", "stampa.pdf"}));
    EXPECT_EQ(user.unexpected(), 0);
}

TEST_F(GpsbookPrint, the_pdf_gets_the_permissions_a_saved_book_gets) {
    ScriptedUser user;
    // New files: a new book and a new document alike.
    user.onFileDialog([&](const FileDialogCall&) {
        return FileDialogAnswer{true, (settings.dir() / "copia").string(), 1};
    });
    trigger("salvaConNome");
    user.onDialog(printSecondGroup);
    user.onFileDialog([&](const FileDialogCall&) {
        return FileDialogAnswer{true, (settings.dir() / "nuova.pdf").string(), 1};
    });
    trigger("stampa");
    EXPECT_EQ(permissions(settings.dir() / "nuova.pdf"),
              permissions(settings.dir() / "copia.gpsbook.json"));

    // A document replaced keeps its permissions, as a replaced book does.
    const auto kept = settings.dir() / "condivisa.pdf";
    std::ofstream(kept) << "vecchia stampa";
    ASSERT_EQ(::chmod(kept.c_str(), 0664), 0);
    user.onDialog(printSecondGroup);
    user.onFileDialog([&](const FileDialogCall&) {
        return FileDialogAnswer{true, kept.string(), 1};
    });
    user.onMessageBox([](const MessageBoxCall&) { return IDYES; });
    trigger("stampa");
    EXPECT_EQ(permissions(kept), 0664u);
    EXPECT_EQ(user.unexpected(), 0);
}
