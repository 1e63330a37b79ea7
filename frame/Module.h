// Module start-up and the helpers shared by every export.
#pragma once

#include "gpsdialogs/interfaces/Kit.h"
#include "platform/module.h"
#include "platform/types.h"

#include <string>

/// The module's registration with the dialog framework, filled once when the library loads.
AFX_EXTENSION_MODULE& ExtensionModule();

/// True when the module's resources were read and the module registered; otherwise every
/// export refuses to run.
bool IsModuleRegistered();

/// Why the registration failed (empty when it did not).
const std::string& ModuleLoadError();

/// The string \p id of the module's own string table, whatever resources are current; cut to
/// 1023 bytes on a character boundary; empty for an id the table lacks.
std::string LoadModuleString(UINT id);

/// Makes the module's resources current for the lifetime of the scope, then puts back exactly
/// what was current before.
class CResourceScope {
public:
    explicit CResourceScope(HINSTANCE resources);
    ~CResourceScope();
    CResourceScope(const CResourceScope&) = delete;
    CResourceScope& operator=(const CResourceScope&) = delete;

private:
    HINSTANCE m_previous = nullptr;
    bool m_switched = false;
};

/// What the settings a dialog writes are to its export: remembered choices beside the result
/// (most dialogs), or the result itself (the export layout, whose only outcome is the keys).
enum class SettingsRole { Remembered, Result };

/// Tells the user that the settings of the dialog just closed could not be written (\p why).
void ReportSettingsNotWritten(const std::string& why);

/// The frame of every dialog export: resources current, dialog built without parent, loaded,
/// run modally, written back only after OK. The dialog is destroyed before the resources are
/// put back, also when an exception leaves a handler or a host callback.
/// The settings the dialog writes are held back and reach the file in one replace when the
/// dialog is gone; when that fails the user is told, and an export whose result is its
/// settings returns false.
template <typename Dialog, typename Load, typename WriteBack>
bool RunDialogExport(Load&& load, WriteBack&& writeBack,
                     SettingsRole settingsRole = SettingsRole::Remembered) {
    if (!IsModuleRegistered()) return false;
    CResourceScope scope(ExtensionModule().hResource);
    CIniFile::CWriteBatch settings;
    bool confirmed = false;
    {
        Dialog dialog;
        load(dialog);
        confirmed = dialog.DoModal() == 1;
        if (confirmed) writeBack(dialog);
    }
    std::string why;
    if (!settings.Commit(&why)) {
        ReportSettingsNotWritten(why);
        if (settingsRole == SettingsRole::Result) return false;
    }
    return confirmed;
}
