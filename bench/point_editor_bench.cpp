// The point editor: one keystroke in the latitude seconds of "Dati libretto" on a point of a
// projected group (the handler, the conversion, the push of the fields and the OK rule), set
// against one bare PROJ conversion measured in the same run; and opening and cancelling the
// editor, headless and in the Qt view offscreen with its first paint.
#include "gpsdialogs/GpsDialogs.h"
#include "gpsdialogs/interfaces/ConvCoord.h"
#include "gpsdialogs/interfaces/Cts.h"
#include "gpsdialogs/interfaces/Gis.h"
#include "gpsdialogs/interfaces/Kit.h"
#include "gpsdialogs/interfaces/LibGps.h"
#include "platform/automation.h"
#include "platform/backend.h"
#include "platform/dialog.h"

#include "resource.h"

#ifdef GPS_BENCH_QT
#include "platform/qt/QtBackend.h"

#include <QApplication>
#include <QPixmap>
#include <QWidget>
#endif

#include <benchmark/benchmark.h>
#include <proj.h>

#include <cmath>
#include <cstdint>
#include <ctime>
#include <filesystem>
#include <string>

namespace {

constexpr double kDeg = M_PI / 180.0;

// A field book with one group projected in RDN2008 / UTM zone 32N and one point in it, a host
// context, a GIS library, and a settings file of its own (the editor reads its start page).
struct Book {
    std::filesystem::path settings;
    CLibGps book;
    CCts cts;
    gis::CLibGis gis;
    CPunGps* point = nullptr;

    Book() {
        settings = std::filesystem::temp_directory_path() / "gpsdialogs-point-editor-bench.ini";
        std::filesystem::remove(settings);
        CIniFile::SetFilePath(settings.string());
        CGrpGps* group = book.AddGrp("Rilievo A");
        group->SetNome("100");
        group->SetProjection("EPSG:6707");
        group->SetBaseGeo(44.4949 * kDeg, 11.3426 * kDeg, 95.0);
        group->SetBaseAltAnt(1.5);
        group->SetCoordXY(686700.1234, 4928300.4567);
        group->SetCoordZ(93.5);
        point = book.AddPun(0);
        point->SetNome("101");
        point->SetCode("Spigolo fabbricato");
        point->SetGeo(44.495 * kDeg, 11.343 * kDeg, 96.0);
        point->SetAltAnt(2.0);
        point->SetCoordXY(686728.4567, 4928312.0001);
        point->SetCoordZ(94.0);
    }
    ~Book() { std::filesystem::remove(settings); }

    bool edit() { return FDlgModPunGps(&cts, point, &book, &gis, true, nullptr, true); }
};

// CPU time of this thread: what the keystroke and the bare conversion are compared by.
double threadCpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

// The conversion the group's converter makes, as a bare PROJ call.
struct BareProj {
    PJ_CONTEXT* ctx = proj_context_create();
    PJ* raw = proj_create_crs_to_crs(ctx, "EPSG:6706", "EPSG:6707", nullptr);
    PJ* pj = proj_normalize_for_visualization(ctx, raw);
    ~BareProj() {
        proj_destroy(pj);
        proj_destroy(raw);
        proj_context_destroy(ctx);
    }
    PJ_COORD convert(double latSeconds) const {
        double lat = 44.0 + 29.0 / 60.0 + latSeconds / 3600.0;
        return proj_trans(pj, PJ_FWD, proj_coord(11.343, lat, 96.0 - 2.0, 0));
    }
};

// CPU seconds of one bare conversion, over enough calls to be read on a loaded machine.
double bareProjSeconds() {
    BareProj proj;
    constexpr int kCalls = 20000;
    double start = threadCpuSeconds();
    for (int i = 0; i < kCalls; ++i)
        benchmark::DoNotOptimize(proj.convert(42.0 + (i & 1) * 0.000001));
    return (threadCpuSeconds() - start) / kCalls;
}

void openAndCancel(benchmark::State& state) {
    Book b;
    automation::ScriptedUser user;
    int64_t shown = 0;
    for (auto _ : state) {
        user.onDialog([&shown](automation::Dialog& d) {
#ifdef GPS_BENCH_QT
            // The first paint: every widget of the sheet and of its first page drawn once.
            if (QWidget* widget = platform::qt::widgetFor(d.window().m_hWnd)) {
                QCoreApplication::processEvents();
                QPixmap shot = widget->grab();
                if (shot.isNull()) return;
            }
#endif
            if (d.activePage() == 0) ++shown;
            d.click(IDCANCEL);
        });
        benchmark::DoNotOptimize(b.edit());
    }
    // An editor that refused to open, or a view that drew nothing, would time nothing.
    if (shown != state.iterations())
        state.SkipWithError("the editor did not open on its first page");
}

} // namespace

