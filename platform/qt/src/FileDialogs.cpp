// The standard file dialogs on Qt's own QFileDialog (the same on every desktop, and in Italian
// with Qt's translations). The dialog only lets a person pick a name; the platform's check
// decides whether the dialog may close with it.
#include "Internal.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>

#include <exception>
#include <optional>
#include <utility>

namespace platform::qt {

namespace {

struct Row {
    QString label;
    QString patterns;
};

/// The rows of a filter list "label|patterns|...||".
std::vector<Row> rowsOf(const std::string& filter) {
    std::vector<Row> rows;
    QStringList parts = QString::fromStdString(filter).split('|');
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        if (parts[i].isEmpty()) break;
        rows.push_back({parts[i], parts[i + 1]});
    }
    return rows;
}

/// A framework pattern as Qt's filter matches it: letters of either case, as the original's
/// file systems do ("*.prt" shows FILE.PRT), and "*.*" for every file, dotted or not.
QString qtPattern(QString pattern) {
    pattern = pattern.trimmed();
    if (pattern == "*.*") return QStringLiteral("*");
    QString result;
    for (QChar c : pattern) {
        if (c.isLetter() && c.toLower() != c.toUpper())
            result += '[' + QString(c.toLower()) + QString(c.toUpper()) + ']';
        else
            result += c;
    }
    return result;
}

/// A row as one of Qt's name filters, "label (patterns)". The dialog shows the label alone,
/// as the caller wrote it (HideNameFilterDetails).
QString qtFilter(const Row& row) {
    QStringList patterns;
    for (const QString& pattern : row.patterns.split(';', Qt::SkipEmptyParts))
        patterns << qtPattern(pattern);
    return row.label + " (" + patterns.join(' ') + ')';
}

class FileDialogWidget final : public QFileDialog {
public:
    FileDialogWidget(QWidget* parent, QStringList filters, QStringList labels,
                     const FileChoiceCheck& check)
        : QFileDialog(parent), m_filters(std::move(filters)), m_labels(std::move(labels)),
          m_check(check) {}

    /// The filter row shown, from 1.
    int row() const {
        qsizetype index = -1;
        if (const QComboBox* combo = rowBox())
            index = combo->currentIndex();
        else
            index = m_filters.indexOf(selectedNameFilter());
        return index >= 0 ? static_cast<int>(index) + 1 : 1;
    }

    /// The drop-down list of the rows (Qt's dialog has always one).
    QComboBox* rowBox() const { return findChild<QComboBox*>(QStringLiteral("fileTypeCombo")); }

    std::string accepted;
    std::exception_ptr failure;

protected:
    void showEvent(QShowEvent* event) override {
        QFileDialog::showEvent(event);
        // Qt runs the blanks of a label together; the rows are shown as written. The dialog
        // tells its rows apart by position, not by text, so only what is shown changes.
        if (QComboBox* box = rowBox())
            for (int i = 0; i < box->count() && i < m_labels.size(); ++i)
                box->setItemText(i, m_labels[i]);
    }

    void accept() override {
        const QStringList files = selectedFiles();
        if (files.isEmpty()) return;
        if (QFileInfo(files.front()).isDir()) {
            QFileDialog::accept(); // opens the folder
            return;
        }
        std::optional<std::string> path;
        try {
            path = m_check(QFile::encodeName(files.front()).toStdString(), row());
        } catch (...) {
            // Not through Qt's event dispatch: the dialog closes and the caller gets it.
            failure = std::current_exception();
            reject();
            return;
        }
        if (!path) return; // refused: the person has been told, the dialog stays
        accepted = *path;
        // Past QFileDialog's own checks: the platform has made them already.
        QDialog::accept(); // NOLINT(bugprone-parent-virtual-call)
    }

private:
    QStringList m_filters;
    QStringList m_labels;
    const FileChoiceCheck& m_check;
};

} // namespace

automation::FileDialogAnswer showFileDialog(QWidget* parent, const automation::FileDialogCall& call,
                                            const FileChoiceCheck& check) {
    QStringList filters, labels;
    for (const Row& row : rowsOf(call.filter)) {
        filters << qtFilter(row);
        labels << row.label;
    }

    FileDialogWidget dialog(parent, filters, labels, check);
    // Qt's own dialog: a desktop's native one would apply its own checks and questions.
    dialog.setOptions(QFileDialog::DontUseNativeDialog | QFileDialog::DontConfirmOverwrite |
                      QFileDialog::HideNameFilterDetails);
    dialog.setAcceptMode(call.open ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setWindowTitle(QString::fromStdString(call.title));
    if (!filters.isEmpty()) {
        dialog.setNameFilters(filters);
        int index =
            call.filterIndex >= 1 && call.filterIndex <= filters.size() ? call.filterIndex : 1;
        dialog.selectNameFilter(filters[index - 1]);
    }

    // The proposed name's folder, else the initial folder, else the current one.
    QString proposed = QFile::decodeName(call.fileName.c_str());
    QString folder = QFile::decodeName(call.initialFolder.c_str());
    QFileInfo proposedInfo(proposed);
    if (!proposed.isEmpty() && proposed.contains('/')) {
        QString proposedFolder = proposedInfo.path();
        folder = QDir::isAbsolutePath(proposedFolder) || folder.isEmpty()
                     ? proposedFolder
                     : QDir(folder).filePath(proposedFolder);
        proposed = proposedInfo.fileName();
    }
    if (!folder.isEmpty() && QFileInfo(folder).isDir()) dialog.setDirectory(folder);
    if (!proposed.isEmpty()) dialog.selectFile(proposed);

    int result = dialog.exec();
    if (dialog.failure) std::rethrow_exception(dialog.failure);
    if (result != QDialog::Accepted || dialog.accepted.empty())
        return automation::FileDialogAnswer{false, {}, dialog.row()};
    return automation::FileDialogAnswer{true, dialog.accepted, dialog.row()};
}

} // namespace platform::qt
