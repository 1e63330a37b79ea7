// The host's toolkit: settings file, number text, path helpers, message box, and the value
// types exchanged with the GIS data library.
#pragma once

#include <cstdarg>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <variant>
#include <vector>

class CWnd;

namespace kit {

/// \brief Narrow text as the toolkit and the GIS data library exchange it.
///
/// Built empty or from narrow text, assignable, gives its text back. Comparisons are exact
/// (byte for byte); EqualsNoCase compares ASCII letters without regard to case.
class String {
public:
    /// \brief Empty text.
    String() = default;
    /// \brief Text copied from a C string; null gives the empty text.
    String(const char* text);
    /// \brief Text copied from a standard string.
    String(std::string text);

    /// \brief Replaces the text; null gives the empty text.
    String& operator=(const char* text);
    /// \brief Replaces the text.
    String& operator=(std::string text);

    /// \brief The text.
    const std::string& GetText() const { return m_text; }
    /// \brief The text as a NUL-terminated C string (valid while the object is unchanged).
    const char* c_str() const { return m_text.c_str(); }
    /// \brief True when the text is empty.
    bool IsEmpty() const { return m_text.empty(); }
    /// \brief Length in bytes.
    int GetLength() const { return static_cast<int>(m_text.size()); }
    /// \brief True when both texts are equal, ASCII letters compared without regard to case.
    bool EqualsNoCase(const String& other) const;

    /// \brief Exact comparison.
    bool operator==(const String& other) const = default;

private:
    std::string m_text;
};

/// \brief A calendar day of the Gregorian calendar, years 1 to 9999.
struct Date {
    int year = 0;
    int month = 0; ///< 1 to 12
    int day = 0;   ///< 1 to the length of the month
    /// \brief True for a day that exists (29/02 only in leap years).
    bool IsValid() const;
    bool operator==(const Date& other) const = default;
};

/// \brief A value of any GIS field type: empty (no value), 32-bit whole number ("long"),
/// double, text, bool or date.
///
/// ConvertTo decides which values fit which type: a whole number fits a double field, a text
/// fits a long field only when it is a whole number in range, and so on (see ConvertTo).
class CPolyValue {
public:
    /// \brief The kinds of value.
    enum class Type { Empty, Long, Double, Text, Bool, Date };

    /// \brief Empty value.
    CPolyValue() = default;
    /// \brief A 32-bit whole number.
    explicit CPolyValue(std::int32_t value) : m_value(value) {}
    /// \brief A double.
    explicit CPolyValue(double value) : m_value(value) {}
    /// \brief A bool.
    explicit CPolyValue(bool value) : m_value(value) {}
    /// \brief A text.
    CPolyValue(const String& text) : m_value(text) {}
    /// \brief A date (an invalid date is held as given; it converts to nothing but text).
    explicit CPolyValue(const Date& date) : m_value(date) {}

    /// \brief Makes the value the given text.
    CPolyValue& operator=(const String& text);

    /// \brief Kind of the value held.
    Type GetType() const;
    /// \brief True when no value is held.
    bool IsEmpty() const { return GetType() == Type::Empty; }

    /// \brief Drops the value (becomes empty).
    void Clear() { m_value = std::monostate{}; }
    /// \brief Holds a 32-bit whole number.
    void SetLong(std::int32_t value) { m_value = value; }
    /// \brief Holds a double.
    void SetDouble(double value) { m_value = value; }
    /// \brief Holds a bool.
    void SetBool(bool value) { m_value = value; }
    /// \brief Holds a text.
    void SetText(const String& text) { m_value = text; }
    /// \brief Holds a date.
    void SetDate(const Date& date) { m_value = date; }

    /// \brief The whole number held; 0 when the value is of another kind.
    std::int32_t GetLong() const;
    /// \brief The double held (a whole number or bool is widened); 0 for text and empty.
    double GetDouble() const;
    /// \brief The bool held; false when the value is of another kind.
    bool GetBool() const;
    /// \brief The date held; a zero date when the value is of another kind.
    Date GetDate() const;

