#include "core/FieldBook.h"

#include "core/AtomicFile.h"
#include "core/ImportText.h"

#include <nlohmann/json.hpp>

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <new>
#include <numbers>
#include <string_view>
#include <unordered_map>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace gpsbook {

namespace {

// ordered_json keeps members in the order written, so the file reads top-down like the book.
using Json = nlohmann::ordered_json;
// Reading needs no order, and ordered_json would not do: it finds a member by walking all of
// them, and growing an object copies its members deep (a long or deeply nested file costs
// quadratic time or the whole stack). The plain container finds by key and moves members.
using Doc = nlohmann::json;

// Nesting of a real book goes 8 levels deep (a GIS vertex); more than this is refused rather
// than built, whatever members are unknown to this version.
constexpr int kMaxNesting = 64;

// Raised while reading or writing; caught at the entry points and turned into a message.
struct FormatError {
    std::string message;
};

struct CodeName {
    const char* name;
    unsigned bit;
};

constexpr CodeName kCodes[] = {
    {"OR", EGN_CODE_OR}, {"QU", EGN_CODE_QU}, {"OC", EGN_CODE_OC}, {"NC", EGN_CODE_NC},
    {"CL", EGN_CODE_CL}, {"NT", EGN_CODE_NT}, {"LD", EGN_CODE_LD}, {"FL", EGN_CODE_FL},
    {"NP", EGN_CODE_NP}, {"NE", EGN_CODE_NE}, {"IL", EGN_CODE_IL}, {"NV", EGN_CODE_NV},
    {"NL", EGN_CODE_NL},
};

constexpr const char* kCovarianceTerms[] = {"xx", "xy", "xz", "yy", "yz", "zz"};

std::string member(const std::string& where, const std::string& key) {
    return where.empty() ? key : where + "." + key;
}

std::string item(const std::string& where, std::size_t index) {
    return where + "[" + std::to_string(index) + "]";
}

bool isValidUtf8(const std::string& text) {
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    const auto* end = p + text.size();
    while (p < end) {
        unsigned char c = *p;
        int more = 0;
        std::uint32_t cp = 0;
        if (c < 0x80) {
            ++p;
            continue;
        } else if ((c & 0xE0) == 0xC0) {
            more = 1;
            cp = c & 0x1F;
        } else if ((c & 0xF0) == 0xE0) {
            more = 2;
            cp = c & 0x0F;
        } else if ((c & 0xF8) == 0xF0) {
            more = 3;
            cp = c & 0x07;
        } else {
            return false;
        }
        if (end - p <= more) return false;
        for (int i = 1; i <= more; ++i) {
            if ((p[i] & 0xC0) != 0x80) return false;
            cp = (cp << 6) | (p[i] & 0x3F);
        }
        static constexpr std::uint32_t kMinimum[] = {0, 0x80, 0x800, 0x10000};
        if (cp < kMinimum[more] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
        p += more + 1;
    }
    return true;
}

// Text taken from a file for a message: at most \p maxChars characters (then "…"), every byte
// that is not part of valid UTF-8 shown as U+FFFD and control characters as blanks, so that
// a message stays short and displayable whatever the file holds.
std::string excerpt(std::string_view text, std::size_t maxChars = 40) {
    std::string out;
    std::size_t chars = 0;
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    const auto* end = p + text.size();
    while (p < end) {
        if (chars == maxChars) {
            out += "…";
            break;
        }
        ++chars;
        const unsigned char c = *p;
        if (c < 0x80) {
            out += (c < 0x20 || c == 0x7F) ? ' ' : static_cast<char>(c);
            ++p;
            continue;
        }
        // The length of a valid sequence starting here, or 0.
        std::size_t length = 0;
        if (c >= 0xC2 && c <= 0xDF)
            length = 2;
        else if (c >= 0xE0 && c <= 0xEF)
            length = 3;
        else if (c >= 0xF0 && c <= 0xF4)
            length = 4;
        if (length != 0 && static_cast<std::size_t>(end - p) >= length) {
            const std::string_view sequence(reinterpret_cast<const char*>(p), length);
            if (isValidUtf8(std::string(sequence))) {
                out += sequence;
                p += length;
                continue;
            }
        }
        out += "\xEF\xBF\xBD"; // U+FFFD
        ++p;
    }
    return out;
}

// The parser's messages quote what it last read ("last read: '…'", "parsing '…'"), which may
// be most of the file: a long quote keeps its start and its end, where the fault is.
std::string shortenQuoted(const std::string& message) {
    const std::size_t open = message.find('\'');
    const std::size_t close = message.rfind('\'');
    if (open == std::string::npos || close <= open) return excerpt(message, 300);
    std::string_view quoted = std::string_view(message).substr(open + 1, close - open - 1);
    std::string shown;
    constexpr std::size_t kEnds = 24; // bytes kept at either end
    if (quoted.size() <= 3 * kEnds) {
        shown = excerpt(quoted, 3 * kEnds);
    } else {
        std::size_t tail = quoted.size() - kEnds;
        while (tail < quoted.size() && (static_cast<unsigned char>(quoted[tail]) & 0xC0) == 0x80)
            ++tail; // start the end part on a character
        shown = excerpt(quoted.substr(0, kEnds), kEnds) + "…" + excerpt(quoted.substr(tail));
    }
    return excerpt(message.substr(0, open + 1), 300) + shown + excerpt(message.substr(close), 300);
}

// ---- writing ---------------------------------------------------------------------------------

class Writer {
public:
    explicit Writer(gis::CLibGis* gis) : m_gis(gis) {}

    Json document(const CLibGps& book, const CCts& context, const CDrawEng* drawings,
                  const std::vector<DrawingPoint>* drawingPoints) {
        Json doc = Json::object();
        doc["format"] = kFormatName;
        doc["version"] = kFormatVersion;
        doc["context"] = {
            {"surveyRowLabel", text(context.m_Rig.GetLblNome2(), "context.surveyRowLabel")}};
        Json models = Json::array();
        for (int i = 0; i < book.m_OpzListDisEgn.GetNuOpzCom(); ++i) {
            const COpzDisEgn* option = book.m_OpzListDisEgn.GetOpzCom(i);
            models.push_back(
                text(option ? option->GetNomeOpz() : std::string(), item("graphicModels", i)));
        }
        doc["graphicModels"] = std::move(models);
        Json groups = Json::array();
        for (int g = 0; g < book.GetGrpArSize(); ++g)
            groups.push_back(group(*book.GetGrpAt(g), drawings, item("groups", g)));
        doc["groups"] = std::move(groups);
        doc["gisThemes"] = themes();
        Json drawn = Json::array();
        if (drawingPoints != nullptr) {
            for (std::size_t i = 0; i < drawingPoints->size(); ++i) {
                const DrawingPoint& p = (*drawingPoints)[i];
                const std::string where = item("drawingPoints", i);
                drawn.push_back({{"name", text(p.name, member(where, "name"))},
                                 {"description", text(p.description, member(where, "description"))},
                                 {"plane", triple(p.east, p.north, p.height)}});
            }
        }
        doc["drawingPoints"] = std::move(drawn);
        return doc;
    }

private:
    // A text that is not UTF-8 (bytes taken in before imports read such files as Latin-1)
    // is written as Latin-1, as an import reads it today, so that such a book can be saved.
    Json text(const std::string& value, const std::string&) const {
        return isValidUtf8(value) ? value : importtext::utf8OrLatin1(value);
    }

    static Json number(double value) {
        if (!IsEgnValueDefined(value) || !std::isfinite(value)) return nullptr;
        return value;
    }

    // Single-precision values are written with the shortest decimal text that reads back to
    // the same float, so that 0.0001f is written 0.0001 and not 9.999999747378752e-05.
    static Json floatNumber(float value) {
        if (!std::isfinite(value)) return nullptr;
        char buffer[64];
        auto written = std::to_chars(buffer, buffer + sizeof buffer, value);
        double shortest = 0.0;
        auto read = std::from_chars(buffer, written.ptr, shortest);
        if (read.ec == std::errc() && static_cast<float>(shortest) == value &&
            std::signbit(shortest) == std::signbit(value))
            return shortest;
        return static_cast<double>(value);
    }

    // A position none of whose parts is defined is written as a plain null.
    static Json triple(double x, double y, double z) {
        if (number(x).is_null() && number(y).is_null() && number(z).is_null()) return nullptr;
        return {{"x", number(x)}, {"y", number(y)}, {"z", number(z)}};
    }

    static Json codes(const CEgn& element) {
        Json list = Json::array();
        unsigned mask = element.GetCodeMask();
        for (const CodeName& code : kCodes)
            if (mask & code.bit) list.push_back(code.name);
        return list;
    }

    static Json statErrors(const CEgn& element) {
        double e[6];
        element.GetDatiErrStat(e[0], e[1], e[2], e[3], e[4], e[5]);
        Json list = Json::array();
        bool anyDefined = false;
        for (double v : e) {
            list.push_back(number(v));
            anyDefined = anyDefined || !list.back().is_null();
        }
        return anyDefined ? list : Json(nullptr);
    }

    // Members every survey element has, in the order they open an element's object.
    void elementHead(Json& out, const CEgn& element, const std::string& where) const {
        out["name"] = text(element.GetNome(), member(where, "name"));
        out["description"] = text(element.GetSecScri(), member(where, "description"));
        out["note"] = text(element.GetNote(), member(where, "note"));
        out["graphicModel"] = text(element.GetAttribDis(), member(where, "graphicModel"));
    }

    void elementTail(Json& out, const CEgn& element) const {
        out["plane"] = triple(element.GetCoordX(), element.GetCoordY(), element.GetCoordZ());
        out["codes"] = codes(element);
        out["statErrors"] = statErrors(element);
        if (Json link = gisLink(element); !link.is_null()) out["gis"] = std::move(link);
    }

    Json group(const CGrpGps& grp, const CDrawEng* drawings, const std::string& where) const {
        Json out = Json::object();
        out["name"] = text(grp.GetNomeGrp(), member(where, "name"));
        if (grp.GetProjection().empty()) {
            out["projection"] = nullptr;
        } else {
            out["projection"] = {
                {"crs", text(grp.GetProjection(), member(where, "projection.crs"))},
                {"undulation", number(grp.GetUndulation())}};
        }
        out["drawing"] = grp.GetTargetDrawing();
        out["drawingLocked"] =
            drawings != nullptr && drawings->IsDrawingLocked(grp.GetTargetDrawing());

        const std::string at = member(where, "station");
        Json station = Json::object();
        elementHead(station, grp, at);
        station["antennaHeight"] = number(grp.GetBaseAltAnt());
        double x = EGN_NOVALUE, y = EGN_NOVALUE, z = EGN_NOVALUE;
        grp.GetGeocCeFaMis(x, y, z);
        station["geocentric"] = triple(x, y, z);
        station["receiverType"] = grp.GetTipoRicevitore();
        station["surveyType"] = grp.GetTipoRilievo();
        station["referenceNetwork"] = grp.GetBaseEurefCode();
        station["pdop"] = number(grp.m_dPdop);
        station["gdop"] = number(grp.m_dGdop);
        elementTail(station, grp);
        out["station"] = std::move(station);

        Json points = Json::array();
        for (int p = 0; p < grp.GetPunCount(); ++p)
            points.push_back(point(*grp.GetPunAt(p), item(member(where, "points"), p)));
        out["points"] = std::move(points);
        return out;
    }

    Json point(const CPunGps& pt, const std::string& where) const {
        Json out = Json::object();
        elementHead(out, pt, where);
        out["antennaHeight"] = number(pt.GetAltAnt());
        out["latitudeRad"] = number(pt.GetLat());
        out["longitudeRad"] = number(pt.GetLong());
        out["elevation"] = number(pt.GetElev());
        elementTail(out, pt);
        out["pdop"] = number(pt.GetPdop());
        out["gdop"] = number(pt.GetGdop());
        const float cov[6] = {pt.GetPosCov_xx(), pt.GetPosCov_xy(), pt.GetPosCov_xz(),
                              pt.GetPosCov_yy(), pt.GetPosCov_yz(), pt.GetPosCov_zz()};
        bool anyCovariance = false;
        for (float v : cov)
            anyCovariance = anyCovariance || v != 0.0f || std::signbit(v);
        if (anyCovariance) {
            Json terms = Json::object();
            for (int i = 0; i < 6; ++i)
                terms[kCovarianceTerms[i]] = floatNumber(cov[i]);
            out["covariance"] = std::move(terms);
        } else {
            out["covariance"] = nullptr;
        }
        out["vrs"] = pt.IsPointVrs();
        return out;
    }

    Json gisLink(const CEgn& element) const {
        gis::CEntVert* vertex = element.GetEntVert();
        if (m_gis == nullptr || vertex == nullptr) return nullptr;
        gis::CEnt* ent = gis::CLibGis::GetEnt(vertex);
        gis::CTheme* theme = gis::CLibGis::GetTheme(ent);
        if (theme == nullptr) return nullptr;
        if (m_entityIndex.empty()) indexEntities();
        const auto found = m_entityIndex.find(ent);
        const int entity = found == m_entityIndex.end() ? -1 : found->second;
        int part = -1, vert = -1;
        if (entity < 0 || !m_gis->FindEntVertIndex(ent, vertex, part, vert)) return nullptr;
        return {{"theme", text(theme->GetName().GetText(), "gis.theme")},
                {"entity", entity},
                {"part", part},
                {"vertex", vert}};
    }

    static const char* fieldTypeName(gis::FieldDataType type) {
        switch (type) {
        case gis::FieldDataType::Long:
            return "long";
        case gis::FieldDataType::Double:
            return "double";
        case gis::FieldDataType::Text:
            return "text";
        case gis::FieldDataType::Bool:
            return "bool";
        case gis::FieldDataType::Date:
            return "date";
        }
        return "text";
    }

    Json value(const kit::CPolyValue& v, const std::string& where) const {
        switch (v.GetType()) {
        case kit::CPolyValue::Type::Empty:
            return nullptr;
        case kit::CPolyValue::Type::Long:
            return v.GetLong();
        case kit::CPolyValue::Type::Double: {
            // An attribute is the user's value, whatever its size: the no-value convention of
            // the survey values does not apply to it.
            const double d = v.GetDouble();
            return std::isfinite(d) ? Json(d) : Json(nullptr);
        }
        case kit::CPolyValue::Type::Bool:
            return v.GetBool();
        case kit::CPolyValue::Type::Text:
            return text(v.ToString().GetText(), where);
        case kit::CPolyValue::Type::Date: {
            const kit::Date d = v.GetDate();
            char iso[48];
            std::snprintf(iso, sizeof iso, "%04d-%02d-%02d", d.year, d.month, d.day);
            return iso;
        }
        }
        return nullptr;
    }

    Json themes() const {
        Json list = Json::array();
        if (m_gis == nullptr) return list;
        for (int t = 0; t < m_gis->GetNumThemes(); ++t) {
            const std::string where = item("gisThemes", t);
            gis::CTheme* theme = m_gis->GetTheme(t);
            gis::CDBTable* table = m_gis->GetTable(theme);
            Json out = Json::object();
            out["name"] = text(gis::CLibGis::GetThemeName(theme).GetText(), member(where, "name"));
            out["entityType"] = gis::CLibGis::GetEntType(theme);
            Json fields = Json::array();
            const int fieldCount = m_gis->GetNumFields(table);
            for (int f = 0; f < fieldCount; ++f) {
                gis::CField* field = m_gis->GetField(table, f);
                fields.push_back({{"name", text(gis::CLibGis::GetFieldName(field),
                                                member(item(member(where, "fields"), f), "name"))},
                                  {"type", fieldTypeName(gis::CLibGis::GetFieldDataType(field))},
                                  {"kind", m_gis->GetFieldType(field)}});
            }
            out["fields"] = std::move(fields);
            Json entities = Json::array();
            for (int e = 0; e < theme->GetNumEnts(); ++e) {
                const std::string at = item(member(where, "entities"), e);
                gis::CEnt* ent = theme->GetEntAt(e);
                Json parts = Json::array();
                for (int p = 0; p < ent->GetNumParts(); ++p) {
                    gis::CEntPart* part = m_gis->GetEntPart(ent, p);
                    Json vertices = Json::array();
                    for (int v = 0; v < part->GetNumVerts(); ++v) {
                        const kit::geom::PNT_3D& pos = m_gis->GetEntVert(part, v)->GetCoord();
                        vertices.push_back(
                            Json::array({number(pos.x), number(pos.y), number(pos.z)}));
                    }
                    parts.push_back(std::move(vertices));
                }
                Json values = Json::array();
                kit::CResultRow* row = m_gis->GetRow(ent);
                for (int f = 0; f < fieldCount; ++f) {
                    kit::CPolyValue v;
                    m_gis->GetRowValue(row, f, v);
                    values.push_back(value(v, item(member(at, "values"), f)));
                }
                entities.push_back({{"parts", std::move(parts)}, {"values", std::move(values)}});
            }
            out["entities"] = std::move(entities);
            list.push_back(std::move(out));
        }
        return list;
    }

    // The position of every entity within its theme, found once for the whole book.
    void indexEntities() const {
        for (int t = 0; t < m_gis->GetNumThemes(); ++t) {
            gis::CTheme* theme = m_gis->GetTheme(t);
            for (int i = 0; i < theme->GetNumEnts(); ++i)
                m_entityIndex.emplace(theme->GetEntAt(i), i);
        }
    }

    gis::CLibGis* m_gis;
    mutable std::unordered_map<const gis::CEnt*, int> m_entityIndex;
};

// ---- reading ---------------------------------------------------------------------------------

const char* kindName(const Doc& value) {
    switch (value.type()) {
    case Doc::value_t::null:
        return "null";
    case Doc::value_t::object:
        return "un oggetto";
    case Doc::value_t::array:
        return "un elenco";
    case Doc::value_t::string:
        return "un testo";
    case Doc::value_t::boolean:
        return "un valore vero/falso";
    case Doc::value_t::number_integer:
    case Doc::value_t::number_unsigned:
    case Doc::value_t::number_float:
        return "un numero";
    default:
        return "un valore non valido";
    }
}

[[noreturn]] void wrongType(const Doc& value, const std::string& where, const char* expected) {
    throw FormatError{"\"" + where + "\" deve essere " + expected + ", invece è " +
                      kindName(value)};
}

[[noreturn]] void outOfRange(const std::string& where, const std::string& why) {
    throw FormatError{"valore fuori intervallo in \"" + where + "\": " + why};
}

const Doc* find(const Doc& object, const char* key) {
    auto it = object.find(key);
    return it == object.end() ? nullptr : &*it;
}

const Doc& required(const Doc& object, const char* key, const std::string& where) {
    const Doc* found = find(object, key);
    if (found == nullptr)
        throw FormatError{"manca il campo obbligatorio \"" + member(where, key) + "\""};
    return *found;
}

void expectObject(const Doc& value, const std::string& where) {
    if (!value.is_object()) wrongType(value, where, "un oggetto");
}

void expectArray(const Doc& value, const std::string& where) {
    if (!value.is_array()) wrongType(value, where, "un elenco");
}

std::string readText(const Doc& value, const std::string& where) {
    if (!value.is_string()) wrongType(value, where, "un testo");
    return value.get<std::string>();
}

std::string optionalText(const Doc& object, const char* key, const std::string& where) {
    const Doc* found = find(object, key);
    return found == nullptr ? std::string() : readText(*found, member(where, key));
}

// A double of the data objects: null (or absent) is the no-value marker, and so is any number
// at or above the limit of defined values.
double readNumber(const Doc& value, const std::string& where) {
    if (value.is_null()) return EGN_NOVALUE;
    if (!value.is_number()) wrongType(value, where, "un numero o null");
    double v = value.get<double>();
    return IsEgnValueDefined(v) ? v : EGN_NOVALUE;
}

double optionalNumber(const Doc& object, const char* key, const std::string& where) {
    const Doc* found = find(object, key);
    return found == nullptr ? EGN_NOVALUE : readNumber(*found, member(where, key));
}

bool optionalBool(const Doc& object, const char* key, const std::string& where, bool def) {
    const Doc* found = find(object, key);
    if (found == nullptr) return def;
    if (!found->is_boolean()) wrongType(*found, member(where, key), "true o false");
    return found->get<bool>();
}

long long readInteger(const Doc& value, const std::string& where, long long min, long long max) {
    if (!value.is_number_integer()) wrongType(value, where, "un numero intero");
    if (value.is_number_unsigned() &&
        value.get<std::uint64_t>() >
            static_cast<std::uint64_t>(std::numeric_limits<long long>::max()))
        outOfRange(where, "ammessi valori da " + std::to_string(min) + " a " + std::to_string(max));
    long long v = value.get<long long>();
    if (v < min || v > max)
        outOfRange(where, "ammessi valori da " + std::to_string(min) + " a " + std::to_string(max));
    return v;
}

long long optionalInteger(const Doc& object, const char* key, const std::string& where,
                          long long def, long long min, long long max) {
    const Doc* found = find(object, key);
    return found == nullptr ? def : readInteger(*found, member(where, key), min, max);
}

void readTriple(const Doc& object, const char* key, const std::string& where, double& x, double& y,
                double& z) {
    x = y = z = EGN_NOVALUE;
    const Doc* found = find(object, key);
    if (found == nullptr || found->is_null()) return;
    const std::string at = member(where, key);
    expectObject(*found, at);
    x = optionalNumber(*found, "x", at);
    y = optionalNumber(*found, "y", at);
    z = optionalNumber(*found, "z", at);
}

void readElement(const Doc& object, const std::string& where, CEgn& element) {
    element.SetNome(readText(required(object, "name", where), member(where, "name")));
    element.SetSecScri(optionalText(object, "description", where));
    element.SetNote(optionalText(object, "note", where));
    element.SetAttribDis(optionalText(object, "graphicModel", where));

    double x, y, z;
    readTriple(object, "plane", where, x, y, z);
    element.SetCoordXY(x, y);
    element.SetCoordZ(z);

    unsigned mask = 0;
    if (const Doc* codes = find(object, "codes")) {
        const std::string at = member(where, "codes");
        expectArray(*codes, at);
        for (std::size_t i = 0; i < codes->size(); ++i) {
            std::string name = readText((*codes)[i], item(at, i));
            bool known = false;
            for (const CodeName& code : kCodes) {
                if (name == code.name) {
                    mask |= code.bit;
                    known = true;
                }
            }
            if (!known)
                outOfRange(item(at, i), "codice \"" + excerpt(name) +
                                            "\" sconosciuto (ammessi OR, QU, OC, NC, CL, NT, "
                                            "LD, FL, NP, NE, IL, NV, NL)");
        }
    }
    element.SetCodeMask(mask);

    double e[6] = {EGN_NOVALUE, EGN_NOVALUE, EGN_NOVALUE, EGN_NOVALUE, EGN_NOVALUE, EGN_NOVALUE};
    if (const Doc* errors = find(object, "statErrors"); errors != nullptr && !errors->is_null()) {
        const std::string at = member(where, "statErrors");
        expectArray(*errors, at);
        if (errors->size() != 6)
            outOfRange(at, "servono 6 valori, ce ne sono " + std::to_string(errors->size()));
        for (std::size_t i = 0; i < 6; ++i)
            e[i] = readNumber((*errors)[i], item(at, i));
    }
    element.SetDatiErrStat(e[0], e[1], e[2], e[3], e[4], e[5]);
}

float readFloat(const Doc& value, const std::string& where) {
    if (value.is_null()) return 0.0f;
    if (!value.is_number()) wrongType(value, where, "un numero o null");
    double v = value.get<double>();
    // The largest float's shortest text (3.4028235e38) reads as a double just above it; every
    // value below the largest float plus half its spacing rounds to a finite float.
    const double limit =
        static_cast<double>(std::numeric_limits<float>::max()) + std::ldexp(1.0, 103);
    if (!(std::fabs(v) < limit))
        outOfRange(where, "il valore non sta in un numero a precisione singola");
    return static_cast<float>(v);
}

void checkAngle(double value, double limit, const std::string& where, const char* what) {
    if (IsEgnValueDefined(value) && !(std::fabs(value) <= limit))
        outOfRange(where, std::string(what) + " in radianti oltre ±" + std::to_string(limit));
}

class Reader {
public:
    explicit Reader(FieldBook& target) : m_fb(target) {}

    void document(const Doc& doc) {
        expectObject(doc, "il documento");
        const Doc& format = required(doc, "format", "");
        if (!format.is_string() || format.get<std::string>() != kFormatName)
            throw FormatError{std::string("non è un libretto GPS (il campo \"format\" deve "
                                          "valere \"") +
                              kFormatName + "\")"};
        const Doc& version = required(doc, "version", "");
        if (!version.is_number_integer()) wrongType(version, "version", "un numero intero");
        if (version.get<long long>() < 1 || version.get<long long>() > kFormatVersion)
            throw FormatError{"versione " + version.dump() +
                              " del formato non supportata (questo programma legge fino alla "
                              "versione " +
                              std::to_string(kFormatVersion) + ")"};

        if (const Doc* context = find(doc, "context"); context != nullptr && !context->is_null()) {
            expectObject(*context, "context");
            m_fb.context.m_Rig.SetLblNome2(optionalText(*context, "surveyRowLabel", "context"));
        }
        if (const Doc* models = find(doc, "graphicModels")) {
            expectArray(*models, "graphicModels");
            for (std::size_t i = 0; i < models->size(); ++i)
                m_fb.book.m_OpzListDisEgn.AddOpzCom(
                    readText((*models)[i], item("graphicModels", i)));
        }
        // Themes before groups: the elements link to the themes' vertices.
        if (const Doc* themes = find(doc, "gisThemes")) {
            expectArray(*themes, "gisThemes");
            for (std::size_t i = 0; i < themes->size(); ++i)
                theme((*themes)[i], item("gisThemes", i));
        }
        const Doc& groups = required(doc, "groups", "");
        expectArray(groups, "groups");
        for (std::size_t i = 0; i < groups.size(); ++i)
            group(groups[i], item("groups", i));
        if (const Doc* drawn = find(doc, "drawingPoints")) {
            expectArray(*drawn, "drawingPoints");
            for (std::size_t i = 0; i < drawn->size(); ++i)
                drawingPoint((*drawn)[i], item("drawingPoints", i));
        }
    }

private:
    // A drawn point needs its whole plane position: it is all there is to compute its
    // geographic position from when it is transferred.
    void drawingPoint(const Doc& object, const std::string& where) {
        expectObject(object, where);
        DrawingPoint p;
        p.name = readText(required(object, "name", where), member(where, "name"));
        p.description = optionalText(object, "description", where);
        const std::string at = member(where, "plane");
        const Doc& plane = required(object, "plane", where);
        expectObject(plane, at);
        double* parts[] = {&p.east, &p.north, &p.height};
        const char* keys[] = {"x", "y", "z"};
        for (int i = 0; i < 3; ++i) {
            const std::string partAt = member(at, keys[i]);
            const Doc& value = required(plane, keys[i], at);
            if (!value.is_number()) wrongType(value, partAt, "un numero");
            *parts[i] = value.get<double>();
            if (!std::isfinite(*parts[i]) || std::fabs(*parts[i]) >= 1e15)
                outOfRange(partAt, "ammessi valori tra -1e15 e 1e15");
        }
        m_fb.drawingPoints.push_back(std::move(p));
    }

    void group(const Doc& object, const std::string& where) {
        expectObject(object, where);
        std::string name = readText(required(object, "name", where), member(where, "name"));
        CGrpGps* grp = m_fb.book.AddGrp(name);

        if (const Doc* proj = find(object, "projection"); proj != nullptr && !proj->is_null()) {
            const std::string at = member(where, "projection");
            expectObject(*proj, at);
            std::string crs = readText(required(*proj, "crs", at), member(at, "crs"));
            double undulation = optionalNumber(*proj, "undulation", at);
            if (!IsEgnValueDefined(undulation)) undulation = 0.0;
            std::string why;
            if (crs.empty()) outOfRange(member(at, "crs"), "il sistema di riferimento è vuoto");
            if (!grp->SetProjection(crs, undulation, &why))
                outOfRange(member(at, "crs"),
                           "sistema di riferimento \"" + excerpt(crs) + "\" non riconosciuto" +
                               (why.empty() ? "" : " (" + excerpt(why, 200) + ")"));
        }
        auto drawing = static_cast<std::uint64_t>(0);
        if (const Doc* d = find(object, "drawing")) {
            // The parser gives every integer without sign as unsigned.
            if (!d->is_number_unsigned())
                wrongType(*d, member(where, "drawing"), "un numero intero non negativo");
            drawing = d->get<std::uint64_t>();
        }
        grp->SetTargetDrawing(drawing);
        if (optionalBool(object, "drawingLocked", where, false)) m_fb.drawings.LockDrawing(drawing);

        const std::string at = member(where, "station");
        const Doc& station = required(object, "station", where);
        expectObject(station, at);
        readElement(station, at, *grp);
        grp->SetBaseAltAnt(optionalNumber(station, "antennaHeight", at));
        double x, y, z;
        readTriple(station, "geocentric", at, x, y, z);
        if (IsEgnValueDefined(x) || IsEgnValueDefined(y) || IsEgnValueDefined(z))
            grp->SetGeocCeFaMis(x, y, z);
        grp->SetTipoRicevitore(
            static_cast<unsigned char>(optionalInteger(station, "receiverType", at, 0, 0, 255)));
        grp->SetTipoRilievo(
            static_cast<unsigned char>(optionalInteger(station, "surveyType", at, 0, 0, 255)));
        long long network =
            optionalInteger(station, "referenceNetwork", at, 0, 0, std::numeric_limits<int>::max());
        if (network > 0) grp->SetBaseEuref(static_cast<int>(network));
        grp->m_dPdop = optionalNumber(station, "pdop", at);
        grp->m_dGdop = optionalNumber(station, "gdop", at);
        link(station, at, *grp);

        const Doc* points = find(object, "points");
        if (points == nullptr) return;
        const std::string pointsAt = member(where, "points");
        expectArray(*points, pointsAt);
        for (std::size_t i = 0; i < points->size(); ++i)
            point((*points)[i], item(pointsAt, i), *grp);
    }

    void point(const Doc& object, const std::string& where, CGrpGps& grp) {
        expectObject(object, where);
        CPunGps* pt = grp.AddPun();
        readElement(object, where, *pt);
        pt->SetAltAnt(optionalNumber(object, "antennaHeight", where));
        double lat = optionalNumber(object, "latitudeRad", where);
        double lon = optionalNumber(object, "longitudeRad", where);
        checkAngle(lat, std::numbers::pi / 2, member(where, "latitudeRad"), "latitudine");
        checkAngle(lon, 2 * std::numbers::pi, member(where, "longitudeRad"), "longitudine");
        pt->SetGeo(lat, lon, optionalNumber(object, "elevation", where));
        pt->SetPdop(optionalNumber(object, "pdop", where));
        pt->SetGdop(optionalNumber(object, "gdop", where));

        float cov[6] = {0, 0, 0, 0, 0, 0};
        if (const Doc* c = find(object, "covariance"); c != nullptr && !c->is_null()) {
            const std::string at = member(where, "covariance");
            expectObject(*c, at);
            for (int i = 0; i < 6; ++i)
                if (const Doc* term = find(*c, kCovarianceTerms[i]))
                    cov[i] = readFloat(*term, member(at, kCovarianceTerms[i]));
        }
        pt->SetPosCov_xx(cov[0]);
        pt->SetPosCov_xy(cov[1]);
        pt->SetPosCov_xz(cov[2]);
        pt->SetPosCov_yy(cov[3]);
        pt->SetPosCov_yz(cov[4]);
        pt->SetPosCov_zz(cov[5]);

        // "vrs" wins over the description: the mark is the description's tag.
        if (find(object, "vrs") != nullptr) {
            if (optionalBool(object, "vrs", where, false))
                pt->SetPointAsVrs();
            else
                pt->ClearPointAsVrs();
        }
        link(object, where, *pt);
    }

    void link(const Doc& object, const std::string& where, CEgn& element) {
        const Doc* gisLink = find(object, "gis");
        if (gisLink == nullptr || gisLink->is_null()) return;
        const std::string at = member(where, "gis");
        expectObject(*gisLink, at);
        std::string themeName = readText(required(*gisLink, "theme", at), member(at, "theme"));
        gis::CTheme* theme = m_fb.gis.FindTheme(kit::String(themeName));
        if (theme == nullptr)
            outOfRange(member(at, "theme"),
                       "il tema GIS \"" + excerpt(themeName) + "\" non esiste");
        // An empty list has no position to link to: said so, not as a range "0 to -1".
        auto index = [&](const char* key, int count, const char* none) {
            if (count <= 0) outOfRange(member(at, key), none);
            return static_cast<int>(
                readInteger(required(*gisLink, key, at), member(at, key), 0, count - 1));
        };
        gis::CEnt* ent = theme->GetEntAt(
            index("entity", theme->GetNumEnts(), "il tema GIS non ha entità a cui collegarsi"));
        gis::CEntPart* part = m_fb.gis.GetEntPart(
            ent, index("part", ent->GetNumParts(), "l'entità GIS non ha parti a cui collegarsi"));
        gis::CEntVert* vertex =
            m_fb.gis.GetEntVert(part, index("vertex", part->GetNumVerts(),
                                            "la parte GIS non ha vertici a cui collegarsi"));
        element.SetEntVert(vertex);
    }

    void theme(const Doc& object, const std::string& where) {
        expectObject(object, where);
        std::string name = readText(required(object, "name", where), member(where, "name"));
        int entType = static_cast<int>(readInteger(required(object, "entityType", where),
                                                   member(where, "entityType"), gis::ENT_TYPE_POINT,
                                                   gis::ENT_TYPE_AREA));
        gis::CTheme* theme = m_fb.gis.CreateTheme(kit::String(name), entType);
        if (theme == nullptr)
            outOfRange(member(where, "name"), name.empty()
                                                  ? std::string("nome vuoto")
                                                  : "tema \"" + excerpt(name) + "\" ripetuto");
        gis::CDBTable* table = m_fb.gis.GetTable(theme);

        const std::string fieldsAt = member(where, "fields");
        const Doc& fields = required(object, "fields", where);
        expectArray(fields, fieldsAt);
        for (std::size_t f = 0; f < fields.size(); ++f) {
            const std::string at = item(fieldsAt, f);
            expectObject(fields[f], at);
            std::string fieldName = readText(required(fields[f], "name", at), member(at, "name"));
            std::string typeName = readText(required(fields[f], "type", at), member(at, "type"));
            gis::FieldDataType type;
            if (typeName == "long")
                type = gis::FieldDataType::Long;
            else if (typeName == "double")
                type = gis::FieldDataType::Double;
            else if (typeName == "text")
                type = gis::FieldDataType::Text;
            else if (typeName == "bool")
                type = gis::FieldDataType::Bool;
            else if (typeName == "date")
                type = gis::FieldDataType::Date;
            else
                outOfRange(member(at, "type"), "tipo \"" + excerpt(typeName) +
                                                   "\" sconosciuto (ammessi long, double, text, "
                                                   "bool, date)");
            int kind = static_cast<int>(optionalInteger(fields[f], "kind", at, 0, 0, 2));
            if (m_fb.gis.AddField(table, fieldName, type, kind) == nullptr)
                outOfRange(at, "campo \"" + excerpt(fieldName) +
                                   "\" non ammesso (nome vuoto o ripetuto, o campo predefinito "
                                   "non di testo)");
        }

        const Doc* entities = find(object, "entities");
        if (entities == nullptr) return;
        const std::string entitiesAt = member(where, "entities");
        expectArray(*entities, entitiesAt);
        for (std::size_t e = 0; e < entities->size(); ++e)
            entity((*entities)[e], item(entitiesAt, e), theme, static_cast<int>(fields.size()));
    }

    void entity(const Doc& object, const std::string& where, gis::CTheme* theme, int fieldCount) {
        expectObject(object, where);
        gis::CEnt* ent = m_fb.gis.CreateEnt(theme);
        if (const Doc* parts = find(object, "parts")) {
            const std::string partsAt = member(where, "parts");
            expectArray(*parts, partsAt);
            for (std::size_t p = 0; p < parts->size(); ++p) {
                const std::string at = item(partsAt, p);
                expectArray((*parts)[p], at);
                gis::CEntPart* part = m_fb.gis.AddEntPart(ent);
                for (std::size_t v = 0; v < (*parts)[p].size(); ++v) {
                    const Doc& vertex = (*parts)[p][v];
                    const std::string vAt = item(at, v);
                    if (!vertex.is_array() || vertex.size() != 3)
                        wrongType(vertex, vAt, "un elenco di 3 numeri [x, y, z]");
                    kit::geom::PNT_3D pos{readNumber(vertex[0], item(vAt, 0)),
                                          readNumber(vertex[1], item(vAt, 1)),
                                          readNumber(vertex[2], item(vAt, 2))};
                    m_fb.gis.AddEntVert(part, pos);
                }
            }
        }
        if (const Doc* values = find(object, "values")) {
            const std::string at = member(where, "values");
            expectArray(*values, at);
            if (static_cast<int>(values->size()) > fieldCount)
                outOfRange(at, "ci sono " + std::to_string(values->size()) + " valori per " +
                                   std::to_string(fieldCount) + " campi");
            kit::CResultRow* row = m_fb.gis.GetRow(ent);
            for (std::size_t f = 0; f < values->size(); ++f) {
                const Doc& v = (*values)[f];
                const std::string vAt = item(at, f);
                kit::CPolyValue value;
                if (v.is_null()) {
                } else if (v.is_boolean()) {
                    value = kit::CPolyValue(v.get<bool>());
                } else if (v.is_number_integer()) {
                    value = kit::CPolyValue(static_cast<std::int32_t>(
                        readInteger(v, vAt, std::numeric_limits<std::int32_t>::min(),
                                    std::numeric_limits<std::int32_t>::max())));
                } else if (v.is_number()) {
                    value = kit::CPolyValue(v.get<double>());
                } else if (v.is_string()) {
                    value = kit::CPolyValue(kit::String(v.get<std::string>()));
                } else {
                    wrongType(v, vAt, "un numero, un testo, true/false o null");
                }
                if (!m_fb.gis.SetRowValue(row, static_cast<int>(f), value))
                    outOfRange(vAt, "il valore non è adatto al tipo del campo");
            }
        }
        gis::CLibGis::ClearEntModified(ent);
    }

    FieldBook& m_fb;
};

// Every detail passes through excerpt as a last guard: valid UTF-8 and bounded, whatever part
// of it came from the file.
std::string fileMessage(const std::string& file, const std::string& detail) {
    return "Impossibile leggere il libretto \"" + excerpt(file, 1000) +
           "\": " + excerpt(detail, 600) + ".";
}

// nlohmann reports "[json.exception.parse_error.101] parse error at line 3, column 5: <what>";
// the position is given separately, so only <what> is kept.
std::string syntaxDetail(const std::string& what) {
    std::string detail = what;
    if (std::size_t column = detail.find("column "); column != std::string::npos) {
        if (std::size_t colon = detail.find(": ", column); colon != std::string::npos)
            return detail.substr(colon + 2);
    }
    if (std::size_t close = detail.find("] "); close != std::string::npos)
        return detail.substr(close + 2);
    return detail;
}

// Whether objects and arrays nest deeper than kMaxNesting, the document counting as one level.
// One pass over the text, brackets within strings skipped; what is not JSON is left to the
// parser.
bool nestsTooDeep(std::string_view text) {
    int depth = 0;
    bool inString = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (inString) {
            if (c == '\\')
                ++i;
            else if (c == '"')
                inString = false;
        } else if (c == '"') {
            inString = true;
        } else if (c == '{' || c == '[') {
            if (++depth > kMaxNesting) return true;
        } else if (c == '}' || c == ']') {
            --depth;
        }
    }
    return false;
}

} // namespace

