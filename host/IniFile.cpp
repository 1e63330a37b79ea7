// The host's settings file: Windows-profile text, read afresh on every call, replaced
// atomically on every write (or once for a batch of writes).
#include "gpsdialogs/interfaces/Kit.h"

#include "TextNumbers.h"
#include "gpshost/FileReplace.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdlib>
#include <filesystem>
#include <limits>
#include <mutex>
#include <string_view>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;
using hostfile::toPath;
using hostutil::equalsNoCase;
using hostutil::trimBlanks;
#ifdef _WIN32
using hostfile::narrow;
using hostfile::widen;
#endif

namespace {

std::mutex g_pathMutex;
std::string g_path; // empty: the default place

#ifdef _WIN32
// The user's roaming application data, where Windows programs keep their settings.
std::string defaultPath() {
    if (const wchar_t* appData = ::_wgetenv(L"APPDATA"); appData && *appData)
        return narrow(appData) + "\\gpsdialogs.ini";
    return "gpsdialogs.ini";
}
#else
// The XDG rules: $XDG_CONFIG_HOME only when it is an absolute path, else ~/.config.
std::string defaultPath() {
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg == '/')
        return std::string(xdg) + "/gpsdialogs.ini";
    if (const char* home = std::getenv("HOME"); home && *home)
        return std::string(home) + "/.config/gpsdialogs.ini";
    return "gpsdialogs.ini";
}
#endif

// A settings file holds a few hundred keys; one larger than this is not one, and reading it on
// every call would freeze the dialogs: it is treated as unreadable (defaults, and no write
// replaces it).
constexpr std::uint64_t kMaxSettingsBytes = 1u << 20;

bool isDefaultPath(const std::string& path) {
    std::lock_guard<std::mutex> lock(g_pathMutex);
    return g_path.empty() && path == defaultPath();
}

#ifdef _WIN32
// The default folder is normally there on Windows; made on the first write when it is not.
void makeDefaultFolder(const fs::path& folder) {
    std::error_code ec;
    if (!folder.empty()) fs::create_directories(folder, ec);
}

enum class ReadResult { Ok, Missing, Error };

ReadResult readFile(const std::string& path, std::string& out) {
    out.clear();
    // Shared for every access, so that a reader never stands in the way of a writer's replace.
    HANDLE file = ::CreateFileW(widen(path).c_str(), GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        const DWORD err = ::GetLastError();
        return err == ERROR_FILE_NOT_FOUND || err == ERROR_PATH_NOT_FOUND ? ReadResult::Missing
                                                                          : ReadResult::Error;
    }
    // Anything but a file on disk (a pipe, a console, a folder) is refused.
    BY_HANDLE_FILE_INFORMATION info{};
    if (::GetFileType(file) != FILE_TYPE_DISK || !::GetFileInformationByHandle(file, &info) ||
        (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ||
        ((static_cast<std::uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow) >
            kMaxSettingsBytes) {
        ::CloseHandle(file);
        return ReadResult::Error;
    }
    char buffer[16384];
    for (;;) {
        DWORD n = 0;
        if (!::ReadFile(file, buffer, sizeof buffer, &n, nullptr)) {
            ::CloseHandle(file);
            out.clear();
            return ReadResult::Error;
        }
        if (n == 0) break;
        if (out.size() + n > kMaxSettingsBytes) { // grown since it was measured
            ::CloseHandle(file);
            out.clear();
            return ReadResult::Error;
        }
        out.append(buffer, n);
    }
    ::CloseHandle(file);
    return ReadResult::Ok;
}

#else
// The configuration folder may not exist yet on a new account; as the XDG rules ask, it is
// made on the first write, private to the user. Only the default place is made: a folder the
// host named is the host's to provide.
void makeDefaultFolder(const fs::path& folder) {
    std::error_code ec;
    if (folder.empty() || fs::is_directory(folder, ec)) return;
    fs::path partial;
    for (const fs::path& part : folder) {
        partial /= part;
        ::mkdir(partial.c_str(), 0700);
    }
}

enum class ReadResult { Ok, Missing, Error };

ReadResult readFile(const std::string& path, std::string& out) {
    out.clear();
    // Non-blocking, so that a FIFO or device in place of the file cannot hang the caller;
    // anything but a regular file is refused below.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return errno == ENOENT ? ReadResult::Missing : ReadResult::Error;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) ||
        static_cast<std::uint64_t>(st.st_size) > kMaxSettingsBytes) {
        ::close(fd);
        return ReadResult::Error;
    }
    char buffer[16384];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n == 0) break;
        if (n < 0) {
            if (errno == EINTR) continue;
            ::close(fd);
            out.clear();
            return ReadResult::Error;
        }
        if (out.size() + static_cast<std::size_t>(n) > kMaxSettingsBytes) {
            ::close(fd);
            out.clear();
            return ReadResult::Error;
        }
        out.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(fd);
    return ReadResult::Ok;
}
#endif

