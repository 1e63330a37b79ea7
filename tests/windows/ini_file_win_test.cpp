// The settings file on Windows: wide paths, replace through the system, writers taking turns
// through LockFileEx. Run under Wine by ./dev windows-test.
#include "TempSettings.h"
#include "gpsdialogs/interfaces/Kit.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

namespace fs = std::filesystem;
using testsupport::TempSettings;

namespace {

std::vector<std::string> namesIn(const fs::path& dir) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir)) {
        const DWORD attributes = ::GetFileAttributesW(entry.path().c_str());
        if (!(attributes & FILE_ATTRIBUTE_HIDDEN) || entry.path().filename().wstring()[0] != L'.')
            names.push_back(entry.path().filename().string());
        else if (entry.path().filename().wstring().find(L"-lock") == std::wstring::npos)
            names.push_back(entry.path().filename().string()); // a hidden temporary left over
    }
    return names;
}

} // namespace

TEST(IniFileWindows, a_path_with_accents_is_written_and_read_back) {
    TempSettings settings;
    // "Località è" in UTF-8: the host's paths are UTF-8, the file system's UTF-16.
    const std::string folder = settings.dir().string() + "\\Localit\xC3\xA0 \xC3\xA8";
    ASSERT_TRUE(
        ::CreateDirectoryW(fs::path(settings.dir() / L"Localit\u00E0 \u00E8").c_str(), nullptr));
    CIniFile ini(folder + "\\impostazioni.ini");
    ASSERT_TRUE(ini.WriteString("EDIT_GPS", "Nome", "Pav\xC3\xA9"));
    EXPECT_EQ(CIniFile(folder + "\\impostazioni.ini").GetString("EDIT_GPS", "Nome", ""),
              "Pav\xC3\xA9");
    EXPECT_TRUE(fs::exists(settings.dir() / L"Localit\u00E0 \u00E8" / L"impostazioni.ini"));
}

TEST(IniFileWindows, a_write_keeps_the_other_lines_and_leaves_no_temporary) {
    TempSettings settings;
    settings.write("; comment\r\n[EDIT_GPS]\r\nModPt=1\r\nAltro = x \r\n");
    CIniFile ini;
    ASSERT_TRUE(ini.WriteShort("EDIT_GPS", "ModPt", 3));
    ASSERT_TRUE(ini.WriteShort("NUOVA", "k", 7));
    EXPECT_EQ(settings.read(),
              "; comment\r\n[EDIT_GPS]\r\nModPt=3\r\nAltro = x \r\n[NUOVA]\r\nk=7\r\n");
    EXPECT_EQ(namesIn(settings.dir()), std::vector<std::string>{"settings.ini"});
}

TEST(IniFileWindows, a_read_only_file_is_refused_and_stays_as_it_was) {
    TempSettings settings;
    settings.write("[S]\nk=1\n");
    ASSERT_TRUE(::SetFileAttributesW(settings.path().c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_FALSE(CIniFile().WriteShort("S", "k", 2));
    ::SetFileAttributesW(settings.path().c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(settings.read(), "[S]\nk=1\n");
    EXPECT_EQ(namesIn(settings.dir()), std::vector<std::string>{"settings.ini"});
}

TEST(IniFileWindows, a_folder_in_place_of_the_file_gives_defaults_and_refuses_writes) {
    TempSettings settings;
    fs::create_directory(settings.path());
    CIniFile ini;
    EXPECT_EQ(ini.GetShort("S", "k", 5), 5);
    EXPECT_FALSE(ini.WriteShort("S", "k", 1));
    EXPECT_TRUE(fs::is_directory(settings.path()));
}

TEST(IniFileWindows, writers_on_several_threads_take_turns_and_lose_no_key) {
    TempSettings settings;
    constexpr int kThreads = 4;
    constexpr int kKeys = 15;
    std::vector<std::thread> writers;
    for (int t = 0; t < kThreads; ++t)
        writers.emplace_back([t] {
            CIniFile ini;
            for (int k = 0; k < kKeys; ++k)
                ini.WriteLong("S", "t" + std::to_string(t) + "k" + std::to_string(k), t * 100 + k);
        });
    for (std::thread& w : writers)
        w.join();
    CIniFile ini;
    for (int t = 0; t < kThreads; ++t)
        for (int k = 0; k < kKeys; ++k)
            EXPECT_EQ(ini.GetLong("S", "t" + std::to_string(t) + "k" + std::to_string(k), -1),
                      t * 100 + k);
    EXPECT_EQ(namesIn(settings.dir()), std::vector<std::string>{"settings.ini"});
}

TEST(IniFileWindows, a_writer_holding_the_lock_makes_the_others_wait_then_they_go_ahead) {
    TempSettings settings;
    ASSERT_TRUE(CIniFile().WriteShort("S", "first", 1));
    // Another process's writer, as the system sees it: the lock taken on the companion file.
    HANDLE other = ::CreateFileW((settings.dir() / L".settings.ini-lock").c_str(),
                                 GENERIC_READ | GENERIC_WRITE,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                 OPEN_ALWAYS, FILE_ATTRIBUTE_HIDDEN, nullptr);
    ASSERT_NE(other, INVALID_HANDLE_VALUE);
    OVERLAPPED at{};
    ASSERT_TRUE(::LockFileEx(other, LOCKFILE_EXCLUSIVE_LOCK, 0, 1, 0, &at));
    std::thread writer([] { CIniFile().WriteShort("S", "second", 2); });
    ::Sleep(200);
    EXPECT_EQ(CIniFile().GetShort("S", "second", 0), 0) << "the write did not wait for the lock";
    ::UnlockFileEx(other, 0, 1, 0, &at);
    ::CloseHandle(other);
    writer.join();
    EXPECT_EQ(CIniFile().GetShort("S", "second", 0), 2);
    EXPECT_EQ(CIniFile().GetShort("S", "first", 0), 1);
}
