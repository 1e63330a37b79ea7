#include "core/AtomicFile.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace gpsbook {

namespace {

std::string systemError(int error) {
    return std::strerror(error);
}

bool writeAll(int fd, const std::string& content) {
    const char* data = content.data();
    std::size_t left = content.size();
    while (left > 0) {
        ssize_t n = ::write(fd, data, left);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        data += n;
        left -= static_cast<std::size_t>(n);
    }
    return true;
}

// An advisory lock on the destination's folder for the length of one save: saves of ours
// take turns, which is what makes the removal of stale temporaries below safe. The wait is
// bounded; where the folder cannot be locked the save goes ahead without it.
class FolderLock {
public:
    explicit FolderLock(const std::filesystem::path& folder)
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
        if (m_fd >= 0) ::close(m_fd);
    }
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;

    bool held() const { return m_held; }
    bool busy() const { return m_busy; }
    int fd() const { return m_fd; }

private:
    int m_fd;
    bool m_held = false;
    bool m_busy = false;
};

// Our temporaries: "." + the destination's name + "." + the six letters or digits of mkstemp.
bool isTemporaryOf(const std::string& name, const std::string& targetName) {
    const std::string prefix = "." + targetName + ".";
    if (name.size() != prefix.size() + 6 || name.compare(0, prefix.size(), prefix) != 0)
        return false;
    return std::all_of(
        name.begin() + static_cast<std::ptrdiff_t>(prefix.size()), name.end(), [](char c) {
            return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
        });
}

// Temporaries left behind: a save killed between creating its temporary and renaming it
// (kill -9, a crash, a power cut) leaves the temporary in the folder. The rule: after a
// successful rename, the save holding the folder lock removes every temporary of the same
// destination (our naming pattern above) whose last change is not later than the creation of
// its own temporary. While one save holds the lock no other save of ours is between creating
// and renaming, so only the temporaries of dead saves match; the age spares the temporary of a
// writer that does not take the lock and began after this one. So such litter never outlives
// the next successful save, and there is never more of it than saves killed since.
void removeStaleTemporaries(const std::filesystem::path& folder, const std::string& targetName,
                            const timespec& startedAt) {
    namespace fs = std::filesystem;
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

mode_t modeForNewFile(const std::filesystem::path& target) {
    struct stat existing {};
    if (::stat(target.c_str(), &existing) == 0) return existing.st_mode & 07777;
    mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

} // namespace

std::string writeFileAtomically(const std::string& path, const std::string& content) {
    namespace fs = std::filesystem;
    std::error_code ec;
    fs::path target(path);
    if (target.empty()) return "nessun nome di file";
    if (fs::is_symlink(target, ec)) {
        fs::path resolved = fs::canonical(target, ec);
        if (!ec) target = resolved;
    }
    if (fs::is_directory(target, ec)) return "\"" + target.string() + "\" è una cartella";

    fs::path folder = target.parent_path();
    if (folder.empty()) folder = ".";
    if (!fs::is_directory(folder, ec)) return "la cartella \"" + folder.string() + "\" non esiste";

    const FolderLock lock(folder);
    if (lock.busy()) return "il file è occupato da un altro salvataggio";

    const std::string targetName = target.filename().string();
    std::string pattern = (folder / ("." + targetName + ".XXXXXX")).string();
    std::vector<char> tempName(pattern.begin(), pattern.end());
    tempName.push_back('\0');
    int fd = ::mkstemp(tempName.data());
    if (fd < 0)
        return "impossibile creare un file nella cartella \"" + folder.string() +
               "\": " + systemError(errno);
    struct stat created {};
    ::fstat(fd, &created);

    auto fail = [&](const std::string& what, int error) {
        if (fd >= 0) ::close(fd);
        ::unlink(tempName.data());
        return what + ": " + systemError(error);
    };

    ::fchmod(fd, modeForNewFile(target));
    if (!writeAll(fd, content)) return fail("scrittura non riuscita", errno);
    if (::fsync(fd) != 0) return fail("scrittura su disco non riuscita", errno);
    int closed = ::close(fd);
    fd = -1;
    if (closed != 0) return fail("scrittura non riuscita", errno);
    if (::rename(tempName.data(), target.c_str()) != 0)
        return fail("impossibile sostituire il file", errno);

    if (lock.held()) removeStaleTemporaries(folder, targetName, created.st_mtim);
    // The rename itself must reach the disk too; a failure here no longer risks the file.
    if (lock.fd() >= 0) ::fsync(lock.fd());
    return {};
}

unsigned permissionsForReplacing(const std::string& path) {
    return modeForNewFile(path);
}

} // namespace gpsbook
