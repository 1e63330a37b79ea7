#include "PlanView.h"

#include "core/AtomicFile.h"

#include "gpsdialogs/interfaces/ConvCoord.h"
#include "platform/filedialog.h"

#include <QAction>
#include <QBuffer>
#include <QComboBox>
#include <QFile>
#include <QGraphicsItem>
#include <QGraphicsPathItem>
#include <QGraphicsScene>
#include <QHBoxLayout>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QPainter>
#include <QPainterPath>
#include <QScrollBar>
#include <QSvgGenerator>
#include <QToolBar>
#include <QVBoxLayout>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

using PlanBox = gpsbook::plan::Box;
using gpsbook::plan::Mark;
using gpsbook::plan::MarkKind;
using gpsbook::plan::Plan;

namespace planview {

/// What the scene's items and the canvas share: the plan, the highlighted marks and how much
/// to draw at the present scale.
struct Style {
    enum class Detail { Dots, Symbols, Names };

    const Plan* plan = nullptr;
    std::vector<char> selected; // by mark
    double originEast = 0.0;
    double originNorth = 0.0;
    double pad = 0.0; // the largest symbol's reach, in scene units
    Detail detail = Detail::Names;
    // Baselines crossing the view, roughly: those of the baseline items it meets.
    int linesInView = 0;
    std::vector<std::pair<QRectF, int>> lineItems; // each baseline item's box and lines
    bool exporting = false; // every mark a symbol of its own, whatever the scale
    bool baselines = true;
    // Zoomed out, the points as dots of a few pixels, written straight into an image: their
    // scene positions and colours bucket by bucket, close together in memory.
    QImage dots;
    struct Dot {
        float x, y;
        QRgb colour;
    };
    std::vector<Dot> dotList;
    std::vector<std::size_t> bucketStart; // first dot of each bucket, and the end
    int selectedCount = 0;
};

} // namespace planview

namespace {

using planview::Style;

constexpr int kBucketKey = 0;
// Marks in view above which names are left out, and above which marks become dots.
constexpr int kNamesUpTo = 1500;
constexpr int kSymbolsUpTo = 15000;
constexpr int kBaselinesUpTo = 1000; // baselines crossing the view
// Largest reach of a symbol (with its highlight) from its point, in pixels.
constexpr double kSymbolReach = 14.0;
constexpr double kPickRadius = 7.0;
constexpr double kMinScale = 1e-6; // pixels per unit
constexpr double kMaxScale = 2e4;

const QColor kPalette[] = {QColor(31, 119, 180),  QColor(214, 39, 40), QColor(44, 160, 44),
                           QColor(148, 103, 189), QColor(140, 86, 75), QColor(227, 119, 194),
                           QColor(23, 190, 207),  QColor(188, 189, 34)};
const QColor kBaseColour(200, 0, 0);
const QColor kDrawnColour(0, 120, 60);
const QColor kExcludedColour(130, 130, 130);
const QColor kHighlight(255, 170, 0);

QPainterPath symbolPath(const Mark& mark) {
    QPainterPath path;
    if (mark.kind == MarkKind::Base) {
        path.addPolygon(QPolygonF({QPointF(0, -8), QPointF(7, 5), QPointF(-7, 5), QPointF(0, -8)}));
        return path;
    }
    if (mark.kind == MarkKind::Drawn) {
        path.addEllipse(QPointF(0, 0), 4.5, 4.5);
        path.moveTo(-6, 0);
        path.lineTo(6, 0);
        path.moveTo(0, -6);
        path.lineTo(0, 6);
        return path;
    }
    switch (mark.family % 5) {
    case 0:
        path.addEllipse(QPointF(0, 0), 3.5, 3.5);
        break;
    case 1:
        path.addRect(QRectF(-3.5, -3.5, 7, 7));
        break;
    case 2:
        path.addPolygon(
            QPolygonF({QPointF(0, -4.5), QPointF(4, 3), QPointF(-4, 3), QPointF(0, -4.5)}));
        break;
    case 3:
        path.addPolygon(QPolygonF({QPointF(0, -4.5), QPointF(4.5, 0), QPointF(0, 4.5),
                                   QPointF(-4.5, 0), QPointF(0, -4.5)}));
        break;
    default:
        path.addRect(QRectF(-4.5, -1.5, 9, 3));
        path.addRect(QRectF(-1.5, -4.5, 3, 9));
        path = path.simplified();
        break;
    }
    return path;
}

QColor colourOf(const Mark& mark) {
    if (mark.kind == MarkKind::Base) return kBaseColour;
    if (mark.kind == MarkKind::Drawn) return kDrawnColour;
    if (mark.excluded) return kExcludedColour;
    return kPalette[mark.family % std::size(kPalette)];
}

void drawSymbol(QPainter& painter, const QPointF& at, const Mark& mark, bool selected) {
    if (selected) {
        painter.setPen(QPen(kHighlight, 3));
        painter.setBrush(Qt::NoBrush);
        painter.drawEllipse(at, 9.5, 9.5);
    }
    const QColor colour = colourOf(mark);
    // Points left out of processing are drawn hollow and grey: seen, but plainly apart.
    if (mark.kind == MarkKind::Drawn || mark.excluded) {
        painter.setPen(QPen(colour, 1.5));
        painter.setBrush(Qt::NoBrush);
    } else {
        painter.setPen(QPen(colour.darker(160), 1));
        painter.setBrush(colour);
    }
    painter.drawPath(symbolPath(mark).translated(at));
}

/// One bucket of nearby marks: the scene's index finds the buckets in view or under the
/// cursor, the bucket draws and searches its own marks.
class BucketItem final : public QGraphicsItem {
public:
    BucketItem(const Style& style, int bucket, const QRectF& sceneBox)
        : m_style(style), m_bucket(bucket), m_box(sceneBox) {
        setData(kBucketKey, bucket);
        setZValue(2);
        for (int m : style.plan->buckets()[static_cast<std::size_t>(bucket)].marks)
            if (style.plan->marks()[static_cast<std::size_t>(m)].kind != MarkKind::Point)
                m_standOut.push_back(m);
    }
    void setPad(double pad) {
        prepareGeometryChange();
        m_pad = pad;
    }
    QRectF boundingRect() const override { return m_box.adjusted(-m_pad, -m_pad, m_pad, m_pad); }

