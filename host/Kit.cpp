// The toolkit's value types, number text, path helpers and message box.
#include "gpsdialogs/interfaces/Kit.h"

#include "TextNumbers.h"
#include "platform/messagebox.h"
#include "platform/types.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <utility>

using hostutil::equalsNoCase;
using hostutil::parseDouble;
using hostutil::parseWhole;
using hostutil::shortestDouble;

namespace kit {

// ---- String ---------------------------------------------------------------------------------

String::String(const char* text) : m_text(text ? text : "") {}

String::String(std::string text) : m_text(std::move(text)) {}

String& String::operator=(const char* text) {
    m_text = text ? text : "";
    return *this;
}

String& String::operator=(std::string text) {
    m_text = std::move(text);
    return *this;
}

bool String::EqualsNoCase(const String& other) const {
    return equalsNoCase(m_text, other.m_text);
}

// ---- Date ---------------------------------------------------------------------------------

bool Date::IsValid() const {
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1) return false;
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return day <= kDays[month - 1] + (month == 2 && leap ? 1 : 0);
}

// "d/m/yyyy" (separators '/', '.' or '-') or "yyyy-mm-dd", blanks around allowed; false for
// anything else or a day that does not exist.
static bool textToDate(std::string_view text, Date& date) {
    const std::string_view t = hostutil::trimBlanks(text);
    int parts[3] = {0, 0, 0};
    int digits[3] = {0, 0, 0};
    char separator = 0;
    int part = 0;
    for (const char c : t) {
        if (c >= '0' && c <= '9') {
            if (++digits[part] > 4) return false;
            parts[part] = parts[part] * 10 + (c - '0');
        } else if ((c == '/' || c == '.' || c == '-') && part < 2 && digits[part] > 0 &&
                   (separator == 0 || c == separator)) {
            separator = c;
            ++part;
        } else {
            return false;
        }
    }
    if (part != 2 || digits[2] == 0) return false;
    Date d;
    if (digits[0] == 4 && separator == '-' && digits[1] <= 2 && digits[2] <= 2)
        d = Date{parts[0], parts[1], parts[2]};
    else if (digits[0] <= 2 && digits[1] <= 2 && digits[2] == 4)
        d = Date{parts[2], parts[1], parts[0]};
    else
        return false;
    if (!d.IsValid()) return false;
    date = d;
    return true;
}

// ---- CPolyValue -----------------------------------------------------------------------------

CPolyValue& CPolyValue::operator=(const String& text) {
    m_value = text;
    return *this;
}

CPolyValue::Type CPolyValue::GetType() const {
    switch (m_value.index()) {
    case 1:
        return Type::Long;
    case 2:
        return Type::Double;
    case 3:
        return Type::Text;
    case 4:
        return Type::Bool;
    case 5:
        return Type::Date;
    default:
        return Type::Empty;
    }
}

std::int32_t CPolyValue::GetLong() const {
    if (const auto* v = std::get_if<std::int32_t>(&m_value)) return *v;
    return 0;
}

double CPolyValue::GetDouble() const {
    if (const auto* v = std::get_if<double>(&m_value)) return *v;
    if (const auto* v = std::get_if<std::int32_t>(&m_value)) return *v;
    if (const auto* v = std::get_if<bool>(&m_value)) return *v ? 1.0 : 0.0;
    return 0.0;
}

bool CPolyValue::GetBool() const {
    if (const auto* v = std::get_if<bool>(&m_value)) return *v;
    return false;
}

Date CPolyValue::GetDate() const {
    if (const auto* v = std::get_if<Date>(&m_value)) return *v;
    return Date{};
}

String CPolyValue::ToString() const {
    switch (GetType()) {
    case Type::Long:
        return String(std::to_string(std::get<std::int32_t>(m_value)));
    case Type::Double:
        return String(shortestDouble(std::get<double>(m_value)));
    case Type::Text:
        return std::get<String>(m_value);
    case Type::Bool:
        return String(std::get<bool>(m_value) ? "1" : "0");
    case Type::Date: {
        const Date& d = std::get<Date>(m_value);
        char buffer[48];
        std::snprintf(buffer, sizeof buffer, "%02d/%02d/%04d", d.day, d.month, d.year);
        return String(buffer);
    }
    case Type::Empty:
        break;
    }
    return String();
}

