// kivpack run in-process on trees in temp dirs: the package it writes, installed again by kivinstall;
// each refusal, with nothing written; the same tree giving the same bytes.
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "kivinstall/InstallTool.h"
#include "kivpack/PackRun.h"
#include "kivpack/PackageVerify.h"
#include "support/TempDir.h"

#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace fs = std::filesystem;

namespace {

struct PackRun {  // one run of kivpack on these arguments, as if started from program
    PackRun(std::vector<std::string> args, const fs::path& program = "kivpack")
        : status(RunPack(args, program, out, err))
    {
    }
    std::string out, err;
    int status;
};

void Put(const fs::path& file, const std::string& bytes)
{
    fs::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << bytes;
}

// Every file below root (UTF-8 paths, "/") with its bytes; with lowered, its directories as the
// installer names them, ASCII letters in lower case.
std::map<std::string, std::string> Files(const fs::path& root, bool lowered = false)
{
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        if (!entry.is_regular_file())
            continue;
        std::string path = entry.path().lexically_relative(root).generic_u8string();
        const size_t slash = path.rfind('/');
        for (size_t i = 0; lowered && slash != std::string::npos && i < slash; ++i)
            path[i] = path[i] >= 'A' && path[i] <= 'Z' ? static_cast<char>(path[i] + 32) : path[i];
        std::ifstream in(entry.path(), std::ios::binary);
        files[path] = std::string(std::istreambuf_iterator<char>(in), {});
    }
    return files;
}

// A tree of mixed case, Latin-1 names, blanks, nesting, an empty file and an empty directory.
struct CContent : CTempDir {
    CContent()
    {
        for (const char* name :
             {"Maps/Arena1.MAP", "Maps/Sub Dir/deep.txt", "empty.dat", "readme.txt", "with blank.txt",
              "\xC3\x84rger/\xC3\x9C"
              "bung.txt",
              "\xC3\x84rger.txt"})
            Put(Native("content") / fs::u8path(name), std::string(name) == "empty.dat" ? "" : name);
        MakeDir("content\\emptydir");
    }
    std::string Content() const { return Native("content").u8string(); }
};

const char kListText[] =
    "[Package]\r\nCount=8\r\n"
    "FILE1=data\\empty.dat;$setupdir;C;1\r\nFILE2=data\\Maps\\Arena1.MAP;$setupdir\\Maps\\;C;2\r\n"
    "FILE3=data\\Maps\\Sub Dir\\deep.txt;$setupdir\\Maps\\Sub Dir\\;C;3\r\nFILE4=data\\readme.txt;$setupdir;C;4\r\n"
    "FILE5=data\\with blank.txt;$setupdir;C;5\r\nFILE6=data\\\xC4rger\\\xDC"
    "bung.txt;$setupdir\\\xC4rger\\;C;6\r\n"
    "FILE7=data\\\xC4rger.txt;$setupdir;C;7\r\nFILE8=data\\readme.txt;$setupdir;E;8\r\n";

struct : IConsole {  // kivinstall's, for installing a package again: silent, agreeing to nothing
    void Out(const std::string&) override {}
    void Err(const std::string&) override {}
    bool IsInteractive() override { return false; }
    bool ReadAnswer(std::string&) override { return false; }
} g_console;

}  // namespace

