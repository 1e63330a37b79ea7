// What gpsbook's importers share: reading an import file (a regular file of bounded size), its
// text made UTF-8, its lines whatever their line ends, short quotes of it for messages, and
// the points a file describes before anything is added to the field book.
#pragma once

#include "gpsdialogs/interfaces/LibGps.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace gpsbook::importtext {

/// The largest import file read, in bytes (16 MB: some 100,000 points of a receiver file).
inline constexpr std::size_t kMaxImportBytes = 16u << 20;

/// Reads \p path into \p bytes. Only a regular file of at most kMaxImportBytes is read; it is
/// opened without waiting, so a pipe or a device cannot hang the program.
/// \return empty on success, else the message (naming the file)
std::string readImportFile(const std::string& path, std::string& bytes);

/// Makes \p text UTF-8 in place: a UTF-8 byte-order mark is dropped; text that is not valid
/// UTF-8 is read as Latin-1 (ISO 8859-1), its C1 control bytes as U+FFFD, and \p note then
/// says so. \return empty, or why the text cannot be read (UTF-16 or UTF-32, named)
std::string decodeText(std::string& text, std::string& note);

/// \p text if it is valid UTF-8, else the same bytes read as Latin-1.
std::string utf8OrLatin1(std::string_view text);

/// Text from a file quoted in a message: at most \p maxChars characters (then "…"), valid
/// UTF-8, control characters and stray bytes shown as escapes (\r, \n, \t, \xNN).
std::string excerpt(std::string_view text, std::size_t maxChars = 40);

/// The lines of \p text without their line ends. A text holding a line feed ends its lines
/// there (carriage returns before it are dropped: CR LF, CR CR LF); a text without one ends
/// its lines at each carriage return.
std::vector<std::string_view> splitLines(std::string_view text);

/// "Riga N: what."
std::string lineError(std::size_t line, const std::string& what);

constexpr double kNoValue = 1.7e200;
/// The largest length or coordinate an import accepts (as a drawn point's plane values).
constexpr double kMaxLength = 1e15;

inline bool defined(double value) {
    return value < 8.5e199;
}

/// Reads a decimal number: "" gives kNoValue; false for anything else that is not a finite
/// number.
bool readNumber(std::string_view text, double& value);

/// One point as a file describes it, before anything is added to the book.
struct ImportedPoint {
    std::string name, description, note;
    double lat = kNoValue, lon = kNoValue, elev = kNoValue, groundElev = kNoValue;
    double antenna = kNoValue;
    double geoc[3] = {kNoValue, kNoValue, kNoValue};
    double north = kNoValue, east = kNoValue, height = kNoValue;
    double pdop = kNoValue, gdop = kNoValue;
    bool hasCovariance = false;
    float cov[6] = {0, 0, 0, 0, 0, 0};
};

/// A base station as a file describes it.
struct ImportedBase {
    bool present = false;
    std::string name;
    double lat = kNoValue, lon = kNoValue, elev = kNoValue, antenna = kNoValue;
};

/// The points measured from one base station.
struct ImportedGroup {
    ImportedBase base;
    std::vector<ImportedPoint> points;
};

/// Adds one new group per entry of \p groups that has points (named after \p groupName, made
/// unique among the book's groups), with its base station and points.
/// \return the index of the first new group
int addGroups(const std::vector<ImportedGroup>& groups, CLibGps& book, const std::string& groupName,
              std::size_t& points);

} // namespace gpsbook::importtext
