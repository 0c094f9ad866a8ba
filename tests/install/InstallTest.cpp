// The installation engine on real directories: the paths and their limit, MakePath's levels, where each
// entry lands, what counts as not copied, the open pass, and on Linux the copy standing in for CopyFileA.
#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <filesystem>
#include <functional>
#include <regex>
#include <string>
#include <thread>

#include <gtest/gtest.h>

#include "install/EntryPaths.h"
#include "install/Install.h"
#include "install/MakePath.h"
#include "platform/CleanedDirectories.h"
#include "platform/Interrupt.h"
#include "platform/Platform.h"
#include "platform/Shell.h"
#include "setupinfo/SetupInfo.h"
#include "support/TempDir.h"
#include "support/WholeInstall.h"
#include "text/Text.h"

// Every flush and rename of this program, by file name: "sync X|rename X Y|". Natively fdatasync and
// rename are interposed; on Windows FlushFileBuffers and MoveFileExA are replaced in this program's own
// import table, through which the engine linked into it calls them.
static std::string s_calls;
#ifdef _WIN32
#include <windows.h>
constexpr int kCancelled = ERROR_REQUEST_ABORTED;

namespace {
// The calls replaced, as Replace found them.
BOOL(WINAPI* s_flush)(HANDLE);
BOOL(WINAPI* s_move)(LPCSTR, LPCSTR, DWORD);
BOOL WINAPI RecordFlush(HANDLE file)
{
    wchar_t path[MAX_PATH] = L"";
    GetFinalPathNameByHandleW(file, path, MAX_PATH, 0);
    s_calls += "sync " + std::filesystem::path(path).filename().string() + "|";
    return s_flush(file);
}
BOOL WINAPI RecordMove(LPCSTR from, LPCSTR to, DWORD flags)
{
    s_calls += "rename " + std::filesystem::path(from).filename().string() + " " +
               std::filesystem::path(to).filename().string() + "|";
    return s_move(from, to, flags);
}
// Points this program's import of kernel32's name at call; returns where it pointed.
template <class Call>
Call Replace(const char* name, Call call)
{
    Call was = nullptr;
    auto* base = reinterpret_cast<BYTE*>(GetModuleHandleA(nullptr));
    const auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew);
    auto* import = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(
        base + nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress);
    for (; import->Name; ++import) {
        if (_stricmp(reinterpret_cast<char*>(base + import->Name), "kernel32.dll") != 0)
            continue;
        auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + import->OriginalFirstThunk);
        auto* calls = reinterpret_cast<IMAGE_THUNK_DATA*>(base + import->FirstThunk);
        for (; names->u1.AddressOfData; ++names, ++calls) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal) ||
                strcmp(reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData)->Name, name) != 0)
                continue;
            DWORD protection;
            VirtualProtect(&calls->u1.Function, sizeof calls->u1.Function, PAGE_READWRITE, &protection);
            was = reinterpret_cast<Call>(calls->u1.Function);
            calls->u1.Function = reinterpret_cast<ULONG_PTR>(call);
            VirtualProtect(&calls->u1.Function, sizeof calls->u1.Function, protection, &protection);
        }
    }
    return was;
}
}  // namespace
#else
#include <dlfcn.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
constexpr int kCancelled = EINTR;

#include "platform/posix/FileCopy.h"

extern "C" int fdatasync(int fd)
{
    std::error_code ignored;
    s_calls += "sync " +
               std::filesystem::read_symlink("/proc/self/fd/" + std::to_string(fd), ignored).filename().string() + "|";
    return reinterpret_cast<int (*)(int)>(dlsym(RTLD_NEXT, "fdatasync"))(fd);
}
extern "C" int renameat(int fromDirectory, const char* from, int toDirectory, const char* to) noexcept
{
    s_calls += "rename " + std::filesystem::path(from).filename().string() + " " +
               std::filesystem::path(to).filename().string() + "|";
    return reinterpret_cast<int (*)(int, const char*, int, const char*)>(dlsym(RTLD_NEXT, "renameat"))(
        fromDirectory, from, toDirectory, to);
}
#endif

namespace fs = std::filesystem;

namespace {

using Names = std::set<std::string>;
using Opens = std::vector<std::pair<std::string, bool>>;

// Appends one entry to the list, its file name taken from the source path as Load takes it.
void AddEntry(CSetupInfo& info, const std::string& source, const std::string& dest, const std::string& action)
{
    const size_t index = info.m_files.GetSize();
    info.m_files.SetSize(index + 1);
    FileEntry& entry = info.m_files[index];
    CopyText(entry.szSource, sizeof entry.szSource, source.c_str());
    CSetupInfo::GetFileName(entry.szSource, entry.szFileName);
    CopyText(entry.szDest, sizeof entry.szDest, dest.c_str());
    CopyText(entry.szAction, sizeof entry.szAction, action.c_str());
}

// A temporary directory holding the package directory "package", current during the test, and the
// targets. The shell opener records each file opened with the probe's answer at that moment.
class Install : public ::testing::Test {
protected:
    Install()
    {
        s_opens.clear();
        s_probe = [] { return true; };
        Platform::SetShellOpener(
            [](const char* file) { return s_opens.emplace_back(file, s_probe && s_probe()), s_probe != nullptr; });
    }
    ~Install() override { Platform::SetShellOpener(nullptr); }
    // Writes package\data\<name> with the content "<name> v1" (or content).
    void Source(const std::string& name, const std::string& content = "")
    {
        dir.Write("package\\data\\" + name, content.empty() ? name + " v1" : content);
    }
    std::string Target(const std::string& name) const { return dir.Path() + "\\" + name; }