TEST(Kivpack, TheTreeInstallsBackWholeAndGivesTheSameBytesTwice)
{
    CContent dir;
    Put(dir.Native("share/kivsetup/KivSetup.exe"), "MZ installer");
    dir.MakeDir("bin");
    const std::vector<std::string> args = {"--title",       "Test Pack",
                                           "--default-dir", "C:\\Games\\Test",
                                           "--copyright",   "\xC2\xA9 Me",
                                           "--open",        "readme.txt",
                                           "--license",     TestData(KIV_EXAMPLES_DIR) + "/arena-pack/license.txt",
                                           "--logo",        TestData(KIV_EXAMPLES_DIR) + "/arena-pack/logo.bmp",
                                           dir.Content()};
    for (const char* package : {"pack", "again"}) {
        std::vector<std::string> packing = args;
        packing.push_back(dir.Native(package).u8string());
        PackRun run(packing, dir.Native("bin/kivpack"));
        ASSERT_EQ(run.status, kPackDone) << run.err;
        EXPECT_EQ(run.out, "packed 7 files (8 entries) into \"" + dir.Native(package).u8string() + "\"\n");
        EXPECT_EQ(dir.Read(std::string(package) + "\\list.inf"), kListText);
        EXPECT_EQ(
            dir.Read(std::string(package) + "\\setup.inf"),
            "[Setup]\r\nDEFAULTINSTALL=Standard\r\nStandard=Package\r\nCopyright=\xA9 Me\r\n\r\n[Package]\r\n"
            "Title=Test Pack\r\nInstallText=Choose the directory to install into\r\nDefaultDir=C:\\Games\\Test\r\n");
    }
    EXPECT_EQ(Files(dir.Native("pack")), Files(dir.Native("again")));
    EXPECT_EQ(dir.Read("pack\\KivSetup.exe"), "MZ installer");
    EXPECT_EQ(fs::last_write_time(dir.Native("pack\\data\\Maps\\Arena1.MAP")),
              fs::last_write_time(dir.Native("content\\Maps\\Arena1.MAP")));

    ASSERT_EQ(RunInstallTool({"--accept-license", "--target", dir.Native("game").string(), dir.Native("pack").string()},
                             g_console),
              0);
    EXPECT_EQ(Files(dir.Native("game")), Files(dir.Native("content"), true));
    EXPECT_TRUE(dir.Exists("game\\maps\\sub dir\\deep.txt"));
}

#ifndef _WIN32
// Names and files a package cannot carry: every one named, nothing written, nothing left beside.
TEST(Kivpack, RefusesWhatThePackageCannotCarryAndWritesNothing)
{
    CContent dir;
    const std::string deep = "content/" + std::string(120, 'd') + "/" + std::string(20, 'f');
    for (const std::string& name : std::vector<std::string>{
             "content/a;b.txt", "content/NUL.txt", "content/CON/x.txt", "content/trail.", "content/trail ",
             "content/bad:name", "content/ctl\x01x", "content/del\x7F", "content/c1\xC2\x9D", "content/COM\xC2\xB9.txt",
             "content/\xE6\x97\xA5.txt", "content/Maps/arena1.map", deep})
        Put(dir.Native(name), "x");
    mkfifo(dir.Native("content/pipe").c_str(), 0600);
    fs::create_symlink("nowhere", dir.Native("content/dangling"));
    fs::create_directory_symlink("Maps", dir.Native("content/maplink"));
    fs::create_symlink("readme.txt", dir.Native("content/link.txt"));
    PackRun run({"--title", "T", "--default-dir", "C:\\T", dir.Content(), dir.Native("pack").string()});
    EXPECT_EQ(run.status, kPackRefused);
    for (const std::string& shown : std::vector<std::string>{
             "\"a;b.txt\" cannot", "\"NUL.txt\" cannot", "\"CON\" cannot", "\"trail.\" cannot", "\"trail \" cannot",
             "\"bad:name\" cannot", "\"ctl<01>x\" cannot", "\"del<7F>\" cannot", "\"c1<9D>\" cannot",
             "\"COM\xC2\xB9.txt\" cannot", "\"\xE6\x97\xA5.txt\" cannot", "\"pipe\" is no file",
             "\"dangling\" is a link to nothing", "\"Maps/Arena1.MAP\" and \"Maps/arena1.map\" differ only",
             "\"" + deep.substr(8) + "\" cannot be packed: its path is too long",
             "\"maplink\" is a link to a directory"})
        EXPECT_NE(run.err.find(shown), std::string::npos) << shown << "\n" << run.err;
    EXPECT_EQ(run.err.find("link.txt"), std::string::npos) << "a link to a file is packed as the file";
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.Native()), {}), 1) << "written beside the content";
}

