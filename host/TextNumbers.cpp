#include "TextNumbers.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <system_error>

namespace hostutil {

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

std::string_view trimBlanks(std::string_view text) {
    std::size_t b = 0;
    std::size_t e = text.size();
    while (b < e && isBlank(text[b]))
        ++b;
    while (e > b && isBlank(text[e - 1]))
        --e;
    return text.substr(b, e - b);
}

static char lowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
}

bool equalsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (lowerAscii(a[i]) != lowerAscii(b[i])) return false;
    return true;
}

static bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

std::size_t scanNumber(std::string_view text, bool allowComma, double& value) {
    std::size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    // The mantissa is copied with '.' as mark; from_chars does the exact rounding.
    std::string normal;
    if (negative) normal.push_back('-');
    std::size_t digits = 0;
    // Decimal magnitude of the first significant digit, to tell overflow from underflow.
    long long leadMagnitude = 0;
    bool seenSignificant = false;
    long long intDigitsAfterLead = 0;
    while (i < text.size() && isDigit(text[i])) {
        if (text[i] != '0' || seenSignificant) {
            seenSignificant = true;
            ++intDigitsAfterLead;
        }
        normal.push_back(text[i]);
        ++i;
        ++digits;
    }
    leadMagnitude = intDigitsAfterLead;
    if (i < text.size() && (text[i] == '.' || (allowComma && text[i] == ','))) {
        std::size_t j = i + 1;
        std::size_t fracDigits = 0;
        std::string frac;
        while (j < text.size() && isDigit(text[j])) {
            if (!seenSignificant) {
                if (text[j] != '0')
                    seenSignificant = true;
                else
                    --leadMagnitude;
            }
            frac.push_back(text[j]);
            ++j;
            ++fracDigits;
        }
        if (digits + fracDigits > 0) {
            normal.push_back('.');
            normal += frac;
            digits += fracDigits;
            i = j;
        }
    }
    if (digits == 0) return 0;
    long long exponent = 0;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        std::size_t j = i + 1;
        bool expNegative = false;
        if (j < text.size() && (text[j] == '+' || text[j] == '-')) {
            expNegative = text[j] == '-';
            ++j;
        }
        if (j < text.size() && isDigit(text[j])) {
            std::string exp;
            while (j < text.size() && isDigit(text[j])) {
                if (exponent < 1000000000LL) exponent = exponent * 10 + (text[j] - '0');
                exp.push_back(text[j]);
                ++j;
            }
            if (expNegative) exponent = -exponent;
            normal.push_back('e');
            if (expNegative) normal.push_back('-');
            normal += exp;
            i = j;
        }
    }
    double parsed = 0.0;
    const auto [ptr, ec] = std::from_chars(normal.data(), normal.data() + normal.size(), parsed,
                                           std::chars_format::general);
    (void)ptr;
    if (ec == std::errc::result_out_of_range) {
        const bool overflow = seenSignificant && leadMagnitude + exponent > 0;
        parsed = overflow ? std::numeric_limits<double>::infinity() : 0.0;
        if (negative) parsed = -parsed;
    } else if (ec != std::errc()) {
        return 0;
    }
    value = parsed;
    return i;
}

std::size_t scanWhole(std::string_view text, std::int64_t lo, std::int64_t hi,
                      std::int64_t& value) {
    std::size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    const std::size_t start = i;
    // Accumulate toward the limit of the sign, saturating instead of overflowing.
    std::int64_t acc = 0;
    bool saturated = false;
    while (i < text.size() && isDigit(text[i])) {
        const int d = text[i] - '0';
        if (!saturated) {
            if (!negative) {
                if (acc > (hi - d) / 10)
                    saturated = true;
                else
                    acc = acc * 10 + d;
            } else {
                if (acc < (lo + d) / 10)
                    saturated = true;
                else
                    acc = acc * 10 - d;
            }
        }
        ++i;
    }
    if (i == start) return 0;
    if (saturated) acc = negative ? lo : hi;
    if (acc < lo) acc = lo;
    if (acc > hi) acc = hi;
    value = acc;
    return i;
}

bool parseDouble(std::string_view text, bool allowComma, double& value) {
    const std::string_view t = trimBlanks(text);
    if (t.empty()) return false;
    double v = 0.0;
    const std::size_t used = scanNumber(t, allowComma, v);
    if (used == t.size()) {
        value = v;
        return true;
    }
    if (used == 0) {
        std::string_view word = t;
        bool negative = false;
        if (!word.empty() && (word[0] == '-' || word[0] == '+')) {
            negative = word[0] == '-';
            word.remove_prefix(1);
        }
        if (equalsNoCase(word, "inf") || equalsNoCase(word, "infinity")) {
            value = negative ? -std::numeric_limits<double>::infinity()
                             : std::numeric_limits<double>::infinity();
            return true;
        }
        if (equalsNoCase(word, "nan")) {
            value = std::numeric_limits<double>::quiet_NaN();
            return true;
        }
    }
    return false;
}

bool parseWhole(std::string_view text, std::int64_t lo, std::int64_t hi, std::int64_t& value) {
    const std::string_view t = trimBlanks(text);
    // Parse with wide limits first so that out-of-range values are refused, not saturated.
    std::int64_t v = 0;
    const std::size_t used = scanWhole(t, std::numeric_limits<std::int64_t>::min(),
                                       std::numeric_limits<std::int64_t>::max(), v);
    if (used == 0 || used != t.size()) return false;
    if (v < lo || v > hi) return false;
    value = v;
    return true;
}

std::string shortestDouble(double value) {
    char buffer[64];
    const auto [ptr, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
    if (ec != std::errc()) return "0";
    return std::string(buffer, ptr);
}

} // namespace hostutil
