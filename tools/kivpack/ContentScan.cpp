#include "kivpack/ContentScan.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <iterator>
#include <mutex>
#include <system_error>
#include <thread>

#include "common/ErrorText.h"
#include "common/SideBySide.h"
#include "common/SystemText.h"
#include "kivpack/PackageNames.h"
#include "windowsnames/WindowsNames.h"

namespace fs = std::filesystem;

namespace {

struct Entry {
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
    // With threads, the directories in it are read beforehand on several
    // threads (at the top of the tree), each into a scan of its own, and
    // taken in here in order, as one reading would meet them.
    size_t Scan(const fs::path& directory, const fs::path& relative, const std::string& shown,
                const std::string& package, bool threads = false)
    {
        std::vector<Entry> entries = Read(directory, shown);
        std::sort(entries.begin(), entries.end(), ComesBefore);
        std::vector<Subtree> subtrees =
            threads ? ScanSubtrees(directory, relative, shown, package, entries) : std::vector<Subtree>();
        size_t carried = 0;
        const Entry* previous = nullptr;
        for (const Entry& entry : entries) {
            const std::string shownPath = shown + entry.name;
            std::string packageName;
            const std::vector<std::string> problems = NameProblems(entry.name, packageName);
            const fs::path name = fs::u8path(entry.name);
            if (entry.directory) {
                size_t inside;
                if (threads) {
                    Subtree& subtree = subtrees[static_cast<size_t>(&entry - entries.data())];
                    inside = subtree.carried;
                    Take(subtree.scan);
                } else {
                    inside = Scan(directory / name, relative / name, shownPath + "/", package + packageName + "\\");
                }
                if (inside == 0)
                    continue;
                carried += inside;
            } else {
                m_scan.files.push_back({directory / name, relative / name, shownPath, package + packageName,
                                        package.empty() ? "" : package.substr(0, package.size() - 1)});
                ++carried;
            }
            if (!problems.empty()) {
                std::string message =
                    ShownSystemPath(fs::u8path(shownPath), Quotes::With) + " cannot be packed: its name";
                for (size_t i = 0; i < problems.size(); ++i)
                    message += (i == 0 ? " " : "; ") + problems[i];
                m_scan.refusals.push_back(message);
            }
            if (previous && previous->folded == entry.folded)
                m_scan.refusals.push_back(ShownSystemPath(fs::u8path(shown + previous->name), Quotes::With) + " and " +
                                          ShownSystemPath(fs::u8path(shownPath), Quotes::With) +
                                          " differ only in letter case, which Windows does not tell apart");
            previous = &entry;
        }
        return carried;
    }

private:
    struct Subtree {
        ContentScan scan;
        size_t carried = 0;
    };

    // Scans each directory among entries (of directory) into a subtree of
    // its own, on this thread and up to three others, taking them in order.
    static std::vector<Subtree> ScanSubtrees(const fs::path& directory, const fs::path& relative,
                                             const std::string& shown, const std::string& package,
                                             const std::vector<Entry>& entries)
    {
        std::vector<Subtree> subtrees(entries.size());
        std::atomic<size_t> next{0};
        RunOnHelpers([&] {
            for (size_t i; (i = next++) < entries.size();) {
                if (!entries[i].directory)
                    continue;
                std::string packageName;
                NameProblems(entries[i].name, packageName);
                const fs::path name = fs::u8path(entries[i].name);
                subtrees[i].carried = CScanner(subtrees[i].scan)
                                          .Scan(directory / name, relative / name, shown + entries[i].name + "/",
                                                package + packageName + "\\");
            }
        });
        return subtrees;
    }

    // Appends what a subtree's scan found.
    void Take(ContentScan& subtree)
    {
        auto append = [](auto& to, auto& from) {
            to.insert(to.end(), std::make_move_iterator(from.begin()), std::make_move_iterator(from.end()));
        };
        append(m_scan.files, subtree.files);
        append(m_scan.refusals, subtree.refusals);
        append(m_scan.notes, subtree.notes);
    }

    // The entries of a directory that can be packed, as files or directories.
    std::vector<Entry> Read(const fs::path& directory, const std::string& shown)
    {
        std::vector<Entry> entries;
        std::error_code error;
        for (fs::directory_iterator it(directory, error), end; !error && it != end; it.increment(error)) {
            std::string name = it->path().filename().u8string();
            auto shownPath = [&] { return ShownSystemPath(fs::u8path(shown + name), Quotes::With); };
            // The entry's own type comes with the listing; only a link is looked up.
            std::error_code statusError;
            fs::file_status status(it->is_symlink(statusError)        ? fs::file_type::symlink
                                   : it->is_directory(statusError)    ? fs::file_type::directory
                                   : it->is_regular_file(statusError) ? fs::file_type::regular
                                                                      : fs::file_type::unknown);
            if (fs::is_symlink(status)) {
                status = fs::status(it->path(), statusError);
                if (fs::is_directory(status)) {
                    m_scan.notes.push_back(
                        shownPath() + " is a link to a directory: left out (links to directories are not followed)");
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
            std::string folded = WindowsNames::FoldedUtf8Name(name);
            entries.push_back({std::move(name), std::move(folded), fs::is_directory(status)});
        }
        if (error)
            m_scan.refusals.push_back("the directory " +
                                      ShownSystemPath(fs::u8path(shown.empty() ? "." : shown), Quotes::With) +
                                      " cannot be read: " + ErrorMessage(error));
        return entries;
    }

    ContentScan& m_scan;
};

}  // namespace

ContentScan ScanContent(const fs::path& contentDir)
{
    ContentScan scan;
    CScanner(scan).Scan(contentDir, fs::path(), "", "", true);
    return scan;
}