// Copies run side by side, yet a failing one is reported as one at a time would find it: the first in
// order of two unreadable files (links to /proc/self/mem, EIO at their start), with nothing written.
TEST(Kivpack, TheFirstCopyToFailIsReportedAndNothingIsWritten)
{
    CTempDir dir;
    for (int n = 0; n < 300; ++n)
        Put(dir.Native("content/d" + std::to_string(n / 50) + "/f" + std::to_string(1000 + n)), std::string(4096, 'x'));
    for (const char* unreadable : {"content/d1/f1060", "content/d4/f1210"}) {
        fs::remove(dir.Native(unreadable));
        fs::create_symlink("/proc/self/mem", dir.Native(unreadable));
    }
    PackRun run(
        {"--title", "T", "--default-dir", "C:\\T", dir.Native("content").string(), dir.Native("pack").string()});
    EXPECT_EQ(run.status, kPackNotWritten);
    EXPECT_EQ(run.err, "kivpack: \"d1/f1060\" could not be written: Input/output error\n");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.Native()), {}), 1) << "written beside the content";
}

// An OEM code page, 850 (iconv's CP850): "Ärger.txt" is packed as 8E and installs under its UTF-8 name;
// "LPT³.txt" is a device name, judged by its byte in 850 (FC), not by its UTF-8 bytes.
TEST(Kivpack, AnOemCodePageAndItsSuperscriptDigits)
{
    CTempDir dir;
    Put(dir.Native("c/\xC3\x84rger.txt"), "oem");
    Put(dir.Native("c/LPT\xC2\xB3.txt"), "x");
    const std::vector<std::string> args = {"--codepage",
                                           "850",
                                           "--title",
                                           "T",
                                           "--default-dir",
                                           "C:\\T",
                                           dir.Native("c").u8string(),
                                           dir.Native("p").u8string()};
    const std::string refused = PackRun(args).err;
    EXPECT_NE(refused.find("\"LPT\xC2\xB3.txt\" cannot be packed: its name is a name Windows keeps"), std::string::npos)
        << refused;
    fs::remove(dir.Native("c/LPT\xC2\xB3.txt"));
    ASSERT_EQ(PackRun(args).status, kPackDone);
    EXPECT_NE(dir.Read("p\\list.inf").find("FILE1=data\\\x8Erger.txt;"), std::string::npos);
    ASSERT_EQ(RunInstallTool({"--codepage", "850", "--target", dir.Native("game").string(), dir.Native("p").string()},
                             g_console),
              0);
    EXPECT_EQ(dir.Read("game\\\xC3\x84rger.txt"), "oem");
}
#endif