    static inline Opens s_opens;
    static inline std::function<bool()> s_probe;  // null: the open fails
    CTempDir dir;
    CCurrentDir here{dir.MakeDir("package")};
    CSetupInfo info;
};

// Two names of directories, of one length, whose paths below prefix, with their closing backslash, share a
// 32-bit FNV-1a hash: among 2^18 names two do, as a rule, and more are tried where they do not.
std::pair<std::string, std::string> TwinDirectories(const std::string& prefix)
{
    auto hashOf = [](unsigned hash, const std::string& text) {
        for (const char c : text)
            hash = (hash ^ static_cast<unsigned char>(c)) * 16777619u;
        return hash;
    };
    auto name = [](unsigned n) { return "c" + std::to_string(10000000 + n); };
    const unsigned start = hashOf(2166136261u, prefix);
    for (unsigned count = 1u << 18;; count *= 2) {
        std::vector<std::pair<unsigned, unsigned>> hashes(count);
        for (unsigned n = 0; n < count; ++n)
            hashes[n] = {hashOf(start, name(n) + "\\"), n};
        std::sort(hashes.begin(), hashes.end());
        for (unsigned n = 1; n < count; ++n) {
            if (hashes[n].first == hashes[n - 1].first)
                return {name(hashes[n - 1].second), name(hashes[n].second)};
        }
    }
}

// A relative directory text of exactly length characters ending with a backslash, in short components.
std::string LongTail(size_t length)
{
    std::string tail;
    while (tail.size() + 1 < length)
        tail += std::string(std::min<size_t>(100, length - tail.size() - 1), 'x') + "\\";
    return tail.size() < length ? tail + "\\" : tail;
}

}  // namespace

TEST(EntryPaths, TheTargetGetsOneBackslashAndAStepWhosePathsExceed259CharactersIsSkipped)
{
    for (const auto& [targetDir, normalised] : {std::pair<std::string, std::string>{"C:\\Games", "C:\\Games\\"},
                                                {"C:\\Games\\", "C:\\Games\\"},
                                                {"", "\\"}}) {
        char out[16] = "junk";
        EXPECT_EQ(NormaliseTarget(targetDir.c_str(), out, sizeof out), normalised.size());
        EXPECT_EQ(out, normalised);
    }
    // The target, the entry directory and the destination path, each at 259 and at 260 characters.
    const std::string t98 = "C:\\" + std::string(94, 'T') + "\\";
    auto sub = [](size_t length) { return "$setupdir" + std::string(length - 1, 'd') + "\\"; };  // with its backslash
    const struct {
        std::string target, dest, source;  // "data\\": no file name
        StepPath tooLong;
        size_t length;
    } steps[] = {{std::string(258, 't'), "$setupdir", "data\\", StepPath::None, 0},
                 {std::string(259, 't'), "$setupdir", "data\\a", StepPath::Target, 260},
                 {t98, sub(161), "data\\", StepPath::None, 0},
                 {t98, sub(162), "data\\", StepPath::EntryDir, 260},
                 {t98, sub(160), "data\\a", StepPath::None, 0},
                 {t98, sub(161), "data\\ab", StepPath::DestPath, 261}};
    for (const auto& s : steps) {
        CSetupInfo info;
        AddEntry(info, s.source, s.dest, "C");
        InstallStep seen{};
        WalkInstallSteps(
            info.m_files, s.target.c_str(),
            [](InstallStep& step, void* context) { *static_cast<InstallStep*>(context) = step; }, &seen);
        EXPECT_EQ(seen.tooLong, s.tooLong) << s.target.size() << " " << s.dest.size() << " " << s.source;
        EXPECT_EQ(seen.tooLongLength, s.length) << s.target.size() << " " << s.dest.size() << " " << s.source;
    }
    // Opens come after every copy and keep their entries' places in the list.
    CSetupInfo info;
    for (const char* action : {"E", "x", "c", "e", "C"})
        AddEntry(info, "data\\a", "$setupdir", action);
    std::string order;
    WalkInstallSteps(
        info.m_files, "T",
        [](InstallStep& step, void* text) {
            *static_cast<std::string*>(text) +=
                (step.action == EntryAction::Copy ? "c" : "o") + std::to_string(step.index);
        },
        &order);
    EXPECT_EQ(order, "c2c4o0o3");
}

TEST(MakePath, MakesEveryMissingLevelButNeverTheTextAfterTheLastBackslash)
{
    CTempDir dir;
    CCurrentDir here(dir.Native());
    EXPECT_EQ(MakePath(nullptr), -1);
    EXPECT_EQ(MakePath(""), -1);
    // 260 characters are refused and make nothing; 259 are walked.
    const std::string base = dir.Path() + "\\a\\", longest = base + std::string(259 - base.size(), 'f');
    EXPECT_EQ(MakePath((longest + "g").c_str()), -2);
    EXPECT_FALSE(dir.Exists("a"));
    EXPECT_EQ(MakePath(longest.c_str()), 0);
    dir.Write("Games\\keep.txt", "kept");
    dir.Write("block", "a file");
    const std::string games = dir.Path() + "\\Games\\";
    std::string rooted = dir.Path() + "\\rooted\\";  // from the root of the current drive
    rooted.erase(0, rooted[1] == ':' ? 2 : 0);
    // No backslash: no level; "/" separates nothing; a file in the way does not stop the walk.
    for (const std::string& path :
         {std::string("maps"), std::string("sub/inner/"), games + "Arena\\maps\\", games + "Other\\maps",
          games + "Twin\\\\inner\\", games, dir.Path() + "\\block\\in\\deep\\", std::string("rel\\sub\\"), rooted})
        EXPECT_EQ(MakePath(path.c_str()), 0) << path;
    EXPECT_EQ(dir.Tree(), (Names{"a", "block", "Games", "Games/keep.txt", "Games/Arena", "Games/Arena/maps",
                                 "Games/Other", "Games/Twin", "Games/Twin/inner", "rel", "rel/sub", "rooted"}));
    EXPECT_EQ(dir.Read("Games\\keep.txt") + dir.Read("block"), "kepta file");
}

