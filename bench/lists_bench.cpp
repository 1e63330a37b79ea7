// Filling a list box and a drop-down list with 10,000 entries, headless and in the Qt view
// (offscreen). The Qt view takes each added entry alone, so its fill stays linear: the ratio
// of the two figures is the cost of the view per entry.
#include "platform/automation.h"
#include "platform/backend.h"
#include "platform/dialog.h"
#include "platform/module.h"
#include "platform/qt/QtBackend.h"
#include "platform/resources.h"

#include <QApplication>

#include <benchmark/benchmark.h>

#include <memory>
#include <string>

namespace {

const char* const kScript = R"(
100 DIALOGEX 0, 0, 200, 150
STYLE DS_SETFONT | DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU
CAPTION "Elenchi"
FONT 8, "MS Sans Serif", 0, 0, 0x1
BEGIN
    LISTBOX         1000, 5, 5, 90, 120, LBS_NOTIFY | WS_VSCROLL | WS_TABSTOP
    COMBOBOX        1001, 100, 5, 90, 120, CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP
    DEFPUSHBUTTON   "OK", 1, 75, 130, 50, 14
END
)";

constexpr int kEntries = 10000;

class Lists : public CDialog {
public:
    explicit Lists(int listId) : CDialog(100), m_listId(listId) {}

    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        CWnd* list = GetDlgItem(m_listId);
        for (int i = 0; i < kEntries; ++i) {
            std::string text = "P" + std::to_string(i);
            if (m_listId == 1000)
                static_cast<CListBox*>(list)->AddString(text);
            else
                static_cast<CComboBox*>(list)->AddString(text);
        }
        return TRUE;
    }

private:
    int m_listId;
};

void fill(benchmark::State& state, bool qt, int listId) {
    static QApplication* app = [] {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "lists_bench";
        static char* argv[] = {name, nullptr};
        return new QApplication(argc, argv);
    }();
    (void)app;
    if (qt)
        platform::qt::install();
    else
        platform::useHeadlessBackend();
    platform::ParseResult parsed = platform::parseResourceScript(kScript, "lists.rc");
    AfxSetResourceHandle(parsed.module.get());
    automation::ScriptedUser user;
    for (auto _ : state) {
        user.onDialog([](automation::Dialog& d) { d.click(IDOK); });
        Lists dialog(listId);
        benchmark::DoNotOptimize(dialog.DoModal());
    }
    state.SetItemsProcessed(state.iterations() * kEntries);
    AfxSetResourceHandle(nullptr);
    platform::useHeadlessBackend();
}

} // namespace

static void BM_FillListBoxHeadless(benchmark::State& state) {
    fill(state, false, 1000);
}
static void BM_FillListBoxQt(benchmark::State& state) {
    fill(state, true, 1000);
}
static void BM_FillComboBoxHeadless(benchmark::State& state) {
    fill(state, false, 1001);
}
static void BM_FillComboBoxQt(benchmark::State& state) {
    fill(state, true, 1001);
}
BENCHMARK(BM_FillListBoxHeadless)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FillListBoxQt)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FillComboBoxHeadless)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FillComboBoxQt)->Unit(benchmark::kMillisecond);
