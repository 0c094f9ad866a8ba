// kivcheck's command line.
#pragma once
#include <string>
#include <vector>

#include "common/ToolArguments.h"

// The usage line, and the whole help (--help).
extern const char kUsage[];
std::string CheckHelp();

struct CheckOptions : ToolArguments {
    bool json = false;
    bool strict = false;
};

// Reads the arguments (without the program name). False, with the problem in
// error, when they are not usable.
bool ParseArguments(const std::vector<std::string>& args, CheckOptions& options, std::string& error);
