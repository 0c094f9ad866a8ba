#include <string>

#include <gtest/gtest.h>

#include "EntryPaths.h"
#include "InstallSupport.h"

namespace {

struct Paths {
    bool fits;
    std::string entryDir, destPath;
};

Paths Compute(const std::string& target, const std::string& source, const std::string& dest)
{
    CSetupInfo info;
    AddEntry(info, source, dest, "C");
    char entryDir[kPathSize] = "junk";
    char destPath[kPathSize] = "junk";
    bool fits = ComputeEntryPaths(target.c_str(), info.m_files[0], entryDir, destPath);
    return {fits, entryDir, destPath};
}

std::string Normalised(const std::string& targetDir, bool expectFits = true)
{
    char target[kPathSize] = "junk";
    EXPECT_EQ(NormaliseTarget(targetDir.c_str(), target), expectFits) << targetDir.size();
    return target;
}

}  // namespace

TEST(EntryPaths, TheTargetGetsOneBackslashWithinTheLimit)
{
    EXPECT_EQ(Normalised("C:\\Games\\Arena"), "C:\\Games\\Arena\\");
    EXPECT_EQ(Normalised("C:\\Games\\Arena\\"), "C:\\Games\\Arena\\");
    EXPECT_EQ(Normalised(""), "\\");
    EXPECT_EQ(Normalised(std::string(258, 'a')).size(), 259u);
    EXPECT_EQ(Normalised(std::string(258, 'a') + "\\").size(), 259u);
    EXPECT_EQ(Normalised(std::string(259, 'a'), false), "");
}

TEST(EntryPaths, EitherPathOverTheLimitEmptiesBoth)
{
    // Long enough that every destination below fits its 259-character field.
    const std::string target = "C:\\" + std::string(96, 'T') + "\\";
    const std::string dirOf259 = "$setupdir" + std::string(259 - target.size() - 1, 'd') + "\\";
    const Paths fitting = Compute(target, "a", dirOf259);
    EXPECT_FALSE(fitting.fits);  // 259 + the name "a"
    EXPECT_EQ(fitting.entryDir, "");
    EXPECT_EQ(fitting.destPath, "");

    const std::string dirOf258 = "$setupdir" + std::string(258 - target.size() - 1, 'd') + "\\";
    const Paths exact = Compute(target, "a", dirOf258);
    EXPECT_TRUE(exact.fits);
    EXPECT_EQ(exact.entryDir.size(), 258u);
    EXPECT_EQ(exact.destPath.size(), 259u);

    const std::string dirOf260 = "$setupdir" + std::string(260 - target.size() - 1, 'd') + "\\";
    EXPECT_FALSE(Compute(target, "a", dirOf260).fits);
}
