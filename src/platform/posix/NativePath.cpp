// A path as the installer writes it, read by Windows' rules on a POSIX system.
#include "platform/NativePath.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <mutex>
#include <string>
#include <sys/stat.h>
#include <unordered_map>

#include "platform/posix/DirectoryEntries.h"
#include "text/Text.h"
#include "windowsnames/WindowsNames.h"

namespace {

// What the run has learnt of the directories it looked names up in: each
// directory is read once, and its names are kept under their folded form, so
// that a name that does not exist as written is matched in constant time
// instead of by reading the directory again (which made a run grow with the
// square of a directory's size). A listing is taken as current while the
// directory's modification time is the one it had when read; the run's own
// new entries are added as they are made.
class CDirectoryNames {
public:
    // Finds the entry of directory (a native path, "" for the current
    // directory) whose name matches name without regard to case. Returns 1
    // with the entry's name in found, 0 when there is none, 2 when more than
    // one matches.
    struct Listing;

    // The listing of directory (a native path, "" for the current directory)
    // as it is now; null when it is no directory that can be read.
    Listing* Current(const char* directory)
    {
        const char* native = directory[0] ? directory : ".";
        struct stat info;
        if (stat(native, &info) != 0)
            return nullptr;
        Listing& listing = m_listings[directory];
        if (listing.device == info.st_dev && listing.inode == info.st_ino &&
            ((listing.modified.tv_sec == info.st_mtim.tv_sec && listing.modified.tv_nsec == info.st_mtim.tv_nsec) ||
             listing.changedByRun)) {
            // The run's own changes are in the listing already.
            listing.modified = info.st_mtim;
            listing.changedByRun = false;
            return &listing;
        }
        const int dir = OpenDirectoryForListing(AT_FDCWD, native);
        if (dir < 0) {
            if (m_last == &listing)
                m_last = nullptr;
            m_listings.erase(directory);
            return nullptr;
        }
        listing.names.clear();
        ForEachDirectoryEntry(dir, [&](const char* name, unsigned char) { Add(listing, name); });
        close(dir);
        listing.modified = info.st_mtim;
        listing.device = info.st_dev;
        listing.inode = info.st_ino;
        listing.changedByRun = false;
        return &listing;
    }

    // The listing of directory when the run has changed the directory since
    // its last look, so that it holds the run's own entries and needs no look
    // to be taken as current (as Current takes it); null otherwise.
    const Listing* ChangedByRun(const char* directory)
    {
        const Listing* known = Known(directory, strlen(directory));
        return known && known->changedByRun ? known : nullptr;
    }

    // Finds the entry of a listing whose name matches name without regard to
    // case. Returns 1 with the entry's name in found, 0 when there is none, 2
    // when more than one matches.
    static int Find(const Listing* listing, const char* name, size_t length, char* found, size_t foundSize)
    {
        if (!listing)
            return 0;
        const auto match = listing->names.find(WindowsNames::FoldedUtf8Name(name, length));
        if (match == listing->names.end())
            return 0;
        if (match->second.empty())
            return 2;
        CopyText(found, foundSize, match->second.c_str());
        return 1;
    }

    // The run made the entry name in directory (its first directoryLength
    // bytes): the listing holds it, and the directory's next modification
    // time is taken as the run's.
    void Added(const char* directory, size_t directoryLength, const char* name)
    {
        Listing* known = Known(directory, directoryLength);
        if (!known)
            return;
        Add(*known, name);
        known->changedByRun = true;
    }

    // The run removed the entry name it made in directory again.
    void Removed(const char* directory, size_t directoryLength, const char* name)
    {
        Listing* known = Known(directory, directoryLength);
        if (!known)
            return;
        const auto entry = known->names.find(WindowsNames::FoldedUtf8Name(name, strlen(name)));
        if (entry != known->names.end() && entry->second == name)
            known->names.erase(entry);
    }

    // The run made the directory directory (ending with "/"; its status in
    // info): it is empty, and needs no reading to know so; as a directory the
    // run writes, the names of its entries are found in the listing.
    void Made(const std::string& directory, const struct stat& info)
    {
        Listing& listing = m_listings[directory];
        listing.names.clear();
        listing.changedByRun = true;
        listing.modified = info.st_mtim;
        listing.device = info.st_dev;
        listing.inode = info.st_ino;
    }

