#include "Module.h"

#include "platform/resources.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <optional>
#include <sstream>

extern const char* const kModuleResourceScript;
extern const char* const kModuleResourceHeader;

namespace {

struct ModuleRecord {
    AFX_EXTENSION_MODULE extension;
    std::shared_ptr<const platform::ResourceModule> resources;
    std::string error;
};

ModuleRecord& record() {
    static ModuleRecord module;
    return module;
}

std::optional<std::string> readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// The module carries its resource script; GPSDIALOGS_RESOURCE_SCRIPT names a script on disk to
// use instead, so that a layout can be tried without rebuilding.
platform::ParseResult parseModuleResources() {
    if (const char* path = std::getenv("GPSDIALOGS_RESOURCE_SCRIPT"); path != nullptr && *path) {
        std::string script(path);
        std::optional<std::string> text = readFile(script);
        if (!text) {
            platform::ParseResult failed;
            failed.error = script + ": cannot be read";
            return failed;
        }
        std::string folder = script.substr(0, script.find_last_of('/') + 1);
        return platform::parseResourceScript(
            *text, script, [folder](const std::string& name) { return readFile(folder + name); });
    }
    return platform::parseResourceScript(kModuleResourceScript, "gpsdialogs.rc",
                                         [](const std::string& name) -> std::optional<std::string> {
                                             if (name == "resource.h")
                                                 return std::string(kModuleResourceHeader);
                                             return std::nullopt;
                                         });
}

// Registration when the library is loaded, unregistration when it is unloaded.
struct ModuleLifetime {
    ModuleLifetime() {
        ModuleRecord& module = record();
        platform::ParseResult parsed = parseModuleResources();
        if (!parsed.module) {
            module.error = parsed.error;
        } else {
            module.resources = parsed.module;
            if (!AfxInitExtensionModule(module.extension, module.resources.get()))
                module.error = "the module could not register with the dialog framework";
        }
        if (!module.error.empty())
            std::fprintf(stderr, "gpsdialogs: not loaded: %s\n", module.error.c_str());
    }
    ~ModuleLifetime() { AfxTermExtensionModule(record().extension); }
};

const ModuleLifetime lifetime;

} // namespace

AFX_EXTENSION_MODULE& ExtensionModule() {
    return record().extension;
}

bool IsModuleRegistered() {
    return record().extension.bInitialized;
}

const std::string& ModuleLoadError() {
    return record().error;
}

std::string LoadModuleString(UINT id) {
    char buffer[1024];
    LoadStringA(record().extension.hResource, id, buffer, static_cast<int>(sizeof buffer));
    return buffer;
}

void ReportSettingsNotWritten(const std::string& why) {
    MessageBoxOkExclam(nullptr,
                       "Impossibile salvare le impostazioni nel file \"" + CIniFile::GetFilePath() +
                           "\": " + why + ". Le scelte fatte non sono state registrate.",
                       "Attenzione !");
}
