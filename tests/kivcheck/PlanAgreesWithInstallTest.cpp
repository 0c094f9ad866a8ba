#include <filesystem>
#include <fstream>
#include <iterator>
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

using Files = std::map<std::string, std::string>;  // path below the root -> content

std::vector<std::string> g_opened;

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
    for (auto [name, content] : {std::pair{"data\\one.txt", "one"}, {"data\\two.txt", "two"}, {"three.txt", "three"},
                                 {"long.txt", "long"}, {"run.txt", "run"}})
        package.Write(name, content);
}

// Plans and installs for targetText from within the package directory, and
// expects the files landed below root (paths in the plan are absolute below
// the temp dir under, or relative to it), the opens and the result all as
// planned. The files that landed.
Files ExpectInstallAsPlanned(const CTempDir& package, const std::string& targetText, const CTempDir& under,
                             const fs::path& root)
{
    CCurrentDir inPackage(package.Native());
    CheckOptions options;
    options.hasTarget = true;
    options.target = targetText;
    const CheckReport report = CheckPackage(options);
    EXPECT_TRUE(report.loaded);
    CSetupInfo info;
    EXPECT_TRUE(info.Load("setup.inf", "list.inf"));
    g_opened.clear();
    Platform::SetShellOpener([](const char* file) {
        g_opened.push_back(file);
        return true;
    });
    const int result = info.Install(targetText.c_str());
    Platform::SetShellOpener(nullptr);

    Files planned, landed;
    std::vector<std::string> opens;
    int failures = 0;
    for (const PlanStep& step : report.plan) {
        if (step.op == PlanStep::Op::Open) {
            opens.push_back(step.source);
        } else if (step.skipped || !package.Exists(step.source)) {
            ++failures;
        } else {
            std::string relative = step.destPath;
            if (relative.rfind(under.Path() + "\\", 0) == 0)
                relative.erase(0, under.Path().size() + 1);
            planned[under.Native(relative).lexically_normal().lexically_relative(root).generic_string()] =
                package.Read(step.source);
        }
    }
    for (auto it = fs::recursive_directory_iterator(root); it != fs::recursive_directory_iterator(); ++it) {
        std::ifstream in(it->path(), std::ios::binary);
        if (it->is_regular_file())
            landed[it->path().lexically_relative(root).generic_string()].assign(std::istreambuf_iterator<char>(in), {});
    }
    EXPECT_EQ(landed, planned) << targetText;
    EXPECT_EQ(g_opened, opens) << targetText;
    EXPECT_EQ(result, failures) << targetText;
    return landed;
}

}  // namespace

TEST(KivcheckPlan, AgreesWithWhatInstallDoes)
{
    CTempDir package;
    WriteMixedPackage(package);

    // An absolute target, one level down so that ".." stays inside the temp dir.
    CTempDir targets;
    EXPECT_EQ(ExpectInstallAsPlanned(package, targets.Path() + "\\game", targets, targets.Native()),
              (Files{{"game/maps/one.txt", "one"},
                     {"game/sub/deep/two.txt", "two"},
                     {"game/docsthree.txt", "three"},
                     {"game/three.txt", "three"},
                     {"game/maps/two.txt", "two"},
                     {"outside/three.txt", "three"}}));
    EXPECT_EQ(g_opened, (std::vector<std::string>{"run.txt", "run.txt"}));

    // A relative target, resolved against the package directory by both. It
    // is long enough that the long entry is skipped here too: the limit is on
    // the text the installer composes, and the system has its own on the
    // resolved path, which the plan cannot know. ".." leads to game\outside.
    const fs::path game = package.Native("game");
    EXPECT_EQ(ExpectInstallAsPlanned(package, "game\\baseq3-" + std::string(20, 'q'), package, game).size(), 6u);

    // A target too long for any entry: nothing is copied, the opens still run.
    CTempDir untouched;
    EXPECT_EQ(ExpectInstallAsPlanned(package, untouched.Path() + "\\" + std::string(260, 'x'), untouched,
                                     untouched.Native()),
              Files{});
}
