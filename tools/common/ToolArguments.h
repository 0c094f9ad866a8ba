// What the tools' command lines share: one walk by a table of options, the
// target, the package directory and the code page.
#pragma once
#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "common/SystemArguments.h"

struct ToolArguments {
    bool hasTarget = false;
    std::string target;      // the target text exactly as given
    std::string packageDir;  // empty: stay in the current directory
    std::string codePage;    // as given; empty: the default
    bool help = false;
    bool version = false;  // the program shows its version instead
};

// One option of a tool's command line: a flag, or an option with a value,
// given as "--name VALUE" or "--name=VALUE".
struct ToolOption {
    const char* name;
    bool* given;                                          // set when the option is given: a flag is only this
    std::string* value = nullptr;                         // where the value goes (the last one given counts) ...
    std::vector<std::string>* values = nullptr;           // ... or each value, in the order given
    const char* needs = "a value";                        // what the option lacks when no value follows it
    bool (*accepts)(const std::string& value) = nullptr;  // when set, refuses the values it returns false for
    const char* refusal = nullptr;                        // the problem then
};

// The rows of a table: a flag; an option with a value (needs says what is
// missing when none follows it, given is set when it is given); one with a
// value that may be given again and again.
ToolOption Flag(const char* name, bool& flag);
ToolOption Valued(const char* name, std::string& value, const char* needs = "a value", bool* given = nullptr);
ToolOption Repeated(const char* name, std::vector<std::string>& values);

// The options every tool takes: --codepage N, -h, --help and --version.
std::vector<ToolOption> CommonOptions(ToolArguments& parsed);

// Walks a command line (without the program name): up to "--", each argument
// that starts with "-" (and is not "-" alone) is an option of table, and
// every other argument goes to operand, which returns false, with the problem
// in error, for one it does not take. False, with the problem in error, when
// the arguments are not usable; an argument the problem quotes is shown
// escaped, read as text says.
bool WalkArguments(const std::vector<std::string>& args, const std::vector<ToolOption>& table,
                   const std::function<bool(const std::string& operand, std::string& error)>& operand,
                   std::string& error, ArgumentText text = ArgumentText::System);

// The command line of a tool run on a package (kivcheck, kivinstall): the
// options of table, --target DIR, the common ones, and at most one package
// directory.
bool ParseToolArguments(const std::vector<std::string>& args, std::vector<ToolOption> table, ToolArguments& parsed,
                        std::string& error);

// What a tool writes for a command line it cannot use: its name and the
// problem, the usage line, and where to find more.
std::string UsageProblem(const char* tool, const std::string& problem, const char* usage);

// "tool 1.0.0": the project's version, the one in KivSetup.exe's properties.
std::string VersionLine(const char* tool);
