#include "AsciiImport.h"

#include <charconv>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string_view>

namespace gpsbook {

namespace {

constexpr double kNoValue = 1.7e200;

// One point as a file describes it, before anything is added to the book.
struct ImportedPoint {
    std::string name, description, note;
    double lat = kNoValue, lon = kNoValue, elev = kNoValue, groundElev = kNoValue;
    double antenna = kNoValue;
    double geoc[3] = {kNoValue, kNoValue, kNoValue};
    double north = kNoValue, east = kNoValue, height = kNoValue;
    double pdop = kNoValue, gdop = kNoValue;
    double cov[6] = {kNoValue, kNoValue, kNoValue, kNoValue, kNoValue, kNoValue};
};

bool defined(double value) {
    return value < 8.5e199;
}

std::string lineError(std::size_t line, const std::string& what) {
    return "Riga " + std::to_string(line) + ": " + what + ".";
}

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

bool readNumber(const std::string& text, double& value) {
    if (text.empty()) {
        value = kNoValue;
        return true;
    }
    if (text.front() == '+') return false;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc() && end == text.data() + text.size() && std::isfinite(value);
}

// The lines of a text without their line ends, numbered from 1.
std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> result;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        result.push_back(line);
    }
    return result;
}

bool blank(const std::string& line) {
    return line.find_first_not_of(" \t") == std::string::npos;
}

std::string uniqueGroupName(const CLibGps& book, const std::string& wanted) {
    auto taken = [&](const std::string& name) {
        for (int g = 0; g < book.GetGrpArSize(); ++g)
            if (book.GetGrpAt(g)->GetNomeGrp() == name) return true;
        return false;
    };
    std::string name = wanted.empty() ? "Importati" : wanted;
    for (int n = 2; taken(name); ++n)
        name = (wanted.empty() ? "Importati" : wanted) + " (" + std::to_string(n) + ")";
    return name;
}

ImportOutcome addGroup(const std::vector<ImportedPoint>& points, CLibGps& book,
                       const std::string& groupName) {
    ImportOutcome outcome;
    CGrpGps* group = book.AddGrp(uniqueGroupName(book, groupName));
    book.GetIndiciDiGrp(group, outcome.group);
    for (const ImportedPoint& in : points) {
        CPunGps* point = book.AddPun(outcome.group);
        point->SetNome(in.name);
        point->SetCode(in.description);
        if (!in.note.empty()) point->SetNote(in.note);
        if (defined(in.antenna)) point->SetAltAnt(in.antenna);
        double elev = in.elev;
        if (!defined(elev) && defined(in.groundElev))
            elev = in.groundElev + (defined(in.antenna) ? in.antenna : 0.0);
        if (defined(in.lat) && defined(in.lon)) {
            point->SetGeo(in.lat, in.lon, elev);
        } else if (defined(in.geoc[0]) && defined(in.geoc[1]) && defined(in.geoc[2])) {
            point->SetGeocCeFaMis(in.geoc[0], in.geoc[1], in.geoc[2]);
        } else { // a layout with part of the position: what it has
            if (defined(in.lat)) point->SetLat(in.lat);
            if (defined(in.lon)) point->SetLong(in.lon);
            if (defined(elev)) point->SetElev(elev);
        }
        if (defined(in.east) && defined(in.north)) point->SetCoordXY(in.east, in.north);
        if (defined(in.height)) point->SetCoordZ(in.height);
        if (defined(in.pdop)) point->SetPdop(in.pdop);
        if (defined(in.gdop)) point->SetGdop(in.gdop);
        if (defined(in.cov[0])) {
            point->SetPosCov_xx(static_cast<float>(in.cov[0]));
            point->SetPosCov_xy(static_cast<float>(in.cov[1]));
            point->SetPosCov_xz(static_cast<float>(in.cov[2]));
            point->SetPosCov_yy(static_cast<float>(in.cov[3]));
            point->SetPosCov_yz(static_cast<float>(in.cov[4]));
            point->SetPosCov_zz(static_cast<float>(in.cov[5]));
        }
        ++outcome.points;
    }
    return outcome;
}

} // namespace