// One line of the file: [begin, textEnd) is its text, [textEnd, end) its line end.
struct Line {
    std::size_t begin;
    std::size_t textEnd;
    std::size_t end;
};

std::vector<Line> splitLines(const std::string& content) {
    std::vector<Line> lines;
    std::size_t pos = 0;
    while (pos < content.size()) {
        const std::size_t nl = content.find('\n', pos);
        const std::size_t end = nl == std::string::npos ? content.size() : nl + 1;
        std::size_t textEnd = nl == std::string::npos ? content.size() : nl;
        if (textEnd > pos && content[textEnd - 1] == '\r') --textEnd;
        lines.push_back({pos, textEnd, end});
        pos = end;
    }
    return lines;
}

enum class Kind { Other, Section, Key };

struct Parsed {
    Kind kind = Kind::Other;
    std::string_view name;
    std::string_view value;
    std::size_t valueStart = 0; // offset of the raw value within the line's text
};

Parsed parseLine(std::string_view text, bool firstLine) {
    Parsed p;
    std::size_t bom = 0;
    if (firstLine && text.substr(0, 3) == "\xEF\xBB\xBF") bom = 3;
    const std::string_view t = trimBlanks(text.substr(bom));
    if (t.empty() || t[0] == ';' || t[0] == '#') return p;
    if (t[0] == '[') {
        const std::size_t close = t.find(']');
        if (close == std::string_view::npos) return p;
        p.kind = Kind::Section;
        p.name = trimBlanks(t.substr(1, close - 1));
        return p;
    }
    const std::size_t eq = text.find('=');
    if (eq == std::string_view::npos) return p;
    p.name = trimBlanks(text.substr(bom, eq - bom));
    if (p.name.empty()) return p;
    p.kind = Kind::Key;
    std::size_t v = eq + 1;
    while (v < text.size() && hostutil::isBlank(text[v]))
        ++v;
    p.valueStart = v;
    p.value = trimBlanks(text.substr(v));
    return p;
}

std::string unquote(std::string_view value) {
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
        value = value.substr(1, value.size() - 2);
    return std::string(value);
}

std::string quoteIfNeeded(const std::string& value) {
    if (value.empty()) return value;
    const bool blankAtEnds = hostutil::isBlank(value.front()) || hostutil::isBlank(value.back());
    const bool quoted = value.size() >= 2 && value.front() == '"' && value.back() == '"';
    return (blankAtEnds || quoted) ? "\"" + value + "\"" : value;
}

