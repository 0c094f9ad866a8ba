#include "kivpack/ContentScan.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <iterator>
#include <mutex>
#include <system_error>
#include <thread>
#include <type_traits>

#include "common/ErrorText.h"
#include "common/SideBySide.h"
#include "common/SystemText.h"
#include "kivpack/DirectoryListing.h"
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
bool ComesBefore(const Entry* a, const Entry* b)
{
    const int folded = a->folded.compare(b->folded);
    return folded != 0 ? folded < 0 : a->name < b->name;
}

// start followed by a name (UTF-8) in start's form: a std::string takes it
// as it is (as the system's paths hold it outside Windows), a std::wstring
// in UTF-16 (as Windows' do). Built in one allocation, with room for a
// closing separator.
template <typename Text>
Text Joined(const Text& start, const std::string& name)
{
    Text joined;
    joined.reserve(start.size() + name.size() + 1);
    joined += start;
    if constexpr (std::is_same_v<Text, std::string>)
        joined += name;
    else
        joined += fs::u8path(name).native();
    return joined;
}

// Where a directory lies: its path, and how the paths of everything in it
// begin, each with a closing separator (the relative ones empty at the top).
// The paths of its files are these texts with the file's name added, built
// once each: the directory's path is not split into names again for every
// file in it.
struct Place {
    fs::path::string_type directory;  // the directory as the system names it
    fs::path::string_type source;     // directory and the separator "/" puts before a name in it
    fs::path::string_type relative;   // below the content directory, as the system names it
    std::string shown;                // for messages: UTF-8, "/" between names
    std::string package;              // in the package's code page, "\" between names

    // The place of the directory name (packageName in the package) in this one.
    Place Inside(const std::string& name, const std::string& packageName) const
    {
        Place inside{
            Joined(source, name), {}, Joined(relative, name), Joined(shown, name), Joined(package, packageName)};
        inside.source = inside.directory + fs::path::preferred_separator;
        inside.relative += fs::path::preferred_separator;
        inside.shown += '/';
        inside.package += '\\';
        return inside;
    }
};

class CScanner {
public:
    // listed is the listing's buffer, one for each thread, kept from one
    // directory to the next.
    CScanner(ContentScan& scan, std::vector<ListedEntry>& listed) : m_scan(scan), m_listed(listed) {}

    // Reads one directory and returns the number of files it carries. With
    // threads, the directories in it are read beforehand on several threads
    // (at the top of the tree), each into a scan of its own, and taken in
    // here in order, as one reading would meet them.
    size_t Scan(const Place& place, bool threads = false)
    {
        const std::vector<Entry> read = Read(place);
        // In the package's order, sorted as pointers: the entries stay where they are.
        std::vector<const Entry*> entries(read.size());
        for (size_t i = 0; i < read.size(); ++i)
            entries[i] = &read[i];
        std::sort(entries.begin(), entries.end(), ComesBefore);
        std::vector<Subtree> subtrees = threads ? ScanSubtrees(place, entries) : std::vector<Subtree>();
        if (threads) {
            // Room for every file at once, taken in from the subtrees or found here.
            size_t files = m_scan.files.size() + entries.size();
            for (const Subtree& subtree : subtrees)
                files += subtree.scan.files.size();
            m_scan.files.reserve(files);
        }
        // The package's directory of the files here: without the closing "\".
        const std::string packageDir = place.package.substr(0, place.package.empty() ? 0 : place.package.size() - 1);
        size_t carried = 0;
        const Entry* previous = nullptr;
        for (size_t i = 0; i < entries.size(); ++i) {
            const Entry& entry = *entries[i];
            std::string packageName;
            const std::vector<std::string> problems =
                threads && entry.directory ? std::move(subtrees[i].problems) : NameProblems(entry.name, packageName);
            if (entry.directory) {
                size_t inside;
                if (threads) {
                    Subtree& subtree = subtrees[i];
                    inside = subtree.carried;
                    Take(subtree.scan);
                } else {
                    inside = Scan(place.Inside(entry.name, packageName));
                }
                if (inside == 0)
                    continue;
                carried += inside;
            } else {
                m_scan.files.push_back({fs::path(Joined(place.source, entry.name)),
                                        fs::path(Joined(place.relative, entry.name)), Joined(place.shown, entry.name),
                                        Joined(place.package, packageName), packageDir});
                ++carried;
            }
            auto shown = [&](const Entry& named) {
                return ShownSystemPath(fs::u8path(place.shown + named.name), Quotes::With);
            };
            if (!problems.empty()) {
                std::string message = shown(entry) + " cannot be packed: its name";
                for (size_t p = 0; p < problems.size(); ++p)
                    message += (p == 0 ? " " : "; ") + problems[p];
                m_scan.refusals.push_back(message);
            }
            if (previous && previous->folded == entry.folded)
                m_scan.refusals.push_back(shown(*previous) + " and " + shown(entry) +
                                          " differ only in letter case, which Windows does not tell apart");
            previous = &entry;
        }
        return carried;
    }

private:
    struct Subtree {
        ContentScan scan;
        size_t carried = 0;
        std::vector<std::string> problems;  // its name's (NameProblems)
    };

