// A fresh temporary folder for a test, the same on every system.
#pragma once

#include <filesystem>
#include <random>
#include <stdexcept>
#include <string>
#include <system_error>

namespace testsupport {

/// Makes a new, empty folder under the system's temporary folder, named prefix + six random
/// letters or digits. Throws when none can be made.
inline std::filesystem::path makeTempFolder(const std::string& prefix) {
    static constexpr char kChars[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    std::random_device random;
    const std::filesystem::path base = std::filesystem::temp_directory_path();
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string name = prefix;
        for (int i = 0; i < 6; ++i)
            name += kChars[random() % (sizeof kChars - 1)];
        std::error_code ec;
        // create_directory is false for a folder that was already there: try another name.
        if (std::filesystem::create_directory(base / name, ec)) return base / name;
    }
    throw std::runtime_error("cannot create a temporary folder");
}

} // namespace testsupport
