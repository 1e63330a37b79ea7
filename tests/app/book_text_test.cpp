// What the tree and the printout show: angles in degrees, minutes and seconds, fixed decimals,
// empty cells for values the book does not hold.
#include "core/BookText.h"

#include "gpsdialogs/interfaces/LibGps.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>

using gpsbook::formatAngle;

namespace {

double fromDms(double deg, double min, double sec) {
    return (deg + min / 60.0 + sec / 3600.0) * std::numbers::pi / 180.0;
}

} // namespace

TEST(BookText, angles_show_degrees_minutes_seconds_with_five_decimals) {
    struct Case {
        double radians;
        const char* text;
    };
    const Case cases[] = {
        {0.0, "0°00'00.00000\""},
        {fromDms(44, 29, 21.66720), "44°29'21.66720\""},
        {fromDms(11, 19, 35.5476), "11°19'35.54760\""},
        {-fromDms(12, 30, 0), "-12°30'00.00000\""},
        {-fromDms(0, 30, 0), "-0°30'00.00000\""},
        {-fromDms(0, 0, 12.5), "-0°00'12.50000\""},
        // Seconds that would round to 60 are carried: never 59'60".
        {fromDms(44, 59, 59.999999), "45°00'00.00000\""},
        {-fromDms(44, 59, 59.999999), "-45°00'00.00000\""},
        {-1e-12, "0°00'00.00000\""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(formatAngle(c.radians), c.text) << c.radians;
}

TEST(BookText, values_the_book_does_not_hold_show_empty) {
    EXPECT_EQ(formatAngle(EGN_NOVALUE), "");
    EXPECT_EQ(formatAngle(std::numeric_limits<double>::quiet_NaN()), "");
    EXPECT_EQ(gpsbook::formatLength(9e199), "");
    EXPECT_EQ(gpsbook::formatLength(123.4567), "123.457");
    EXPECT_EQ(gpsbook::formatLength(-0.0004), "0.000");

    CPunGps point(nullptr, false, nullptr);
    point.SetNome("101");
    point.SetCode("TOMBINO");
    point.SetCoordXY(686001.23449, EGN_NOVALUE);
    gpsbook::RowTexts row = gpsbook::pointRow(point);
    EXPECT_EQ(row[gpsbook::ColName], "101");
    EXPECT_EQ(row[gpsbook::ColDescription], "TOMBINO");
    EXPECT_EQ(row[gpsbook::ColEast], "686001.234");
    EXPECT_EQ(row[gpsbook::ColNorth], "");
    EXPECT_EQ(row[gpsbook::ColLatitude], "");
    EXPECT_EQ(row[gpsbook::ColAntenna], "");
}

TEST(BookText, group_row_names_the_group_and_its_base_station) {
    CGrpGps group;
    group.SetNomeGrp("Rilievo A");
    group.SetNome("100");
    group.SetSecScri("Caposaldo");
    group.SetBaseAltAnt(1.5);
    gpsbook::RowTexts row = gpsbook::groupRow(group);
    EXPECT_EQ(row[gpsbook::ColName], "Rilievo A");
    EXPECT_EQ(row[gpsbook::ColDescription], "Stazione base 100 - Caposaldo");
    EXPECT_EQ(row[gpsbook::ColAntenna], "1.500");
    EXPECT_EQ(row[gpsbook::ColEast], "");
}