LoadResult parseFieldBook(const std::string& text, const std::string& sourceName) {
    LoadResult result;
    if (text.find_first_not_of(" \t\r\n") == std::string::npos) {
        result.error = fileMessage(sourceName, "il file è vuoto");
        return result;
    }
    // The depth is checked before the parser runs, so that a hostile file is refused before
    // anything deep is built.
    if (nestsTooDeep(text)) {
        result.error = fileMessage(sourceName, "oggetti ed elenchi annidati oltre " +
                                                   std::to_string(kMaxNesting) +
                                                   " livelli: non è un libretto GPS");
        return result;
    }
    const std::string outOfMemory = "memoria insufficiente per leggere il file";
    Doc doc;
    try {
        doc = Doc::parse(text);
    } catch (const std::bad_alloc&) {
        result.error = fileMessage(sourceName, outOfMemory);
        return result;
    } catch (const Doc::parse_error& e) {
        // e.byte is the 1-based position of the character that could not be read.
        std::size_t end = std::min<std::size_t>(e.byte == 0 ? 0 : e.byte - 1, text.size());
        std::size_t line = 1, lineStart = 0;
        for (std::size_t i = 0; i < end; ++i) {
            if (text[i] == '\n') {
                ++line;
                lineStart = i + 1;
            }
        }
        result.error =
            fileMessage(sourceName, "errore di sintassi JSON alla riga " + std::to_string(line) +
                                        ", colonna " + std::to_string(end - lineStart + 1) + " (" +
                                        shortenQuoted(syntaxDetail(e.what())) + ")");
        return result;
    } catch (const Doc::exception& e) {
        result.error = fileMessage(sourceName, std::string("JSON non valido (") +
                                                   shortenQuoted(e.what()) + ")");
        return result;
    }

    auto fieldBook = std::make_unique<FieldBook>();
    try {
        Reader(*fieldBook).document(doc);
    } catch (const FormatError& e) {
        result.error = fileMessage(sourceName, e.message);
        return result;
    } catch (const Doc::exception& e) {
        result.error = fileMessage(sourceName, shortenQuoted(e.what()));
        return result;
    } catch (const std::bad_alloc&) {
        result.error = fileMessage(sourceName, outOfMemory);
        return result;
    }
    result.fieldBook = std::move(fieldBook);
    return result;
}

