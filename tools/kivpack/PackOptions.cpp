#include "kivpack/PackOptions.h"

#include <cstring>

#include "common/CodePageOption.h"
#include "setupinfo/Limits.h"

const char kPackUsageText[] = "Usage: kivpack --title TEXT --default-dir PATH [OPTION]... CONTENT_DIR PACKAGE_DIR";

namespace {

// The longest text a field of fieldSize bytes keeps.
std::string Longest(size_t fieldSize) { return std::to_string(fieldSize - 1); }

}  // namespace

// help2man makes the manual page from this text.
std::string PackHelp()
{
    return std::string(kPackUsageText) +
           "\n"
           "Makes a KivSetup package in PACKAGE_DIR from the files below CONTENT_DIR:\n"
           "setup.inf and list.inf, the files under data/, KivSetup.exe, and license.txt\n"
           "and logo.bmp when given. Installed into an empty directory, the package gives\n"
           "back every file of CONTENT_DIR with its name, letter case and bytes; the\n"
           "installer names the directories in lower case (A to Z), and empty directories\n"
           "are not carried. The package is built beside PACKAGE_DIR, loaded with the\n"
           "installer's own code, checked with kivcheck's checks, and only then put in\n"
           "place; nothing is written when anything is refused.\n"
           "\n"
           "A link to a file is packed as the file; a link to a directory is left out\n"
           "(with a note). Refused, each named: names holding ; or a character Windows\n"
           "forbids (< > : \" / \\ | ? * or a control character) or one the code page\n"
           "cannot write, device names (NUL, COM1, ...), names ending with a dot or a\n"
           "blank, two names in one directory that differ only in letter case, paths too\n"
           "long for list.inf, pipes, sockets, devices and links to nothing.\n"
           "\n"
           "Options:\n"
           "  --title TEXT         the dialog's caption (required, up to " +
           Longest(kTitleSize) +
           " characters)\n"
           "  --default-dir PATH   the target directory the dialog offers (required, a\n"
           "                       Windows path, up to " +
           Longest(kPathSize) +
           " characters); kivpack warns when\n"
           "                       files would land at paths over " +
           Longest(kPathSize) +
           " characters under it\n"
           "  --copyright TEXT     the line at the foot of the dialog (up to " +
           Longest(kTextSize) +
           ")\n"
           "  --install-text TEXT  the caption of the directory group (up to " +
           Longest(kTextSize) +
           "; default:\n"
           "                       \"" +
           kDefaultInstallText +
           "\")\n"
           "  --license FILE       the licence the dialog shows, as license.txt\n"
           "  --logo FILE          the picture the dialog shows, as logo.bmp: a bitmap the\n"
           "                       installer accepts\n"
           "  --open RELPATH       open this file of CONTENT_DIR after the copies (it is\n"
           "                       still copied); may be given more than once\n"
           "  --installer EXE      the KivSetup.exe to put in (default: the one beside\n"
           "                       kivpack, else in ../share/kivsetup/ from it; without\n"
           "                       one the package has none, with a warning)\n"
           "  --force              replace a PACKAGE_DIR that is not empty, whole\n" +
           CodePageHelp(23) +
           "  -h, --help           show this help and exit\n"
           "  --version            show the version and exit\n"
           "\n"
           "Texts must be writable in the code page and hold no control character.\n"
           "\n"
           "Exit status:\n"
           "  0  the package was written (warnings may have been given)\n"
           "  1  refused: the content cannot be packed, or the final check found a\n"
           "     problem (such as a logo that is no bitmap the installer accepts)\n"
           "  2  a usage error: an option, a text, or a file an option names\n"
           "  3  PACKAGE_DIR is not empty (without --force), or is no directory\n"
           "  4  writing failed or was interrupted; PACKAGE_DIR is as it was\n";
}

const char kDefaultInstallText[] = "Choose the directory to install into";

namespace {

const TextOption kTextOptions[] = {
    {"Title", "--title", true, nullptr},
    {"DefaultDir", "--default-dir", true, nullptr},
    {"Copyright", "--copyright", false, nullptr},
    {"InstallText", "--install-text", false, kDefaultInstallText},
};

}  // namespace

const TextOption* TextOptionOf(const SetupValue& value)
{
    for (const TextOption& option : kTextOptions) {
        if (value.key && strcmp(value.key, option.key) == 0)
            return &option;
    }
    return nullptr;
}

bool ParsePackArguments(const std::vector<std::string>& args, PackOptions& options, std::string& error)
{
    std::vector<ToolOption> table;
    for (size_t i = 0; i < kSetupValueCount; ++i) {
        if (const TextOption* text = TextOptionOf(kSetupValues[i])) {
            options.texts[i] = text->defaultText ? text->defaultText : "";
            table.push_back(Valued(text->name, options.texts[i]));
        }
    }
    for (const ToolOption& option :
         {Valued("--license", options.license), Valued("--logo", options.logo),
          Valued("--installer", options.installer), Repeated("--open", options.opens), Flag("--force", options.force)})
        table.push_back(option);
    for (const ToolOption& option : CommonOptions(options))
        table.push_back(option);
    std::vector<std::string> directories;
    auto directory = [&](const std::string& dir, std::string&) {
        directories.push_back(dir);
        return true;
    };
    if (!WalkArguments(args, table, directory, error, ArgumentText::Utf8))
        return false;
    if (options.help || options.version)
        return true;
    std::string required;
    bool missing = false;
    for (size_t i = 0; i < kSetupValueCount; ++i) {
        const TextOption* text = TextOptionOf(kSetupValues[i]);
        if (text && text->required) {
            required += (required.empty() ? "" : " and ") + std::string(text->name);
            missing = missing || options.texts[i].empty();
        }
    }
    if (missing) {
        error = required + " are needed, and not empty";
        return false;
    }
    if (directories.size() != 2 || directories[0].empty() || directories[1].empty()) {
        error = "name the content directory and the package directory";
        return false;
    }
    options.contentDir = directories[0];
    options.packageDir = directories[1];
    return true;
}
