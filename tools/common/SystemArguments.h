// A tool's arguments as the process received them, in the text its build reads.
#pragma once
#include <string>
#include <vector>

// The arguments after the program's name. Natively they are what the system
// gives (UTF-8). On Windows they are read in UTF-16 from the command line and
// put into the system's code page exactly, as the installer takes what a user
// types: the system's own narrow arguments hold a lookalike for a character
// the code page lacks ("Lodz" for "Łódź", "\" for a full-width backslash),
// which could send an install elsewhere. False, with the problem in error
// (a usage error), for an argument holding such a character.
bool SystemArguments(int argc, char** argv, std::vector<std::string>& args, std::string& error);
