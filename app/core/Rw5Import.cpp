// The RW5 raw file of a field program: comma-separated records, one a line, each a record
// type (JB job, MO mode, LS line of sight, BP base point, GPS position, …) and fields made of
// a letter code and a value ("PN101", "LA44.294212", "HR2.000"); ",--" starts the record's
// note, and a line starting with "--" is a note of its own.
//
// What gpsbook reads: the GPS records (point name PN, latitude LA and longitude LN in dd.mmss,
// the antenna's ellipsoidal height EL, the note as description), the rod height HR of the LS
// records as the antenna height of the points that follow (the ground point is EL - HR), the
// BP records as the base station of the group, and the distance unit UN of the MO record
// (0 feet, 1 metres, 2 US survey feet) for HR and EL.
#include "AsciiImport.h"

#include "ImportText.h"

#include <cmath>
#include <numbers>
#include <string_view>

namespace gpsbook {

using namespace importtext;

namespace {

struct Record {
    std::size_t line = 0;
    std::string type;
    std::vector<std::string_view> fields; // after the type, without the note
    std::string_view note;
};

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    return text;
}

Record parseRecord(std::string_view line, std::size_t number) {
    Record record;
    record.line = number;
    if (const size_t note = line.find(",--"); note != std::string_view::npos) {
        record.note = line.substr(note + 3);
        line = line.substr(0, note);
    }
    bool first = true;
    while (true) {
        const size_t comma = line.find(',');
        const std::string_view field = trimmed(line.substr(0, comma));
        if (first)
            record.type = std::string(field);
        else
            record.fields.push_back(field);
        first = false;
        if (comma == std::string_view::npos) break;
        line.remove_prefix(comma + 1);
    }
    return record;
}

// The value of the field with \p tag, or null when the record has none.
const std::string_view* field(const Record& record, std::string_view tag, std::string_view& value) {
    for (const std::string_view& f : record.fields)
        if (f.substr(0, tag.size()) == tag) {
            value = trimmed(f.substr(tag.size()));
            return &f;
        }
    return nullptr;
}

// A dd.mmss value whose minutes or seconds are 60 or more: the file's angles are decimal
// degrees.
bool cannotBeSexagesimal(std::string_view value) {
    if (!value.empty() && value.front() == '-') value.remove_prefix(1);
    const size_t dot = value.find('.');
    if (dot == std::string_view::npos) return false;
    const std::string_view packed = value.substr(dot + 1);
    if (packed.size() < 4) return false;
    for (char c : packed.substr(0, 4))
        if (c < '0' || c > '9') return false;
    const int minutes = (packed[0] - '0') * 10 + (packed[1] - '0');
    const int seconds = (packed[2] - '0') * 10 + (packed[3] - '0');
    return minutes >= 60 || seconds >= 60;
}

class Reader {
public:
    explicit Reader(ImportOutcome& outcome) : m_outcome(outcome) {}

    bool unit(const Record& record) {
        std::string_view value;
        if (!field(record, "UN", value)) return true;
        if (value == "0")
            m_unit = 0.3048;
        else if (value == "1")
            m_unit = 1.0;
        else if (value == "2")
            m_unit = 1200.0 / 3937.0;
        else
            return fail(record, "unità di misura non valida: \"UN" + excerpt(value) +
                                    "\" (ammesse 0 piedi, 1 metri, 2 piedi US)");
        return true;
    }

    bool rodHeight(const Record& record) {
        std::string_view value;
        if (!field(record, "HR", value)) return true;
        return length(record, "HR", value, m_rod);
    }

    bool position(const Record& record, std::string& name, double& lat, double& lon, double& elev,
                  const char* kind) {
        std::string_view pn, la, ln, el;
        const bool complete = field(record, "PN", pn) && !pn.empty() && field(record, "LA", la) &&
                              field(record, "LN", ln) && field(record, "EL", el);
        if (field(record, "LA", la) && !angle(record, "LA", la, 90, lat)) return false;
        if (field(record, "LN", ln) && !angle(record, "LN", ln, 360, lon)) return false;
        if (field(record, "EL", el) && !length(record, "EL", el, elev)) return false;
        if (!complete)
            return fail(record, std::string("il record ") + kind + " deve avere PN, LA, LN ed EL");
        name = std::string(pn);
        return true;
    }

    bool length(const Record& record, const char* tag, std::string_view value, double& target) {
        double read = 0.0;
        if (value.empty() || !readNumber(value, read))
            return fail(record, "valore non valido: \"" + std::string(tag) + excerpt(value) + "\"");
        if (std::fabs(read) > kMaxLength)
            return fail(record, "valore fuori intervallo: \"" + std::string(tag) + excerpt(value) +
                                    "\" (ammessi valori tra -1e15 e 1e15)");
        target = read * m_unit;
        return true;
    }