ImportOutcome importAsciiText(const std::string& text, const AsciiLayout& layout, CLibGps& book,
                              const std::string& groupName) {
    ImportOutcome outcome;
    const char separator = layout.separatorChar();
    const int angles = layout.angleFormat >= 0 && layout.angleFormat <= 5 ? layout.angleFormat : 0;
    std::size_t expected = 0;
    for (const AsciiLayout::Field& field : layout.fields)
        expected += field.id == kFieldCovariance ? 6 : 1;

    std::vector<ImportedPoint> points;
    const std::vector<std::string> all = lines(text);
    for (std::size_t n = 0; n < all.size(); ++n) {
        const std::size_t number = n + 1;
        if (blank(all[n])) continue;
        std::optional<std::vector<std::string>> fields = splitLine(all[n], separator);
        if (!fields) {
            outcome.error = lineError(number, "virgolette non chiuse o testo dopo le virgolette");
            return outcome;
        }
        if (fields->size() != expected) {
            outcome.error =
                lineError(number, "attesi " + std::to_string(expected) + " campi, trovati " +
                                      std::to_string(fields->size()));
            return outcome;
        }
        ImportedPoint point;
        std::size_t column = 0;
        for (const AsciiLayout::Field& field : layout.fields) {
            const std::string& value = (*fields)[column];
            const std::string caption = asciiFieldCaption(field.id);
            auto numberInto = [&](double& target) {
                if (readNumber(value, target)) return true;
                outcome.error = lineError(number, "il campo \"" + caption +
                                                      "\" non è un numero: \"" + value + "\"");
                return false;
            };
            auto angleInto = [&](double& target) {
                if (value.empty()) return true;
                if (parseAngle(value, angles, target)) return true;
                outcome.error = lineError(number, "il campo \"" + caption +
                                                      "\" non è un angolo nel formato scelto: \"" +
                                                      value + "\"");
                return false;
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
                ok = angleInto(point.lat);
                break;
            case kFieldLongitude:
                ok = angleInto(point.lon);
                break;
            case kFieldLatitudeWgs84:
                if (!defined(point.lat)) ok = angleInto(point.lat);
                break;
            case kFieldLongitudeWgs84:
                if (!defined(point.lon)) ok = angleInto(point.lon);
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
            case kFieldCovariance:
                for (int i = 0; i < 6 && ok; ++i) {
                    const std::string& term = (*fields)[column + static_cast<size_t>(i)];
                    if (!readNumber(term, point.cov[i])) {
                        outcome.error =
                            lineError(number, "il campo \"" + caption + "\" non è un numero: \"" +
                                                  term + "\"");
                        ok = false;
                    }
                }
                column += 5;
                break;
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
            if (!ok) return outcome;
            ++column;
        }
        points.push_back(std::move(point));
    }
    return addGroup(points, book, groupName);
}

ImportOutcome importRw5Text(const std::string& text, CLibGps& book, const std::string& groupName) {
    ImportOutcome outcome;
    std::vector<ImportedPoint> points;
    double rodHeight = kNoValue;
    const std::vector<std::string> all = lines(text);
    for (std::size_t n = 0; n < all.size(); ++n) {
        const std::size_t number = n + 1;
        std::string line = all[n];
        if (blank(line) || line.rfind("--", 0) == 0) continue;
        // A note runs from ",--" to the end of the line and may hold commas.
        std::string comment;
        if (size_t note = line.find(",--"); note != std::string::npos) {
            comment = line.substr(note + 3);
            line.erase(note);
        }
        std::optional<std::vector<std::string>> split = splitLine(line, ',');
        if (!split) {
            outcome.error = lineError(number, "virgolette non chiuse");
            return outcome;
        }
        const std::vector<std::string>& fields = *split;
        const std::string record = fields.front();
        if (record == "LS") {
            for (const std::string& field : fields)
                if (field.rfind("HR", 0) == 0 && !readNumber(field.substr(2), rodHeight)) {
                    outcome.error =
                        lineError(number, "altezza della palina non valida: \"" + field + "\"");
                    return outcome;
                }
            continue;
        }
        if (record != "GPS") continue; // job, mode, traverse and other records carry no point
        ImportedPoint point;
        point.description = comment;
        bool hasName = false;
        double ground = kNoValue;
        for (size_t i = 1; i < fields.size(); ++i) {
            const std::string& field = fields[i];
            const std::string tag = field.substr(0, 2),
                              value = field.size() > 2 ? field.substr(2) : "";
            bool ok = true;
            if (tag == "PN") {
                point.name = value;
                hasName = !value.empty();
            } else if (tag == "LA") {
                ok = parseAngle(value, 2, point.lat);
            } else if (tag == "LN") {
                ok = parseAngle(value, 2, point.lon);
            } else if (tag == "EL") {
                ok = readNumber(value, ground) && !value.empty();
            }
            if (!ok) {
                outcome.error = lineError(number, "valore non valido: \"" + field + "\"");
                return outcome;
            }
        }
        if (!hasName || !defined(point.lat) || !defined(point.lon) || !defined(ground)) {
            outcome.error = lineError(number, "il record GPS deve avere PN, LA, LN ed EL");
            return outcome;
        }
        point.antenna = defined(rodHeight) ? rodHeight : 0.0;
        point.elev = ground + point.antenna;
        points.push_back(std::move(point));
    }
    return addGroup(points, book, groupName);
}

ImportReader importReaderFor(int format) {
    switch (format) {
    case 3: // the rows of *.TXT files: gpsbook's own ASCII export is read there
    case 4:
    case 6:
        return ImportReader::OwnAscii;
    case 12:
        return ImportReader::Rw5;
    default:
        return ImportReader::None;
    }
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

ImportOutcome importFile(const std::string& path, int format, const AsciiLayout& layout,
                         CLibGps& book) {
    ImportOutcome outcome;
    const ImportReader reader = importReaderFor(format);
    if (reader == ImportReader::None) {
        outcome.error = "Il formato \"" + importFormatLabel(format) +
                        "\" non è ancora supportato: nessun punto importato.";
        return outcome;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        outcome.error = "Impossibile leggere il file " + path + ".";
        return outcome;
    }
    std::ostringstream text;
    text << in.rdbuf();
    const std::string group = std::filesystem::path(path).stem().string();
    return reader == ImportReader::Rw5 ? importRw5Text(text.str(), book, group)
                                       : importAsciiText(text.str(), layout, book, group);
}

} // namespace gpsbook
