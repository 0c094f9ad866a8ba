// kivinstall run in-process on real packages in temp dirs: its exit statuses,
// the licence, the dry run, the opens, and names matched as Windows matches them.
#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/Platform.h"
#include "kivinstall/InstallTool.h"
#include "support/TempDir.h"
#include "common/ErrorText.h"
#include "platform/Shell.h"

#ifdef _WIN32
#include <windows.h>
const int kExistsError = ERROR_ALREADY_EXISTS;
#else
#include <cerrno>
#include <csignal>
#include <sys/wait.h>
#include <unistd.h>
const int kExistsError = EEXIST;
#endif

namespace {

// Standard output and error kept; answers to the licence question given.
class CTestConsole final : public IConsole {
public:
    explicit CTestConsole(bool interactive = false, std::string answer = "")
        : m_interactive(interactive), m_answer(answer)
    {
    }
    void Out(const std::string& text) override { out += text; }
    void Err(const std::string& text) override { err += text; }
    bool IsInteractive() override { return m_interactive; }
    bool ReadAnswer(std::string& line) override { return line = m_answer, true; }
    std::string out, err;

private:
    bool m_interactive;
    std::string m_answer;
};

std::vector<std::string> g_opened;

// A path as the tools show it: with the system's separator.
std::string Sys(std::string path)
{
#ifndef _WIN32
    std::replace(path.begin(), path.end(), '\\', '/');
#endif
    return path;
}

// Installs package into game in dir.
int Install(CTestConsole& console, const CTempDir& package, const CTempDir& dir, std::vector<std::string> options)
{
    g_opened.clear();
    Platform::SetShellOpener([](const char* file) { return g_opened.push_back(file), true; });
    options.insert(options.begin(), {"--target", dir.Native("game").string()});
    options.push_back(package.Native().string());
    const int status = RunInstallTool(options, console);
    Platform::SetShellOpener(nullptr);
    return status;
}

std::set<std::string> Listing(const std::filesystem::path& directory)
{
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(directory))
        names.insert(entry.path().lexically_relative(directory).generic_string());
    return names;
}

}  // namespace

TEST(Kivinstall, ExitStatusesTheLicenceTheDryRunAndTheOpens)
{
    CTempDir package, dir;
    std::filesystem::copy(TestData(KIV_EXAMPLES_DIR) + "/arena-pack", package.Native(),
                          std::filesystem::copy_options::recursive);
    // A licence that would retitle the terminal, overwrite its line with a bare CR, and hold a C1 control.
    package.Write("license.txt", std::string("Terms\x1b]0;owned\x07\r\n\tok\rX\x9d\0hidden", 26));

    CTestConsole usage, notLoaded, refused, dry, agreed, opened;
    EXPECT_EQ(RunInstallTool({"--accept-license"}, usage), 2);
    EXPECT_NE(usage.err.find("--target"), std::string::npos);
    EXPECT_EQ(RunInstallTool({"--target", "x", dir.Native("none").string() + "\x1b]0;t\x07"}, notLoaded), 1);
    EXPECT_EQ(notLoaded.err.find("kivinstall: cannot enter " + dir.Native("none").string() + "<1B>]0;t<07>: "), 0u)
        << notLoaded.err;
    EXPECT_NE(notLoaded.err.find("\nCould not load setup info"), std::string::npos);

    // Nothing is installed without agreement, and nothing waits for an answer
    // that cannot come.
    EXPECT_EQ(Install(refused, package, dir, {}), 3);
    EXPECT_NE(refused.err.find("--accept-license"), std::string::npos);
    CTestConsole no(true, "n");
    EXPECT_EQ(Install(no, package, dir, {}), 3);
    EXPECT_EQ(no.err.find("Terms<1B>]0;owned<07>\r\n\tok<0D>X<9D>\n\nDo you agree to the terms above? [y/N] "), 0u)
        << no.err;
    CTestConsole nul(true, std::string("y\0es", 4));
    EXPECT_EQ(Install(nul, package, dir, {}), 3);
    EXPECT_EQ(Install(dry, package, dir, {"--dry-run"}), 0);
    EXPECT_FALSE(dir.Exists("game"));

    CTestConsole yes(true, "y");
    EXPECT_EQ(Install(yes, package, dir, {}), 0);
    EXPECT_EQ(dir.Read("game\\maps\\arena2.map"), package.Read("data\\arena2.map"));
    EXPECT_TRUE(g_opened.empty()) << "opened without --open";
    EXPECT_NE(yes.err.find("[open 1/1] not opened"), std::string::npos) << yes.err;
    EXPECT_EQ(Install(opened, package, dir, {"--accept-license", "--open"}), 0);
    EXPECT_EQ(g_opened, std::vector<std::string>{"readme.txt"});

    // A copy that fails is told with the system's reason, counted and never reported as success: a
    // missing source (2 is ENOENT and ERROR_FILE_NOT_FOUND alike), a file where a directory must be made.
    std::filesystem::remove(package.Native("data\\arena2.map"));
    std::filesystem::remove_all(dir.Native("game"));
    dir.Write("game\\maps", "a file in the way");
    CTestConsole blocked;
    EXPECT_EQ(Install(blocked, package, dir, {"--accept-license"}), 4);
    EXPECT_NE(
        blocked.err.find(Sys("NOT copied \"data\\arena1.map\": its directory \"" + dir.Path() + "\\game\\maps\\\"") +
                         " could not be made: " + ErrorMessage(kExistsError)),
        std::string::npos)
        << blocked.err;
    std::filesystem::remove(dir.Native("game\\maps"));
    EXPECT_EQ(Install(agreed, package, dir, {"--accept-license"}), 4);
    EXPECT_NE(agreed.err.find(Sys("NOT copied \"data\\arena2.map\": the copy failed: ") + ErrorMessage(2)),
              std::string::npos)
        << agreed.err;
    EXPECT_NE(agreed.out.find("installed 1 of 2 files"), std::string::npos);
    EXPECT_NE(agreed.out.find("1 entry was NOT copied"), std::string::npos);
}

