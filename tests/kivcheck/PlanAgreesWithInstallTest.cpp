#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "CheckPackages.h"
#include "CheckRun.h"
#include "FileSystem.h"
#include "SetupInfo.h"

namespace fs = std::filesystem;

namespace {

using Files = std::map<std::string, std::string>;  // relative path -> content

std::vector<std::string> g_opened;

bool RecordOpen(const char* file)
{
    g_opened.push_back(file);
    return true;
}

// A list with every kind of destination the run distinguishes, an entry it
// skips for its length, one whose source is missing, and opens between copies.
void WriteMixedPackage(const CTempDir& package)
{
    WriteSetup(package, "Pack", "Title=Mixed\n");
    package.Write("list.inf", "[Pack]\n"
                              "Count=11\n"
                              "FILE1=data\\one.txt;$setupdir\\maps\\;C;1\n"
                              "FILE2=run.txt;$setupdir;E;2\n"
                              "FILE3=data\\two.txt;$SetupDir\\Sub\\Deep\\;c;3\n"
                              "FILE4=three.txt;$setupdir\\docs;C;4\n"
                              "FILE5=three.txt;D:\\Other\\;C;5\n"
                              "FILE6=missing.txt;$setupdir;C;6\n"
                              "FILE7=long.txt;$setupdir\\" + std::string(230, 'l') + "\\;C;7\n"
                              "FILE8=data\\one.txt;$setupdir;X;8\n"
                              "FILE9=run.txt;$setupdir;e;9\n"
                              "FILE10=data\\two.txt;$setupdirmaps\\;C;10\n"
                              "FILE11=three.txt;$setupdir\\..\\outside\\;C;11\n");
    package.Write("data\\one.txt", "one");
    package.Write("data\\two.txt", "two");
    package.Write("three.txt", "three");
    package.Write("long.txt", "long");
    package.Write("run.txt", "run");
}

// The regular files below root, with their contents.
Files LandedFiles(const CTempDir& dir, const fs::path& root)
{
    Files files;
    std::error_code error;
    for (auto it = fs::recursive_directory_iterator(root, error); !error && it != fs::recursive_directory_iterator();
         it.increment(error)) {
        if (it->is_regular_file())
            files[it->path().lexically_relative(root).generic_string()] =
                dir.Read(ToInstallerPath(it->path().lexically_relative(dir.Native())));
    }
    EXPECT_FALSE(error) << "listing " << root.string() << ": " << error.message();
    return files;
}

// What the plan says: the files that land below root (copy steps not skipped
// whose source is in the package; paths are absolute below the temp dir
// under, or relative to it), the files opened, and the copies that fail.
struct Planned {
    Files files;
    std::vector<std::string> opens;
    int failures = 0;
};

Planned ReadPlan(const CheckReport& report, const CTempDir& package, const CTempDir& under, const fs::path& root)
{
    Planned planned;
    for (const PlanStep& step : report.plan) {
        if (step.op == PlanStep::Op::Open) {
            planned.opens.push_back(step.source);
        } else if (step.skipped || !package.Exists(step.source)) {
            ++planned.failures;
        } else {
            std::string relative = step.destPath;
            if (relative.rfind(under.Path() + "\\", 0) == 0)
                relative.erase(0, under.Path().size() + 1);
            planned.files[under.Native(relative).lexically_normal().lexically_relative(root).generic_string()] =
                package.Read(step.source);
        }
    }
    return planned;
}

// Plans and then installs for targetText from within the package directory.
void PlanAndInstall(const CTempDir& package, const std::string& targetText, CheckReport& report, int& result)
{
    CCurrentDir inPackage(package.Native());
    CheckOptions options;
    options.hasTarget = true;
    options.target = targetText;
    report = CheckPackage(options);
    ASSERT_TRUE(report.loaded);

    CSetupInfo info;
    ASSERT_TRUE(info.Load("setup.inf", "list.inf"));
    g_opened.clear();
    Platform::SetShellOpener(RecordOpen);
    result = info.Install(targetText.c_str());
    Platform::SetShellOpener(nullptr);
}

}  // namespace

TEST(KivcheckPlan, AgreesWithWhatInstallDoes)
{
    CTempDir package;
    WriteMixedPackage(package);

    // An absolute target, one level down so that ".." stays inside the temp dir.
    CTempDir targets;
    CheckReport report;
    int result = -1;
    PlanAndInstall(package, targets.Path() + "\\game", report, result);
    Planned planned = ReadPlan(report, package, targets, targets.Native());
    const Files landed = LandedFiles(targets, targets.Native());
    EXPECT_EQ(landed, planned.files);
    EXPECT_EQ(landed, (Files{{"game/maps/one.txt", "one"},
                             {"game/sub/deep/two.txt", "two"},
                             {"game/docsthree.txt", "three"},
                             {"game/three.txt", "three"},
                             {"game/maps/two.txt", "two"},
                             {"outside/three.txt", "three"}}));
    EXPECT_EQ(g_opened, planned.opens);
    EXPECT_EQ(g_opened, (std::vector<std::string>{"run.txt", "run.txt"}));
    EXPECT_EQ(result, planned.failures);
    EXPECT_EQ(result, 2);

    // A relative target, resolved against the package directory by both. It
    // is long enough that the long entry is skipped here too: the limit is on
    // the text the installer composes, and the system has its own on the
    // resolved path, which the plan cannot know. ".." leads to game\outside.
    const fs::path game = package.Native("game");
    PlanAndInstall(package, "game\\baseq3-" + std::string(20, 'q'), report, result);
    planned = ReadPlan(report, package, package, game);
    EXPECT_EQ(LandedFiles(package, game), planned.files);
    EXPECT_EQ(planned.files.size(), 6u);
    EXPECT_EQ(g_opened, planned.opens);
    EXPECT_EQ(result, planned.failures);

    // A target too long for any entry: nothing is copied, the opens still run.
    CTempDir untouched;
    PlanAndInstall(package, untouched.Path() + "\\" + std::string(260, 'x'), report, result);
    planned = ReadPlan(report, package, untouched, untouched.Native());
    EXPECT_TRUE(LandedFiles(untouched, untouched.Native()).empty());
    EXPECT_TRUE(planned.files.empty());
    EXPECT_EQ(g_opened, planned.opens);
    EXPECT_EQ(result, planned.failures);
}