bool hasLineBreakOrNul(std::string_view s) {
    return s.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

// The value of section/key as written in the file (unquoted); false when absent.
bool findValue(const std::string& content, std::string_view section, std::string_view key,
               std::string& value) {
    const std::string_view sec = trimBlanks(section);
    const std::string_view k = trimBlanks(key);
    bool inSection = false;
    bool first = true;
    // Walks the lines in place: a read allocates nothing per line.
    for (std::size_t pos = 0; pos < content.size();) {
        const std::size_t nl = content.find('\n', pos);
        const std::size_t end = nl == std::string::npos ? content.size() : nl + 1;
        std::size_t textEnd = nl == std::string::npos ? content.size() : nl;
        if (textEnd > pos && content[textEnd - 1] == '\r') --textEnd;
        const std::string_view text(content.data() + pos, textEnd - pos);
        pos = end;
        if (!inSection && !first) {
            // Outside the wanted section only section headers matter. Blanks are those of
            // parseLine, so that reading and writing agree on where a section starts.
            const std::string_view t = trimBlanks(text);
            if (t.empty() || t[0] != '[') continue;
        }
        const Parsed p = parseLine(text, first);
        first = false;
        if (p.kind == Kind::Section)
            inSection = equalsNoCase(p.name, sec);
        else if (p.kind == Kind::Key && inSection && equalsNoCase(p.name, k)) {
            value = unquote(p.value);
            return true;
        }
    }
    return false;
}

// The text of the file once the value of section/key is \p rawValue; false when the names or
// the value cannot be stored in one line.
bool applyWrite(std::string& content, std::string_view section, std::string_view key,
                const std::string& rawValue) {
    const std::string_view sec = trimBlanks(section);
    const std::string_view k = trimBlanks(key);
    if (sec.empty() || k.empty() || hasLineBreakOrNul(section) || hasLineBreakOrNul(key) ||
        hasLineBreakOrNul(rawValue) || sec.find(']') != std::string_view::npos ||
        k.find('=') != std::string_view::npos || k[0] == '[' || k[0] == ';' || k[0] == '#')
        return false;
    const std::string value = quoteIfNeeded(rawValue);

    const std::vector<Line> lines = splitLines(content);
    const std::size_t firstNl = content.find('\n');
    const std::string eol =
        (firstNl != std::string::npos && firstNl > 0 && content[firstNl - 1] == '\r') ? "\r\n"
                                                                                      : "\n";
    bool inSection = false;
    bool inFirstSection = false;
    bool firstSectionSeen = false;
    std::size_t insertAfter = std::string::npos; // last key line (or header) of first section
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const Line& line = lines[i];
        const std::string_view text(content.data() + line.begin, line.textEnd - line.begin);
        const Parsed p = parseLine(text, i == 0);
        if (p.kind == Kind::Section) {
            inSection = equalsNoCase(p.name, sec);
            inFirstSection = inSection && !firstSectionSeen;
            if (inFirstSection) {
                firstSectionSeen = true;
                insertAfter = i;
            }
            continue;
        }
        if (p.kind != Kind::Key || !inSection) continue;
        if (equalsNoCase(p.name, k)) {
            std::string updated = content.substr(0, line.begin + p.valueStart);
            updated += value;
            updated.append(content, line.textEnd, std::string::npos);
            content = std::move(updated);
            return true;
        }
        if (inFirstSection) insertAfter = i;
    }

    const std::string keyLine = std::string(k) + "=" + value;
    std::string updated;
    if (insertAfter != std::string::npos) {
        const Line& line = lines[insertAfter];
        updated = content.substr(0, line.end);
        if (line.end == line.textEnd) // last line of the file without a line end
            updated += eol;
        updated += keyLine + eol;
        updated.append(content, line.end, std::string::npos);
    } else {
        updated = content;
        if (!updated.empty() && updated.back() != '\n') updated += eol;
        updated += "[" + std::string(sec) + "]" + eol + keyLine + eol;
    }
    content = std::move(updated);
    return true;
}

// A batch of writes of this thread, held back until its commit (CIniFile::CWriteBatch).
struct PendingWrite {
    std::string section;
    std::string key;
    std::string value;
};

struct WriteBatch {
    int depth = 0;    // open batches; the outermost commits
    std::string path; // the settings file the batch holds writes for
    std::vector<PendingWrite> writes;
};

thread_local WriteBatch t_batch;

bool batchHolds(const std::string& path) {
    return t_batch.depth > 0 && t_batch.path == path;
}

// The content readers see: the file, with this thread's held-back writes applied.
ReadResult readSettings(const std::string& path, std::string& content) {
    ReadResult r = readFile(path, content);
    if (r == ReadResult::Error || !batchHolds(path) || t_batch.writes.empty()) return r;
    for (const PendingWrite& w : t_batch.writes)
        applyWrite(content, w.section, w.key, w.value);
    return ReadResult::Ok;
}

bool lookup(const std::string& path, std::string_view section, std::string_view key,
            std::string& value) {
    std::string content;
    if (readSettings(path, content) != ReadResult::Ok) return false;
    return findValue(content, section, key, value);
}

// Writes \p writes in order in one replace of the file. \return empty on success, else why not
std::string replaceWith(const std::string& path, const std::vector<PendingWrite>& writes) {
    if (isDefaultPath(path)) makeDefaultFolder(toPath(path).parent_path());
    const hostfile::ReplaceResult result = hostfile::replaceFile(
        path, [&](const std::string& target, std::string& content, std::string& error) {
            if (readFile(target, content) == ReadResult::Error) {
                // Never replace a file that could not be read: its keys would be lost.
                error = "il file esistente non può essere letto";
                return false;
            }
            for (const PendingWrite& w : writes)
                if (!applyWrite(content, w.section, w.key, w.value)) {
                    error = "chiave o valore non ammessi";
                    return false;
                }
            return true;
        });
    return result.error;
}

bool writeValue(const std::string& path, const std::string& section, const std::string& key,
                const std::string& rawValue) {
    std::string probe;
    if (!applyWrite(probe, section, key, rawValue)) return false;
    if (batchHolds(path)) {
        t_batch.writes.push_back({section, key, rawValue});
        return true;
    }
    return replaceWith(path, {{section, key, rawValue}}).empty();
}

