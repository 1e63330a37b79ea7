// How the main window and the printed field book show groups and points: columns, angles in
// degrees, minutes and seconds, lengths with fixed decimals, empty cells for values the book
// does not hold.
#pragma once

#include <array>
#include <string>
#include <vector>

class CGrpGps;
class CPunGps;

namespace gpsbook {

/// Columns of the field-book tree.
enum Column {
    ColName,
    ColDescription,
    ColTheme, ///< the GIS theme of the element's entity
    ColLatitude,
    ColLongitude,
    ColElevation,
    ColEast,
    ColNorth,
    ColHeight,
    ColAntenna,
    ColumnCount
};

using RowTexts = std::array<std::string, ColumnCount>;

/// Headings of the columns, in column order.
const RowTexts& columnTitles();

/// An angle in radians as degrees, minutes and seconds with 5 decimals (44°29'53.12345"),
/// with a leading minus for negative angles; empty when undefined or not finite.
std::string formatAngle(double radians);

/// A length with 3 decimals; empty when undefined.
std::string formatLength(double value);

/// A value with the given decimals; empty when undefined.
std::string formatNumber(double value, int decimals);

/// The row of a group: the group's name, then its base station (name and description, position,
/// plane coordinates, antenna height).
RowTexts groupRow(const CGrpGps& group);

/// The row of a point.
RowTexts pointRow(const CPunGps& point);

/// Name of a receiver type code ("Monofrequenza", "Doppia frequenza", "non noto").
std::string receiverTypeName(unsigned char type);
/// Name of a survey type code ("Baseline", "RTK", "non noto").
std::string surveyTypeName(unsigned char type);

/// The printable field book: for each group a heading, its base station and a table of its
/// points, as HTML that Qt's rich text understands.
/// \param title printed at the top (the file name)
/// \param subtitle printed under it (the date, for instance); may be empty
std::string reportHtml(const std::vector<CGrpGps*>& groups, const std::string& title,
                       const std::string& subtitle);

} // namespace gpsbook