    /// \brief The value as text: empty for an empty value, decimal digits for a whole number,
    /// the shortest text that reads back to the same double, "1"/"0" for a bool, "dd/mm/yyyy"
    /// for a date.
    String ToString() const;

    /// \brief Converts the value to another kind, when it fits.
    ///
    /// An empty value converts to an empty value of any kind; Type::Empty as target keeps
    /// any value. Long -> Double always; Double -> Long only for whole finite values in range;
    /// Bool <-> Long/Double only through 0 and 1; anything -> Text through ToString; Text ->
    /// Long/Double when the whole text (blanks around it allowed, '.' or ',' as decimal mark)
    /// is such a number; Text -> Bool for 0/1/true/false/yes/no/si/sì (any case); Text -> Date
    /// for a day that exists written d/m/yyyy (also with '.' or '-') or yyyy-mm-dd; a date
    /// converts to and from nothing else; a blank text -> an empty value of the target kind.
    /// \param target kind wanted
    /// \param out receives the converted value (untouched on failure)
    /// \return false when the value does not fit the kind
    bool ConvertTo(Type target, CPolyValue& out) const;

    /// \brief Same kind and same value (doubles compared exactly).
    bool operator==(const CPolyValue& other) const = default;

private:
    std::variant<std::monostate, std::int32_t, double, String, bool, Date> m_value;
};

/// \brief A row of values with a kind per column, as a query returns it; the GIS data library
/// keeps one per entity, column i holding field i of the entity's table.
class CResultRow {
public:
    /// \brief A row without columns.
    CResultRow() = default;
    /// \brief A row of empty values with the given column kinds (Type::Empty: any kind).
    explicit CResultRow(const std::vector<CPolyValue::Type>& columnTypes);

    /// \brief Number of columns.
    int GetCount() const { return static_cast<int>(m_values.size()); }
    /// \brief Kind of a column; Type::Empty for an index out of range.
    CPolyValue::Type GetColumnType(int column) const;
    /// \brief Reads a column. \return false (value untouched) for an index out of range.
    bool GetValue(int column, CPolyValue& value) const;
    /// \brief Writes a column, converted to the column's kind (CPolyValue::ConvertTo).
    /// \return false, leaving the row unchanged, for an index out of range or a value that
    /// does not fit the column's kind
    bool SetValue(int column, const CPolyValue& value);
    /// \brief Appends a column holding an empty value.
    void AddColumn(CPolyValue::Type type);
    /// \brief Removes a column. \return false for an index out of range.
    bool RemoveColumn(int column);

private:
    std::vector<CPolyValue::Type> m_types;
    std::vector<CPolyValue> m_values;
};

namespace geom {
/// \brief A position: x East, y North, z height.
struct PNT_3D {
    double x = 0.0;
    double y = 0.0;
    double z = 0.0;
};
} // namespace geom

} // namespace kit

/// \brief The host's settings file, in Windows-profile form: "[Section]" lines and
/// "Key=Value" lines.
///
/// Section and key names are compared without regard to ASCII case; blanks around names and
/// values are ignored on reading. A value of the form "..." (double quotes at both ends) is
/// read without the quotes; a value written with blanks at either end, or enclosed in double
/// quotes itself, is written in quotes so that it reads back exactly.
///
/// Every read opens the file afresh, so two objects see each other's writes. Every write
/// reads the file, changes one value and replaces the file atomically (a temporary file in
/// the same folder, flushed to disk, then renamed over the old one): a crash leaves the old
/// or the new file, never a torn one. Writers take turns (an advisory lock on the folder,
/// across processes), so no confirmed write is lost to another's; a temporary file left by a
/// writer that was killed is removed by the next successful write. A new file gets the
/// permissions the process's umask allows. Every other line (comments, blank lines, other
/// sections, unknown text, CRLF line ends) is kept byte for byte. A missing, unreadable or
/// malformed file or value gives the default of the read. Numbers are written and read in
/// the C locale whatever the process locale.
class CIniFile {
public:
    /// \brief Opens the host's settings file (the path set with SetFilePath).
    CIniFile();
    /// \brief Opens the settings file at the given path.
    explicit CIniFile(std::string path);

