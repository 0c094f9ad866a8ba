// One run of kivcheck: arguments in, report text and exit status out.
#pragma once
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "Arguments.h"
#include "CheckReport.h"

// Exit statuses.
constexpr int kExitLoaded = 0;
constexpr int kExitNotLoaded = 1;
constexpr int kExitUsage = 2;
constexpr int kExitWarnings = 3;  // only with --strict

// The package directory as the current directory, for as long as the object
// lives; the one before is put back when it goes.
class CPackageDirectory {
public:
    CPackageDirectory();
    ~CPackageDirectory();
    CPackageDirectory(const CPackageDirectory&) = delete;
    CPackageDirectory& operator=(const CPackageDirectory&) = delete;

    // Enters directory, a path of the system the tool runs on; an empty one
    // leaves the current directory as it is. False when it cannot be entered.
    bool Enter(const std::string& directory);

private:
    std::error_code m_error;
    std::filesystem::path m_saved;
};

// Loads the package in the current directory with the installer's own code
// and checks it; with a target, plans the installation for it.
CheckReport CheckPackage(const CheckOptions& options);

// The whole run for these arguments (without the program name): enters the
// package directory, checks, writes the report into out and problems into
// err, and returns the exit status. The current directory is put back.
int RunCheck(const std::vector<std::string>& args, std::string& out, std::string& err);

// The program: RunCheck on the command line, its output written byte for byte.
int RunCheckMain(int argc, char** argv);
