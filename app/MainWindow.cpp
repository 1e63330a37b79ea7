#include "MainWindow.h"
#include "PlanView.h"
#include "core/AsciiImport.h"
#include "core/AtomicFile.h"
#include "core/BookText.h"
#include "core/SurveyEdits.h"

#include "gpsdialogs/GpsDialogs.h"
#include "gpsdialogs/interfaces/Kit.h"
#include "platform/filedialog.h"
#include "platform/messagebox.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDateTime>
#include <QDir>
#include <QDockWidget>
#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QSet>
#include <QStatusBar>
#include <QStyle>
#include <QTemporaryFile>
#include <QTimer>
#include <QToolBar>
#include <QTreeWidget>
#include <QUndoStack>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <utility>

#include <sys/stat.h>

namespace {

constexpr int kGroupRole = Qt::UserRole;
constexpr int kPointRole = Qt::UserRole + 1;
// Position of a drawn point in the book's list; -1 on the node that holds them, absent (an
// invalid variant) on groups and points, whose group role is -1 on drawn points and their node.
constexpr int kDrawingRole = Qt::UserRole + 2;

const char* const kSettingsSection = "GPSBOOK";
const char* const kSettingsFolder = "UltimaCartella";
const char* const kFileFilter =
    "Libretti GPS (*.gpsbook.json *.json)|*.gpsbook.json;*.json|Tutti i file (*.*)|*.*||";
const char* const kBookExtension = "gpsbook.json";

QString fromStd(const std::string& text) {
    return QString::fromStdString(text);
}
std::string pathToStd(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

/// "1 punto" or "3 punti": \p many holds %1 for the number.
QString counted(int n, const QString& one, const QString& many) {
    return n == 1 ? one : many.arg(n);
}

/// Marks a point whose name another point of its group has too.
void markDuplicate(QTreeWidgetItem* item) {
    item->setIcon(gpsbook::ColName,
                  QApplication::style()->standardIcon(QStyle::SP_MessageBoxWarning));
    item->setToolTip(gpsbook::ColName,
                     QObject::tr("Nome ripetuto: un altro punto del gruppo ha lo stesso nome"));
}

/// The group's tooltip: its coordinate system, and the names its points repeat.
void decorateGroup(QTreeWidgetItem* item, const CGrpGps& group,
                   const std::vector<std::string>& repeated) {
    QString tip = QObject::tr("Sistema di coordinate: %1").arg(fromStd(gpsbook::systemText(group)));
    if (!repeated.empty()) {
        QStringList names;
        for (const std::string& name : repeated)
            names << fromStd(name);
        tip += "\n" + QObject::tr("Nomi ripetuti nel gruppo: %1").arg(names.join(", "));
        item->setIcon(gpsbook::ColName,
                      QApplication::style()->standardIcon(QStyle::SP_MessageBoxWarning));
    }
    for (int c = 0; c < gpsbook::ColumnCount; ++c)
        if (c != gpsbook::ColDescription) item->setToolTip(c, tip);
}

QString canonical(const QString& path) {
    QString resolved = QFileInfo(path).canonicalFilePath();
    return resolved.isEmpty() ? QFileInfo(path).absoluteFilePath() : resolved;
}

/// The save dialog of the field book. The bundled sample is refused as soon as it is named,
/// before the dialog asks whether to replace it: one answer, not a question and then a no.
class BookSaveDialog final : public CFileDialog {
public:
    BookSaveDialog(const std::string& proposed, std::function<bool(const QString&)> isSample)
        : CFileDialog(FALSE, kBookExtension, proposed.c_str(),
                      OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY, kFileFilter),
          m_isSample(std::move(isSample)) {}

protected:
    BOOL OnFileNameOK() override {
        if (!m_isSample(QFile::decodeName(GetPathName().c_str()))) return FALSE;
        MessageBox(nullptr,
                   QObject::tr("Il libretto di esempio non può essere sovrascritto: scegliere un "
                               "altro nome.")
                       .toStdString(),
                   QObject::tr("Salva libretto").toStdString(), MB_OK | MB_ICONEXCLAMATION);
        return TRUE;
    }

private:
    std::function<bool(const QString&)> m_isSample;
};

} // namespace

MainWindow::MainWindow(QString samplePath, QWidget* parent)
    : QMainWindow(parent), m_book(std::make_unique<gpsbook::FieldBook>()),
      m_samplePath(std::move(samplePath)), m_notes(this) {
    m_tree = new QTreeWidget(this);
    QStringList headings;
    for (const std::string& title : gpsbook::columnTitles())
        headings << fromStd(title);
    m_tree->setHeaderLabels(headings);
    m_tree->setColumnCount(gpsbook::ColumnCount);
    // Several drawn points may be chosen for one transfer; everything else acts on the current
    // item.
    m_tree->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_tree->setAlternatingRowColors(true);
    m_tree->setUniformRowHeights(true);
    m_tree->setAllColumnsShowFocus(true);
    m_tree->header()->setStretchLastSection(false);
    for (int c = gpsbook::ColLatitude; c < gpsbook::ColumnCount; ++c)
        m_tree->headerItem()->setTextAlignment(c, Qt::AlignRight | Qt::AlignVCenter);
    setCentralWidget(m_tree);
    connect(m_tree, &QTreeWidget::itemSelectionChanged, this, &MainWindow::updateActions);
    connect(m_tree, &QTreeWidget::itemActivated, this, [this](QTreeWidgetItem* item) {
        if (item->data(0, kGroupRole).toInt() < 0) return; // a drawn point
        openPosition(item->data(0, kGroupRole).toInt(), item->data(0, kPointRole).toInt());
    });

    m_summary = new QLabel(this);
    statusBar()->addPermanentWidget(m_summary);

    // The title's modified mark is the undo history's: the book is as saved at its clean state.
    // Each state keeps the book's whole text: a long session keeps the latest changes.
    m_undo = new QUndoStack(this);
    m_undo->setUndoLimit(200);
    connect(m_undo, &QUndoStack::cleanChanged, this,
            [this](bool clean) { setWindowModified(!clean); });
    // A note is written into the element as soon as its editor is confirmed, whatever the
    // dialog that called the editor does afterwards: the book has changed from then on.
    m_notes.setOnChanged([this] { recordChange(tr("modifica della nota")); });

    createActions();
    createEditActions();
    createMenus();
    resize(1240, 660);
    createPlanDock();
    rebuildTree();
    updateTitle();
}

MainWindow::~MainWindow() = default;

void MainWindow::createActions() {
    QStyle* s = style();
    auto make = [this](const QString& text, const QString& iconText, const QIcon& icon,
                       const QString& tip, void (MainWindow::*slot)()) {
        auto* action = new QAction(icon, text, this);
        action->setIconText(iconText);
        action->setStatusTip(tip);
        guard(action, [this, slot] { (this->*slot)(); });
        return action;
    };
    auto makeBool = [this](const QString& text, const QString& iconText, const QIcon& icon,
                           const QString& tip, bool (MainWindow::*slot)()) {
        auto* action = new QAction(icon, text, this);
        action->setIconText(iconText);
        action->setStatusTip(tip);
        guard(action, [this, slot] { (this->*slot)(); });
        return action;
    };

    m_actOpen = make(tr("&Apri..."), tr("Apri"), s->standardIcon(QStyle::SP_DialogOpenButton),
                     tr("Apre un libretto GPS"), &MainWindow::openBook);
    m_actOpen->setShortcut(QKeySequence::Open);
    m_actSave = makeBool(tr("&Salva"), tr("Salva"), s->standardIcon(QStyle::SP_DialogSaveButton),
                         tr("Salva il libretto"), &MainWindow::saveBook);
    m_actSave->setShortcut(QKeySequence::Save);
    m_actSaveAs = makeBool(tr("Salva &con nome..."), tr("Salva con nome"), QIcon(),
                           tr("Salva il libretto in un altro file"), &MainWindow::saveBookAs);
    // Not every desktop has a standard key for "save as"; this one is the common choice.
    m_actSaveAs->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
    m_actPrint = make(tr("S&tampa libretto..."), tr("Stampa"),
                      s->standardIcon(QStyle::SP_FileDialogDetailedView),
                      tr("Stampa i gruppi scelti in un documento PDF"), &MainWindow::printBook);
    m_actPrint->setShortcut(QKeySequence::Print);
    m_actQuit = new QAction(tr("&Esci"), this);
    m_actQuit->setShortcut(QKeySequence::Quit);
    m_actQuit->setStatusTip(tr("Chiude il programma"));
    connect(m_actQuit, &QAction::triggered, this, &QWidget::close);

    m_actSearch =
        make(tr("&Cerca punto..."), tr("Cerca"), s->standardIcon(QStyle::SP_FileDialogContentsView),
             tr("Cerca un punto per nome o per codice/commento"), &MainWindow::searchPoint);
    m_actSearch->setShortcut(QKeySequence::Find);
    m_actSearchNext =
        make(tr("Cerca &successivo"), tr("Successivo"), s->standardIcon(QStyle::SP_ArrowForward),
             tr("Cerca il punto successivo con gli stessi criteri"), &MainWindow::searchNextPoint);
    m_actSearchNext->setShortcut(QKeySequence(Qt::Key_F3));
    m_actShowPoint =
        make(tr("&Mostra coordinate punto"), tr("Coordinate punto"),
             s->standardIcon(QStyle::SP_FileDialogInfoView),
             tr("Mostra le coordinate del punto selezionato"), &MainWindow::showPointCoordinates);
    m_actEditPoint = make(tr("M&odifica punto…"), tr("Modifica punto"),
                          s->standardIcon(QStyle::SP_FileDialogListView),
                          tr("Modifica i dati del punto selezionato"), &MainWindow::editPoint);
    m_actDeclare =
        make(tr("&Dichiarazione di correzione…"), tr("Dichiarazione di correzione"), QIcon(),
             tr("Dichiara la correzione del punto selezionato, coordinate bloccate"),
             &MainWindow::declareCorrection);
    m_actShowBase = make(tr("Mostra &stazione base"), tr("Stazione base"),
                         s->standardIcon(QStyle::SP_ComputerIcon),
                         tr("Mostra le coordinate della stazione base del gruppo selezionato"),
                         &MainWindow::showBaseStation);
    m_actEditBase =
        make(tr("Stazione &base…"), tr("Stazione base"), QIcon(),
             tr("Modifica la stazione base del gruppo selezionato"), &MainWindow::editBaseStation);
    m_actMoveBase = make(tr("Sposta stazione b&ase…"), tr("Sposta stazione base"), QIcon(),
                         tr("Corregge l'altezza d'antenna di una stazione base spostando la base "
                            "e i suoi punti"),
                         &MainWindow::moveBaseStation);
    m_actNewPoint = make(tr("&Nuovo punto…"), tr("Nuovo punto"),
                         s->standardIcon(QStyle::SP_FileDialogNewFolder),
                         tr("Crea un punto GPS in un gruppo"), &MainWindow::newPoint);
    m_actTransfer =
        make(tr("&Trasferisci punti grafici…"), tr("Trasferisci punti grafici"), QIcon(),
             tr("Trasforma i punti grafici selezionati (tutti se nessuno è "
                "selezionato) in punti GPS di un gruppo"),
             &MainWindow::transferDrawingPoints);
    m_actExportAscii = make(tr("Es&porta ASCII…"), tr("Esporta ASCII"), QIcon(),
                            tr("Scrive i punti del gruppo selezionato (o di tutti) in un file "
                               "ASCII"),
                            &MainWindow::exportAscii);
    m_actExportLayout =
        make(tr("&Formato esportazione…"), tr("Formato esportazione"), QIcon(),
             tr("Sceglie i campi e il formato del file ASCII"), &MainWindow::chooseExportLayout);
    m_actImport = make(tr("&Importa…"), tr("Importa"), QIcon(),
                       tr("Legge i punti di un file di ricevitore in un nuovo gruppo"),
                       &MainWindow::importPoints);
    m_actImportAscii =
        make(tr("Importa ASCII di &gpsbook…"), tr("Importa ASCII"), QIcon(),
             tr("Legge in un nuovo gruppo un file ASCII esportato da gpsbook, con il formato "
                "di \"Formato esportazione…\""),
             &MainWindow::importOwnAscii);
    m_actAbout = make(tr("&Informazioni"), tr("Informazioni"), QIcon(),
                      tr("Informazioni sul programma"), &MainWindow::about);

    // Names that do not change with the texts, for finding the actions from outside.
    m_actOpen->setObjectName("apri");
    m_actSave->setObjectName("salva");
    m_actSaveAs->setObjectName("salvaConNome");
    m_actPrint->setObjectName("stampa");
    m_actQuit->setObjectName("esci");
    m_actSearch->setObjectName("cercaPunto");
    m_actSearchNext->setObjectName("cercaSuccessivo");
    m_actShowPoint->setObjectName("mostraPunto");
    m_actEditPoint->setObjectName("modificaPunto");
    m_actDeclare->setObjectName("dichiarazioneCorrezione");
    m_actShowBase->setObjectName("mostraStazioneBase");
    m_actEditBase->setObjectName("stazioneBase");
    m_actMoveBase->setObjectName("spostaStazioneBase");
    m_actNewPoint->setObjectName("nuovoPunto");
    m_actTransfer->setObjectName("trasferisciPunti");
    m_actAbout->setObjectName("informazioni");
    m_actExportAscii->setObjectName("esportaAscii");
    m_actExportLayout->setObjectName("formatoEsportazione");
    m_actImport->setObjectName("importa");
    m_actImportAscii->setObjectName("importaAscii");
}

void MainWindow::createMenus() {
    QMenu* file = menuBar()->addMenu(tr("&File"));
    file->addAction(m_actOpen);
    file->addAction(m_actSave);
    file->addAction(m_actSaveAs);
    file->addSeparator();
    file->addAction(m_actPrint);
    file->addSeparator();
    file->addAction(m_actExportAscii);
    file->addAction(m_actExportLayout);
    file->addAction(m_actImport);
    file->addAction(m_actImportAscii);
    file->addSeparator();
    file->addAction(m_actQuit);

    QMenu* edit = menuBar()->addMenu(tr("&Modifica"));
    edit->addAction(m_actUndo);
    edit->addAction(m_actRedo);
    edit->addSeparator();
    edit->addAction(m_actDelete);

    QMenu* points = menuBar()->addMenu(tr("&Punti"));
    points->addAction(m_actSearch);
    points->addAction(m_actSearchNext);
    points->addSeparator();
    points->addAction(m_actEditPoint);
    points->addAction(m_actDeclare);
    points->addSeparator();
    points->addAction(m_actShowPoint);
    points->addSeparator();
    points->addAction(m_actNewPoint);
    points->addAction(m_actTransfer);

    QMenu* groups = menuBar()->addMenu(tr("&Gruppi"));
    groups->addAction(m_actShowBase);
    groups->addAction(m_actEditBase);
    groups->addAction(m_actMoveBase);

    QMenu* help = menuBar()->addMenu(tr("&?"));
    help->addAction(m_actAbout);

    QToolBar* bar = addToolBar(tr("Strumenti"));
    bar->setObjectName("strumenti");
    bar->setMovable(false);
    bar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    bar->addAction(m_actOpen);
    bar->addAction(m_actSave);
    bar->addSeparator();
    bar->addAction(m_actSearch);
    bar->addAction(m_actSearchNext);
    bar->addSeparator();
    bar->addAction(m_actEditPoint);
    bar->addAction(m_actShowPoint);
    bar->addAction(m_actShowBase);
    bar->addSeparator();
    bar->addAction(m_actPrint);
}

// ---- the book and the tree -------------------------------------------------------------------

void MainWindow::rebuildTree() {
    m_tree->clear();
    const CLibGps& book = m_book->book;
    int pointCount = 0;
    auto fill = [](QTreeWidgetItem* item, const gpsbook::RowTexts& row) {
        for (int c = 0; c < gpsbook::ColumnCount; ++c) {
            item->setText(c, fromStd(row[c]));
            if (c == gpsbook::ColDescription) item->setToolTip(c, fromStd(row[c]));
            if (c >= gpsbook::ColLatitude)
                item->setTextAlignment(c, Qt::AlignRight | Qt::AlignVCenter);
        }
    };
    // East and North carry the unit of the groups' systems; when the groups differ, each
    // value carries its own. A group without a projection has no unit of its own.
    QSet<QString> units;
    for (int g = 0; g < book.GetGrpArSize(); ++g)
        if (book.GetGrpAt(g)->IsCdElabValid())
            units.insert(fromStd(gpsbook::planeUnit(*book.GetGrpAt(g))));
    const bool mixedUnits = units.size() > 1;
    const QString commonUnit = units.size() == 1 ? *units.begin() : QString(mixedUnits ? "" : "m");
    QStringList headings;
    for (const std::string& title : gpsbook::columnTitles(commonUnit.toStdString()))
        headings << fromStd(title);
    m_tree->setHeaderLabels(headings);
    auto withUnit = [mixedUnits](gpsbook::RowTexts row, const std::string& unit) {
        if (mixedUnits)
            for (int c : {gpsbook::ColEast, gpsbook::ColNorth})
                if (!row[c].empty()) row[c] += " " + unit;
        return row;
    };
    for (int g = 0; g < book.GetGrpArSize(); ++g) {
        const CGrpGps* group = book.GetGrpAt(g);
        const std::string unit = gpsbook::planeUnit(*group);
        auto* groupItem = new QTreeWidgetItem(m_tree);
        fill(groupItem, withUnit(gpsbook::groupRow(*group), unit));
        QFont bold = groupItem->font(0);
        bold.setBold(true);
        groupItem->setFont(gpsbook::ColName, bold);
        groupItem->setData(0, kGroupRole, g);
        groupItem->setData(0, kPointRole, -1);
        const std::vector<std::string> repeated = gpsbook::duplicatePointNames(*group);
        for (int p = 0; p < book.GetPunArSize(g); ++p) {
            auto* pointItem = new QTreeWidgetItem(groupItem);
            const CPunGps* point = book.GetPunAt(g, p);
            fill(pointItem, withUnit(gpsbook::pointRow(*point), unit));
            pointItem->setData(0, kGroupRole, g);
            pointItem->setData(0, kPointRole, p);
            if (std::find(repeated.begin(), repeated.end(), point->GetNome()) != repeated.end())
                markDuplicate(pointItem);
            ++pointCount;
        }
        decorateGroup(groupItem, *group, repeated);
    }
    const std::vector<gpsbook::DrawingPoint>& drawn = m_book->drawingPoints;
    if (!drawn.empty()) {
        auto* node = new QTreeWidgetItem(m_tree);
        node->setText(gpsbook::ColName, tr("Punti grafici"));
        node->setText(gpsbook::ColDescription, tr("non ancora in un gruppo"));
        QFont bold = node->font(0);
        bold.setBold(true);
        node->setFont(gpsbook::ColName, bold);
        node->setData(0, kGroupRole, -1);
        node->setData(0, kPointRole, -1);
        node->setData(0, kDrawingRole, -1);
        for (std::size_t i = 0; i < drawn.size(); ++i) {
            gpsbook::RowTexts row;
            row[gpsbook::ColName] = drawn[i].name;
            row[gpsbook::ColDescription] = drawn[i].description;
            row[gpsbook::ColEast] = gpsbook::formatLength(drawn[i].east);
            row[gpsbook::ColNorth] = gpsbook::formatLength(drawn[i].north);
            row[gpsbook::ColHeight] = gpsbook::formatLength(drawn[i].height);
            auto* item = new QTreeWidgetItem(node);
            fill(item, row);
            item->setData(0, kGroupRole, -1);
            item->setData(0, kPointRole, -1);
            item->setData(0, kDrawingRole, static_cast<int>(i));
        }
    }
    m_tree->expandAll();
    for (int c = 0; c < gpsbook::ColumnCount; ++c)
        m_tree->resizeColumnToContents(c);
    // Long descriptions must not push the coordinates out of sight.
    const int widest = 46 * m_tree->fontMetrics().averageCharWidth();
    if (m_tree->columnWidth(gpsbook::ColDescription) > widest)
        m_tree->setColumnWidth(gpsbook::ColDescription, widest);
    const int groupCount = book.GetGrpArSize();
    m_summary->setText((groupCount == 1 ? tr("1 gruppo") : tr("%1 gruppi").arg(groupCount)) + ", " +
                       (pointCount == 1 ? tr("1 punto") : tr("%1 punti").arg(pointCount)));
    updateActions();
    refreshPlan();
}

// ---- changes, undo and redo ------------------------------------------------------------------

void MainWindow::createEditActions() {
    // The history's steps, guarded as every other action: a step that fails leaves the book
    // and the history where they were. The status bar says what the step did, not what the
    // change before it did.
    auto step = [this](const QString& prefix, void (QUndoStack::*canChanged)(bool),
                       void (QUndoStack::*textChanged)(const QString&)) {
        auto* action = new QAction(prefix, this);
        action->setEnabled(false);
        connect(m_undo, canChanged, action, &QAction::setEnabled);
        connect(m_undo, textChanged, action, [action, prefix](const QString& text) {
            action->setText(text.isEmpty() ? prefix : prefix + ' ' + text);
        });
        return action;
    };
    m_actUndo = step(tr("&Annulla"), &QUndoStack::canUndoChanged, &QUndoStack::undoTextChanged);
    guard(m_actUndo, [this] {
        const QString what = m_undo->undoText();
        m_undo->undo();
        statusBar()->showMessage(tr("Annullato: %1").arg(what), 5000);
    });
    m_actRedo = step(tr("&Ripeti"), &QUndoStack::canRedoChanged, &QUndoStack::redoTextChanged);
    guard(m_actRedo, [this] {
        const QString what = m_undo->redoText();
        m_undo->redo();
        statusBar()->showMessage(tr("Ripetuto: %1").arg(what), 5000);
    });
    m_actUndo->setObjectName("annulla");
    m_actUndo->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    m_actUndo->setStatusTip(tr("Annulla l'ultima modifica al libretto"));
    m_actRedo->setObjectName("ripeti");
    // Ctrl+Y as on Windows, and the desktop's own key where it differs.
    QList<QKeySequence> redoKeys{QKeySequence(Qt::CTRL | Qt::Key_Y)};
    for (const QKeySequence& key : QKeySequence::keyBindings(QKeySequence::Redo))
        if (!redoKeys.contains(key)) redoKeys << key;
    m_actRedo->setShortcuts(redoKeys);
    m_actRedo->setStatusTip(tr("Ripete la modifica annullata"));

    m_actDelete = new QAction(style()->standardIcon(QStyle::SP_TrashIcon), tr("&Elimina…"), this);
    m_actDelete->setObjectName("elimina");
    m_actDelete->setIconText(tr("Elimina"));
    m_actDelete->setShortcut(QKeySequence::Delete);
    m_actDelete->setStatusTip(
        tr("Elimina i gruppi, i punti o i punti grafici selezionati, dopo una conferma"));
    guard(m_actDelete, [this] { deleteSelection(); });

    // The tree's context menu: what acts on the item under the mouse, which is the current one.
    m_tree->setContextMenuPolicy(Qt::ActionsContextMenu);
    auto* separator = new QAction(this);
    separator->setSeparator(true);
    m_tree->addActions({m_actEditPoint, m_actEditBase, m_actNewPoint, separator, m_actDelete});
}

std::string MainWindow::bookText(std::string& error) const {
    return gpsbook::fieldBookToText(m_book->book, m_book->context, &m_book->drawings, &m_book->gis,
                                    error, &m_book->drawingPoints);
}

void MainWindow::resetHistory() {
    m_undo->clear();
    std::string error;
    std::string text = bookText(error);
    m_stateText = error.empty() ? std::make_shared<const std::string>(std::move(text)) : nullptr;
}

bool MainWindow::recordChange(const QString& label,
                              std::optional<gpsbook::PointPosition> undoSelection) {
    std::string error;
    std::string text = bookText(error);
    if (error.empty() && m_stateText && text == *m_stateText) return false;
    const auto at = selectedPosition();
    rebuildTree();
    if (at) selectNearest(at->group, at->point);
    if (!error.empty() || !m_stateText) {
        // A state that cannot be written cannot be put back either: the changes before it can
        // no longer be undone, and the book is modified.
        m_undo->clear();
        m_undo->resetClean();
        m_stateText =
            error.empty() ? std::make_shared<const std::string>(std::move(text)) : nullptr;
        updateActions();
        emit bookChanged();
        return true;
    }
    if (!undoSelection && at) undoSelection = at;
    const auto after = selectedPosition();
    gpsbook::BookState before{m_stateText, undoSelection ? undoSelection->group : -1,
                              undoSelection ? undoSelection->point : -1};
    gpsbook::BookState now{std::make_shared<const std::string>(std::move(text)),
                           after ? after->group : -1, after ? after->point : -1};
    m_stateText = now.text;
    m_undo->push(new gpsbook::BookSnapshotCommand(
        label, std::move(before), std::move(now),
        [this](const gpsbook::BookState& state) { restoreState(state); }));
    updateActions();
    emit bookChanged();
    return true;
}

void MainWindow::restoreState(const gpsbook::BookState& state) {
    gpsbook::LoadResult loaded = gpsbook::parseFieldBook(*state.text, tr("libretto").toStdString());
    if (!loaded.ok()) {
        // Never expected: the text is the book's own. The book shown stays as it is.
        QMessageBox::critical(this, tr("Libretto GPS"), fromStd(loaded.error));
        return;
    }
    // All or nothing: when showing the state fails, the book shown before comes back and the
    // history stays at its step.
    std::unique_ptr<gpsbook::FieldBook> shown = std::exchange(m_book, std::move(loaded.fieldBook));
    std::shared_ptr<const std::string> shownText = std::exchange(m_stateText, state.text);
    const auto at = selectedPosition();
    try {
        rebuildTree();
        selectNearest(state.group, state.point);
        updateActions();
        emit bookChanged();
    } catch (...) {
        std::swap(m_book, shown);
        m_stateText = std::move(shownText);
        rebuildTree();
        if (at) selectNearest(at->group, at->point);
        emit bookChanged();
        throw;
    }
}

void MainWindow::selectNearest(int group, int point) {
    const int groups = m_book->book.GetGrpArSize();
    if (group < 0 || groups == 0) return;
    if (group >= groups) {
        group = groups - 1;
        point = -1;
    }
    if (selectPosition(group, point)) return;
    const int points = m_book->book.GetPunArSize(group);
    if (point >= 0 && points > 0 && selectPosition(group, std::min(point, points - 1))) return;
    selectPosition(group, -1);
}

bool MainWindow::selectPosition(int group, int point) {
    // Past the groups is the node of the drawn points, which is no group.
    if (group >= m_book->book.GetGrpArSize()) return false;
    QTreeWidgetItem* groupItem = m_tree->topLevelItem(group);
    if (groupItem == nullptr) return false;
    QTreeWidgetItem* target = point < 0 ? groupItem : groupItem->child(point);
    if (target == nullptr) return false;
    m_tree->setCurrentItem(target);
    m_tree->scrollToItem(target);
    return true;
}

std::optional<gpsbook::PointPosition> MainWindow::selectedPosition() const {
    // With several items selected, the current one is the one acted on.
    QTreeWidgetItem* item = m_tree->currentItem();
    if (item == nullptr || !item->isSelected()) {
        QList<QTreeWidgetItem*> items = m_tree->selectedItems();
        if (items.isEmpty()) return std::nullopt;
        item = items.front();
    }
    const int group = item->data(0, kGroupRole).toInt();
    if (group < 0) return std::nullopt; // drawn points are in no group
    return gpsbook::PointPosition{group, item->data(0, kPointRole).toInt()};
}

std::vector<int> MainWindow::selectedDrawingPoints() const {
    std::vector<int> chosen;
    for (QTreeWidgetItem* item : m_tree->selectedItems()) {
        QVariant drawing = item->data(0, kDrawingRole);
        if (drawing.isValid() && drawing.toInt() >= 0) chosen.push_back(drawing.toInt());
    }
    std::sort(chosen.begin(), chosen.end());
    return chosen;
}

CPunGps* MainWindow::selectedPoint() const {
    auto at = selectedPosition();
    if (!at || at->point < 0) return nullptr;
    return m_book->book.GetPunAt(at->group, at->point);
}

CGrpGps* MainWindow::selectedGroup() const {
    auto at = selectedPosition();
    return at ? m_book->book.GetGrpAt(at->group) : nullptr;
}

void MainWindow::updateActions() {
    bool hasPoints = false;
    for (int g = 0; g < m_book->book.GetGrpArSize() && !hasPoints; ++g)
        hasPoints = m_book->book.GetPunArSize(g) > 0;
    m_actSearch->setEnabled(hasPoints);
    m_actSearchNext->setEnabled(hasPoints);
    m_actShowPoint->setEnabled(selectedPoint() != nullptr);
    m_actEditPoint->setEnabled(selectedPoint() != nullptr);
    m_actDeclare->setEnabled(selectedPoint() != nullptr);
    m_actShowBase->setEnabled(selectedGroup() != nullptr);
    m_actEditBase->setEnabled(selectedGroup() != nullptr);
    const bool hasGroups = m_book->book.GetGrpArSize() > 0;
    m_actNewPoint->setEnabled(hasGroups);
    m_actTransfer->setEnabled(hasGroups && !m_book->drawingPoints.empty());
    m_actMoveBase->setEnabled(hasGroups);
    m_actPrint->setEnabled(m_book->book.GetGrpArSize() > 0);
    if (m_actDelete != nullptr) m_actDelete->setEnabled(!m_tree->selectedItems().isEmpty());
}

void MainWindow::updateTitle() {
    QString name;
    if (m_path.isEmpty())
        name = tr("Senza nome");
    else if (m_isSample)
        name = tr("%1 (esempio)").arg(QFileInfo(m_path).fileName());
    else
        name = QFileInfo(m_path).fileName();
    setWindowTitle(tr("%1[*] - Libretto GPS").arg(name));
}

void MainWindow::setBook(std::unique_ptr<gpsbook::FieldBook> book, const QString& path,
                         bool isSample) {
    m_book = std::move(book);
    m_path = path;
    m_isSample = isSample;
    resetHistory();
    setWindowModified(false);
    rebuildTree();
    updateTitle();
    if (m_tree->topLevelItemCount() > 0)
        selectPosition(0, m_book->book.GetPunArSize(0) > 0 ? 0 : -1);
    emit bookChanged();
}

bool MainWindow::isSamplePath(const QString& path) const {
    return !m_samplePath.isEmpty() && canonical(path) == canonical(m_samplePath);
}

// ---- File ------------------------------------------------------------------------------------

bool MainWindow::openFile(const QString& path) {
    gpsbook::LoadResult loaded = gpsbook::loadFieldBook(pathToStd(path));
    if (!loaded.ok()) {
        QMessageBox::warning(this, tr("Apri libretto"), fromStd(loaded.error));
        return false;
    }
    setBook(std::move(loaded.fieldBook), QFileInfo(path).absoluteFilePath(), isSamplePath(path));
    statusBar()->showMessage(tr("Aperto %1").arg(QDir::toNativeSeparators(m_path)), 5000);
    return true;
}

bool MainWindow::openSample() {
    if (m_samplePath.isEmpty()) {
        QMessageBox::warning(this, tr("Apri libretto"),
                             tr("Il libretto di esempio non è stato trovato."));
        return false;
    }
    return openFile(m_samplePath);
}

void MainWindow::newBook() {
    setBook(std::make_unique<gpsbook::FieldBook>(), QString(), false);
}

QString MainWindow::startFolder() const {
    if (!m_path.isEmpty() && !m_isSample) return QFileInfo(m_path).absolutePath();
    CIniFile settings;
    QString folder = fromStd(settings.GetString(kSettingsSection, kSettingsFolder, ""));
    return QFileInfo(folder).isDir() ? folder : QDir::homePath();
}

void MainWindow::rememberFolder(const QString& path) {
    CIniFile settings;
    settings.WriteString(kSettingsSection, kSettingsFolder,
                         pathToStd(QFileInfo(path).absolutePath()));
}

void MainWindow::openBook() {
    if (!maybeSave()) return;
    const std::string title = tr("Apri libretto GPS").toStdString();
    const std::string folder = pathToStd(startFolder());
    CFileDialog dialog(TRUE, nullptr, nullptr,
                       OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY, kFileFilter);
    dialog.m_ofn.lpstrTitle = title.c_str();
    dialog.m_ofn.lpstrInitialDir = folder.c_str();
    if (dialog.DoModal() != IDOK) return;
    const QString path = QFile::decodeName(dialog.GetPathName().c_str());
    if (openFile(path)) rememberFolder(path);
}

bool MainWindow::writeBook(const QString& path) {
    gpsbook::SaveResult saved = gpsbook::writeFieldBook(pathToStd(path), *m_book);
    // A question with one button that goes ahead (\p proceed) and "Annulla".
    auto ask = [this](const std::string& text, const QString& proceed) {
        QMessageBox box(QMessageBox::Warning, tr("Salva libretto"), fromStd(text),
                        QMessageBox::NoButton, this);
        QPushButton* yes = box.addButton(proceed, QMessageBox::AcceptRole);
        QPushButton* no = box.addButton(tr("Annulla"), QMessageBox::RejectRole);
        box.setDefaultButton(no);
        box.setEscapeButton(no);
        box.exec();
        return box.clickedButton() == yes;
    };
    // Another program replaced the file since it was opened or saved here: overwritten only
    // when the user says so.
    if (saved.status == gpsbook::SaveStatus::Changed) {
        if (!ask(saved.message, tr("&Sovrascrivi"))) return false;
        saved = gpsbook::writeFieldBook(pathToStd(path), *m_book, true);
    }
    if (saved.status == gpsbook::SaveStatus::ReadOnly)
        return ask(saved.message, tr("Salva con &nome...")) && saveBookAs();
    if (!saved.ok()) {
        QMessageBox::critical(this, tr("Salva libretto"), fromStd(saved.message));
        return false;
    }
    m_path = QFileInfo(path).absoluteFilePath();
    m_isSample = false;
    m_undo->setClean();
    setWindowModified(false);
    updateTitle();
    statusBar()->showMessage(tr("Salvato %1").arg(QDir::toNativeSeparators(m_path)), 5000);
    return true;
}

bool MainWindow::saveBook() {
    // The bundled sample is never written over: it gets a name of its own first.
    if (m_path.isEmpty() || m_isSample) return saveBookAs();
    return writeBook(m_path);
}

bool MainWindow::saveBookAs() {
    QString proposed =
        m_path.isEmpty() || m_isSample
            ? QDir(startFolder())
                  .filePath(m_isSample ? QFileInfo(m_path).fileName() : tr("libretto.gpsbook.json"))
            : m_path;
    const std::string title = tr("Salva libretto GPS con nome").toStdString();
    BookSaveDialog dialog(pathToStd(proposed),
                          [this](const QString& path) { return isSamplePath(path); });
    dialog.m_ofn.lpstrTitle = title.c_str();
    if (dialog.DoModal() != IDOK) return false;
    const QString path = QFile::decodeName(dialog.GetPathName().c_str());
    if (!writeBook(path)) return false;
    rememberFolder(path);
    return true;
}

bool MainWindow::maybeSave() {
    if (!isWindowModified()) return true;
    QMessageBox box(QMessageBox::Question, tr("Libretto GPS"),
                    tr("Salvare le modifiche al libretto?"), QMessageBox::NoButton, this);
    QPushButton* save = box.addButton(tr("&Salva"), QMessageBox::AcceptRole);
    QPushButton* discard = box.addButton(tr("&Non salvare"), QMessageBox::DestructiveRole);
    QPushButton* cancel = box.addButton(tr("Annulla"), QMessageBox::RejectRole);
    box.setDefaultButton(save);
    box.setEscapeButton(cancel);
    box.exec();
    if (box.clickedButton() == save) return saveBook();
    return box.clickedButton() == discard;
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (maybeSave())
        event->accept();
    else
        event->ignore();
}

void MainWindow::printBook() {
    std::vector<CGrpGps*> groups, chosen;
    for (int g = 0; g < m_book->book.GetGrpArSize(); ++g)
        groups.push_back(m_book->book.GetGrpAt(g));
    if (!FDlgSelGrpLibGps(&groups, &chosen)) return;
    if (chosen.empty()) {
        QMessageBox::information(this, tr("Stampa libretto"),
                                 tr("Nessun gruppo selezionato: non c'è nulla da stampare."));
        return;
    }

    QString base = m_path.isEmpty() ? tr("libretto") : QFileInfo(m_path).completeBaseName();
    if (base.endsWith(".gpsbook")) base.chop(8);
    const std::string dialogTitle = tr("Stampa libretto in PDF").toStdString();
    const std::string proposed = pathToStd(QDir(startFolder()).filePath(base + ".pdf"));
    CFileDialog dialog(FALSE, "pdf", proposed.c_str(),
                       OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY,
                       "Documenti PDF (*.pdf)|*.pdf||");
    dialog.m_ofn.lpstrTitle = dialogTitle.c_str();
    if (dialog.DoModal() != IDOK) return;
    QString pdf = QFile::decodeName(dialog.GetPathName().c_str());
    // As a saved book: a symbolic link keeps pointing at the document it names.
    if (QFileInfo(pdf).isSymLink() && !QFileInfo(pdf).canonicalFilePath().isEmpty())
        pdf = QFileInfo(pdf).canonicalFilePath();

    // The printer writes into a temporary file of the same folder, renamed over the target
    // once complete, so that an existing document is never left half written.
    QTemporaryFile temp(QFileInfo(pdf).absolutePath() + "/.gpsbook-stampa-XXXXXX.pdf");
    if (!temp.open()) {
        QMessageBox::critical(
            this, tr("Stampa libretto"),
            tr("Impossibile scrivere nella cartella di \"%1\": %2").arg(pdf, temp.errorString()));
        return;
    }
    temp.close();

    QString title = m_path.isEmpty() ? tr("Senza nome") : QFileInfo(m_path).fileName();
    QString when = tr("Stampato il %1")
                       .arg(QLocale(QLocale::Italian)
                                .toString(QDateTime::currentDateTime(), QLocale::LongFormat));
    const std::optional<gpsbook::PicturePage> plan = planPage();
    const int pages =
        gpsbook::writeReportPdf(temp.fileName(), chosen, title, when, plan ? &*plan : nullptr);
    if (pages == 0) {
        QMessageBox::critical(this, tr("Stampa libretto"),
                              tr("Impossibile scrivere \"%1\".").arg(pdf));
        return;
    }

    // The document gets the permissions a saved book gets (the temporary file has the
    // owner's alone).
    ::chmod(QFile::encodeName(temp.fileName()).constData(),
            static_cast<mode_t>(gpsbook::permissionsForReplacing(pathToStd(pdf))));
    if (std::rename(QFile::encodeName(temp.fileName()).constData(),
                    QFile::encodeName(pdf).constData()) != 0) {
        QMessageBox::critical(this, tr("Stampa libretto"),
                              tr("Impossibile scrivere \"%1\".").arg(pdf));
        return;
    }
    temp.setAutoRemove(false);
    statusBar()->showMessage(
        tr("Libretto stampato in %1 (%2)")
            .arg(QDir::toNativeSeparators(pdf), counted(pages, tr("1 pagina"), tr("%1 pagine"))),
        8000);
}

// ---- ASCII export and import ----------------------------------------------------------------

void MainWindow::exportAscii() {
    std::vector<int> groups;
    if (auto at = selectedPosition())
        groups.push_back(at->group);
    else
        for (int g = 0; g < m_book->book.GetGrpArSize(); ++g)
            groups.push_back(g);
    std::string name =
        m_path.isEmpty() ? std::string() : pathToStd(QFileInfo(m_path).completeBaseName());
    if (name.size() > 8 && name.ends_with(".gpsbook")) name.resize(name.size() - 8);
    if (!FInpNomeFileAsciiLibGps(name)) return;
    const gpsbook::AsciiLayout layout = gpsbook::AsciiLayout::fromSettings(CIniFile());
    const gpsbook::ExportOutcome outcome = gpsbook::exportAscii(name, m_book->book, groups, layout);
    if (!outcome.error.empty()) {
        QMessageBox::warning(this, tr("Esporta ASCII"), fromStd(outcome.error));
        return;
    }
    statusBar()->showMessage(
        tr("%n punti esportati in %1", nullptr, static_cast<int>(outcome.lines))
            .arg(QDir::toNativeSeparators(QFile::decodeName(name.c_str()))),
        8000);
}

void MainWindow::chooseExportLayout() {
    FSelDatiFile();
}

void MainWindow::importPoints() {
    std::string name;
    int format = 1;
    if (!FInpNomeFileConvGpsVari(name, format)) return;
    finishImport(gpsbook::importFile(name, format, m_book->book), tr("Importa"));
}

void MainWindow::importOwnAscii() {
    const std::string title = tr("Importa ASCII di gpsbook").toStdString();
    CFileDialog dialog(TRUE, "txt", nullptr,
                       OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY,
                       "File ASCII di gpsbook (*.TXT)|*.txt|Tutti i file (*.*)|*.*||");
    dialog.m_ofn.lpstrTitle = title.c_str();
    // Where the last export went: the file to read back is usually there.
    const std::string exported = CIniFile().GetString("PERSIST", "LastExportedLibrettoLBC", "");
    const std::string folder =
        pathToStd(QFileInfo(QFile::decodeName(exported.c_str())).absolutePath());
    if (!exported.empty()) dialog.m_ofn.lpstrInitialDir = folder.c_str();
    if (dialog.DoModal() != IDOK) return;
    const gpsbook::AsciiLayout layout = gpsbook::AsciiLayout::fromSettings(CIniFile());
    finishImport(gpsbook::importOwnAsciiFile(dialog.GetPathName(), layout, m_book->book),
                 tr("Importa ASCII di gpsbook"));
}

void MainWindow::finishImport(const gpsbook::ImportOutcome& outcome, const QString& title) {
    if (!outcome.error.empty()) {
        QMessageBox::warning(this, title, fromStd(outcome.error));
        return;
    }
    rebuildTree();
    selectPosition(outcome.group, -1);
    recordChange(tr("importazione nel gruppo %1")
                     .arg(fromStd(m_book->book.GetGrpAt(outcome.group)->GetNomeGrp())));
    const int points = static_cast<int>(outcome.points);
    const QString group = fromStd(m_book->book.GetGrpAt(outcome.group)->GetNomeGrp());
    const QString done =
        outcome.groups > 1
            ? tr("%n punti importati in %1 gruppi, uno per stazione base, dal gruppo \"%2\"",
                 nullptr, points)
                  .arg(outcome.groups)
                  .arg(group)
            : tr("%n punti importati nel gruppo \"%1\"", nullptr, points).arg(group);
    statusBar()->showMessage(done, 8000);
    if (!outcome.note.empty())
        QMessageBox::information(this, title, done + ".\n\n" + fromStd(outcome.note));
}

void MainWindow::guard(QAction* action, std::function<void()> run) {
    connect(action, &QAction::triggered, this,
            [this, action, run = std::move(run)] { guarded(action->iconText(), run); });
}

void MainWindow::openPosition(int group, int point) {
    // What the menu does for the item: the point's editor, the group's base station.
    QAction* opens = point >= 0 ? m_actEditPoint : m_actShowBase;
    guarded(opens->iconText(), [this, opens, group, point] {
        if (selectPosition(group, point)) opens->trigger();
    });
}

void MainWindow::guarded(const QString& action, const std::function<void()>& run) {
    QString why;
    try {
        run();
        return;
    } catch (const std::bad_alloc&) {
        why = tr("memoria insufficiente");
    } catch (const std::exception& e) {
        why = QString::fromUtf8(e.what()).left(200);
    } catch (...) {
        why = tr("errore imprevisto");
    }
    updateTitle();
    QMessageBox::critical(this, action,
                          tr("Operazione \"%1\" non riuscita (%2). Il libretto è rimasto "
                             "aperto: salvarlo con un altro nome prima di continuare.")
                              .arg(action, why));
}

// ---- Points and groups -----------------------------------------------------------------------

void MainWindow::findAndSelect(const std::string& text, bool inName, bool inCode) {
    auto at = selectedPosition();
    bool wrapped = false;
    auto found = gpsbook::findNextPoint(m_book->book, at ? at->group : -1, at ? at->point : -1,
                                        text, inName, inCode, &wrapped);
    if (!found) {
        QString where = inName && inCode ? tr("nel nome o nel codice/commento")
                        : inName         ? tr("nel nome")
                                         : tr("nel codice/commento");
        QMessageBox::information(this, tr("Ricerca"),
                                 tr("Nessun punto trovato.\n\nNessun punto contiene \"%1\" %2.")
                                     .arg(fromStd(text), where));
        return;
    }
    selectPosition(found->group, found->point);
    const CPunGps* point = m_book->book.GetPunAt(found->group, found->point);
    QString message = tr("Trovato il punto %1 nel gruppo %2")
                          .arg(fromStd(point->GetNome()),
                               fromStd(m_book->book.GetGrpAt(found->group)->GetNomeGrp()));
    // Past the last point the search goes on from the first: the user must not take the point
    // found for one further down.
    if (wrapped)
        message =
            tr("Raggiunta la fine del libretto, ricerca ripresa dall'inizio. %1").arg(message);
    statusBar()->showMessage(message, wrapped ? 8000 : 5000);
}

void MainWindow::searchPoint() {
    const CPunGps* point = selectedPoint();
    std::string text = point != nullptr ? point->GetNome() : std::string();
    bool inName = true, inCode = false;
    if (!FDlgFindPunGps(text, inName, inCode)) return;
    findAndSelect(text, inName, inCode);
}

void MainWindow::searchNextPoint() {
    std::string text;
    bool inName = true, inCode = false;
    FDatiFindPunGps(text, inName, inCode);
    // Nothing searched yet: "Cerca successivo" asks what to look for.
    if (text.empty()) {
        searchPoint();
        return;
    }
    findAndSelect(text, inName, inCode);
}

void MainWindow::showPointCoordinates() {
    CPunGps* point = selectedPoint();
    if (point == nullptr) {
        QMessageBox::information(this, tr("Coordinate punto"), tr("Selezionare un punto."));
        return;
    }
    FMostraPunGps(point);
}

void MainWindow::editPoint() {
    runPointEditor(true);
}

void MainWindow::declareCorrection() {
    runPointEditor(false);
}

void MainWindow::runPointEditor(bool full) {
    CPunGps* point = selectedPoint();
    if (point == nullptr) {
        QMessageBox::information(this, tr("Modifica punto"), tr("Selezionare un punto."));
        return;
    }
    // "Note" edits the editor's copy of the point: the book changes only if the editor is
    // confirmed, so a note confirmed inside an editor that is then cancelled marks nothing.
    const QString name = fromStd(point->GetNome());
    m_notes.setOnChanged({});
    FDlgModPunGps(&m_book->context, point, &m_book->book, &m_book->gis, full, &m_notes, full);
    m_notes.setOnChanged([this] { recordChange(tr("modifica della nota")); });
    // Whatever the editor ended with, what it left in the book is what is recorded.
    recordChange(full ? tr("modifica del punto %1").arg(name)
                      : tr("dichiarazione di correzione del punto %1").arg(name));
}

void MainWindow::showBaseStation() {
    CGrpGps* group = selectedGroup();
    if (group == nullptr) {
        QMessageBox::information(this, tr("Stazione base"),
                                 tr("Selezionare un gruppo o un suo punto."));
        return;
    }
    FMostraGrpGps(group);
}

void MainWindow::editBaseStation() {
    CGrpGps* group = selectedGroup();
    if (group == nullptr) {
        QMessageBox::information(this, tr("Stazione base"),
                                 tr("Selezionare un gruppo o un suo punto."));
        return;
    }
    // The editor changes the group while it is open (the reference-network box, the note) and
    // its "Annulla" puts back only part of it: whether the book changed is seen afterwards.
    const QString name = fromStd(group->GetNomeGrp());
    m_notes.setOnChanged({});
    FDlgModStazBase(group, &m_notes, true);
    m_notes.setOnChanged([this] { recordChange(tr("modifica della nota")); });
    recordChange(tr("stazione base del gruppo %1").arg(name));
}

void MainWindow::newPoint() {
    CGrpGps* group = selectedGroup();
    // The position proposed is that of the selected point, else of the group's base station.
    double east = 0.0, north = 0.0, height = 0.0;
    const CEgn* near = selectedPoint();
    if (near == nullptr) near = group;
    if (near != nullptr && IsEgnValueDefined(near->GetCoordX()) &&
        IsEgnValueDefined(near->GetCoordY())) {
        east = near->GetCoordX();
        north = near->GetCoordY();
        if (IsEgnValueDefined(near->GetCoordZ())) height = near->GetCoordZ();
    }
    int groupIndex = -1;
    std::string name, description;
    double antenna = 0.0;
    if (!FDlgOpzCreazGps(group, &m_book->book, groupIndex, name, description, east, north, height,
                         antenna))
        return;
    // Two points of one group must not share a name: refused before anything is created.
    if (const CGrpGps* target = m_book->book.GetGrpAt(groupIndex);
        target != nullptr && gpsbook::groupHasPointNamed(*target, name)) {
        QMessageBox::warning(this, tr("Nuovo punto"),
                             tr("Il gruppo \"%1\" ha già un punto di nome %2: il punto non è stato "
                                "creato. Scegliere un altro nome.")
                                 .arg(fromStd(target->GetNomeGrp()), fromStd(name)));
        return;
    }
    std::string error;
    CPunGps* point = gpsbook::createPoint(m_book->book, groupIndex, name, description, east, north,
                                          height, antenna, error);
    if (point == nullptr) {
        QMessageBox::warning(
            this, tr("Nuovo punto"),
            tr("Impossibile creare il punto %1: %2.").arg(fromStd(name), fromStd(error)));
        return;
    }
    const auto undoSelection = selectedPosition();
    rebuildTree();
    selectPosition(groupIndex, m_book->book.GetPunArSize(groupIndex) - 1);
    recordChange(tr("nuovo punto %1").arg(fromStd(name)), undoSelection);
    statusBar()->showMessage(
        tr("Creato il punto %1 nel gruppo %2")
            .arg(fromStd(name), fromStd(m_book->book.GetGrpAt(groupIndex)->GetNomeGrp())),
        5000);
}

void MainWindow::transferDrawingPoints() {
    std::vector<int> chosen = selectedDrawingPoints();
    if (chosen.empty()) {
        for (std::size_t i = 0; i < m_book->drawingPoints.size(); ++i)
            chosen.push_back(static_cast<int>(i));
    }
    if (chosen.empty()) {
        QMessageBox::information(this, tr("Trasferisci punti grafici"),
                                 tr("Non ci sono punti grafici da trasferire."));
        return;
    }
    int groupIndex = -1;
    double antenna = 0.0;
    if (!FDlgOpzTrasfPtGps(&m_book->book, static_cast<int>(chosen.size()), groupIndex, antenna))
        return;
    gpsbook::TransferResult result =
        gpsbook::transferDrawingPoints(*m_book, chosen, groupIndex, antenna);
    if (result.transferred > 0) {
        rebuildTree();
        selectPosition(groupIndex, m_book->book.GetPunArSize(groupIndex) - 1);
        recordChange(counted(result.transferred, tr("trasferimento di 1 punto grafico"),
                             tr("trasferimento di %1 punti grafici")));
        statusBar()->showMessage(tr("Trasferiti %1 punti grafici nel gruppo %2")
                                     .arg(result.transferred)
                                     .arg(fromStd(m_book->book.GetGrpAt(groupIndex)->GetNomeGrp())),
                                 5000);
    }
    if (!result.failed.empty()) {
        QStringList names;
        for (const std::string& n : result.failed)
            names << fromStd(n);
        QMessageBox::warning(
            this, tr("Trasferisci punti grafici"),
            tr("Questi punti non si possono convertire in coordinate geografiche con "
               "la proiezione del gruppo e restano punti grafici: %1.")
                .arg(names.join(", ")));
    }
}

void MainWindow::moveBaseStation() {
    int groupIndex = -1;
    double antenna = 0.0;
    FDlgOpzSpostaBaseGps(&m_book->book, &m_book->drawings, groupIndex, antenna);
    if (groupIndex < 0) return;
    gpsbook::BaseMoveResult moved = gpsbook::moveBaseStation(m_book->book, groupIndex, antenna);
    if (!moved.ok) {
        QMessageBox::warning(
            this, tr("Sposta stazione base"),
            tr("La stazione base non è stata spostata: %1.").arg(fromStd(moved.error)));
        return;
    }
    const CGrpGps* group = m_book->book.GetGrpAt(groupIndex);
    recordChange(tr("spostamento della stazione base %1").arg(fromStd(group->GetNome())));
    QString message =
        tr("Stazione base %1 spostata di %2 m lungo la verticale: %3")
            .arg(fromStd(group->GetNome()), QString::number(moved.shift, 'f', 3),
                 counted(moved.points, tr("1 punto spostato"), tr("%1 punti spostati")));
    if (moved.leftOut > 0)
        message += ", " + counted(moved.leftOut, tr("1 punto escluso (codice NE)"),
                                  tr("%1 punti esclusi (codice NE)"));
    statusBar()->showMessage(message, 10000);
}

// ---- deletion -------------------------------------------------------------------------------

gpsbook::Deletion MainWindow::selectedDeletion() const {
    gpsbook::Deletion which;
    bool allDrawn = false;
    for (QTreeWidgetItem* item : m_tree->selectedItems()) {
        const int group = item->data(0, kGroupRole).toInt();
        const int point = item->data(0, kPointRole).toInt();
        const QVariant drawing = item->data(0, kDrawingRole);
        if (drawing.isValid()) {
            if (drawing.toInt() < 0)
                allDrawn = true;
            else
                which.drawingPoints.push_back(drawing.toInt());
        } else if (point < 0) {
            which.groups.push_back(group);
        } else {
            which.points.push_back({group, point});
        }
    }
    if (allDrawn) {
        which.drawingPoints.clear();
        for (std::size_t i = 0; i < m_book->drawingPoints.size(); ++i)
            which.drawingPoints.push_back(static_cast<int>(i));
    }
    std::sort(which.groups.begin(), which.groups.end());
    std::sort(which.drawingPoints.begin(), which.drawingPoints.end());
    // The points of a group that goes whole are not counted twice.
    std::erase_if(which.points, [&](const gpsbook::PointPosition& at) {
        return std::binary_search(which.groups.begin(), which.groups.end(), at.group);
    });
    std::sort(which.points.begin(), which.points.end(), [](const auto& a, const auto& b) {
        return std::pair{a.group, a.point} < std::pair{b.group, b.point};
    });
    return which;
}

void MainWindow::deleteSelection() {
    const gpsbook::Deletion which = selectedDeletion();
    const CLibGps& book = m_book->book;
    QStringList parts;
    QString label;
    bool linked = false;
    for (int g : which.groups) {
        const CGrpGps* group = book.GetGrpAt(g);
        const int points = group->GetPunCount();
        parts << (points == 0
                      ? tr("il gruppo \"%1\", che non ha punti").arg(fromStd(group->GetNomeGrp()))
                      : tr("il gruppo \"%1\" con %2")
                            .arg(fromStd(group->GetNomeGrp()),
                                 counted(points, tr("il suo punto"), tr("i suoi %1 punti"))));
        label = tr("eliminazione del gruppo %1").arg(fromStd(group->GetNomeGrp()));
        linked = linked || group->GetEntVert() != nullptr;
        for (int p = 0; p < points; ++p)
            linked = linked || group->GetPunAt(p)->GetEntVert() != nullptr;
    }
    if (which.points.size() == 1) {
        const auto& at = which.points.front();
        const CPunGps* point = book.GetPunAt(at.group, at.point);
        parts << tr("il punto %1 del gruppo \"%2\"")
                     .arg(fromStd(point->GetNome()),
                          fromStd(book.GetGrpAt(at.group)->GetNomeGrp()));
        label = tr("eliminazione del punto %1").arg(fromStd(point->GetNome()));
    } else if (!which.points.empty()) {
        parts << tr("%1 punti").arg(which.points.size());
        label = tr("eliminazione di %1 punti").arg(which.points.size());
    }
    for (const auto& at : which.points)
        linked = linked || book.GetPunAt(at.group, at.point)->GetEntVert() != nullptr;
    if (which.drawingPoints.size() == 1) {
        const auto& drawn = m_book->drawingPoints[static_cast<std::size_t>(which.drawingPoints[0])];
        parts << tr("il punto grafico %1").arg(fromStd(drawn.name));
        label = tr("eliminazione del punto grafico %1").arg(fromStd(drawn.name));
    } else if (!which.drawingPoints.empty()) {
        const int count = static_cast<int>(which.drawingPoints.size());
        parts << tr("%1 punti grafici").arg(count);
        label = tr("eliminazione di %1 punti grafici").arg(count);
    }
    if (parts.isEmpty()) {
        QMessageBox::information(
            this, tr("Elimina"),
            tr("Selezionare i gruppi, i punti o i punti grafici da eliminare."));
        return;
    }
    if (parts.size() > 1) label = tr("eliminazione di %1 elementi").arg(parts.size());

    QString question = parts.size() == 1 ? tr("Eliminare %1?").arg(parts.front())
                                         : tr("Eliminare:\n- %1?").arg(parts.join(";\n- "));
    if (linked)
        question += "\n\n" + tr("Le entità GIS collegate vengono eliminate con i loro punti, salvo "
                                "quelle usate anche da altri elementi.");
    question += "\n\n" + tr("L'eliminazione si può annullare con Modifica › Annulla.");
    QMessageBox box(QMessageBox::Question, tr("Elimina"), question, QMessageBox::NoButton, this);
    QPushButton* yes = box.addButton(tr("&Elimina"), QMessageBox::DestructiveRole);
    QPushButton* no = box.addButton(tr("Annulla"), QMessageBox::RejectRole);
    box.setDefaultButton(no);
    box.setEscapeButton(no);
    box.exec();
    if (box.clickedButton() != yes) return;

    // Undoing shows the first element that went; afterwards the selection is on its neighbour.
    gpsbook::PointPosition first{-1, -1};
    if (!which.groups.empty()) first = {which.groups.front(), -1};
    if (!which.points.empty() && (first.group < 0 || which.points.front().group < first.group))
        first = which.points.front();
    const gpsbook::DeletionResult done = gpsbook::deleteElements(*m_book, which);
    rebuildTree();
    selectNearest(first.group >= 0 ? first.group : m_book->book.GetGrpArSize() - 1, first.point);
    recordChange(label, first.group >= 0 ? std::optional(first) : std::nullopt);
    QStringList gone;
    if (done.groups > 0) gone << counted(done.groups, tr("1 gruppo"), tr("%1 gruppi"));
    if (done.points > 0) gone << counted(done.points, tr("1 punto"), tr("%1 punti"));
    if (done.drawingPoints > 0)
        gone << counted(done.drawingPoints, tr("1 punto grafico"), tr("%1 punti grafici"));
    if (done.entities > 0) gone << counted(done.entities, tr("1 entità GIS"), tr("%1 entità GIS"));
    statusBar()->showMessage(tr("Eliminati: %1").arg(gone.join(", ")), 8000);
}

void MainWindow::about() {
    QMessageBox::about(
        this, tr("Informazioni su gpsbook"),
        tr("<h3>gpsbook %1</h3>"
           "<p>Libretto delle campagne GPS: gruppi, stazioni base e punti, "
           "con le finestre di dialogo del modulo GPS.</p>"
           "<p>Impostazioni: %2</p>")
            .arg(QStringLiteral(GPSBOOK_VERSION),
                 QDir::toNativeSeparators(fromStd(CIniFile::GetFilePath())).toHtmlEscaped()));
}

// ---- Plan view -------------------------------------------------------------------------------

void MainWindow::createPlanDock() {
    auto* dock = new QDockWidget(tr("Pianta"), this);
    dock->setObjectName("dockPianta");
    dock->setFeatures(QDockWidget::DockWidgetMovable | QDockWidget::DockWidgetFloatable);
    m_plan = new PlanView(dock);
    dock->setWidget(m_plan);
    addDockWidget(Qt::RightDockWidgetArea, dock);
    statusBar()->addWidget(m_plan->cursorLabel());
    statusBar()->addPermanentWidget(m_plan->countLabel());

    // The width the user gave the plan is kept in the settings file, written once the
    // dragging has stopped.
    static const char* const widthKey = "LarghezzaPianta";
    const int width = CIniFile().GetLong(kSettingsSection, widthKey, 560);
    resizeDocks({dock}, {std::clamp(width, 120, 4000)}, Qt::Horizontal);
    auto* remember = new QTimer(this);
    remember->setSingleShot(true);
    remember->setInterval(600);
    connect(remember, &QTimer::timeout, this, [dock] {
        if (dock->isVisible() &&
            dock->width() != CIniFile().GetLong(kSettingsSection, widthKey, -1))
            CIniFile().WriteLong(kSettingsSection, widthKey, dock->width());
    });
    struct ResizeWatch final : QObject {
        QTimer* timer;
        explicit ResizeWatch(QTimer* t, QObject* parent) : QObject(parent), timer(t) {}
        bool eventFilter(QObject*, QEvent* event) override {
            if (event->type() == QEvent::Resize) timer->start();
            return false;
        }
    };
    dock->installEventFilter(new ResizeWatch(remember, dock));

    // The plan as the printout's first page: an entry beside "Stampa libretto...", its state
    // kept in the settings file.
    static const char* const printKey = "PiantaInStampa";
    m_actPlanInPrint = new QAction(tr("Pianta &nella stampa"), this);
    m_actPlanInPrint->setObjectName("piantaInStampa");
    m_actPlanInPrint->setStatusTip(tr("Stampa la pianta come prima pagina del libretto"));
    m_actPlanInPrint->setCheckable(true);
    m_actPlanInPrint->setChecked(CIniFile().GetBool(kSettingsSection, printKey, false));
    connect(m_actPlanInPrint, &QAction::toggled, this,
            [](bool on) { CIniFile().WriteBool(kSettingsSection, printKey, on); });
    for (QObject* holder : m_actPrint->associatedObjects())
        if (auto* menu = qobject_cast<QMenu*>(holder)) {
            const QList<QAction*> entries = menu->actions();
            const qsizetype at = entries.indexOf(m_actPrint);
            menu->insertAction(at + 1 < entries.size() ? entries[at + 1] : nullptr,
                               m_actPlanInPrint);
        }

    connect(m_tree, &QTreeWidget::itemSelectionChanged, this, &MainWindow::showTreeSelectionInPlan);
    connect(m_plan, &PlanView::picked, this,
            [this](const std::vector<PlanPick>& picks, const PlanPick& current) {
                auto itemOf = [this](const PlanPick& pick) -> QTreeWidgetItem* {
                    const int groups = m_book->book.GetGrpArSize();
                    if (pick.group < 0) {
                        QTreeWidgetItem* node = m_tree->topLevelItem(groups);
                        return node != nullptr ? node->child(pick.point) : nullptr;
                    }
                    QTreeWidgetItem* group = m_tree->topLevelItem(pick.group);
                    if (group == nullptr || pick.point < 0) return group;
                    return group->child(pick.point);
                };
                m_pickingInPlan = true;
                m_tree->blockSignals(true);
                m_tree->clearSelection();
                QTreeWidgetItem* focus = itemOf(current);
                if (focus != nullptr)
                    m_tree->setCurrentItem(focus, 0, QItemSelectionModel::NoUpdate);
                for (const PlanPick& pick : picks)
                    if (QTreeWidgetItem* item = itemOf(pick)) item->setSelected(true);
                m_tree->blockSignals(false);
                if (focus != nullptr) m_tree->scrollToItem(focus);
                updateActions();
                showTreeSelectionInPlan();
                m_pickingInPlan = false;
            });
    connect(m_plan, &PlanView::activated, this, [this](const PlanPick& pick) {
        if (pick.group < 0) return; // a drawn point has no editor
        openPosition(pick.group, pick.point);
    });
}

void MainWindow::refreshPlan() {
    if (m_plan == nullptr) return;
    auto at = selectedPosition();
    m_plan->showBook(m_book.get(), at ? at->group : 0);
    showTreeSelectionInPlan();
}

void MainWindow::showTreeSelectionInPlan() {
    if (m_plan == nullptr) return;
    auto pickOf = [](const QTreeWidgetItem* item) {
        const QVariant drawing = item->data(0, kDrawingRole);
        if (drawing.isValid()) return PlanPick{-1, drawing.toInt()};
        return PlanPick{item->data(0, kGroupRole).toInt(), item->data(0, kPointRole).toInt()};
    };
    std::vector<PlanPick> picks;
    for (QTreeWidgetItem* item : m_tree->selectedItems())
        picks.push_back(pickOf(item));
    PlanPick current{-1, -1};
    QTreeWidgetItem* item = m_tree->currentItem();
    // A choice made in the plan is already in view there.
    if (item != nullptr && item->isSelected() && !m_pickingInPlan) current = pickOf(item);
    m_plan->showSelection(picks, current);
}

std::optional<gpsbook::PicturePage> MainWindow::planPage() {
    if (m_plan == nullptr || m_actPlanInPrint == nullptr || !m_actPlanInPrint->isChecked())
        return std::nullopt;
    gpsbook::PicturePage page{
        tr("Pianta"), {tr("Sistema: %1").arg(m_plan->systemName())}, m_plan->snapshot(3)};
    const QString leftOut = m_plan->leftOutText();
    if (!leftOut.isEmpty()) page.caption << tr("Non disegnati: %1").arg(leftOut);
    return page;
}
