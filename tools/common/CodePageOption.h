// The code page the tools read a package in: --codepage's help, the code pages it names, and its choice.
#pragma once
#include <cstddef>
#include <string>

#include "common/ToolArguments.h"

// The --codepage option's lines in a tool's help: its description from
// column on (where the help describes its other options), wrapped to 79
// characters, so that every tool says the same of it.
std::string CodePageHelp(size_t column);

// The numbers of Windows' ANSI code pages (CodePages::kAnsiCodePages) for a
// message: the single-byte ones, then the double-byte ones, each by number,
// a run of three or more numbers in a row as one ("1250 to 1258").
std::string AnsiCodePageNumbers();

// Makes the code page given with --codepage the package's (CodePages::
// SetCodePage; on Windows only the system's own is taken); false, with the
// problem in error, when it cannot be used.
bool ApplyCodePage(const ToolArguments& arguments, std::string& error);
