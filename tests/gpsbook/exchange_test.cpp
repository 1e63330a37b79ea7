// "Esporta ASCII…", "Formato esportazione…" and "Importa…": the window's side of the module's
// export layout and file choices.
#include "GpsbookWindow.h"

#include "../../resources/resource.h"
#include "platform/automation.h"

#include <QMessageBox>
#include <QStatusBar>

#include <fstream>
#include <iterator>

using automation::Dialog;
using automation::FileDialogAnswer;
using automation::FileDialogCall;
using automation::ScriptedUser;
using gpsbooktest::GpsbookWindow;

namespace {

using GpsbookExchange = GpsbookWindow;

std::string readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

} // namespace

TEST_F(GpsbookExchange,
       the_layout_chosen_in_the_dialog_shapes_the_export_and_import_reads_it_back) {
    const std::filesystem::path out = settings.dir() / "primo.txt";
    ScriptedUser user;
    user.onDialog([](Dialog& d) {
        EXPECT_EQ(d.caption(), "Selezione campi");
        d.select(IDC_ANGLE_FORMAT, 3);
        d.click(IDC_SEP_SPACE);
        d.click(IDC_QUOTES_NO);
        automation::Grid grid = d.grid(IDC_FIELD_GRID);
        while (grid.rows() > 3) { // keep "Nome", "Descrizione", "Latitudine Mis."
            grid.click(3, 0);
            d.click(IDC_REMOVE_FIELD);
        }
        grid.edit(2, 1, "9");
        d.click(IDC_LAYOUT_OK);
    });
    trigger("formatoEsportazione");

    ASSERT_TRUE(window->selectPosition(0, -1));
    user.onFileDialog([&](const FileDialogCall& call) {
        EXPECT_EQ(call.title, "CREA FILE LIBRETTO PUNTI GPS");
        EXPECT_EQ(call.fileName, "rilievi.txt");
        return FileDialogAnswer{true, out.string(), 1};
    });
    // Descriptions with blanks cannot go without quotes: nothing is written.
    qt.onMessageBox([](QMessageBox& box) {
        EXPECT_TRUE(box.text().contains("Esportazione non eseguita")) << box.text().toStdString();
        box.accept();
    });
    trigger("esportaAscii");
    EXPECT_FALSE(std::filesystem::exists(out));

    user.onDialog([](Dialog& d) {
        d.click(IDC_QUOTES_YES);
        d.click(IDC_LAYOUT_OK);
    });
    trigger("formatoEsportazione");
    user.onFileDialog([&](const FileDialogCall&) {
        return FileDialogAnswer{true, out.string(), 1};
    });
    trigger("esportaAscii");
    const std::string text = readFile(out);
    const int points = book().GetPunArSize(0);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), points);
    const std::string start =
        "\"" + point(0, 0)->GetNome() + "\" \"" + point(0, 0)->GetCode() + "\" ";
    EXPECT_EQ(text.substr(0, start.size()), start);
    EXPECT_TRUE(window->statusBar()->currentMessage().contains("punti esportati"));

    const int groups = book().GetGrpArSize();
    user.onFileDialog([&](const FileDialogCall& call) {
        EXPECT_EQ(call.title, "Importazione File");
        return FileDialogAnswer{true, out.string(), 4}; // a *.TXT row
    });
    trigger("importa");
    ASSERT_EQ(book().GetGrpArSize(), groups + 1);
    EXPECT_EQ(book().GetGrpAt(groups)->GetNomeGrp(), "primo");
    ASSERT_EQ(book().GetPunArSize(groups), points);
    EXPECT_EQ(point(groups, 0)->GetNome(), point(0, 0)->GetNome());
    EXPECT_NEAR(point(groups, 0)->GetLat(), point(0, 0)->GetLat(), 1e-9 * M_PI / 180.0 * 5);
    EXPECT_TRUE(window->isWindowModified());
    EXPECT_EQ(selection(), std::pair(groups, -1));
    EXPECT_EQ(user.unexpected(), 0);
}

TEST_F(GpsbookExchange, a_format_without_reader_says_so_and_leaves_the_book_alone) {
    const std::filesystem::path file = settings.dir() / "rilievo.prt";
    std::ofstream(file) << "dati\n";
    const int groups = book().GetGrpArSize();
    ScriptedUser user;
    user.onFileDialog([&](const FileDialogCall&) {
        return FileDialogAnswer{true, file.string(), 1};
    });
    qt.onMessageBox([](QMessageBox& box) {
        EXPECT_EQ(box.text().toStdString(),
                  "Il formato \"Gart\" non è ancora supportato: nessun punto importato.");
        box.accept();
    });
    trigger("importa");
    EXPECT_EQ(book().GetGrpArSize(), groups);
    EXPECT_FALSE(window->isWindowModified());
}

TEST_F(GpsbookExchange, a_bad_line_of_an_rw5_file_is_named_and_nothing_is_added) {
    const std::filesystem::path file = settings.dir() / "rilievo.rw5";
    std::ofstream(file) << "GPS,PN1,LA44.294212,LN11.203012,EL95.0\nGPS,PN2,LA44.2,LN11.2,EL9\n";
    const int groups = book().GetGrpArSize();
    ScriptedUser user;
    user.onFileDialog([&](const FileDialogCall&) {
        return FileDialogAnswer{true, file.string(), 12};
    });
    qt.onMessageBox([](QMessageBox& box) {
        EXPECT_EQ(box.text().toStdString(), "Riga 2: valore non valido: \"LA44.2\".");
        box.accept();
    });
    trigger("importa");
    EXPECT_EQ(book().GetGrpArSize(), groups);
}
