#include "BookPrint.h"

#include "core/BookText.h"

#include "gpsdialogs/interfaces/LibGps.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

#include <algorithm>
#include <array>
#include <functional>

namespace gpsbook {

namespace {

QString fromStd(const std::string& text) {
    return QString::fromStdString(text);
}

QString orDash(const std::string& text) {
    return text.empty() ? QStringLiteral("-") : fromStd(text);
}

// A length with its unit, or a dash when the book does not hold it.
QString length(double value, const QString& unit) {
    const std::string text = formatLength(value);
    return text.empty() ? QStringLiteral("-") : fromStd(text) + " " + unit;
}

// The table's columns: heading, share of the width, right-aligned.
struct TableColumn {
    QString heading;
    double share;
    bool right;
};

constexpr int kTableColumns = 13;

std::array<TableColumn, kTableColumns> tableColumns(const std::string& unit) {
    const RowTexts t = columnTitles(unit);
    return {{{"N.", 3, true},
             {fromStd(t[ColName]), 7, false},
             {fromStd(t[ColDescription]), 14, false},
             {"Codici", 6, false},
             {fromStd(t[ColTheme]), 7, false},
             {fromStd(t[ColLatitude]), 9.5, true},
             {fromStd(t[ColLongitude]), 9.5, true},
             {fromStd(t[ColElevation]), 7.5, true},
             {fromStd(t[ColEast]), 8.5, true},
             {fromStd(t[ColNorth]), 8.5, true},
             {fromStd(t[ColHeight]), 7, true},
             {fromStd(t[ColAntenna]), 7, true},
             {"PDOP", 4, true}}};
}

std::array<QString, kTableColumns> tableRow(const CPunGps& point, int number) {
    const RowTexts row = pointRow(point);
    return {QString::number(number),
            fromStd(row[ColName]),
            fromStd(row[ColDescription]),
            fromStd(codesText(point)),
            fromStd(row[ColTheme]),
            fromStd(row[ColLatitude]),
            fromStd(row[ColLongitude]),
            fromStd(row[ColElevation]),
            fromStd(row[ColEast]),
            fromStd(row[ColNorth]),
            fromStd(row[ColHeight]),
            fromStd(row[ColAntenna]),
            fromStd(formatNumber(point.GetPdop(), 2))};
}

// The lines under a group's heading.
QStringList stationLines(const CGrpGps& group) {
    const QString unit = fromStd(planeUnit(group));
    QString station = QObject::tr("Stazione base: %1").arg(fromStd(group.GetNome()));
    if (!group.GetSecScri().empty()) station += " - " + fromStd(group.GetSecScri());
    const std::string codes = codesText(group);
    if (!codes.empty()) station += QObject::tr("    Codici: %1").arg(fromStd(codes));
    return {
        station,
        QObject::tr("Posizione: lat. %1, long. %2, elev. %3, alt. antenna %4")
            .arg(orDash(formatAngle(group.GetBaseLat())), orDash(formatAngle(group.GetBaseLong())),
                 length(group.GetBaseElev(), "m"), length(group.GetBaseAltAnt(), "m")),
        QObject::tr("Coordinate piane: Est %1, Nord %2, Quota %3")
            .arg(length(group.GetCoordX(), unit), length(group.GetCoordY(), unit),
                 length(group.GetCoordZ(), "m")),
        QObject::tr("Sistema di coordinate: %1").arg(fromStd(systemText(group))),
        QObject::tr("Ricevitore: %1, rilievo: %2, PDOP %3, GDOP %4")
            .arg(fromStd(receiverTypeName(group.GetTipoRicevitore())),
                 fromStd(surveyTypeName(group.GetTipoRilievo())),
                 orDash(formatNumber(group.m_dPdop, 2)), orDash(formatNumber(group.m_dGdop, 2))),
    };
}

// Lays the printout out page by page; with a painter it also draws it. Run once without to
// count the pages, then with to draw them, "Pagina n di m" needing m.
class Layout {
public:
    Layout(QPdfWriter& writer, QPainter* painter, int pageCount)
        : m_writer(writer), m_painter(painter), m_pageCount(pageCount) {
        m_area = writer.pageLayout().paintRectPixels(writer.resolution());
        m_area.moveTo(0, 0);
        m_title = font(13, true);
        m_heading = font(11, true);
        m_text = font(8, false);
        m_table = font(7, false);
        m_tableBold = font(7, true);
        m_small = font(7, false);
        m_line = QFontMetricsF(m_text, &m_writer).height() * 1.15;
        m_row = QFontMetricsF(m_table, &m_writer).height() * 1.35;
        m_bottom = m_area.height() - 2.0 * QFontMetricsF(m_small, &m_writer).height();
        for (const TableColumn& c : tableColumns("m"))
            m_shares += c.share;
    }

