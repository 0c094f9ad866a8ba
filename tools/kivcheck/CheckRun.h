// One run of kivcheck: arguments in, report text and exit status out.
#pragma once
#include <string>
#include <vector>

#include "kivcheck/CheckOptions.h"

// Exit statuses.
constexpr int kExitLoaded = 0;
constexpr int kExitNotLoaded = 1;
constexpr int kExitUsage = 2;
constexpr int kExitWarnings = 3;  // only with --strict

// The whole run for these arguments (without the program name): enters the
// package directory, checks, writes the report into out and problems into
// err, and returns the exit status. The current directory is put back.
int RunCheck(const std::vector<std::string>& args, std::string& out, std::string& err);
