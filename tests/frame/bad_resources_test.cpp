// A module whose resource script is malformed refuses to register: every export returns false
// without showing anything. Run by ctest with GPSDIALOGS_RESOURCE_SCRIPT naming a broken script.
#include "gpsdialogs/GpsDialogs.h"
#include "platform/automation.h"

#include "Module.h"

#include <gtest/gtest.h>

#include <cstdlib>

TEST(BadResources, every_export_refuses_and_the_error_names_the_line) {
    const char* script = std::getenv("GPSDIALOGS_RESOURCE_SCRIPT");
    if (script == nullptr) GTEST_SKIP() << "run by ctest with a broken resource script";
    EXPECT_FALSE(IsModuleRegistered());
    EXPECT_NE(ModuleLoadError().find("broken.rc:7:"), std::string::npos) << ModuleLoadError();

    automation::ScriptedUser user;
    user.onDialog([](automation::Dialog& d) { d.click(1); });
    std::string text = "12";
    bool inName = false, inCode = false;
    EXPECT_FALSE(FDlgFindPunGps(text, inName, inCode));
    EXPECT_EQ(text, "12");
    std::vector<CGrpGps*> groups, chosen;
    EXPECT_FALSE(FDlgSelGrpLibGps(&groups, &chosen));
    EXPECT_TRUE(user.dialogsSeen().empty());
    EXPECT_TRUE(user.messageBoxes().empty());
}
