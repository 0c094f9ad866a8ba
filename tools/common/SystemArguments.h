// A tool's arguments as the process received them, in the text the tool reads.
#pragma once
#include <string>
#include <vector>

// How a tool takes its arguments: as the system's text (UTF-8 outside
// Windows, the system's code page on Windows), or in UTF-8 everywhere
// (kivpack, whose names may lie outside the code page on Windows).
enum class ArgumentText { System, Utf8 };

// The arguments after the program's name. Natively they are what the system
// gives (UTF-8). On Windows they are read in UTF-16 from the command line and
// put into UTF-8, or, as the system's text, into the system's code page
// exactly, as the installer takes what a user types: the system's own narrow
// arguments hold a lookalike for a character the code page lacks ("Lodz" for
// "Łódź", "\" for a full-width backslash), which could send an install
// elsewhere. False, with the problem in error (a usage error), for an
// argument holding such a character, or a command line that cannot be read.
bool SystemArguments(int argc, char** argv, ArgumentText text, std::vector<std::string>& args, std::string& error);
