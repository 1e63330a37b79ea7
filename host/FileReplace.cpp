// The one writer of the host's files: temporary file in the same folder, flushed, put in the
// old file's place.
#include "gpshost/FileReplace.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <thread>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#else
#include <csignal>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace hostfile {

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

fs::path toPath(const std::string& path) {
    return fs::path(widen(path));
}
std::string pathText(const fs::path& path) {
    return narrow(path.wstring());
}
#else
fs::path toPath(const std::string& path) {
    return fs::path(path);
}
std::string pathText(const fs::path& path) {
    return path.string();
}
#endif

namespace {

#ifdef _WIN32
std::string systemError(DWORD error) {
    wchar_t* text = nullptr;
    ::FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                         FORMAT_MESSAGE_IGNORE_INSERTS,
                     nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::string message = text != nullptr ? narrow(text) : "errore " + std::to_string(error);
    if (text != nullptr) ::LocalFree(text);
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r' ||
                                message.back() == ' ' || message.back() == '.'))
        message.pop_back();
    return message;
}
#else
std::string systemError(int error) {
    return std::strerror(error);
}
#endif

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

std::string randomSuffix() {
    static constexpr char kChars[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    std::random_device random;
    std::string suffix;
    for (std::size_t i = 0; i < kTempSuffix; ++i)
        suffix += kChars[random() % (sizeof kChars - 1)];
    return suffix;
}

// The whole content of a file, for its hash; false when it cannot be read.
bool readAll(const fs::path& path, std::string& out) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    out.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

ReplaceResult failure(ReplaceStatus status, std::string error) {
    ReplaceResult result;
    result.status = status;
    result.error = std::move(error);
    return result;
}

#ifdef _WIN32
// Writers take turns through a byte-range lock on a companion file beside the target, held
// from the production of the content to its replace, so that each writer reads what the
// previous one put in place. A folder cannot be locked on Windows, and the target itself is
// replaced by every write, hence the companion: it stays, hidden and empty. The wait is
// bounded; where the companion cannot be made (a read-only folder) writes go ahead without
// taking turns and fail at the replace.
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

std::int64_t nanoseconds(const FILETIME& time) {
    ULARGE_INTEGER value;
    value.LowPart = time.dwLowDateTime;
    value.HighPart = time.dwHighDateTime;
    return static_cast<std::int64_t>(value.QuadPart) * 100; // from 1601, which is fine to compare
}

// Size and time of a file; false when it is not there.
bool sizeAndTime(const fs::path& path, std::uint64_t& size, std::int64_t& modified) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return false;
    size = (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    modified = nanoseconds(data.ftLastWriteTime);
    return true;
}

bool isReadOnly(const fs::path& target) {
    const DWORD attributes = ::GetFileAttributesW(target.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY);
}

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

// The temporary, flushed to disk, put in the old file's place by ReplaceFileW (which keeps the
// old file's attributes and security) or, for a new file, by a write-through move.
std::string writeAndReplace(const fs::path& target, const fs::path& folder, const FolderLock& lock,
                            const std::string& content) {
    const std::string targetName = pathText(target.filename());
    fs::path temp;
    HANDLE file = INVALID_HANDLE_VALUE;
    for (int attempt = 0; attempt < 100 && file == INVALID_HANDLE_VALUE; ++attempt) {
        temp = folder / toPath("." + targetName + "." + randomSuffix());
        file = ::CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE && ::GetLastError() != ERROR_FILE_EXISTS) break;
    }
    if (file == INVALID_HANDLE_VALUE)
        return "impossibile creare un file nella cartella \"" + pathText(folder) +
               "\": " + systemError(::GetLastError());
    auto fail = [&](const std::string& what, DWORD error) {
        if (file != INVALID_HANDLE_VALUE) ::CloseHandle(file);
        ::DeleteFileW(temp.c_str());
        return what + ": " + systemError(error);
    };
    FILETIME created{};
    ::GetFileTime(file, nullptr, nullptr, &created);
    if (!writeAll(file, content)) return fail("scrittura non riuscita", ::GetLastError());
    if (!::FlushFileBuffers(file)) return fail("scrittura su disco non riuscita", ::GetLastError());
    const bool closed = ::CloseHandle(file);
    file = INVALID_HANDLE_VALUE;
    if (!closed) return fail("scrittura non riuscita", ::GetLastError());
    bool replaced = false;
    if (::GetFileAttributesW(target.c_str()) != INVALID_FILE_ATTRIBUTES)
        replaced = ::ReplaceFileW(target.c_str(), temp.c_str(), nullptr,
                                  REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr) ||
                   ::MoveFileExW(temp.c_str(), target.c_str(),
                                 MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    else
        replaced = ::MoveFileExW(temp.c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH);
    if (!replaced) return fail("impossibile sostituire il file", ::GetLastError());
    if (lock.held()) removeStaleTemporaries(folder, targetName, created);
    return {};
}

unsigned modeForNewFile(const fs::path&) {
    return 0666;
}
#else
// An advisory lock on the destination's folder for the length of one replace: writers of ours
// take turns, which is what makes a read-modify-write under the lock safe and the removal of
// stale temporaries below safe. The folder is locked, not the file, because every write puts a
// new file in the old one's place. The wait is bounded so that a writer stopped while holding
// the lock cannot freeze the user interface; where the folder cannot be locked (a file system
// without locks) writes go ahead without taking turns.
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

std::int64_t nanoseconds(const timespec& time) {
    return static_cast<std::int64_t>(time.tv_sec) * 1000000000 + time.tv_nsec;
}

bool sizeAndTime(const fs::path& path, std::uint64_t& size, std::int64_t& modified) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return false;
    size = static_cast<std::uint64_t>(st.st_size);
    modified = nanoseconds(st.st_mtim);
    return true;
}