LoadResult loadFieldBook(const std::string& path) {
    LoadResult result;
    // Opened without waiting, so that a FIFO or a device in the file's place cannot hang the
    // program; only a regular file of at most kMaxFileBytes is read.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        const int error = errno;
        result.error =
            fileMessage(path, error == ENOENT ? std::string("il file non esiste")
                                              : std::string("il file non può essere aperto (") +
                                                    std::strerror(error) + ")");
        return result;
    }
    struct Closer {
        int fd;
        ~Closer() { ::close(fd); }
    } closer{fd};
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        result.error =
            fileMessage(path, std::string("errore di lettura (") + std::strerror(errno) + ")");
        return result;
    }
    if (S_ISDIR(st.st_mode)) {
        result.error = fileMessage(path, "è una cartella, non un file");
        return result;
    }
    if (!S_ISREG(st.st_mode)) {
        result.error = fileMessage(path, "non è un file ordinario (è un dispositivo, una pipe o "
                                         "un socket)");
        return result;
    }
    const std::string tooLarge = "il file supera " + std::to_string(kMaxFileBytes >> 20) +
                                 " MB, il limite di un libretto GPS";
    if (static_cast<std::uintmax_t>(st.st_size) > kMaxFileBytes) {
        result.error = fileMessage(path, tooLarge);
        return result;
    }
    std::string text;
    try {
        text.reserve(static_cast<std::size_t>(st.st_size));
        char buffer[65536];
        for (;;) {
            const ssize_t n = ::read(fd, buffer, sizeof buffer);
            if (n == 0) break;
            if (n < 0) {
                if (errno == EINTR) continue;
                result.error = fileMessage(path, std::string("errore di lettura (") +
                                                     std::strerror(errno) + ")");
                return result;
            }
            // The file may have grown since it was measured.
            if (text.size() + static_cast<std::size_t>(n) > kMaxFileBytes) {
                result.error = fileMessage(path, tooLarge);
                return result;
            }
            text.append(buffer, static_cast<std::size_t>(n));
        }
    } catch (const std::bad_alloc&) {
        result.error = fileMessage(path, "memoria insufficiente per leggere il file");
        return result;
    }
    result = parseFieldBook(text, path);
    if (result.ok()) {
        result.fieldBook->filePath = path;
        result.fieldBook->fileStamp = hostfile::stampOf(path, text);
    }
    return result;
}

