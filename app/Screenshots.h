// gpsbook --shots DIR: every dialog template of the GPS module, and the main window, saved as
// PNG files.
//
// A dialog that an export already shows is taken live, on the field book in the window, by
// running the window's own command under a scripted user that saves the dialog and cancels
// it. A template that no export shows yet is run bare from the module's resource script.
#pragma once

#include <QString>

class MainWindow;

/// Saves the screenshots into \p folder (created when missing).
/// \return 0 when every picture was saved; otherwise 1, with what failed on standard error
int takeScreenshots(MainWindow& window, const QString& folder);
