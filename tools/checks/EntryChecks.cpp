#include <algorithm>
#include <cstring>
#include <exception>
#include <filesystem>
#include <map>
#include <string>
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
// composes it onto a target that ends with a backslash.
std::string RelativeDestPath(const FileEntry& entry)
{
    char entryDir[kPathSize], destPath[2 * kPathSize];
    ComposeEntryDir("", entry, entryDir, sizeof entryDir);
    ComposeDestPath(entryDir, entry, destPath, sizeof destPath);
    return destPath;
}

// A relative path as Windows reads it: "\" and "/" both separators, "." and
// ".." resolved, "\" between its levels.
std::string WindowsNormal(const std::string& path)
{
    std::string normal(path.size() + 2, '\0');
    WindowsNames::NormalisePath(path.c_str(), &normal[0], normal.size());
    normal.resize(strlen(normal.c_str()));
    return normal;
}

// A normal path that climbs above the directory it starts from.
bool ClimbsOut(const std::string& normal) { return normal == ".." || normal.compare(0, 3, "..\\") == 0; }

// Where a C entry's file lands from the target directory (its relative
// destination path, RelativeDestPath), as Windows reads the installer's path.
std::string Landing(std::string joined)
{
    // Leading separators are empty levels after the target's own.
    joined.erase(0, joined.find_first_not_of("\\/"));
    return WindowsNormal(joined);
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
bool CheckDestinationText(size_t index, const FileEntry& entry, const std::string& path,
                          std::vector<CheckWarning>& warnings)
{
    return CheckText(
        index,
        [&] {
            return "the path " + Quoted(path) + " that the destination " + Quoted(entry.szDest) +
                   " and the file name " + Quoted(entry.szFileName) + " make";
        },
        path.c_str(), "not copied", warnings);
}

// path is the entry's relative destination path (RelativeDestPath), landing
// where that lands (Landing).
void CheckDestination(size_t index, const FileEntry& entry, const std::string& path, const std::string& landing,
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
    if (ClimbsOut(landing))
        Warn(warnings, "dest-climbs-out",
             FileKeyName(index) + ": the file lands at " + Quoted(landing) +
                 " from the target directory (Windows reads \"/\" as \"\\\" and resolves \"..\"), outside it");
    // The path as the installer hands it to the system, before Windows resolves anything.
    if (WindowsNames::HasDeviceName(path.c_str()))
        Warn(warnings, "dest-device",
             FileKeyName(index) + ": the file lands at " + Quoted(path) +
                 " in the target directory, a path through a name that "
                 "Windows keeps for a device (CON, PRN, AUX, NUL, COM1 to COM9, LPT1 to LPT9, also with an extension), "
                 "so no directory or file can be made there: the entry is not copied");
}

// The package directory (the current one) as the system resolves it, and
// the real paths of the sources in it: each directory a source lies in is
// resolved once, and only a source that is a link itself is resolved whole,
// so that a package of many files in few directories costs one look per file.
class CRealPaths {
public:
    CRealPaths()
    {
        std::error_code error;
        m_here = std::filesystem::canonical(std::filesystem::current_path(error), error);
        if (error)
            m_here.clear();
    }

    const std::filesystem::path& Here() const { return m_here; }

    // Where the system reaches the native path, every link followed; empty
    // when there is nothing there.
    std::filesystem::path Of(const CNativePath& native)
    {
        const std::filesystem::path path(native.Get());
        // The path's own type, where the lookup saw it, needs no second look.
        bool isLink;
        if (!SeenAsLink(native, isLink)) {
            std::error_code error;
            const std::filesystem::file_status status = std::filesystem::symlink_status(path, error);
            if (error || !std::filesystem::exists(status))
                return {};
            isLink = std::filesystem::is_symlink(status);
        }
        if (isLink || !path.has_filename())
            return Resolved(path);
        const std::filesystem::path& directory =
            Directory(path.has_parent_path() ? path.parent_path() : std::filesystem::path("."));
        return directory.empty() ? std::filesystem::path() : directory / path.filename();
    }

private:
    // Where the system reaches a directory, found once for each: a directory
    // that is no link is where its parent is reached, so that only a link is
    // resolved level by level. Empty when it is no directory.
    const std::filesystem::path& Directory(const std::filesystem::path& directory)
    {
        const auto known = m_directories.find(directory.native());
        if (known != m_directories.end())
            return known->second;
        std::filesystem::path real;
        const std::filesystem::path name = directory.filename();
        if (directory.has_parent_path() && !name.empty() && name != "." && name != "..") {
            std::error_code error;
            const std::filesystem::file_status status = std::filesystem::symlink_status(directory, error);
            if (!error && std::filesystem::is_directory(status)) {
                const std::filesystem::path& parent = Directory(directory.parent_path());
                if (!parent.empty())
                    real = parent / name;
            } else if (!error && std::filesystem::is_symlink(status)) {
                real = Resolved(directory);
            }
        } else {
            real = Resolved(directory);
        }
        // A node of the map stays where it is while others are added.
        return m_directories.emplace(directory.native(), real).first->second;
    }

    static std::filesystem::path Resolved(const std::filesystem::path& path)
    {
        std::error_code error;
        std::filesystem::path real = std::filesystem::canonical(path, error);
        return error ? std::filesystem::path() : real;
    }

    std::filesystem::path m_here;
    std::map<std::filesystem::path::string_type, std::filesystem::path> m_directories;
};

// Whether a source lies outside the package directory: a path that climbs
// out with "..", a rooted or absolute one, or one whose existing file is
// reached through a link that leads out. native is the source's CNativePath.
bool OutsidePackage(const FileEntry& entry, const CNativePath& native, CRealPaths& realPaths)
{
    const std::string normal = WindowsNormal(entry.szSource);
    if (ClimbsOut(normal) || (!normal.empty() && normal[0] == '\\') ||
        (normal.size() > 1 && CodePages::CharacterLength(normal.c_str()) == 1 && normal[1] == ':'))
        return true;
    const std::filesystem::path& here = realPaths.Here();
    const std::filesystem::path real = native.IsValid() ? realPaths.Of(native) : std::filesystem::path();
    if (real.empty() || here.empty())
        return false;
    // Inside when the package directory's path is the first levels of the
    // real path (both canonical: no "." or "..", no separator at the end
    // but the root's).
    const auto& inside = here.native();
    const auto& path = real.native();
    const bool under = path.compare(0, inside.size(), inside) == 0 &&
                       (path.size() == inside.size() || inside.back() == std::filesystem::path::preferred_separator ||
                        path[inside.size()] == std::filesystem::path::preferred_separator);
    return !under;
}

// A source that Windows would read differently from the installer, or that
// cannot be copied (mustBeFile) or opened.
void CheckSource(size_t index, const FileEntry& entry, bool copies, CRealPaths& realPaths,
                 std::vector<CheckWarning>& warnings)
{
    const std::string name = FileKeyName(index);
    const std::string source = entry.szSource;
    const CNativePath native(entry.szSource);
    if (OutsidePackage(entry, native, realPaths))
        Warn(warnings, "source-outside",
             name + ": the source " + Quoted(source) + " lies outside the package directory, so the installer " +
                 (copies ? "copies" : "opens") + " a file that is not part of the package");
    if (copies && source.find('/') != std::string::npos)
        Warn(warnings, "source-forward-slash",
             name + ": the source " + Quoted(source) +
                 " holds \"/\": the installer takes only the text after its "
                 "last backslash, " +
                 Quoted(entry.szFileName) +
                 ", as the file name, and Windows reads its \"/\" "
                 "as a separator, so the copy goes into a directory the installer does not make, or elsewhere");
    const Platform::FileLookup found = Platform::LookUpFile(entry.szSource, &native);
    const char* consequence = copies ? "so it is not copied" : "so it is not opened";
    if (source.empty() || found.kind == Platform::FileKind::Missing) {
        Warn(warnings, "source-missing",
             name + ": the source " + Quoted(source) + " is not in the package directory, " + consequence);
    } else if (found.kind == Platform::FileKind::Special || (copies && found.kind == Platform::FileKind::Directory)) {
        Warn(warnings, "source-not-file",
             name + ": the source " + Quoted(source) + " is " +
                 (found.kind == Platform::FileKind::Directory ? "a directory"
                                                              : "a device, a pipe or another special file") +
                 ", not a file, " + consequence);
    } else if (found.caseDiffers) {
        Warn(warnings, "source-case-differs",
             name + ": the source " + Quoted(source) +
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
            const std::string path = RelativeDestPath(entry);
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
    // replaces the earlier.
    std::unordered_map<std::string, size_t> first;
    for (size_t i = 0; i < info.m_files.GetSize(); ++i) {
        if (ActionOf(info.m_files[i]) != EntryAction::Copy)
            continue;
        if (landings[i].empty())
            landings[i] = Landing(RelativeDestPath(info.m_files[i]));
        std::string folded = landings[i];
        WindowsNames::FoldAnsiCase(&folded[0]);
        const auto known = first.emplace(std::move(folded), i);
        if (!known.second)
            Warn(warnings, "dest-duplicate",
                 FileKeyName(i) + " is copied to the same place as " + FileKeyName(known.first->second) + ", " +
                     Quoted(landings[i]) + " in the target directory, and replaces it");
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