std::string fieldBookToText(const CLibGps& book, const CCts& context, const CDrawEng* drawings,
                            gis::CLibGis* gis, std::string& error,
                            const std::vector<DrawingPoint>* drawingPoints) {
    error.clear();
    try {
        Json doc = Writer(gis).document(book, context, drawings, drawingPoints);
        return doc.dump(2) + "\n";
    } catch (const FormatError& e) {
        error = e.message;
    } catch (const Json::exception& e) {
        error = e.what();
    }
    return {};
}

namespace {

// The text of a book, refused when a value cannot be written or when it would be larger than a
// book the reader accepts: what is written must read back.
std::string checkedText(const CLibGps& book, const CCts& context, const CDrawEng* drawings,
                        gis::CLibGis* gis, const std::vector<DrawingPoint>* drawingPoints,
                        std::string& error) {
    std::string text;
    try {
        text = fieldBookToText(book, context, drawings, gis, error, drawingPoints);
    } catch (const std::bad_alloc&) {
        error = "memoria insufficiente per scrivere il libretto";
        return {};
    }
    if (error.empty() && text.size() > kMaxFileBytes) {
        error = "il libretto occuperebbe " + std::to_string((text.size() + (1u << 20) - 1) >> 20) +
                " MB, oltre i " + std::to_string(kMaxFileBytes >> 20) +
                " MB che gpsbook può rileggere; divida il rilievo in più libretti";
        return {};
    }
    return text;
}

std::string saveMessage(const std::string& path, const std::string& error, bool existed) {
    return "Impossibile salvare il libretto \"" + path + "\": " + error +
           (existed ? ". Il file esistente non è stato modificato." : ".");
}

bool samePath(const std::string& a, const std::string& b) {
    if (a.empty() || b.empty()) return false;
    std::error_code ec1, ec2;
    const std::filesystem::path pa = std::filesystem::weakly_canonical(a, ec1);
    const std::filesystem::path pb = std::filesystem::weakly_canonical(b, ec2);
    return !ec1 && !ec2 ? pa == pb : a == b;
}

} // namespace

