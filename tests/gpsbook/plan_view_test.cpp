// The plan view beside the tree, used as a person uses it: clicks, rubber bands and double
// clicks on the drawing, the tree's selection shown there, "Adatta", the system drop-down and
// the export.
#include "GpsbookWindow.h"

#include "../../resources/resource.h"
#include "PlanView.h"
#include "gpsdialogs/interfaces/Kit.h"
#include "platform/automation.h"

#include <QComboBox>
#include <QLabel>
#include <QTest>
#include <QTreeWidget>
#include <QWheelEvent>

#include <fstream>
#include <sstream>

using automation::Dialog;
using automation::FileDialogAnswer;
using automation::FileDialogCall;
using automation::ScriptedUser;
using gpsbook::plan::Mark;
using gpsbooktest::GpsbookWindow;

namespace {

class GpsbookPlan : public GpsbookWindow {
protected:
    void SetUp() override {
        GpsbookWindow::SetUp();
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        plan = window->planView();
        ASSERT_NE(plan, nullptr);
        plan->fit();
    }

    QWidget* viewport() { return plan->canvas()->viewport(); }
    int mark(int group, int index) { return plan->plan().find(group, index); }
    bool inView(int m) { return viewport()->rect().contains(plan->viewPosition(m)); }
    void planAction(const char* name) {
        auto* a = plan->findChild<QAction*>(name);
        ASSERT_NE(a, nullptr) << name;
        a->trigger();
    }
    /// The tree's selected rows as {group, point}.
    std::vector<std::pair<int, int>> treeSelection() {
        std::vector<std::pair<int, int>> rows;
        auto* tree = window->findChild<QTreeWidget*>();
        for (QTreeWidgetItem* item : tree->selectedItems())
            rows.emplace_back(item->data(0, Qt::UserRole).toInt(),
                              item->data(0, Qt::UserRole + 1).toInt());
        std::sort(rows.begin(), rows.end());
        return rows;
    }