// The lines a user reads, whole, as the system writes paths: the plan, whose open listed before the copies
// comes last with its entry's index; a destination with several backslashes after $setupdir, kept; each
// step's progress; the summary, with the target and its closing separator.
TEST(Kivinstall, TheLinesAUserReadsAreWhole)
{
    CTempDir package, dir;
    package.Write("setup.inf", "[Setup]\r\nDEFAULTINSTALL=S\r\nS=P\r\n[P]\r\nTitle=T\r\n");
    package.Write("list.inf",
                  "[P]\r\nCount=3\r\nFILE1=readme.txt;$setupdir;E;1\r\n"
                  "FILE2=data\\a.map;$setupdir\\\\\\maps\\\\;C;2\r\nFILE3=data\\a.map;$setupdir;C;3\r\n");
    package.Write("data\\a.map", "a");
    package.Write("readme.txt", "r");
    const std::string game = dir.Path() + "\\game", deep = game + "\\\\\\maps\\\\a.map", flat = game + "\\a.map";
    CTestConsole dry, run;
    EXPECT_EQ(Install(dry, package, dir, {"--dry-run"}), 0);
    EXPECT_EQ(dry.out, Sys("plan for \"" + game + "\\\"\n  copy 1 \"data\\a.map\" -> \"" + deep +
                           "\"\n  copy 2 \"data\\a.map\" -> \"" + flat + "\"\n  open 0 \"readme.txt\"\n") +
                           "dry run: 2 to copy, 1 to open; nothing was changed\n");
    EXPECT_EQ(Install(run, package, dir, {"--accept-license"}), 0);
    EXPECT_EQ(run.err, Sys("[1/2] copied \"data\\a.map\" -> \"" + deep + "\"\n[2/2] copied \"data\\a.map\" -> \"" +
                           flat + "\"\n") +
                           "[open 1/1] not opened (--open opens it): \"readme.txt\"\n");
    EXPECT_EQ(run.out, Sys("installed 2 of 2 files into \"" + game + "\\\"\n"));
    EXPECT_EQ(Listing(dir.Native("game")), (std::set<std::string>{"a.map", "maps", "maps/a.map"}));
}

TEST(Kivinstall, NamesAreFoundAsWindowsFindsThemWhateverTheirCase)
{
    CTempDir dir;
    dir.Write("setup.inf", "[Setup]\nDEFAULTINSTALL=S\nS=Pack\n[Pack]\nTitle=T\n");
    // FILE4 lands on the file FILE3 made in this run, under another case.
    dir.Write("list.inf",
              "[Pack]\nCount=4\nFILE1=Data\\Arena1.MAP;$SetupDir\\MAPS\\;C;1\n"
              "FILE2=DATA\\readme.TXT;$SETUPDIR\\Docs\\;C;2\nFILE3=data\\arena1.map;$setupdir\\docs\\;C;3\n"
              "FILE4=Data\\ARENA1.map;$setupdir\\docs\\;C;4\n");
    dir.Write("data\\arena1.map", "new map");
    dir.Write("data\\README.txt", "read me");
    dir.Write("game\\maps\\arena1.map", "old map");  // replaced, and keeps its name
    dir.MakeDir("game\\Docs");

    CTestConsole console;
    EXPECT_EQ(RunInstallTool({"--target", dir.Native("game").string(), dir.Native().string()}, console), 0)
        << console.err;
    EXPECT_EQ(Listing(dir.Native("game")),
              (std::set<std::string>{"Docs", "Docs/arena1.map", "Docs/readme.TXT", "maps", "maps/arena1.map"}));
    EXPECT_EQ(dir.Read("game\\maps\\arena1.map"), "new map");
}

