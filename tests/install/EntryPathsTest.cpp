#include <string>

#include <gtest/gtest.h>

#include "EntryPaths.h"
#include "InstallSupport.h"

namespace {

std::string Normalised(const std::string& targetDir, bool expectFits = true)
{
    char target[kPathSize] = "junk";
    EXPECT_EQ(NormaliseTarget(targetDir.c_str(), target), expectFits) << targetDir.size();
    return target;
}

}  // namespace

TEST(EntryPaths, TheTargetGetsOneBackslashAndEitherPathOverTheLimitEmptiesBoth)
{
    EXPECT_EQ(Normalised("C:\\Games\\Arena"), "C:\\Games\\Arena\\");
    EXPECT_EQ(Normalised("C:\\Games\\Arena\\"), "C:\\Games\\Arena\\");
    EXPECT_EQ(Normalised(""), "\\");
    EXPECT_EQ(Normalised(std::string(258, 'a')).size(), 259u);
    EXPECT_EQ(Normalised(std::string(258, 'a') + "\\").size(), 259u);
    EXPECT_EQ(Normalised(std::string(259, 'a'), false), "");

    // Entry directories of 258, 259 and 260 characters; the file name "a" adds one.
    const std::string target = "C:\\" + std::string(96, 'T') + "\\";
    for (size_t length : {258u, 259u, 260u}) {
        CSetupInfo info;
        AddEntry(info, "a", "$setupdir" + std::string(length - target.size() - 1, 'd') + "\\", "C");
        char entryDir[kPathSize] = "junk";
        char destPath[kPathSize] = "junk";
        const bool fits = ComputeEntryPaths(target.c_str(), info.m_files[0], entryDir, destPath);
        EXPECT_EQ(fits, length == 258u) << length;
        EXPECT_EQ(std::string(entryDir).size(), fits ? 258u : 0u) << length;
        EXPECT_EQ(std::string(destPath).size(), fits ? 259u : 0u) << length;
    }
}