    PlanView* plan = nullptr;
};

std::string fileText(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

} // namespace

TEST_F(GpsbookPlan, draws_the_sample_and_says_what_it_leaves_out) {
    // Base station, twelve points with plane coordinates, three drawn points.
    EXPECT_EQ(plan->plan().marks().size(), 16u);
    EXPECT_EQ(plan->countLabel()->text(), "2 punti senza coordinate piane");
    EXPECT_FALSE(plan->countLabel()->isHidden());
    EXPECT_EQ(mark(0, 9), -1);  // 107
    EXPECT_EQ(mark(0, 12), -1); // 110
    EXPECT_TRUE(plan->legend()->text().contains("Rilievo Casalecchio (da elaborare)"));
    EXPECT_TRUE(plan->legend()->text().contains("senza proiezione calcolata"));
    EXPECT_EQ(plan->systemChoice()->count(), 1);
    EXPECT_TRUE(plan->systemChoice()->currentText().contains("EPSG:6707"));
    // East to the right, North up, one scale on both axes.
    const Mark& pf12 = plan->plan().marks()[static_cast<std::size_t>(mark(0, 0))];
    const Mark& pf07 = plan->plan().marks()[static_cast<std::size_t>(mark(0, 1))];
    const QPoint a = plan->viewPosition(mark(0, 0)), b = plan->viewPosition(mark(0, 1));
    EXPECT_GT(b.x(), a.x()); // PF07 lies east of PF12
    EXPECT_GT(b.y(), a.y()); // and south of it
    EXPECT_NEAR((b.x() - a.x()) / (pf07.east - pf12.east),
                (b.y() - a.y()) / (pf12.north - pf07.north), 0.01);
}

TEST_F(GpsbookPlan, a_click_on_a_symbol_selects_its_point_in_the_tree) {
    const int target = mark(0, 4); // 102
    QTest::mouseClick(viewport(), Qt::LeftButton, {}, plan->viewPosition(target));
    EXPECT_EQ(selection(), (std::pair{0, 4}));
    EXPECT_EQ(plan->selectedMarks(), std::vector<int>{target});

    // Ctrl adds the base station; a click on empty ground changes nothing.
    QTest::mouseClick(viewport(), Qt::LeftButton, Qt::ControlModifier,
                      plan->viewPosition(mark(0, -1)));
    EXPECT_EQ(treeSelection(), (std::vector<std::pair<int, int>>{{0, -1}, {0, 4}}));
    QTest::mouseClick(viewport(), Qt::LeftButton, {}, QPoint(3, 3));
    EXPECT_EQ(treeSelection().size(), 2u);
}

TEST_F(GpsbookPlan, a_selection_in_the_tree_is_highlighted_and_brought_into_view) {
    plan->canvas()->zoomAbout(40.0, plan->viewPosition(mark(0, -1)));
    const int far = mark(0, 2); // PF15, a kilometre off
    ASSERT_FALSE(inView(far));
    ASSERT_TRUE(window->selectPosition(0, 2));
    EXPECT_EQ(plan->selectedMarks(), std::vector<int>{far});
    EXPECT_TRUE(inView(far));

    // "Adatta" shows every mark again.
    planAction("adatta");
    for (std::size_t m = 0; m < plan->plan().marks().size(); ++m)
        EXPECT_TRUE(inView(static_cast<int>(m))) << plan->plan().marks()[m].name;

    // Zoom to the selection: the kerb points fill the view.
    const double fitted = plan->canvas()->scale();
    window->selectPosition(0, 3);
    auto* tree = window->findChild<QTreeWidget*>();
    tree->topLevelItem(0)->child(5)->setSelected(true);
    ASSERT_EQ(plan->selectedMarks().size(), 2u);
    planAction("zoomSelezione");
    EXPECT_GT(plan->canvas()->scale(), 10 * fitted);
    EXPECT_TRUE(inView(mark(0, 3)));
    EXPECT_TRUE(inView(mark(0, 5)));
    EXPECT_FALSE(inView(far));
}

TEST_F(GpsbookPlan, keys_and_the_wheel_zoom_and_pan) {
    const double fitted = plan->canvas()->scale();
    plan->canvas()->setFocus();
    QTest::keyClick(plan->canvas(), Qt::Key_Plus);
    EXPECT_NEAR(plan->canvas()->scale(), fitted * 1.25, fitted * 1e-9);
    QTest::keyClick(plan->canvas(), Qt::Key_Minus);
    EXPECT_NEAR(plan->canvas()->scale(), fitted, fitted * 1e-9);

    const int base = mark(0, -1);
    const QPoint before = plan->viewPosition(base);
    QTest::keyClick(plan->canvas(), Qt::Key_Right);
    EXPECT_LT(plan->viewPosition(base).x(), before.x());

    // The wheel zooms about the cursor: the point under it stays put.
    const QPoint at = plan->viewPosition(base);
    QWheelEvent wheel(at, viewport()->mapToGlobal(at), QPoint(), QPoint(0, 240), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(viewport(), &wheel);
    EXPECT_NEAR(plan->canvas()->scale(), fitted * 1.5625, fitted * 1e-9);
    EXPECT_LE((plan->viewPosition(base) - at).manhattanLength(), 2);

    // Home is "Adatta", with the focus on the drawing.
    QTest::keyClick(plan->canvas(), Qt::Key_Home);
    EXPECT_NEAR(plan->canvas()->scale(), fitted, fitted * 1e-9);
    EXPECT_EQ(plan->viewPosition(base), before);
}

TEST_F(GpsbookPlan, a_rubber_band_selects_exactly_the_points_inside) {
    // A band around the kerb points 101 to 104, from corner to corner.
    QRect band;
    for (int p : {3, 4, 5, 6})
        band |= QRect(plan->viewPosition(mark(0, p)), QSize(1, 1));
    band.adjust(-4, -4, 4, 4);
    QTest::mousePress(viewport(), Qt::LeftButton, Qt::ShiftModifier, band.topLeft());
    QTest::mouseMove(viewport(), band.center());
    QTest::mouseRelease(viewport(), Qt::LeftButton, Qt::ShiftModifier, band.bottomRight());

    std::vector<int> inside;
    for (std::size_t m = 0; m < plan->plan().marks().size(); ++m)
        if (band.contains(plan->viewPosition(static_cast<int>(m))))
            inside.push_back(static_cast<int>(m));
    EXPECT_GE(inside.size(), 4u);
    EXPECT_EQ(plan->selectedMarks(), inside);
    std::vector<std::pair<int, int>> expected;
    for (int m : inside) {
        const Mark& mk = plan->plan().marks()[static_cast<std::size_t>(m)];
        if (mk.kind != gpsbook::plan::MarkKind::Drawn) expected.emplace_back(mk.group, mk.point);
    }
    std::sort(expected.begin(), expected.end());
    std::vector<std::pair<int, int>> tree = treeSelection();
    tree.erase(std::remove_if(tree.begin(), tree.end(), [](auto r) { return r.first < 0; }),
               tree.end());
    EXPECT_EQ(tree, expected);
}

TEST_F(GpsbookPlan, an_edit_of_plane_coordinates_moves_the_symbol) {
    ASSERT_TRUE(window->selectPosition(0, 3));
    const QPoint before = plan->viewPosition(mark(0, 3));
    const double scale = plan->canvas()->scale();
    ScriptedUser user;
    user.onDialog([](Dialog& d) {
        d.selectPage(1);
        d.setText(IDC_EAST, "685057.157");
        d.click(IDOK);
    });
    trigger("modificaPunto");
    EXPECT_EQ(user.unexpected(), 0);
    const Mark& moved = plan->plan().marks()[static_cast<std::size_t>(mark(0, 3))];
    EXPECT_NEAR(moved.east, 685057.157, 1e-6);
    EXPECT_NEAR(plan->viewPosition(mark(0, 3)).x() - before.x(), 50.0 * scale, 2.0);
    EXPECT_NEAR(plan->viewPosition(mark(0, 3)).y(), before.y(), 1.0);
    // The view was not moved or zoomed by the change; the point stays highlighted.
    EXPECT_DOUBLE_EQ(plan->canvas()->scale(), scale);
    EXPECT_EQ(plan->selectedMarks(), std::vector<int>{mark(0, 3)});
}

TEST_F(GpsbookPlan, a_double_click_opens_the_point_editor_on_the_point) {
    ScriptedUser user;
    std::string shown;
    user.onDialog([&](Dialog& d) {
        EXPECT_EQ(d.templateId(), IDD_MOD_PUN_GPS);
        shown = d.text(IDC_POINT_NAME);
        d.click(IDCANCEL);
    });
    QTest::mouseDClick(viewport(), Qt::LeftButton, {}, plan->viewPosition(mark(0, 10)));
    EXPECT_EQ(shown, "108");
    EXPECT_EQ(user.unexpected(), 0);
    EXPECT_EQ(selection(), (std::pair{0, 10}));
}

TEST_F(GpsbookPlan, the_drop_down_shows_one_system_at_a_time) {
    CGrpGps* second = book().GetGrpAt(1);
    ASSERT_TRUE(second->SetProjection("EPSG:32632"));
    second->SetCoordXY(500000.0, 4930000.0);
    book().GetPunAt(1, 0)->SetCoordXY(500010.0, 4930010.0);
    plan->showBook(&window->fieldBook(), 0);
    QComboBox* choice = plan->systemChoice();
    ASSERT_EQ(choice->count(), 2);
    EXPECT_EQ(choice->currentIndex(), 0);

    choice->setFocus();
    QTest::keyClick(choice, Qt::Key_Down);
    EXPECT_EQ(choice->currentIndex(), 1);
    for (const Mark& m : plan->plan().marks())
        EXPECT_TRUE(m.group == 1 || m.kind == gpsbook::plan::MarkKind::Drawn) << m.name;
    EXPECT_TRUE(plan->legend()->text().contains("Rilievo Saragozza (in EPSG:6707)"));
    EXPECT_EQ(plan->countLabel()->text(), "7 punti senza coordinate piane");
}

TEST_F(GpsbookPlan, the_exported_svg_holds_one_symbol_per_drawn_mark) {
    const std::filesystem::path svg = settings.dir() / "pianta.svg";
    ScriptedUser user;
    user.onFileDialog([&](const FileDialogCall& call) {
        EXPECT_FALSE(call.open);
        return FileDialogAnswer{true, svg.string(), 2};
    });
    planAction("esportaPianta");
    const std::string text = fileText(svg);
    ASSERT_FALSE(text.empty());
    // Each symbol is one path element of its own; the other paths are the kerb line and the
    // two halves of the north arrow.
    std::size_t paths = 0;
    for (auto at = text.find("<path "); at != std::string::npos; at = text.find("<path ", at + 1))
        ++paths;
    EXPECT_EQ(paths, plan->plan().marks().size() + plan->plan().shapes().size() + 2);
    EXPECT_NE(text.find(">PF07<"), std::string::npos);
    // A line per baseline and the scale bar's three; without baselines, the bar's alone.
    auto count = [](const std::string& svgText, const std::string& element) {
        std::size_t n = 0;
        for (auto at = svgText.find(element); at != std::string::npos;
             at = svgText.find(element, at + 1))
            ++n;
        return n;
    };
    EXPECT_EQ(count(text, "<polyline "), plan->plan().baselines().size() + 3);
    planAction("lineeDiBase");
    const std::filesystem::path bare = settings.dir() / "pianta-senza-basi.svg";
    user.onFileDialog([&](const FileDialogCall&) {
        return FileDialogAnswer{true, bare.string(), 2};
    });
    planAction("esportaPianta");
    EXPECT_EQ(count(fileText(bare), "<polyline "), 3u);

    const std::filesystem::path png = settings.dir() / "pianta.png";
    user.onFileDialog([&](const FileDialogCall&) {
        return FileDialogAnswer{true, png.string(), 1};
    });
    planAction("esportaPianta");
    QImage image(QString::fromStdString(png.string()));
    EXPECT_FALSE(image.isNull());
    EXPECT_EQ(image.width(), viewport()->width() * 2);
}

TEST_F(GpsbookPlan, the_printout_starts_with_the_plan_when_asked) {
    auto pages = [](const std::filesystem::path& pdf) {
        const std::string text = fileText(pdf);
        std::size_t n = 0;
        for (auto at = text.find("/Type /Page"); at != std::string::npos;
             at = text.find("/Type /Page", at + 1))
            if (text.compare(at, 12, "/Type /Pages") != 0) ++n;
        return n;
    };
    auto print = [&](const std::filesystem::path& pdf) {
        ScriptedUser user;
        user.onDialog([](Dialog& d) {
            d.select(IDC_PRINT_GROUPS, 0);
            d.click(IDOK);
        });
        user.onFileDialog([&](const FileDialogCall&) {
            return FileDialogAnswer{true, pdf.string(), 1};
        });
        trigger("stampa");
        EXPECT_EQ(user.unexpected(), 0);
    };
    const std::filesystem::path plain = settings.dir() / "senza.pdf";
    print(plain);
    const std::size_t before = pages(plain);
    ASSERT_GT(before, 0u);

    QAction* option = action("piantaInStampa");
    ASSERT_NE(option, nullptr);
    EXPECT_FALSE(option->isChecked());
    option->trigger();
    EXPECT_TRUE(CIniFile().GetBool("GPSBOOK", "PiantaInStampa", false));
    const std::filesystem::path withPlan = settings.dir() / "con-pianta.pdf";
    print(withPlan);
    EXPECT_EQ(pages(withPlan), before + 1);
}
