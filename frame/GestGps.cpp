#include "gpsdialogs/GpsDialogs.h"

// The host object has no state: copying it copies nothing. Defined here, out of line, so that
// the library exports them for the host's derived classes.
CGestGps::CGestGps() = default;

CGestGps::CGestGps(const CGestGps&) = default;

CGestGps& CGestGps::operator=(const CGestGps&) = default;
