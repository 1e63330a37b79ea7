// A field book file: what it holds once loaded, and how it is read and written.
//
// The file is JSON, described in docs/field-book-format.md. Loading builds a new field book
// and hands it over only when the whole file was understood, so a failed load changes nothing
// the caller holds. Saving writes a temporary file in the destination's folder and renames it
// over the destination, so a failed save leaves the old file whole.
#pragma once

#include "gpsdialogs/interfaces/Cts.h"
#include "gpsdialogs/interfaces/DrawEng.h"
#include "gpsdialogs/interfaces/Gis.h"
#include "gpsdialogs/interfaces/LibGps.h"
#include "gpshost/FileReplace.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace gpsbook {

/// Name written in the "format" member of every field book file.
inline constexpr const char* kFormatName = "gpsbook-field-book";
/// Version of the format written; files of this version or older are read. Version 2 added
/// GIS fields of type "date", version 3 the drawn points not yet in any group.
inline constexpr int kFormatVersion = 3;

/// A point of the drawing that is in no group of the field book yet: what the transfer of
/// drawn points turns into GPS points.
struct DrawingPoint {
    std::string name;
    std::string description;
    double east = 0.0;   ///< X
    double north = 0.0;  ///< Y
    double height = 0.0; ///< Z, the ground point's
};

/// The largest field book file read and written, one rule for both, so that whatever is
/// written can be read back: a book of a million points stays below it (measured: about 750
/// bytes a point with every survey value, 1.2 KB with a linked GIS entity each). A book that
/// would be larger is refused before the file is touched.
inline constexpr std::uintmax_t kMaxFileBytes = 1280ull << 20;

/// Everything a field book file holds, kept by the host's own libraries.
struct FieldBook {
    // The GIS data comes first so that it is destroyed last: survey elements unlink themselves
    // from its vertices when they go.
    gis::CLibGis gis;
    CLibGps book;
    CCts context;
    CDrawEng drawings;
    /// Drawn points not yet transferred into a group, in drawing order.
    std::vector<DrawingPoint> drawingPoints;
    /// The file the book was read from or last written to (empty for a new book), and what
    /// that file was then: a save over it first checks that no other program replaced it.
    std::string filePath;
    hostfile::FileStamp fileStamp;
};

/// Outcome of a load: the field book, or why there is none.
struct LoadResult {
    std::unique_ptr<FieldBook> fieldBook; ///< null when the file was refused
    std::string error;                    ///< names the file and what is wrong; empty on success

    bool ok() const { return fieldBook != nullptr; }
};

/// Reads a field book file.
LoadResult loadFieldBook(const std::string& path);

/// Reads a field book from text; \p sourceName stands for the file in messages.
LoadResult parseFieldBook(const std::string& text, const std::string& sourceName);

/// Writes a field book to \p path atomically; a book larger than kMaxFileBytes is not written.
/// \param gis GIS themes to write with the book (null: none); its elements' links are written
/// \return empty on success; otherwise a message naming the file and what went wrong (the
/// file at \p path is then untouched)
[[nodiscard]] std::string saveFieldBook(const std::string& path, const CLibGps& book,
                                        const CCts& context, const CDrawEng* drawings = nullptr,
                                        gis::CLibGis* gis = nullptr,
                                        const std::vector<DrawingPoint>* drawingPoints = nullptr);

enum class SaveStatus {
    Saved,
    ReadOnly, ///< the file may not be written: the user can save under another name
    Changed,  ///< another program replaced the file since it was read or written here
    Failed,   ///< anything else; the message says what
};

struct SaveResult {
    SaveStatus status = SaveStatus::Saved;
    std::string message; ///< for the user, in Italian; empty when saved
    bool ok() const { return status == SaveStatus::Saved; }
};

/// Writes everything \p fieldBook holds to \p path atomically. Over the file the book was read
/// from or last written to, only while that file is still as it was then (size, time and
/// content), unless \p overwriteChanges. A book larger than kMaxFileBytes is not written.
/// On success the book remembers \p path and the file written.
SaveResult writeFieldBook(const std::string& path, FieldBook& fieldBook,
                          bool overwriteChanges = false);

/// writeFieldBook without overwriting changes. \return its message: empty on success
[[nodiscard]] std::string saveFieldBook(const std::string& path, FieldBook& fieldBook);

/// The text saveFieldBook writes, or an error (\p error non-empty, text empty) when a value
/// cannot be written. A text that is not UTF-8 is written as Latin-1.
std::string fieldBookToText(const CLibGps& book, const CCts& context, const CDrawEng* drawings,
                            gis::CLibGis* gis, std::string& error,
                            const std::vector<DrawingPoint>* drawingPoints = nullptr);

} // namespace gpsbook
