// Host libraries: settings file reads, and the cost of the converter over a bare PROJ call.
#include "gpsdialogs/interfaces/ConvCoord.h"
#include "gpsdialogs/interfaces/Kit.h"
#include "gpsdialogs/interfaces/LibGps.h"

#include <benchmark/benchmark.h>
#include <proj.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

struct BigSettingsFile {
    std::filesystem::path path;
    BigSettingsFile() {
        path = std::filesystem::temp_directory_path() / "gpsdialogs-bench.ini";
        std::ofstream out(path);
        for (int section = 0; section < 100; ++section) {
            out << "[Section" << section << "]\n";
            for (int key = 0; key < 100; ++key)
                out << "Key" << key << "=" << section * 100 + key << "\n";
        }
        CIniFile::SetFilePath(path.string());
    }
    ~BigSettingsFile() { std::filesystem::remove(path); }
};

constexpr double kDeg = M_PI / 180.0;

} // namespace

static void BM_IniReadOneKeyOf10000(benchmark::State& state) {
    BigSettingsFile file;
    for (auto _ : state) {
        CIniFile ini;
        benchmark::DoNotOptimize(ini.GetLong("Section99", "Key99", 0));
    }
}
BENCHMARK(BM_IniReadOneKeyOf10000);

static void BM_ConvCoordGeographicToPlane(benchmark::State& state) {
    CGrpGps group;
    group.SetProjection("EPSG:6707");
    CConvCoord* conv = group.GetConvCoord();
    double x = 0, y = 0, z = 0;
    for (auto _ : state) {
        conv->GrafGpsToPlanAtt(44.4949 * kDeg, 11.3426 * kDeg, 95.0, 1.5, x, y, z);
        benchmark::DoNotOptimize(x);
    }
}
BENCHMARK(BM_ConvCoordGeographicToPlane);

// The same conversion with a bare PROJ call: the ratio of the two is the converter's overhead.
static void BM_BareProjGeographicToPlane(benchmark::State& state) {
    PJ_CONTEXT* ctx = proj_context_create();
    PJ* raw = proj_create_crs_to_crs(ctx, "EPSG:6706", "EPSG:6707", nullptr);
    PJ* pj = proj_normalize_for_visualization(ctx, raw);
    for (auto _ : state) {
        PJ_COORD c = proj_coord(11.3426, 44.4949, 95.0 - 1.5, 0);
        benchmark::DoNotOptimize(proj_trans(pj, PJ_FWD, c));
    }
    proj_destroy(pj);
    proj_destroy(raw);
    proj_context_destroy(ctx);
}
BENCHMARK(BM_BareProjGeographicToPlane);
