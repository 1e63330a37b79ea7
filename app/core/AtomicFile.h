// Replacing a file so that a crash or a failure leaves the old file or the new one, never a
// torn one.
#pragma once

#include <string>

namespace gpsbook {

/// Writes \p content to a temporary file in the folder of \p path, flushes it to disk and
/// renames it over \p path. A symbolic link at \p path is followed: its target is replaced.
/// The new file keeps the permissions of the file it replaces.
/// Saves to one folder take turns (an advisory lock on the folder), and a successful save
/// removes the temporaries that saves killed before their rename left behind.
/// \return empty on success; otherwise what went wrong (the file at \p path is then untouched
/// and no temporary file is left behind)
std::string writeFileAtomically(const std::string& path, const std::string& content);

/// The permissions writeFileAtomically gives a file written at \p path: those of the file it
/// replaces (a symbolic link followed), else those of a new file (0666 less the umask). For
/// files that are written by other means and should look the same.
unsigned permissionsForReplacing(const std::string& path);

} // namespace gpsbook
