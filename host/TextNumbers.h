// Locale-independent number scanning and formatting shared by the toolkit, the settings file
// and the GIS values. Internal to the host library.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace hostutil {

/// True for the blanks skipped around numbers and names: space, tab, CR, LF, VT, FF.
bool isBlank(char c);
/// The text without blanks at either end.
std::string_view trimBlanks(std::string_view text);
/// ASCII case-insensitive equality.
bool equalsNoCase(std::string_view a, std::string_view b);

/// Scans a decimal number at the start of text: optional sign, digits, optional decimal mark
/// ('.' always, ',' when allowComma) with digits, optional exponent (only when digits
/// follow). At least one mantissa digit is needed.
/// \return the number of characters used (0: no number there)
std::size_t scanNumber(std::string_view text, bool allowComma, double& value);

/// Scans optional sign and digits at the start of text, saturating at the given limits.
/// \return the number of characters used (0: no digits there)
std::size_t scanWhole(std::string_view text, std::int64_t lo, std::int64_t hi, std::int64_t& value);

/// The whole text (blanks around it allowed) as a number; "inf", "-inf", "nan" accepted.
bool parseDouble(std::string_view text, bool allowComma, double& value);
/// The whole text (blanks around it allowed) as a whole number within lo..hi.
bool parseWhole(std::string_view text, std::int64_t lo, std::int64_t hi, std::int64_t& value);

/// The shortest text that reads back to exactly the same double ("0.1", "1.7e+200", "inf").
std::string shortestDouble(double value);

} // namespace hostutil
