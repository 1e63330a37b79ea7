// The exported functions: each follows the export frame (Module.h) around its dialog.
#include "gpsdialogs/GpsDialogs.h"

#include "Module.h"
#include "basestation/DlgModStazBase.h"
#include "basestation/DlgSelBaseGps.h"
#include "basestation/MostraGrpGps.h"
#include "creation/DlgOpzCreaPtGps.h"
#include "creation/DlgOpzTrasfPtGps.h"
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

// ---- base station and point creation ---------------------------------------------------------

bool FDlgModStazBase(CGrpGps* group, CGestGps* host, bool full) {
    if (group == nullptr) return false;
    return RunDialogExport<CDlgModStazBase>(
        [&](CDlgModStazBase& dialog) { dialog.Load(group, host, full); },
        [](CDlgModStazBase&) {}); // the dialog has changed the group itself
}

void FDlgOpzSpostaBaseGps(CLibGps* lib, CDrawEng* eng, int& grpIndex, double& antHeight) {
    // The choice is handed back whatever ended the dialog: -1 says there was none.
    grpIndex = -1;
    if (lib == nullptr || !IsModuleRegistered()) return;
    CResourceScope scope(ExtensionModule().hResource);
    CDlgSelBaseGps dialog;
    dialog.Load(lib, eng);
    dialog.DoModal();
    grpIndex = dialog.ChosenGroup();
    antHeight = dialog.ChosenAntennaHeight();
}

bool FDlgOpzCreazGps(CGrpGps* group, CLibGps* lib, int& grpIndex, std::string& name,
                     std::string& descr, double& x, double& y, double& z, double& antHeight) {
    if (lib == nullptr) return false;
    return RunDialogExport<CDlgOpzCreaPtGps>(
        [&](CDlgOpzCreaPtGps& dialog) { dialog.Load(group, lib, name, descr, x, y, z); },
        [&](CDlgOpzCreaPtGps& dialog) {
            dialog.WriteBack(grpIndex, name, descr, x, y, z, antHeight);
        });
}

bool FDlgOpzTrasfPtGps(CLibGps* lib, int count, int& grpIndex, double& antHeight) {
    if (lib == nullptr) return false;
    return RunDialogExport<CDlgOpzTrasfPtGps>(
        [&](CDlgOpzTrasfPtGps& dialog) { dialog.Load(lib, count); },
        [&](CDlgOpzTrasfPtGps& dialog) { dialog.WriteBack(grpIndex, antHeight); });
}

// --- Field-book exchange: the ASCII export layout and the export and import file choice ------

bool FSelDatiFile() {
    return RunDialogExport<CDlgSelDatiFile>([](CDlgSelDatiFile&) {}, [](CDlgSelDatiFile&) {},
                                            SettingsRole::Result);
}

// The file choices use the platform's standard file dialogs and need none of the module's
// templates, so they leave the current resources alone.
bool FInpNomeFileAsciiLibGps(std::string& name) {
    return ChooseAsciiExportFile(name);
}

bool FInpNomeFileConvGpsVari(std::string& name, int& format) {
    return ChooseImportFile(name, format);
}
