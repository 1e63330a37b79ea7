// The host's settings file: Windows-profile text, read afresh on every call, replaced
// atomically on every write.
#include "gpsdialogs/interfaces/Kit.h"

#include "TextNumbers.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <limits>
#include <mutex>
#include <random>
#include <string_view>
#include <thread>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;
using hostutil::equalsNoCase;
using hostutil::trimBlanks;

namespace {

std::mutex g_pathMutex;
std::string g_path; // empty: the default place

#ifdef _WIN32
std::wstring widen(const std::string& text) {
    if (text.empty()) return {};
    const int n =
        ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(n), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(), n);
    return wide;
}

std::string narrow(const std::wstring& wide) {
    if (wide.empty()) return {};
    const int n = ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()),
                                        nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<std::size_t>(n), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), text.data(), n,
                          nullptr, nullptr);
    return text;
}

// Paths are UTF-8 in the host's interface; the system takes them as UTF-16.
fs::path toPath(const std::string& path) {
    return fs::path(widen(path));
}
std::string pathText(const fs::path& path) {
    return narrow(path.wstring());
}

// The user's roaming application data, where Windows programs keep their settings.
std::string defaultPath() {
    if (const wchar_t* appData = ::_wgetenv(L"APPDATA"); appData && *appData)
        return narrow(appData) + "\\gpsdialogs.ini";
    return "gpsdialogs.ini";
}
#else
fs::path toPath(const std::string& path) {
    return fs::path(path);
}
std::string pathText(const fs::path& path) {
    return path.string();
}

// The XDG rules: $XDG_CONFIG_HOME only when it is an absolute path, else ~/.config.
std::string defaultPath() {
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg == '/')
        return std::string(xdg) + "/gpsdialogs.ini";
    if (const char* home = std::getenv("HOME"); home && *home)
        return std::string(home) + "/.config/gpsdialogs.ini";
    return "gpsdialogs.ini";
}
#endif

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
        (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
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
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
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

bool lookup(const std::string& path, std::string_view section, std::string_view key,
            std::string& value) {
    std::string content;
    if (readFile(path, content) != ReadResult::Ok) return false;
    return findValue(content, section, key, value);
}

// The file a write must replace: the target of a symbolic link rather than the link.
fs::path resolveTarget(const std::string& path) {
    fs::path target = toPath(path);
    for (int hop = 0; hop < 16; ++hop) {
        std::error_code ec;
        if (!fs::is_symlink(target, ec)) break;
        fs::path next = fs::read_symlink(target, ec);
        if (ec) break;
        target = next.is_absolute() ? next : target.parent_path() / next;
    }
    return target;
}

// Temporaries are named "." + the file's name + "." + six letters or digits.
constexpr std::size_t kTempSuffix = 6;

bool isTemporaryOf(const std::string& name, const std::string& targetName) {
    const std::string prefix = "." + targetName + ".";
    if (name.size() != prefix.size() + kTempSuffix || name.compare(0, prefix.size(), prefix) != 0)
        return false;
    return std::all_of(
        name.begin() + static_cast<std::ptrdiff_t>(prefix.size()), name.end(), [](char c) {
            return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
        });
}

#ifdef _WIN32
// Writers take turns through a byte-range lock on a companion file beside the settings file,
// held from the read of a write to its replace, so that each writer reads what the previous
// one put in place and no confirmed key is lost. A folder cannot be locked on Windows, and the
// settings file itself is replaced by every write, hence the companion: it stays, hidden and
// empty. The wait is bounded as on the other systems; where the companion cannot be made
// (a read-only folder) writes go ahead without taking turns and fail at the replace.
class FolderLock {
public:
    FolderLock(const fs::path& folder, const std::string& targetName) {
        const fs::path lockPath = folder / toPath("." + targetName + "-lock");
        m_file = ::CreateFileW(lockPath.c_str(), GENERIC_READ | GENERIC_WRITE,
                               FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                               OPEN_ALWAYS, FILE_ATTRIBUTE_HIDDEN, nullptr);
        if (m_file == INVALID_HANDLE_VALUE) return;
        const ULONGLONG deadline = ::GetTickCount64() + 10000;
        for (;;) {
            OVERLAPPED at{};
            if (::LockFileEx(m_file, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0,
                             &at)) {
                m_held = true;
                return;
            }
            if (::GetLastError() != ERROR_LOCK_VIOLATION) return; // locks not supported here
            if (::GetTickCount64() >= deadline) {
                m_busy = true;
                return;
            }
            ::Sleep(1);
        }
    }
    ~FolderLock() {
        if (m_file == INVALID_HANDLE_VALUE) return;
        if (m_held) {
            OVERLAPPED at{};
            ::UnlockFileEx(m_file, 0, 1, 0, &at);
        }
        ::CloseHandle(m_file);
    }
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;

    bool held() const { return m_held; }
    /// Another writer kept the lock for the whole wait.
    bool busy() const { return m_busy; }

private:
    HANDLE m_file = INVALID_HANDLE_VALUE;
    bool m_held = false;
    bool m_busy = false;
};

bool writeAll(HANDLE file, const std::string& data) {
    std::size_t done = 0;
    while (done < data.size()) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(data.size() - done, 1 << 20));
        DWORD n = 0;
        if (!::WriteFile(file, data.data() + done, chunk, &n, nullptr) || n == 0) return false;
        done += n;
    }
    return true;
}

