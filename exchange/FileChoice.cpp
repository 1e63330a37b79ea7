#include "FileChoice.h"

#include "frame/Module.h"
#include "gpsdialogs/interfaces/Kit.h"
#include "platform/filedialog.h"
#include "resource.h"

#include <array>
#include <cctype>

namespace {

constexpr int kLastFileSize = 1023;

// The remembered file among four keys, reduced to its folder.
std::string rememberedFolder(const char* key1, const char* key2, const char* key3,
                             const char* key4) {
    char buffer[kLastFileSize + 1] = {};
    CIniFile().GetLastFile(kPersistSection, key1, key2, key3, key4, buffer, kLastFileSize);
    std::string folder = buffer;
    EstraiIlPathFile(folder);
    return folder;
}

bool endsWithTxt(const std::string& name) {
    if (name.size() < 4) return false;
    std::string tail = name.substr(name.size() - 4);
    for (char& c : tail)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return tail == ".txt";
}

const char* const kImportFilter = "Gart       (*.PRT)|*.prt|"
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
                                  "Stonex     (*.RW5)|*.rw5||";

// The format code of each filter row (row 1 first): rows 8 to 10 do not follow their order.
constexpr std::array<int, 12> kRowFormat = {1, 2, 3, 4, 5, 6, 7, 9, 10, 8, 11, 12};

} // namespace

bool ChooseAsciiExportFile(std::string& name) {
    const std::string folder = rememberedFolder(
        "LastExportedLibrettoLBC", "LastImportedLibrettoLBC", "LastStoredFile", "LastLoadedFile");
    if (name.empty())
        name = "doc";
    else
        EstraiIlNomeFile(name);
    // A name that already says ".txt" keeps the one it has.
    const std::string proposed = folder + name + (endsWithTxt(name) ? "" : ".txt");

    const std::string title = LoadModuleString(IDS_EXPORT_FILE_TITLE);
    CFileDialog dialog(FALSE, ".txt", proposed.c_str(),
                       OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY,
                       "File ASCII (*.TXT)|*.txt||");
    dialog.m_ofn.lpstrTitle = title.c_str();
    if (dialog.DoModal() != IDOK) return false;
    name = dialog.GetPathName();
    CIniFile().WriteString(kPersistSection, "LastExportedLibrettoLBC", name);
    return true;
}

bool ChooseImportFile(std::string& name, int& format) {
    format = 1;
    const int remembered = CIniFile().GetLong(kPersistSection, "GpsVari", 1);
    DWORD row = 1;
    for (size_t i = 0; i < kRowFormat.size(); ++i)
        if (kRowFormat[i] == remembered) {
            row = static_cast<DWORD>(i + 1);
            break;
        }
    const std::string folder = rememberedFolder("LastImportedFileGps", "LastExportedFileGps",
                                                "LastLoadedFile", "LastStoredFile");

    const std::string title = LoadModuleString(IDS_IMPORT_FILE_TITLE);
    CFileDialog dialog(TRUE, nullptr, nullptr,
                       OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY, kImportFilter);
    dialog.m_ofn.lpstrTitle = title.c_str();
    dialog.m_ofn.nFilterIndex = row;
    if (!folder.empty()) dialog.m_ofn.lpstrInitialDir = folder.c_str();
    if (dialog.DoModal() != IDOK) return false;

    name = dialog.GetPathName();
    const DWORD shown = dialog.m_ofn.nFilterIndex;
    format = shown >= 1 && shown <= kRowFormat.size() ? kRowFormat[shown - 1] : 1;
    CIniFile settings;
    settings.WriteString(kPersistSection, "LastImportedFileGps", name);
    settings.WriteLong(kPersistSection, "GpsVari", format);
    return true;
}
