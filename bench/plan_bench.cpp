// The plan view on a book of a hundred thousand points, offscreen: building the plan and the
// scene, the first paint, a pan and a zoom step, a click's hit-test; beside it the tree's own
// fill of the same book, the peer.
#include "PlanView.h"
#include "core/BookText.h"
#include "core/FieldBook.h"
#include "core/PlanScene.h"

#include <QApplication>
#include <QGraphicsEllipseItem>
#include <QGraphicsScene>
#include <QGraphicsView>
#include <QHeaderView>
#include <QPixmap>
#include <QTreeWidget>

#include <benchmark/benchmark.h>

#include <memory>
#include <random>

namespace {

constexpr int kGroups = 10;
constexpr int kPointsPerGroup = 10000;

QApplication& application() {
    static QApplication* app = [] {
        if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "plan_bench";
        static char* argv[] = {name, nullptr};
        return new QApplication(argc, argv);
    }();
    return *app;
}

/// Ten groups of ten thousand points each around their base stations, over some five
/// kilometres, in one system.
const gpsbook::FieldBook& largeBook() {
    static std::unique_ptr<gpsbook::FieldBook> book = [] {
        auto made = std::make_unique<gpsbook::FieldBook>();
        std::mt19937 random(3);
        std::uniform_real_distribution<double> around(-600.0, 600.0);
        for (const char* model : {"PUNTO", "SPIGOLO", "PF", "CHIODO", "PICCHETTO", "ALBERO"})
            made->book.m_OpzListDisEgn.AddOpzCom(model);
        for (int g = 0; g < kGroups; ++g) {
            CGrpGps* group = made->book.AddGrp("Rilievo " + std::to_string(g + 1));
            group->SetProjection("EPSG:6707", 45.47);
            group->SetNome("B" + std::to_string(g + 1));
            const double east = 684000.0 + 1500.0 * (g % 4), north = 4928000.0 + 1500.0 * (g / 4);
            group->SetCoordXY(east, north);
            for (int p = 0; p < kPointsPerGroup; ++p) {
                CPunGps* point = made->book.AddPun(g);
                point->SetNome(std::to_string(g * kPointsPerGroup + p));
                point->SetCode(p % 3 == 0 ? "SPIGOLO FABBRICATO" : "CIGLIO STRADA");
                point->SetAttribDis(p % 2 == 0 ? "PUNTO" : "SPIGOLO");
                point->SetCoordXY(east + around(random), north + around(random));
                point->SetCoordZ(60.0);
            }
        }
        return made;
    }();
    return *book;
}

/// A plan view fitted on the large book, shown offscreen in a window of a common size.
struct ShownPlan {
    ShownPlan() {
        view.resize(900, 700);
        view.show();
        view.showBook(&largeBook(), 0);
        view.fit();
        view.canvas()->viewport()->grab();
    }
    QApplication& app = application(); // before any widget
    PlanView view;
};

void paint(PlanView& view) {
    QPixmap frame = view.canvas()->viewport()->grab();
    benchmark::DoNotOptimize(frame);
}

} // namespace

// The peer: gpsbook's tree filled with the same book, row by row as the main window fills it.
static void BM_TreeFill100k(benchmark::State& state) {
    application();
    const CLibGps& book = largeBook().book;
    for (auto _ : state) {
        QTreeWidget tree;
        tree.setColumnCount(gpsbook::ColumnCount);
        tree.setUniformRowHeights(true);
        for (int g = 0; g < book.GetGrpArSize(); ++g) {
            auto* groupItem = new QTreeWidgetItem(&tree);
            const gpsbook::RowTexts groupRow = gpsbook::groupRow(*book.GetGrpAt(g));
            for (int c = 0; c < gpsbook::ColumnCount; ++c)
                groupItem->setText(c, QString::fromStdString(groupRow[c]));
            for (int p = 0; p < book.GetPunArSize(g); ++p) {
                auto* item = new QTreeWidgetItem(groupItem);
                const gpsbook::RowTexts row = gpsbook::pointRow(*book.GetPunAt(g, p));
                for (int c = 0; c < gpsbook::ColumnCount; ++c)
                    item->setText(c, QString::fromStdString(row[c]));
            }
        }
        tree.expandAll();
        for (int c = 0; c < gpsbook::ColumnCount; ++c)
            tree.resizeColumnToContents(c);
        benchmark::DoNotOptimize(tree.topLevelItemCount());
    }
}
BENCHMARK(BM_TreeFill100k)->Unit(benchmark::kMillisecond)->Iterations(2);

// The plan of the book alone: marks, baselines and buckets.
static void BM_PlanBuild100k(benchmark::State& state) {
    const gpsbook::FieldBook& book = largeBook();
    for (auto _ : state)
        benchmark::DoNotOptimize(gpsbook::plan::Plan::build(book, "EPSG:6707"));
}
BENCHMARK(BM_PlanBuild100k)->Unit(benchmark::kMillisecond);

// What the window does after every change of the book: the plan and the scene made again.
static void BM_PlanShowBook100k(benchmark::State& state) {
    ShownPlan shown;
    for (auto _ : state) {
        shown.view.showBook(nullptr);
        shown.view.showBook(&largeBook(), 0);
    }
}
BENCHMARK(BM_PlanShowBook100k)->Unit(benchmark::kMillisecond);

