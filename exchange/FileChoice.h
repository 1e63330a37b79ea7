// The choice of the ASCII field-book file to write and of a receiver's file to read, through
// the platform's standard file dialogs. Each remembers the chosen file in the settings file
// ("PERSIST"), only when the user confirms; later calls open in its folder. Neither touches
// the chosen file: reading and writing it is the host's work.
#pragma once

#include <string>

/// The settings section of the remembered files.
inline constexpr const char* kPersistSection = "PERSIST";

/// The save dialog of the ASCII export. \p name comes in as the proposed name (empty: "doc";
/// a path: its file name only) and goes out as the full chosen path on true, as the bare
/// proposed name on false.
bool ChooseAsciiExportFile(std::string& name);

/// The open dialog of an import, with the twelve receiver formats. On true \p name is the
/// chosen path and \p format its format code (1 to 12); on false \p name is unchanged and
/// \p format is 1.
bool ChooseImportFile(std::string& name, int& format);
