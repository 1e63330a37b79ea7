#include "platform/filedialog.h"
#include "platform/backend.h"
#include "platform/messagebox.h"

#include <filesystem>
#include <utility>
#include <vector>

namespace fs = std::filesystem;

namespace {

struct FilterRow {
    std::string label;
    std::string patterns;
};

/// The rows of a filter list in the framework's form: "label\0patterns\0...\0\0".
std::vector<FilterRow> readFilter(const char* filter) {
    std::vector<FilterRow> rows;
    if (filter == nullptr) return rows;
    const char* at = filter;
    while (*at != '\0') {
        FilterRow row;
        row.label = at;
        at += row.label.size() + 1;
        if (*at == '\0') break; // a label without patterns ends the list
        row.patterns = at;
        at += row.patterns.size() + 1;
        rows.push_back(std::move(row));
    }
    return rows;
}

bool hasExtension(const std::string& name) {
    std::size_t dot = name.rfind('.');
    return dot != std::string::npos && dot != 0 && dot + 1 < name.size();
}

/// The extension named by the first pattern of a row ("*.txt" gives "txt"; "*.*" none).
std::string extensionOf(const FilterRow& row) {
    std::string first = row.patterns.substr(0, row.patterns.find(';'));
    while (!first.empty() && first.front() == ' ')
        first.erase(first.begin());
    while (!first.empty() && first.back() == ' ')
        first.pop_back();
    if (first.size() < 3 || first.compare(0, 2, "*.") != 0) return {};
    std::string extension = first.substr(2);
    if (extension.find_first_of("*?") != std::string::npos) return {};
    return extension;
}

const int kExclamation = MB_OK | MB_ICONEXCLAMATION;

} // namespace

CFileDialog::CFileDialog(BOOL openFileDialog, const char* defExt, const char* fileName, DWORD flags,
                         const char* filter, CWnd* parentWnd)
    : m_open(openFileDialog != FALSE), m_parent(parentWnd) {
    if (filter != nullptr) {
        m_filter = filter;
        for (char& c : m_filter)
            if (c == '|') c = '\0';
        // However the caller closed the list, it ends with two '\0' (a third one is the
        // string's own).
        m_filter.append(2, '\0');
        m_ofn.lpstrFilter = m_filter.c_str();
    }
    if (defExt != nullptr) {
        m_defExt = defExt;
        m_ofn.lpstrDefExt = m_defExt.c_str();
    }
    if (fileName != nullptr) m_fileBuffer = fileName;
    m_pathName = m_fileBuffer;
    m_ofn.lpstrFile = m_fileBuffer.c_str();
    m_ofn.Flags = flags;
}

INT_PTR CFileDialog::DoModal() {
    std::vector<FilterRow> rows = readFilter(m_ofn.lpstrFilter);
    automation::FileDialogCall call;
    call.open = m_open;
    call.title = m_ofn.lpstrTitle != nullptr && *m_ofn.lpstrTitle != '\0'
                     ? m_ofn.lpstrTitle
                     : (m_open ? "Apri" : "Salva con nome");
    for (const FilterRow& row : rows)
        call.filter += row.label + "|" + row.patterns + "|";
    if (!rows.empty()) call.filter += "|";
    call.defaultExtension = m_ofn.lpstrDefExt != nullptr ? m_ofn.lpstrDefExt : "";
    call.fileName = m_ofn.lpstrFile != nullptr ? m_ofn.lpstrFile : "";
    call.initialFolder = m_ofn.lpstrInitialDir != nullptr ? m_ofn.lpstrInitialDir : "";
    // Row 0 names a filter of the caller's own on the original; here it is the first row.
    int rowCount = static_cast<int>(rows.size());
    int index = static_cast<int>(m_ofn.nFilterIndex);
    call.filterIndex = index >= 1 && index <= rowCount ? index : 1;
    call.flags = m_ofn.Flags;

    const std::string proposed = call.fileName;
    // The folder the dialog shows: the proposed name's, else the initial one, else the current
    // folder; then that of each name tried.
    std::error_code ec;
    fs::path shown = fs::path(call.fileName).parent_path();
    if (shown.empty() || shown.is_relative()) shown = fs::path(call.initialFolder) / shown;
    if (shown.is_relative()) shown = fs::current_path(ec) / shown;
    std::string folder = shown.lexically_normal().string();
    automation::FileDialogAnswer answer = platform::askForFile(
        m_parent, call,
        [&](const std::string& chosen, int filterIndex) -> std::optional<std::string> {
            std::string accepted = acceptChoice(call, folder, chosen, filterIndex);
            if (accepted.empty()) return std::nullopt;
            return accepted;
        });
    if (!answer.ok) {
        m_pathName = proposed;
        return IDCANCEL;
    }
    m_pathName = answer.path;
    m_fileBuffer = m_pathName;
    m_ofn.lpstrFile = m_fileBuffer.c_str();
    m_ofn.nFilterIndex = static_cast<DWORD>(answer.filterIndex);
    return IDOK;
}