TEST_F(Install, DestinationAndActionDecideWhereAFileLandsWhateverTheTargetsFormAndAnExistingOneIsReplaced)
{
    const struct {
        std::string name, dest, action, landsAt;  // landsAt empty: not copied
    } cases[] = {
        {"e.txt", "$setupdir", "e", ""},
        {"b.dat", "$setupdir\\maps\\", "C", "maps/b.dat"},  // e.txt opened where it is
        // "ghost\.." is resolved in the text, as Windows does: ghost is never made.
        {"m.dat", "$setupdir\\ghost\\..\\maps\\", "C", "maps/m.dat"},
        {"a.dat", "$setupdir", "C", "a.dat"},
        {"c.dat", "$setupdirmaps\\", "C", "maps/c.dat"},
        {"n.dat", "$setupdir\\\\maps\\", "C", "maps/n.dat"},
        {"Mixed.DAT", "$SETUPDIR\\Extra\\Zone\\", "C", "extra/zone/Mixed.DAT"},  // the sub-directory lower-cased
        {"d.dat", "$SetupDir\\maps", "C", "mapsd.dat"},                          // the name joined straight on
        {"e.dat", "D:\\Other\\", "C", "e.dat"},
        {"f.dat", "maps\\", "C", "f.dat"},
        {"h.dat", "", "C", "h.dat"},                      // no marker
        {"g.dat", "x\\$setupdir\\maps\\", "C", "g.dat"},  // the marker only at the start
        {"k.dat", "$setupdir", "Copy", ""},
        {"l.dat", "$setupdir", " C", ""},
        {"f.txt", "$setupdir", "Exec", ""},
        {"g.txt", "$setupdir", "E", ""},
        {"i.dat", "$setupdir", "c", "i.dat"},
    };
    // Two names of one file in letter case: the second replaces the first, which keeps its name.
    Source("Twin.DAT"), Source("twin\\Twin.dat");
    AddEntry(info, "data\\Twin.DAT", "$setupdir\\maps\\", "C"),
        AddEntry(info, "data\\twin\\Twin.dat", "$setupdir\\maps\\", "C");
    for (const auto& c : cases) {
        Source(c.name);
        AddEntry(info, "data\\" + c.name, c.dest, c.action);
    }
    dir.Write("Arena\\maps\\b.dat", "old and longer than the new content");
    // The copy keeps the source's last-write time, as CopyFile does.
    fs::last_write_time(dir.Native("package\\data\\a.dat"),
                        fs::last_write_time(dir.Native("package\\data\\a.dat")) - std::chrono::hours(9000));
    const fs::file_time_type written = fs::last_write_time(dir.Native("package\\data\\a.dat"));
    EXPECT_EQ(::Install(CSetupInfo(), Target("Empty").c_str()), 0);  // an empty list makes nothing
    EXPECT_FALSE(dir.Exists("Empty"));
    // With or without its backslash, or relative to the current directory: the same places.
    for (const std::string& target : {Target("Arena"), Target("Arena") + "\\", std::string("..\\Arena")}) {
        Source("b.dat", "b.dat for " + target);
        s_opens.clear();
        s_probe = [this] { return dir.Read("Arena\\i.dat") == "i.dat v1"; };  // the last copy, whole
        const fs::path start = fs::current_path();
        EXPECT_EQ(::Install(info, target.c_str()), 0);
        EXPECT_EQ(fs::current_path(), start);
        EXPECT_EQ(dir.Read("Arena\\maps\\b.dat"), "b.dat for " + target);
        EXPECT_EQ(s_opens, (Opens{{"data\\e.txt", true}, {"data\\g.txt", true}}));
    }
    for (const auto& c : cases)
        EXPECT_TRUE(c.landsAt.empty() || c.name == "b.dat" || dir.Read("Arena\\" + c.landsAt) == c.name + " v1")
            << c.dest;
    EXPECT_EQ(fs::last_write_time(dir.Native("Arena\\a.dat")), written);
    EXPECT_EQ(dir.Read("Arena\\maps\\Twin.DAT"), "twin\\Twin.dat v1");
    EXPECT_EQ(dir.Tree("Arena"), (Names{"a.dat", "e.dat", "extra", "extra/zone", "extra/zone/Mixed.DAT", "f.dat",
                                        "g.dat", "h.dat", "i.dat", "maps", "maps/Twin.DAT", "maps/b.dat", "maps/c.dat",
                                        "maps/m.dat", "maps/n.dat", "mapsd.dat"}));
}

