// Replacing a file so that a crash or a failure leaves the old file or the new one, never a
// torn one: the one writer of the host's files (the settings file, the program's documents).
//
// Not a declaration the module sees: it reaches the host through interfaces/ alone. The host
// program includes this header to write its own files the same way.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

namespace hostfile {

/// A path as the host's interfaces spell it (UTF-8) in the file system's own form (UTF-16 on
/// Windows).
std::filesystem::path toPath(const std::string& path);
/// The UTF-8 text of a path of the file system.
std::string pathText(const std::filesystem::path& path);
#ifdef _WIN32
/// UTF-8 to UTF-16, for the system's calls.
std::wstring widen(const std::string& text);
/// UTF-16 from the system to UTF-8.
std::string narrow(const std::wstring& wide);
#endif

/// What a file was when it was read or written: enough to tell whether another program has
/// changed it since. The size tells at once; when it is the same, the hash of the bytes decides
/// (a change within the time's resolution keeps the time).
struct FileStamp {
    bool known = false;          ///< false: no file was read or written (nothing to compare)
    std::uint64_t size = 0;      ///< bytes
    std::int64_t modifiedNs = 0; ///< last change, nanoseconds since the epoch
    std::uint64_t hash = 0;      ///< contentHash of the bytes
};

/// A 64-bit hash of a file's bytes (FNV-1a): the same bytes always give the same value.
std::uint64_t contentHash(std::string_view bytes);

/// The stamp of the file at \p path as it is now; `known` false when it cannot be read.
FileStamp stampOf(const std::string& path);

/// The stamp of the file at \p path whose bytes are \p content (read just now): its size and
/// time from the system, the hash from \p content.
FileStamp stampOf(const std::string& path, std::string_view content);

enum class ReplaceStatus {
    Ok,
    ReadOnly, ///< the file exists and may not be written; nothing was changed
    Changed,  ///< the file is no longer the expected one; nothing was changed
    Failed,   ///< anything else (folder missing, disk full, file too large...); nothing changed
};

struct ReplaceResult {
    ReplaceStatus status = ReplaceStatus::Ok;
    std::string error; ///< what went wrong, in Italian; empty on success
    FileStamp written; ///< the new file's stamp on success
    bool ok() const { return status == ReplaceStatus::Ok; }
};

struct ReplaceOptions {
    /// When set and known: replace only while the file is still this one (same size, time and
    /// hash); otherwise the result is Changed and nothing is written.
    const FileStamp* expected = nullptr;
};

/// Builds the new content while the writer holds the folder's lock, so that it may read the
/// current file and no other writer of ours replaces it meanwhile. \p target is the file that
/// will be replaced (a symbolic link resolved). \return false, with \p error set, to give up
using Producer =
    std::function<bool(const std::string& target, std::string& content, std::string& error)>;

/// Writes the produced content to a temporary file in the folder of \p path, flushes it to disk
/// and puts it in the place of \p path. A symbolic link at \p path is followed: its target is
/// replaced. The new file keeps the permissions of the file it replaces. A read-only file is
/// refused (ReadOnly). Writers of one folder take turns (an advisory lock), and a successful
/// replace removes the temporaries that writers killed before their replace left behind.
/// A write beyond the process's file-size limit fails like a full disk (the signal that would
/// end the process is ignored).
/// On any failure the file at \p path is untouched and no temporary file remains.
ReplaceResult replaceFile(const std::string& path, const Producer& produce,
                          const ReplaceOptions& options = {});

/// replaceFile with a content known beforehand.
ReplaceResult replaceFile(const std::string& path, const std::string& content,
                          const ReplaceOptions& options = {});

/// The permissions replaceFile gives a file written at \p path: those of the file it replaces
/// (a symbolic link followed), else those of a new file (0666 less the umask). For files that
/// are written by other means and should look the same.
unsigned permissionsForReplacing(const std::string& path);

} // namespace hostfile
