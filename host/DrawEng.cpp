// The CAD engine's drawing locks.
#include "gpsdialogs/interfaces/DrawEng.h"

bool CDrawEng::IsDrawingLocked(std::uint64_t drawing) const {
    return m_locked.count(drawing) != 0;
}

void CDrawEng::LockDrawing(std::uint64_t drawing) {
    m_locked.insert(drawing);
}

void CDrawEng::UnlockDrawing(std::uint64_t drawing) {
    m_locked.erase(drawing);
}
