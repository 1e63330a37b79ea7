// What the window shows through the module: a point's coordinates, a group's base station, the
// choice of the groups to print.
#include "GpsbookWindow.h"

#include "../../resources/resource.h"
#include "platform/automation.h"

#include <QFile>

#include <fstream>

using automation::Dialog;
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
    user.onDialog([](Dialog& d) {
        d.select(IDC_PRINT_GROUPS, 1);
        d.click(IDOK);
    });
    qt.onFileDialog([&](QFileDialog& dialog) {
        EXPECT_EQ(dialog.acceptMode(), QFileDialog::AcceptSave);
        QtUser::choose(dialog, QString::fromStdString((settings.dir() / "stampa").string()));
    });
    std::string asked; // the name was completed after the file dialog: asked here
    qt.onMessageBox([&](QMessageBox& box) {
        asked = box.text().toStdString();
        box.button(QMessageBox::Yes)->click();
    });
    trigger("stampa");

    EXPECT_NE(asked.find("stampa.pdf"), std::string::npos) << asked;
    QFile written(QString::fromStdString((settings.dir() / "stampa.pdf").string()));
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_TRUE(written.read(5) == "%PDF-");
    // The printer's temporary file is gone.
    EXPECT_EQ(filesIn(settings.dir()),
              (std::vector<std::string>{"rilievi.gpsbook.json", "stampa.pdf"}));
}
