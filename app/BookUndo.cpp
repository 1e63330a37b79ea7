#include "BookUndo.h"

#include <utility>

namespace gpsbook {

BookSnapshotCommand::BookSnapshotCommand(const QString& label, BookState before, BookState after,
                                         Restore restore)
    : QUndoCommand(label), m_before(std::move(before)), m_after(std::move(after)),
      m_restore(std::move(restore)) {}

void BookSnapshotCommand::undo() {
    m_restore(m_before);
    m_done = false;
}

void BookSnapshotCommand::redo() {
    if (m_done) return;
    m_restore(m_after);
    m_done = true;
}

} // namespace gpsbook
