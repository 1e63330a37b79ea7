// Linked into every test program of the Windows build: with GPS_BACKEND=win32 the tests run
// with the Win32 view of the control model instead of the headless backend, so that every
// dialog they open is also made by the system's dialog manager and kept in step with the
// model.
#include "platform/backend.h"
#include "platform/win32/Win32Backend.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace {

class Win32Choice final : public ::testing::Environment {
public:
    void SetUp() override {
        const char* choice = std::getenv("GPS_BACKEND");
        if (choice != nullptr && std::string(choice) == "win32") platform::win32::useWin32Backend();
    }
    // The native windows go before the program ends, not at the unloading of the DLLs.
    void TearDown() override { platform::useHeadlessBackend(); }
};

[[maybe_unused]] ::testing::Environment* const g_choice =
    ::testing::AddGlobalTestEnvironment(new Win32Choice);

} // namespace
