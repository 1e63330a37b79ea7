// gpsbook's main window: the groups and points of one field book in a tree, the menus and the
// toolbar that reach the dialogs of the GPS module, and the host's side of each of them
// (finding the point, showing the selection, printing the chosen groups, saving the book).
#pragma once

#include "BookPrint.h"
#include "BookUndo.h"
#include "NoteEditor.h"

#include "core/AsciiImport.h"
#include "core/FieldBook.h"
#include "core/PointSearch.h"
#include "core/SurveyEdits.h"

#include <QMainWindow>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class PlanView;
class QAction;
class QLabel;
class QTreeWidget;
class QTreeWidgetItem;
class QUndoStack;

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    /// \param samplePath the bundled sample field book (may be empty when it cannot be found)
    explicit MainWindow(QString samplePath, QWidget* parent = nullptr);
    ~MainWindow() override;

    /// Opens a field book file; on failure says why and keeps the book shown so far.
    bool openFile(const QString& path);
    /// Opens the bundled sample; saving it always asks for a new name.
    bool openSample();
    /// Shows an empty, unnamed field book.
    void newBook();

    /// The field book shown.
    gpsbook::FieldBook& fieldBook() { return *m_book; }
    /// Selects a point (point -1: the group) in the tree.
    bool selectPosition(int group, int point);
    /// The selection: a point, a group (point -1), or nothing.
    std::optional<gpsbook::PointPosition> selectedPosition() const;
    /// The host object handed to the dialogs that have a "Note" button; a note changed through
    /// it marks the book modified.
    HostNotes& notes() { return m_notes; }
    /// The changes made to the book since it was opened, for "Annulla" and "Ripeti"; its clean
    /// state is the book as last saved or opened.
    QUndoStack& undoStack() { return *m_undo; }
    /// The plan view beside the tree.
    PlanView* planView() const { return m_plan; }

signals:
    /// After every change to the book, after every undo and redo, and when another book is
    /// shown: the book may be a new object, so its elements are to be looked up again.
    void bookChanged();

