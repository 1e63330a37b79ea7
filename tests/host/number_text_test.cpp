// Number text of the toolkit, path helpers, bounded formatting and the polymorphic value.
#include "gpsdialogs/interfaces/Kit.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

TEST(StringDaDouble, fixed_decimals_and_no_negative_zero) {
    struct Case {
        double value;
        int decimals;
        const char* text;
    };
    const Case cases[] = {
        {123.4567, 3, "123.457"},
        {1.23456, 3, "1.235"},
        {-2.5004, 3, "-2.500"},
        {-0.0004, 3, "0.000"},
        {-0.0, 2, "0.00"},
        {-1e-20, 0, "0"},
        {-0.4, 0, "0"},
        {101.0, 0, "101"},
        {0.1, 10, "0.1000000000"},
        {4400001.5, 3, "4400001.500"},
        {999999999999999.9, 0, "1000000000000000"},
        {-3.0, 0, "-3"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(StringDaDouble(c.value, 0, c.decimals), c.text) << c.value;
}

TEST(StringDaDouble, undefined_huge_and_non_finite_values_read_back_the_same) {
    for (double v : {1.7e200, 8.5e199, 1e15, -1e15, 1.2345678901234567e17, -9e199, 1e300}) {
        const std::string text = StringDaDouble(v, 0, 3);
        EXPECT_LT(text.size(), 25u) << text;
        EXPECT_EQ(DoubleDaString(text), v) << text;
    }
    EXPECT_EQ(StringDaDouble(1.7e200, 0, 3), "1.7e+200");
    EXPECT_EQ(DoubleDaString(StringDaDouble(INFINITY, 0, 3)), INFINITY);
    EXPECT_EQ(DoubleDaString(StringDaDouble(-INFINITY, 0, 3)), -INFINITY);
    EXPECT_TRUE(std::isnan(DoubleDaString(StringDaDouble(NAN, 0, 3))));
}

TEST(StringDaDouble, zero_pads_the_whole_part) {
    EXPECT_EQ(StringDaDouble(5.5, 3, 1), "005.5");
    EXPECT_EQ(StringDaDouble(-5.5, 3, 1), "-005.5");
    EXPECT_EQ(StringDaDouble(12345.0, 3, 0), "12345");
}

TEST(StringDaDouble, ignores_the_process_locale) {
    const char* previous = std::setlocale(LC_ALL, nullptr);
    const std::string saved = previous ? previous : "C";
    const char* comma = nullptr;
    for (const char* name :
         {"it_IT.UTF-8", "it_IT.utf8", "de_DE.UTF-8", "de_DE.utf8", "Italian_Italy.1252"})
        if ((comma = std::setlocale(LC_ALL, name))) break;
    // ./dev generates it_IT.UTF-8: without a locale of this kind the test would prove nothing.
    ASSERT_NE(comma, nullptr) << "no locale with a decimal comma installed";
    EXPECT_EQ(StringDaDouble(1.5, 0, 3), "1.500");
    EXPECT_EQ(DoubleDaString("2.25"), 2.25);
    std::setlocale(LC_ALL, saved.c_str());
}

TEST(DoubleDaString, reads_the_leading_number) {
    struct Case {
        const char* text;
        double value;
    };
    const Case cases[] = {
        {"12.5", 12.5},
        {"  12,5", 12.5},
        {"-.5", -0.5},
        {"+4", 4.0},
        {"1.5e3", 1500.0},
        {"1E-2", 0.01},
        {"12.5m", 12.5},
        {"1e", 1.0},
        {"7.", 7.0},
        {"", 0.0},
        {"abc", 0.0},
        {"-", 0.0},
        {".", 0.0},
        {"\t 3", 3.0},
        {"1,234.5", 1.234},
        {"info", 0.0},
        {"4400001.500", 4400001.5},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DoubleDaString(c.text), c.value) << '"' << c.text << '"';
    EXPECT_EQ(DoubleDaString("1e999"), INFINITY);
    EXPECT_EQ(DoubleDaString("-1e999"), -INFINITY);
    EXPECT_EQ(DoubleDaString("1e-999"), 0.0);
}

TEST(DoubleDaString, reads_back_what_StringDaDouble_writes) {
    for (int decimals : {0, 2, 3, 4, 5, 10}) {
        for (double v : {0.0, 1.0 / 3.0, -2.0 / 3.0, 4513245.1234567, -0.00049, 98765.4321}) {
            const std::string text = StringDaDouble(v, 0, decimals);
            EXPECT_EQ(StringDaDouble(DoubleDaString(text), 0, decimals), text);
            EXPECT_NEAR(DoubleDaString(text), v, 0.5 * std::pow(10.0, -decimals) + 1e-9);
        }
    }
}

TEST(IntDaStringNullZero, leading_whole_number_saturated) {
    EXPECT_EQ(IntDaStringNullZero("12.9"), 12);
    EXPECT_EQ(IntDaStringNullZero("A5"), 0);
    EXPECT_EQ(IntDaStringNullZero(""), 0);
    EXPECT_EQ(IntDaStringNullZero("  -7x"), -7);
    EXPECT_EQ(IntDaStringNullZero("+12"), 12);
    EXPECT_EQ(IntDaStringNullZero("- 5"), 0);
    EXPECT_EQ(IntDaStringNullZero("32767"), 32767);
    EXPECT_EQ(IntDaStringNullZero("99999"), 32767);
    EXPECT_EQ(IntDaStringNullZero("-99999999999999999999999"), -32768);
}

TEST(LongDaStringNullZero, leading_whole_number_saturated) {
    EXPECT_EQ(LongDaStringNullZero("PF300"), 0);
    EXPECT_EQ(LongDaStringNullZero("250"), 250);
    EXPECT_EQ(LongDaStringNullZero("12.9"), 12);
    EXPECT_EQ(LongDaStringNullZero("2147483647"), INT32_MAX);
    EXPECT_EQ(LongDaStringNullZero("2147483648"), INT32_MAX);
    EXPECT_EQ(LongDaStringNullZero("-99999999999"), INT32_MIN);
    EXPECT_EQ(LongDaStringNullZero(" 101 "), 101);
}

TEST(PathHelpers, folder_and_file_name_in_place) {
    struct Case {
        const char* path;
        const char* folder;
        const char* name;
    };
    const Case cases[] = {
        {"/home/rilievi/libretto.txt", "/home/rilievi/", "libretto.txt"},
        {"C:\\Dati\\GPS\\lib.asc", "C:\\Dati\\GPS\\", "lib.asc"},
        {"doc", "", "doc"},
        {"/cartella/", "/cartella/", ""},
        {"", "", ""},
    };
    for (const Case& c : cases) {
        std::string folder = c.path, name = c.path;
        EstraiIlPathFile(folder);
        EstraiIlNomeFile(name);
        EXPECT_EQ(folder, c.folder);
        EXPECT_EQ(name, c.name);
        char buffer[64];
        std::snprintf(buffer, sizeof buffer, "%s", c.path);
        EstraiIlPathFile(buffer);
        EXPECT_STREQ(buffer, c.folder);
        std::snprintf(buffer, sizeof buffer, "%s", c.path);
        EstraiIlNomeFile(buffer);
        EXPECT_STREQ(buffer, c.name);
    }
    EstraiIlPathFile(static_cast<char*>(nullptr)); // ignored
}

TEST(KitSprintf, never_writes_past_the_buffer) {
    char small[8];
    EXPECT_EQ(kit_sprintf(small, "Campo-%d", 12345), 7);
    EXPECT_STREQ(small, "Campo-1");
    char key[32];
    EXPECT_EQ(kit_sprintf(key, "nDecCampo-%d", 3), 11);
    EXPECT_STREQ(key, "nDecCampo-3");
    char raw[4] = {'x', 'x', 'x', 'x'};
    EXPECT_EQ(kit_sprintf(raw, 3, "%s", "abcdef"), 2);
    EXPECT_STREQ(raw, "ab");
    EXPECT_EQ(raw[3], 'x');
    EXPECT_EQ(kit_sprintf(nullptr, 10, "%d", 1), -1);
}

TEST(PolyValue, conversions_accept_what_fits_and_refuse_the_rest) {
    using T = kit::CPolyValue::Type;
    kit::CPolyValue out;
    EXPECT_TRUE(kit::CPolyValue(kit::String("12")).ConvertTo(T::Long, out));
    EXPECT_EQ(out, kit::CPolyValue(std::int32_t{12}));
    EXPECT_FALSE(kit::CPolyValue(kit::String("abc")).ConvertTo(T::Long, out));
    EXPECT_FALSE(kit::CPolyValue(kit::String("12.5")).ConvertTo(T::Long, out));
    EXPECT_FALSE(kit::CPolyValue(kit::String("99999999999")).ConvertTo(T::Long, out));
    EXPECT_FALSE(kit::CPolyValue(12.5).ConvertTo(T::Long, out));
    EXPECT_TRUE(kit::CPolyValue(12.0).ConvertTo(T::Long, out));
    EXPECT_EQ(out.GetLong(), 12);
    EXPECT_TRUE(kit::CPolyValue(kit::String(" 3,25 ")).ConvertTo(T::Double, out));
    EXPECT_EQ(out.GetDouble(), 3.25);
    EXPECT_FALSE(kit::CPolyValue(kit::String("3.25 m")).ConvertTo(T::Double, out));
    EXPECT_TRUE(kit::CPolyValue(kit::String("S\xc3\xac")).ConvertTo(T::Bool, out));
    EXPECT_TRUE(out.GetBool());
    EXPECT_FALSE(kit::CPolyValue(kit::String("forse")).ConvertTo(T::Bool, out));
    EXPECT_FALSE(kit::CPolyValue(std::int32_t{2}).ConvertTo(T::Bool, out));
    EXPECT_TRUE(kit::CPolyValue(kit::String("  ")).ConvertTo(T::Double, out));
    EXPECT_TRUE(out.IsEmpty());
    EXPECT_TRUE(kit::CPolyValue(0.1).ConvertTo(T::Text, out));
    EXPECT_EQ(out.ToString().GetText(), "0.1");
}

TEST(ResultRow, a_refused_value_leaves_the_column_as_it_was) {
    using T = kit::CPolyValue::Type;
    kit::CResultRow row({T::Long, T::Text});
    EXPECT_TRUE(row.SetValue(0, kit::CPolyValue(kit::String("42"))));
    EXPECT_FALSE(row.SetValue(0, kit::CPolyValue(kit::String("abc"))));
    EXPECT_FALSE(row.SetValue(2, kit::CPolyValue(std::int32_t{1})));
    kit::CPolyValue v;
    ASSERT_TRUE(row.GetValue(0, v));
    EXPECT_EQ(v, kit::CPolyValue(std::int32_t{42}));
    EXPECT_FALSE(row.GetValue(-1, v));
}
