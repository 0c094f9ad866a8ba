// What kivpack takes from the process: the path of its program and its arguments.
#pragma once
#include <filesystem>
#include <string>
#include <vector>

// The path of the running program.
std::filesystem::path ProgramPath(const char* argv0);

// The arguments in UTF-8: on Windows from the UTF-16 command line, so that
// names outside the ANSI code page arrive whole.
std::vector<std::string> Arguments(int argc, char** argv);