TEST(Kivpack, UsageTheFinalCheckAndAPackageDirectoryInUse)
{
    CContent dir;
    const std::string pack = dir.Native("pack").u8string();
    auto packing = [&](std::vector<std::string> args) {  // the last --title or --default-dir counts
        args.insert(args.begin(), {"--title", "T", "--default-dir", "C:\\T"});
        args.insert(args.end(), {dir.Content(), pack});
        return args;
    };
    for (const std::vector<std::string>& args : {packing({"--title", "x\ty"}),
                                                 packing({"--title", std::string(512, 't')}),
                                                 packing({"--copyright", "\xE2\x88\x9E"}),
                                                 packing({"--open", "missing.txt"}),
                                                 packing({"--logo", dir.Content()}),
                                                 {"--title", "T", dir.Content(), pack}}) {
        EXPECT_EQ(PackRun(args).status, kPackUsage) << args[1];
        EXPECT_FALSE(dir.Exists("pack"));
    }
    // A content directory that is not there: refused with the system's reason for it.
    std::error_code why;
    ASSERT_FALSE(fs::is_directory(dir.Native("missing"), why));
    ASSERT_TRUE(why);
    PackRun missing({"--title", "T", "--default-dir", "C:\\T", dir.Native("missing").u8string(), pack});
    EXPECT_EQ(missing.status, kPackUsage);
    EXPECT_NE(missing.err.find("\"" + dir.Native("missing").u8string() + "\": " + why.message() + "\n"),
              std::string::npos)
        << missing.err;
    // A logo the installer's bitmap check refuses, a licence holding a NUL: the final check finds them.
    dir.Write("bad.bmp", "BM not a bitmap");
    dir.Write("terms.txt", std::string("terms\0", 6));
    for (const std::vector<std::string>& given : {std::vector<std::string>{"--logo", "bad.bmp", "logo-not-bitmap"},
                                                  {"--license", "terms.txt", "license-nul"}}) {
        PackRun checked(packing({given[0], dir.Native(given[1]).u8string()}));
        EXPECT_EQ(checked.status, kPackRefused);
        EXPECT_NE(checked.err.find("final check: " + given[2]), std::string::npos) << checked.err;
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.Native()), {}), 3) << "written beside the content";
    EXPECT_NE(PackRun({"--x\x1b]0;t\x07"}).err.find("kivpack: unknown option --x<1B>]0;t<07>\n"), std::string::npos);

    // A name that makes the lookup take its line for the next key too: Load reads it back otherwise, refused.
    CTempDir odd;
    Put(odd.Native("c/file2=.txt"), "a"), Put(odd.Native("c/z.txt"), "b");
    PackRun misread({"--title", "T", "--default-dir", "C:\\T", odd.Native("c").u8string(), odd.Native("p").u8string()});
    EXPECT_EQ(misread.status, kPackRefused);
    EXPECT_NE(misread.err.find("would not read the entry of \"z.txt\" as written"), std::string::npos) << misread.err;

    // An old package stays until the new one is whole; --force replaces it, else it is refused. Nothing of
    // the old one is left, in the new package or beside it.
    for (const char* old : {"pack\\old.txt", "pack\\data\\old.map", "pack\\list.inf"})
        dir.Write(old, "old");
    EXPECT_EQ(PackRun(packing({})).status, kPackDirInUse);
    EXPECT_EQ(PackRun(packing({"--force", "--logo", dir.Native("bad.bmp").u8string()})).status, kPackRefused);
    EXPECT_EQ(dir.Tree("pack"), (std::set<std::string>{"data", "data/old.map", "list.inf", "old.txt"}));
    PackRun forced(packing({"--force", "--open", "readme.txt", "--default-dir", "C:\\" + std::string(240, 'g')}));
    EXPECT_EQ(forced.status, kPackDone) << forced.err;
    EXPECT_EQ(Files(dir.Native("pack")).size(), 9u) << "7 files, setup.inf and list.inf, and no old one";
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.Native()), {}), 4) << "the old package left beside the new";
    EXPECT_EQ(dir.Read("pack\\list.inf"), kListText);
    EXPECT_NE(forced.err.find("fits under a target directory of at most 238 characters"), std::string::npos)
        << forced.err;
    EXPECT_NE(forced.err.find("no KivSetup.exe"), std::string::npos);
}

// The final check's findings hold the package's text, in its code page: an e-acute is shown as one, not as <E9>.
TEST(Kivpack, TheFinalChecksFindingsAreShownAsThePackagesText)
{
    CTempDir dir;
    dir.Write("setup.inf", "[Setup]\r\nDEFAULTINSTALL=Standard\r\nStandard=Package\r\n");
    dir.Write("list.inf", "[Package]\r\nCount=1\r\nFILE1=data\\\xE9.txt;$setupdir;C;1\r\n");
    CCurrentDir inPackage(dir.Native());
    CSetupInfo loaded;
    ASSERT_TRUE(loaded.Load(kSetupFileName, kListFileName));
    std::string err;
    EXPECT_FALSE(PassesFinalCheck(CheckPackage(loaded).warnings, err));
#ifdef _WIN32
    const std::string shown = "\xE9";  // the system's code page, as the package's
#else
    const std::string shown = "\xC3\xA9";
#endif
    EXPECT_NE(err.find("final check: source-missing: FILE1: the source \"data\\" + shown + ".txt\""), std::string::npos)
        << err;
}
