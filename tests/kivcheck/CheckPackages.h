// Test support for the checker: packages written into temp dirs, and runs of the checker on them.
#pragma once
#include <string>
#include <vector>

#include "CheckReport.h"
#include "TempDir.h"

// The package of the format's worked example, with its packaged files.
void WriteWorkedExample(const CTempDir& package);

// Writes setup.inf naming the install section section, with these lines in it.
void WriteSetup(const CTempDir& package, const std::string& section, const std::string& sectionLines);

// The outcome of one run of the checker.
struct CheckRunResult {
    int status;
    std::string out, err;
};

CheckRunResult Check(const std::vector<std::string>& args);

// The warnings of a check of package (with a plan when target is not empty).
std::vector<CheckWarning> Warnings(const CTempDir& package, const std::string& target = "");
std::vector<std::string> WarningCodes(const CTempDir& package, const std::string& target = "");
