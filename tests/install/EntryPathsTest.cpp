#include <string>

#include <gtest/gtest.h>

#include "EntryPaths.h"
#include "InstallSteps.h"
#include "InstallSupport.h"

namespace {

std::string Normalised(const std::string& targetDir)
{
    char target[260] = "junk";
    const size_t length = NormaliseTarget(targetDir.c_str(), target, sizeof target);
    EXPECT_EQ(length, targetDir.size() + (targetDir.empty() || targetDir.back() != '\\'));
    return target;
}

}  // namespace

TEST(EntryPaths, TheTargetGetsOneBackslashAndAStepWithAPathOverTheLimitIsSkipped)
{
    EXPECT_EQ(Normalised("C:\\Games\\Arena"), "C:\\Games\\Arena\\");
    EXPECT_EQ(Normalised("C:\\Games\\Arena\\"), "C:\\Games\\Arena\\");
    EXPECT_EQ(Normalised(""), "\\");
    EXPECT_EQ(Normalised(std::string(258, 'a')).size(), 259u);
    EXPECT_EQ(Normalised(std::string(259, 'a')).size(), 259u);  // cut to the buffer

    // Entry directories of 258, 259 and 260 characters; the file name "a" adds one.
    const std::string target = "C:\\" + std::string(96, 'T') + "\\";
    for (size_t length : {258u, 259u, 260u}) {
        CSetupInfo info;
        AddEntry(info, "a", "$setupdir" + std::string(length - target.size() - 1, 'd') + "\\", "C");
        bool fits = true;
        WalkInstallSteps(info.m_files, target.c_str(), [](const InstallStep& step, void* context) {
            *static_cast<bool*>(context) = step.pathsFit;
        }, &fits);
        EXPECT_EQ(fits, length == 258u) << length;
    }
}
