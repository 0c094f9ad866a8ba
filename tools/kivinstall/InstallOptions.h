// The command line of kivinstall.
#pragma once
#include <string>
#include <vector>

#include "common/ToolArguments.h"

// The usage line, and the whole help (--help).
extern const char kInstallUsageText[];
std::string InstallHelp();

struct InstallOptions : ToolArguments {
    bool acceptLicense = false;
    bool open = false;
    bool dryRun = false;
};

// Reads the arguments (without the program name). False, with the problem in
// error, when they are not usable; a missing --target is such a problem.
bool ParseInstallArguments(const std::vector<std::string>& args, InstallOptions& options, std::string& error);