static bool textToBool(std::string_view text, bool& value) {
    const std::string_view t = hostutil::trimBlanks(text);
    for (const char* yes : {"1", "true", "yes", "si", "s\xc3\xac", "S\xc3\xac", "S\xc3\x8c"}) {
        if (equalsNoCase(t, yes)) {
            value = true;
            return true;
        }
    }
    for (const char* no : {"0", "false", "no"}) {
        if (equalsNoCase(t, no)) {
            value = false;
            return true;
        }
    }
    return false;
}

bool CPolyValue::ConvertTo(Type target, CPolyValue& out) const {
    const Type source = GetType();
    if (target == Type::Empty || source == target) {
        out = *this;
        return true;
    }
    if (source == Type::Empty) {
        out.Clear();
        return true;
    }
    if (target == Type::Text) {
        out = CPolyValue(ToString());
        return true;
    }
    if (source == Type::Text) {
        const std::string& text = std::get<String>(m_value).GetText();
        if (hostutil::trimBlanks(text).empty()) {
            out.Clear();
            return true;
        }
        switch (target) {
        case Type::Long: {
            std::int64_t v = 0;
            if (!parseWhole(text, std::numeric_limits<std::int32_t>::min(),
                            std::numeric_limits<std::int32_t>::max(), v))
                return false;
            out = CPolyValue(static_cast<std::int32_t>(v));
            return true;
        }
        case Type::Double: {
            double v = 0.0;
            if (!parseDouble(text, true, v)) return false;
            out = CPolyValue(v);
            return true;
        }
        case Type::Bool: {
            bool v = false;
            if (!textToBool(text, v)) return false;
            out = CPolyValue(v);
            return true;
        }
        case Type::Date: {
            Date v;
            if (!textToDate(text, v)) return false;
            out = CPolyValue(v);
            return true;
        }
        default:
            return false;
        }
    }
    if (source == Type::Date || target == Type::Date) return false;
    // Numbers and bools among themselves.
    const double number = GetDouble();
    switch (target) {
    case Type::Long:
        if (!std::isfinite(number) || number != std::trunc(number) ||
            number < std::numeric_limits<std::int32_t>::min() ||
            number > std::numeric_limits<std::int32_t>::max())
            return false;
        out = CPolyValue(static_cast<std::int32_t>(number));
        return true;
    case Type::Double:
        out = CPolyValue(number);
        return true;
    case Type::Bool:
        if (number != 0.0 && number != 1.0) return false;
        out = CPolyValue(number == 1.0);
        return true;
    default:
        return false;
    }
}

// ---- CResultRow -----------------------------------------------------------------------------

CResultRow::CResultRow(const std::vector<CPolyValue::Type>& columnTypes)
    : m_types(columnTypes), m_values(columnTypes.size()) {}

CPolyValue::Type CResultRow::GetColumnType(int column) const {
    if (column < 0 || column >= GetCount()) return CPolyValue::Type::Empty;
    return m_types[static_cast<std::size_t>(column)];
}

bool CResultRow::GetValue(int column, CPolyValue& value) const {
    if (column < 0 || column >= GetCount()) return false;
    value = m_values[static_cast<std::size_t>(column)];
    return true;
}

bool CResultRow::SetValue(int column, const CPolyValue& value) {
    if (column < 0 || column >= GetCount()) return false;
    CPolyValue converted;
    if (!value.ConvertTo(m_types[static_cast<std::size_t>(column)], converted)) return false;
    m_values[static_cast<std::size_t>(column)] = std::move(converted);
    return true;
}

void CResultRow::AddColumn(CPolyValue::Type type) {
    m_types.push_back(type);
    m_values.emplace_back();
}

bool CResultRow::RemoveColumn(int column) {
    if (column < 0 || column >= GetCount()) return false;
    m_types.erase(m_types.begin() + column);
    m_values.erase(m_values.begin() + column);
    return true;
}

} // namespace kit

// ---- number text ----------------------------------------------------------------------------

// Values at or above this limit are the data objects' "no value"; their text must read back.
static constexpr double kUndefinedLimit = 8.5e199;

