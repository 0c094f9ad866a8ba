#include <algorithm>
#include <cstring>
#include <exception>
#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>
#include <thread>
#include <unordered_map>
#include <vector>

#include "checks/PackageChecks.h"
#include "common/SideBySide.h"
#include "common/PlanText.h"
#include "install/EntryPaths.h"
#include "install/Install.h"
#include "platform/NativePath.h"
#include "platform/Platform.h"
#include "setupinfo/Limits.h"
#include "text/Text.h"
#include "windowsnames/WindowsNames.h"

namespace {

// Where a C entry's file goes from the target directory, as the installer
// composes it onto a target that ends with a backslash, into path (2 *
// kPathSize bytes).
void RelativeDestPath(const FileEntry& entry, char* path)
{
    char entryDir[kPathSize];
    ComposeEntryDir("", entry, entryDir, sizeof entryDir);
    ComposeDestPath(entryDir, entry, path, 2 * kPathSize);
}

// A relative path as Windows reads it: "\" and "/" both separators, "." and
// ".." resolved, "\" between its levels; into normal, which has room for the
// path and two bytes more.
void WindowsNormal(const char* path, char* normal, size_t size)
{
    // The normal path is never longer than the path itself.
    if (!WindowsNames::NormalisePath(path, normal, size))
        normal[0] = '\0';
}

// A normal path that climbs above the directory it starts from.
bool ClimbsOut(const char* normal) { return strcmp(normal, "..") == 0 || strncmp(normal, "..\\", 3) == 0; }

// Where a C entry's file lands from the target directory (its relative
// destination path, RelativeDestPath), as Windows reads the installer's path.
std::string Landing(const char* joined)
{
    // Leading separators are empty levels after the target's own.
    while (*joined == '\\' || *joined == '/')
        ++joined;
    char normal[2 * kPathSize + 2];
    WindowsNormal(joined, normal, sizeof normal);
    return normal;
}

// Where a C entry's file lands: the Landing of its RelativeDestPath.
std::string LandingOf(const FileEntry& entry)
{
    char path[2 * kPathSize];
    RelativeDestPath(entry, path);
    return Landing(path);
}

// A name of an entry whose bytes are no text of the code page: half a
// character at its end (as where a ";" cut a value), or a pair of bytes the
// code page does not define. The installer refuses such a name. what()
// names the text for the message, with text itself in it; it is asked only
// for a message.
template <class What>
bool CheckText(size_t index, What what, const char* text, const char* consequence, std::vector<CheckWarning>& warnings)
{
    if (CodePages::IsCodePageText(text))
        return true;
    Warn(warnings, "not-code-page-text",
         FileKeyName(index) + ": " + what() +
             (CodePages::EndsInHalfCharacter(text) ? " ends with half a character"
                                                   : " holds bytes that are no character") +
             " of code page " + std::to_string(CodePages::CodePage()) + ", so it names no file: the entry is " +
             consequence);
    return false;
}

// A C entry's destination as the installer uses it: the path its file lands
// at (path, RelativeDestPath), the destination and the file name joined and
// only then read as characters. A lead byte at the destination's end takes
// the file name's first byte with it: in 932 "$setupdir\d\" and the byte 0x81
// with "a.txt" land at "d\" and the character 0x81 0x61, then ".txt".
bool CheckDestinationText(size_t index, const FileEntry& entry, const char* path, std::vector<CheckWarning>& warnings)
{
    return CheckText(
        index,
        [&] {
            return "the path " + Quoted(path) + " that the destination " + Quoted(entry.szDest) +
                   " and the file name " + Quoted(entry.szFileName) + " make";
        },
        path, "not copied", warnings);
}

// path is the entry's relative destination path (RelativeDestPath), landing
// where that lands (Landing).
void CheckDestination(size_t index, const FileEntry& entry, const char* path, const std::string& landing,
                      std::vector<CheckWarning>& warnings)
{
    char marked[kPathSize];
    if (!MarkedSubDirectory(entry.szDest, marked)) {
        Warn(warnings, "dest-no-marker",
             FileKeyName(index) + ": the destination " + Quoted(entry.szDest) + " does not start with " +
                 kSetupDirMarker + ", so it is not used: the file goes into the target directory itself");
    }
    if (marked[0] != '\0' && !CodePages::EndsWithBackslash(marked))
        Warn(warnings, "dest-no-trailing-backslash",
             FileKeyName(index) + ": the destination " + Quoted(entry.szDest) +
                 " does not end with a backslash, so the file name is joined straight on: the file lands as " +
                 Quoted(path) + " in the target directory");
    if (ClimbsOut(landing.c_str()))
        Warn(warnings, "dest-climbs-out",
             FileKeyName(index) + ": the file lands at " + Quoted(landing) +
                 " from the target directory (Windows reads \"/\" as \"\\\" and resolves \"..\"), outside it");
    // The path as the installer hands it to the system, before Windows resolves anything.
    if (WindowsNames::HasDeviceName(path))
        Warn(warnings, "dest-device",
             FileKeyName(index) + ": the file lands at " + Quoted(path) +
                 " in the target directory, a path through a name that "
                 "Windows keeps for a device (CON, PRN, AUX, NUL, COM1 to COM9, LPT1 to LPT9, also with an extension), "
                 "so no directory or file can be made there: the entry is not copied");
}

// The package directory (the current one) as the system resolves it, and
// where the sources in it are reached: each directory a source lies in is
// looked at once, and only a link (a source, or a directory on the way) is
// resolved whole, so that a package of many files in few directories costs
// one look per file.
//
// The sources' native paths are relative and name no drive (OutsidePackage
// has told those apart), so std::filesystem::path reads them level by level
// from their start: a path's last level is the text after its last
// separator, and the levels before it, less the separators between, are its
// parent path, found here from the text itself.
class CRealPaths {
public:
    CRealPaths()
    {
        std::error_code error;
        m_here = std::filesystem::canonical(std::filesystem::current_path(error), error);
        if (error)
            m_here.clear();
    }

