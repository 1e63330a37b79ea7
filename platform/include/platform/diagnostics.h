// What a test of a whole host run asks of the platform: how many windows are alive.
#pragma once

#include <cstddef>

namespace platform {

/// \brief Number of living windows of the model, top-level or not: a dialog that has ended
///        leaves this count where it found it.
std::size_t livingWindowCount();

} // namespace platform
