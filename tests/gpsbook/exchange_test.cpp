// "Esporta ASCII…", "Formato esportazione…", "Importa…" and "Importa ASCII di gpsbook…": the
// window's side of the module's export layout and file choices, and of the importers.
#include "GpsbookWindow.h"

#include "../../resources/resource.h"
#include "platform/automation.h"

#include <QMessageBox>
#include <QStatusBar>

#include <fstream>
#include <new>

#include <iterator>
#include <sys/stat.h>

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
        EXPECT_EQ(call.title, "Importa ASCII di gpsbook");
        EXPECT_EQ(call.initialFolder, out.parent_path().string()); // where the export went
        return FileDialogAnswer{true, out.string(), 1};
    });
    trigger("importaAscii");
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

TEST_F(GpsbookExchange, a_file_that_does_not_fit_the_layout_is_refused_naming_the_line) {
    const std::filesystem::path file = settings.dir() / "altro.txt";
    // Written with the default layout (15 columns), read after the layout became 2 columns.
    std::ofstream(file) << "\"P1\",\"a\"\r\n\"P2\",\"b\",\"c\"\r\n";
    CIniFile ini;
    ini.WriteLong("FILE ASCI", "NumCampi", 2);
    ini.WriteLong("FILE ASCI", "Campo-0", 0);
    ini.WriteLong("FILE ASCI", "Campo-1", 1);
    const int groups = book().GetGrpArSize();
    ScriptedUser user;
    user.onFileDialog([&](const FileDialogCall&) {
        return FileDialogAnswer{true, file.string(), 1};
    });
    qt.onMessageBox([](QMessageBox& box) {
        EXPECT_EQ(box.text().toStdString(),
                  "Riga 2: attesi 2 campi separati da virgola (Nome, Descrizione), trovati 3: il "
                  "file non corrisponde al formato di esportazione scelto.");
        box.accept();
    });
    trigger("importaAscii");
    EXPECT_EQ(book().GetGrpArSize(), groups);

    // A file without a point adds no group either, and says why.
    std::ofstream(file, std::ios::trunc) << "\r\n\r\n";
    user.onFileDialog([&](const FileDialogCall&) {
        return FileDialogAnswer{true, file.string(), 1};
    });
    qt.onMessageBox([](QMessageBox& box) {
        EXPECT_EQ(box.text().toStdString(), "Nessun punto importato: il file ha solo righe vuote.");
        box.accept();
    });
    trigger("importaAscii");
    EXPECT_EQ(book().GetGrpArSize(), groups);
    EXPECT_FALSE(window->isWindowModified());
}

TEST_F(GpsbookExchange, a_latin1_receiver_file_is_read_said_and_the_book_saves_and_reopens) {
    const std::filesystem::path file = settings.dir() / "Localit\xE0.rw5";
    std::ofstream(file) << "MO,AD0,UN1\rLS,HR2.000\rGPS,PN1,LA45.000000,LN9.000000,EL100.0,"
                           "--Perch\xE9\r";
    ScriptedUser user;
    user.onFileDialog([&](const FileDialogCall&) {
        return FileDialogAnswer{true, file.string(), 12};
    });
    qt.onMessageBox([](QMessageBox& box) {
        EXPECT_EQ(box.text().toStdString(),
                  "1 punti importati nel gruppo \"Località\".\n\nIl file non è in UTF-8: i testi "
                  "sono stati letti come Latin-1 (ISO 8859-1).");
        box.accept();
    });
    trigger("importa");
    const int group = book().GetGrpArSize() - 1;
    EXPECT_EQ(book().GetGrpAt(group)->GetNomeGrp(), "Località");
    EXPECT_EQ(point(group, 0)->GetCode(), "Perché");
    EXPECT_NEAR(point(group, 0)->GetElev() - point(group, 0)->GetAltAnt(), 98.0, 1e-9);

    trigger("salva");
    EXPECT_FALSE(window->isWindowModified());
    gpsbook::LoadResult again = gpsbook::loadFieldBook(bookPath.string());
    ASSERT_TRUE(again.ok()) << again.error;
    EXPECT_EQ(again.fieldBook->book.GetPunAt(group, 0)->GetCode(), "Perché");
}

TEST_F(GpsbookExchange, a_pipe_is_refused_and_an_exception_in_an_action_keeps_the_book) {
    const std::filesystem::path fifo = settings.dir() / "coda.rw5";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const int groups = book().GetGrpArSize();
    ScriptedUser user;
    user.onFileDialog([&](const FileDialogCall&) {
        return FileDialogAnswer{true, fifo.string(), 12};
    });
    qt.onMessageBox([&](QMessageBox& box) {
        EXPECT_EQ(box.text().toStdString(),
                  "Impossibile importare il file \"" + fifo.string() +
                      "\": non è un file ordinario (è un dispositivo, una pipe o un socket).");
        box.accept();
    });
    trigger("importa");
    EXPECT_EQ(book().GetGrpArSize(), groups);

    // Whatever escapes an action is reported, and the window goes on with its book.
    user.onFileDialog([](const FileDialogCall&) -> FileDialogAnswer { throw std::bad_alloc(); });
    qt.onMessageBox([](QMessageBox& box) {
        EXPECT_EQ(box.text().toStdString(),
                  "Operazione \"Importa\" non riuscita (memoria insufficiente). Il libretto è "
                  "rimasto aperto: salvarlo con un altro nome prima di continuare.");
        box.accept();
    });
    trigger("importa");
    EXPECT_EQ(book().GetGrpArSize(), groups);
    EXPECT_EQ(qt.pending(), 0);
}
