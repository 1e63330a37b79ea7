// The resource-script parser on any bytes: a module or an error naming a line, never a crash
// or a hang. Includes resolve to a small fixed header, so that #include paths are reached.
#include "FuzzCheck.h"
#include "platform/resources.h"

#include <cstdint>
#include <optional>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const platform::IncludeResolver resolver =
        [](const std::string& name) -> std::optional<std::string> {
        if (name == "resource.h") return std::string("#define IDD_X 100\n#define IDC_A 1000\n");
        return std::nullopt;
    };
    const platform::ParseResult result = platform::parseResourceScript(text, "fuzz.rc", resolver);
    FUZZ_CHECK((result.module == nullptr) != result.error.empty());
    FUZZ_CHECK(result.error.size() < 4096);
    return 0;
}
