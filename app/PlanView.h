// gpsbook's plan view: the survey drawn in the plane coordinates of one system beside the tree,
// East to the right and North up at one scale, with the selection kept in step with the tree.
//
// Points go to the scene in buckets of nearby points (one scene item each, found through the
// scene's own index), so that a book of a hundred thousand points is as quick to look at as a
// small one; when the view holds many points it draws them as dots and names none.
#pragma once

#include "core/PlanScene.h"

#include <QGraphicsView>
#include <QLabel>
#include <QPointer>
#include <QWidget>

#include <memory>
#include <vector>

class QAction;
class QComboBox;
class QGraphicsItem;

/// A book position as the tree gives it: a point (point >= 0) or a base station (point -1) of a
/// group, or a drawn point (group -1, point = its position among the drawn points).
struct PlanPick {
    int group = -1;
    int point = -1;
    bool operator==(const PlanPick&) const = default;
};

namespace planview {
struct Style;
}

/// The drawing surface: wheel zoom about the cursor, drag to pan, Shift+drag for a rubber band,
/// keys + − and arrows; scale bar, north arrow and names drawn over the scene.
class PlanCanvas final : public QGraphicsView {
    Q_OBJECT
public:
    explicit PlanCanvas(planview::Style& style, QWidget* parent = nullptr);

    /// Scene position of a plan position, and back.
    QPointF toScene(double east, double north) const;
    void toPlan(const QPointF& scene, double& east, double& north) const;
    void setOrigin(double east, double north);

    /// Pixels per plan unit.
    double scale() const;
    /// Zooms by \p factor about the view position \p anchor.
    void zoomAbout(double factor, const QPointF& anchor);
    /// Shows \p rect (scene coordinates) whole, centred.
    void showSceneRect(const QRectF& rect);
    /// Called after every change of scale: symbol padding and the level of detail.
    void scaleChanged();

signals:
    /// A click or double click where nothing was dragged (viewport position).
    void clicked(const QPointF& at, Qt::KeyboardModifiers modifiers);
    void doubleClicked(const QPointF& at);
    void bandChosen(const QRectF& scene, Qt::KeyboardModifiers modifiers);
    void cursorAt(const QPointF& scene);
    void zoomed();
    /// The user zoomed or panned.
    void moved();
    void resized();

protected:
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void drawBackground(QPainter* painter, const QRectF& rect) override;
    void drawForeground(QPainter* painter, const QRectF& rect) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void panBy(const QPointF& pixels);
    void drawDots(QPainter* painter, const QRectF& rect);

    planview::Style& m_style;
    double m_originEast = 0.0;
    double m_originNorth = 0.0;
    QPoint m_pressAt;
    QPoint m_lastAt;
    bool m_panning = false;
    bool m_banding = false;
    Qt::KeyboardModifiers m_bandModifiers;
};

class PlanView final : public QWidget {
    Q_OBJECT
public:
    explicit PlanView(QWidget* parent = nullptr);
    ~PlanView() override;

    /// Draws \p book (not owned; null: nothing) again. The system chosen, the view's scale and
    /// centre and the selection stay when the book is the same one and still has that system;
    /// \p preferredGroup gives the system to show otherwise (its group's).
    void showBook(const gpsbook::FieldBook* book, int preferredGroup = -1);
    /// Highlights these positions; \p current, if drawn, is brought into view.
    void showSelection(const std::vector<PlanPick>& picks, const PlanPick& current);

    /// The plan drawn.
    const gpsbook::plan::Plan& plan() const { return m_plan; }
    PlanCanvas* canvas() const { return m_canvas; }
    QComboBox* systemChoice() const { return m_system; }
    /// Status bar texts: the cursor's coordinates, and the points left undrawn.
    QLabel* cursorLabel() const { return m_cursor; }
    QLabel* countLabel() const { return m_count; }
    QLabel* legend() const { return m_legend; }
    /// Marks highlighted, in mark order.
    std::vector<int> selectedMarks() const;
    /// Where a mark is in the canvas's viewport.
    QPoint viewPosition(int mark) const;
    /// The mark under a viewport position (within a few pixels); -1 when there is none.
    int markAt(const QPointF& viewPosition) const;
    /// Writes the view as shown to an image or SVG file; false, with \p error, on failure.
    bool exportPng(const QString& path, QString& error);
    bool exportSvg(const QString& path, QString& error);
    /// The view as shown, drawn into an image \p scale times its size (for a printed page).
    QImage snapshot(int scale);
    /// The system drawn, as the drop-down names it; empty when none.
    QString systemName() const;
    /// The groups not drawn and why, one text.
    QString leftOutText() const;

public slots:
    /// Shows every drawn thing ("Adatta").
    void fit();
    void zoomIn();
    void zoomOut();
    /// Shows the highlighted marks.
    void zoomToSelection();
    void setBaselinesShown(bool shown);
    /// Asks a file name and writes the view to it as PNG or SVG.
    void exportView();

signals:
    /// The user chose these positions (a click or a rubber band); \p current is the one clicked.
    void picked(const std::vector<PlanPick>& picks, const PlanPick& current);
    /// A double click on a mark.
    void activated(const PlanPick& pick);

private:
    void chooseSystem(int index);
    void rebuildScene();
    void updateLegend();
    void pickAt(const QPointF& viewPosition, Qt::KeyboardModifiers modifiers);
    void pickIn(const QRectF& scene, Qt::KeyboardModifiers modifiers);
    void showCursor(const QPointF& scene);
    void setSelected(std::vector<int> marks);
    PlanPick pickOf(int mark) const;
    int markOf(const PlanPick& pick) const;
    bool render(QPaintDevice& device);

    const gpsbook::FieldBook* m_book = nullptr;
    std::vector<gpsbook::plan::System> m_systems;
    std::string m_crs;
    gpsbook::plan::Plan m_plan;
    std::unique_ptr<planview::Style> m_style;
    QGraphicsScene* m_scene = nullptr;
    PlanCanvas* m_canvas = nullptr;
    QComboBox* m_system = nullptr;
    QLabel* m_legend = nullptr;
    QPointer<QLabel> m_cursor;
    QPointer<QLabel> m_count;
    QAction* m_actBaselines = nullptr;
    std::vector<QGraphicsItem*> m_buckets;
    std::vector<QGraphicsItem*> m_baselineItems;
    bool m_fitted = true; // showing everything: kept so when the view changes size
};
