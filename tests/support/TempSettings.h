// A temporary settings file for one test: a fresh folder, the host's settings path pointed
// at a file in it for the fixture's lifetime, everything removed afterwards.
#pragma once

#include "TempFolder.h"
#include "gpsdialogs/interfaces/Kit.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace testsupport {

class TempSettings {
public:
    /// Creates the folder and points CIniFile's default path at "<folder>/<fileName>".
    explicit TempSettings(const std::string& fileName = "settings.ini")
        : m_previous(CIniFile::GetFilePath()), m_dir(makeTempFolder("gpsdialogs-test-")) {
        m_path = m_dir / fileName;
        CIniFile::SetFilePath(m_path.string());
    }

    ~TempSettings() {
        CIniFile::SetFilePath(m_previous);
        std::error_code ec;
        std::filesystem::remove_all(m_dir, ec);
    }

    TempSettings(const TempSettings&) = delete;
    TempSettings& operator=(const TempSettings&) = delete;

    /// The temporary folder.
    const std::filesystem::path& dir() const { return m_dir; }
    /// The settings file (it may not exist yet).
    const std::filesystem::path& path() const { return m_path; }
    /// The settings file's path as text.
    std::string pathString() const { return m_path.string(); }

    /// Replaces the settings file with exactly these bytes.
    void write(const std::string& content) const {
        std::ofstream out(m_path, std::ios::binary | std::ios::trunc);
        out << content;
    }

    /// The settings file's bytes; empty when it does not exist.
    std::string read() const {
        std::ifstream in(m_path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

private:
    std::string m_previous;
    std::filesystem::path m_dir;
    std::filesystem::path m_path;
};

} // namespace testsupport