    void paint(QPainter* painter, const QStyleOptionGraphicsItem*, QWidget*) override {
        const Plan& plan = *m_style.plan;
        const QTransform toDevice = painter->worldTransform();
        painter->save();
        painter->resetTransform();
        painter->setRenderHint(QPainter::Antialiasing, m_style.detail != Style::Detail::Dots);
        // Zoomed out, the canvas has drawn the points as dots already: only what must stand
        // out is drawn here.
        const bool dots = m_style.detail == Style::Detail::Dots && !m_style.exporting;
        const std::vector<int>& all = plan.buckets()[static_cast<std::size_t>(m_bucket)].marks;
        for (int m : dots&& m_style.selectedCount == 0 ? m_standOut : all) {
            const Mark& mark = plan.marks()[static_cast<std::size_t>(m)];
            const bool selected = m_style.selected[static_cast<std::size_t>(m)] != 0;
            if (dots && !selected && mark.kind == MarkKind::Point) continue;
            const QPointF at = toDevice.map(
                QPointF(mark.east - m_style.originEast, m_style.originNorth - mark.north));
            drawSymbol(*painter, at, mark, selected);
        }
        painter->restore();
    }

private:
    const Style& m_style;
    int m_bucket;
    QRectF m_box;
    double m_pad = 0.0;
    std::vector<int> m_standOut; // base stations and drawn points: never mere dots
};

/// The baselines of up to a few hundred points, from their base stations.
class BaselineItem final : public QGraphicsItem {
public:
    BaselineItem(const Style& style, QVector<QLineF> lines)
        : m_style(style), m_lines(std::move(lines)) {
        for (const QLineF& line : m_lines)
            m_box |= QRectF(line.p1(), line.p2()).normalized();
        setZValue(1);
    }
    QRectF boundingRect() const override { return m_box.adjusted(-1, -1, 1, 1); }
    void paint(QPainter* painter, const QStyleOptionGraphicsItem*, QWidget*) override {
        // With more than a few hundred points in view the lines would only hatch the picture
        // over.
        if (m_style.linesInView > kBaselinesUpTo && !m_style.exporting) return;
        QPen pen(QColor(90, 90, 170, 150), 0, Qt::DashLine);
        pen.setCosmetic(true);
        painter->setPen(pen);
        painter->drawLines(m_lines);
    }

private:
    const Style& m_style;
    QVector<QLineF> m_lines;
    QRectF m_box;
};

QString planNumber(double value, int decimals) {
    return QLocale(QLocale::Italian).toString(value, 'f', decimals).remove(QChar(0x2e));
}

QString angleText(double radians, char positive, char negative) {
    int degrees = 0, minutes = 0;
    double seconds = 0.0;
    AngSesgFromRadi(std::fabs(radians), degrees, minutes, seconds);
    return QString("%1°%2'%3\" %4")
        .arg(degrees)
        .arg(minutes, 2, 10, QChar('0'))
        .arg(QString::number(seconds, 'f', 3).replace('.', ','), 6, QChar('0'))
        .arg(QChar(radians < 0 ? negative : positive));
}

} // namespace

// ---- the canvas ------------------------------------------------------------------------------

PlanCanvas::PlanCanvas(Style& style, QWidget* parent) : QGraphicsView(parent), m_style(style) {
    setObjectName("pianta");
    setViewportUpdateMode(QGraphicsView::FullViewportUpdate);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setTransformationAnchor(QGraphicsView::NoAnchor);
    setResizeAnchor(QGraphicsView::AnchorViewCenter);
    setDragMode(QGraphicsView::NoDrag);
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setOptimizationFlags(QGraphicsView::DontSavePainterState);
}

QPointF PlanCanvas::toScene(double east, double north) const {
    return {east - m_originEast, m_originNorth - north};
}

void PlanCanvas::toPlan(const QPointF& scene, double& east, double& north) const {
    east = scene.x() + m_originEast;
    north = m_originNorth - scene.y();
}

void PlanCanvas::setOrigin(double east, double north) {
    m_originEast = m_style.originEast = east;
    m_originNorth = m_style.originNorth = north;
}

double PlanCanvas::scale() const {
    return transform().m11();
}

void PlanCanvas::zoomAbout(double factor, const QPointF& anchor) {
    const double target = std::clamp(scale() * factor, kMinScale, kMaxScale);
    factor = target / scale();
    if (factor == 1.0) return;
    const QPointF fixed = mapToScene(anchor.toPoint());
    QGraphicsView::scale(factor, factor);
    // Keep the scene point under the anchor where it was.
    const QPointF moved = mapFromScene(fixed);
    panBy(moved - anchor);
    scaleChanged();
}