    bool angle(const Record& record, const char* tag, std::string_view value, int limit,
               double& target) {
        double read = 0.0;
        if (value.empty() || !parseAngle(std::string(value), m_decimalDegrees ? 3 : 2, read))
            return fail(record, "valore non valido: \"" + std::string(tag) + excerpt(value) + "\"");
        if (!(std::fabs(read) <= limit * std::numbers::pi / 180.0)) {
            const std::string l = std::to_string(limit);
            return fail(record, "valore fuori intervallo: \"" + std::string(tag) + excerpt(value) +
                                    "\" (ammessi da -" + l + "° a " + l + "°)");
        }
        target = read;
        return true;
    }

    bool fail(const Record& record, const std::string& what) {
        m_outcome.error = lineError(record.line, what);
        return false;
    }

    double rod() const { return m_rod; }
    bool m_decimalDegrees = false;

private:
    ImportOutcome& m_outcome;
    double m_unit = 1.0;
    double m_rod = kNoValue;
};

bool sameBase(const ImportedBase& a, const ImportedBase& b) {
    return a.name == b.name && a.lat == b.lat && a.lon == b.lon && a.elev == b.elev &&
           (a.antenna == b.antenna || (!defined(a.antenna) && !defined(b.antenna)));
}

} // namespace

ImportOutcome importRw5Text(const std::string& bytes, CLibGps& book, const std::string& groupName) {
    ImportOutcome outcome;
    std::string text = bytes;
    std::string encodingNote;
    outcome.error = decodeText(text, encodingNote);
    if (!outcome.error.empty()) {
        outcome.error = "Nessun punto importato: " + outcome.error + ".";
        return outcome;
    }
    std::vector<Record> records;
    const std::vector<std::string_view> lines = splitLines(text);
    for (std::size_t n = 0; n < lines.size(); ++n) {
        const std::string_view line = trimmed(lines[n]);
        if (line.empty() || line.substr(0, 2) == "--") continue;
        records.push_back(parseRecord(line, n + 1));
    }

    // One reading of the angles for the whole file: dd.mmss, unless a value cannot be.
    Reader reader(outcome);
    std::string dialectNote;
    for (const Record& record : records) {
        if (record.type != "GPS" && record.type != "BP") continue;
        for (const char* tag : {"LA", "LN"}) {
            std::string_view value;
            if (!reader.m_decimalDegrees && field(record, tag, value) &&
                cannotBeSexagesimal(value)) {
                reader.m_decimalDegrees = true;
                dialectNote = "LA e LN sono stati letti in gradi decimali per tutto il file: alla "
                              "riga " +
                              std::to_string(record.line) + " \"" + tag + excerpt(value) +
                              "\" non può essere in gradi, primi e secondi (gg.ppss).";
            }
        }
    }

    std::vector<ImportedGroup> groups(1);
    bool anyGps = false;
    for (const Record& record : records) {
        if (record.type == "MO") {
            if (!reader.unit(record)) return outcome;
        } else if (record.type == "LS") {
            if (!reader.rodHeight(record)) return outcome;
        } else if (record.type == "BP") {
            ImportedBase base;
            base.present = true;
            if (!reader.position(record, base.name, base.lat, base.lon, base.elev, "BP"))
                return outcome;
            std::string_view ag;
            if (field(record, "AG", ag) && !reader.length(record, "AG", ag, base.antenna))
                return outcome;
            ImportedGroup& current = groups.back();
            if (current.points.empty())
                current.base = base; // the last base point before the first position counts
            else if (!current.base.present || !sameBase(current.base, base))
                groups.push_back(ImportedGroup{base, {}});
        } else if (record.type == "GPS") {
            anyGps = true;
            ImportedPoint point;
            if (!reader.position(record, point.name, point.lat, point.lon, point.elev, "GPS"))
                return outcome;
            point.description = std::string(record.note);
            point.antenna = defined(reader.rod()) ? reader.rod() : 0.0;
            groups.back().points.push_back(std::move(point));
        }
        // Job, traverse, side shots and the other records carry no GPS position.
    }
    if (!anyGps) {
        outcome.error = "Nessun punto importato: il file non ha record GPS (posizioni GPS).";
        return outcome;
    }
    outcome.group = addGroups(groups, book, groupName, outcome.points);
    for (const ImportedGroup& group : groups)
        outcome.groups += group.points.empty() ? 0 : 1;
    outcome.note = encodingNote;
    if (!dialectNote.empty()) outcome.note += (outcome.note.empty() ? "" : "\n") + dialectNote;
    return outcome;
}

} // namespace gpsbook
