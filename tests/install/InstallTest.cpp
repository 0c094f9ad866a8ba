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
        tail += std::string(std::min<size_t>(100, length - tail.size() - 1), 'x');
        tail += '\\';
    }
    return tail.size() < length ? tail + "\\" : tail;
}

}  // namespace

TEST_F(Install, TargetWithOrWithoutBackslashOrRelativeGivesTheSamePlaces)
{
    const fs::path start = fs::current_path();
    {
        COpenRecorder recorder;
        EXPECT_EQ(info.Install(Target("Empty").c_str()), 0);
        EXPECT_FALSE(dir.Exists("Empty"));
        EXPECT_TRUE(recorder.opens.empty());
    }
    Source("a.dat");
    AddEntry(info, "data\\a.dat", "$setupdir\\maps\\", "C");
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

TEST_F(Install, DestinationAndActionDecideWhereAFileLandsAndAnExistingOneIsReplaced)
{
    struct Case {
        const char *name, *dest, *action, *landsAt;  // landsAt null: not copied
    };
    const Case cases[] = {
        {"e.txt", "$setupdir", "e", nullptr},  // opened where it is, after the last copy
        {"b.dat", "$setupdir\\maps\\", "C", "maps\\b.dat"},
        // "ghost\.." is resolved in the text, as Windows does: ghost is never made.
        {"m.dat", "$setupdir\\ghost\\..\\maps\\", "C", "maps\\m.dat"},
        {"a.dat", "$setupdir", "C", "a.dat"},
        {"c.dat", "$setupdirmaps\\", "C", "maps\\c.dat"},
        {"Mixed.DAT", "$SETUPDIR\\Extra\\", "C", "extra\\Mixed.DAT"},
        {"d.dat", "$SetupDir\\maps", "C", "mapsd.dat"},  // the name joined straight on
        {"e.dat", "D:\\Other\\", "C", "e.dat"},           // no marker: the target itself
        {"f.dat", "maps\\", "C", "f.dat"},
        {"g.dat", "x\\$setupdir\\maps\\", "C", "g.dat"},  // the marker only at the start
        {"h.dat", "", "C", "h.dat"},
        {"j.dat", "$setupdir", "X", nullptr},
        {"k.dat", "$setupdir", "Copy", nullptr},
        {"l.dat", "$setupdir", " C", nullptr},
        {"f.txt", "$setupdir", "Exec", nullptr},
        {"g.txt", "$setupdir", "E", nullptr},
        {"i.dat", "$setupdir", "c", "i.dat"},
    };
    for (const Case& c : cases) {
        Source(c.name);
        AddEntry(info, std::string("data\\") + c.name, c.dest, c.action);
    }
    dir.Write("Arena\\maps\\b.dat", "old and longer than the new content");

    for (const std::string version : {"v1", "v2"}) {
        Source("b.dat", "b.dat " + version);
        COpenRecorder recorder([this] { return dir.Exists("Arena\\i.dat"); });
        const fs::path start = fs::current_path();
        EXPECT_EQ(info.Install(Target("Arena").c_str()), 0);
        EXPECT_EQ(fs::current_path(), start);
        EXPECT_EQ(dir.Read("Arena\\maps\\b.dat"), "b.dat " + version);
        EXPECT_EQ(recorder.opens, (std::vector<std::pair<std::string, bool>>{{"data\\e.txt", true},
                                                                             {"data\\g.txt", true}}));
    }
    for (const Case& c : cases) {
        if (c.landsAt && std::string(c.name) != "b.dat") {
            EXPECT_EQ(dir.Read(std::string("Arena\\") + c.landsAt), std::string(c.name) + " v1") << c.dest;
        }
    }
    EXPECT_EQ(Listing(""), (Names{"Arena", "package"}));
    EXPECT_EQ(Listing("Arena"), (Names{"a.dat", "e.dat", "extra", "f.dat", "g.dat", "h.dat", "i.dat", "maps", "mapsd.dat"}));
    EXPECT_EQ(Listing("Arena\\maps"), (Names{"b.dat", "c.dat", "m.dat"}));
    EXPECT_EQ(Listing("Arena\\extra"), (Names{"Mixed.DAT"}));
    EXPECT_EQ(Listing("package"), (Names{"data"}));
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
    const size_t targetLength = Target("Arena").size() + 1;  // with its backslash
    ASSERT_LT(targetLength, 100u);
    AddEntry(info, "data\\missing.dat", "$setupdir", "C");
    AddEntry(info, "data\\a.dat", "$setupdir", "C");
    AddEntry(info, "data\\b.dat", "$setupdir", "C");
    AddEntry(info, "data\\c.dat", "$setupdir\\wall\\", "C");
    // Entry directory of 260 characters; then one of 259 whose destination path is longer.
    AddEntry(info, "data\\c.dat", "$setupdir\\" + LongTail(260 - targetLength), "C");
    AddEntry(info, "data\\c.dat", "$setupdir\\" + LongTail(259 - targetLength), "C");
    AddEntry(info, "data\\d.dat", "$setupdir", "C");
    AddEntry(info, "data\\e.txt", "$setupdir", "E");

    // A failed open passes silently and does not change the result.
    COpenRecorder recorder([] { return true; }, false);
    const fs::path start = fs::current_path();
    EXPECT_EQ(info.Install(Target("Arena").c_str()), 6);
    EXPECT_EQ(Listing("Arena"), (Names{"a.dat", "b.dat", "d.dat", "wall"}));
    EXPECT_EQ(dir.Read("Arena\\a.dat"), "read-only");
    EXPECT_TRUE(fs::is_directory(dir.Native("Arena\\b.dat")));
    EXPECT_EQ(dir.Read("Arena\\d.dat"), "d.dat v1");
    EXPECT_EQ(fs::current_path(), start);

    // A target of 259 characters without its backslash: no C entry is
    // copied, nothing is made, and the open pass still runs.
    std::string longTarget = dir.Path() + "\\" + LongTail(259 - dir.Path().size() - 1);
    longTarget.back() = 'y';
    ASSERT_EQ(longTarget.size(), 259u);
    EXPECT_EQ(info.Install(longTarget.c_str()), 7);
    EXPECT_EQ(Listing(""), (Names{"Arena", "package"}));
    EXPECT_EQ(recorder.opens.size(), 2u);
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
