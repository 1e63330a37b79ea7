// The settings file on any bytes: reading gives a value or the default, and a write changes the
// one key it names, keeps every other line byte for byte and reads back.
#include "FuzzCheck.h"
#include "gpsdialogs/interfaces/Kit.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>

namespace {

std::string folder() {
    static const std::string path = [] {
        // In memory where there is such a folder: every input is a write, flushed to disk.
        std::string pattern = std::filesystem::is_directory("/dev/shm")
                                  ? "/dev/shm/gps-fuzz-ini-XXXXXX"
                                  : "/tmp/gps-fuzz-ini-XXXXXX";
        if (::mkdtemp(pattern.data()) == nullptr) std::abort();
        return pattern;
    }();
    return path;
}

std::string readAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const std::string path = folder() + "/settings.ini";
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out << bytes;
    }
    CIniFile ini(path);
    // Each read opens the file anew: a few names that the corpus holds, and the empty one.
    const char* const sections[] = {"EDIT_GPS", "PERSIST", ""};
    const char* const keys[] = {"ModPt", "GpsVari", ""};
    for (const char* section : sections)
        for (const char* key : keys) {
            (void)ini.GetShort(section, key, 7);
            (void)ini.GetBool(section, key, true);
            (void)ini.GetLong(section, key, -7);
            (void)ini.GetDouble(section, key, 0.5);
            FUZZ_CHECK(ini.GetString(section, key, "def").size() <= bytes.size() + 3);
        }
    char buffer[260];
    (void)ini.GetLastFile("PERSIST", "LastImportedFileGps", "a", "b", "c", buffer, sizeof buffer);

    if (ini.WriteLong("FUZZ", "Written", 4242)) {
        FUZZ_CHECK(ini.GetLong("FUZZ", "Written", 0) == 4242);
        // Every line of the old file is still there, in order.
        const std::string after = readAll(path);
        std::size_t at = 0;
        std::size_t start = 0;
        while (start < bytes.size()) {
            std::size_t end = bytes.find('\n', start);
            if (end == std::string::npos) end = bytes.size();
            const std::string line = bytes.substr(start, end - start);
            start = end + 1;
            const std::size_t found = after.find(line, at);
            FUZZ_CHECK(found != std::string::npos);
            at = found + line.size();
        }
    }
    std::filesystem::remove(path);
    return 0;
}
