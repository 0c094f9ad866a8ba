#include "kivcheck/CheckOptions.h"

#include "common/CodePageOption.h"

const char kUsage[] = "Usage: kivcheck [--json] [--target DIR] [--strict] [--codepage N] [PACKAGE_DIR]";

// The source of kivcheck's manual page too (help2man makes it at build time).
std::string CheckHelp()
{
    return std::string(kUsage) +
           "\n"
           "Shows what KivSetup.exe will read from a package and what it will do with it,\n"
           "and warns about what in it will not work the way its author meant.\n"
           "\n"
           "PACKAGE_DIR is the directory that holds setup.inf and list.inf (default: the\n"
           "current directory). The package is loaded with the installer's own code; the\n"
           "report lists its texts, Count and every entry, then the warnings, each with a\n"
           "stable code, and a one-line summary. Nothing is written.\n"
           "\n"
           "Options:\n"
           "  --target DIR   also show the plan for the target directory DIR, the text a\n"
           "                 user would leave in the installer's directory field: the copies\n"
           "                 and opens the installer would make, in its order, without\n"
           "                 touching any file; a relative DIR is taken from PACKAGE_DIR\n"
           "  --json         write one JSON object instead of the readable report\n"
           "  --strict       exit with 3 when there are warnings\n" +
           CodePageHelp(17) +
           "  -h, --help     show this help and exit\n"
           "  --version      show the version and exit\n"
           "\n"
           "Exit status:\n"
           "  0  the package loaded (with or without warnings, unless --strict)\n"
           "  1  the package could not be loaded: setup.inf or list.inf does not open, or\n"
           "     PACKAGE_DIR cannot be entered (\"Could not load setup info\")\n"
           "  2  a usage error\n"
           "  3  with --strict: the package loaded, with warnings\n"
           "\n"
           "Texts from the package are shown in the system's form (UTF-8 outside\n"
           "Windows), with control characters written as <XX>. The warning codes and the\n"
           "JSON object are described in tools/kivcheck/README.md.\n";
}
bool ParseArguments(const std::vector<std::string>& args, CheckOptions& options, std::string& error)
{
    return ParseToolArguments(args, {Flag("--json", options.json), Flag("--strict", options.strict)}, options, error);
}
