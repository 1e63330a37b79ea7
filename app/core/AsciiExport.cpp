#include "AsciiExport.h"

#include "AtomicFile.h"
#include "ImportText.h"

#include "gpsdialogs/interfaces/ConvCoord.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <numbers>

namespace gpsbook {

namespace {

constexpr double kUndefined = 8.5e199;

const std::array<const char*, kAsciiFieldCount> kCaptions = {
    "Nome",
    "Descrizione",
    "Latitudine Mis.",
    "Longitudine Mis.",
    "Elevazione Ant. Mis.",
    "Coord. GeocX Ter. Mis.",
    "Coord. GeocY Ter. Mis.",
    "Coord. GeocZ Ter. Mis.",
    "Alt. Antenna",
    "Qualità",
    "Coord. Nord",
    "Coord. Est",
    "Quota",
    "SQM Oriz.",
    "SQM Vert.",
    "PDOP",
    "GDOP",
    "Matrice Covarianza",
    "Note",
    "Data",
    "Secondi Giorn.",
    "Dati GIS",
    "N. Satelliti GPS",
    "N. Satelliti GLO",
    "Latitudine WGS84",
    "Longitudine WGS84",
    "Elevazione Ant. WGS84",
    "Elevazione Ter. WGS84",
    "Coord. GeocX Ter. WGS84",
    "Coord. GeocY Ter. WGS84",
    "Coord. GeocZ Ter. WGS84",
    "Commento",
    "Dati GIS con Nome attributi",
    "Tabella GIS",
    "Tema GIS",
};

constexpr std::array<int, 15> kDefaultLayout = {0,  1,  2,  3,  4,  8,  9, 13,
                                                14, 15, 16, 19, 20, 22, 23};
constexpr int kMaxFields = 1000;
// The largest angle written: a longitude of the field book goes to ±2π.
constexpr double kMaxAngle = 2.0 * std::numbers::pi;

std::string key(const char* format, int position) {
    char name[64];
    kit_sprintf(name, format, position);
    return name;
}

bool defined(double value) {
    return std::isfinite(value) && value < kUndefined;
}

std::string shortestDouble(double value) {
    char buffer[64];
    auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
    return ec == std::errc() ? std::string(buffer, end) : std::string("?");
}

std::string number(double value, int decimals) {
    return defined(value) ? StringDaDouble(value, 0, std::clamp(decimals, 0, 12)) : std::string();
}

std::int64_t power10(int n) {
    std::int64_t p = 1;
    for (int i = 0; i < n; ++i)
        p *= 10;
    return p;
}

void appendPadded(std::string& out, std::int64_t value, int width) {
    std::string digits = std::to_string(value);
    if (static_cast<int>(digits.size()) < width) out.append(width - digits.size(), '0');
    out += digits;
}

// The geocentric position of the ground point: the antenna's, lowered by the antenna height.
bool groundGeocentric(const CPunGps& point, double& x, double& y, double& z) {
    const double alt = defined(point.GetAltAnt()) ? point.GetAltAnt() : 0.0;
    if (!defined(point.GetLat()) || !defined(point.GetLong()) || !defined(point.GetElev()))
        return false;
    return GeoToGeocentric(point.GetLat(), point.GetLong(), point.GetElev() - alt, x, y, z);
}

// Horizontal and vertical standard deviations: the geocentric covariance turned into the
// local east-north-up frame of the point.
bool localDeviations(const CPunGps& point, double& horizontal, double& vertical) {
    const double lat = point.GetLat(), lon = point.GetLong();
    const double c[3][3] = {{point.GetPosCov_xx(), point.GetPosCov_xy(), point.GetPosCov_xz()},
                            {point.GetPosCov_xy(), point.GetPosCov_yy(), point.GetPosCov_yz()},
                            {point.GetPosCov_xz(), point.GetPosCov_yz(), point.GetPosCov_zz()}};
    if (!defined(lat) || !defined(lon)) return false;
    bool measured = false; // all six 0: the receiver gave no covariance
    for (const auto& row : c)
        for (double v : row) {
            if (!defined(v)) return false;
            measured = measured || v != 0.0;
        }
    if (!measured) return false;
    const double sl = std::sin(lat), cl = std::cos(lat), so = std::sin(lon), co = std::cos(lon);
    const double r[3][3] = {{-so, co, 0.0}, {-sl * co, -sl * so, cl}, {cl * co, cl * so, sl}};
    double local[3] = {0, 0, 0}; // diagonal of R C R^T
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            for (int k = 0; k < 3; ++k)
                local[i] += r[i][j] * c[j][k] * r[i][k];
    horizontal = std::sqrt(std::max(0.0, local[0] + local[1]));
    vertical = std::sqrt(std::max(0.0, local[2]));
    return true;
}

} // namespace

bool asciiFieldWritten(int id) {
    switch (id) {
    case 9:  // quality
    case 19: // date
    case 20: // time of day
    case 21: // GIS data
    case 22: // satellites
    case 23:
    case 31: // comment
    case 32:
    case 33:
    case 34:
        return false;
    default:
        return id >= 0 && id < kAsciiFieldCount;
    }
}

std::string asciiFieldCaption(int id) {
    return id >= 0 && id < kAsciiFieldCount ? kCaptions[static_cast<size_t>(id)] : "";
}

AsciiLayout AsciiLayout::fromSettings(const CIniFile& settings) {
    const char* section = "FILE ASCI";
    AsciiLayout layout;
    layout.angleFormat = settings.GetLong(section, "CoordFormat", 0);
    layout.separator = settings.GetLong(section, "Separator", 0);
    layout.quotes = settings.GetBool(section, "Apici", true);
    const int count = std::min<std::int32_t>(
        settings.GetLong(section, "NumCampi", static_cast<std::int32_t>(kDefaultLayout.size())),
        kMaxFields);
    for (int p = 0; p < count; ++p) {
        Field field;
        field.id = settings.GetLong(section, key("Campo-%d", p),
                                    p < static_cast<int>(kDefaultLayout.size())
                                        ? kDefaultLayout[static_cast<size_t>(p)]
                                        : 19);
        field.decimals = settings.GetLong(section, key("nDecCampo-%d", p), 3);
        layout.fields.push_back(field);
    }
    return layout;
}

char AsciiLayout::separatorChar() const {
    switch (separator) {
    case 1:
        return ';';
    case 2:
        return ' ';
    case 3:
        return '\t';
    default:
        return ',';
    }
}

std::string formatAngle(double radians, int format, int decimals) {
    if (!defined(radians) || std::fabs(radians) > kMaxAngle) return {};
    decimals = std::clamp(decimals, 0, 12);
    const double degrees = radians * 180.0 / std::numbers::pi;
    if (format == 3) return StringDaDouble(degrees, 0, decimals);
    if (format == 4) return StringDaDouble(degrees * 400.0 / 360.0, 0, decimals);

    // Whole units of the last digit, so that rounding carries exactly into minutes and degrees.
    const std::int64_t scale = power10(decimals);
    const bool minutesOnly = format == 5;
    const double perDegree = (minutesOnly ? 60.0 : 3600.0) * static_cast<double>(scale);
    const auto units = static_cast<std::int64_t>(std::llround(std::fabs(degrees) * perDegree));
    const auto unitsPerDegree = static_cast<std::int64_t>(perDegree);
    const std::int64_t unitsPerMinute = minutesOnly ? scale : 60 * scale;
    const std::int64_t deg = units / unitsPerDegree;
    const std::int64_t minutes = (units % unitsPerDegree) / unitsPerMinute;
    const std::int64_t rest = units % unitsPerMinute; // seconds (or minute fraction) units

    std::string out = units != 0 && degrees < 0 ? "-" : "";
    out += std::to_string(deg);
    if (minutesOnly) {
        out += '.';
        appendPadded(out, minutes, 2);
        if (decimals > 0) appendPadded(out, rest, decimals);
        return out;
    }
    const std::int64_t seconds = rest / scale, fraction = rest % scale;
    if (format == 2) {
        out += '.';
        appendPadded(out, minutes, 2);
        appendPadded(out, seconds, 2);
        if (decimals > 0) appendPadded(out, fraction, decimals);
        return out;
    }
    const bool spaced = format == 1;
    out += spaced ? " " : "\xC2\xB0"; // the degree sign
    appendPadded(out, minutes, 2);
    out += spaced ? ' ' : '\'';
    appendPadded(out, seconds, 2);
    if (decimals > 0) {
        out += '.';
        appendPadded(out, fraction, decimals);
    }
    if (!spaced) out += '"';
    return out;
}

namespace {

bool wholeNumber(std::string_view text, std::int64_t& value) {
    if (text.empty()) return false;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc() && end == text.data() + text.size();
}

bool decimalNumber(std::string_view text, double& value) {
    if (text.empty() || text.front() == '+') return false;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc() && end == text.data() + text.size() && std::isfinite(value);
}

// "digits" made only of the digits 0-9, for the packed formats.
bool digitsOnly(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

double fractionOf(std::string_view digits) {
    double value = 0.0, scale = 0.1;
    for (char c : digits) {
        value += (c - '0') * scale;
        scale /= 10.0;
    }
    return value;
}

} // namespace

bool parseAngle(const std::string& text, int format, double& radians) {
    std::string_view t = text;
    double degrees = 0.0;
    if (format == 3 || format == 4) {
        double value = 0.0;
        if (!decimalNumber(t, value)) return false;
        degrees = format == 4 ? value * 360.0 / 400.0 : value;
        radians = degrees * std::numbers::pi / 180.0;
        return true;
    }
    const bool negative = !t.empty() && t.front() == '-';
    if (negative) t.remove_prefix(1);
    std::int64_t deg = 0, minutes = 0, seconds = 0;
    std::string_view fraction;
    if (format == 2 || format == 5) {
        const size_t dot = t.find('.');
        if (dot == std::string_view::npos || !wholeNumber(t.substr(0, dot), deg) || deg < 0)
            return false;
        std::string_view packed = t.substr(dot + 1);
        const size_t head = format == 2 ? 4 : 2;
        if (packed.size() < head || !digitsOnly(packed)) return false;
        minutes = (packed[0] - '0') * 10 + (packed[1] - '0');
        if (format == 2) seconds = (packed[2] - '0') * 10 + (packed[3] - '0');
        fraction = packed.substr(head);
    } else {
        const std::string_view degreeMark = format == 1 ? " " : "\xC2\xB0";
        const std::string_view minuteMark = format == 1 ? " " : "'";
        size_t at = t.find(degreeMark);
        if (at == std::string_view::npos || !wholeNumber(t.substr(0, at), deg) || deg < 0)
            return false;
        t.remove_prefix(at + degreeMark.size());
        at = t.find(minuteMark);
        if (at == std::string_view::npos || !wholeNumber(t.substr(0, at), minutes)) return false;
        t.remove_prefix(at + minuteMark.size());
        if (format == 0) {
            if (t.empty() || t.back() != '"') return false;
            t.remove_suffix(1);
        }
        const size_t dot = t.find('.');
        if (!wholeNumber(t.substr(0, dot), seconds)) return false;
        if (dot != std::string_view::npos) {
            fraction = t.substr(dot + 1);
            if (fraction.empty() || !digitsOnly(fraction)) return false;
        }
    }
    if (minutes < 0 || minutes >= 60 || seconds < 0 || seconds >= 60) return false;
    if (format == 5)
        degrees =
            static_cast<double>(deg) + (static_cast<double>(minutes) + fractionOf(fraction)) / 60.0;
    else
        degrees = static_cast<double>(deg) + static_cast<double>(minutes) / 60.0 +
                  (static_cast<double>(seconds) + fractionOf(fraction)) / 3600.0;
    radians = (negative ? -degrees : degrees) * std::numbers::pi / 180.0;
    return true;
}

std::string asciiLine(const CPunGps& point, const AsciiLayout& layout, std::string& error) {
    const char separator = layout.separatorChar();
    const int angles = layout.angleFormat >= 0 && layout.angleFormat <= 5 ? layout.angleFormat : 0;
    std::string line;
    auto text = [&](const std::string& value) {
        if (value.find_first_of("\r\n") != std::string::npos) {
            error = "il punto \"" + importtext::excerpt(point.GetNome()) +
                    "\" ha un testo su più righe";
            return;
        }
        if (layout.quotes) {
            line += '"';
            for (char c : value) {
                if (c == '"') line += '"';
                line += c;
            }
            line += '"';
            return;
        }
        if (value.find(separator) != std::string::npos || value.find('"') != std::string::npos) {
            error = "il punto \"" + importtext::excerpt(point.GetNome()) +
                    "\" ha un testo con il separatore o le virgolette: scegliere \"Apici nei "
                    "nomi\" SI o un altro separatore";
            return;
        }
        line += value;
    };
    double gx = 0, gy = 0, gz = 0, sqmH = 0, sqmV = 0;
    const bool hasGround = groundGeocentric(point, gx, gy, gz);
    const bool hasSqm = localDeviations(point, sqmH, sqmV);
    const double alt = point.GetAltAnt();
    bool first = true;
    for (const AsciiLayout::Field& field : layout.fields) {
        if (!first) line += separator;
        first = false;
        const int d = field.decimals;
        // A length the ASCII import would not read back is refused, not written.
        auto length = [&](double value, int decimals) {
            if (defined(value) && std::fabs(value) > importtext::kMaxLength) {
                error = "il punto \"" + importtext::excerpt(point.GetNome()) + "\" ha il campo \"" +
                        asciiFieldCaption(field.id) + "\" fuori intervallo (" +
                        shortestDouble(value) + "; ammessi valori tra -1e15 e 1e15)";
                return;
            }
            line += number(value, decimals);
        };
        switch (field.id) {
        case kFieldName:
            text(point.GetNome());
            break;
        case kFieldDescription:
            text(point.GetSecScri());
            break;
        case kFieldNote:
            text(point.GetNote());
            break;
        case kFieldLatitude:
        case kFieldLatitudeWgs84:
        case kFieldLongitude:
        case kFieldLongitudeWgs84: {
            if (angles == 1 && separator == ' ') {
                error = "il formato angoli con gli spazi non si può usare con il separatore "
                        "Spazio";
                return {};
            }
            const bool latitude = field.id == kFieldLatitude || field.id == kFieldLatitudeWgs84;
            const double value = latitude ? point.GetLat() : point.GetLong();
            const double limit = latitude ? std::numbers::pi / 2.0 : kMaxAngle;
            if (defined(value) && !(std::fabs(value) <= limit)) {
                error = "il punto \"" + importtext::excerpt(point.GetNome()) + "\" ha " +
                        (latitude ? "una latitudine" : "una longitudine") + " fuori intervallo (" +
                        shortestDouble(value * 180.0 / std::numbers::pi) + "°; ammessi da " +
                        (latitude ? "-90° a 90°" : "-360° a 360°") + ")";
                return {};
            }
            line += formatAngle(value, angles, d);
            break;
        }
        case kFieldElevation:
        case kFieldElevationWgs84:
            length(point.GetElev(), d);
            break;
        case kFieldGeocX:
        case kFieldGeocY:
        case kFieldGeocZ: {
            double x = 0, y = 0, z = 0;
            if (point.GetGeocCeFaMis(x, y, z))
                length(field.id == kFieldGeocX ? x : field.id == kFieldGeocY ? y : z, d);
            break;
        }
        case kFieldAntennaHeight:
            length(alt, d);
            break;
        case kFieldNorth:
            length(point.GetCoordY(), d);
            break;
        case kFieldEast:
            length(point.GetCoordX(), d);
            break;
        case kFieldHeight:
            length(point.GetCoordZ(), d);
            break;
        case kFieldSqmHorizontal:
            if (hasSqm) length(sqmH, d);
            break;
        case kFieldSqmVertical:
            if (hasSqm) length(sqmV, d);
            break;
        case kFieldPdop:
            length(point.GetPdop(), d);
            break;
        case kFieldGdop:
            length(point.GetGdop(), d);
            break;
        case kFieldCovariance: {
            const float terms[6] = {point.GetPosCov_xx(), point.GetPosCov_xy(),
                                    point.GetPosCov_xz(), point.GetPosCov_yy(),
                                    point.GetPosCov_yz(), point.GetPosCov_zz()};
            for (int i = 0; i < 6; ++i) {
                if (i > 0) line += separator;
                line += number(terms[i], d);
            }
            break;
        }
        case kFieldGroundElevationWgs84:
            if (defined(point.GetElev())) length(point.GetElev() - (defined(alt) ? alt : 0.0), d);
            break;
        case kFieldGroundGeocX:
        case kFieldGroundGeocY:
        case kFieldGroundGeocZ:
            if (hasGround)
                length(field.id == kFieldGroundGeocX   ? gx
                       : field.id == kFieldGroundGeocY ? gy
                                                       : gz,
                       d);
            break;
        default:
            // Quality, date, time of day, satellites, comment and GIS data: the field book of
            // gpsbook holds none of them, so the column stays empty.
            break;
        }
        if (!error.empty()) return {};
    }
    return line;
}

ExportOutcome asciiText(const CLibGps& book, const std::vector<int>& groups,
                        const AsciiLayout& layout, std::string& text) {
    ExportOutcome outcome;
    text.clear();
    if (layout.fields.empty()) {
        outcome.error = "Esportazione non eseguita: il formato di esportazione non ha campi; "
                        "sceglierli con \"Formato esportazione…\".";
        return outcome;
    }
    if (std::none_of(layout.fields.begin(), layout.fields.end(),
                     [](const AsciiLayout::Field& f) { return asciiFieldWritten(f.id); })) {
        outcome.error = "Esportazione non eseguita: nessuno dei campi scelti è tenuto dal "
                        "libretto, le righe sarebbero vuote; sceglierne altri con \"Formato "
                        "esportazione…\".";
        return outcome;
    }
    for (int g : groups) {
        for (int p = 0; p < book.GetPunArSize(g); ++p) {
            const CPunGps* point = book.GetPunAt(g, p);
            if (point == nullptr) continue;
            std::string error;
            std::string line = asciiLine(*point, layout, error);
            if (!error.empty()) {
                outcome.error = "Esportazione non eseguita: " + error + ".";
                text.clear();
                outcome.lines = 0;
                return outcome;
            }
            text += line;
            text += "\r\n";
            ++outcome.lines;
        }
    }
    return outcome;
}

ExportOutcome exportAscii(const std::string& path, const CLibGps& book,
                          const std::vector<int>& groups, const AsciiLayout& layout) {
    std::string text;
    ExportOutcome outcome = asciiText(book, groups, layout, text);
    if (!outcome.error.empty()) return outcome;
    std::string error = writeFileAtomically(path, text);
    if (!error.empty()) {
        outcome.error = error;
        outcome.lines = 0;
    }
    return outcome;
}

} // namespace gpsbook