std::string saveFieldBook(const std::string& path, const CLibGps& book, const CCts& context,
                          const CDrawEng* drawings, gis::CLibGis* gis,
                          const std::vector<DrawingPoint>* drawingPoints) {
    std::string error;
    const std::string text = checkedText(book, context, drawings, gis, drawingPoints, error);
    std::error_code ec;
    const bool existed = std::filesystem::exists(path, ec);
    if (error.empty()) error = writeFileAtomically(path, text);
    return error.empty() ? std::string() : saveMessage(path, error, existed);
}

SaveResult writeFieldBook(const std::string& path, FieldBook& fieldBook, bool overwriteChanges) {
    SaveResult result;
    std::string error;
    const std::string text = checkedText(fieldBook.book, fieldBook.context, &fieldBook.drawings,
                                         &fieldBook.gis, &fieldBook.drawingPoints, error);
    std::error_code ec;
    const bool existed = std::filesystem::exists(path, ec);
    if (!error.empty()) {
        result.status = SaveStatus::Failed;
        result.message = saveMessage(path, error, existed);
        return result;
    }
    // Over the file the book came from, only while it is still what was read or last written.
    hostfile::ReplaceOptions options;
    if (!overwriteChanges && samePath(path, fieldBook.filePath))
        options.expected = &fieldBook.fileStamp;
    const hostfile::ReplaceResult written = hostfile::replaceFile(path, text, options);
    switch (written.status) {
    case hostfile::ReplaceStatus::Ok:
        fieldBook.filePath = path;
        fieldBook.fileStamp = written.written;
        return result;
    case hostfile::ReplaceStatus::ReadOnly:
        result.status = SaveStatus::ReadOnly;
        result.message = "Il file \"" + path +
                         "\" è di sola lettura: il libretto non è stato salvato. Può salvarlo "
                         "con un altro nome.";
        return result;
    case hostfile::ReplaceStatus::Changed:
        result.status = SaveStatus::Changed;
        result.message = "Il libretto è stato modificato da un altro programma dopo che è stato "
                         "aperto o salvato qui (\"" +
                         path + "\"). Sovrascriverlo perdendo quelle modifiche?";
        return result;
    case hostfile::ReplaceStatus::Failed:
        break;
    }
    result.status = SaveStatus::Failed;
    result.message = saveMessage(path, written.error, existed);
    return result;
}

std::string saveFieldBook(const std::string& path, FieldBook& fieldBook) {
    return writeFieldBook(path, fieldBook, false).message;
}

} // namespace gpsbook
