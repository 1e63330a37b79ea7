#include "AsciiImport.h"

#include "ImportText.h"

#include <cfloat>
#include <cmath>
#include <filesystem>
#include <numbers>
#include <optional>
#include <string_view>

namespace gpsbook {

using namespace importtext;

namespace {

// Splits a line at the separator; a field that starts with a double quote runs to the next
// lone quote, "" standing for one quote inside it.
std::optional<std::vector<std::string>> splitLine(std::string_view line, char separator) {
    std::vector<std::string> fields;
    size_t at = 0;
    for (;;) {
        std::string field;
        if (at < line.size() && line[at] == '"') {
            ++at;
            for (;;) {
                if (at >= line.size()) return std::nullopt; // the quote never closes
                if (line[at] == '"') {
                    if (at + 1 < line.size() && line[at + 1] == '"') {
                        field += '"';
                        at += 2;
                        continue;
                    }
                    ++at;
                    break;
                }
                field += line[at++];
            }
            if (at < line.size() && line[at] != separator) return std::nullopt;
        } else {
            const size_t end = line.find(separator, at);
            field = std::string(line.substr(at, end == std::string_view::npos ? end : end - at));
            at = end == std::string_view::npos ? line.size() : end;
        }
        fields.push_back(std::move(field));
        if (at >= line.size()) break;
        ++at; // the separator
    }
    return fields;
}

// Every value below the largest float plus half its spacing rounds to a finite float (the
// largest float's shortest text reads as a double just above it).
const double kFloatLimit = static_cast<double>(FLT_MAX) + std::ldexp(1.0, 103);

bool blank(std::string_view line) {
    return line.find_first_not_of(" \t") == std::string_view::npos;
}

std::string separatorName(char separator) {
    switch (separator) {
    case ';':
        return "punto e virgola";
    case ' ':
        return "spazio";
    case '\t':
        return "tabulatore";
    default:
        return "virgola";
    }
}

// "Nome, Descrizione, Latitudine Mis., …": the layout's columns for a message.
std::string layoutColumns(const AsciiLayout& layout) {
    std::string out;
    std::size_t shown = 0;
    for (const AsciiLayout::Field& field : layout.fields) {
        if (shown == 8) {
            out += ", …";
            break;
        }
        if (shown++ > 0) out += ", ";
        const std::string caption = asciiFieldCaption(field.id);
        out += caption.empty() ? "campo " + std::to_string(field.id) : caption;
        if (field.id == kFieldCovariance) out += " (6 valori)";
    }
    return out;
}

} // namespace

ImportOutcome importAsciiText(const std::string& bytes, const AsciiLayout& layout, CLibGps& book,
                              const std::string& groupName) {
    ImportOutcome outcome;
    std::string text = bytes;
    outcome.error = decodeText(text, outcome.note);
    if (!outcome.error.empty()) {
        outcome.error = "Nessun punto importato: " + outcome.error + ".";
        outcome.note.clear();
        return outcome;
    }
    const char separator = layout.separatorChar();
    const int angles = layout.angleFormat >= 0 && layout.angleFormat <= 5 ? layout.angleFormat : 0;
    std::size_t expected = 0;
    for (const AsciiLayout::Field& field : layout.fields)
        expected += field.id == kFieldCovariance ? 6 : 1;

    std::vector<ImportedGroup> groups(1);
    std::vector<ImportedPoint>& points = groups.front().points;
    const std::vector<std::string_view> all = splitLines(text);
    for (std::size_t n = 0; n < all.size(); ++n) {
        const std::size_t number = n + 1;
        if (blank(all[n])) continue;
        std::optional<std::vector<std::string>> fields = splitLine(all[n], separator);
        if (!fields) {
            outcome.error = lineError(number, "virgolette non chiuse o testo dopo le virgolette");
            return outcome;
        }
        if (fields->size() != expected) {
            outcome.error = lineError(
                number, "attesi " + std::to_string(expected) + " campi separati da " +
                            separatorName(separator) + " (" + layoutColumns(layout) +
                            "), trovati " + std::to_string(fields->size()) +
                            ": il file non corrisponde al formato di esportazione scelto");
            return outcome;
        }
        ImportedPoint point;
        std::size_t column = 0;
        for (const AsciiLayout::Field& field : layout.fields) {
            const std::string& value = (*fields)[column];
            const std::string caption = asciiFieldCaption(field.id);
            auto fail = [&](const std::string& what, const std::string& shown) {
                outcome.error = lineError(number, "il campo \"" + caption + "\" " + what + ": \"" +
                                                      excerpt(shown) + "\"");
                return false;
            };
            auto numberInto = [&](double& target) {
                double read = 0.0;
                if (!readNumber(value, read)) return fail("non è un numero", value);
                if (!value.empty() && std::fabs(read) > kMaxLength)
                    return fail("è fuori intervallo (ammessi valori tra -1e15 e 1e15)", value);
                target = read;
                return true;
            };
            auto angleInto = [&](double& target, double limitDegrees) {
                if (value.empty()) return true;
                double read = 0.0;
                if (!parseAngle(value, angles, read))
                    return fail("non è un angolo nel formato scelto", value);
                const std::string limit = std::to_string(static_cast<int>(limitDegrees));
                if (!(std::fabs(read) <= limitDegrees * std::numbers::pi / 180.0))
                    return fail("è fuori intervallo (ammessi da -" + limit + "° a " + limit + "°)",
                                value);
                target = read;
                return true;
            };
            bool ok = true;
            double ignored = 0.0;
            switch (field.id) {
            case kFieldName:
                point.name = value;
                break;
            case kFieldDescription:
                point.description = value;
                break;
            case kFieldNote:
                point.note = value;
                break;
            case kFieldLatitude:
                ok = angleInto(point.lat, 90);
                break;
            case kFieldLongitude:
                ok = angleInto(point.lon, 360);
                break;
            case kFieldLatitudeWgs84:
                if (!defined(point.lat)) ok = angleInto(point.lat, 90);
                break;
            case kFieldLongitudeWgs84:
                if (!defined(point.lon)) ok = angleInto(point.lon, 360);
                break;
            case kFieldElevation:
                ok = numberInto(point.elev);
                break;
            case kFieldElevationWgs84:
                if (!defined(point.elev)) ok = numberInto(point.elev);
                break;
            case kFieldGroundElevationWgs84:
                ok = numberInto(point.groundElev);
                break;
            case kFieldGeocX:
            case kFieldGeocY:
            case kFieldGeocZ:
                ok = numberInto(point.geoc[field.id - kFieldGeocX]);
                break;
            case kFieldAntennaHeight:
                ok = numberInto(point.antenna);
                break;
            case kFieldNorth:
                ok = numberInto(point.north);
                break;
            case kFieldEast:
                ok = numberInto(point.east);
                break;
            case kFieldHeight:
                ok = numberInto(point.height);
                break;
            case kFieldPdop:
                ok = numberInto(point.pdop);
                break;
            case kFieldGdop:
                ok = numberInto(point.gdop);
                break;
            case kFieldCovariance: {
                // Six terms, all empty (no covariance) or all numbers a float can hold.
                int empty = 0;
                for (int i = 0; i < 6 && ok; ++i) {
                    const std::string& term = (*fields)[column + static_cast<size_t>(i)];
                    double read = 0.0;
                    if (term.empty())
                        ++empty;
                    else if (!readNumber(term, read))
                        ok = fail("non è un numero", term);
                    else if (!(std::fabs(read) < kFloatLimit))
                        ok = fail("è fuori intervallo (ammessi valori tra -3.4e38 e 3.4e38)", term);
                    else
                        point.cov[i] = static_cast<float>(read);
                }
                if (ok && empty != 0 && empty != 6) {
                    outcome.error = lineError(number, "il campo \"" + caption +
                                                          "\" ha termini vuoti: servono tutti e "
                                                          "sei i termini o nessuno");
                    ok = false;
                }
                point.hasCovariance = empty == 0;
                column += 5;
                break;
            }
            case kFieldSqmHorizontal:
            case kFieldSqmVertical:
            case kFieldGroundGeocX:
            case kFieldGroundGeocY:
            case kFieldGroundGeocZ:
                // Derived from the other values: checked, not stored.
                ok = numberInto(ignored);
                break;
            default:
                break; // values the field book does not hold
            }
            if (!ok) {
                outcome.note.clear();
                return outcome;
            }
            ++column;
        }
        points.push_back(std::move(point));
    }
    if (points.empty()) {
        outcome.error = text.empty() ? "Nessun punto importato: il file è vuoto."
                                     : "Nessun punto importato: il file ha solo righe vuote.";
        outcome.note.clear();
        return outcome;
    }
    outcome.group = addGroups(groups, book, groupName, outcome.points);
    outcome.groups = 1;
    return outcome;
}

ImportReader importReaderFor(int format) {
    return format == 12 ? ImportReader::Rw5 : ImportReader::None;
}

std::string importFormatLabel(int format) {
    // By format code, which is not the order of the rows in the file choice.
    static const char* const labels[] = {"Gart",
                                         "Pinnacle",
                                         "Field Face",
                                         "Trimble (*.TXT)",
                                         "Leica",
                                         "Leica Geo Office (*.TXT)",
                                         "Leica Geo Office (*.CST)(*.DAT)",
                                         "Gart 2000",
                                         "Leica Geo Office - Formato Pelora - No 4/5",
                                         "Leica Geo Office - Formato Pelora - Si 4/5",
                                         "Trimble (*.MDB)",
                                         "Stonex"};
    return format >= 1 && format <= 12 ? labels[format - 1] : "";
}

namespace {

std::string groupNameOf(const std::string& path) {
    return utf8OrLatin1(std::filesystem::path(path).stem().string());
}

} // namespace

ImportOutcome importFile(const std::string& path, int format, CLibGps& book) {
    ImportOutcome outcome;
    if (importReaderFor(format) == ImportReader::None) {
        outcome.error = "Il formato \"" + importFormatLabel(format) +
                        "\" non è ancora supportato: nessun punto importato.";
        if (format == 3 || format == 4 || format == 6)
            outcome.error += " I file ASCII esportati da gpsbook si leggono con \"Importa ASCII "
                             "di gpsbook…\" del menu File.";
        return outcome;
    }
    std::string bytes;
    outcome.error = readImportFile(path, bytes);
    if (!outcome.error.empty()) return outcome;
    return importRw5Text(bytes, book, groupNameOf(path));
}

ImportOutcome importOwnAsciiFile(const std::string& path, const AsciiLayout& layout,
                                 CLibGps& book) {
    ImportOutcome outcome;
    std::string bytes;
    outcome.error = readImportFile(path, bytes);
    if (!outcome.error.empty()) return outcome;
    return importAsciiText(bytes, layout, book, groupNameOf(path));
}

} // namespace gpsbook
