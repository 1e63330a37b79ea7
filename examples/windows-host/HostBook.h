// The host's field book and its calls into the module, in plain C++: the window side
// (WindowsHost.cpp) includes <windows.h>, whose HWND and RECT the module's headers also name.
#pragma once

#include <string>
#include <vector>

namespace host {

/// What the menus offer, one entry per export.
enum Command {
    kEditPoint = 100,
    kShowPoint,
    kNewPoint,
    kTransfer,
    kSearch,
    kRemembered,
    kBaseStation,
    kShowBase,
    kMoveBase,
    kPrint,
    kLayout,
    kExportFile,
    kImportFile,
};

/// Opens the field book at \p path and shows the module's dialogs with the Win32 view.
/// \return empty, or why the book could not be opened
std::string open(const std::string& path);
/// Back to no view before the program ends: the native windows go before the DLLs unload.
void close();

/// One line per group and point, as the window lists them.
std::vector<std::string> lines();
/// Runs \p command on the group or point of line \p line of lines().
/// \return a text for the person (what the host would do now), or empty
std::string run(int command, int line);
/// True when line \p line is a point's (a double click edits it) rather than a group's.
bool isPoint(int line);

} // namespace host
