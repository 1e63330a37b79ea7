// Runs a short Python script as a peer reader of what the program wrote (the settings file,
// an export), so that a test checks the files against a reader that is not ours. The peer is
// required: without python3 the test fails instead of skipping.
#pragma once

#include <cstdio>
#include <string>

namespace testsupport {

/// Runs `python3 -c SCRIPT ARGS...` and hands back what it printed; \p status gets the exit
/// status (-1 when python3 could not be started).
inline std::string runPython(const std::string& script, const std::string& args, int& status) {
    std::string quoted = "'";
    for (char c : script) {
        if (c == '\'')
            quoted += "'\\''";
        else
            quoted += c;
    }
    quoted += "'";
    const std::string command = "python3 -c " + quoted + " " + args + " 2>&1";
    std::FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr) {
        status = -1;
        return {};
    }
    std::string output;
    char buffer[4096];
    std::size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
        output.append(buffer, n);
    status = ::pclose(pipe);
    return output;
}

/// A path as one shell word.
inline std::string shellWord(const std::string& text) {
    std::string quoted = "'";
    for (char c : text) {
        if (c == '\'')
            quoted += "'\\''";
        else
            quoted += c;
    }
    return quoted + "'";
}

} // namespace testsupport
