#include <string>

#include <gtest/gtest.h>

#include "GetPrefix.h"
#include "SetupInfo.h"
#include "TempDir.h"

namespace fs = std::filesystem;

TEST(MakePath, RefusesBadTextsAndMakesNothingWithoutABackslash)
{
    char prefix[32] = "junk";
    EXPECT_EQ(GetPrefix("C:\\Games\\Arena\\", "\\", prefix), prefix);
    EXPECT_STREQ(prefix, "C:");
    EXPECT_EQ(GetPrefix("\\Games\\", "\\", prefix), prefix);
    EXPECT_STREQ(prefix, "");
    EXPECT_EQ(GetPrefix("maps", "\\", prefix), nullptr);
    EXPECT_EQ(GetPrefix("a::b", "::", prefix), prefix);
    EXPECT_STREQ(prefix, "a");

    CTempDir dir;
    CCurrentDir here(dir.Native());
    for (const char* bad : {static_cast<const char*>(nullptr), ""})
        EXPECT_EQ(CSetupInfo::MakePath(bad), -1);
    EXPECT_EQ(CSetupInfo::MakePath("maps"), 0);
    EXPECT_EQ(CSetupInfo::MakePath("sub/inner/"), 0);
    EXPECT_TRUE(fs::is_empty(dir.Native()));
    // The text after the last backslash is a file name, so only "a" is made.
    std::string base = dir.Path() + "\\a\\";
    ASSERT_LT(base.size(), 200u);
    std::string longest = base + std::string(259 - base.size(), 'f');
    EXPECT_EQ(CSetupInfo::MakePath((longest + "g").c_str()), -2);
    EXPECT_FALSE(dir.Exists("a"));
    EXPECT_EQ(CSetupInfo::MakePath(longest.c_str()), 0);
    EXPECT_TRUE(fs::is_directory(dir.Native("a")));
}

TEST(MakePath, MakesTheMissingLevelsButNeverTheLastComponent)
{
    CTempDir dir;
    dir.Write("Games\\keep.txt", "kept");
    dir.Write("block", "a file");
    const std::string games = dir.Path() + "\\Games\\";
    EXPECT_EQ(CSetupInfo::MakePath((games + "Arena\\maps\\").c_str()), 0);
    EXPECT_TRUE(fs::is_directory(dir.Native("Games\\Arena\\maps")));
    EXPECT_EQ(CSetupInfo::MakePath((games + "Other\\maps").c_str()), 0);
    EXPECT_TRUE(fs::is_directory(dir.Native("Games\\Other")));
    EXPECT_FALSE(dir.Exists("Games\\Other\\maps"));
    EXPECT_EQ(CSetupInfo::MakePath((games + "Twin\\\\inner\\").c_str()), 0);
    EXPECT_TRUE(fs::is_directory(dir.Native("Games\\Twin\\inner")));
    EXPECT_EQ(CSetupInfo::MakePath(games.c_str()), 0);
    EXPECT_EQ(dir.Read("Games\\keep.txt"), "kept");
    // A file in the way: the walk goes on past it and still yields 0.
    EXPECT_EQ(CSetupInfo::MakePath((dir.Path() + "\\block\\inner\\deep\\").c_str()), 0);
    EXPECT_EQ(dir.Read("block"), "a file");

    // Relative, and rooted: from the root of the current drive (on Windows, the drive letter cut off).
    CCurrentDir here(dir.Native());
    EXPECT_EQ(CSetupInfo::MakePath("maps\\sub\\"), 0);
    EXPECT_TRUE(fs::is_directory(dir.Native("maps\\sub")));
    std::string rooted = dir.Path() + "\\rooted\\";
    if (rooted.size() > 2 && rooted[1] == ':')
        rooted.erase(0, 2);
    ASSERT_EQ(rooted[0], '\\');
    EXPECT_EQ(CSetupInfo::MakePath(rooted.c_str()), 0);
    EXPECT_TRUE(fs::is_directory(dir.Native("rooted")));
}