    struct Listing {
        timespec modified;
        dev_t device;
        ino_t inode;
        // The run has changed the directory since modified was read.
        bool changedByRun = false;
        // Folded name -> the name on disk; empty when two names fold alike.
        std::unordered_map<std::string, std::string> names;
    };

private:
    // The listing of the directory named by length bytes, if the run has
    // one. The last one asked for is kept at hand: a run asks for the same
    // directory many times in a row, and its path is long to hash.
    Listing* Known(const char* directory, size_t length)
    {
        if (m_last && m_lastDirectory.size() == length && memcmp(m_lastDirectory.data(), directory, length) == 0)
            return m_last;
        const auto known = m_listings.find(std::string(directory, length));
        if (known == m_listings.end())
            return nullptr;
        m_lastDirectory.assign(directory, length);
        m_last = &known->second;
        return m_last;
    }

    static void Add(Listing& listing, const char* name)
    {
        const auto added = listing.names.emplace(WindowsNames::FoldedUtf8Name(name), name);
        if (!added.second && added.first->second != name)
            added.first->second.clear();
    }

    std::unordered_map<std::string, Listing> m_listings;
    // The entry of m_listings that Known found last, and its directory; a
    // node of the map stays where it is until it is erased.
    Listing* m_last = nullptr;
    std::string m_lastDirectory;
};

// Kept until the process ends: freeing the names of a run of tens of
// thousands of files one by one at exit would take longer than finding them.
// Used under g_namesLock only: the run's thread looks names up and notes
// them, and the copies' helpers look up the sources they open.
CDirectoryNames& DirectoryNames()
{
    static CDirectoryNames& names = *new CDirectoryNames;
    return names;
}
std::mutex g_namesLock;

}  // namespace

void NoteNativeEntryMade(const char* native, const struct stat* madeDirectory)
{
    const std::lock_guard<std::mutex> guard(g_namesLock);
    // A directory may be written with a closing "/": its name is before it,
    // and its directory ("" or ending in "/") before that.
    size_t length = strlen(native);
    while (length > 1 && native[length - 1] == '/')
        --length;
    size_t directoryLength = length;
    while (directoryLength > 0 && native[directoryLength - 1] != '/')
        --directoryLength;
    const std::string name(native + directoryLength, length - directoryLength);
    DirectoryNames().Added(native, directoryLength, name.c_str());
    if (madeDirectory)
        DirectoryNames().Made(std::string(native, length) + "/", *madeDirectory);
}

void NoteNativeNameMade(const char* native, const char* name)
{
    const std::lock_guard<std::mutex> guard(g_namesLock);
    DirectoryNames().Added(native, strlen(native), name);
}

void NoteNativeNameRemoved(const char* native, const char* name)
{
    const std::lock_guard<std::mutex> guard(g_namesLock);
    DirectoryNames().Removed(native, strlen(native), name);
}

int FindNativeName(int directory, const char* native, const char* name, char* onDisk)
{
    // In a directory the run is writing the listing answers; a name that two
    // entries match, and any name elsewhere, is tried as written first.
    const size_t length = strlen(name);
    CopyText(onDisk, CNativePath::kSize, name);
    std::unique_lock<std::mutex> names(g_namesLock);
    if (const CDirectoryNames::Listing* writing = DirectoryNames().ChangedByRun(native)) {
        const int matches = CDirectoryNames::Find(writing, name, length, onDisk, CNativePath::kSize);
        if (matches != 2)
            return matches;
    }
    names.unlock();
    struct stat info;
    if (fstatat(directory, name, &info, AT_SYMLINK_NOFOLLOW) == 0)
        return 1;
    if (errno != ENOENT)
        return 0;
    names.lock();
    const int matches =
        CDirectoryNames::Find(DirectoryNames().Current(native), name, length, onDisk, CNativePath::kSize);
    if (matches == 2) {
        errno = ENOTUNIQ;
        return -1;
    }
    return matches;
}

namespace {

// The path's text in the system's form, with nothing looked up: normalised,
// in UTF-8, "/" between its levels (written into whole), and the same with
// the code page's backslashes (text). 0, or why the path is no path (errno).
int WriteAsWritten(const char* path, char* text, char* whole, size_t size)
{
    char normal[CNativePath::kSize];
    if (!path || WindowsNames::HasDeviceName(path))
        return ENODEV;
    if (!WindowsNames::NormalisePath(path, normal, sizeof normal))
        return ENAMETOOLONG;
    if (!CodePages::AnsiToUtf8(normal, text, size)) {
        // Bytes that are no character of the code page name nothing.
        return CodePages::IsCodePageText(normal) ? ENAMETOOLONG : EILSEQ;
    }
    CopyText(whole, size, text);
    for (char* c = whole; *c; ++c) {
        if (*c == '\\')
            *c = '/';
    }
    return 0;
}

}  // namespace

int NativeName(const char* name, char* native)
{
    if (WindowsNames::IsDeviceName(name, strlen(name)))
        return ENODEV;
    if (!CodePages::AnsiToUtf8(name, native, CNativePath::kSize))
        return CodePages::IsCodePageText(name) ? ENAMETOOLONG : EILSEQ;
    return 0;
}