std::string StringDaDouble(double value, int zero, int decimals) {
    decimals = std::clamp(decimals, 0, 30);
    zero = std::clamp(zero, 0, 30);
    if (!std::isfinite(value) || value >= kUndefinedLimit || std::fabs(value) >= 1e15)
        return shortestDouble(value);
    char buffer[80];
    const auto [ptr, ec] =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    if (ec != std::errc()) return shortestDouble(value);
    std::string text(buffer, ptr);
    bool negative = !text.empty() && text[0] == '-';
    if (negative && text.find_first_not_of("0.", 1) == std::string::npos) {
        text.erase(0, 1); // rounded to zero: no sign
        negative = false;
    }
    if (zero > 0) {
        const std::size_t start = negative ? 1 : 0;
        std::size_t intEnd = text.find('.');
        if (intEnd == std::string::npos) intEnd = text.size();
        const std::size_t intDigits = intEnd - start;
        if (intDigits < static_cast<std::size_t>(zero))
            text.insert(start, static_cast<std::size_t>(zero) - intDigits, '0');
    }
    return text;
}

double DoubleDaString(const std::string& text) {
    std::string_view t(text);
    std::size_t i = 0;
    while (i < t.size() && hostutil::isBlank(t[i]))
        ++i;
    t.remove_prefix(i);
    double value = 0.0;
    if (hostutil::scanNumber(t, true, value) > 0) return value;
    // Non-finite values come back only from a text that is exactly such a word.
    if (parseDouble(t, false, value)) return value;
    return 0.0;
}

bool DoubleDaStringValida(const std::string& text, double& value) {
    double v = 0.0;
    if (!parseDouble(text, true, v) || !std::isfinite(v)) return false;
    value = v;
    return true;
}

short IntDaStringNullZero(const std::string& text) {
    std::string_view t(text);
    std::size_t i = 0;
    while (i < t.size() && hostutil::isBlank(t[i]))
        ++i;
    std::int64_t value = 0;
    if (hostutil::scanWhole(t.substr(i), std::numeric_limits<short>::min(),
                            std::numeric_limits<short>::max(), value) == 0)
        return 0;
    return static_cast<short>(value);
}

std::int32_t LongDaStringNullZero(const std::string& text) {
    std::string_view t(text);
    std::size_t i = 0;
    while (i < t.size() && hostutil::isBlank(t[i]))
        ++i;
    std::int64_t value = 0;
    if (hostutil::scanWhole(t.substr(i), std::numeric_limits<std::int32_t>::min(),
                            std::numeric_limits<std::int32_t>::max(), value) == 0)
        return 0;
    return static_cast<std::int32_t>(value);
}

// ---- paths ----------------------------------------------------------------------------------

static std::size_t lastSeparator(std::string_view path) {
    return path.find_last_of("/\\");
}

void EstraiIlPathFile(std::string& path) {
    const std::size_t sep = lastSeparator(path);
    if (sep == std::string::npos)
        path.clear();
    else
        path.erase(sep + 1);
}

void EstraiIlPathFile(char* path) {
    if (!path) return;
    const std::size_t sep = lastSeparator(path);
    if (sep == std::string_view::npos)
        path[0] = '\0';
    else
        path[sep + 1] = '\0';
}

void EstraiIlNomeFile(std::string& path) {
    const std::size_t sep = lastSeparator(path);
    if (sep != std::string::npos) path.erase(0, sep + 1);
}

void EstraiIlNomeFile(char* path) {
    if (!path) return;
    const std::size_t sep = lastSeparator(path);
    if (sep != std::string_view::npos)
        std::memmove(path, path + sep + 1, std::strlen(path + sep + 1) + 1);
}

// ---- formatting and message box -------------------------------------------------------------

int kit_sprintf(char* buffer, std::size_t size, const char* format, ...) {
    if (!buffer || size == 0) return -1;
    va_list args;
    va_start(args, format);
    const int n = std::vsnprintf(buffer, size, format, args);
    va_end(args);
    if (n < 0) {
        buffer[0] = '\0';
        return -1;
    }
    return static_cast<std::size_t>(n) < size ? n : static_cast<int>(size) - 1;
}

int MessageBoxOkExclam(CWnd* owner, const std::string& text, const std::string& caption) {
    return MessageBox(owner, text, caption, MB_OK | MB_ICONEXCLAMATION);
}