void PlanCanvas::showSceneRect(const QRectF& rect) {
    const QRectF view = viewport()->rect();
    if (rect.isEmpty() || view.isEmpty()) {
        centerOn(rect.center());
        return;
    }
    const double target = std::clamp(
        std::min(view.width() / rect.width(), view.height() / rect.height()), kMinScale, kMaxScale);
    setTransform(QTransform::fromScale(target, target));
    centerOn(rect.center());
    scaleChanged();
}

void PlanCanvas::scaleChanged() {
    m_style.pad = kSymbolReach / scale();
    emit zoomed();
    viewport()->update();
}

void PlanCanvas::panBy(const QPointF& pixels) {
    horizontalScrollBar()->setValue(horizontalScrollBar()->value() +
                                    static_cast<int>(std::lround(pixels.x())));
    verticalScrollBar()->setValue(verticalScrollBar()->value() +
                                  static_cast<int>(std::lround(pixels.y())));
}

void PlanCanvas::wheelEvent(QWheelEvent* event) {
    const double steps = event->angleDelta().y() / 120.0;
    if (steps == 0.0) return;
    zoomAbout(std::pow(1.25, steps), event->position());
    emit moved();
    event->accept();
}

void PlanCanvas::mousePressEvent(QMouseEvent* event) {
    m_pressAt = m_lastAt = event->pos();
    if (event->button() == Qt::LeftButton && (event->modifiers() & Qt::ShiftModifier)) {
        m_banding = true;
        m_bandModifiers = event->modifiers();
        setDragMode(QGraphicsView::RubberBandDrag);
        QGraphicsView::mousePressEvent(event);
        return;
    }
    if (event->button() == Qt::LeftButton || event->button() == Qt::MiddleButton) {
        m_panning = true;
        event->accept();
        return;
    }
    QGraphicsView::mousePressEvent(event);
}

void PlanCanvas::mouseMoveEvent(QMouseEvent* event) {
    emit cursorAt(mapToScene(event->pos()));
    if (m_panning) {
        panBy(m_lastAt - event->pos());
        m_lastAt = event->pos();
        emit moved();
        if ((event->pos() - m_pressAt).manhattanLength() > 3)
            viewport()->setCursor(Qt::ClosedHandCursor);
        return;
    }
    QGraphicsView::mouseMoveEvent(event);
}

void PlanCanvas::mouseReleaseEvent(QMouseEvent* event) {
    if (m_banding) {
        QGraphicsView::mouseReleaseEvent(event);
        setDragMode(QGraphicsView::NoDrag);
        m_banding = false;
        const QRectF band = QRectF(mapToScene(m_pressAt), mapToScene(event->pos())).normalized();
        emit bandChosen(band, m_bandModifiers);
        return;
    }
    if (m_panning) {
        m_panning = false;
        viewport()->unsetCursor();
        // A press and release in place is a click, not a drag.
        if ((event->pos() - m_pressAt).manhattanLength() <= 3 && event->button() == Qt::LeftButton)
            emit clicked(event->position(), event->modifiers());
        return;
    }
    QGraphicsView::mouseReleaseEvent(event);
}

void PlanCanvas::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) emit doubleClicked(event->position());
}

void PlanCanvas::keyPressEvent(QKeyEvent* event) {
    const QPointF centre = viewport()->rect().center();
    const double stepX = viewport()->width() / 8.0, stepY = viewport()->height() / 8.0;
    switch (event->key()) {
    case Qt::Key_Plus:
    case Qt::Key_Equal:
        zoomAbout(1.25, centre);
        break;
    case Qt::Key_Minus:
        zoomAbout(0.8, centre);
        break;
    case Qt::Key_Left:
        panBy({-stepX, 0});
        break;
    case Qt::Key_Right:
        panBy({stepX, 0});
        break;
    case Qt::Key_Up:
        panBy({0, -stepY});
        break;
    case Qt::Key_Down:
        panBy({0, stepY});
        break;
    default:
        QGraphicsView::keyPressEvent(event);
        return;
    }
    emit moved();
    event->accept();
}

void PlanCanvas::resizeEvent(QResizeEvent* event) {
    QGraphicsView::resizeEvent(event);
    scaleChanged();
    emit resized();
}

void PlanCanvas::drawBackground(QPainter* painter, const QRectF& rect) {
    painter->fillRect(rect, Qt::white);
    // How much to draw follows how many marks the view holds.
    int inView = 0;
    if (m_style.plan != nullptr) {
        double e1, n1, e2, n2;
        toPlan(rect.topLeft(), e1, n2);
        toPlan(rect.bottomRight(), e2, n1);
        const PlanBox box{e1, n1, e2, n2};
        for (const auto& bucket : m_style.plan->buckets())
            if (bucket.box.intersects(box)) inView += static_cast<int>(bucket.marks.size());
    }
    m_style.linesInView = 0;
    for (const auto& [box, lines] : m_style.lineItems)
        if (box.intersects(rect)) m_style.linesInView += lines;
    m_style.detail = inView > kSymbolsUpTo ? Style::Detail::Dots
                     : inView > kNamesUpTo ? Style::Detail::Symbols
                                           : Style::Detail::Names;
    if (m_style.detail == Style::Detail::Dots && !m_style.exporting) drawDots(painter, rect);
}

