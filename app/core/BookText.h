// How the main window and the printed field book show groups and points: columns, angles in
// degrees, minutes and seconds, lengths with fixed decimals, empty cells for values the book
// does not hold.
#pragma once

#include <array>
#include <string>

class CEgn;
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

/// Headings of the columns, in column order, lengths in metres ("Est [m]").
const RowTexts& columnTitles();

/// Headings of the columns with East and North in \p planeUnit ("Est [ft]"); heights, the
/// elevation and the antenna height stay in metres. An empty unit leaves East and North without
/// one (for a list whose groups use different units).
RowTexts columnTitles(const std::string& planeUnit);

/// The unit of the group's plane East and North, as its projection gives them ("m" without a
/// projection).
std::string planeUnit(const CGrpGps& group);

/// The group's coordinate system as a person reads it: name, authority code, undulation, unit
/// of the plane coordinates ("RDN2008 / UTM zone 32N (N-E), EPSG:6707, ondulazione 47.300 m");
/// "nessuna proiezione calcolata" without one.
std::string systemText(const CGrpGps& group);

/// The element's survey codes by their two-letter names, separated by blanks ("QU NE").
std::string codesText(const CEgn& element);

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

} // namespace gpsbook
