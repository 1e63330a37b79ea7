// gpsbook's import of field-book files: its own ASCII export, read with the layout of the
// settings file, and the records of a Stonex RW5 raw file. The points of a file go into a new
// group, and only when the whole file reads: a bad line is reported with its number and
// nothing is added, and a file without points adds no group.
#pragma once

#include "AsciiExport.h"

#include <string>

namespace gpsbook {

/// What an import did.
struct ImportOutcome {
    std::string error; ///< empty on success; in Italian, with the line number when a line is bad
    std::string note;  ///< on success, what the user should know about how the file was read
    int group = -1;    ///< index of the (first) new group
    int groups = 0;    ///< number of new groups (an RW5 file makes one per base station)
    std::size_t points = 0;
};

/// Reads \p text as written by asciiText with \p layout and adds its points to a new group
/// named \p groupName (made unique among the book's groups). Text that is not UTF-8 is read
/// as Latin-1 (said in the outcome's note); a UTF-8 byte-order mark is skipped; lines may end
/// in LF, CR LF or CR.
ImportOutcome importAsciiText(const std::string& text, const AsciiLayout& layout, CLibGps& book,
                              const std::string& groupName);

/// Reads the GPS records of an RW5 raw file into a new group (one per base point, BP record,
/// when the file has several): EL is the antenna's ellipsoidal height and the rod height (HR of
/// the LS records) the antenna height, both in the unit of the MO record; LA and LN are read
/// as dd.mmss, or as decimal degrees for the whole file when a value cannot be dd.mmss.
ImportOutcome importRw5Text(const std::string& text, CLibGps& book, const std::string& groupName);

/// The format codes of the import file choice: what gpsbook reads for each.
enum class ImportReader { Rw5, None };
ImportReader importReaderFor(int format);
/// The label of a format code as the file choice lists it ("" outside 1 to 12).
std::string importFormatLabel(int format);

/// Reads the file \p path with the reader of \p format (see importReaderFor); the group is named
/// after the file. A format without reader gives an error saying so, and adds nothing. Only a
/// regular file of at most 16 MB is read.
ImportOutcome importFile(const std::string& path, int format, CLibGps& book);

/// Reads the file \p path as gpsbook's own ASCII export with \p layout into a new group named
/// after the file (see importAsciiText and importFile).
ImportOutcome importOwnAsciiFile(const std::string& path, const AsciiLayout& layout, CLibGps& book);

} // namespace gpsbook
