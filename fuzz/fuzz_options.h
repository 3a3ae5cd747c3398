#pragma once

// Reads the target's options file, <executable>.options beside it, and hands
// its [libfuzzer] settings to libFuzzer as flags, so a plain run gets them as
// a fuzzing service would. A flag given on the command line wins.

#include <cstring>
#include <fstream>
#include <string>
#include <vector>

namespace fuzzing {

inline std::string trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

inline bool flagGiven(int argc, char** argv, const std::string& prefix) {
    for (int k = 1; k < argc; ++k) {
        if (std::strncmp(argv[k], prefix.c_str(), prefix.size()) == 0)
            return true;
    }
    return false;
}

inline void applyOptionsFile(int* argc, char*** argv) {
    std::ifstream file(std::string((*argv)[0]) + ".options");
    static std::vector<std::string> flags;
    static std::vector<char*> arguments;
    bool inSection = false;
    for (std::string line; std::getline(file, line);) {
        line = trimmed(line);
        if (line.empty() || line[0] == '#')
            continue;
        if (line[0] == '[') {
            inSection = line == "[libfuzzer]";
            continue;
        }
        const auto equals = line.find('=');
        if (!inSection || equals == std::string::npos)
            continue;
        const std::string prefix = "-" + trimmed(line.substr(0, equals)) + "=";
        if (!flagGiven(*argc, *argv, prefix))
            flags.push_back(prefix + trimmed(line.substr(equals + 1)));
    }
    if (flags.empty())
        return;
    arguments.assign(*argv, *argv + *argc);
    for (std::string& flag : flags)
        arguments.push_back(flag.data());
    arguments.push_back(nullptr);
    *argc = int(arguments.size()) - 1;
    *argv = arguments.data();
}

} // namespace fuzzing
