#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "InstallSupport.h"

namespace fs = std::filesystem;


namespace {

class Install : public CPackageTest {
};

// A relative directory text of exactly length characters ending with a
// backslash, in components short enough for any file system.
std::string LongTail(size_t length)
{
    std::string tail;
    while (tail.size() + 1 < length) {
        size_t part = std::min<size_t>(100, length - tail.size() - 1);
        tail += std::string(part, 'x');
        tail += '\\';
    }
    return tail.size() < length ? tail + "\\" : tail;
}

}  // namespace

TEST_F(Install, AnEmptyListCopiesAndOpensNothing)
{
    COpenRecorder recorder;
    EXPECT_EQ(info.Install(Target("Arena").c_str()), 0);
    EXPECT_FALSE(dir.Exists("Arena"));
    EXPECT_TRUE(recorder.opens.empty());
}

TEST_F(Install, TargetWithOrWithoutBackslashOrRelativeGivesTheSamePlaces)
{
    Source("a.dat");
    AddEntry(info, "data\\a.dat", "$setupdir\\maps\\", "C");
    const fs::path start = fs::current_path();

    EXPECT_EQ(info.Install(Target("One").c_str()), 0);
    EXPECT_EQ(dir.Read("One\\maps\\a.dat"), "a.dat v1");
    EXPECT_EQ(info.Install((Target("Two") + "\\").c_str()), 0);
    EXPECT_EQ(dir.Read("Two\\maps\\a.dat"), "a.dat v1");
    // Relative to the current directory, for the test, MakePath and the copy alike.
    EXPECT_EQ(info.Install("Three"), 0);
    EXPECT_EQ(dir.Read("package\\Three\\maps\\a.dat"), "a.dat v1");

    // MakePath ran for every call; the current directory is still the same.
    EXPECT_EQ(fs::current_path(), start);
    EXPECT_STREQ(info.m_files[0].szDest, "$setupdir\\maps\\");
}

TEST_F(Install, TheMarkerAtTheStartNamesALowerCaseSubDirectory)
{
    for (const char* name : {"a.dat", "b.dat", "c.dat", "Mixed.DAT", "d.dat", "e.dat", "f.dat", "g.dat", "h.dat"})
        Source(name);
    AddEntry(info, "data\\b.dat", "$setupdir\\maps\\", "C");
    AddEntry(info, "data\\a.dat", "$setupdir", "C");
    AddEntry(info, "data\\c.dat", "$setupdirmaps\\", "C");
    AddEntry(info, "data\\Mixed.DAT", "$SETUPDIR\\Extra\\", "C");
    AddEntry(info, "data\\d.dat", "$SetupDir\\maps", "C");
    AddEntry(info, "data\\e.dat", "D:\\Other\\", "C");
    AddEntry(info, "data\\f.dat", "maps\\", "C");
    AddEntry(info, "data\\g.dat", "x\\$setupdir\\maps\\", "C");
    AddEntry(info, "data\\h.dat", "", "C");

    EXPECT_EQ(info.Install(Target("Arena").c_str()), 0);
    EXPECT_EQ(Listing(""), (Names{"Arena", "package"}));
    EXPECT_EQ(Listing("Arena"), (Names{"a.dat", "e.dat", "extra", "f.dat", "g.dat", "h.dat", "maps", "mapsd.dat"}));
    EXPECT_EQ(Listing("Arena\\maps"), (Names{"b.dat", "c.dat"}));
    EXPECT_EQ(Listing("Arena\\extra"), (Names{"Mixed.DAT"}));
    EXPECT_EQ(dir.Read("Arena\\maps\\b.dat"), "b.dat v1");
    EXPECT_EQ(dir.Read("Arena\\mapsd.dat"), "d.dat v1");
    EXPECT_EQ(Listing("package"), (Names{"data"}));
}

TEST_F(Install, OnlyTheWholeActionCOrEInAnyCaseCounts)
{
    for (const char* name : {"a.dat", "b.dat", "c.dat", "d.dat"})
        Source(name);
    AddEntry(info, "data\\a.dat", "$setupdir", "c");
    AddEntry(info, "data\\b.dat", "$setupdir", "X");
    AddEntry(info, "data\\c.dat", "$setupdir", "Copy");
    AddEntry(info, "data\\d.dat", "$setupdir", " C");
    AddEntry(info, "data\\e.txt", "$setupdir", "e");
    AddEntry(info, "data\\f.txt", "$setupdir", "Exec");
    AddEntry(info, "data\\g.txt", "$setupdir", "E");

    COpenRecorder recorder;
    EXPECT_EQ(info.Install(Target("Arena").c_str()), 0);
    EXPECT_EQ(Listing("Arena"), (Names{"a.dat"}));
    ASSERT_EQ(recorder.opens.size(), 2u);
    EXPECT_EQ(recorder.opens[0].file, "data\\e.txt");
    EXPECT_EQ(recorder.opens[1].file, "data\\g.txt");
}

