// gpsbook's note editor and the host object that the dialogs call for it.
//
// The point editor and the base station editor have a "Note" button; they call the host
// object's EditaNote with the element whose note is to be edited. gpsbook answers with a small
// window of its own: the note in a plain text field, "OK" stores it, "Annulla" leaves it.
#pragma once

#include "gpsdialogs/GpsDialogs.h"

#include <QDialog>

#include <functional>

class QPlainTextEdit;

class NoteEditorDialog : public QDialog {
    Q_OBJECT
public:
    NoteEditorDialog(const QString& elementName, const QString& note, QWidget* parent = nullptr);

    QString note() const;

private:
    QPlainTextEdit* m_edit;
};

/// The host object handed to the dialogs that have a "Note" button.
class HostNotes final : public CGestGps {
public:
    explicit HostNotes(QWidget* parent = nullptr) : m_parent(parent) {}

    /// Window that owns the note editor.
    void setParentWidget(QWidget* parent) { m_parent = parent; }

    /// Called after a note was changed, once per change.
    void setOnChanged(std::function<void()> onChanged) { m_onChanged = std::move(onChanged); }

    /// Shows the note editor on \p element; "OK" stores the note when it was changed.
    void EditaNote(CEgn* element) override;

    /// Number of notes changed so far.
    int changes() const { return m_changes; }

private:
    QWidget* m_parent;
    std::function<void()> m_onChanged;
    int m_changes = 0;
};
