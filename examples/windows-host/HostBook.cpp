#include "HostBook.h"

#include "core/FieldBook.h"

#include "gpsdialogs/GpsDialogs.h"
#include "platform/backend.h"
#include "platform/messagebox.h"
#include "platform/win32/Win32Backend.h"

#include <memory>
#include <utility>

namespace host {

namespace {

/// The host's side of "Note": the note shown, a line added when the person says yes.
class NoteHost : public CGestGps {
public:
    void EditaNote(CEgn* element) override {
        if (MessageBox(nullptr,
                       "Nota:\n" + element->GetNote() + "\n\nAggiungere la riga \"Rivista\"?",
                       "Note", MB_YESNO | MB_ICONQUESTION) == IDYES)
            element->SetNote(element->GetNote() + (element->GetNote().empty() ? "" : "\n") +
                             "Rivista");
    }
};

std::unique_ptr<gpsbook::FieldBook> g_book;
NoteHost g_notes;
std::vector<std::pair<int, int>> g_lines; ///< group and point (-1: the group's own line)

std::pair<int, int> at(int line) {
    return line >= 0 && line < static_cast<int>(g_lines.size()) ? g_lines[line]
                                                                : std::make_pair(0, -1);
}

} // namespace

std::string open(const std::string& path) {
    gpsbook::LoadResult loaded = gpsbook::loadFieldBook(path);
    if (!loaded.ok()) return loaded.error;
    g_book = std::move(loaded.fieldBook);
    platform::win32::useWin32Backend();
    return {};
}

void close() {
    platform::useHeadlessBackend();
    g_book.reset();
}

std::vector<std::string> lines() {
    std::vector<std::string> shown;
    g_lines.clear();
    CLibGps& lib = g_book->book;
    for (int g = 0; g < lib.GetGrpArSize(); ++g) {
        shown.push_back(lib.GetGrpAt(g)->GetNomeGrp());
        g_lines.emplace_back(g, -1);
        for (int p = 0; p < lib.GetPunArSize(g); ++p) {
            const CPunGps* point = lib.GetPunAt(g, p);
            shown.push_back("    " + point->GetNome() + "    " + point->GetSecScri());
            g_lines.emplace_back(g, p);
        }
    }
    return shown;
}

bool isPoint(int line) {
    return at(line).second >= 0;
}

std::string run(int command, int line) {
    CLibGps& lib = g_book->book;
    auto [groupIndex, pointIndex] = at(line);
    CGrpGps* group = lib.GetGrpAt(groupIndex);
    CPunGps* point = lib.GetPunAt(groupIndex, pointIndex < 0 ? 0 : pointIndex);
    double height = 1.5;
    switch (command) {
    case kEditPoint:
        if (point != nullptr &&
            FDlgModPunGps(&g_book->context, point, &lib, &g_book->gis, true, &g_notes, true))
            return "Punto " + point->GetNome() + " modificato.";
        break;
    case kShowPoint:
        if (point != nullptr) FMostraPunGps(point);
        break;
    case kNewPoint: {
        std::string name = "Nuovo", descr;
        double x = 0, y = 0, z = 0;
        if (FDlgOpzCreazGps(group, &lib, groupIndex, name, descr, x, y, z, height))
            return "Nuovo punto \"" + name + "\" nel gruppo " + std::to_string(groupIndex + 1) +
                   ", altezza d'antenna " + std::to_string(height) + ".";
        break;
    }
    case kTransfer:
        if (FDlgOpzTrasfPtGps(&lib, static_cast<int>(g_book->drawingPoints.size()), groupIndex,
                              height))
            return "Trasferimento nel gruppo " + std::to_string(groupIndex + 1) + ".";
        break;
    case kSearch: {
        std::string text;
        bool inName = true, inCode = false;
        FDatiFindPunGps(text, inName, inCode);
        if (FDlgFindPunGps(text, inName, inCode)) return "Ricerca di \"" + text + "\".";
        break;
    }
    case kRemembered: {
        std::string text;
        bool inName = true, inCode = false;
        FDatiFindPunGps(text, inName, inCode);
        return text.empty() ? "Nessuna ricerca confermata." : "Ricerca di \"" + text + "\".";
    }
    case kBaseStation:
        if (group != nullptr && FDlgModStazBase(group, &g_notes, true))
            return "Stazione base del gruppo " + group->GetNomeGrp() + " modificata.";
        break;
    case kShowBase:
        if (group != nullptr) FMostraGrpGps(group);
        break;
    case kMoveBase:
        FDlgOpzSpostaBaseGps(&lib, &g_book->drawings, groupIndex, height);
        break;
    case kPrint: {
        std::vector<CGrpGps*> groups, chosen;
        for (int g = 0; g < lib.GetGrpArSize(); ++g)
            groups.push_back(lib.GetGrpAt(g));
        if (FDlgSelGrpLibGps(&groups, &chosen))
            return std::to_string(chosen.size()) + " gruppi da stampare.";
        break;
    }
    case kLayout:
        FSelDatiFile();
        break;
    case kExportFile: {
        std::string name;
        if (FInpNomeFileAsciiLibGps(name)) return "Esportazione in " + name + ".";
        break;
    }
    case kImportFile: {
        std::string name;
        int format = 0;
        if (FInpNomeFileConvGpsVari(name, format))
            return "Importazione di " + name + " (formato " + std::to_string(format) + ").";
        break;
    }
    default:
        break;
    }
    return {};
}

} // namespace host
