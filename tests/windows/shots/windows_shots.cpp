// Saves every dialog template of the module as the system draws it: each export is opened on
// a small field book with the Win32 view, the scripted user saves the window and closes it.
//   windows_shots.exe FOLDER      (needs a display: Wine with its X11 driver, e.g. on Xvfb)
#include "SmallBook.h"
#include "TempSettings.h"
#include "gpsdialogs/GpsDialogs.h"
#include "gpsdialogs/interfaces/Cts.h"
#include "gpsdialogs/interfaces/Gis.h"
#include "platform/automation.h"
#include "platform/backend.h"
#include "platform/dialog.h"
#include "platform/win32/Win32Backend.h"
#include "resource.h"

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace {

struct Shot {
    int id;
    const char* name;
    std::function<void(automation::Dialog&)> prepare;
};

std::string g_folder;
int g_saved = 0;
int g_failed = 0;

void dismiss(automation::Dialog& d) {
    if (d.close() || d.click(IDCANCEL)) return;
    if (d.isOpen()) d.window().EndDialog(IDCANCEL);
}

// The handler of one shot: prepares the dialog, saves it, closes it.
std::function<void(automation::Dialog&)> take(const char* name,
                                              std::function<void(automation::Dialog&)> prepare) {
    return [name, prepare](automation::Dialog& d) {
        if (prepare) prepare(d);
        const std::string file = g_folder + "\\" + name + ".bmp";
        if (platform::win32::saveShot(d.window(), file)) {
            ++g_saved;
        } else {
            ++g_failed;
            std::fprintf(stderr, "windows_shots: could not save %s\n", file.c_str());
        }
        dismiss(d);
    };
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: windows_shots FOLDER\n");
        return 2;
    }
    g_folder = argv[1];
    platform::win32::useWin32Backend();
    {
        testsupport::TempSettings settings;
        testsupport::SmallBook sample;
        sample.book.m_OpzListDisEgn.AddOpzCom("Pozzetto");
        CCts cts;
        gis::CLibGis gis;
        // A manhole theme, the first point's entity in it.
        gis::CTheme* manholes = gis.CreateTheme("Pozzetti", gis::ENT_TYPE_POINT);
        gis::CDBTable* table = gis.GetTable(manholes);
        gis.AddField(table, "Nome", gis::FieldDataType::Text, gis::FIELD_KIND_POINT_NAME);
        gis.AddField(table, "Profondita", gis::FieldDataType::Double);
        gis.AddField(table, "Ispezionato", gis::FieldDataType::Bool);
        gis.AddField(table, "Ultima ispezione", gis::FieldDataType::Date);
        CPunGps* first = sample.first;
        gis::CEnt* manhole = gis.CreateEntPoint(
            manholes, {first->GetCoordX(), first->GetCoordY(), first->GetCoordZ()});
        kit::CResultRow* row = gis.GetRow(manhole);
        kit::CPolyValue pointName(kit::String("101")), depth(1.35), inspected(true),
            inspection(kit::Date{2024, 5, 17});
        gis.SetRowValue(row, 0, pointName);
        gis.SetRowValue(row, 1, depth);
        gis.SetRowValue(row, 2, inspected);
        gis.SetRowValue(row, 3, inspection);
        first->SetEntVert(gis.GetEntVert(gis.GetEntPart(manhole, 0), 0));
        automation::ScriptedUser user;
        user.onMessageBox([](const automation::MessageBoxCall&) { return IDOK; });

        const struct {
            const char* name;
            int page;
        } pages[] = {{"point-editor", -1},       {"point-page-field-book", 0},
                     {"point-page-absolute", 1}, {"point-page-baseline", 2},
                     {"point-page-codes", 3},    {"point-page-gis", 4}};
        for (const auto& p : pages) {
            const int index = p.page < 0 ? 0 : p.page;
            user.onDialog(take(p.name, [index](automation::Dialog& d) { d.selectPage(index); }));
            FDlgModPunGps(&cts, sample.first, &sample.book, &gis, true, nullptr, true);
        }
        int group = 0;
        double height = 1.5;
        std::string name = "102", descr = "Nuovo";
        double x = 686750.0, y = 4928350.0, z = 94.0;
        user.onDialog(take("transfer-options", nullptr));
        FDlgOpzTrasfPtGps(&sample.book, 3, group, height);
        user.onDialog(take("creation-options", nullptr));
        FDlgOpzCreazGps(sample.projected, &sample.book, group, name, descr, x, y, z, height);
        user.onDialog(take("point-coordinates", nullptr));
        FMostraPunGps(sample.first);
        user.onDialog(take("base-station-coordinates", nullptr));
        FMostraGrpGps(sample.projected);
        std::string text = "PF";
        bool inName = true, inCode = false;
        user.onDialog(take("search", nullptr));
        FDlgFindPunGps(text, inName, inCode);
        std::vector<CGrpGps*> groups{sample.projected, sample.plain}, chosen;
        user.onDialog(take("print-groups", [](automation::Dialog& d) { d.select(2080, 0); }));
        FDlgSelGrpLibGps(&groups, &chosen);
        user.onDialog(take("move-base-station", nullptr));
        FDlgOpzSpostaBaseGps(&sample.book, nullptr, group, height);
        user.onDialog(take("export-fields", nullptr));
        FSelDatiFile();
        user.onDialog(take("base-station-editor", nullptr));
        FDlgModStazBase(sample.projected, nullptr, true);
    }
    platform::useHeadlessBackend();
    std::printf("windows_shots: %d saved, %d failed\n", g_saved, g_failed);
    return g_failed == 0 && g_saved == 15 ? 0 : 1;
}
