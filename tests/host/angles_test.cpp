// Angles in degrees, minutes and seconds: exact inverses, signs, and the 60-second carry.
#include "gpsdialogs/interfaces/ConvCoord.h"
#include "gpsdialogs/interfaces/Kit.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>
#include <string>

namespace {

double radians(double deg, double min, double sec) {
    return (deg + min / 60.0 + sec / 3600.0) * std::numbers::pi / 180.0;
}

// The three fields as the point editor shows them: 0, 0 and 5 decimals.
std::string shown(double rad) {
    int d = 0, m = 0;
    double s = 0;
    AngSesgFromRadi(rad, d, m, s);
    return StringDaDouble(d, 0, 0) + " " + StringDaDouble(m, 0, 0) + " " + StringDaDouble(s, 0, 5);
}

} // namespace

TEST(Angles, parts_and_signs_of_typical_angles) {
    struct Case {
        double rad;
        int deg, min;
        double sec;
    };
    const Case cases[] = {
        {0.0, 0, 0, 0.0},
        {std::numbers::pi, 180, 0, 0.0},
        {-std::numbers::pi, -180, 0, 0.0},
        {radians(45, 30, 0), 45, 30, 0.0},
        {radians(41, 54, 10.01502), 41, 54, 10.01502},
        {-radians(12, 30, 0), -12, 30, 0.0},
        {-radians(12, 30, 15.5), -12, 30, 15.5},
        {-radians(0, 30, 0), 0, -30, 0.0},
        {-radians(0, 30, 12.25), 0, -30, 12.25},
        {-radians(0, 0, 12), 0, 0, -12.0},
        {radians(30, 0, 0), 30, 0, 0.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.rad);
        int d = 99, m = 99;
        double s = 99;
        AngSesgFromRadi(c.rad, d, m, s);
        EXPECT_EQ(d, c.deg);
        EXPECT_EQ(m, c.min);
        EXPECT_NEAR(s, c.sec, 1e-8);
        EXPECT_NEAR(AngRadiFromSesg(c.deg, c.min, c.sec), c.rad, 1e-15);
    }
}

TEST(Angles, seconds_that_would_show_sixty_carry_into_the_next_minute_and_degree) {
    EXPECT_EQ(shown(radians(44, 59, 59.999999)), "45 0 0.00000");
    EXPECT_EQ(shown(radians(10, 20, 59.999996)), "10 21 0.00000");
    EXPECT_EQ(shown(-radians(44, 59, 59.999999)), "-45 0 0.00000");
    EXPECT_EQ(shown(-radians(0, 59, 59.999999)), "-1 0 0.00000");
    EXPECT_EQ(shown(-radians(0, 0, 59.999999)), "0 -1 0.00000");
    // Just below the rounding point nothing is carried.
    EXPECT_EQ(shown(radians(89, 59, 59.999994)), "89 59 59.99999");
    EXPECT_EQ(shown(radians(0, 0, 59.99999)), "0 0 59.99999");
}

TEST(Angles, carried_angles_still_convert_back_exactly) {
    for (double sec : {59.999995, 59.999996, 59.999999, 59.9999999999}) {
        for (double sign : {1.0, -1.0}) {
            for (double deg : {0.0, 1.0, 44.0, 179.0}) {
                const double rad = sign * radians(deg, 59, sec);
                int d, m;
                double s;
                AngSesgFromRadi(rad, d, m, s);
                EXPECT_NEAR(AngRadiFromSesg(d, m, s), rad, 1e-15 * std::fabs(rad) + 1e-18)
                    << "deg " << deg << " sec " << sec << " sign " << sign;
            }
        }
    }
}

TEST(Angles, a_sweep_round_trips_and_never_shows_sixty) {
    for (int i = -200000; i <= 200000; ++i) {
        // Steps of about 1.6 arc-seconds plus an irrational offset, over -180°..180°.
        const double rad = i * (std::numbers::pi / 200000.0) + i * 1e-13;
        int d, m;
        double s;
        AngSesgFromRadi(rad, d, m, s);
        ASSERT_NEAR(AngRadiFromSesg(d, m, s), rad, 1e-15 * std::fabs(rad) + 1e-18) << i;
        ASSERT_LT(std::abs(m), 60) << i;
        const std::string sec = StringDaDouble(s, 0, 5);
        ASSERT_NE(sec.rfind("60", 0), 0u) << i << " shows " << sec;
        ASSERT_NE(sec.rfind("-60", 0), 0u) << i << " shows " << sec;
        // The sign sits on the first non-zero part only.
        if (d != 0) {
            ASSERT_GE(m, 0);
        }
    }
}

TEST(Angles, parts_typed_by_the_user_convert_as_expected) {
    EXPECT_NEAR(AngRadiFromSesg(45, 30, 0), radians(45, 30, 0), 1e-15);
    EXPECT_NEAR(AngRadiFromSesg(-12, 30, 0), -radians(12, 30, 0), 1e-15);
    EXPECT_NEAR(AngRadiFromSesg(0, -30, 0), -radians(0, 30, 0), 1e-15);
    EXPECT_NEAR(AngRadiFromSesg(0, 0, -12), -radians(0, 0, 12), 1e-15);
    EXPECT_NEAR(AngRadiFromSesg(0, 0, 0), 0.0, 0.0);
    EXPECT_NEAR(AngRadiFromSesg(0, 75, 0), radians(1, 15, 0), 1e-15); // not normalised: fine
}

TEST(Angles, non_finite_angles_do_not_break_the_parts) {
    int d = 7, m = 7;
    double s = 7;
    AngSesgFromRadi(std::numeric_limits<double>::quiet_NaN(), d, m, s);
    EXPECT_EQ(d, 0);
    EXPECT_EQ(m, 0);
    EXPECT_TRUE(std::isnan(s));
    AngSesgFromRadi(-1e300, d, m, s); // whole degrees beyond int range
    EXPECT_EQ(d, -2147483647);
    EXPECT_EQ(m, 0);
}
