// --target turned into the directory text the installer would be given: the one rule of kivcheck and kivinstall.
#pragma once
#include <string>

// Where a relative --target is taken from.
enum class TargetFrom {
    // The package directory, as the installer takes a relative directory from
    // its start directory, the package's: kivcheck plans for the text as
    // typed, which the plan shows as the installer would compose it.
    Package,
    // The directory the tool was started in, as whoever typed the command
    // meant it: kivinstall installs from within the package directory, so it
    // makes the target absolute first.
    Start,
};

// The directory text the installer would take for the target given (the
// system's text): in the package's code page and, made absolute, with
// backslashes. False, with the problem for a message, when the code page
// cannot write it.
bool InstallerTarget(const std::string& given, TargetFrom from, std::string& target, std::string& problem);
