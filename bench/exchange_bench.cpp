// The field-book exchange: opening the export layout dialog headless with 35 rows, and
// gpsbook's ASCII export of 100,000 points (points per second).
#include "core/AsciiExport.h"

#include "gpsdialogs/GpsDialogs.h"
#include "gpsdialogs/interfaces/Kit.h"
#include "platform/automation.h"

#include "resource.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

/// A settings file of its own, holding a layout of all 35 fields.
struct LayoutSettings {
    std::filesystem::path path;
    LayoutSettings() {
        path = std::filesystem::temp_directory_path() /
               ("gps-exchange-bench-" + std::to_string(::getpid()) + ".ini");
        std::string text = "[FILE ASCI]\nNumCampi=35\n";
        for (int p = 0; p < 35; ++p)
            text += "Campo-" + std::to_string(p) + "=" + std::to_string(p) + "\nnDecCampo-" +
                    std::to_string(p) + "=4\n";
        std::FILE* f = std::fopen(path.c_str(), "wb");
        std::fwrite(text.data(), 1, text.size(), f);
        std::fclose(f);
        CIniFile::SetFilePath(path.string());
    }
    ~LayoutSettings() {
        CIniFile::SetFilePath("");
        std::filesystem::remove(path);
    }
};

} // namespace

static void BM_ExportLayoutDialogOpenWith35Rows(benchmark::State& state) {
    LayoutSettings settings;
    automation::ScriptedUser user;
    for (auto _ : state) {
        user.onDialog([](automation::Dialog& d) { d.click(IDC_LAYOUT_CANCEL); });
        benchmark::DoNotOptimize(FSelDatiFile());
    }
}
BENCHMARK(BM_ExportLayoutDialogOpenWith35Rows)->Unit(benchmark::kMillisecond);

static void BM_AsciiExport100000Points(benchmark::State& state) {
    CLibGps book;
    book.AddGrp("Rilievo");
    for (int i = 0; i < 100000; ++i) {
        CPunGps* p = book.AddPun(0);
        p->SetNome("P" + std::to_string(i));
        p->SetCode("Spigolo fabbricato");
        p->SetAltAnt(2.0);
        p->SetGeo((44.49 + i * 1e-7) * M_PI / 180.0, (11.34 + i * 1e-7) * M_PI / 180.0, 96.0);
        p->SetCoordXY(686728.4567 + i, 4928312.0001 - i);
        p->SetCoordZ(94.0);
        p->SetPdop(1.4);
        p->SetGdop(1.9);
    }
    gpsbook::AsciiLayout layout; // the default 15 fields
    const int defaults[] = {0, 1, 2, 3, 4, 8, 9, 13, 14, 15, 16, 19, 20, 22, 23};
    for (int id : defaults)
        layout.fields.push_back({id, 3});
    layout.fields.push_back({10, 4});
    layout.fields.push_back({11, 4});
    layout.fields.push_back({12, 4});
    std::string text;
    for (auto _ : state) {
        gpsbook::ExportOutcome outcome = gpsbook::asciiText(book, {0}, layout, text);
        benchmark::DoNotOptimize(outcome.lines);
    }
    state.counters["points/s"] = benchmark::Counter(
        100000.0 * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_AsciiExport100000Points)->Unit(benchmark::kMillisecond);
