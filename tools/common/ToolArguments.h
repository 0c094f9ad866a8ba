// What the tools' command lines share: a target, a package directory and flags.
#pragma once
#include <cstddef>
#include <functional>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

struct ToolArguments {
    bool hasTarget = false;
    std::string target;      // the target text exactly as given
    std::string packageDir;  // empty: stay in the current directory
    std::string codePage;    // as given; empty: the default
    int codePageNumber = 0;
};

// Walks a command line (without the program name): options up to "--",
// "--target DIR", "--codepage N" (each also as "--name=VALUE"), and at most
// one package directory. flag
// takes every other option and returns false for one it does not know.
// False, with the problem in error, when the arguments are not usable.
bool ParseToolArguments(const std::vector<std::string>& args, const std::function<bool(const std::string&)>& flag,
                        ToolArguments& parsed, std::string& error);

// For flag: sets the flag named arg among flags (option name, flag); false
// when none has that name.
bool SetFlag(const std::string& arg, std::initializer_list<std::pair<const char*, bool*>> flags);

// What a tool writes for a command line it cannot use: its name and the
// problem, the usage line, and where to find more.
std::string UsageProblem(const char* tool, const std::string& problem, const char* usage);

// The --codepage option's lines in a tool's help: its description from
// column on (where the help describes its other options), wrapped to 79
// characters, so that every tool says the same of it.
std::string CodePageHelp(size_t column);

// "tool 1.0.0": the project's version, the one in KivSetup.exe's properties.
std::string VersionLine(const char* tool);

// Makes the code page given with --codepage the package's (WindowsNames::
// SetCodePage); false, with the problem in error, when it cannot be used.
bool ApplyCodePage(const ToolArguments& arguments, std::string& error);
