// Where gpsbook keeps its settings.
#include "core/Settings.h"

#include "TempSettings.h"

#include "gpsdialogs/interfaces/Kit.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

using gpsbook::settingsFilePath;

TEST(Settings, the_file_lives_in_the_users_configuration_folder) {
    EXPECT_EQ(settingsFilePath("/x/cfg", "/home/anna"), "/x/cfg/gpsbook/gpsbook.ini");
    EXPECT_EQ(settingsFilePath(nullptr, "/home/anna"), "/home/anna/.config/gpsbook/gpsbook.ini");
    EXPECT_EQ(settingsFilePath("", "/home/anna"), "/home/anna/.config/gpsbook/gpsbook.ini");
    // A relative configuration folder is not used, as the XDG rules say.
    EXPECT_EQ(settingsFilePath("cfg", "/home/anna"), "/home/anna/.config/gpsbook/gpsbook.ini");
    EXPECT_EQ(settingsFilePath(nullptr, nullptr), "gpsbook.ini");
}

TEST(Settings, using_a_file_creates_its_folder_and_makes_it_the_hosts) {
    testsupport::TempSettings temp;
    const std::filesystem::path path = temp.dir() / "a" / "b" / "gpsbook.ini";
    EXPECT_TRUE(gpsbook::useSettingsFile(path.string()));
    EXPECT_TRUE(std::filesystem::is_directory(path.parent_path()));
    EXPECT_EQ(CIniFile::GetFilePath(), path.string());
    EXPECT_TRUE(CIniFile().WriteLong("S", "K", 7));
    EXPECT_EQ(CIniFile(path.string()).GetLong("S", "K", 0), 7);

    // A folder that cannot be made: a file stands in the way.
    std::ofstream(temp.dir() / "file") << "x";
    EXPECT_FALSE(gpsbook::useSettingsFile((temp.dir() / "file" / "gpsbook.ini").string()));
}