    // Whether the system reaches what the native path names, every link
    // followed, outside the package directory; false when there is nothing
    // there or the package directory is not known.
    bool LeadsOut(const CNativePath& native)
    {
        if (m_here.empty())
            return false;
        const char* text = native.Get();
        // What the lookup saw of the path itself needs no second look.
        bool exists, isLink;
        if (!SeenByLookup(native, exists, isLink)) {
            std::error_code error;
            const std::filesystem::file_status status = std::filesystem::symlink_status(text, error);
            exists = !error && std::filesystem::exists(status);
            isLink = std::filesystem::is_symlink(status);
        }
        if (!exists)
            return false;
        const size_t length = strlen(text);
        const size_t name = LastLevel(text, length);
        if (isLink || name == length)
            return Outside(Resolved(text));
        const Reached& directory = DirectoryOf(text, name);
        return directory.found && !directory.inside && Outside(directory.real / std::filesystem::path(text).filename());
    }

private:
    // Where the system reaches a directory: nowhere (it is no directory), in
    // the package directory, or elsewhere, at real. A level added to a path
    // in the package directory is in it too, so where in it needs no saying;
    // one added to a path elsewhere may be the package directory itself.
    struct Reached {
        bool found = false;
        bool inside = false;
        std::filesystem::path real;  // where it is reached, when elsewhere
    };

    static bool IsSeparator(char c)
    {
        return c == '/' || c == static_cast<char>(std::filesystem::path::preferred_separator);
    }

    // Where the last level of a path's text (length bytes) starts: just
    // after its last separator; length when the text ends with one.
    static size_t LastLevel(const char* text, size_t length)
    {
        size_t name = length;
        while (name > 0 && !IsSeparator(text[name - 1]))
            --name;
        return name;
    }

    // Where the levels of a path's text before its level at name end: at
    // name, less the separators just before it.
    static size_t ParentEnd(const char* text, size_t name)
    {
        while (name > 0 && IsSeparator(text[name - 1]))
            --name;
        return name;
    }

    // Whether the real (canonical) path lies outside the package directory:
    // that directory's path is not its first levels (both canonical: no "."
    // or "..", no separator at the end but the root's). An empty path is
    // nothing, which lies nowhere.
    bool Outside(const std::filesystem::path& real) const
    {
        if (real.empty())
            return false;
        const auto& inside = m_here.native();
        const auto& path = real.native();
        const bool under =
            path.compare(0, inside.size(), inside) == 0 &&
            (path.size() == inside.size() || inside.back() == std::filesystem::path::preferred_separator ||
             path[inside.size()] == std::filesystem::path::preferred_separator);
        return !under;
    }

