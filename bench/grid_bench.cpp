// Filling a grid of 10,000 rows (two columns, texts, data, a read-only coloured cell in every
// third row), headless and with the Qt view offscreen. The Qt view updates only the rows a
// change names, so its figure stays a constant factor above the headless one; 20,000 rows
// take twice as long as 10,000 in both.
#include "platform/automation.h"
#include "platform/backend.h"
#include "platform/dialog.h"
#include "platform/grid.h"
#include "platform/module.h"
#include "platform/resources.h"

#ifdef GPS_BENCH_QT
#include "platform/qt/QtBackend.h"

#include <QApplication>
#endif

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>

namespace {

const char* const kScript = R"(
300 DIALOGEX 0, 0, 260, 160
STYLE DS_SETFONT | DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU
CAPTION "Griglia"
FONT 8, "MS Sans Serif", 0, 0, 0x1
BEGIN
    DEFPUSHBUTTON   "OK", IDOK, 150, 140, 50, 14
END
)";

void fill(CGridCtrl& grid, int rows) {
    grid.InsertColumn("Campo");
    grid.InsertColumn("Decimali", DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    grid.SetRowNumbers(true, 1);
    for (int i = 0; i < rows; ++i) {
        int row = grid.InsertRow(-1);
        grid.SetItemText(row, 0, "Campo " + std::to_string(i));
        grid.SetItemText(row, 1, "3");
        grid.SetItemData(row, 0, static_cast<std::uint64_t>(i));
        if (i % 3 == 0) {
            grid.SetItemState(row, 1, GVIS_READONLY);
            grid.SetItemBkColour(row, 1, 0x00D2FFDF);
        }
    }
}

/// Fills a new grid in a running dialog once per iteration; \p settle lets the view catch up
/// (Qt lays out and paints once the program gives it the hand).
void fillInDialog(benchmark::State& state, void (*settle)()) {
    platform::ParseResult parsed = platform::parseResourceScript(kScript, "bench.rc");
    if (!parsed.module) {
        state.SkipWithError(parsed.error.c_str());
        return;
    }
    AfxSetResourceHandle(parsed.module.get());
    automation::ScriptedUser user;
    user.onDialog([&](automation::Dialog& d) {
        for (auto _ : state) {
            CGridCtrl grid;
            grid.Create(RECT{10, 10, 400, 200}, &d.window(), 3000);
            fill(grid, static_cast<int>(state.range(0)));
            settle();
            benchmark::DoNotOptimize(grid.GetRowCount());
            state.PauseTiming();
            grid.DestroyWindow();
            settle();
            state.ResumeTiming();
        }
        d.escape();
    });
    CDialog dialog(300);
    dialog.DoModal();
    AfxSetResourceHandle(nullptr);
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_GridFillHeadless(benchmark::State& state) {
    platform::useHeadlessBackend();
    fillInDialog(state, [] {});
}
BENCHMARK(BM_GridFillHeadless)->Arg(10000)->Arg(20000)->Unit(benchmark::kMillisecond);

#ifdef GPS_BENCH_QT
void BM_GridFillQt(benchmark::State& state) {
    static QApplication* app = [] {
        if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
        static int argc = 1;
        static char name[] = "grid_bench";
        static char* argv[] = {name, nullptr};
        return new QApplication(argc, argv);
    }();
    (void)app;
    if (platform::backend().name() != "qt" && !platform::qt::install()) {
        state.SkipWithError("no Qt backend");
        return;
    }
    fillInDialog(state, [] { QCoreApplication::processEvents(); });
    platform::useHeadlessBackend();
}
BENCHMARK(BM_GridFillQt)->Arg(10000)->Arg(20000)->Unit(benchmark::kMillisecond);
#endif

} // namespace