// A file nobody may write (no write bit at all; the administrator too is held to that) or
// that this user may not write.
bool isReadOnly(const fs::path& target) {
    struct stat st {};
    if (::stat(target.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
    if ((st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) return true;
    return ::access(target.c_str(), W_OK) != 0 && errno == EACCES;
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

unsigned modeForNewFile(const fs::path& target) {
    struct stat existing {};
    if (::stat(target.c_str(), &existing) == 0) return existing.st_mode & 07777;
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

// A write past the process's file-size limit (ulimit -f) would end the process with SIGXFSZ,
// losing all unsaved work; ignored, the write fails with EFBIG and is reported like a full
// disk. Only the default action is replaced: a handler the program installed stays.
void ignoreFileSizeSignal() {
    struct sigaction current {};
    if (::sigaction(SIGXFSZ, nullptr, &current) == 0 && current.sa_handler == SIG_DFL) {
        struct sigaction ignore {};
        ignore.sa_handler = SIG_IGN;
        sigemptyset(&ignore.sa_mask);
        ::sigaction(SIGXFSZ, &ignore, nullptr);
    }
}

std::string writeAndReplace(const fs::path& target, const fs::path& folder, const FolderLock& lock,
                            const std::string& content) {
    ignoreFileSizeSignal();
    const std::string targetName = target.filename().string();
    std::string tempPath;
    int fd = -1;
    for (int attempt = 0; attempt < 100; ++attempt) {
        tempPath = (folder / ("." + targetName + "." + randomSuffix())).string();
        // Mode 0666 so that the umask decides a new file's permissions as it does for any file.
        fd = ::open(tempPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) break;
    }
    if (fd < 0)
        return "impossibile creare un file nella cartella \"" + folder.string() +
               "\": " + systemError(errno);
    auto fail = [&](const std::string& what, int error) {
        if (fd >= 0) ::close(fd);
        ::unlink(tempPath.c_str());
        return what + ": " + systemError(error);
    };
    struct stat created {};
    ::fstat(fd, &created);
    // A file that exists keeps its permissions; set before any content goes in.
    struct stat existing {};
    if (::stat(target.c_str(), &existing) == 0 && ::fchmod(fd, existing.st_mode & 07777) != 0)
        return fail("impossibile impostare i permessi", errno);
    if (!writeAll(fd, content)) return fail("scrittura non riuscita", errno);
    if (::fsync(fd) != 0) return fail("scrittura su disco non riuscita", errno);
    const int closed = ::close(fd);
    fd = -1;
    if (closed != 0) return fail("scrittura non riuscita", errno);
    if (::rename(tempPath.c_str(), target.c_str()) != 0)
        return fail("impossibile sostituire il file", errno);
    if (lock.held()) removeStaleTemporaries(folder, targetName, created.st_mtim);
    // The rename itself must reach the disk too; a failure here no longer risks the file.
    if (lock.fd() >= 0) ::fsync(lock.fd());
    return {};
}
#endif

FileStamp stampOfTarget(const fs::path& target, std::string_view content) {
    FileStamp stamp;
    if (!sizeAndTime(target, stamp.size, stamp.modifiedNs)) return stamp;
    stamp.hash = contentHash(content);
    stamp.known = true;
    return stamp;
}

// Whether the file at target is still the one of the stamp. Another size settles it at once.
// Otherwise the bytes decide, whatever the time says: a change within the time's resolution
// keeps the time, and a program that wrote the very same bytes again changed nothing that
// would be lost.
bool stillTheSame(const fs::path& target, const FileStamp& expected) {
    std::uint64_t size = 0;
    std::int64_t modified = 0;
    if (!sizeAndTime(target, size, modified)) return false;
    if (size != expected.size) return false;
    std::string content;
    return readAll(target, content) && contentHash(content) == expected.hash;
}

} // namespace

std::uint64_t contentHash(std::string_view bytes) {
    std::uint64_t hash = 14695981039346656037ull;
    for (const char c : bytes) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 1099511628211ull;
    }
    return hash;
}

FileStamp stampOf(const std::string& path) {
    const fs::path target = resolveTarget(path);
    std::string content;
    if (!readAll(target, content)) return {};
    return stampOfTarget(target, content);
}

FileStamp stampOf(const std::string& path, std::string_view content) {
    return stampOfTarget(resolveTarget(path), content);
}

namespace {

// The replace itself: \p fixed is the content when it is known beforehand, else \p produce
// makes it under the lock.
ReplaceResult replace(const std::string& path, const Producer* produce, const std::string* fixed,
                      const ReplaceOptions& options) {
    if (path.empty()) return failure(ReplaceStatus::Failed, "nessun nome di file");
    const fs::path target = resolveTarget(path);
    std::error_code ec;
    if (fs::is_directory(target, ec))
        return failure(ReplaceStatus::Failed, "\"" + pathText(target) + "\" è una cartella");
    fs::path folder = target.parent_path();
    if (folder.empty()) folder = ".";
    if (!fs::is_directory(folder, ec))
        return failure(ReplaceStatus::Failed,
                       "la cartella \"" + pathText(folder) + "\" non esiste");

#ifdef _WIN32
    const FolderLock lock(folder, pathText(target.filename()));
#else
    const FolderLock lock(folder);
#endif
    if (lock.busy())
        return failure(ReplaceStatus::Failed, "il file è occupato da un altro salvataggio");

    // Checked under the lock, so that no writer of ours changes the file in between.
    if (isReadOnly(target)) return failure(ReplaceStatus::ReadOnly, "il file è di sola lettura");
    if (options.expected != nullptr && options.expected->known &&
        !stillTheSame(target, *options.expected))
        return failure(ReplaceStatus::Changed, "il file è stato modificato da un altro programma");

    std::string produced;
    if (fixed == nullptr) {
        std::string error;
        if (!(*produce)(pathText(target), produced, error))
            return failure(ReplaceStatus::Failed, error);
    }
    const std::string& content = fixed != nullptr ? *fixed : produced;
    std::string error = writeAndReplace(target, folder, lock, content);
    if (!error.empty()) return failure(ReplaceStatus::Failed, error);
    ReplaceResult result;
    result.written = stampOfTarget(target, content);
    return result;
}

} // namespace

ReplaceResult replaceFile(const std::string& path, const Producer& produce,
                          const ReplaceOptions& options) {
    return replace(path, &produce, nullptr, options);
}

ReplaceResult replaceFile(const std::string& path, const std::string& content,
                          const ReplaceOptions& options) {
    return replace(path, nullptr, &content, options);
}

unsigned permissionsForReplacing(const std::string& path) {
    return modeForNewFile(resolveTarget(path));
}

} // namespace hostfile
