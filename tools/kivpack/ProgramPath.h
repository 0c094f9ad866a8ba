// Where the running kivpack is, beside which it looks for KivSetup.exe.
#pragma once
#include <filesystem>

// The path of the running program; argv0 is its first argument, taken where
// the system tells no better.
std::filesystem::path ProgramPath(const char* argv0);