TEST_F(Install, EveryCEntryNotCopiedIsCountedAndTheRestStillRuns)
{
    for (const char* name : {"a.dat", "b.dat", "c.dat", "d.dat"})
        Source(name);
    dir.Write("Arena\\a.dat", "read-only");
    fs::permissions(dir.Native("Arena\\a.dat"),
                    fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    dir.MakeDir("Arena\\b.dat");
    dir.Write("Arena\\wall", "a file where a directory should be");
    AddEntry(info, "data\\missing.dat", "$setupdir", "C");
    AddEntry(info, "data\\a.dat", "$setupdir", "C");
    AddEntry(info, "data\\b.dat", "$setupdir", "C");
    AddEntry(info, "data\\c.dat", "$setupdir\\wall\\", "C");
    AddEntry(info, "data\\d.dat", "$setupdir", "C");
    AddEntry(info, "data\\e.txt", "$setupdir", "E");
    s_probe = nullptr;  // a failed open passes silently, the result unchanged
    const fs::path start = fs::current_path();
    EXPECT_EQ(::Install(info, Target("Arena").c_str()), 4);
    EXPECT_EQ(dir.Tree("Arena"), (Names{"a.dat", "b.dat", "d.dat", "wall"}));
    EXPECT_EQ(dir.Read("Arena\\a.dat") + dir.Read("Arena\\d.dat"), "read-onlyd.dat v1");
    EXPECT_EQ(fs::current_path(), start);
    // A target of 259 characters without its backslash: every C entry is skipped and counted, nothing is
    // made, and the open pass still runs.
    std::string longTarget = dir.Path() + "\\" + LongTail(259 - dir.Path().size() - 1);
    longTarget.back() = 'y';
    const Names before = dir.Tree();
    EXPECT_EQ(::Install(info, longTarget.c_str()), 5);
    EXPECT_EQ(dir.Tree(), before);
    EXPECT_EQ(s_opens.size(), 2u);
}

// In 932, 表 is 95 5C and ア 83 41: names with them land whole, with only the ASCII letters of a
// destination's directories lowered; a source that ends with half a character is no name, on both builds.
TEST_F(Install, InADoubleByteCodePageNamesLandWholeAndHalfACharacterNamesNoFile)
{
    CCodePage japanese(932);
    ASSERT_TRUE(japanese.m_set);
    AddEntry(info, "data\\b\x83", "$setupdir", "C");
#ifdef _WIN32
    // Here the system reads names in its own code page, so only the refusal is ours to test.
    EXPECT_EQ(::Install(info, Target("T").c_str()), 1);
    EXPECT_EQ(dir.Tree("T"), Names{});
#else
    Source(u8"表a.txt");
    AddEntry(info,
             "data\\\x95\x5C"
             "a.txt",
             "$SetupDir\\\x95\x5CX\x83\x41\\", "C");
    EXPECT_EQ(::Install(info, (Target("T") + "\\\x95\x5C").c_str()), 1);  // the target 表 gets its backslash
    EXPECT_EQ(dir.Tree("T"), (Names{u8"表", u8"表/表xア", u8"表/表xア/表a.txt"}));
#endif
}

// The open pass starts a program with its source path as the parameter text and does not wait for it:
// the program writes probe-record.txt only once the test has written probe-go.
TEST_F(Install, AnOpenedProgramStartsWithItsSourcePathAsParameterAndIsNotWaitedFor)
{
    Platform::SetShellOpener(nullptr);
#ifdef _WIN32
    char self[MAX_PATH];
    ASSERT_GT(GetModuleFileNameA(nullptr, self, sizeof self), 0u);
    dir.MakeDir("package\\tools");
    fs::copy_file(fs::path(self).parent_path() / "kiv_open_probe.exe", dir.Native("package\\tools\\probe.exe"));
    const std::string program = "tools\\probe.exe", parameter = program;
#else
    dir.Write("package\\tools\\probe.sh",
              "#!/bin/sh\n"
              "n=0; while [ ! -e probe-go ] && [ $n -lt 200 ]; do sleep 0.05; n=$((n+1)); done\n"
              "if [ -e probe-go ]; then go=seen; else go=missing; fi\n"
              "printf 'line=%s %s\\ncwd=%s\\ngo=%s\\n' \"$0\" \"$*\" \"$(pwd -P)\" $go >probe-record.tmp\n"
              "mv probe-record.tmp probe-record.txt\n");
    fs::permissions(dir.Native("package\\tools\\probe.sh"), fs::perms::owner_exec, fs::perm_options::add);
    const std::string program = "tools\\probe.sh", parameter = "tools/probe.sh";
#endif
    Source("a.dat");
    AddEntry(info, program, "$setupdir", "E");
    AddEntry(info, "data\\a.dat", "$setupdir\\maps\\", "C");
    EXPECT_EQ(::Install(info, Target("Arena").c_str()), 0);
    dir.Write("package\\probe-go", "");
    for (int i = 0; i < 1200 && !dir.Exists("package\\probe-record.txt"); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    const std::string record = dir.Read("package\\probe-record.txt");
    ASSERT_NE(record, "") << "the program did not start";
    EXPECT_NE(record.find(" " + parameter + "\ncwd="), std::string::npos) << record;
    EXPECT_NE(record.find("\ngo=seen\n"), std::string::npos) << record;
    const size_t cwd = record.find("\ncwd=") + 5;
    EXPECT_TRUE(fs::equivalent(record.substr(cwd, record.find('\n', cwd) - cwd), dir.Native("package"))) << record;
}

// A file that replaces another is flushed before its rename, also from a read-only source, as on a CD
// (Windows gives the copy the attribute and flushes no read-only file; Wine does not); a new file is not
// flushed. No temporary is left.
TEST_F(Install, AReplacementIsFlushedBeforeItsRenameAndANewFileIsNot)
{
    Source("a.dat", "new bytes");
    fs::permissions(dir.Native("package\\data\\a.dat"), fs::perms::owner_read);
    dir.Write("Arena\\a.dat", "old");
#ifdef _WIN32
    s_flush = Replace("FlushFileBuffers", &RecordFlush);
    s_move = Replace("MoveFileExA", &RecordMove);
    // A new file too is renamed into its place, unflushed.
    const std::regex calls(
        R"(rename (\.kivtmp\.w[0-9a-f]{8}\.[0-9a-f]{6}) b\.dat\|sync (\.kivtmp\.w[0-9a-f]{8}\.[0-9a-f]{6})\|rename \2 a\.dat\|)");
#else
    // A new file is written in its place, read-only as its source.
    const std::regex calls(R"(sync (\.kivtmp\.n[0-9a-f]{8}\.[0-9a-f]{6})\|rename \1 a\.dat\|)");
#endif
    s_calls.clear();
    EXPECT_TRUE(Platform::CopyFileOverwrite("data\\a.dat", Target("Arena\\b.dat").c_str()));
    EXPECT_TRUE(Platform::CopyFileOverwrite("data\\a.dat", Target("Arena\\a.dat").c_str()));
    EXPECT_TRUE(std::regex_match(s_calls, calls)) << s_calls;
#ifdef _WIN32
    Replace("FlushFileBuffers", s_flush);
    Replace("MoveFileExA", s_move);
#else
    EXPECT_EQ(fs::status(dir.Native("Arena\\b.dat")).permissions(), fs::perms::owner_read);
#endif
    EXPECT_EQ(dir.Tree("Arena"), (Names{"a.dat", "b.dat"}));
    EXPECT_EQ(dir.Read("Arena\\a.dat") + "|" + dir.Read("Arena\\b.dat"), "new bytes|new bytes");
}

// A run's first copy into a directory removes, in each run, the temporaries of runs that have ended
// (read-only ones too): natively one that no process holds locked, on Windows one whose process is gone
// and that no handle holds open. Another build's temporary, or one of the form before the marks, goes
// only once unwritten for an hour. Never a directory, a file of another form, or anything in a
// directory the run does not write to.
TEST_F(Install, TemporariesOfRunsThatEndedAreRemovedWhereARunWrites)
{
#ifdef _WIN32
    const std::string mark = "w", other = "n";
#else
    const std::string mark = "n", other = "w";
#endif
    const std::string gone = ".kivtmp." + mark + "3ffffffc.", foreign = ".kivtmp." + other + "3ffffffc.";
    const std::string unmarked = ".kivtmp.3ffffffc.";
    Names kept = {gone + "00001",     gone + "00000g",     "kiv1a2b.tmp",           "other/" + gone + "000001",
                  foreign + "000001", unmarked + "000001", ".kivtmp" + other + "01"};
    Names stale = {gone + "000003", foreign + "000004", unmarked + "000005", ".kivtmp" + other + "02"};
    for (const std::string& name : kept)
        dir.Write("Arena\\" + name, "kept");
    dir.MakeDir("Arena\\" + gone + "000002");
    const auto longAgo = fs::file_time_type::clock::now() - std::chrono::hours(2);
    for (const std::string& name : stale) {
        dir.Write("Arena\\" + name, "left");
        fs::last_write_time(dir.Native("Arena\\" + name), longAgo);
    }
    // Held by a writer: natively its lock, on Windows a handle that shares no deletion.
    const std::string held = gone + "00000a";
    dir.Write("Arena\\" + held, "held");
#ifdef _WIN32
    const HANDLE writer = CreateFileA(dir.Native("Arena\\" + held).string().c_str(), GENERIC_WRITE,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
#else
    const int writer = open(dir.Native("Arena\\" + held).c_str(), O_WRONLY);
    ASSERT_EQ(flock(writer, LOCK_EX), 0);
#endif
    Source("a.dat");
    AddEntry(info, "data\\a.dat", "$setupdir", "C");
    Names expected = kept;
    expected.insert({"a.dat", "other", gone + "000002", held});
    for (const char* ended : {"000006", "0000ff"}) {
        dir.Write("Arena\\" + gone + ended, "left");
        fs::permissions(dir.Native("Arena\\" + gone + ended), fs::perms::owner_read);
        EXPECT_EQ(::Install(info, Target("Arena").c_str()), 0);
        EXPECT_EQ(dir.Tree("Arena"), expected);
    }
#ifdef _WIN32
    CloseHandle(writer);
#else
    close(writer);
#endif
    // Directories whose texts share a 32-bit hash are told apart: each is cleaned, once in a run.
    CSetupInfo twinInfo;
    const auto twins = TwinDirectories(Target("Arena") + "\\");
    Platform::ForgetCleanedDirectories();
    for (const bool first : {true, false}) {
        for (const std::string& twin : {twins.first, twins.second}) {
            const std::string text = Target("Arena") + "\\" + twin + "\\";
            EXPECT_EQ(Platform::FirstCleaning(text.data(), text.size()), first) << twin;
        }
    }
    for (const std::string& twin : {twins.first, twins.second}) {
        dir.Write("Arena\\" + twin + "\\" + gone + "000009", "left");
        AddEntry(twinInfo, "data\\a.dat", "$setupdir\\" + twin + "\\", "C");
    }
    EXPECT_EQ(::Install(twinInfo, Target("Arena").c_str()), 0);
    for (const std::string& twin : {twins.first, twins.second})
        EXPECT_EQ(dir.Tree("Arena\\" + twin), Names{"a.dat"}) << twin;
}

// The entries meet each other's files in the list's order, also where copies go on side by side: a
// source that an earlier entry copies is read once whole; one that a later entry makes, or that a failed
// copy took away again, is missing.
TEST_F(Install, EntriesMeetEachOthersFilesInTheListsOrder)
{
    Source("big.dat");
    fs::resize_file(dir.Native("package\\data\\big.dat"), 64u << 20);
    Source("later.dat");
    // The target lies in the package, where sources can name the run's own files.
    AddEntry(info, "data\\big.dat", "$setupdir", "C");
    AddEntry(info, "out\\big.dat", "$setupdir\\again\\", "C");
    AddEntry(info, "out\\later.dat", "$setupdir\\again\\", "C");
    AddEntry(info, "data\\later.dat", "$setupdir", "C");
    AddEntry(info, "data\\missing.dat", "$setupdir", "C");
    AddEntry(info, "out\\missing.dat", "$setupdir\\again\\", "C");
    EXPECT_EQ(::Install(info, "out"), 3);
    EXPECT_EQ(dir.Tree("package\\out"), (Names{"again", "again/big.dat", "big.dat", "later.dat"}));
    EXPECT_EQ(fs::file_size(dir.Native("package\\out\\again\\big.dat")), 64u << 20);
}

// Platform::Interrupt() from another thread ends a copy under way, as cancelled, and the copy leaves what
// was there and removes only what it wrote: over an old file the old file stays; and where a second run
// has completed the same file while the first wrote it new, the complete file stays. No temporary is left.
TEST_F(Install, AnInterruptedCopyLeavesWhatWasThereAndRemovesOnlyWhatItWrote)
{
    Source("big.dat");
    fs::resize_file(dir.Native("package\\data\\big.dat"), 256u << 20);
    Source("small.dat", "complete");
    dir.Write("Arena\\old.dat", "old bytes");
    // Copies the big file to name, does meanwhile once a new file in Arena holds part of it, then interrupts.
    auto interrupted = [&](const char* name, const std::function<void()>& meanwhile) {
        const Names before = dir.Tree("Arena");
        int error = 0;
        std::thread copy([&] {
            if (!Platform::CopyFileOverwrite("data\\big.dat", Target(std::string("Arena\\") + name).c_str()))
                error = Platform::LastError();
        });
        std::error_code ignored;
        for (bool writing = false; !writing;) {
            for (const auto& file : fs::directory_iterator(dir.Native("Arena"), ignored))
                writing |= !before.count(file.path().filename().string()) && file.file_size(ignored) + 1 > 1;
        }
        meanwhile();
        Platform::Interrupt();
        copy.join();
        Platform::ClearInterrupt();
        return error;
    };
    EXPECT_EQ(interrupted("old.dat", [] {}), kCancelled);
    EXPECT_NE(
        interrupted(
            "new.dat",
            [&] { EXPECT_TRUE(Platform::CopyFileOverwrite("data\\small.dat", Target("Arena\\new.dat").c_str())); }),
        0)
        << "the first copy ended before the second: nothing was tested";
    EXPECT_EQ(dir.Read("Arena\\old.dat") + "|" + dir.Read("Arena\\new.dat"), "old bytes|complete");
    EXPECT_EQ(dir.Tree("Arena"), (Names{"new.dat", "old.dat"}));
}

// A target at the path limit (248 characters with its backslash, the longest directory Windows makes):
// each temporary lies in the destination's own directory, in the short form where the usual name does
// not fit, and a copy whose name is shorter than even that goes straight to its place. Destinations of
// 258 and 259 characters are copied, new and replacing; one of 260 is skipped. Nothing is written
// beside the target, and no temporary is left.
TEST_F(Install, AtThePathLimitEveryCopyStaysInItsDirectoryAndTheLongestStillLand)
{
    const std::string target = dir.Path() + "\\" + LongTail(248 - dir.Path().size() - 1);
    ASSERT_EQ(target.size(), 248u);
    const std::string names[] = {"abc", "n123456789", "n1234567890", "n12345678901"};  // 251, 258, 259, 260
    for (const std::string& name : names)
        AddEntry(info, "data\\" + name, "$setupdir", "C");
    for (const char* version : {"new", "replacing"}) {
        for (const std::string& name : names)
            Source(name, name + " " + version);
        EXPECT_EQ(::Install(info, target.c_str()), 1) << version;
        for (const std::string& name : {names[0], names[1], names[2]})
            EXPECT_EQ(dir.Read(target.substr(dir.Path().size() + 1) + name), name + " " + version);
    }
    size_t files = 0;
    for (const auto& entry : fs::recursive_directory_iterator(dir.Native()))
        files += entry.is_regular_file() && entry.path().parent_path() != dir.Native("package\\data");
    EXPECT_EQ(files, 3u) << "a file beside the target, or a temporary left";
}

#ifdef _WIN32
// kivinstall.exe ended while it copies a big file leaves the old destination byte for byte; a copy that
// completes keeps the source's last-write time.
TEST_F(Install, OnWindowsACopyCutShortLeavesTheOldDestinationAndACompleteOneKeepsTheTime)
{
    const uintmax_t size = 400u << 20;
    dir.Write("package\\setup.inf", "[Setup]\r\nDEFAULTINSTALL=S\r\nS=Pack\r\n");
    dir.Write("package\\list.inf", "[Pack]\r\nCount=1\r\nFILE1=data\\big.dat;$setupdir;C;1\r\n");
    Source("big.dat");
    fs::resize_file(dir.Native("package\\data\\big.dat"), size);
    dir.Write("Arena\\big.dat", "old bytes");
    std::string command =
        "\"" + TestData(KIV_KIVINSTALL_EXE) + "\" --accept-license --target \"" + Target("Arena") + "\"";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    ASSERT_TRUE(
        CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process));
    // Ended as soon as a file in the target holds part of the copy.
    bool partial = false;
    std::error_code ignored;
    for (int i = 0; !partial && i < 20000 && WaitForSingleObject(process.hProcess, 1) == WAIT_TIMEOUT; ++i) {
        for (const auto& file : fs::directory_iterator(dir.Native("Arena"), ignored))
            partial |= file.file_size(ignored) > (16u << 20) && file.file_size(ignored) < size;
    }
    TerminateProcess(process.hProcess, 1);
    WaitForSingleObject(process.hProcess, INFINITE);
    CloseHandle(process.hThread), CloseHandle(process.hProcess);
    EXPECT_TRUE(partial) << "the copy was not seen under way";
    EXPECT_TRUE(dir.Read("Arena\\big.dat") == "old bytes") << fs::file_size(dir.Native("Arena\\big.dat")) << " bytes";
    EXPECT_EQ(dir.Tree("Arena").size(), 2u) << "the killed run's temporary";

    // The next copy into the directory removes the temporary the killed run left.
    Source("big.dat", "new bytes");
    const fs::path source = dir.Native("package\\data\\big.dat");
    fs::last_write_time(source, fs::last_write_time(source) - std::chrono::hours(24 * 400));
    EXPECT_TRUE(Platform::CopyFileOverwrite("data\\big.dat", Target("Arena\\big.dat").c_str()));
    EXPECT_EQ(fs::last_write_time(dir.Native("Arena\\big.dat")), fs::last_write_time(source));
    EXPECT_EQ(dir.Tree("Arena"), Names{"big.dat"});

    // A rename that fails (the destination held open) leaves no temporary, also of a read-only source,
    // whose copy is read-only.
    fs::permissions(source, fs::perms::owner_read);
    const HANDLE held =
        CreateFileA(Target("Arena\\big.dat").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_FALSE(Platform::CopyFileOverwrite("data\\big.dat", Target("Arena\\big.dat").c_str()));
    CloseHandle(held);
    EXPECT_EQ(dir.Tree("Arena"), Names{"big.dat"});
}
#endif

#ifdef _WIN32
// Runs kivinstall.exe in directory with arguments given in UTF-16, as a user's shell gives them; its status.
DWORD RunKivinstall(const std::wstring& arguments, const fs::path& directory)
{
    std::wstring command = L"\"" + fs::path(TestData(KIV_KIVINSTALL_EXE)).wstring() + L"\" " + arguments;
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, directory.wstring().c_str(),
                        &startup, &process))
        return 255;
    WaitForSingleObject(process.hProcess, 60000);
    DWORD status = 255;
    GetExitCodeProcess(process.hProcess, &status);
    CloseHandle(process.hThread), CloseHandle(process.hProcess);
    return status;
}

// A target given in characters the code page cannot write is refused as a usage error before anything is
// made, never taken for its lookalike (Łódź for Lodz, a full-width backslash or full stops for real ones,
// ¥ for \ in 932); and a package started from a folder whose name the code page cannot write installs
// whole. Run in 1252 and in 932.
TEST_F(Install, OnWindowsALookalikeTargetIsRefusedAndAPackageInstallsFromAnyFolder)
{
    dir.Write("package\\setup.inf", "[Setup]\r\nDEFAULTINSTALL=S\r\nS=Pack\r\n");
    dir.Write("package\\list.inf", "[Pack]\r\nCount=1\r\nFILE1=data\\a.dat;$setupdir\\maps\\;C;1\r\n");
    Source("a.dat");
    const bool japanese = GetACP() == 932;
    const struct {
        const wchar_t* name;
        bool writable;
    } targets[] = {{L"\u0141\u00f3d\u017a", false},
                   {L"\u03a9mega", japanese},
                   {L"A\uff3cB", japanese},
                   {L"sub\\\uff0e\uff0e\\\uff0e\uff0e\\up", japanese},
                   {L"A\u00a5B", !japanese}};
    const Names before = dir.Tree();
    for (const auto& target : targets) {
        if (!target.writable) {
            EXPECT_EQ(RunKivinstall(L"--target \"" + dir.Native("base").wstring() + L"\\" + target.name + L"\"",
                                    dir.Native("package")),
                      2u)
                << fs::path(target.name).u8string();
        }
    }
    EXPECT_EQ(dir.Tree(), before);
    const fs::path folder = dir.Native() / L"\u0141\u00f3d\u017a" / "pkg";
    fs::create_directories(folder / "data");
    for (const char* file : {"setup.inf", "list.inf", "data\\a.dat"})
        fs::copy_file(dir.Native("package\\" + std::string(file)), folder / file);
    EXPECT_EQ(RunKivinstall(L"--accept-license --target \"" + dir.Native("Arena").wstring() + L"\"", folder), 0u);
    EXPECT_EQ(dir.Read("Arena\\maps\\a.dat"), "a.dat v1");
}
#endif

#ifndef _WIN32
// A file-size limit (ulimit -f) fails the copy that passes it with its reason, as a full disk does: the
// process goes on, nothing is left of that copy, and the next entry is still copied.
TEST_F(Install, AFileSizeLimitFailsOneCopyAndTheRunGoesOn)
{
    Source("big.dat", std::string(3u << 20, 'b'));
    Source("small.dat");
    AddEntry(info, "data\\big.dat", "$setupdir", "C");
    AddEntry(info, "data\\small.dat", "$setupdir", "C");
    const pid_t child = fork();
    if (child == 0) {
        const rlimit limit = {1u << 20, 1u << 20};
        setrlimit(RLIMIT_FSIZE, &limit);
        Platform::StopCopiesOnInterrupt();
        struct : IInstallObserver {
            int error = 0;
            bool BeforeStep(const InstallStep&) override { return true; }
            void AfterStep(const InstallStep& step) override { error = step.systemError ? step.systemError : error; }
        } observer;
        _exit(RunInstall(info.m_files, Target("Arena").c_str(), &observer) == 1 && observer.error == EFBIG ? 0 : 1);
    }
    int status = -1;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status;
    EXPECT_EQ(dir.Tree("Arena"), Names{"small.dat"});
}
#endif

#ifndef _WIN32
// Only POSIX lets a process stand in a directory whose path exceeds 259 characters.
TEST_F(Install, ACurrentDirectoryTooLongToSaveIsNeverLeft)
{
    const std::string deep = "package\\" + LongTail(260);
    dir.Write(deep + "data\\a.dat", "deep");
    dir.MakeDir(deep + "Arena\\maps");  // could be entered, but must not be
    CCurrentDir inDeep(dir.Native(deep));
    const fs::path start = fs::current_path();
    AddEntry(info, "data\\a.dat", "$setupdir\\maps\\", "C");
    EXPECT_EQ(::Install(info, "Arena"), 0);
    EXPECT_EQ(dir.Read(deep + "Arena\\maps\\a.dat"), "deep");
    EXPECT_EQ(fs::current_path(), start);
}

// What a native run makes takes the user's umask, whatever it is, and leaves it as it was: a directory
// 0777 and a file its source's permissions, each less the umask (a process for each umask).
TEST_F(Install, OnLinuxWhatARunMakesTakesTheUmask)
{
    Source("tool.exe");
    chmod(dir.Native("package\\data\\tool.exe").c_str(), 0775);
    AddEntry(info, "data\\tool.exe", "$setupdir\\bin\\", "C");
    for (const mode_t mask : {mode_t{022}, mode_t{077}}) {
        const std::string name = "Arena" + std::to_string(mask);
        const pid_t child = fork();
        if (child == 0) {
            umask(mask);
            const bool installed = ::Install(info, Target(name).c_str()) == 0;
            _exit(installed && umask(0) == mask ? 0 : 1);
        }
        int status = -1;
        waitpid(child, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "umask " << mask << ": not installed, or changed";
        for (const auto& [path, mode] :
             {std::pair<std::string, unsigned>{name, 0777}, {name + "\\bin", 0777}, {name + "\\bin\\tool.exe", 0775}}) {
            struct stat made = {};
            stat(dir.Native(path).c_str(), &made);
            EXPECT_EQ(made.st_mode & 0777, mode & ~mask) << path;
        }
    }
}

// The copy replaces a link in its place instead of writing through it, takes the source's permissions
// less the special bits and the umask, does not wait for a pipe (an alarm ends a test that does), and
// when it fails midway (a read error) leaves nothing behind.
TEST_F(Install, OnLinuxACopyReplacesALinkInItsPlaceAndTakesTheSourcesPermissions)
{
    dir.Write("outside.txt", "outside the target");
    for (const char* name : {"a.dat", "b.dat", "tool.exe", "pipe.dat", "unreadable.dat"})
        AddEntry(info, std::string("data\\") + name, "$setupdir", "C");
    for (const char* name : {"a.dat", "b.dat", "tool.exe"})
        Source(name);
    chmod(dir.Native("package\\data\\tool.exe").c_str(), 06777);
    ASSERT_EQ(mkfifo(dir.Native("package\\data\\pipe.dat").c_str(), 0666), 0);
    fs::create_symlink("/proc/self/mem", dir.Native("package\\data\\unreadable.dat"));  // EIO at its start
    fs::create_symlink(dir.Native("outside.txt"), dir.MakeDir("Arena") / "a.dat");
    fs::create_hard_link(dir.Native("outside.txt"), dir.Native("Arena\\b.dat"));
    const mode_t umaskBefore = umask(022);
    alarm(30);
    EXPECT_EQ(::Install(info, Target("Arena").c_str()), 2);
    alarm(0);
    umask(umaskBefore);
    EXPECT_EQ(dir.Tree("Arena"), (Names{"a.dat", "b.dat", "tool.exe"}));
    EXPECT_EQ(dir.Read("outside.txt") + "|" + dir.Read("Arena\\a.dat") + dir.Read("Arena\\b.dat"),
              "outside the target|a.dat v1b.dat v1");
    EXPECT_FALSE(fs::is_symlink(dir.Native("Arena\\a.dat")));
    EXPECT_EQ(static_cast<unsigned>(fs::status(dir.Native("Arena\\tool.exe")).permissions()), 0755u);
}
#endif

#ifndef _WIN32
// The one copy of a file's bytes, by copy_file_range and by read and write where that is refused: every
// byte of a file of three pieces and one byte more, and an interrupt ends it.
TEST(FileCopy, EitherWayCopiesEveryByteAndAnInterruptEndsIt)
{
    CTempDir dir;
    std::string bytes((3u << 20) + 1, '\0');
    for (size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<char>(i * 7 + i / 4096);
    dir.Write("source", bytes);
    // Told the size, or told nothing (0), as a file of /proc tells.
    for (const off_t size : {static_cast<off_t>(bytes.size()), off_t{0}}) {
        for (const bool rangeCopy : {true, false}) {
            const int in = open(dir.Native("source").c_str(), O_RDONLY);
            const int out = open(dir.Native("copy").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
            EXPECT_TRUE(CopyFileData(in, out, size, rangeCopy));
            close(in), close(out);
            EXPECT_EQ(dir.Read("copy"), bytes) << rangeCopy << " " << size;
        }
    }
    Platform::Interrupt();
    EXPECT_FALSE(Platform::CopyNewSystemFile(dir.Native("source").c_str(), dir.Native("again").c_str()) ||
                 errno != EINTR);
    Platform::ClearInterrupt();
    EXPECT_FALSE(dir.Exists("again"));
}
#endif