TEST_F(Install, AnExistingFileIsReplacedOnEveryRun)
{
    dir.Write("Arena\\maps\\a.dat", "old and longer than the new content");
    Source("a.dat");
    AddEntry(info, "data\\a.dat", "$setupdir\\maps\\", "C");
    EXPECT_EQ(info.Install(Target("Arena").c_str()), 0);
    EXPECT_EQ(dir.Read("Arena\\maps\\a.dat"), "a.dat v1");
    Source("a.dat", "a.dat v2");
    EXPECT_EQ(info.Install(Target("Arena").c_str()), 0);
    EXPECT_EQ(dir.Read("Arena\\maps\\a.dat"), "a.dat v2");
}

TEST_F(Install, MakePathRunsOnlyForADirectoryThatCannotBeEntered)
{
    // Windows resolves "ghost\.." in the text, so the directory can be
    // entered and nothing is made; POSIX needs ghost to exist to enter it,
    // so the walk makes it. Either way the file lands in maps.
    dir.MakeDir("Arena\\maps");
    Source("a.dat");
    AddEntry(info, "data\\a.dat", "$setupdir\\ghost\\..\\maps\\", "C");
    const fs::path start = fs::current_path();
    EXPECT_EQ(info.Install(Target("Arena").c_str()), 0);
    EXPECT_EQ(dir.Read("Arena\\maps\\a.dat"), "a.dat v1");
#ifdef _WIN32
    EXPECT_FALSE(dir.Exists("Arena\\ghost"));
#else
    EXPECT_TRUE(dir.Exists("Arena\\ghost"));
#endif
    EXPECT_EQ(fs::current_path(), start);
}

TEST_F(Install, EveryCEntryNotCopiedIsCountedAndTheRestStillRuns)
{
    for (const char* name : {"a.dat", "b.dat", "c.dat", "d.dat"})
        Source(name);
    dir.Write("Arena\\a.dat", "read-only");
    fs::permissions(dir.Native("Arena\\a.dat"), fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    dir.MakeDir("Arena\\b.dat");
    dir.Write("Arena\\wall", "a file where a directory should be");

    AddEntry(info, "data\\missing.dat", "$setupdir", "C");
    AddEntry(info, "data\\a.dat", "$setupdir", "C");
    AddEntry(info, "data\\b.dat", "$setupdir", "C");
    AddEntry(info, "data\\c.dat", "$setupdir\\wall\\", "C");
    AddEntry(info, "data\\d.dat", "$setupdir", "C");
    AddEntry(info, "data\\e.txt", "$setupdir", "E");

    // A failed open passes silently and does not change the result.
    COpenRecorder recorder([] { return true; }, false);
    const fs::path start = fs::current_path();
    EXPECT_EQ(info.Install(Target("Arena").c_str()), 4);
    EXPECT_EQ(Listing("Arena"), (Names{"a.dat", "b.dat", "d.dat", "wall"}));
    EXPECT_EQ(dir.Read("Arena\\a.dat"), "read-only");
    EXPECT_TRUE(fs::is_directory(dir.Native("Arena\\b.dat")));
    EXPECT_EQ(dir.Read("Arena\\d.dat"), "d.dat v1");
    EXPECT_EQ(recorder.opens.size(), 1u);
    EXPECT_EQ(fs::current_path(), start);
}

TEST_F(Install, PathsOverTheLimitAreSkippedAndCounted)
{
    Source("a.dat");
    Source("b.dat");
    const std::string target = Target("Arena");
    const size_t targetLength = target.size() + 1;  // with its backslash
    ASSERT_LT(targetLength, 100u);

    // Entry directory of 260 characters; then one of 259 whose destination
    // path is longer; then an entry that fits.
    AddEntry(info, "data\\a.dat", "$setupdir\\" + LongTail(260 - targetLength), "C");
    AddEntry(info, "data\\a.dat", "$setupdir\\" + LongTail(259 - targetLength), "C");
    AddEntry(info, "data\\b.dat", "$setupdir", "C");
    AddEntry(info, "data\\e.txt", "$setupdir", "E");
    {
        COpenRecorder recorder;
        EXPECT_EQ(info.Install(target.c_str()), 2);
        EXPECT_EQ(Listing("Arena"), (Names{"b.dat"}));
        EXPECT_EQ(recorder.opens.size(), 1u);
    }

    // A target of 259 characters without its backslash: no C entry is
    // copied, nothing is made, and the open pass still runs.
    std::string longTarget = dir.Path() + "\\" + LongTail(259 - dir.Path().size() - 1);
    longTarget.pop_back();
    longTarget += "y";
    ASSERT_EQ(longTarget.size(), 259u);
    COpenRecorder recorder;
    EXPECT_EQ(info.Install(longTarget.c_str()), 3);
    EXPECT_EQ(Listing(""), (Names{"Arena", "package"}));
    EXPECT_EQ(recorder.opens.size(), 1u);
}

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
    EXPECT_EQ(info.Install("Arena"), 0);
    EXPECT_EQ(dir.Read(deep + "Arena\\maps\\a.dat"), "deep");
    EXPECT_EQ(fs::current_path(), start);
}
#endif
