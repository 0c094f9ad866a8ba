#include "common/TargetText.h"

#include <filesystem>
#include <system_error>

#include "codepages/CodePages.h"
#include "common/SystemText.h"
#include "platform/NativePath.h"

bool InstallerTarget(const std::string& given, TargetFrom from, std::string& target, std::string& problem)
{
    std::string text;
    bool written;
    if (from == TargetFrom::Package) {
        written = FromSystemText(given, text);
    } else {
        std::error_code error;
        const std::string native = std::filesystem::absolute(given, error).string();
        // The code page never takes more bytes for a character than the system's text does.
        std::string path(native.size() + 1, '\0');
        written = !error && FromNativePath(native.c_str(), &path[0], path.size());
        text = path.c_str();
    }
    if (!written) {
        problem = "the target " + ShownSystemText(given) + " cannot be written in the package's code page (" +
                  std::to_string(CodePages::CodePage()) + ")";
        return false;
    }
    target = text;
    return true;
}