    void run(const std::vector<CGrpGps*>& groups, const QString& title, const QString& subtitle,
             const PicturePage* first) {
        m_runningHead = QObject::tr("Libretto GPS - %1").arg(title);
        startPage(true);
        text(QObject::tr("Libretto GPS - %1").arg(title), m_title,
             QFontMetricsF(m_title, &m_writer).height() * 1.3);
        if (!subtitle.isEmpty()) text(subtitle, m_text, m_line);
        if (first != nullptr) {
            picturePage(*first);
            newPage();
        }
        for (const CGrpGps* group : groups)
            if (group != nullptr) printGroup(*group);
        finishPage();
    }

    int pages() const { return m_page; }

private:
    QFont font(double points, bool bold) const {
        QFont f(QStringLiteral("DejaVu Sans"));
        f.setPointSizeF(points);
        f.setBold(bold);
        return f;
    }

    void startPage(bool first) {
        ++m_page;
        m_y = 0;
        if (m_page > 1 && m_painter != nullptr) m_writer.newPage();
        if (!first) {
            text(m_runningHead, m_small, m_line);
            m_y += m_line * 0.5;
        }
    }

    void finishPage() {
        if (m_painter == nullptr) return;
        m_painter->setFont(m_small);
        m_painter->drawText(QRectF(0, m_bottom, m_area.width(), m_area.height() - m_bottom),
                            Qt::AlignHCenter | Qt::AlignBottom,
                            QObject::tr("Pagina %1 di %2").arg(m_page).arg(m_pageCount));
    }

    void newPage() {
        finishPage();
        startPage(false);
    }

    bool atTop() const { return m_page == 1 ? false : m_y <= m_line * 1.6; }

    void text(const QString& line, const QFont& f, double height) {
        if (m_painter != nullptr) {
            m_painter->setFont(f);
            m_painter->drawText(QRectF(0, m_y, m_area.width(), height),
                                Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, line);
        }
        m_y += height;
    }

    // The picture as large as the rest of the page allows, under its heading and caption.
    void picturePage(const PicturePage& page) {
        m_y += m_line * 0.5;
        text(page.heading, m_heading, QFontMetricsF(m_heading, &m_writer).height() * 1.4);
        for (const QString& line : page.caption)
            text(line, m_text, m_line);
        m_y += m_line * 0.5;
        if (page.picture.isNull() || m_painter == nullptr) return;
        const double room = m_bottom - m_y - m_line;
        const double fit = std::min(m_area.width() / std::max(page.picture.width(), 1),
                                    room / std::max(page.picture.height(), 1));
        if (fit <= 0) return;
        const QSizeF size(page.picture.width() * fit, page.picture.height() * fit);
        const QRectF target(QPointF((m_area.width() - size.width()) / 2, m_y), size);
        m_painter->drawImage(target, page.picture);
        m_painter->save();
        m_painter->setPen(QColor(160, 160, 160));
        m_painter->drawRect(target);
        m_painter->restore();
    }

