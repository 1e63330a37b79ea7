// Geographic <-> plane conversion of Italian systems, and geographic <-> geocentric positions.
#include "gpsdialogs/interfaces/ConvCoord.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>
#include <string>

namespace {

constexpr double kDeg = std::numbers::pi / 180.0;
// One millimetre on the ground, as an angle (an arc of 1 mm on a 6371 km sphere).
constexpr double kMmAsRadians = 1e-3 / 6371000.0;

// Transverse Mercator on GRS80 by Krüger's series to the sixth order in n (accurate to well
// below a micrometre within a UTM zone): an independent reference for the plane values.
void utmReference(double latDeg, double lonDeg, int zone, double& east, double& north) {
    const double a = 6378137.0;
    const double f = 1.0 / 298.257222101;
    const double n = f / (2.0 - f);
    const double n2 = n * n, n3 = n2 * n, n4 = n3 * n, n5 = n4 * n, n6 = n5 * n;
    const double bigA = a / (1.0 + n) * (1.0 + n2 / 4.0 + n4 / 64.0 + n6 / 256.0);
    const double alpha[7] = {
        0.0,
        n / 2.0 - 2.0 * n2 / 3.0 + 5.0 * n3 / 16.0 + 41.0 * n4 / 180.0 - 127.0 * n5 / 288.0 +
            7891.0 * n6 / 37800.0,
        13.0 * n2 / 48.0 - 3.0 * n3 / 5.0 + 557.0 * n4 / 1440.0 + 281.0 * n5 / 630.0 -
            1983433.0 * n6 / 1935360.0,
        61.0 * n3 / 240.0 - 103.0 * n4 / 140.0 + 15061.0 * n5 / 26880.0 + 167603.0 * n6 / 181440.0,
        49561.0 * n4 / 161280.0 - 179.0 * n5 / 168.0 + 6601661.0 * n6 / 7257600.0,
        34729.0 * n5 / 80640.0 - 3418889.0 * n6 / 1995840.0,
        212378941.0 * n6 / 319334400.0};
    const double e = 2.0 * std::sqrt(n) / (1.0 + n);
    const double phi = latDeg * kDeg;
    const double lambda = (lonDeg - (zone * 6.0 - 183.0)) * kDeg;
    const double t = std::sinh(std::atanh(std::sin(phi)) - e * std::atanh(e * std::sin(phi)));
    const double xi0 = std::atan(t / std::cos(lambda));
    const double eta0 = std::atanh(std::sin(lambda) / std::sqrt(1.0 + t * t));
    double xi = xi0, eta = eta0;
    for (int j = 1; j <= 6; ++j) {
        xi += alpha[j] * std::sin(2 * j * xi0) * std::cosh(2 * j * eta0);
        eta += alpha[j] * std::cos(2 * j * xi0) * std::sinh(2 * j * eta0);
    }
    east = 500000.0 + 0.9996 * bigA * eta;
    north = 0.9996 * bigA * xi;
}

struct Site {
    const char* name;
    double latDeg;
    double lonDeg;
    int zone; // UTM zone whose RDN2008 area of use holds the site
};

// North, centre, south and the islands.
const Site kSites[] = {
    {"Torino", 45.070312, 7.686856, 32},           {"Milano", 45.464203, 9.189982, 32},
    {"Bolzano", 46.498295, 11.354758, 32},         {"Firenze", 43.769560, 11.255814, 32},
    {"Cagliari", 39.223841, 9.121661, 32},         {"Roma", 41.902782, 12.496366, 33},
    {"Napoli", 40.851775, 14.268124, 33},          {"Bari", 41.117143, 16.871871, 33},
    {"Reggio Calabria", 38.111227, 15.647291, 33}, {"Palermo", 38.115688, 13.361267, 33},
    {"Lampedusa", 35.507970, 12.606060, 33}};

std::string rdnUtm(int zone, bool northFirst) {
    if (northFirst) return zone == 32 ? "EPSG:6707" : "EPSG:6708";
    return zone == 32 ? "EPSG:7791" : "EPSG:7792";
}

} // namespace

TEST(ConvCoord, italian_sites_match_the_transverse_mercator_reference) {
    for (const Site& site : kSites) {
        SCOPED_TRACE(site.name);
        CConvCoord conv(rdnUtm(site.zone, true));
        ASSERT_TRUE(conv.IsValid()) << conv.GetError();
        double x = 0, y = 0, z = 0;
        ASSERT_TRUE(
            conv.GrafGpsToPlanAtt(site.latDeg * kDeg, site.lonDeg * kDeg, 100.0, 2.0, x, y, z));
        double east = 0, north = 0;
        utmReference(site.latDeg, site.lonDeg, site.zone, east, north);
        EXPECT_NEAR(x, east, 1e-3);
        EXPECT_NEAR(y, north, 1e-3);
        EXPECT_NEAR(z, 98.0, 1e-9);
    }
}

