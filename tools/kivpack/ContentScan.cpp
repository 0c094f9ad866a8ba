#include "kivpack/ContentScan.h"

#include <algorithm>
#include <system_error>

#include "common/ErrorText.h"
#include "common/SystemText.h"
#include "kivpack/PackageNames.h"
#include "windowsnames/WindowsNames.h"

namespace fs = std::filesystem;

namespace {

struct Entry {
    fs::path path;
    std::string name;    // UTF-8
    std::string folded;  // the form under which names equal but for letter case are alike
    bool directory;
};

// Ordinal without regard to case, then by the exact bytes.
bool ComesBefore(const Entry& a, const Entry& b)
{
    return a.folded != b.folded ? a.folded < b.folded : a.name < b.name;
}

class CScanner {
public:
    explicit CScanner(ContentScan& scan) : m_scan(scan) {}

    // Reads one directory (shown and package are its relative paths with a
    // closing separator, or empty) and returns the number of files it carries.
    size_t Scan(const fs::path& directory, const fs::path& relative, const std::string& shown, const std::string& package)
    {
        std::vector<Entry> entries = Read(directory, shown);
        std::sort(entries.begin(), entries.end(), ComesBefore);
        size_t carried = 0;
        const Entry* previous = nullptr;
        for (const Entry& entry : entries) {
            const std::string shownPath = shown + entry.name;
            std::string packageName;
            const std::vector<std::string> problems = NameProblems(entry.name, packageName);
            if (entry.directory) {
                const size_t inside = Scan(entry.path, relative / entry.path.filename(), shownPath + "/", package + packageName + "\\");
                if (inside == 0)
                    continue;
                carried += inside;
            } else {
                m_scan.files.push_back({entry.path, relative / entry.path.filename(), shownPath, package + packageName,
                                        package.empty() ? "" : package.substr(0, package.size() - 1)});
                ++carried;
            }
            if (!problems.empty()) {
                std::string message = ShownSystemPath(fs::u8path(shownPath), Quotes::With) + " cannot be packed: its name";
                for (size_t i = 0; i < problems.size(); ++i)
                    message += (i == 0 ? " " : "; ") + problems[i];
                m_scan.refusals.push_back(message);
            }
            if (previous && previous->folded == entry.folded)
                m_scan.refusals.push_back(ShownSystemPath(fs::u8path(shown + previous->name), Quotes::With) + " and " + ShownSystemPath(fs::u8path(shownPath), Quotes::With) +
                                          " differ only in letter case, which Windows does not tell apart");
            previous = &entry;
        }
        return carried;
    }

private:
    // The entries of a directory that can be packed, as files or directories.
    std::vector<Entry> Read(const fs::path& directory, const std::string& shown)
    {
        std::vector<Entry> entries;
        std::error_code error;
        for (fs::directory_iterator it(directory, error), end; !error && it != end; it.increment(error)) {
            const std::string name = it->path().filename().u8string();
            auto shownPath = [&] { return ShownSystemPath(fs::u8path(shown + name), Quotes::With); };
            // The entry's own type comes with the listing; only a link is looked up.
            std::error_code statusError;
            fs::file_status status(it->is_symlink(statusError) ? fs::file_type::symlink
                                   : it->is_directory(statusError) ? fs::file_type::directory
                                   : it->is_regular_file(statusError) ? fs::file_type::regular : fs::file_type::unknown);
            if (fs::is_symlink(status)) {
                status = fs::status(it->path(), statusError);
                if (fs::is_directory(status)) {
                    m_scan.notes.push_back(shownPath() + " is a link to a directory: left out (links to directories are not followed)");
                    continue;
                }
                if (!fs::exists(status)) {
                    m_scan.refusals.push_back(shownPath() + " is a link to nothing");
                    continue;
                }
            }
            if (!fs::is_directory(status) && !fs::is_regular_file(status)) {
                m_scan.refusals.push_back(shownPath() + " is no file: a pipe, a socket or a device" +
                                          (statusError ? " (" + ErrorMessage(statusError) + ")" : std::string()));
                continue;
            }
            entries.push_back({it->path(), name, WindowsNames::FoldedUtf8Name(name), fs::is_directory(status)});
        }
        if (error)
            m_scan.refusals.push_back("the directory " + ShownSystemPath(fs::u8path(shown.empty() ? "." : shown), Quotes::With) + " cannot be read: " + ErrorMessage(error));
        return entries;
    }

    ContentScan& m_scan;
};

}  // namespace

ContentScan ScanContent(const fs::path& contentDir)
{
    ContentScan scan;
    CScanner(scan).Scan(contentDir, fs::path(), "", "");
    return scan;
}
