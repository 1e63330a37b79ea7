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
#include <utility>
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
    bool open = true;   ///< open (true) or save (false)
    std::string title;  ///< as shown ("Apri" or "Salva con nome" when none was given)
    std::string filter; ///< "label|patterns|...|" as given by the caller
    std::string defaultExtension;
    std::string fileName; ///< proposed file name (may hold a folder)
    std::string initialFolder;
    int filterIndex = 1; ///< preselected filter row, from 1
    DWORD flags = 0;
};

/// \brief How the user closes a file dialog.
struct FileDialogAnswer {
    bool ok = false;     ///< OK (true) or Annulla (false)
    std::string path;    ///< the name typed or picked; a bare name is in the dialog's folder
    int filterIndex = 1; ///< the filter row in use, from 1
};

class Grid;

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
    /// \brief The text as a person reads it: access-key markers removed ("&OK" reads "OK",
    ///        "&&" reads "&"), except in controls that show text literally (edits, lists,
    ///        statics with SS_NOPREFIX).
    std::string shownText(int id) const;
    /// \brief The label a person reads for a control: its own shown text for buttons, check
    ///        boxes, radio buttons and group boxes; else the shown text of the static text
    ///        that comes before it in the template (empty when there is none).
    std::string label(int id) const;
    /// \brief The control's rectangle in pixels, in the client coordinates of the dialog.
    RECT rect(int id) const;
    /// \brief The selection of an edit, in characters: {start, end}; the caret is at the end;
    ///        equal ends are the caret alone ({0, 0} for a control that is not an edit).
    std::pair<int, int> textSelection(int id) const;
    /// \brief The selected text of an edit ("" when nothing is selected).
    std::string selectedText(int id) const;
    /// \brief The balloon tip shown at an edit: its title and text (both empty when none).
    struct BalloonTip {
        std::string title;
        std::string text;
        bool shown() const { return !title.empty() || !text.empty(); }
    };
    BalloonTip balloon(int id) const;

    // Dialogs that embed a property sheet.
    /// \brief Index of the sheet's active page (-1: no sheet).
    int activePage() const;
    /// \brief Clicks the tab of page \p index; false when the active page refuses to be left.
    bool selectPage(int index);
    int pageCount() const;
    /// \brief The text of the tab of page \p index.
    std::string pageCaption(int index) const;

    // What the user does. Each returns false, and does nothing, when a person could not do
    // it (no such control, hidden, disabled, read-only, index out of range, dialog closed).
    /// \brief Selects the whole text of an edit and pastes \p text over it: one change.
    bool setText(int id, const std::string& text);
    /// \brief Clicks after the text of an edit and types \p keys there ('\b' BackSpace).
    bool type(int id, const std::string& keys);
    /// \brief Ctrl+A in an edit: its whole text selected.
    bool selectAll(int id);
    /// \brief Clicks an edit before character \p position (its length or -1: after the text).
    bool putCaret(int id, int position);
    /// \brief Selects characters \p start to \p end of an edit (\p end -1: to the end).
    bool selectText(int id, int start, int end);
    /// \brief Types \p keys at the caret of an edit, replacing the selection, one change per
    ///        key; '\b' is BackSpace and '\x7f' Delete.
    bool keys(int id, const std::string& keys);
    /// \brief BackSpace, \p times times, at the caret of an edit.
    bool backspace(int id, int times = 1);
    /// \brief Delete, \p times times, at the caret of an edit.
    bool pressDelete(int id, int times = 1);
    bool click(int id);
    bool select(int id, int index);
    bool doubleClick(int id, int index);
    /// \brief Moves the selection of a list view to entry \p index with the arrow keys.
    bool moveTo(int id, int index);
    bool setFocus(int id);
    bool enter();
    bool escape();
    bool close();
    /// \brief Presses Tab (Shift+Tab when \p backwards): the focus moves to the next tab stop.
    bool pressTab(bool backwards = false);

    /// \brief The framework object of the dialog, for checks a person cannot make.
    CDialog& window() const { return m_dialog; }

    /// \brief The grid control \p id.
    Grid grid(int id) const;

    /// \brief The window of the visible control \p id (pages included), or null: for the
    ///        views' own tests, which act on what a view made of it.
    platform::Window* control(int id) const;

private:
    friend class Grid;

    CDialog& m_dialog;
};

/// \brief A grid of a dialog as the user sees it (Dialog::grid). Rows and columns count from
///        0 and include the fixed ones. Every call looks the grid up again, so an accessor
///        stays safe when the grid goes away (it then reads as empty and refuses every action).
class Grid {
public:
    Grid(const Dialog& dialog, int id) : m_dialog(dialog), m_id(id) {}

    bool exists() const;
    int rows() const;
    int columns() const;
    int fixedRows() const;
    int fixedColumns() const;
    std::string heading(int column) const;
    /// \brief The label of a row in the row-number column ("" when it has none).
    std::string rowLabel(int row) const;
    std::string text(int row, int column) const;
    /// \brief The cell's state bits (GVIS_SELECTED, GVIS_READONLY, GVIS_FOCUSED).
    UINT state(int row, int column) const;
    /// \brief True when the cell cannot be edited: read-only, fixed, or the grid not editable.
    bool readOnly(int row, int column) const;
    /// \brief The background colour shown (0x00BBGGRR), the grid's own where none was set.
    COLORREF colour(int row, int column) const;
    COLORREF textColour(int row, int column) const;
    /// \brief The text shown beside a row ("" for none).
    std::string message(int row) const;
    /// \brief True while the in-place editor is open; editText() is what it shows.
    bool editing() const;
    std::string editText() const;
    /// \brief The cell of the open editor (-1 when none is open).
    int editRow() const;
    int editColumn() const;
    /// \brief True while the editor's whole text is selected (the next key replaces it).
    bool editTextSelected() const;
    /// \brief The balloon shown at the open editor's cell: why its text was refused; "" when
    ///        none is shown.
    std::string balloon() const;

    /// \brief Clicks a cell (false when the cell is fixed or the listener refuses).
    bool click(int row, int column);
    /// \brief Moves to a cell with the arrow keys.
    bool moveTo(int row, int column);
    /// \brief Opens the cell's drop-down list, reads its entries and closes it with Escape;
    ///        empty for a cell without a drop-down list or one that refuses to open.
    std::vector<std::string> choices(int row, int column);
    /// \brief Clicks a cell, opens its editor, types \p text over the old one (or picks the
    ///        drop-down entry with that text) and presses Enter. False when the cell or the
    ///        listener refuses; a refused text leaves the editor open, as a person sees it.
    bool edit(int row, int column, const std::string& text);
    /// \brief The steps of edit() one by one: open the editor (a double click), replace its
    ///        text, pick a drop-down entry, Enter, Escape.
    bool beginEdit(int row, int column);
    bool setEditText(const std::string& text);
    /// \brief Keys typed into the open edit box: they replace the text while it is selected
    ///        whole, and go at its end otherwise.
    bool type(const std::string& keys);
    bool pick(int index);
    bool enter();
    bool escape();

private:
    platform::Window* window() const;

    Dialog m_dialog;
    int m_id;
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
