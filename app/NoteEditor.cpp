#include "NoteEditor.h"

#include "core/NoteText.h"

#include "gpsdialogs/interfaces/Egn.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

NoteEditorDialog::NoteEditorDialog(const QString& elementName, const QString& note, QWidget* parent)
    : QDialog(parent), m_edit(new QPlainTextEdit(this)) {
    setWindowTitle(elementName.isEmpty() ? tr("Note") : tr("Note - %1").arg(elementName));
    auto* label = new QLabel(tr("&Note:"), this);
    label->setBuddy(m_edit);
    m_edit->setPlainText(note);
    m_edit->setTabChangesFocus(true);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(tr("OK"));
    buttons->button(QDialogButtonBox::Cancel)->setText(tr("Annulla"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(m_edit);
    layout->addWidget(buttons);
    resize(420, 260);
}

QString NoteEditorDialog::note() const {
    return m_edit->toPlainText();
}

void HostNotes::EditaNote(CEgn* element) {
    if (element == nullptr) return;
    const std::string original = element->GetNote();
    // Over the dialog whose "Note" button asked for it (the point editor, the base station
    // editor), so that this dialog stays above it; over the given window otherwise.
    QWidget* owner = QApplication::activeModalWidget();
    NoteEditorDialog dialog(QString::fromStdString(element->GetNome()),
                            QString::fromStdString(gpsbook::noteForEditing(original)),
                            owner != nullptr ? owner : m_parent);
    if (dialog.exec() != QDialog::Accepted) return;
    if (auto changed = gpsbook::noteAfterEditing(original, dialog.note().toStdString())) {
        element->SetNote(*changed);
        ++m_changes;
        if (m_onChanged) m_onChanged();
    }
}
