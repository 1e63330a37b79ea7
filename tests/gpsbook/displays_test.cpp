// What the window shows through the module: a point's coordinates, a group's base station, the
// choice of the groups to print.
#include "GpsbookWindow.h"

#include "../../resources/resource.h"
#include "platform/automation.h"

#include "core/BookText.h"

#include <QFile>
#include <QTreeWidget>

#include <cctype>
#include <cstdlib>
#include <fstream>
#include <sstream>

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

namespace {

/// The text of a PDF, page by page, as poppler's pdftotext reads it.
std::vector<std::string> pdfPages(const std::filesystem::path& pdf) {
    const std::filesystem::path text = pdf.string() + ".txt";
    const std::string command = "pdftotext -layout '" + pdf.string() + "' '" + text.string() + "'";
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
    std::ifstream in(text, std::ios::binary);
    std::stringstream all;
    all << in.rdbuf();
    std::vector<std::string> pages;
    std::string page;
    while (std::getline(all, page, '\f'))
        if (page.find_first_not_of(" \n") != std::string::npos) pages.push_back(page);
    return pages;
}

/// The lines of a page that are not blank.
std::vector<std::string> linesOf(const std::string& page) {
    std::vector<std::string> lines;
    std::istringstream in(page);
    for (std::string line; std::getline(in, line);)
        if (line.find_first_not_of(' ') != std::string::npos) lines.push_back(line);
    return lines;
}

bool has(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

} // namespace

TEST_F(GpsbookPrint, pages_repeat_the_table_header_and_are_numbered) {
    // The first group long enough to go over several pages, the second after it: printed with
    // more and more points, so that the second group's heading comes at every height of a page
    // and once where only the heading and its lines would fit.
    ScriptedUser user;
    bool headingMoved = false;
    int added = 0;
    for (const int extra : {70, 92, 96, 100, 103}) {
        for (; added < extra; ++added) {
            CPunGps* point = book().AddPun(0);
            point->SetNome("X" + std::to_string(added));
            point->SetCodeQU(true);
        }
        user.onDialog([](Dialog& d) {
            d.select(IDC_PRINT_GROUPS, 0);
            d.select(IDC_PRINT_GROUPS, 1);
            d.click(IDOK);
        });
        const auto pdf = settings.dir() / ("lungo" + std::to_string(extra) + ".pdf");
        user.onFileDialog([&](const FileDialogCall&) {
            return FileDialogAnswer{true, pdf.string(), 1};
        });
        trigger("stampa");
        const std::vector<std::string> pages = pdfPages(pdf);
        ASSERT_GE(pages.size(), 3u);
        const std::string count = std::to_string(pages.size());
        int continued = 0;
        for (std::size_t i = 0; i < pages.size(); ++i) {
            const std::string& page = pages[i];
            const std::vector<std::string> lines = linesOf(page);
            SCOPED_TRACE(std::to_string(extra) + " points more, page " + std::to_string(i + 1) +
                         ":\n" + page);
            ASSERT_GE(lines.size(), 3u);
            EXPECT_TRUE(has(lines.back(), "Pagina " + std::to_string(i + 1) + " di " + count));
            // Every page holds a table whose header carries the units.
            EXPECT_TRUE(has(page, "Est [m]") && has(page, "Quota [m]") && has(page, "Codici"));
            // Neither a header nor a heading ends a page: the line above the page number is a
            // point's row, which starts with its number.
            const std::string& above = lines[lines.size() - 2];
            EXPECT_TRUE(
                std::isdigit(static_cast<unsigned char>(above[above.find_first_not_of(' ')])))
                << above;
            if (i > 0) {
                EXPECT_TRUE(has(lines[0], "Libretto GPS - rilievi.gpsbook.json"));
                headingMoved = headingMoved || has(lines[1], "Gruppo Rilievo Casalecchio");
            }
            if (has(page, "Gruppo Rilievo Saragozza (segue)")) ++continued;
        }
        EXPECT_GE(continued, 1) << extra;
        const std::string& first = pages.front();
        EXPECT_TRUE(has(first, "Sistema di coordinate: RDN2008 / UTM zone 32N (N-E), EPSG:6707, "
                               "ondulazione 45.470 m"));
        EXPECT_TRUE(has(first, "IL")); // 101's code
        const std::string& last = pages.back();
        EXPECT_TRUE(has(last, "Gruppo Rilievo Casalecchio (da elaborare)"));
        EXPECT_TRUE(has(last, "nessuna proiezione calcolata"));
    }
    EXPECT_TRUE(headingMoved);
    EXPECT_EQ(user.unexpected(), 0);
}

TEST_F(GpsbookDisplays, units_and_the_group_s_system_are_shown) {
    auto* tree = window->findChild<QTreeWidget*>();
    QTreeWidgetItem* head = tree->headerItem();
    EXPECT_EQ(head->text(gpsbook::ColEast).toStdString(), "Est [m]");
    EXPECT_EQ(head->text(gpsbook::ColNorth).toStdString(), "Nord [m]");
    EXPECT_EQ(head->text(gpsbook::ColHeight).toStdString(), "Quota [m]");
    EXPECT_EQ(head->text(gpsbook::ColElevation).toStdString(), "Elevazione [m]");
    EXPECT_EQ(head->text(gpsbook::ColAntenna).toStdString(), "Alt. antenna [m]");
    EXPECT_EQ(tree->topLevelItem(0)->toolTip(gpsbook::ColName).toStdString(),
              "Sistema di coordinate: RDN2008 / UTM zone 32N (N-E), EPSG:6707, ondulazione "
              "45.470 m");
    EXPECT_EQ(tree->topLevelItem(1)->toolTip(gpsbook::ColEast).toStdString(),
              "Sistema di coordinate: nessuna proiezione calcolata");

    // A system in feet: East and North in feet, heights still in metres.
    book().GetGrpAt(0)->SetProjection("+proj=tmerc +lon_0=9 +k=0.9996 +x_0=500000 +ellps=GRS80 "
                                      "+units=us-ft",
                                      0);
    ASSERT_TRUE(window->saveBook());
    ASSERT_TRUE(window->openFile(QString::fromStdString(bookPath.string())));
    head = tree->headerItem();
    EXPECT_EQ(head->text(gpsbook::ColEast).toStdString(), "Est [ftUS]");
    EXPECT_EQ(head->text(gpsbook::ColHeight).toStdString(), "Quota [m]");
    const std::string tip = tree->topLevelItem(0)->toolTip(0).toStdString();
    EXPECT_NE(tip.find("Est e Nord in ftUS, quote in m"), std::string::npos) << tip;
    EXPECT_NE(tip.find("nessun codice EPSG"), std::string::npos) << tip;

    // Groups in different units: each value says its own.
    book().GetGrpAt(1)->SetProjection("EPSG:6707", 0);
    book().GetGrpAt(1)->SetCoordXY(684000.5, 4928000.25);
    ASSERT_TRUE(window->saveBook());
    ASSERT_TRUE(window->openFile(QString::fromStdString(bookPath.string())));
    EXPECT_EQ(tree->headerItem()->text(gpsbook::ColEast).toStdString(), "Est");
    EXPECT_EQ(tree->headerItem()->text(gpsbook::ColHeight).toStdString(), "Quota [m]");
    EXPECT_TRUE(tree->topLevelItem(0)->child(0)->text(gpsbook::ColEast).endsWith(" ftUS"));
    EXPECT_EQ(tree->topLevelItem(1)->text(gpsbook::ColNorth).toStdString(), "4928000.250 m");
}