void PlanCanvas::drawDots(QPainter* painter, const QRectF& rect) {
    // A hundred thousand points are too many to paint one by one in a frame: each sets a
    // three-pixel square of an image drawn at once.
    const QPaintDevice* device = painter->device();
    QImage& image = m_style.dots;
    if (image.width() != device->width() || image.height() != device->height())
        image = QImage(device->width(), device->height(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    const QTransform toDevice = painter->worldTransform();
    const int width = image.width(), height = image.height();
    auto* pixels = reinterpret_cast<QRgb*>(image.bits());
    const qsizetype stride = image.bytesPerLine() / 4;
    double e1, n1, e2, n2;
    toPlan(rect.topLeft(), e1, n2);
    toPlan(rect.bottomRight(), e2, n1);
    const PlanBox box{e1, n1, e2, n2};
    const Plan& plan = *m_style.plan;
    // The view neither turns nor shears: each axis maps on its own.
    const double sx = toDevice.m11(), sy = toDevice.m22(), ox = toDevice.dx(), oy = toDevice.dy();
    for (std::size_t b = 0; b < plan.buckets().size(); ++b) {
        if (!plan.buckets()[b].box.intersects(box)) continue;
        for (std::size_t d = m_style.bucketStart[b]; d < m_style.bucketStart[b + 1]; ++d) {
            const Style::Dot& dot = m_style.dotList[d];
            const int x = static_cast<int>(sx * dot.x + ox);
            const int y = static_cast<int>(sy * dot.y + oy);
            if (x < 1 || y < 1 || x >= width - 1 || y >= height - 1) continue;
            for (int dy = -1; dy <= 1; ++dy) {
                QRgb* row = pixels + (y + dy) * stride + x;
                row[-1] = row[0] = row[1] = dot.colour;
            }
        }
    }
    painter->save();
    painter->resetTransform();
    painter->drawImage(0, 0, image);
    painter->restore();
}

void PlanCanvas::drawForeground(QPainter* painter, const QRectF& rect) {
    const QTransform toDevice = painter->worldTransform();
    painter->save();
    painter->resetTransform();
    painter->setRenderHint(QPainter::Antialiasing);
    const QRect device(0, 0, painter->device()->width(), painter->device()->height());

    // Names beside their symbols, each only where it covers no name already placed.
    if (m_style.plan != nullptr && m_style.detail == Style::Detail::Names) {
        double e1, n1, e2, n2;
        toPlan(rect.topLeft(), e1, n2);
        toPlan(rect.bottomRight(), e2, n1);
        const Plan& plan = *m_style.plan;
        const QFontMetrics metrics(painter->font());
        constexpr int cell = 8;
        const int columns = device.width() / cell + 2, rows = device.height() / cell + 2;
        std::vector<char> taken(static_cast<std::size_t>(columns) * static_cast<std::size_t>(rows),
                                0);
        painter->setPen(QColor(40, 40, 40));
        // Highlighted and base station names first: they are the ones looked for.
        std::vector<int> order = plan.marksIn(PlanBox{e1, n1, e2, n2});
        std::stable_partition(order.begin(), order.end(), [&](int m) {
            return m_style.selected[static_cast<std::size_t>(m)] != 0 ||
                   plan.marks()[static_cast<std::size_t>(m)].kind == MarkKind::Base;
        });
        for (int m : order) {
            const Mark& mark = plan.marks()[static_cast<std::size_t>(m)];
            if (mark.name.empty()) continue;
            const QPointF at = toDevice.map(toScene(mark.east, mark.north));
            const QString name = QString::fromStdString(mark.name);
            const QRect box(QPoint(static_cast<int>(at.x()) + 8,
                                   static_cast<int>(at.y()) - metrics.ascent() / 2 - 1),
                            QSize(metrics.horizontalAdvance(name) + 2, metrics.height()));
            const int c1 = std::max(0, box.left() / cell),
                      c2 = std::min(columns - 1, box.right() / cell);
            const int r1 = std::max(0, box.top() / cell),
                      r2 = std::min(rows - 1, box.bottom() / cell);
            if (c1 > c2 || r1 > r2) continue;
            bool free = true;
            for (int r = r1; r <= r2 && free; ++r)
                for (int c = c1; c <= c2 && free; ++c)
                    free = taken[static_cast<std::size_t>(r * columns + c)] == 0;
            if (!free) continue;
            for (int r = r1; r <= r2; ++r)
                for (int c = c1; c <= c2; ++c)
                    taken[static_cast<std::size_t>(r * columns + c)] = 1;
            painter->drawText(box.left() + 1, box.top() + metrics.ascent(), name);
        }
    }

    // Scale bar, bottom left.
    const double longest = 0.25 * device.width() / scale();
    const double length = gpsbook::plan::scaleBarLength(longest);
    if (length > 0) {
        const double pixels = length * scale();
        const QPointF from(12, device.height() - 14);
        // On a pale ground of its own, readable over a crowded drawing.
        painter->fillRect(QRectF(from.x() - 6, from.y() - 24, pixels + 12, 30),
                          QColor(255, 255, 255, 210));
        QPen pen(Qt::black, 2);
        painter->setPen(pen);
        painter->drawLine(from, from + QPointF(pixels, 0));
        painter->drawLine(from, from - QPointF(0, 6));
        painter->drawLine(from + QPointF(pixels, 0), from + QPointF(pixels, -6));
        painter->drawText(QPointF(from.x(), from.y() - 8),
                          QString::fromStdString(gpsbook::plan::scaleBarText(length)));
    }
    // North arrow, top right: North is always up.
    const QPointF tip(device.width() - 22, 12);
    painter->fillRect(QRectF(tip.x() - 12, tip.y() - 4, 24, 38), QColor(255, 255, 255, 210));
    painter->setPen(QPen(Qt::black, 1));
    painter->setBrush(Qt::black);
    painter->drawPolygon(QPolygonF({tip, tip + QPointF(6, 18), tip + QPointF(0, 13), tip}));
    painter->setBrush(Qt::white);
    painter->drawPolygon(QPolygonF({tip, tip + QPointF(-6, 18), tip + QPointF(0, 13), tip}));
    painter->drawText(QRectF(tip.x() - 10, tip.y() + 19, 20, 14), Qt::AlignCenter, "N");
    painter->restore();
}

// ---- the view --------------------------------------------------------------------------------

PlanView::PlanView(QWidget* parent)
    : QWidget(parent), m_style(std::make_unique<planview::Style>()) {
    m_style->plan = &m_plan;
    m_scene = new QGraphicsScene(this);
    m_scene->setItemIndexMethod(QGraphicsScene::BspTreeIndex);
    m_canvas = new PlanCanvas(*m_style, this);
    m_canvas->setScene(m_scene);

    m_system = new QComboBox(this);
    m_system->setObjectName("sistemaPianta");
    m_system->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_system->setMinimumContentsLength(14);
    m_system->setToolTip(tr("Sistema di coordinate piane disegnato"));
    connect(m_system, &QComboBox::activated, this, &PlanView::chooseSystem);

    auto* bar = new QToolBar(this);
    bar->setIconSize(QSize(16, 16));
    bar->addWidget(new QLabel(tr("Sistema:"), this));
    bar->addWidget(m_system);
    auto add = [this, bar](const QString& text, const QString& tip, QKeySequence key,
                           const char* name, void (PlanView::*slot)()) {
        auto* action = bar->addAction(text);
        action->setToolTip(tip + (key.isEmpty() ? QString() : " (" + key.toString() + ")"));
        action->setObjectName(name);
        if (!key.isEmpty()) {
            // Wherever the focus is inside the view, the canvas included.
            action->setShortcut(key);
            action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
            addAction(action);
        }
        connect(action, &QAction::triggered, this, slot);
        return action;
    };
    add(tr("Adatta"), tr("Mostra tutto il rilievo"), QKeySequence(Qt::Key_Home), "adatta",
        &PlanView::fit);
    add(tr("+"), tr("Ingrandisci"), QKeySequence(), "ingrandisci", &PlanView::zoomIn);
    add(tr("−"), tr("Riduci"), QKeySequence(), "riduci", &PlanView::zoomOut);
    add(tr("Selezione"), tr("Mostra i punti selezionati"), QKeySequence(Qt::Key_Asterisk),
        "zoomSelezione", &PlanView::zoomToSelection);
    m_actBaselines = bar->addAction(tr("Basi"));
    m_actBaselines->setObjectName("lineeDiBase");
    m_actBaselines->setToolTip(tr("Mostra le linee di base dalle stazioni ai punti"));
    m_actBaselines->setCheckable(true);
    m_actBaselines->setChecked(true);
    connect(m_actBaselines, &QAction::toggled, this, &PlanView::setBaselinesShown);
    add(tr("Esporta…"), tr("Salva la pianta come immagine PNG o disegno SVG"), QKeySequence(),
        "esportaPianta", &PlanView::exportView);

    m_legend = new QLabel(this);
    m_legend->setObjectName("legendaPianta");
    m_legend->setWordWrap(true);
    m_legend->setTextFormat(Qt::RichText);
    m_cursor = new QLabel;
    m_cursor->setObjectName("cursorePianta");
    m_count = new QLabel;
    m_count->setObjectName("senzaCoordinate");

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addWidget(bar);
    layout->addWidget(m_canvas, 1);
    layout->addWidget(m_legend);

    connect(m_canvas, &PlanCanvas::zoomed, this, [this] {
        for (QGraphicsItem* item : m_buckets)
            static_cast<BucketItem*>(item)->setPad(m_style->pad);
    });
    connect(m_canvas, &PlanCanvas::moved, this, [this] { m_fitted = false; });
    connect(m_canvas, &PlanCanvas::resized, this, [this] {
        if (m_fitted) fit();
    });
    connect(m_canvas, &PlanCanvas::clicked, this, &PlanView::pickAt);
    connect(m_canvas, &PlanCanvas::bandChosen, this, &PlanView::pickIn);
    connect(m_canvas, &PlanCanvas::cursorAt, this, &PlanView::showCursor);
    connect(m_canvas, &PlanCanvas::doubleClicked, this, [this](const QPointF& at) {
        const int m = markAt(at);
        if (m >= 0) emit activated(pickOf(m));
    });
    showBook(nullptr);
}

PlanView::~PlanView() {
    // The items refer to the style: they go first.
    m_scene->clear();
    // The status bar texts belong to the status bar they were put in, else to the view.
    for (QLabel* label : {m_cursor.data(), m_count.data()})
        if (label != nullptr && label->parent() == nullptr) delete label;
}

void PlanView::showBook(const gpsbook::FieldBook* book, int preferredGroup) {
    const bool sameBook = book == m_book && book != nullptr;
    m_book = book;
    m_systems =
        book != nullptr ? gpsbook::plan::systems(book->book) : std::vector<gpsbook::plan::System>{};
    // The system shown stays while the book still has it; else the preferred group's, else
    // the first one.
    auto has = [this](const std::string& crs) {
        return std::any_of(m_systems.begin(), m_systems.end(),
                           [&](const auto& s) { return s.crs == crs; });
    };
    const bool keep = sameBook && has(m_crs);
    if (!keep) {
        int chosen = book != nullptr && preferredGroup >= 0
                         ? gpsbook::plan::systemOfGroup(m_systems, book->book, preferredGroup)
                         : -1;
        if (chosen < 0 && !m_systems.empty()) chosen = 0;
        m_crs = chosen >= 0 ? m_systems[static_cast<std::size_t>(chosen)].crs : std::string();
    }
    m_system->clear();
    for (const auto& system : m_systems)
        m_system->addItem(QString::fromStdString(system.label));
    if (m_systems.empty()) m_system->addItem(tr("Nessun gruppo con proiezione"));
    for (std::size_t i = 0; i < m_systems.size(); ++i)
        if (m_systems[i].crs == m_crs) m_system->setCurrentIndex(static_cast<int>(i));

    // Keep what the user was looking at through a change of the book.
    const QTransform view = m_canvas->transform();
    const QPointF centre = m_canvas->mapToScene(m_canvas->viewport()->rect().center());
    double centreEast = 0, centreNorth = 0;
    m_canvas->toPlan(centre, centreEast, centreNorth);
    std::vector<PlanPick> selection;
    for (int m : selectedMarks())
        selection.push_back(pickOf(m));

    rebuildScene();
    if (keep) {
        std::vector<int> marks;
        for (const PlanPick& pick : selection)
            if (int m = markOf(pick); m >= 0) marks.push_back(m);
        setSelected(std::move(marks));
    }
    if (keep && !m_fitted) {
        m_canvas->setTransform(view);
        m_canvas->centerOn(m_canvas->toScene(centreEast, centreNorth));
        m_canvas->scaleChanged();
    } else {
        fit();
    }
}

void PlanView::chooseSystem(int index) {
    if (index < 0 || static_cast<std::size_t>(index) >= m_systems.size()) return;
    if (m_systems[static_cast<std::size_t>(index)].crs == m_crs) return;
    m_crs = m_systems[static_cast<std::size_t>(index)].crs;
    rebuildScene();
    fit();
}

void PlanView::rebuildScene() {
    m_scene->clear();
    m_buckets.clear();
    m_baselineItems.clear();
    m_style->lineItems.clear();
    if (m_book != nullptr)
        m_plan = Plan::build(*m_book, m_crs);
    else
        m_plan = Plan();
    m_style->selected.assign(m_plan.marks().size(), 0);
    m_style->selectedCount = 0;

    const PlanBox& bounds = m_plan.bounds();
    if (!bounds.empty())
        m_canvas->setOrigin((bounds.minEast + bounds.maxEast) / 2,
                            (bounds.minNorth + bounds.maxNorth) / 2);
    // Room around the survey to pan into.
    const double width = bounds.empty() ? 100.0 : std::max(bounds.maxEast - bounds.minEast, 1.0);
    const double height = bounds.empty() ? 100.0 : std::max(bounds.maxNorth - bounds.minNorth, 1.0);
    const double room = 20.0 * std::max(width, height);
    m_scene->setSceneRect(-width / 2 - room, -height / 2 - room, width + 2 * room,
                          height + 2 * room);

    for (const auto& shape : m_plan.shapes()) {
        QPainterPath path;
        for (const auto& part : shape.parts) {
            path.moveTo(m_canvas->toScene(part.front().first, part.front().second));
            for (std::size_t i = 1; i < part.size(); ++i)
                path.lineTo(m_canvas->toScene(part[i].first, part[i].second));
            if (shape.area) path.closeSubpath();
        }
        auto* item = m_scene->addPath(path);
        QPen pen(shape.area ? QColor(90, 130, 60) : QColor(150, 90, 40), 2.5);
        pen.setCosmetic(true);
        item->setPen(pen);
        if (shape.area) item->setBrush(QColor(90, 130, 60, 50));
        item->setToolTip(QString::fromStdString(shape.theme));
        item->setZValue(0);
    }

    constexpr std::size_t kLinesPerItem = 256;
    QVector<QLineF> lines;
    auto flush = [&] {
        if (lines.isEmpty()) return;
        const int count = static_cast<int>(lines.size());
        auto* item = new BaselineItem(*m_style, std::move(lines));
        m_style->lineItems.emplace_back(item->boundingRect(), count);
        item->setVisible(m_style->baselines);
        m_scene->addItem(item);
        m_baselineItems.push_back(item);
        lines = {};
    };
    for (const auto& baseline : m_plan.baselines()) {
        const Mark& from = m_plan.marks()[static_cast<std::size_t>(baseline.base)];
        const Mark& to = m_plan.marks()[static_cast<std::size_t>(baseline.point)];
        lines.push_back(
            QLineF(m_canvas->toScene(from.east, from.north), m_canvas->toScene(to.east, to.north)));
        if (static_cast<std::size_t>(lines.size()) == kLinesPerItem) flush();
    }
    flush();

    m_style->dotList.clear();
    m_style->bucketStart.assign(1, 0);
    for (const auto& bucket : m_plan.buckets()) {
        for (int m : bucket.marks) {
            const Mark& mark = m_plan.marks()[static_cast<std::size_t>(m)];
            if (mark.kind != MarkKind::Point) continue;
            const QPointF at = m_canvas->toScene(mark.east, mark.north);
            m_style->dotList.push_back(
                {static_cast<float>(at.x()), static_cast<float>(at.y()), colourOf(mark).rgba()});
        }
        m_style->bucketStart.push_back(m_style->dotList.size());
    }
    for (std::size_t b = 0; b < m_plan.buckets().size(); ++b) {
        const PlanBox& box = m_plan.buckets()[b].box;
        const QRectF rect = QRectF(m_canvas->toScene(box.minEast, box.maxNorth),
                                   m_canvas->toScene(box.maxEast, box.minNorth));
        auto* item = new BucketItem(*m_style, static_cast<int>(b), rect);
        item->setPad(m_style->pad);
        m_scene->addItem(item);
        m_buckets.push_back(item);
    }
    updateLegend();
}

void PlanView::updateLegend() {
    QStringList lines;
    if (!m_plan.leftOut().empty())
        lines << tr("<b>Non disegnati:</b> %1").arg(leftOutText().toHtmlEscaped());
    lines << tr("<span style='color:#c80000'>▲</span> stazione base &nbsp; "
                "<span style='color:#1f77b4'>●</span> punto &nbsp; "
                "<span style='color:#828282'>○</span> escluso (NE) &nbsp; "
                "<span style='color:#00783c'>⊕</span> punto grafico");
    m_legend->setText(lines.join("<br>"));
    const int missing = m_plan.withoutPlane();
    m_count->setText(missing == 1 ? tr("1 punto senza coordinate piane")
                                  : tr("%1 punti senza coordinate piane").arg(missing));
    m_count->setVisible(missing > 0);
}

void PlanView::fit() {
    m_fitted = true;
    const PlanBox& bounds = m_plan.bounds();
    if (bounds.empty()) {
        m_canvas->showSceneRect(QRectF(-50, -50, 100, 100));
        return;
    }
    QRectF rect(m_canvas->toScene(bounds.minEast, bounds.maxNorth),
                m_canvas->toScene(bounds.maxEast, bounds.minNorth));
    // A lone point, or points in a line: some ground around them.
    const double least = std::max({rect.width(), rect.height(), 20.0}) * 0.1;
    rect = rect.normalized().adjusted(-least, -least, least, least);
    m_canvas->showSceneRect(rect);
}

void PlanView::zoomIn() {
    m_fitted = false;
    m_canvas->zoomAbout(1.25, m_canvas->viewport()->rect().center());
}

void PlanView::zoomOut() {
    m_fitted = false;
    m_canvas->zoomAbout(0.8, m_canvas->viewport()->rect().center());
}

void PlanView::zoomToSelection() {
    const std::vector<int> marks = selectedMarks();
    if (marks.empty()) return;
    m_fitted = false;
    PlanBox box;
    for (int m : marks)
        box.add(m_plan.marks()[static_cast<std::size_t>(m)].east,
                m_plan.marks()[static_cast<std::size_t>(m)].north);
    QRectF rect = QRectF(m_canvas->toScene(box.minEast, box.maxNorth),
                         m_canvas->toScene(box.maxEast, box.minNorth))
                      .normalized();
    const double least = std::max({rect.width(), rect.height(), 20.0}) * 0.15;
    m_canvas->showSceneRect(rect.adjusted(-least, -least, least, least));
}

void PlanView::setBaselinesShown(bool shown) {
    m_style->baselines = shown;
    if (m_actBaselines->isChecked() != shown) m_actBaselines->setChecked(shown);
    for (QGraphicsItem* item : m_baselineItems)
        item->setVisible(shown);
}

std::vector<int> PlanView::selectedMarks() const {
    std::vector<int> marks;
    for (std::size_t m = 0; m < m_style->selected.size(); ++m)
        if (m_style->selected[m] != 0) marks.push_back(static_cast<int>(m));
    return marks;
}

QPoint PlanView::viewPosition(int mark) const {
    const Mark& m = m_plan.marks()[static_cast<std::size_t>(mark)];
    return m_canvas->mapFromScene(m_canvas->toScene(m.east, m.north));
}

PlanPick PlanView::pickOf(int mark) const {
    const Mark& m = m_plan.marks()[static_cast<std::size_t>(mark)];
    return m.kind == MarkKind::Drawn ? PlanPick{-1, m.point} : PlanPick{m.group, m.point};
}

int PlanView::markOf(const PlanPick& pick) const {
    return pick.group < 0 ? m_plan.findDrawn(pick.point) : m_plan.find(pick.group, pick.point);
}

void PlanView::setSelected(std::vector<int> marks) {
    std::fill(m_style->selected.begin(), m_style->selected.end(), 0);
    for (int m : marks)
        m_style->selected[static_cast<std::size_t>(m)] = 1;
    m_style->selectedCount = static_cast<int>(marks.size());
    m_canvas->viewport()->update();
}

void PlanView::showSelection(const std::vector<PlanPick>& picks, const PlanPick& current) {
    std::vector<int> marks;
    for (const PlanPick& pick : picks)
        if (int m = markOf(pick); m >= 0) marks.push_back(m);
    setSelected(marks);
    const int focus = markOf(current);
    if (focus < 0) return;
    const QRect inner = m_canvas->viewport()->rect().adjusted(20, 20, -20, -20);
    if (!inner.contains(viewPosition(focus))) {
        const Mark& m = m_plan.marks()[static_cast<std::size_t>(focus)];
        m_fitted = false;
        m_canvas->centerOn(m_canvas->toScene(m.east, m.north));
    }
}

int PlanView::markAt(const QPointF& viewPosition) const {
    // The scene's index gives the buckets near the point; the nearest of their marks is taken.
    const QPointF scene = m_canvas->mapToScene(viewPosition.toPoint());
    const double radius = kPickRadius / m_canvas->scale();
    double east, north;
    m_canvas->toPlan(scene, east, north);
    int best = -1;
    double bestDistance = radius * radius;
    const QRectF around(scene.x() - radius, scene.y() - radius, 2 * radius, 2 * radius);
    for (QGraphicsItem* item : m_scene->items(around, Qt::IntersectsItemBoundingRect)) {
        const QVariant bucket = item->data(kBucketKey);
        if (!bucket.isValid()) continue;
        for (int m : m_plan.buckets()[static_cast<std::size_t>(bucket.toInt())].marks) {
            const Mark& mark = m_plan.marks()[static_cast<std::size_t>(m)];
            const double de = mark.east - east, dn = mark.north - north;
            const double d = de * de + dn * dn;
            // Of marks on one spot the later one is drawn on top, and is the one taken.
            if (d < bestDistance || (d == bestDistance && m > best)) {
                best = m;
                bestDistance = d;
            }
        }
    }
    return best;
}

void PlanView::pickAt(const QPointF& viewPosition, Qt::KeyboardModifiers modifiers) {
    const int best = markAt(viewPosition);
    if (best < 0) return;
    std::vector<int> marks;
    if (modifiers & Qt::ControlModifier) {
        marks = selectedMarks();
        auto at = std::find(marks.begin(), marks.end(), best);
        if (at != marks.end())
            marks.erase(at);
        else
            marks.push_back(best);
    } else {
        marks.push_back(best);
    }
    setSelected(marks);
    std::vector<PlanPick> picks;
    for (int m : selectedMarks())
        picks.push_back(pickOf(m));
    emit picked(picks, pickOf(best));
}

void PlanView::pickIn(const QRectF& scene, Qt::KeyboardModifiers modifiers) {
    double e1, n1, e2, n2;
    m_canvas->toPlan(scene.topLeft(), e1, n2);
    m_canvas->toPlan(scene.bottomRight(), e2, n1);
    std::vector<int> marks = m_plan.marksIn(PlanBox{e1, n1, e2, n2});
    if (modifiers & Qt::ControlModifier) {
        std::vector<int> before = selectedMarks();
        marks.insert(marks.end(), before.begin(), before.end());
        std::sort(marks.begin(), marks.end());
        marks.erase(std::unique(marks.begin(), marks.end()), marks.end());
    }
    setSelected(marks);
    std::vector<PlanPick> picks;
    for (int m : marks)
        picks.push_back(pickOf(m));
    emit picked(picks, picks.empty() ? PlanPick{} : picks.front());
}

void PlanView::showCursor(const QPointF& scene) {
    double east, north;
    m_canvas->toPlan(scene, east, north);
    QString text = tr("E %1  N %2").arg(planNumber(east, 2), planNumber(north, 2));
    // Latitude and longitude through the converter of the first group drawn.
    for (const auto& system : m_systems) {
        if (system.crs != m_crs || system.groups.empty() || m_book == nullptr) continue;
        const CGrpGps* group = m_book->book.GetGrpAt(system.groups.front());
        const CConvCoord* conv = group != nullptr ? group->GetConvCoord() : nullptr;
        double lat = 0, lon = 0, elev = 0;
        if (conv != nullptr && conv->PlanAttToGrafGps(east, north, 0.0, 0.0, lat, lon, elev))
            text +=
                tr("   Lat %1  Long %2").arg(angleText(lat, 'N', 'S'), angleText(lon, 'E', 'W'));
        break;
    }
    m_cursor->setText(text);
}

bool PlanView::render(QPaintDevice& device) {
    QPainter painter(&device);
    if (!painter.isActive()) return false;
    m_style->exporting = true;
    m_canvas->render(&painter, QRectF(0, 0, device.width(), device.height()),
                     m_canvas->viewport()->rect());
    m_style->exporting = false;
    return true;
}

QImage PlanView::snapshot(int scale) {
    QImage image(m_canvas->viewport()->size() * scale, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    render(image);
    return image;
}

QString PlanView::systemName() const {
    for (const auto& system : m_systems)
        if (system.crs == m_crs) return QString::fromStdString(system.label);
    return {};
}

QString PlanView::leftOutText() const {
    QStringList groups;
    for (const auto& group : m_plan.leftOut())
        groups << tr("%1 (%2)").arg(QString::fromStdString(group.name),
                                    QString::fromStdString(group.reason));
    return groups.join("; ");
}

bool PlanView::exportPng(const QString& path, QString& error) {
    const QImage image = snapshot(2);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG")) {
        error = tr("Impossibile creare l'immagine.");
        return false;
    }
    const std::string failed =
        gpsbook::writeFileAtomically(QFile::encodeName(path).toStdString(), bytes.toStdString());
    error = QString::fromStdString(failed);
    return failed.empty();
}

bool PlanView::exportSvg(const QString& path, QString& error) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QSvgGenerator svg;
    svg.setOutputDevice(&buffer);
    svg.setSize(m_canvas->viewport()->size());
    svg.setViewBox(QRect(QPoint(0, 0), m_canvas->viewport()->size()));
    svg.setTitle(tr("Pianta del rilievo"));
    if (!render(svg)) {
        error = tr("Impossibile creare il disegno SVG.");
        return false;
    }
    const std::string failed =
        gpsbook::writeFileAtomically(QFile::encodeName(path).toStdString(), bytes.toStdString());
    error = QString::fromStdString(failed);
    return failed.empty();
}

void PlanView::exportView() {
    const std::string title = tr("Esporta pianta").toStdString();
    CFileDialog dialog(FALSE, "png", "pianta.png",
                       OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY,
                       "Immagine PNG (*.png)|*.png|Disegno SVG (*.svg)|*.svg||");
    dialog.m_ofn.lpstrTitle = title.c_str();
    if (dialog.DoModal() != IDOK) return;
    const QString path = QFile::decodeName(dialog.GetPathName().c_str());
    QString error;
    const bool ok = path.endsWith(".svg", Qt::CaseInsensitive) ? exportSvg(path, error)
                                                               : exportPng(path, error);
    if (!ok) QMessageBox::warning(this, tr("Esporta pianta"), error);
}
