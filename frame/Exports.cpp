// The exported functions: each follows the export frame (Module.h) around its dialog.
#include "gpsdialogs/GpsDialogs.h"

#include "Module.h"
#include "basestation/MostraGrpGps.h"
#include "exchange/DlgSelDatiFile.h"
#include "exchange/DlgSelGrpLibGps.h"
#include "exchange/FileChoice.h"
#include "gpsdialogs/interfaces/LibGps.h"
#include "pointedit/NewDlgModPunGps.h"
#include "search/DlgFindPun.h"
#include "search/MostraPunGps.h"

bool FDlgModPunGps(CCts* cts, CPunGps* point, CLibGps* lib, gis::CLibGis* gis, bool editCoord,
                   CGestGps* host, bool full) {
    if (cts == nullptr || point == nullptr || lib == nullptr || gis == nullptr ||
        point->m_pGrp == nullptr)
        return false;
    return RunDialogExport<CNewDlgModPunGps>(
        [&](CNewDlgModPunGps& dialog) { dialog.Load(cts, point, lib, gis, editCoord, host, full); },
        [](CNewDlgModPunGps& dialog) { dialog.CopyBack(); });
}

bool FDlgFindPunGps(std::string& text, bool& inName, bool& inCode) {
    return RunDialogExport<CDlgFindPun>(
        [&](CDlgFindPun& dialog) { dialog.Load(text); },
        [&](CDlgFindPun& dialog) { dialog.WriteBack(text, inName, inCode); });
}

void FDatiFindPunGps(std::string& text, bool& inName, bool& inCode) {
    const RememberedSearch& remembered = TheRememberedSearch();
    text = remembered.text;
    inName = remembered.inName;
    inCode = remembered.inCode;
}

bool FMostraPunGps(CPunGps* point) {
    if (point == nullptr) return false;
    return RunDialogExport<CMostraPunGps>([&](CMostraPunGps& dialog) { dialog.Load(*point); },
                                          [](CMostraPunGps&) {});
}

bool FMostraGrpGps(CGrpGps* group) {
    if (group == nullptr) return false;
    return RunDialogExport<CMostraGrpGps>([&](CMostraGrpGps& dialog) { dialog.Load(*group); },
                                          [](CMostraGrpGps&) {});
}

bool FDlgSelGrpLibGps(std::vector<CGrpGps*>* groups, std::vector<CGrpGps*>* chosen) {
    return RunDialogExport<CDlgSelGrpLibGps>(
        [&](CDlgSelGrpLibGps& dialog) { dialog.SetGroups(groups); },
        [&](CDlgSelGrpLibGps& dialog) {
            if (chosen == nullptr) return;
            chosen->clear();
            chosen->insert(chosen->end(), dialog.ChosenGroups().begin(),
                           dialog.ChosenGroups().end());
        });
}

// --- Field-book exchange: the ASCII export layout and the export and import file choice ------

bool FSelDatiFile() {
    return RunDialogExport<CDlgSelDatiFile>([](CDlgSelDatiFile&) {}, [](CDlgSelDatiFile&) {});
}

// The file choices use the platform's standard file dialogs and need none of the module's
// templates, so they leave the current resources alone.
bool FInpNomeFileAsciiLibGps(std::string& name) {
    return ChooseAsciiExportFile(name);
}

bool FInpNomeFileConvGpsVari(std::string& name, int& format) {
    return ChooseImportFile(name, format);
}