template <typename T>
T getWhole(const std::string& path, const std::string& section, const std::string& key, T def) {
    std::string text;
    if (!lookup(path, section, key, text)) return def;
    std::int64_t v = 0;
    if (!hostutil::parseWhole(text, std::numeric_limits<T>::min(), std::numeric_limits<T>::max(),
                              v))
        return def;
    return static_cast<T>(v);
}

} // namespace

CIniFile::CIniFile() : m_path(GetFilePath()) {}

CIniFile::CIniFile(std::string path) : m_path(std::move(path)) {}

void CIniFile::SetFilePath(const std::string& path) {
    std::lock_guard<std::mutex> lock(g_pathMutex);
    g_path = path;
}

std::string CIniFile::GetFilePath() {
    std::lock_guard<std::mutex> lock(g_pathMutex);
    return g_path.empty() ? defaultPath() : g_path;
}

short CIniFile::GetShort(const std::string& section, const std::string& key, short def) const {
    return getWhole<short>(m_path, section, key, def);
}

std::int32_t CIniFile::GetLong(const std::string& section, const std::string& key,
                               std::int32_t def) const {
    return getWhole<std::int32_t>(m_path, section, key, def);
}

bool CIniFile::GetBool(const std::string& section, const std::string& key, bool def) const {
    std::string text;
    if (!lookup(m_path, section, key, text)) return def;
    const std::string_view t = trimBlanks(text);
    if (t == "1" || equalsNoCase(t, "true") || equalsNoCase(t, "yes")) return true;
    if (t == "0" || equalsNoCase(t, "false") || equalsNoCase(t, "no")) return false;
    return def;
}

double CIniFile::GetDouble(const std::string& section, const std::string& key, double def) const {
    std::string text;
    if (!lookup(m_path, section, key, text)) return def;
    double v = 0.0;
    return hostutil::parseDouble(text, false, v) ? v : def;
}

std::string CIniFile::GetString(const std::string& section, const std::string& key,
                                const std::string& def) const {
    std::string text;
    return lookup(m_path, section, key, text) ? text : def;
}

bool CIniFile::WriteShort(const std::string& section, const std::string& key, short value) {
    return writeValue(m_path, section, key, std::to_string(value));
}

bool CIniFile::WriteBool(const std::string& section, const std::string& key, bool value) {
    return writeValue(m_path, section, key, value ? "1" : "0");
}

bool CIniFile::WriteLong(const std::string& section, const std::string& key, std::int32_t value) {
    return writeValue(m_path, section, key, std::to_string(value));
}

bool CIniFile::WriteDouble(const std::string& section, const std::string& key, double value) {
    return writeValue(m_path, section, key, hostutil::shortestDouble(value));
}

bool CIniFile::WriteString(const std::string& section, const std::string& key,
                           const std::string& value) {
    return writeValue(m_path, section, key, value);
}

bool CIniFile::GetLastFile(const std::string& section, const std::string& key1,
                           const std::string& key2, const std::string& key3,
                           const std::string& key4, char* buffer, int size) const {
    if (!buffer || size < 1) return false;
    buffer[0] = '\0';
    std::string content;
    if (readSettings(m_path, content) != ReadResult::Ok) return false;
    for (const std::string* key : {&key1, &key2, &key3, &key4}) {
        std::string value;
        if (!findValue(content, section, *key, value) || value.empty()) continue;
        std::size_t n = value.size();
        const std::size_t room = static_cast<std::size_t>(size) - 1;
        if (n > room) {
            n = room;
            // Do not split a UTF-8 sequence: back up to the start of the cut character.
            while (n > 0 && (static_cast<unsigned char>(value[n]) & 0xC0) == 0x80)
                --n;
        }
        value.copy(buffer, n);
        buffer[n] = '\0';
        return true;
    }
    return false;
}

CIniFile::CWriteBatch::CWriteBatch() {
    if (t_batch.depth++ == 0) {
        t_batch.path = CIniFile::GetFilePath();
        t_batch.writes.clear();
    }
}

CIniFile::CWriteBatch::~CWriteBatch() {
    if (--t_batch.depth == 0) t_batch.writes.clear();
}

bool CIniFile::CWriteBatch::Commit(std::string* error) {
    if (error != nullptr) error->clear();
    if (t_batch.depth != 1 || t_batch.writes.empty()) return true;
    std::vector<PendingWrite> writes = std::move(t_batch.writes);
    t_batch.writes.clear();
    const std::string why = replaceWith(t_batch.path, writes);
    if (why.empty()) return true;
    if (error != nullptr) *error = why;
    return false;
}