#ifndef _WIN32
// SIGTERM in the middle of a copy: the file it replaces stays as it was, its temporary goes, no further
// step is taken, and the run ends as one whose copies failed.
TEST(Kivinstall, ATermSignalMidCopyLeavesTheOldFileAndNoTemporary)
{
    CTempDir dir;
    dir.Write("setup.inf", "[Setup]\nDEFAULTINSTALL=S\nS=Pack\n[Pack]\nTitle=T\n");
    dir.Write("list.inf", "[Pack]\nCount=2\nFILE1=big.dat;$setupdir;C;1\nFILE2=small.dat;$setupdir;C;2\n");
    dir.Write("small.dat", "small");
    dir.Write("big.dat", "");
    std::filesystem::resize_file(dir.Native("big.dat"), 1u << 30);  // sparse: read fast, written for real
    dir.Write("game\\big.dat", "old");
    const pid_t child = fork();
    if (child == 0) {
        CTestConsole console;
        _exit(RunInstallTool({"--target", dir.Native("game").string(), dir.Native().string()}, console));
    }
    bool midway = false;
    for (int i = 0; i < 100000 && !midway; ++i) {
        for (const auto& entry : std::filesystem::directory_iterator(dir.Native("game"))) {
            std::error_code gone;
            midway = midway || (entry.path().filename().string() != "big.dat" && entry.file_size(gone) > 0);
        }
        usleep(50);
    }
    kill(child, SIGTERM);
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(midway) << "the copy was not seen under way";
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 4) << status;
    EXPECT_EQ(Listing(dir.Native("game")), std::set<std::string>{"big.dat"});
    EXPECT_EQ(dir.Read("game\\big.dat"), "old");
}
#endif

#ifndef _WIN32
// A package made where Windows writes Cyrillic (code page 1251): read in 1252 its names are other letters and
// miss; with --codepage 1251 they are found whatever their case, and every text is shown in UTF-8, escaped.
TEST(Kivinstall, APackageInAnotherCodePageInstallsWithItsNamesShownInUtf8)
{
    CTempDir dir;
    dir.Write("setup.inf", "[Setup]\nDEFAULTINSTALL=S\nS=Pack\n[Pack]\nTitle=T\n");
    // "Карта.map" into "$setupdir\Карты\"; on disk "карта.MAP"; then an escape sequence in a missing name.
    dir.Write("list.inf",
              "[Pack]\nCount=2\nFILE1=data\\\xCA\xE0\xF0\xF2\xE0.map;$setupdir\\\xCA\xE0\xF0\xF2\xFB\\;C;1\n"
              "FILE2=\x1b[2J.map;$setupdir;C;2\n");
    dir.Write("data\\карта.MAP", "map");
    const std::vector<std::string> args = {"--target", dir.Native("game").string(), dir.Native().string()};
    CTestConsole latin, cyrillic;
    EXPECT_EQ(RunInstallTool(args, latin), 4);
    EXPECT_NE(latin.err.find("NOT copied \"data/\xC3\x8A\xC3\xA0\xC3\xB0\xC3\xB2\xC3\xA0.map\""), std::string::npos)
        << latin.err;
    std::vector<std::string> withCodePage = args;
    withCodePage.insert(withCodePage.begin(), {"--codepage", "1251"});
    EXPECT_EQ(RunInstallTool(withCodePage, cyrillic), 4);
    EXPECT_EQ(dir.Read("game\\Карты\\Карта.map"), "map");
    EXPECT_NE(cyrillic.err.find("copied \"data/Карта.map\" -> \"" + dir.Native("game").string() + "/Карты/Карта.map\""),
              std::string::npos)
        << cyrillic.err;
    EXPECT_NE(cyrillic.err.find("NOT copied \"<1B>[2J.map\""), std::string::npos) << cyrillic.err;
    // In 932 the second byte 5C of 表 stays in its character, shown whole; half a character shows as <95>.
    dir.Write("list.inf", "[Pack]\nCount=2\nFILE1=data\\\x95\x5C.map;$setupdir;C;1\nFILE2=data\\\x95;$setupdir;C;2\n");
    dir.Write("data\\表.map", "map");
    withCodePage[1] = "932";
    CTestConsole japanese;
    EXPECT_EQ(RunInstallTool(withCodePage, japanese), 4);
    EXPECT_EQ(dir.Read("game\\表.map"), "map");
    EXPECT_NE(japanese.err.find("[1/2] copied \"data/表.map\""), std::string::npos) << japanese.err;
    EXPECT_NE(japanese.err.find("[2/2] NOT copied \"data/<95>\""), std::string::npos) << japanese.err;
    CTestConsole unknown;
    EXPECT_EQ(RunInstallTool({"--codepage", "65001", "--target", "x"}, unknown), 2);
}
#endif
