// The program around a tool's run: what the main function of every tool does.
#pragma once
#include <functional>
#include <string>
#include <vector>

#include "common/SystemArguments.h"

// A tool's whole run on its arguments (without the program's name): what it
// writes to standard output goes into out, to standard error into err (or
// straight to the streams, as kivinstall's progress does); returns the exit
// status.
using ToolRun = std::function<int(const std::vector<std::string>& args, std::string& out, std::string& err)>;

struct ToolProgram {
    const char* name;   // "kivcheck": the start of a usage problem
    const char* usage;  // the usage line
    int usageStatus;    // the exit status of a command line that cannot be used
    ArgumentText text;  // how it takes its arguments
};

// Makes standard output and error pass bytes unchanged, reads the arguments
// as program.text says, runs run on them and writes out, flushed, then err.
// Arguments that cannot be read are a usage problem. Returns the status.
int RunToolMain(int argc, char** argv, const ToolProgram& program, const ToolRun& run);

// Standard output and error pass bytes unchanged: on Windows no LF becomes
// CR LF, so both builds write the same bytes (RunToolMain's first step).
void UseBinaryStandardStreams();