    // Scans each directory among entries (of the directory at place) into a
    // subtree of its own, on this thread and up to three others, taking them
    // in order.
    static std::vector<Subtree> ScanSubtrees(const Place& place, const std::vector<const Entry*>& entries)
    {
        std::vector<Subtree> subtrees(entries.size());
        std::atomic<size_t> next{0};
        RunOnHelpers([&] {
            std::vector<ListedEntry> listed;
            for (size_t i; (i = next++) < entries.size();) {
                if (!entries[i]->directory)
                    continue;
                std::string packageName;
                subtrees[i].problems = NameProblems(entries[i]->name, packageName);
                subtrees[i].carried =
                    CScanner(subtrees[i].scan, listed).Scan(place.Inside(entries[i]->name, packageName));
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

    // The entries of the directory at place that can be packed, as files or
    // directories. The entry's own type comes with the listing; only a link
    // is looked up.
    std::vector<Entry> Read(const Place& place)
    {
        m_listed.clear();
        const std::error_code error = ListDirectory(place.directory, m_listed);
        std::vector<Entry> entries;
        entries.reserve(m_listed.size());
        for (ListedEntry& item : m_listed) {
            auto shownPath = [&] { return ShownSystemPath(fs::u8path(place.shown + item.name), Quotes::With); };
            if (item.type == fs::file_type::symlink) {
                const fs::file_status status = fs::status(fs::path(Joined(place.source, item.name)), item.error);
                if (fs::is_directory(status)) {
                    m_scan.notes.push_back(
                        shownPath() + " is a link to a directory: left out (links to directories are not followed)");
                    continue;
                }
                if (!fs::exists(status)) {
                    m_scan.refusals.push_back(shownPath() + " is a link to nothing");
                    continue;
                }
                item.type = status.type();
            }
            if (item.type != fs::file_type::directory && item.type != fs::file_type::regular) {
                m_scan.refusals.push_back(shownPath() + " is no file: a pipe, a socket or a device" +
                                          (item.error ? " (" + ErrorMessage(item.error) + ")" : std::string()));
                continue;
            }
            std::string folded = WindowsNames::FoldedUtf8Name(item.name);
            entries.push_back({std::move(item.name), std::move(folded), item.type == fs::file_type::directory});
        }
        if (error)
            m_scan.refusals.push_back(
                "the directory " + ShownSystemPath(fs::u8path(place.shown.empty() ? "." : place.shown), Quotes::With) +
                " cannot be read: " + ErrorMessage(error));
        return entries;
    }

    ContentScan& m_scan;
    std::vector<ListedEntry>& m_listed;
};

}  // namespace

ContentScan ScanContent(const fs::path& contentDir)
{
    ContentScan scan;
    std::vector<ListedEntry> listed;
    // A path below the content directory begins as "/" would begin it: with
    // a separator, unless the directory's path ends with one.
    CScanner(scan, listed).Scan(Place{contentDir.native(), (contentDir / fs::path()).native(), {}, "", ""}, true);
    return scan;
}