TEST(ConvCoord, geographic_to_plane_and_back_within_a_millimetre) {
    for (const Site& site : kSites) {
        SCOPED_TRACE(site.name);
        CConvCoord conv(rdnUtm(site.zone, true), 47.25);
        const double lat = site.latDeg * kDeg, lon = site.lonDeg * kDeg;
        double x = 0, y = 0, z = 0;
        ASSERT_TRUE(conv.GrafGpsToPlanAtt(lat, lon, 312.456, 1.8, x, y, z));
        EXPECT_NEAR(z, 312.456 - 1.8 - 47.25, 1e-9);
        double lat2 = 0, lon2 = 0, elev2 = 0;
        ASSERT_TRUE(conv.PlanAttToGrafGps(x, y, z, 1.8, lat2, lon2, elev2));
        EXPECT_NEAR(lat2, lat, kMmAsRadians);
        EXPECT_NEAR(lon2 * std::cos(lat), lon * std::cos(lat), kMmAsRadians);
        EXPECT_NEAR(elev2, 312.456, 1e-9);
    }
}

TEST(ConvCoord, axis_order_of_the_system_does_not_change_east_and_north) {
    CConvCoord northFirst("EPSG:6707");
    CConvCoord eastFirst("EPSG:7791");
    double x1 = 0, y1 = 0, z1 = 0, x2 = 0, y2 = 0, z2 = 0;
    ASSERT_TRUE(northFirst.GrafGpsToPlanAtt(45.0 * kDeg, 9.0 * kDeg, 0, 0, x1, y1, z1));
    ASSERT_TRUE(eastFirst.GrafGpsToPlanAtt(45.0 * kDeg, 9.0 * kDeg, 0, 0, x2, y2, z2));
    EXPECT_NEAR(x1, 500000.0, 1e-6); // on the central meridian
    EXPECT_NEAR(x1, x2, 1e-9);
    EXPECT_NEAR(y1, y2, 1e-9);
    EXPECT_GT(y1, 4900000.0);
}

TEST(ConvCoord, etrs89_utm_converts_inside_its_own_area) {
    CConvCoord conv("EPSG:25832"); // area of use reaches south to 38.76°N
    ASSERT_TRUE(conv.IsValid()) << conv.GetError();
    double x = 0, y = 0, z = 0;
    ASSERT_TRUE(conv.GrafGpsToPlanAtt(46.498295 * kDeg, 11.354758 * kDeg, 0, 0, x, y, z));
    double east = 0, north = 0;
    utmReference(46.498295, 11.354758, 32, east, north);
    EXPECT_NEAR(x, east, 1e-3);
    EXPECT_NEAR(y, north, 1e-3);
}

TEST(ConvCoord, positions_outside_the_area_of_use_are_converted_and_the_area_is_information) {
    CConvCoord zone32("EPSG:6707"); // Italy west of 12°E
    double w = 0, s = 0, e = 0, n = 0;
    ASSERT_TRUE(zone32.GetAreaOfUse(w, s, e, n));
    EXPECT_NEAR(e, 12.0, 1e-6);
    // Roma, London and Sydney lie outside the area, and are converted as the projection says.
    const struct {
        double lat, lon;
    } sites[] = {{41.9, 12.5}, {51.5, -0.12}, {-33.9, 151.2}, {4.0, 9.0}};
    for (const auto& site : sites) {
        double x = 0, y = 0, z = 0;
        ASSERT_TRUE(zone32.GrafGpsToPlanAtt(site.lat * kDeg, site.lon * kDeg, 0, 0, x, y, z));
        double lat = 0, lon = 0, elev = 0;
        ASSERT_TRUE(zone32.PlanAttToGrafGps(x, y, z, 0, lat, lon, elev));
        EXPECT_NEAR(lat / kDeg, site.lat, 1e-6);
        EXPECT_NEAR(std::remainder(lon / kDeg - site.lon, 360.0), 0.0, 1e-6);
    }
    // A half-typed North (a retyped coordinate on its way to 4930106.5) converts too.
    for (double north : {4.0, 49.0, 4930.0, 493010.0}) {
        double lat = 7.0, lon = 8.0, elev = 9.0;
        EXPECT_TRUE(zone32.PlanAttToGrafGps(685010.5, north, 0, 1.8, lat, lon, elev)) << north;
        EXPECT_NEAR(elev, 1.8, 1e-9);
    }
    // What cannot be computed is still refused, outputs untouched.
    double lat = 7.0, lon = 8.0, elev = 9.0;
    EXPECT_FALSE(zone32.PlanAttToGrafGps(1e300, 1e300, 0, 0, lat, lon, elev));
    EXPECT_EQ(lat, 7.0);
    EXPECT_EQ(lon, 8.0);
    EXPECT_EQ(elev, 9.0);
}