    /// \brief A 16-bit whole number; the default when absent, malformed or out of range.
    short GetShort(const std::string& section, const std::string& key, short def) const;
    /// \brief A bool written as 0/1, true/false or yes/no (any case); else the default.
    bool GetBool(const std::string& section, const std::string& key, bool def) const;
    /// \brief A 32-bit whole number; the default when absent, malformed or out of range.
    std::int32_t GetLong(const std::string& section, const std::string& key,
                         std::int32_t def) const;
    /// \brief A double written with '.' as decimal mark; the default when absent or malformed.
    double GetDouble(const std::string& section, const std::string& key, double def) const;
    /// \brief A text; the default when absent.
    std::string GetString(const std::string& section, const std::string& key,
                          const std::string& def) const;

    /// \brief Stores a 16-bit whole number. \return false when the file could not be written
    /// (the old file is then left whole)
    bool WriteShort(const std::string& section, const std::string& key, short value);
    /// \brief Stores a bool as 1 or 0. \return false when the file could not be written
    bool WriteBool(const std::string& section, const std::string& key, bool value);
    /// \brief Stores a 32-bit whole number. \return false when the file could not be written
    bool WriteLong(const std::string& section, const std::string& key, std::int32_t value);
    /// \brief Stores a double as the shortest text that reads back to the same value.
    /// \return false when the file could not be written
    bool WriteDouble(const std::string& section, const std::string& key, double value);
    /// \brief Stores a text. \return false when the file could not be written, or when the
    /// text, section or key cannot be stored in one line (line breaks, NUL bytes, a key with
    /// '=', a section with ']', an empty name)
    bool WriteString(const std::string& section, const std::string& key, const std::string& value);

    /// \brief Puts into buffer the value of the first of the four keys that is not empty.
    ///
    /// The text is cut to size - 1 bytes at a UTF-8 character boundary and ended with NUL;
    /// the buffer gets the empty text when every key is absent or empty.
    /// \param buffer receives the text; nothing is written when null or size < 1
    /// \param size size of buffer in bytes, terminating NUL included
    /// \return true when a non-empty value was found
    bool GetLastFile(const std::string& section, const std::string& key1, const std::string& key2,
                     const std::string& key3, const std::string& key4, char* buffer,
                     int size) const;

    /// \brief Holds back this thread's writes to the host's settings file while it lives, so
    /// that the keys of one dialog reach the file in a single replace: a reader never sees
    /// half of them, and a crash leaves all or none. The writes and reads of CIniFile go on as
    /// usual meanwhile; reads see the held-back values. A batch opened while another is open
    /// joins it, and only the outermost one writes.
    class CWriteBatch {
    public:
        CWriteBatch();
        /// \brief Drops the writes that were not committed.
        ~CWriteBatch();
        CWriteBatch(const CWriteBatch&) = delete;
        CWriteBatch& operator=(const CWriteBatch&) = delete;

        /// \brief Writes the held-back values in one replace of the file (the outermost batch;
        /// an inner one leaves them to it).
        /// \param error receives why the file could not be written (in Italian), when not null
        /// \return false when the file could not be written: it is then left as it was
        bool Commit(std::string* error = nullptr);
    };

    /// \brief The path of the file this object reads and writes.
    const std::string& GetPath() const { return m_path; }