std::string CFileDialog::acceptChoice(const automation::FileDialogCall& call, std::string& folder,
                                      const std::string& chosen, int filterIndex) {
    if (chosen.empty()) return {}; // OK with an empty name does nothing
    std::error_code ec;
    fs::path path(chosen);
    if (path.is_relative()) path = fs::path(folder) / path; // a bare name is in the folder shown
    path = path.lexically_normal();
    std::string name = path.filename().string();
    if (name.empty() || fs::is_directory(path, ec)) {
        folder = path.string(); // a folder is opened, not chosen
        return {};
    }
    folder = path.parent_path().string();

    if (!call.defaultExtension.empty() && !hasExtension(name)) {
        std::vector<FilterRow> rows = readFilter(m_ofn.lpstrFilter);
        std::string extension;
        if (filterIndex >= 1 && filterIndex <= static_cast<int>(rows.size()))
            extension = extensionOf(rows[static_cast<std::size_t>(filterIndex - 1)]);
        if (extension.empty()) {
            extension = call.defaultExtension;
            if (extension.front() == '.') extension.erase(extension.begin());
        }
        if (!extension.empty()) {
            if (name.back() != '.') name += '.';
            name += extension;
            path.replace_filename(name);
        }
    }
    std::string full = path.string();

    if ((m_ofn.Flags & (OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST)) &&
        !fs::is_directory(path.parent_path(), ec)) {
        MessageBox(m_parent,
                   full +
                       "\nPercorso non trovato.\nVerificare che il percorso indicato sia corretto.",
                   call.title, kExclamation);
        return {};
    }
    if ((m_ofn.Flags & OFN_FILEMUSTEXIST) && !fs::exists(path, ec)) {
        MessageBox(
            m_parent,
            name + "\nFile non trovato.\nVerificare che il nome del file indicato sia corretto.",
            call.title, kExclamation);
        return {};
    }

    const std::string before = std::exchange(m_pathName, full);
    if (OnFileNameOK()) {
        m_pathName = before;
        return {};
    }
    if (!m_open && (m_ofn.Flags & OFN_OVERWRITEPROMPT) && fs::exists(path, ec) &&
        MessageBox(m_parent, name + " esiste già.\nSostituirlo?", call.title,
                   MB_YESNO | MB_ICONEXCLAMATION) != IDYES) {
        m_pathName = before;
        return {};
    }
    return full;
}

std::string CFileDialog::GetPathName() const {
    return m_pathName;
}

std::string CFileDialog::GetFileName() const {
    return fs::path(m_pathName).filename().string();
}

std::string CFileDialog::GetFileExt() const {
    std::string name = GetFileName();
    return hasExtension(name) ? name.substr(name.rfind('.') + 1) : std::string();
}

std::string CFileDialog::GetFileTitle() const {
    std::string name = GetFileName();
    return hasExtension(name) ? name.substr(0, name.rfind('.')) : name;
}
