#include "gpsdialogs/GpsDialogs.h"

// The host object has no state: copying it copies nothing.
CGestGps::CGestGps() = default;

CGestGps::CGestGps(const CGestGps&) {}

CGestGps& CGestGps::operator=(const CGestGps&) { return *this; }