    // What a real path (empty for nothing) reaches.
    Reached At(std::filesystem::path real) const
    {
        Reached reached;
        reached.found = !real.empty();
        reached.inside = reached.found && !Outside(real);
        if (!reached.inside)
            reached.real = std::move(real);
        return reached;
    }

    // The directory of the sources whose text starts with the length bytes
    // of text, up to their last level. The entries of a directory usually
    // follow one another, so the last one is kept at hand.
    const Reached& DirectoryOf(const char* text, size_t length)
    {
        const std::string_view key(text, length);
        if (!m_last || key != m_lastKey) {
            const size_t end = ParentEnd(text, length);
            m_last = &Directory(end > 0 ? std::string(text, end) : ".");
            m_lastKey = key;
        }
        return *m_last;
    }

    // Where the system reaches a directory (its path's text, with no
    // separator at its end), found once for each: a directory that is no
    // link is reached where its parent is, so that only a link is resolved
    // level by level.
    const Reached& Directory(const std::string& directory)
    {
        const auto known = m_directories.find(directory);
        if (known != m_directories.end())
            return known->second;
        Reached reached;
        const size_t name = LastLevel(directory.c_str(), directory.size());
        const std::string_view level(directory.c_str() + name, directory.size() - name);
        if (name > 0 && level != "." && level != "..") {
            std::error_code error;
            const std::filesystem::file_status status = std::filesystem::symlink_status(directory, error);
            if (!error && std::filesystem::is_directory(status)) {
                const Reached& parent = Directory(directory.substr(0, ParentEnd(directory.c_str(), name)));
                if (parent.inside)
                    reached = parent;
                else if (parent.found)
                    reached = At(parent.real / std::filesystem::path(directory).filename());
            } else if (!error && std::filesystem::is_symlink(status)) {
                reached = At(Resolved(directory));
            }
        } else {
            reached = At(Resolved(directory));
        }
        // A node of the map stays where it is while others are added.
        return m_directories.emplace(directory, std::move(reached)).first->second;
    }

    static std::filesystem::path Resolved(const std::filesystem::path& path)
    {
        std::error_code error;
        std::filesystem::path real = std::filesystem::canonical(path, error);
        return error ? std::filesystem::path() : real;
    }

    std::filesystem::path m_here;
    std::unordered_map<std::string, Reached> m_directories;
    // The sources' text up to their last level, last asked for, and its
    // directory in m_directories.
    std::string m_lastKey;
    const Reached* m_last = nullptr;
};

// Whether a source lies outside the package directory: a path that climbs
// out with "..", a rooted or absolute one, or one whose existing file is
// reached through a link that leads out. native is the source's CNativePath.
bool OutsidePackage(const FileEntry& entry, const CNativePath& native, CRealPaths& realPaths)
{
    char normal[kPathSize + 2];
    WindowsNormal(entry.szSource, normal, sizeof normal);
    if (ClimbsOut(normal) || normal[0] == '\\' ||
        (normal[0] != '\0' && normal[1] == ':' && CodePages::CharacterLength(normal) == 1))
        return true;
    return native.IsValid() && realPaths.LeadsOut(native);
}

// A source that Windows would read differently from the installer, or that
// cannot be copied (mustBeFile) or opened.
void CheckSource(size_t index, const FileEntry& entry, bool copies, CRealPaths& realPaths,
                 std::vector<CheckWarning>& warnings)
{
    const char* source = entry.szSource;
    const CNativePath native(source);
    if (OutsidePackage(entry, native, realPaths))
        Warn(warnings, "source-outside",
             FileKeyName(index) + ": the source " + Quoted(source) +
                 " lies outside the package directory, so the installer " + (copies ? "copies" : "opens") +
                 " a file that is not part of the package");
    if (copies && strchr(source, '/'))
        Warn(warnings, "source-forward-slash",
             FileKeyName(index) + ": the source " + Quoted(source) +
                 " holds \"/\": the installer takes only the text after its "
                 "last backslash, " +
                 Quoted(entry.szFileName) +
                 ", as the file name, and Windows reads its \"/\" "
                 "as a separator, so the copy goes into a directory the installer does not make, or elsewhere");
    const Platform::FileLookup found = Platform::LookUpFile(source, &native);
    const char* consequence = copies ? "so it is not copied" : "so it is not opened";
    if (source[0] == '\0' || found.kind == Platform::FileKind::Missing) {
        Warn(
            warnings, "source-missing",
            FileKeyName(index) + ": the source " + Quoted(source) + " is not in the package directory, " + consequence);
    } else if (found.kind == Platform::FileKind::Special || (copies && found.kind == Platform::FileKind::Directory)) {
        Warn(warnings, "source-not-file",
             FileKeyName(index) + ": the source " + Quoted(source) + " is " +
                 (found.kind == Platform::FileKind::Directory ? "a directory"
                                                              : "a device, a pipe or another special file") +
                 ", not a file, " + consequence);
    } else if (found.caseDiffers) {
        Warn(warnings, "source-case-differs",
             FileKeyName(index) + ": the source " + Quoted(source) +
                 " is found only because Windows ignores letter case: "
                 "its name on disk is written differently, which a case-sensitive file system would not find");
    }
}

}  // namespace

