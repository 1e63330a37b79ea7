// The host's side of the C test host: the objects a real host's own libraries would hand out
// (a field book, a host context, a GIS library) and a temporary settings file, reached from C.
#include "SmallBook.h"
#include "TempSettings.h"
#include "gpsdialogs/gpsdialogs_c.h"
#include "gpsdialogs/interfaces/Cts.h"
#include "gpsdialogs/interfaces/Gis.h"
#include "gpsdialogs/interfaces/LibGps.h"

#include <memory>
#include <string>

namespace {

struct Objects {
    testsupport::TempSettings settings;
    testsupport::SmallBook sample;
    CCts cts;
    gis::CLibGis gis;
};

std::unique_ptr<Objects> g_objects;
std::string g_text;

} // namespace

extern "C" {

void host_begin(void) {
    g_objects = std::make_unique<Objects>();
}

void host_end(void) {
    g_objects.reset();
}

GpsdBook* host_book(void) {
    return reinterpret_cast<GpsdBook*>(&g_objects->sample.book);
}

GpsdGroup* host_first_group(void) {
    return reinterpret_cast<GpsdGroup*>(g_objects->sample.projected);
}

GpsdPoint* host_first_point(void) {
    return reinterpret_cast<GpsdPoint*>(g_objects->sample.first);
}

GpsdCts* host_cts(void) {
    return reinterpret_cast<GpsdCts*>(&g_objects->cts);
}

GpsdGis* host_gis(void) {
    return reinterpret_cast<GpsdGis*>(&g_objects->gis);
}

const char* host_point_code(GpsdPoint* point) {
    g_text = reinterpret_cast<CPunGps*>(point)->GetSecScri();
    return g_text.c_str();
}

double host_point_antenna(GpsdPoint* point) {
    return reinterpret_cast<CPunGps*>(point)->GetAltAnt();
}

} // extern "C"