    /// \brief Host side: sets the path of the host's settings file used by objects built
    /// afterwards with the default constructor. An empty path restores the default,
    /// $XDG_CONFIG_HOME/gpsdialogs.ini when that variable holds an absolute path, else
    /// ~/.config/gpsdialogs.ini; the default folder is made (private) on the first write.
    static void SetFilePath(const std::string& path);
    /// \brief Host side: the path of the host's settings file.
    static std::string GetFilePath();

private:
    std::string m_path;
};

/// \brief The value as text with a fixed number of decimals ("%.*f" in the C locale).
///
/// A value that rounds to zero is written without sign ("0.000", never "-0.000"). An
/// undefined value (at or above 8.5e199), a non-finite value or a value of magnitude 1e15 or
/// more is written as the shortest text that DoubleDaString reads back to the same value
/// ("1.7e+200").
/// \param value the number
/// \param zero minimum number of digits before the decimal mark, padded with zeros (0: none)
/// \param decimals digits after the decimal mark (0: a plain whole number; clamped to 0..30)
std::string StringDaDouble(double value, int zero, int decimals);

/// \brief The leading number of a text, after blanks: sign, digits, '.' or ',' as decimal
/// mark, exponent; also "inf" and "nan" when they are the whole text. 0 when the text starts
/// with no number. Never fails.
double DoubleDaString(const std::string& text);

/// \brief Reads a text that is wholly one finite number: blanks around it, sign, digits, '.'
/// or ',' as decimal mark, exponent ("12,5", " -3.2e2 "). Nothing else may follow the number.
/// \param value receives the number; untouched when the text is refused
/// \return false for an empty text, a text with anything beside the number ("6x", "abc",
/// "1.2.3"), and "inf" or "nan"
bool DoubleDaStringValida(const std::string& text, double& value);

/// \brief The leading whole number of a text (blanks, sign, digits) as a 16-bit number,
/// saturated at the type's limits; 0 when there is none ("12.9" -> 12, "A5" -> 0, "" -> 0).
short IntDaStringNullZero(const std::string& text);

/// \brief The leading whole number of a text as a 32-bit number, saturated; 0 when none.
std::int32_t LongDaStringNullZero(const std::string& text);

/// \brief Reduces a path in place to its folder, ending with the separator ('/' or '\\');
/// a path without separator becomes empty.
void EstraiIlPathFile(std::string& path);
/// \brief Reduces a NUL-terminated path in place to its folder (see the std::string form);
/// null is ignored.
void EstraiIlPathFile(char* path);
/// \brief Reduces a path in place to its file name (what follows the last separator).
void EstraiIlNomeFile(std::string& path);
/// \brief Reduces a NUL-terminated path in place to its file name; null is ignored.
void EstraiIlNomeFile(char* path);

/// \brief printf-style formatting into a character array, never beyond its end.
/// \return the number of characters written (the text is cut to N - 1 characters when
/// longer), or -1 on a formatting error
template <std::size_t N>
#if defined(__GNUC__)
__attribute__((format(printf, 2, 3)))
#endif
int kit_sprintf(char (&buffer)[N], const char* format, ...) {
    static_assert(N > 0, "kit_sprintf needs a buffer of at least one character");
    va_list args;
    va_start(args, format);
    const int n = std::vsnprintf(buffer, N, format, args);
    va_end(args);
    if (n < 0) {
        buffer[0] = '\0';
        return -1;
    }
    return n < static_cast<int>(N) ? n : static_cast<int>(N) - 1;
}

/// \brief printf-style formatting into a buffer of the given size, never beyond its end.
/// \return as the array form; -1 when buffer is null or size is 0
#if defined(__GNUC__)
__attribute__((format(printf, 3, 4)))
#endif
int kit_sprintf(char* buffer, std::size_t size, const char* format, ...);

/// \brief Modal message box with one OK button and the exclamation icon.
/// \param owner owning window, may be null
/// \return the id of the button that closed the box
int MessageBoxOkExclam(CWnd* owner, const std::string& text, const std::string& caption);