TEST(ConvCoord, undefined_and_non_finite_inputs_are_refused_untouched) {
    CConvCoord conv("EPSG:6707");
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    const double lat = 45.0 * kDeg, lon = 9.0 * kDeg;
    struct Case {
        double a, b, c, d;
    };
    const Case geographic[] = {{1.7e200, lon, 0, 0}, {lat, 8.5e199, 0, 0}, {lat, lon, nan, 0},
                               {lat, lon, 0, inf},   {nan, lon, 0, 0},     {2.0, lon, 0, 0}};
    for (const Case& c : geographic) {
        double x = 1.0, y = 2.0, z = 3.0;
        EXPECT_FALSE(conv.GrafGpsToPlanAtt(c.a, c.b, c.c, c.d, x, y, z));
        EXPECT_EQ(x, 1.0);
        EXPECT_EQ(y, 2.0);
        EXPECT_EQ(z, 3.0);
    }
    const Case plane[] = {
        {1.7e200, 5e6, 0, 0}, {5e5, nan, 0, 0}, {5e5, 5e6, inf, 0}, {5e5, 5e6, 0, 1.7e200}};
    for (const Case& c : plane) {
        double a = 1.0, b = 2.0, e = 3.0;
        EXPECT_FALSE(conv.PlanAttToGrafGps(c.a, c.b, c.c, c.d, a, b, e));
        EXPECT_EQ(a, 1.0);
        EXPECT_EQ(b, 2.0);
        EXPECT_EQ(e, 3.0);
    }
}

TEST(ConvCoord, systems_that_are_not_projected_are_refused) {
    for (const char* crs : {"EPSG:4326", "EPSG:6706", "EPSG:999999", "garbage", ""}) {
        SCOPED_TRACE(crs);
        CConvCoord conv(crs);
        EXPECT_FALSE(conv.IsValid());
        EXPECT_FALSE(conv.GetError().empty());
        double x = 1.0, y = 2.0, z = 3.0;
        EXPECT_FALSE(conv.GrafGpsToPlanAtt(45.0 * kDeg, 9.0 * kDeg, 0, 0, x, y, z));
        EXPECT_EQ(x, 1.0);
    }
}

TEST(ConvCoord, a_proj_string_converts_and_takes_an_area_of_use_from_the_host) {
    CConvCoord conv("+proj=utm +zone=32 +ellps=GRS80 +units=m");
    ASSERT_TRUE(conv.IsValid()) << conv.GetError();
    double w, s, e, n;
    EXPECT_FALSE(conv.GetAreaOfUse(w, s, e, n));
    double x = 0, y = 0, z = 0;
    ASSERT_TRUE(conv.GrafGpsToPlanAtt(45.464203 * kDeg, 9.189982 * kDeg, 0, 0, x, y, z));
    double east = 0, north = 0;
    utmReference(45.464203, 9.189982, 32, east, north);
    EXPECT_NEAR(x, east, 1e-3);
    EXPECT_NEAR(y, north, 1e-3);

    conv.SetAreaOfUse(6.0, 36.0, 12.0, 47.5);
    ASSERT_TRUE(conv.GetAreaOfUse(w, s, e, n));
    EXPECT_EQ(s, 36.0);
    EXPECT_TRUE(conv.GrafGpsToPlanAtt(41.9 * kDeg, 12.5 * kDeg, 0, 0, x, y, z));
}

// ---- geocentric -----------------------------------------------------------------------------