bool NativePathAsWritten(const char* path, char* native)
{
    char text[CNativePath::kSize];
    const int error = WriteAsWritten(path, text, native, CNativePath::kSize);
    errno = error;
    return error == 0;
}

CNativePath::CNativePath(const char* path) : m_valid(false)
{
    m_path[0] = '\0';
    char text[kSize];
    // Most paths exist as written, or all but their last level do: those
    // levels are taken at once, without a lookup of each.
    char whole[kSize];
    m_error = WriteAsWritten(path, text, whole, kSize);
    if (m_error != 0)
        return;
    const size_t wholeLength = strlen(whole);
    size_t known = wholeLength;
    if (known > 1 && whole[known - 1] == '/')
        --known;
    const size_t lastEnd = known;
    while (known > 0 && whole[known - 1] != '/')
        --known;

    // In a directory the run is writing, such as the one it is filling, the
    // last level is found in the listing, without asking the system; a name
    // that two entries match is looked up below.
    char directory[kSize];
    memcpy(directory, whole, known);
    directory[known] = '\0';
    // The names are held while they are read; not while the system is asked.
    std::unique_lock<std::mutex> names(g_namesLock);
    if (const CDirectoryNames::Listing* writing = known > 0 ? DirectoryNames().ChangedByRun(directory) : nullptr) {
        char found[kSize];
        const int matches = CDirectoryNames::Find(writing, whole + known, lastEnd - known, found, sizeof found);
        if (matches != 2) {
            m_exists = matches == 1;
            m_caseDiffers =
                m_exists && (strlen(found) != lastEnd - known || memcmp(found, whole + known, lastEnd - known) != 0);
            if (!CopyText(m_path, kSize, directory) ||
                !AppendText(m_path, kSize, m_caseDiffers ? found : whole + known) ||
                (m_caseDiffers && lastEnd < wholeLength && !AppendText(m_path, kSize, "/")))
                return;
            m_valid = true;
            return;
        }
    }

    names.unlock();
    struct stat info;
    m_exists = lstat(whole, &info) == 0;
    m_seenType = m_exists ? info.st_mode & S_IFMT : 0;
    if (m_exists || errno != ENOENT) {
        CopyText(m_path, kSize, whole);
        m_error = 0;
        m_valid = true;
        return;
    }
    whole[known] = '\0';
    names.lock();
    // The directory of the last level, read (or known) once for the lookup
    // of that level; where it is none, every level is looked up.
    const CDirectoryNames::Listing* parent = known > 0 ? DirectoryNames().Current(whole) : nullptr;
    if (!parent)
        whole[known = 0] = '\0';

    // Each existing level is taken under its name on disk; from the first
    // level that does not exist on, the text is used as it is.
    bool lookingUp = true;
    bool exactMissing = known > 0;  // the one level left, known not to exist as written
    const char* level = text + known;
    CopyText(m_path, kSize, whole);
    if (*level == '\\') {
        CopyText(m_path, kSize, "/");
        ++level;
    }
    while (*level) {
        const char* end = strchr(level, '\\');
        const size_t length = end ? static_cast<size_t>(end - level) : strlen(level);
        char name[kSize];
        memcpy(name, level, length);
        name[length] = '\0';
        if (lookingUp) {
            char exact[kSize];
            if (!CopyText(exact, sizeof exact, m_path) || !AppendText(exact, sizeof exact, name))
                return;
            if (exactMissing || lstat(exact, &info) != 0) {
                errno = exactMissing ? ENOENT : errno;
                char found[kSize];
                const int matches = errno != ENOENT ? 0
                                    : exactMissing  ? CDirectoryNames::Find(parent, name, length, found, sizeof found)
                                                    : CDirectoryNames::Find(DirectoryNames().Current(m_path), name,
                                                                            length, found, sizeof found);
                if (matches == 2) {
                    m_error = ENOTUNIQ;
                    return;
                }
                lookingUp = matches == 1;
                if (lookingUp) {
                    CopyText(name, sizeof name, found);
                    m_caseDiffers = true;
                }
            }
        }
        if (!AppendText(m_path, kSize, name) || (end && !AppendText(m_path, kSize, "/")))
            return;
        level = end ? end + 1 : level + length;
        exactMissing = false;
    }
    m_exists = lookingUp;
    m_error = 0;
    m_valid = true;
}

bool FromNativePath(const char* native, char* path, size_t size)
{
    if (!CodePages::Utf8ToAnsi(native, path, size))
        return false;
    for (char* c = path; *c; c += CodePages::CharacterLength(c)) {
        if (*c == '/')
            *c = '\\';
    }
    return true;
}