// The timed loop runs inside one open editor: the editor is opened before it and cancelled
// after it, so only the keystrokes are measured. A digit and a backspace alternate, so the
// field swings between 42.00000 and 42.000001 seconds and every key recomputes the point.
static void BM_PointEditorLatitudeSecondsKeystroke(benchmark::State& state) {
    platform::useHeadlessBackend();
    Book b;
    automation::ScriptedUser user;
    bool ran = false;
    double keystrokeSeconds = 0;
    user.onDialog([&](automation::Dialog& d) {
        ran = true;
        if (!d.type(IDC_LAT_SEC, "1") || !d.type(IDC_LAT_SEC, "\b") ||
            d.text(IDC_LAT_SEC) != "42.00000" || !d.enabled(IDOK)) {
            state.SkipWithError("the latitude seconds do not take keys");
            d.click(IDCANCEL);
            return;
        }
        bool digit = true;
        double start = threadCpuSeconds();
        for (auto _ : state) {
            d.type(IDC_LAT_SEC, digit ? "1" : "\b");
            digit = !digit;
        }
        keystrokeSeconds = (threadCpuSeconds() - start) / static_cast<double>(state.iterations());
        d.click(IDCANCEL);
    });
    b.edit();
    if (!ran) {
        state.SkipWithError("the editor did not open");
        return;
    }
    const double proj = bareProjSeconds();
    state.counters["bare_proj_ns"] = proj * 1e9;
    state.counters["x_bare_proj"] = proj > 0 ? keystrokeSeconds / proj : 0;
}
BENCHMARK(BM_PointEditorLatitudeSecondsKeystroke)->Unit(benchmark::kMicrosecond);

// The group's converter and the bare PROJ call alone, for reference.
static void BM_PointEditorGroupConversion(benchmark::State& state) {
    Book b;
    CConvCoord* conv = b.point->m_pGrp->GetConvCoord();
    double x = 0, y = 0, z = 0;
    for (auto _ : state) {
        conv->GrafGpsToPlanAtt(b.point->GetLat(), b.point->GetLong(), 96.0, 2.0, x, y, z);
        benchmark::DoNotOptimize(x);
    }
}
BENCHMARK(BM_PointEditorGroupConversion)->Unit(benchmark::kMicrosecond);

static void BM_PointEditorBareProjConversion(benchmark::State& state) {
    BareProj proj;
    for (auto _ : state)
        benchmark::DoNotOptimize(proj.convert(42.0));
}
BENCHMARK(BM_PointEditorBareProjConversion)->Unit(benchmark::kMicrosecond);

static void BM_PointEditorOpenCancelHeadless(benchmark::State& state) {
    platform::useHeadlessBackend();
    openAndCancel(state);
}
BENCHMARK(BM_PointEditorOpenCancelHeadless)->Unit(benchmark::kMillisecond);

#ifdef GPS_BENCH_QT
static void BM_PointEditorOpenCancelQtFirstPaint(benchmark::State& state) {
    static QApplication* app = [] {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "point_editor_bench";
        static char* argv[] = {name, nullptr};
        return new QApplication(argc, argv);
    }();
    (void)app;
    if (!platform::qt::install()) {
        state.SkipWithError("no Qt backend");
        return;
    }
    openAndCancel(state);
    platform::useHeadlessBackend();
}
BENCHMARK(BM_PointEditorOpenCancelQtFirstPaint)->Unit(benchmark::kMillisecond);
#endif
