// The command line of kivcheck.
#pragma once
#include <string>
#include <vector>

extern const char kUsage[];

struct CheckOptions {
    bool json = false;
    bool strict = false;
    bool help = false;
    bool version = false;    // --version: the program shows its version instead
    bool hasTarget = false;
    std::string target;      // the target text exactly as given
    std::string packageDir;  // empty: stay in the current directory
};

// Reads the arguments (without the program name). Returns false with a
// description of the problem in error when they are not usable.
bool ParseArguments(const std::vector<std::string>& args, CheckOptions& options, std::string& error);
