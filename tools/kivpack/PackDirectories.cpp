#include "kivpack/PackDirectories.h"

#include <system_error>

#include "common/ErrorText.h"
#include "common/SystemText.h"
#include "kivpack/PackRun.h"

namespace fs = std::filesystem;

namespace {

// True when inner is outer or lies below it, links resolved.
bool Within(const fs::path& inner, const fs::path& outer)
{
    std::error_code error;
    const fs::path in = fs::weakly_canonical(inner, error), out = fs::weakly_canonical(outer, error);
    auto part = in.begin();
    for (const fs::path& level : out) {
        if (level.empty())
            continue;
        if (part == in.end() || *part != level)
            return false;
        ++part;
    }
    return true;
}

}  // namespace

bool ResolveDirectories(const PackOptions& options, PackDirectories& directories, std::string& problem, int& status)
{
    status = kPackUsage;
    std::error_code error;
    fs::path& content = directories.content;
    fs::path& package = directories.package;
    content = fs::absolute(fs::u8path(options.contentDir), error).lexically_normal();
    package = fs::absolute(fs::u8path(options.packageDir), error).lexically_normal();
    if (!package.has_filename())
        package = package.parent_path();
    // With the system's reason when it gives one (no such directory, no access, ...).
    if (!fs::is_directory(content, error))
        problem = "the content directory " + ShownSystemPath(fs::u8path(options.contentDir), Quotes::With) +
                  (error ? ": " + ErrorMessage(error) : " is not a directory");
    else if (!package.has_filename() || !fs::is_directory(package.parent_path(), error))
        problem = "the package directory " + ShownSystemPath(fs::u8path(options.packageDir), Quotes::With) +
                  " has no parent directory to be made in" + (error ? ": " + ErrorMessage(error) : "");
    else if (Within(package, content) || Within(content, package))
        problem = "the package directory and the content directory must lie apart, neither inside the other";
    if (!problem.empty())
        return false;

    status = kPackDirInUse;
    const bool exists = fs::exists(fs::symlink_status(package, error));
    if (exists && !fs::is_directory(fs::status(package, error)))
        problem = "the package directory " + ShownSystemPath(package, Quotes::With) + " is there and is no directory";
    else if (exists && !options.force && !fs::is_empty(package, error))
        problem = "the package directory " + ShownSystemPath(package, Quotes::With) +
                  " is not empty (--force replaces it whole)";
    return problem.empty();
}
