// gpsbook's ASCII field-book export: the points of chosen groups, one line each, laid out as
// the settings file says (section "FILE ASCI", chosen with the module's "Selezione campi").
// The same layout reads such a file back (AsciiImport.h).
#pragma once

#include "gpsdialogs/interfaces/Kit.h"
#include "gpsdialogs/interfaces/LibGps.h"

#include <string>
#include <vector>

namespace gpsbook {

/// The fields the layout may name, by id (0 to 34).
inline constexpr int kAsciiFieldCount = 35;
/// Field ids with a meaning of their own to the exporter and the importer.
enum AsciiField {
    kFieldName = 0,
    kFieldDescription = 1,
    kFieldLatitude = 2,
    kFieldLongitude = 3,
    kFieldElevation = 4,
    kFieldGeocX = 5,
    kFieldGeocY = 6,
    kFieldGeocZ = 7,
    kFieldAntennaHeight = 8,
    kFieldNorth = 10,
    kFieldEast = 11,
    kFieldHeight = 12,
    kFieldSqmHorizontal = 13,
    kFieldSqmVertical = 14,
    kFieldPdop = 15,
    kFieldGdop = 16,
    kFieldCovariance = 17,
    kFieldNote = 18,
    kFieldLatitudeWgs84 = 24,
    kFieldLongitudeWgs84 = 25,
    kFieldElevationWgs84 = 26,
    kFieldGroundElevationWgs84 = 27,
    kFieldGroundGeocX = 28,
    kFieldGroundGeocY = 29,
    kFieldGroundGeocZ = 30,
};

/// Whether the export writes anything in the column of a field: false for the fields the
/// field book does not hold (quality, date, time, satellites, comment, GIS data) and unknown
/// ids, whose columns stay empty.
bool asciiFieldWritten(int id);

/// The caption of a field (as the layout dialog shows it); "" for an unknown id.
std::string asciiFieldCaption(int id);

/// The layout of an ASCII export.
struct AsciiLayout {
    struct Field {
        int id = 0;
        int decimals = 3;
    };
    int angleFormat = 0; ///< 0 to 5 (see formatAngle); anything else is written as 0
    int separator = 0;   ///< 0 comma, 1 semicolon, 2 space, 3 tab; anything else a comma
    bool quotes = true;  ///< texts in double quotes
    std::vector<Field> fields;

    /// The layout the settings file holds, with the defaults of the layout dialog; at most
    /// 1000 fields, as the dialog reads.
    static AsciiLayout fromSettings(const CIniFile& settings);
    /// The separator character.
    char separatorChar() const;
};

/// An angle as text. Formats: 0 gg°pp'ss.ddddd", 1 gg pp ss.ddddd, 2 gg.ppssddddd, 3 decimal
/// degrees, 4 gon, 5 gg.ppddddd (degrees, minutes and decimals of a minute). \p decimals
/// (clamped to 0..12) counts the digits after the seconds, the degrees, the gon or the
/// minutes. Carries are exact: no "60" ever shows.
std::string formatAngle(double radians, int format, int decimals);
/// Reads an angle written by formatAngle in \p format. \return false when the text is not one
bool parseAngle(const std::string& text, int format, double& radians);

/// What an export did.
struct ExportOutcome {
    std::string error;     ///< empty on success (the file then holds every line)
    std::size_t lines = 0; ///< points written
};

/// The line of one point (without line end); \p error says why the point cannot be written
/// in this layout (a text holding a line break, or the separator or a quote without quotes).
std::string asciiLine(const CPunGps& point, const AsciiLayout& layout, std::string& error);

/// Writes the points of the groups \p groups (indices into \p book) to \p path, replacing it
/// atomically; on any error nothing is written.
ExportOutcome exportAscii(const std::string& path, const CLibGps& book,
                          const std::vector<int>& groups, const AsciiLayout& layout);

/// The whole text exportAscii writes (for tests and benchmarks).
ExportOutcome asciiText(const CLibGps& book, const std::vector<int>& groups,
                        const AsciiLayout& layout, std::string& text);

} // namespace gpsbook
