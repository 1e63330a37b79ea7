// The standard open and save file dialogs. What a person meets before the dialog closes (the
// default extension, the existence checks, the question before replacing a file) is the
// platform's, so a scripted user's answer meets the same checks as a person's choice.
//
//   CFileDialog dialog(FALSE, "txt", "doc.txt",
//                      OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY,
//                      "File ASCII (*.TXT)|*.txt||");
//   dialog.m_ofn.lpstrTitle = title.c_str();
//   if (dialog.DoModal() == IDOK) use(dialog.GetPathName(), dialog.m_ofn.nFilterIndex);
#pragma once

#include "platform/types.h"

#include <string>

class CWnd;

namespace automation {
struct FileDialogCall;
}

// Flags of a file dialog (OPENFILENAME::Flags).
inline constexpr DWORD OFN_READONLY = 0x00000001;
inline constexpr DWORD OFN_OVERWRITEPROMPT = 0x00000002;
inline constexpr DWORD OFN_HIDEREADONLY = 0x00000004;
inline constexpr DWORD OFN_NOCHANGEDIR = 0x00000008;
inline constexpr DWORD OFN_PATHMUSTEXIST = 0x00000800;
inline constexpr DWORD OFN_FILEMUSTEXIST = 0x00001000;
inline constexpr DWORD OFN_EXPLORER = 0x00080000;
inline constexpr DWORD OFN_ENABLESIZING = 0x00800000;

/// \brief What a file dialog shows and what it hands back, with the framework's field names.
///
/// The texts are borrowed: each pointer must stay valid until DoModal returns.
struct OPENFILENAME {
    /// \brief Filter rows: label and patterns, each closed by '\0', the list closed by one
    ///        more '\0'. Patterns of a row are separated by ';' ("*.rep;*.htm").
    const char* lpstrFilter = nullptr;
    /// \brief The filter row shown, from 1: the one preselected on the way in, the one in use
    ///        when the dialog closed with OK on the way out.
    DWORD nFilterIndex = 1;
    /// \brief The proposed file name on the way in (may hold a folder, which is then the folder
    ///        the dialog opens in); the full chosen path on the way out.
    const char* lpstrFile = nullptr;
    /// \brief Folder the dialog opens in when the proposed name holds none (null: the platform
    ///        decides).
    const char* lpstrInitialDir = nullptr;
    /// \brief Title of the dialog (null: "Apri" or "Salva con nome").
    const char* lpstrTitle = nullptr;
    /// \brief OFN_* flags.
    DWORD Flags = 0;
    /// \brief Extension added to a name typed without one, with or without its leading dot
    ///        (null: none is added).
    const char* lpstrDefExt = nullptr;
};

/// \brief The standard open or save file dialog.
///
/// Before the dialog closes with OK, the chosen name is checked as a person would see it:
/// 1. a name without an extension gets the extension of the filter row in use (its first
///    pattern, when that names one) or else the default extension, when a default extension
///    was given;
/// 2. with OFN_PATHMUSTEXIST or OFN_FILEMUSTEXIST the folder must exist, with
///    OFN_FILEMUSTEXIST the file too, else an Italian message says so;
/// 3. OnFileNameOK may refuse the name (it tells the user why);
/// 4. a save dialog with OFN_OVERWRITEPROMPT asks "<name> esiste già.\nSostituirlo?" (yes/no)
///    before it names an existing file.
/// A name refused by any step leaves the dialog open for another choice. The messages and the
/// question are ordinary message boxes, so a scripted user answers them like any other; a
/// scripted answer that is refused is followed by the next file-dialog answer of the script
/// (the dialog is still open), and with none left the dialog is cancelled and counts as
/// unexpected.
///
/// The read-only box is never shown: OFN_HIDEREADONLY is accepted and changes nothing.
class CFileDialog {
public:
    /// \param openFileDialog TRUE for an open dialog, FALSE for a save dialog
    /// \param defExt default extension (see OPENFILENAME::lpstrDefExt), may be null
    /// \param fileName proposed file name, may be null
    /// \param flags OFN_* flags
    /// \param filter filter rows as "label|patterns|label|patterns||", may be null
    /// \param parentWnd owner of the dialog and of its messages, may be null
    explicit CFileDialog(BOOL openFileDialog, const char* defExt = nullptr,
                         const char* fileName = nullptr,
                         DWORD flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
                         const char* filter = nullptr, CWnd* parentWnd = nullptr);
    virtual ~CFileDialog() = default;
    CFileDialog(const CFileDialog&) = delete;
    CFileDialog& operator=(const CFileDialog&) = delete;

    /// \brief Shows the dialog until the user confirms a name that passes the checks, or
    ///        cancels.
    /// \return IDOK or IDCANCEL
    virtual INT_PTR DoModal();

    /// \brief Full path of the chosen file (after OK; the proposed name before).
    std::string GetPathName() const;
    /// \brief The chosen file's name without its folder.
    std::string GetFileName() const;
    /// \brief The chosen file's extension without its dot (empty when none).
    std::string GetFileExt() const;
    /// \brief The chosen file's name without its folder and extension.
    std::string GetFileTitle() const;

    /// \brief True for an open dialog, false for a save dialog.
    bool IsOpenDialog() const { return m_open; }

    OPENFILENAME m_ofn;

protected:
    /// \brief Called with the chosen name (GetPathName) once the extension is added and the
    ///        existence checks passed, before the question about replacing it.
    /// \return TRUE to refuse the name and keep the dialog open (the override tells the user
    ///         why), FALSE to accept it
    virtual BOOL OnFileNameOK() { return FALSE; }

private:
    /// The checks of a chosen name; empty when refused. \p folder is the folder the dialog
    /// shows, where a bare name is; it follows the names tried.
    std::string acceptChoice(const automation::FileDialogCall& call, std::string& folder,
                             const std::string& chosen, int filterIndex);

    bool m_open;
    CWnd* m_parent;
    std::string m_filter;     // the rows with '\0' separators, pointed to by m_ofn
    std::string m_fileBuffer; // the proposed name, then the chosen path, pointed to by m_ofn
    std::string m_defExt;     // pointed to by m_ofn
    std::string m_pathName;
};