    void tableHeader(const std::array<TableColumn, kTableColumns>& columns) {
        const double height = m_row * 2;
        if (m_painter != nullptr) {
            m_painter->setFont(m_tableBold);
            m_painter->fillRect(QRectF(0, m_y, m_area.width(), height), QColor(230, 230, 230));
            double x = 0;
            for (const TableColumn& c : columns) {
                const double w = width(c);
                m_painter->drawText(QRectF(x + pad(), m_y, w - 2 * pad(), height),
                                    (c.right ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter |
                                        Qt::TextWordWrap,
                                    c.heading);
                x += w;
            }
            m_painter->drawLine(QPointF(0, m_y + height), QPointF(m_area.width(), m_y + height));
        }
        m_y += height;
    }

    void tableRowAt(const std::array<TableColumn, kTableColumns>& columns,
                    const std::array<QString, kTableColumns>& cells) {
        if (m_painter != nullptr) {
            m_painter->setFont(m_table);
            const QFontMetricsF metrics(m_table, &m_writer);
            double x = 0;
            for (int i = 0; i < kTableColumns; ++i) {
                const double w = width(columns[static_cast<std::size_t>(i)]);
                const QString shown = metrics.elidedText(cells[static_cast<std::size_t>(i)],
                                                         Qt::ElideRight, w - 2 * pad());
                m_painter->drawText(
                    QRectF(x + pad(), m_y, w - 2 * pad(), m_row),
                    (columns[static_cast<std::size_t>(i)].right ? Qt::AlignRight : Qt::AlignLeft) |
                        Qt::AlignVCenter | Qt::TextSingleLine,
                    shown);
                x += w;
            }
            m_painter->save();
            m_painter->setPen(QColor(190, 190, 190));
            m_painter->drawLine(QPointF(0, m_y + m_row), QPointF(m_area.width(), m_y + m_row));
            m_painter->restore();
        }
        m_y += m_row;
    }

    void printGroup(const CGrpGps& group) {
        const auto columns = tableColumns(planeUnit(group));
        const QStringList lines = stationLines(group);
        const double headingHeight = QFontMetricsF(m_heading, &m_writer).height() * 1.4;
        const double gap = m_line * 1.5;
        // Heading, station lines, table header and the first row stay together.
        const double block = headingHeight + lines.size() * m_line + m_line * 0.4 + m_row * 3;
        if (m_y + gap + block > m_bottom && !atTop()) newPage();
        if (!atTop()) m_y += gap;
        const QString name = fromStd(group.GetNomeGrp());
        text(QObject::tr("Gruppo %1").arg(name), m_heading, headingHeight);
        for (const QString& line : lines)
            text(line, m_text, m_line);
        m_y += m_line * 0.4;
        tableHeader(columns);
        if (group.GetPunCount() == 0) {
            text(QObject::tr("Nessun punto."), m_table, m_row);
            return;
        }
        for (int p = 0; p < group.GetPunCount(); ++p) {
            if (m_y + m_row > m_bottom) {
                newPage();
                text(QObject::tr("Gruppo %1 (segue)").arg(name), m_tableBold, m_line);
                tableHeader(columns);
            }
            tableRowAt(columns, tableRow(*group.GetPunAt(p), p + 1));
        }
    }

    double width(const TableColumn& c) const { return m_area.width() * c.share / m_shares; }
    double pad() const { return m_row * 0.15; }

    QPdfWriter& m_writer;
    QPainter* m_painter;
    int m_pageCount;
    QRectF m_area;
    QFont m_title, m_heading, m_text, m_table, m_tableBold, m_small;
    double m_line = 0, m_row = 0, m_bottom = 0, m_y = 0;
    double m_shares = 0; // the sum of the columns' shares of the width
    int m_page = 0;
    QString m_runningHead;
};

} // namespace

int writeReportPdf(const QString& path, const std::vector<CGrpGps*>& groups, const QString& title,
                   const QString& subtitle, const PicturePage* first) {
    QPdfWriter writer(path);
    writer.setResolution(300);
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape,
                                     QMarginsF(12, 12, 12, 12), QPageLayout::Millimeter));
    writer.setTitle(title);
    writer.setCreator(QStringLiteral("gpsbook"));
    Layout counting(writer, nullptr, 0);
    counting.run(groups, title, subtitle, first);
    QPainter painter;
    if (!painter.begin(&writer)) return 0;
    Layout drawing(writer, &painter, counting.pages());
    drawing.run(groups, title, subtitle, first);
    painter.end();
    return drawing.pages();
}

} // namespace gpsbook
