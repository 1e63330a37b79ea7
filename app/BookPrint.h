// The printed field book: for each chosen group a heading, its base station and coordinate
// system, and a table of its points, laid out on A4 landscape pages.
//
// The layout keeps a group's heading, its base-station lines, the table's header and at least
// one row on the same page; a table that goes on over a page break repeats its header there,
// under a line naming the group. Every page carries "Pagina n di m" at its foot.
#pragma once

#include <QImage>
#include <QString>
#include <QStringList>

#include <vector>

class CGrpGps;

namespace gpsbook {

/// A picture printed on a page of its own before the groups (the plan of the survey).
struct PicturePage {
    QString heading;     ///< printed above the picture
    QStringList caption; ///< lines under the heading (the coordinate system, what is left out)
    QImage picture;      ///< scaled to the page, keeping its proportions
};

/// Writes the printout of \p groups, in that order, as a PDF document to \p path.
/// \param title printed at the top of the first page and in the running head of the others
/// \param subtitle printed under the title (the date, for instance); may be empty
/// \param first a page printed under the title before the groups; none when null
/// \return the number of pages written; 0 when the file could not be written
int writeReportPdf(const QString& path, const std::vector<CGrpGps*>& groups, const QString& title,
                   const QString& subtitle, const PicturePage* first = nullptr);

} // namespace gpsbook
