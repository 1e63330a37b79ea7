// Number texts and angles on any bytes: the readers never fail, the writer's text reads back
// to the value it wrote, and the sexagesimal split of an angle is its exact inverse.
#include "FuzzCheck.h"
#include "gpsdialogs/interfaces/ConvCoord.h"
#include "gpsdialogs/interfaces/Kit.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const double read = DoubleDaString(text);
    (void)IntDaStringNullZero(text);
    (void)LongDaStringNullZero(text);

    // The writer: a text that reads back to the value within its decimals.
    const int decimals = size > 0 ? data[0] % 12 : 3;
    const std::string written = StringDaDouble(read, size > 1 ? data[1] % 4 : 0, decimals);
    FUZZ_CHECK(!written.empty());
    FUZZ_CHECK(written.find("-0.") != 0 || DoubleDaString(written) != 0.0);
    const double back = DoubleDaString(written);
    if (std::isnan(read))
        FUZZ_CHECK(std::isnan(back));
    else if (std::isfinite(read) && std::fabs(read) < 1e15)
        FUZZ_CHECK(std::fabs(back - read) <=
                   0.5 * std::pow(10.0, -decimals) * 1.000001 + std::fabs(read) * 1e-15);
    else
        FUZZ_CHECK(back == read || (read >= 8.5e199 && back >= 8.5e199));

    // Angles: the bytes as a double in radians, where there are eight of them.
    double angle = read;
    if (size >= 8) std::memcpy(&angle, data, 8);
    if (std::isfinite(angle) && std::fabs(angle) < 1e6) {
        int deg = 0, min = 0;
        double sec = 0;
        AngSesgFromRadi(angle, deg, min, sec);
        FUZZ_CHECK(min >= -59 && min <= 59);
        FUZZ_CHECK(std::fabs(sec) < 60.0);
        const double again = AngRadiFromSesg(deg, min, sec);
        FUZZ_CHECK(std::fabs(again - angle) <= 1e-12 * (1 + std::fabs(angle)));
    } else {
        int deg = 0, min = 0;
        double sec = 0;
        AngSesgFromRadi(angle, deg, min, sec); // must not trap
    }
    return 0;
}