// Temporaries that writers killed between creating and replacing left behind: removed by the
// next writer that holds the lock when not written after its own temporary was made, as on
// the other systems.
void removeStaleTemporaries(const fs::path& folder, const std::string& targetName,
                            const FILETIME& startedAt) {
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const fs::path& candidate = it->path();
        if (!isTemporaryOf(pathText(candidate.filename()), targetName)) continue;
        WIN32_FILE_ATTRIBUTE_DATA data{};
        if (!::GetFileAttributesExW(candidate.c_str(), GetFileExInfoStandard, &data) ||
            (data.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)))
            continue;
        if (::CompareFileTime(&data.ftLastWriteTime, &startedAt) <= 0)
            ::DeleteFileW(candidate.c_str());
    }
}

// Replaces the target with content: a temporary in the same folder, flushed to disk, put in
// the old file's place by ReplaceFileW (which keeps the old file's attributes and security)
// or, for a new file, by a write-through move. On failure the old file is untouched.
bool replaceFile(const fs::path& target, const fs::path& folder, const FolderLock& lock,
                 const std::string& content) {
    const std::string targetName = pathText(target.filename());
    static constexpr char kChars[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    std::random_device random;
    fs::path temp;
    HANDLE file = INVALID_HANDLE_VALUE;
    for (int attempt = 0; attempt < 100 && file == INVALID_HANDLE_VALUE; ++attempt) {
        std::string name = "." + targetName + ".";
        for (std::size_t i = 0; i < kTempSuffix; ++i)
            name += kChars[random() % (sizeof kChars - 1)];
        temp = folder / toPath(name);
        file = ::CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE && ::GetLastError() != ERROR_FILE_EXISTS) return false;
    }
    if (file == INVALID_HANDLE_VALUE) return false;
    FILETIME created{};
    bool ok = ::GetFileTime(file, nullptr, nullptr, &created) != 0;
    ok = ok && writeAll(file, content) && ::FlushFileBuffers(file);
    if (!::CloseHandle(file)) ok = false;
    if (ok) {
        const DWORD attributes = ::GetFileAttributesW(target.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
            ok = false; // a read-only settings file stays as it is
        else if (attributes != INVALID_FILE_ATTRIBUTES)
            ok = ::ReplaceFileW(target.c_str(), temp.c_str(), nullptr,
                                REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr) ||
                 ::MoveFileExW(temp.c_str(), target.c_str(),
                               MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
        else
            ok = ::MoveFileExW(temp.c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH);
    }
    if (!ok) {
        ::DeleteFileW(temp.c_str());
        return false;
    }
    if (lock.held()) removeStaleTemporaries(folder, targetName, created);
    return true;
}

#else
bool writeAll(int fd, const std::string& data) {
    std::size_t done = 0;
    while (done < data.size()) {
        const ssize_t n = ::write(fd, data.data() + done, data.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

// An advisory lock on the folder of the settings file, held from the read of a write to its
// rename, so that writers take turns across processes and threads: each one reads the file
// the previous one renamed into place, and no confirmed key is lost. The folder is locked, not
// the file, because every write puts a new file in the old one's place. The wait is bounded
// so that a writer stopped while holding the lock cannot freeze the user interface: the write
// then reports failure. Where the folder cannot be locked (a file system without locks) writes
// go ahead without taking turns.
class FolderLock {
public:
    explicit FolderLock(const fs::path& folder)
        : m_fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)) {
        if (m_fd < 0) return;
        using clock = std::chrono::steady_clock;
        const auto deadline = clock::now() + std::chrono::seconds(10);
        for (;;) {
            if (::flock(m_fd, LOCK_EX | LOCK_NB) == 0) {
                m_held = true;
                return;
            }
            if (errno == EINTR) continue;
            if (errno != EWOULDBLOCK) return; // locks not supported here
            if (clock::now() >= deadline) {
                m_busy = true;
                return;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }
    ~FolderLock() {
        if (m_fd >= 0) ::close(m_fd); // releases the lock
    }
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;

    bool held() const { return m_held; }
    /// Another writer kept the folder locked for the whole wait.
    bool busy() const { return m_busy; }
    int fd() const { return m_fd; }

private:
    int m_fd;
    bool m_held = false;
    bool m_busy = false;
};

// A new temporary in the folder, created with mode 0666 so that the process's umask decides
// its permissions as it does for any new file. \return its descriptor, or -1
int createTemporary(const fs::path& folder, const std::string& targetName, std::string& tempPath) {
    static constexpr char kChars[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    std::random_device random;
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string name = "." + targetName + ".";
        for (std::size_t i = 0; i < kTempSuffix; ++i)
            name += kChars[random() % (sizeof kChars - 1)];
        tempPath = (folder / name).string();
        const int fd = ::open(tempPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}

// Temporaries left behind: a writer killed between creating its temporary and renaming it
// (kill -9, a crash, a power cut) leaves its temporary in the folder. The rule: after a
// successful rename, the writer holding the folder lock removes every temporary of the same
// file (our naming pattern above) whose last change is not later than the creation of its own
// temporary. While one writer holds the lock no other writer of ours is between creating and
// renaming, so only the temporaries of dead writers match; the age spares the temporary of a
// writer that does not take the lock and began after this one. So such litter never outlives
// the next successful write, and there is never more of it than writers killed since.
void removeStaleTemporaries(const fs::path& folder, const std::string& targetName,
                            const timespec& startedAt) {
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const fs::path& candidate = it->path();
        if (!isTemporaryOf(candidate.filename().string(), targetName)) continue;
        struct stat st {};
        if (::lstat(candidate.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) continue;
        const bool newer =
            st.st_mtim.tv_sec > startedAt.tv_sec ||
            (st.st_mtim.tv_sec == startedAt.tv_sec && st.st_mtim.tv_nsec > startedAt.tv_nsec);
        if (!newer) ::unlink(candidate.c_str());
    }
}

// Replaces the target with content: a temporary file in the same folder, flushed to disk,
// renamed over the old one. On failure the old file is untouched. Called with the folder lock.
bool replaceFile(const fs::path& target, const fs::path& folder, const FolderLock& lock,
                 const std::string& content) {
    const std::string targetName = target.filename().string();
    std::string tempPath;
    const int fd = createTemporary(folder, targetName, tempPath);
    if (fd < 0) return false;
    struct stat created {};
    bool ok = ::fstat(fd, &created) == 0;
    // A file that exists keeps its permissions; set them before any content goes in.
    struct stat st {};
    if (ok && ::stat(target.c_str(), &st) == 0) ok = ::fchmod(fd, st.st_mode & 07777) == 0;
    ok = ok && writeAll(fd, content) && ::fsync(fd) == 0;
    if (::close(fd) != 0) ok = false;
    if (ok) ok = ::rename(tempPath.c_str(), target.c_str()) == 0;
    if (!ok) {
        ::unlink(tempPath.c_str());
        return false;
    }
    if (lock.held()) removeStaleTemporaries(folder, targetName, created.st_mtim);
    // Make the rename itself durable; a failure here does not undo a completed replace.
    if (lock.fd() >= 0) ::fsync(lock.fd());
    return true;
}
#endif

bool writeValue(const std::string& path, const std::string& section, const std::string& key,
                const std::string& rawValue) {
    const std::string_view sec = trimBlanks(section);
    const std::string_view k = trimBlanks(key);
    if (sec.empty() || k.empty() || hasLineBreakOrNul(section) || hasLineBreakOrNul(key) ||
        hasLineBreakOrNul(rawValue) || sec.find(']') != std::string_view::npos ||
        k.find('=') != std::string_view::npos || k[0] == '[' || k[0] == ';' || k[0] == '#')
        return false;
    const std::string value = quoteIfNeeded(rawValue);

    const fs::path target = resolveTarget(path);
    fs::path folder = target.parent_path();
    if (folder.empty()) folder = ".";
    if (isDefaultPath(path)) makeDefaultFolder(folder);
#ifdef _WIN32
    const FolderLock lock(folder, pathText(target.filename()));
#else
    const FolderLock lock(folder);
#endif
    if (lock.busy()) return false;
    auto replace = [&](const std::string& updated) {
        return replaceFile(target, folder, lock, updated);
    };

    std::string content;
    const ReadResult r = readFile(pathText(target), content);
    if (r == ReadResult::Error) return false; // never replace a file we could not read

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
            return replace(updated);
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
    return replace(updated);
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
    if (readFile(m_path, content) != ReadResult::Ok) return false;
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
