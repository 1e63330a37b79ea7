// The host's CAD engine, as far as the GPS dialogs need it: which drawings are locked.
#pragma once

#include <cstdint>
#include <set>

/// \brief The CAD engine: keeps which drawings are locked against changes.
class CDrawEng {
public:
    /// \brief True when the drawing with this identifier is locked.
    bool IsDrawingLocked(std::uint64_t drawing) const;

    /// \brief Host side: locks a drawing.
    void LockDrawing(std::uint64_t drawing);
    /// \brief Host side: unlocks a drawing.
    void UnlockDrawing(std::uint64_t drawing);

private:
    std::set<std::uint64_t> m_locked;
};
