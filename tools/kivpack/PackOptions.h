// kivpack's command line.
#pragma once
#include <string>
#include <vector>

#include "common/ToolArguments.h"
#include "setupinfo/SetupInfo.h"

extern const char kPackUsageText[];
std::string PackHelp();  // the source of kivpack's manual page too

// The caption of the directory group when --install-text is not given.
extern const char kDefaultInstallText[];

// An option that gives one of setup.inf's texts: the value it gives (its key
// in kSetupValues), whether every package needs it, and the text when it is
// not given (null: none, and the value is left out of setup.inf).
struct TextOption {
    const char* key;
    const char* name;
    bool required;
    const char* defaultText;
};

// The option that gives value, or null for a value kivpack fixes itself.
const TextOption* TextOptionOf(const SetupValue& value);

// The code page (--codepage), --help and --version are kept as ToolArguments keeps them.
struct PackOptions : ToolArguments {
    // setup.inf's texts as given (UTF-8), each at its value's place in kSetupValues.
    std::string texts[kSetupValueCount];

    // Paths of the system (UTF-8); empty when not given.
    std::string license;
    std::string logo;
    std::string installer;
    std::vector<std::string> opens;  // relative to the content directory, in the order given

    std::string contentDir;  // and the package directory as ToolArguments keeps it
    bool force = false;
};

// Reads the arguments (without the program name): options with a value as
// "--title TEXT" or "--title=TEXT", options up to "--", and the content and
// the package directory. False, with the problem in error, when they are not
// usable; a missing title, default directory or directory is such a problem.
bool ParsePackArguments(const std::vector<std::string>& args, PackOptions& options, std::string& error);
