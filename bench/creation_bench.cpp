// The creation options proposing the automatic name in a group of 100,000 points, and the
// choice of the base to move opening on 10,000 groups: both headless, through their exports,
// opened and cancelled.
#include "gpsdialogs/GpsDialogs.h"
#include "gpsdialogs/interfaces/DrawEng.h"
#include "gpsdialogs/interfaces/Kit.h"
#include "gpsdialogs/interfaces/LibGps.h"
#include "platform/automation.h"

#include "resource.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace {

// A settings file of the benchmark's own, with automatic naming on.
struct Settings {
    Settings() {
        path = (std::filesystem::temp_directory_path() /
                ("gpsdialogs-bench-" + std::to_string(::getpid()) + ".ini"))
                   .string();
        CIniFile::SetFilePath(path);
    }
    ~Settings() {
        CIniFile::SetFilePath("");
        std::remove(path.c_str());
    }
    std::string path;
};

// Argument 1: automatic naming on; 0: off, the opening alone, for comparison.
void BM_CreationOptionsAutomaticName100kPoints(benchmark::State& state) {
    Settings settings;
    const bool automatic = state.range(0) != 0;
    CIniFile().WriteBool("LIBRETTO", "AssNomiGpsAuto", automatic);
    CLibGps book;
    CGrpGps* group = book.AddGrp("Rilievo");
    group->SetNome("B01");
    group->SetProjection("EPSG:6707");
    for (int i = 0; i < 100000; ++i)
        book.AddPun(0)->SetNome(i % 10 == 0 ? "PF" + std::to_string(i) : std::to_string(i + 1));
    automation::ScriptedUser user;
    std::string shown;
    int grpIndex = 0;
    std::string name, descr;
    double x = 0, y = 0, z = 0, h = 0;
    for (auto _ : state) {
        user.onDialog([&](automation::Dialog& d) {
            shown = d.text(IDC_NEW_POINT_NAME);
            d.click(IDCANCEL);
        });
        benchmark::DoNotOptimize(FDlgOpzCreazGps(group, &book, grpIndex, name, descr, x, y, z, h));
    }
    if (automatic && shown != "100001") state.SkipWithError(("proposed " + shown).c_str());
}
BENCHMARK(BM_CreationOptionsAutomaticName100kPoints)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

void BM_MoveBaseChoiceOpen10kGroups(benchmark::State& state) {
    CLibGps book;
    CDrawEng eng;
    for (int g = 0; g < 10000; ++g) {
        CGrpGps* group = book.AddGrp("Gruppo " + std::to_string(g));
        group->SetNome("S" + std::to_string(g));
        group->SetBaseAltAnt(1.5);
        group->SetTargetDrawing(static_cast<std::uint64_t>(g));
        if (g % 7 == 0) eng.LockDrawing(static_cast<std::uint64_t>(g));
    }
    automation::ScriptedUser user;
    int index = 0;
    double height = 0;
    for (auto _ : state) {
        user.onDialog([](automation::Dialog& d) { d.click(IDCANCEL); });
        FDlgOpzSpostaBaseGps(&book, &eng, index, height);
        benchmark::DoNotOptimize(index);
    }
}
BENCHMARK(BM_MoveBaseChoiceOpen10kGroups)->Unit(benchmark::kMillisecond);

} // namespace