TEST(Geocentric, known_reference_positions) {
    double x, y, z;
    ASSERT_TRUE(GeoToGeocentric(0.0, 0.0, 0.0, x, y, z));
    EXPECT_NEAR(x, 6378137.0, 1e-7);
    EXPECT_NEAR(y, 0.0, 1e-7);
    EXPECT_NEAR(z, 0.0, 1e-7);
    ASSERT_TRUE(GeoToGeocentric(std::numbers::pi / 2, 0.0, 0.0, x, y, z));
    EXPECT_NEAR(z, 6356752.314140, 1e-4); // GRS80 semi-minor axis
    EXPECT_NEAR(std::hypot(x, y), 0.0, 1e-6);
    ASSERT_TRUE(GeoToGeocentric(0.0, std::numbers::pi / 2, 100.0, x, y, z));
    EXPECT_NEAR(y, 6378237.0, 1e-7);

    // The published example of the geocentric conversion (53°48'33.820"N, 2°07'46.380"E,
    // 73 m): printed to the millimetre, on an ellipsoid that differs from GRS80 by 0.1 mm.
    const double lat = (53.0 + 48.0 / 60 + 33.820 / 3600) * kDeg;
    const double lon = (2.0 + 7.0 / 60 + 46.380 / 3600) * kDeg;
    ASSERT_TRUE(GeoToGeocentric(lat, lon, 73.0, x, y, z));
    EXPECT_NEAR(x, 3771793.968, 1e-3);
    EXPECT_NEAR(y, 140253.342, 1e-3);
    EXPECT_NEAR(z, 5124304.349, 1e-3);
}

TEST(Geocentric, round_trips_within_a_tenth_of_a_millimetre) {
    const double table[][3] = {{45.070312, 7.686856, 250.0},
                               {38.115688, 13.361267, 35.2},
                               {-33.9, 151.2, -30.0},
                               {89.9999, 45.0, 2000.0},
                               {-90.0, 0.0, 0.0},
                               {0.0, 180.0, 20200000.0},
                               {46.5, -179.9999, 4810.0},
                               {0.0, 0.0, -6000000.0}};
    for (const auto& row : table) {
        SCOPED_TRACE(row[0]);
        const double lat = row[0] * kDeg, lon = row[1] * kDeg, h = row[2];
        double x, y, z;
        ASSERT_TRUE(GeoToGeocentric(lat, lon, h, x, y, z));
        double lat2, lon2, h2;
        ASSERT_TRUE(GeocentricToGeo(x, y, z, lat2, lon2, h2));
        EXPECT_NEAR(lat2, lat, 1e-4 / 6371000.0);
        if (std::fabs(row[0]) < 89.0) {
            EXPECT_NEAR(std::remainder(lon2 - lon, 2 * std::numbers::pi) * std::cos(lat), 0.0,
                        1e-4 / 6371000.0);
        }
        EXPECT_NEAR(h2, h, 1e-4);
    }
}

TEST(Geocentric, undefined_inputs_are_refused_untouched) {
    double a = 1.0, b = 2.0, c = 3.0;
    EXPECT_FALSE(GeoToGeocentric(1.7e200, 0.2, 0.0, a, b, c));
    EXPECT_FALSE(GeoToGeocentric(0.7, std::numeric_limits<double>::quiet_NaN(), 0.0, a, b, c));
    EXPECT_FALSE(GeoToGeocentric(1.6, 0.2, 0.0, a, b, c)); // beyond the pole
    EXPECT_FALSE(GeocentricToGeo(4.4e6, 1.7e200, 4.5e6, a, b, c));
    EXPECT_FALSE(GeocentricToGeo(std::numeric_limits<double>::infinity(), 0, 0, a, b, c));
    EXPECT_EQ(a, 1.0);
    EXPECT_EQ(b, 2.0);
    EXPECT_EQ(c, 3.0);
}

TEST(ConvCoord, a_system_says_its_code_and_the_unit_of_its_plane_coordinates) {
    EXPECT_EQ(CConvCoord("EPSG:6707").GetCrsCode(), "EPSG:6707");
    EXPECT_EQ(CConvCoord("EPSG:6707").GetPlaneUnit(), "m");
    EXPECT_EQ(CConvCoord("EPSG:2227").GetPlaneUnit(), "ftUS"); // California zone 3 (ftUS)
    EXPECT_EQ(CConvCoord("+proj=tmerc +lon_0=9 +k=0.9996 +x_0=500000 +ellps=GRS80 +units=ft")
                  .GetPlaneUnit(),
              "ft");
    EXPECT_EQ(CConvCoord("+proj=tmerc +lon_0=9 +k=0.9996 +x_0=500000 +ellps=GRS80 +units=ft")
                  .GetCrsCode(),
              "");
    EXPECT_EQ(CConvCoord("EPSG:4326").GetPlaneUnit(), ""); // not projected: refused
    EXPECT_EQ(CConvCoord("EPSG:4326").GetCrsCode(), "");
}
