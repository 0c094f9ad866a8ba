#include "kivinstall/InstallOptions.h"

#include "common/CodePageOption.h"

const char kInstallUsageText[] =
    "Usage: kivinstall --target DIR [--accept-license] [--open] [--dry-run] [--codepage N] [PACKAGE_DIR]";

// The source of kivinstall's manual page too (help2man makes it at build time).
std::string InstallHelp()
{
    return std::string(kInstallUsageText) +
           "\n"
           "Installs a KivSetup package without its dialog, as KivSetup.exe installs it:\n"
           "the same copies in the same order, the same directories made, the same\n"
           "entries skipped and counted, then the opens.\n"
           "\n"
           "PACKAGE_DIR holds setup.inf and list.inf (default: the current directory).\n"
           "On Linux and other POSIX systems the package's paths are read by Windows'\n"
           "rules: \\ and / separate, . and .. are resolved, names are found whatever\n"
           "their letter case, and a replaced file keeps its name. Each file is copied\n"
           "under a temporary name and renamed into place, so that every destination is\n"
           "left as it was or complete. One line per step goes to standard error, a\n"
           "summary to standard output.\n"
           "\n"
           "Options:\n"
           "  --target DIR       the directory to install into (required); a relative DIR\n"
           "                     is taken from where kivinstall was started\n"
           "  --accept-license   agree to the package's licence (license.txt) without\n"
           "                     being asked; without it the licence is shown and its\n"
           "                     question asked on a terminal, and nothing is installed\n"
           "                     without a terminal\n"
           "  --open             open the entries marked for opening (E): through the shell\n"
           "                     on Windows, the program itself or the desktop's opener\n"
           "                     elsewhere; without it they are only listed\n"
           "  --dry-run          show the steps, change nothing\n" +
           CodePageHelp(21) +
           "  -h, --help         show this help and exit\n"
           "  --version          show the version and exit\n"
           "\n"
           "Exit status:\n"
           "  0  every file to copy was copied\n"
           "  1  the package could not be loaded (\"Could not load setup info\")\n"
           "  2  a usage error\n"
           "  3  the licence was not accepted; nothing was installed\n"
           "  4  some files were not copied (their number is printed), also after an\n"
           "     interrupt (Ctrl-C, SIGTERM), which ends the copy under way without a\n"
           "     trace and takes no further step\n";
}
bool ParseInstallArguments(const std::vector<std::string>& args, InstallOptions& options, std::string& error)
{
    const std::vector<ToolOption> table = {Flag("--accept-license", options.acceptLicense),
                                           Flag("--open", options.open), Flag("--dry-run", options.dryRun)};
    if (!ParseToolArguments(args, table, options, error))
        return false;
    if (!options.help && !options.version && (!options.hasTarget || options.target.empty())) {
        error = "--target names the directory to install into";
        return false;
    }
    return true;
}
