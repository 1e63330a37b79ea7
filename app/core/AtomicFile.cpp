#include "core/AtomicFile.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <vector>

#include <fcntl.h>
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

    std::string pattern = (folder / ("." + target.filename().string() + ".XXXXXX")).string();
    std::vector<char> tempName(pattern.begin(), pattern.end());
    tempName.push_back('\0');
    int fd = ::mkstemp(tempName.data());
    if (fd < 0)
        return "impossibile creare un file nella cartella \"" + folder.string() +
               "\": " + systemError(errno);

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

    // The rename itself must reach the disk too; a failure here no longer risks the file.
    int dirFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY);
    if (dirFd >= 0) {
        ::fsync(dirFd);
        ::close(dirFd);
    }
    return {};
}

unsigned permissionsForReplacing(const std::string& path) {
    return modeForNewFile(path);
}

} // namespace gpsbook
