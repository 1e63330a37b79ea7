// Opening and closing the search dialog, headless, through its export.
#include "gpsdialogs/GpsDialogs.h"
#include "platform/automation.h"

#include "resource.h"

#include <benchmark/benchmark.h>

static void BM_SearchDialogOpenClose(benchmark::State& state) {
    automation::ScriptedUser user;
    std::string text = "PF";
    bool inName = true, inCode = false;
    for (auto _ : state) {
        user.onDialog([](automation::Dialog& d) { d.click(IDCANCEL); });
        benchmark::DoNotOptimize(FDlgFindPunGps(text, inName, inCode));
    }
}
BENCHMARK(BM_SearchDialogOpenClose);

static void BM_SearchDialogTypeAndConfirm(benchmark::State& state) {
    automation::ScriptedUser user;
    std::string text;
    bool inName = true, inCode = false;
    for (auto _ : state) {
        user.onDialog([](automation::Dialog& d) {
            d.setText(IDC_FIND_TEXT, "");
            d.type(IDC_FIND_TEXT, "PF123");
            d.click(IDOK);
        });
        benchmark::DoNotOptimize(FDlgFindPunGps(text, inName, inCode));
    }
}
BENCHMARK(BM_SearchDialogTypeAndConfirm);
