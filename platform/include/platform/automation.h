// The automation API: how tests, and hosts that test their own integration, act as the user.
//
//   automation::ScriptedUser user;                  // answers every modal run while alive
//   user.onDialog([](automation::Dialog& d) {       // next modal dialog, in order
//       d.setText(2000, "A5");                      // select all and paste: one change
//       d.click(IDOK);
//   });
//   user.onMessageBox([](const automation::MessageBoxCall& m) { return IDOK; });
//   user.onFileDialog([](const automation::FileDialogCall& f) {
//       return automation::FileDialogAnswer{true, "/tmp/x.txt", 1};
//   });
#pragma once

#include "platform/types.h"

#include <deque>
#include <functional>
#include <string>
#include <vector>

class CDialog;
class CWnd;

namespace platform {
class Window;
}

namespace automation {

/// \brief A message box that was shown.
struct MessageBoxCall {
    std::string text;
    std::string caption;
    UINT type = 0;
};

/// \brief A standard file dialog that was shown.
struct FileDialogCall {
    bool open = true;             ///< open (true) or save (false)
    std::string title;            ///< as shown ("Apri" or "Salva con nome" when none was given)
    std::string filter;           ///< "label|patterns|...|" as given by the caller
    std::string defaultExtension;
    std::string fileName;         ///< proposed file name (may hold a folder)
    std::string initialFolder;
    int filterIndex = 1;          ///< preselected filter row, from 1
    DWORD flags = 0;
};

/// \brief How the user closes a file dialog.
struct FileDialogAnswer {
    bool ok = false;     ///< OK (true) or Annulla (false)
    std::string path;    ///< the name typed or picked; a bare name is in the dialog's folder
    int filterIndex = 1; ///< the filter row in use, from 1
};

/// \brief A modal dialog as the user sees it. Control ids address the dialog's own controls.
class Dialog {
public:
    explicit Dialog(CDialog& dialog);

    // What the user sees.
    std::string caption() const;
    int templateId() const;
    bool isOpen() const;
    bool exists(int id) const;
    std::string text(int id) const;
    bool checked(int id) const;
    bool enabled(int id) const;
    bool readOnly(int id) const;
    bool visible(int id) const;
    std::vector<std::string> items(int id) const;
    int selection(int id) const;
    std::vector<int> selections(int id) const;
    /// \brief Id of the control that has the focus (0: none in this dialog).
    int focus() const;

    // What the user does. Each returns false, and does nothing, when a person could not do
    // it (no such control, hidden, disabled, read-only, index out of range, dialog closed).
    bool setText(int id, const std::string& text);
    bool type(int id, const std::string& keys);
    bool click(int id);
    bool select(int id, int index);
    bool doubleClick(int id, int index);
    bool setFocus(int id);
    bool enter();
    bool escape();
    bool close();

    /// \brief The framework object of the dialog, for checks a person cannot make.
    CDialog& window() const { return m_dialog; }

private:
    platform::Window* control(int id) const;

    CDialog& m_dialog;
};

/// \brief Answers every modal run, message box and file dialog while it is alive.
///
/// Handlers are used in the order they were given. A dialog handler that returns with its
/// dialog still open closes it with the close box (or Cancel when it has none) and counts as
/// unexpected; so does a modal run with no handler left. A message box with no handler left
/// is answered with its Cancel (or only) button and counts as unexpected. A file dialog with
/// no handler left is cancelled and counts as unexpected. A file-dialog answer meets the
/// checks a person's choice meets (see CFileDialog); when they refuse it the dialog is still
/// open and the next file-dialog handler answers it again.
class ScriptedUser {
public:
    ScriptedUser();
    ~ScriptedUser();
    ScriptedUser(const ScriptedUser&) = delete;
    ScriptedUser& operator=(const ScriptedUser&) = delete;

    void onDialog(std::function<void(Dialog&)> handler);
    void onMessageBox(std::function<int(const MessageBoxCall&)> handler);
    void onFileDialog(std::function<FileDialogAnswer(const FileDialogCall&)> handler);

    const std::vector<MessageBoxCall>& messageBoxes() const { return m_messageBoxes; }
    /// \brief Each time a file dialog asked for an answer (again after a refused one).
    const std::vector<FileDialogCall>& fileDialogs() const { return m_fileDialogs; }
    int beeps() const { return m_beeps; }
    /// \brief Number of unexpected events; unexpectedLog() says what they were.
    int unexpected() const { return static_cast<int>(m_unexpected.size()); }
    const std::vector<std::string>& unexpectedLog() const { return m_unexpected; }
    /// \brief Handlers given but not used yet.
    int pendingDialogs() const { return static_cast<int>(m_dialogHandlers.size()); }
    /// \brief Template ids of the dialogs run so far, in order.
    const std::vector<int>& dialogsSeen() const { return m_dialogsSeen; }

    /// \brief The innermost living ScriptedUser, or null.
    static ScriptedUser* current();

    // Used by the platform when it asks the user (platform::runModal, MessageBox, ...).
    void runDialog(CDialog& dialog);
    int answerMessageBox(const MessageBoxCall& call);
    FileDialogAnswer answerFileDialog(const FileDialogCall& call);
    void noteBeep() { ++m_beeps; }
    void noteUnexpected(std::string what) { m_unexpected.push_back(std::move(what)); }

private:
    std::deque<std::function<void(Dialog&)>> m_dialogHandlers;
    std::deque<std::function<int(const MessageBoxCall&)>> m_messageBoxHandlers;
    std::deque<std::function<FileDialogAnswer(const FileDialogCall&)>> m_fileDialogHandlers;
    std::vector<MessageBoxCall> m_messageBoxes;
    std::vector<FileDialogCall> m_fileDialogs;
    std::vector<std::string> m_unexpected;
    std::vector<int> m_dialogsSeen;
    int m_beeps = 0;
    ScriptedUser* m_previous = nullptr;
};

} // namespace automation