public slots:
    void openBook();
    bool saveBook();
    bool saveBookAs();
    void printBook();
    void searchPoint();
    void searchNextPoint();
    void showPointCoordinates();
    /// Opens the point editor on the selected point.
    void editPoint();
    /// Opens the point editor on the selected point for a correction declaration: coordinates
    /// locked, no note.
    void declareCorrection();
    void showBaseStation();
    /// Opens the base station editor on the selected group (or the selected point's group).
    void editBaseStation();
    /// Asks the creation options, then creates the point in the chosen group.
    void newPoint();
    /// Turns the selected drawn points (all of them when none is selected) into points of the
    /// group the transfer options choose.
    void transferDrawingPoints();
    /// Asks which base station to move and its right antenna height, then moves the base and
    /// the points measured from it.
    void moveBaseStation();
    /// Writes the points of the selected group (of every group when nothing is selected) to
    /// an ASCII file in the layout of "Formato esportazione…".
    void exportAscii();
    /// Opens the layout of the ASCII export ("Selezione campi").
    void chooseExportLayout();
    /// Reads a receiver's file (the module's import file choice) into a new group.
    void importPoints();
    /// Deletes the selected groups, points and drawn points after a confirmation that says
    /// what goes.
    void deleteSelection();
    /// Reads an ASCII file exported by gpsbook, in the layout of "Formato esportazione…", into
    /// a new group.
    void importOwnAscii();
    void about();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void createActions();
    void createMenus();
    /// After the field book changed: records the change for "Annulla" (\p label says what it
    /// did), shows the new values, keeps the selection and tells bookChanged. Nothing happens
    /// when the book is as it was.
    /// \param undoSelection the selection that undoing the change shows; the current one when
    /// absent
    /// \return whether the book had changed
    bool recordChange(const QString& label,
                      std::optional<gpsbook::PointPosition> undoSelection = std::nullopt);
    /// Puts a recorded state of the book into the window (undo and redo).
    void restoreState(const gpsbook::BookState& state);
    /// The book's text as a save writes it; empty (with \p error) when it cannot be written.
    std::string bookText(std::string& error) const;
    /// Forgets the recorded changes: the book shown is the one opened or saved.
    void resetHistory();
    void createEditActions();
    /// Selects \p group, \p point, or the nearest that exists (the group, else nothing).
    void selectNearest(int group, int point);
    /// What deleteSelection removes: the selected groups, points and drawn points.
    gpsbook::Deletion selectedDeletion() const;
    void rebuildTree();
    void updateActions();
    void updateTitle();
    void setBook(std::unique_ptr<gpsbook::FieldBook> book, const QString& path, bool isSample);
    bool maybeSave();
    bool writeBook(const QString& path);
    void runPointEditor(bool full);
    void findAndSelect(const std::string& text, bool inName, bool inCode);
    CPunGps* selectedPoint() const;
    CGrpGps* selectedGroup() const;
    /// Positions in the book's list of drawn points of the selected drawn points.
    std::vector<int> selectedDrawingPoints() const;
    QString startFolder() const;
    void rememberFolder(const QString& path);
    /// Shows what an import did: its message on failure, else the new group selected.
    void finishImport(const gpsbook::ImportOutcome& outcome, const QString& title);
    /// Runs a menu action; an exception it lets out is reported, the book stays as it is.
    void guarded(const QString& action, const std::function<void()>& run);
    /// Runs \p run, guarded, whenever \p action is triggered, in the name of its icon text.
    void guard(QAction* action, std::function<void()> run);
    /// A double click on a point or group, in the tree or the plan: selects it and opens what
    /// the menu opens for it.
    void openPosition(int group, int point);
    bool isSamplePath(const QString& path) const;

    // The plan view: a dock beside the tree, drawing the book again whenever the tree is
    // filled again, its selection in step with the tree's.
    void createPlanDock();
    void refreshPlan();
    void showTreeSelectionInPlan();
    /// The plan as the printout's first page, when "Pianta nella stampa" is on.
    std::optional<gpsbook::PicturePage> planPage();

    std::unique_ptr<gpsbook::FieldBook> m_book;
    QString m_path;
    bool m_isSample = false;
    QString m_samplePath;
    HostNotes m_notes; // the host object given to the exports that have a "Note" button

    QTreeWidget* m_tree = nullptr;
    QLabel* m_summary = nullptr;
    PlanView* m_plan = nullptr;
    QAction* m_actPlanInPrint = nullptr;
    bool m_pickingInPlan = false; // the tree follows a choice made in the plan

    QAction* m_actOpen = nullptr;
    QAction* m_actSave = nullptr;
    QAction* m_actSaveAs = nullptr;
    QAction* m_actPrint = nullptr;
    QAction* m_actQuit = nullptr;
    QAction* m_actSearch = nullptr;
    QAction* m_actEditPoint = nullptr;
    QAction* m_actDeclare = nullptr;
    QAction* m_actSearchNext = nullptr;
    QAction* m_actShowPoint = nullptr;
    QAction* m_actShowBase = nullptr;
    QAction* m_actEditBase = nullptr;
    QAction* m_actNewPoint = nullptr;
    QAction* m_actTransfer = nullptr;
    QAction* m_actMoveBase = nullptr;
    QAction* m_actAbout = nullptr;
    QAction* m_actExportAscii = nullptr;
    QAction* m_actExportLayout = nullptr;
    QAction* m_actImport = nullptr;
    QAction* m_actImportAscii = nullptr;

    QUndoStack* m_undo = nullptr;
    // The book's text at the state the undo stack stands at; null when it could not be written.
    std::shared_ptr<const std::string> m_stateText;
    QAction* m_actUndo = nullptr;
    QAction* m_actRedo = nullptr;
    QAction* m_actDelete = nullptr;
};
