// gpsbook's import of field-book files: its own ASCII export, read with the layout of the
// settings file, and the GPS records of a Stonex RW5 raw file. The points of a file go into a
// new group, and only when the whole file reads: a bad line is reported with its number and
// nothing is added.
#pragma once

#include "AsciiExport.h"

#include <string>

namespace gpsbook {

/// What an import did.
struct ImportOutcome {
    std::string error; ///< empty on success; in Italian, with the line number when a line is bad
    int group = -1;    ///< index of the new group
    std::size_t points = 0;
};

/// Reads \p text as written by asciiText with \p layout and adds its points to a new group
/// named \p groupName (made unique among the book's groups).
ImportOutcome importAsciiText(const std::string& text, const AsciiLayout& layout, CLibGps& book,
                              const std::string& groupName);

/// Reads the GPS records of an RW5 raw file (with the rod height of the LS records as the
/// antenna height) into a new group.
ImportOutcome importRw5Text(const std::string& text, CLibGps& book, const std::string& groupName);

/// The format codes of the import file choice: what gpsbook reads for each.
enum class ImportReader { OwnAscii, Rw5, None };
ImportReader importReaderFor(int format);
/// The label of a format code as the file choice lists it ("" outside 1 to 12).
std::string importFormatLabel(int format);

/// Reads the file \p path with the reader of \p format (see importReaderFor); the group is named
/// after the file. A format without reader gives an error saying so, and adds nothing.
ImportOutcome importFile(const std::string& path, int format, const AsciiLayout& layout,
                         CLibGps& book);

} // namespace gpsbook