// The first paint: every one of the 100,000 points in view.
static void BM_PlanPaintFitted100k(benchmark::State& state) {
    ShownPlan shown;
    for (auto _ : state)
        paint(shown.view);
}
BENCHMARK(BM_PlanPaintFitted100k)->Unit(benchmark::kMillisecond);

// Zoomed in on one station, a few hundred points with their symbols and names.
static void BM_PlanPaintZoomedIn100k(benchmark::State& state) {
    ShownPlan shown;
    PlanCanvas* canvas = shown.view.canvas();
    canvas->zoomAbout(24.0, canvas->viewport()->rect().center());
    for (auto _ : state)
        paint(shown.view);
}
BENCHMARK(BM_PlanPaintZoomedIn100k)->Unit(benchmark::kMillisecond);

// One step of a drag: ten pixels, then the frame.
static void BM_PlanPanStep100k(benchmark::State& state) {
    ShownPlan shown;
    PlanCanvas* canvas = shown.view.canvas();
    canvas->zoomAbout(3.0, canvas->viewport()->rect().center());
    int step = 10;
    for (auto _ : state) {
        canvas->translate(step, 0);
        step = -step;
        paint(shown.view);
    }
}
BENCHMARK(BM_PlanPanStep100k)->Unit(benchmark::kMillisecond);

// One wheel step in and one out, each with its frame; the time is per step.
static void BM_PlanZoomStep100k(benchmark::State& state) {
    ShownPlan shown;
    PlanCanvas* canvas = shown.view.canvas();
    const QPointF at = canvas->viewport()->rect().center() + QPointF(40, 30);
    for (auto _ : state) {
        canvas->zoomAbout(1.25, at);
        paint(shown.view);
        canvas->zoomAbout(0.8, at);
        paint(shown.view);
    }
    state.SetItemsProcessed(state.iterations() * 2);
}
BENCHMARK(BM_PlanZoomStep100k)->Unit(benchmark::kMillisecond);

// A click's hit-test, fitted (every point in view) and zoomed in.
static void BM_PlanHitTest100k(benchmark::State& state) {
    ShownPlan shown;
    PlanCanvas* canvas = shown.view.canvas();
    if (state.range(0) != 0) canvas->zoomAbout(24.0, canvas->viewport()->rect().center());
    std::mt19937 random(5);
    std::uniform_int_distribution<int> x(0, canvas->viewport()->width() - 1);
    std::uniform_int_distribution<int> y(0, canvas->viewport()->height() - 1);
    for (auto _ : state)
        benchmark::DoNotOptimize(shown.view.markAt(QPointF(x(random), y(random))));
}
BENCHMARK(BM_PlanHitTest100k)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// The alternative the buckets stand against: one scene item per point, each a small symbol of
// constant size on screen, in the same BSP index; the scene made, then one paint of it all.
static void BM_OneItemPerPointBuild100k(benchmark::State& state) {
    application();
    const gpsbook::plan::Plan plan = gpsbook::plan::Plan::build(largeBook(), "EPSG:6707");
    for (auto _ : state) {
        QGraphicsScene scene;
        scene.setItemIndexMethod(QGraphicsScene::BspTreeIndex);
        for (const gpsbook::plan::Mark& mark : plan.marks()) {
            auto* item = scene.addEllipse(-3.5, -3.5, 7, 7, QPen(Qt::darkBlue), QBrush(Qt::blue));
            item->setFlag(QGraphicsItem::ItemIgnoresTransformations);
            item->setPos(mark.east - 686000.0, 4929000.0 - mark.north);
        }
        benchmark::DoNotOptimize(scene.items(QRectF(-10, -10, 20, 20)).size());
    }
}
BENCHMARK(BM_OneItemPerPointBuild100k)->Unit(benchmark::kMillisecond)->Iterations(2);

static void BM_OneItemPerPointPaintFitted100k(benchmark::State& state) {
    application();
    const gpsbook::plan::Plan plan = gpsbook::plan::Plan::build(largeBook(), "EPSG:6707");
    QGraphicsScene scene;
    scene.setItemIndexMethod(QGraphicsScene::BspTreeIndex);
    for (const gpsbook::plan::Mark& mark : plan.marks()) {
        auto* item = scene.addEllipse(-3.5, -3.5, 7, 7, QPen(Qt::darkBlue), QBrush(Qt::blue));
        item->setFlag(QGraphicsItem::ItemIgnoresTransformations);
        item->setPos(mark.east - 686000.0, 4929000.0 - mark.north);
    }
    QGraphicsView view(&scene);
    view.resize(900, 700);
    view.show();
    view.fitInView(scene.itemsBoundingRect(), Qt::KeepAspectRatio);
    view.viewport()->grab();
    for (auto _ : state) {
        QPixmap frame = view.viewport()->grab();
        benchmark::DoNotOptimize(frame);
    }
}
BENCHMARK(BM_OneItemPerPointPaintFitted100k)->Unit(benchmark::kMillisecond)->Iterations(5);
