// kivpack: a package made from a directory tree, checked with kivcheck's
// checks before it is put in place.
#pragma once
#include <filesystem>
#include <string>
#include <vector>

// Exit statuses.
constexpr int kPackDone = 0;        // the package was written (warnings may have been given)
constexpr int kPackRefused = 1;     // the content cannot be packed, or the final check found a problem
constexpr int kPackUsage = 2;       // the command line, a text or a file it names cannot be used
constexpr int kPackDirInUse = 3;    // PACKAGE_DIR holds something (without --force) or is no directory
constexpr int kPackNotWritten = 4;  // writing failed or was interrupted

// The whole run for these arguments (without the program name). program is
// the running kivpack, beside which KivSetup.exe is looked for. The summary
// goes into out, problems, warnings and notes into err. Nothing is written
// unless the status is kPackDone; the current directory is put back.
int RunPack(const std::vector<std::string>& args, const std::filesystem::path& program, std::string& out,
            std::string& err);
