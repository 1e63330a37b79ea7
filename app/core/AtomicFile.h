// The program's files are written by the host's one writer (gpshost/FileReplace.h): a crash or
// a failure leaves the old file or the new one, never a torn one. These are the program's
// shorthands for it.
#pragma once

#include "gpshost/FileReplace.h"

#include <string>

namespace gpsbook {

/// Replaces the file at \p path with \p content (hostfile::replaceFile): a symbolic link is
/// followed, the permissions are kept, a read-only file is refused.
/// \return empty on success; otherwise what went wrong (the file at \p path is then untouched
/// and no temporary file is left behind)
std::string writeFileAtomically(const std::string& path, const std::string& content);

/// The permissions writeFileAtomically gives a file written at \p path: those of the file it
/// replaces (a symbolic link followed), else those of a new file (0666 less the umask). For
/// files that are written by other means and should look the same.
unsigned permissionsForReplacing(const std::string& path);

} // namespace gpsbook