namespace {

// The checks of the entries from first to before end, each on its own: its
// action, its text, its destination (whose landing it records) and its source.
void CheckEntryRange(const CSetupInfo& info, size_t first, size_t end, std::vector<std::string>& landings,
                     std::vector<CheckWarning>& warnings)
{
    CRealPaths realPaths;
    for (size_t i = first; i < end; ++i) {
        const FileEntry& entry = info.m_files[i];
        const EntryAction action = ActionOf(entry);
        const bool copies = action == EntryAction::Copy;
        if (action == EntryAction::None) {
            Warn(warnings, "unknown-action",
                 FileKeyName(i) + ": " +
                     (entry.szAction[0] ? "the action " + Quoted(entry.szAction) + " is neither C nor E"
                                        : std::string("there is no action")) +
                     ", so the entry is neither copied nor opened");
            continue;
        }
        if (!CheckText(
                i, [&] { return "the source " + Quoted(entry.szSource); }, entry.szSource,
                copies ? "not copied" : "not opened", warnings))
            continue;
        if (copies) {
            char path[2 * kPathSize];
            RelativeDestPath(entry, path);
            if (!CheckDestinationText(i, entry, path, warnings))
                continue;
            landings[i] = Landing(path);
            CheckDestination(i, entry, path, landings[i], warnings);
        }
        CheckSource(i, entry, copies, realPaths, warnings);
    }
}

}  // namespace

void CheckEntries(const CSetupInfo& info, std::vector<CheckWarning>& warnings)
{
    // Where each copy lands, found once. The entries are checked in two
    // halves, the later on a thread of its own where one can be started
    // (every look at a source waits for the system), and its findings come
    // after the earlier's, as in one pass.
    const size_t count = info.m_files.GetSize();
    std::vector<std::string> landings(count);
    std::vector<CheckWarning> later;
    RunBeside([&] { CheckEntryRange(info, count / 2, count, landings, later); },
              [&] { CheckEntryRange(info, 0, count / 2, landings, warnings); });
    warnings.insert(warnings.end(), later.begin(), later.end());

    // Two copies to the same place, as Windows compares names: the later
    // replaces the earlier. Each landing is folded where it is, and the map
    // refers to it there; a message shows it as written.
    std::unordered_map<std::string_view, size_t> first;
    first.reserve(count);
    for (size_t i = 0; i < count; ++i) {
        const FileEntry& entry = info.m_files[i];
        if (ActionOf(entry) != EntryAction::Copy)
            continue;
        std::string& place = landings[i];
        if (place.empty())
            place = LandingOf(entry);
        WindowsNames::FoldAnsiCase(&place[0]);
        const auto known = first.emplace(place, i);
        if (!known.second)
            Warn(warnings, "dest-duplicate",
                 FileKeyName(i) + " is copied to the same place as " + FileKeyName(known.first->second) + ", " +
                     Quoted(LandingOf(entry)) + " in the target directory, and replaces it");
    }
}

void CheckPlan(const InstallPlan& plan, std::vector<CheckWarning>& warnings)
{
    // A target too long skips every copy: one warning says so.
    const PlanStep* targetTooLong = nullptr;
    for (const PlanStep& step : plan.steps) {
        if (step.tooLong == StepPath::Target)
            targetTooLong = &step;
        else if (step.tooLong != StepPath::None)
            Warn(warnings, "path-too-long",
                 FileKeyName(step.index) + ": the installer skips the copy of " + Quoted(step.source) + ": " +
                     TooLongText(step));
    }
    if (targetTooLong)
        Warn(warnings, "path-too-long", "the installer copies no file: " + TooLongText(*targetTooLong));
}
