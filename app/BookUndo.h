// The history of changes to a field book, for "Annulla" and "Ripeti".
//
// Every change is kept as the book's saved text before and after it, with the selection to
// show: undoing puts the earlier text back exactly as a save would write it, so the book is
// then byte for byte the book it was. The text of the latest state is remembered, so a change
// is recorded after it happened, whoever made it (a dialog, a note, an import).
#pragma once

#include <QString>
#include <QUndoCommand>

#include <functional>
#include <memory>
#include <string>

namespace gpsbook {

/// A state of the book: its text and where the selection was. The text is shared by the change
/// that leads to the state and the one that leads away from it.
struct BookState {
    std::shared_ptr<const std::string> text;
    int group = -1; ///< selected group (-1: none)
    int point = -1; ///< selected point of the group (-1: the group itself)
};

/// One change: undo shows the state before, redo the state after.
class BookSnapshotCommand final : public QUndoCommand {
public:
    using Restore = std::function<void(const BookState&)>;

    /// \param label what the change did, shown after "Annulla" and "Ripeti"
    /// \param restore puts a state into the window
    BookSnapshotCommand(const QString& label, BookState before, BookState after, Restore restore);

    void undo() override;
    /// The first redo comes from pushing the change, which has already happened: it does
    /// nothing.
    void redo() override;

    const BookState& before() const { return m_before; }
    const BookState& after() const { return m_after; }

private:
    BookState m_before;
    BookState m_after;
    Restore m_restore;
    bool m_done = true;
};

} // namespace gpsbook
