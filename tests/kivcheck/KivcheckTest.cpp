// kivcheck on packages in temp dirs: the JSON of the worked example (examples/arena-pack) and of each
// kind of byte, the exit statuses, and each warning, also at a field's capacity and one past it.
#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "checks/Checks.h"
#include "kivcheck/CheckRun.h"
#include "kivcheck/JsonWriter.h"
#include "support/TempDir.h"

namespace {

using Codes = std::vector<std::string>;

struct CheckRun {  // one run of kivcheck on these arguments
    explicit CheckRun(const std::vector<std::string>& args) : status(RunCheck(args, out, err)) {}
    std::string out, err;
    int status;
};

// The codes of the warnings of a check of package, with a plan when target is not empty.
Codes WarningCodes(const CTempDir& package, const std::string& target = "",
                   std::vector<CheckWarning>* warnings = nullptr)
{
    CCurrentDir inPackage(package.Native());
    CSetupInfo info;
    EXPECT_TRUE(info.Load(kSetupFileName, kListFileName));
    const CheckFindings findings =
        CheckPackage(info, target.empty() ? std::nullopt : std::optional<std::string>(target));
    Codes codes;
    for (const CheckWarning& warning : findings.warnings)
        codes.push_back(warning.code);
    if (warnings)
        *warnings = findings.warnings;
    return codes;
}

// A copy of the format's worked example with its licence, logo and packaged files.
struct CWorkedExample : CTempDir {
    CWorkedExample()
    {
        std::filesystem::copy(TestData(KIV_EXAMPLES_DIR) + "/arena-pack", Native(),
                              std::filesystem::copy_options::recursive);
    }
};

}  // namespace

TEST(KivcheckJson, WorkedExampleWithAndWithoutTargetAndExitStatuses)
{
    const std::string json =
        R"({"loaded": true, "setupPath": "setup.inf", "defaultInstall": "Standard", "section": "ArenaPack", )"
        R"("copyright": "Sample notice text", "title": "Arena Map Pack", )"
        R"("installText": "Choose the directory of the game", "defaultDir": "C:\\Games\\Arena", "count": 3, "files": [)"
        R"({"source": "data\\arena1.map", "fileName": "arena1.map", "dest": "$setupdir\\maps\\", "action": "C", "number": 1}, )"
        R"({"source": "data\\arena2.map", "fileName": "arena2.map", "dest": "$setupdir\\maps\\", "action": "C", "number": 2}, )"
        R"({"source": "readme.txt", "fileName": "readme.txt", "dest": "$setupdir", "action": "E", "number": 0}], )"
        R"("warnings": [])";
    CWorkedExample package;
    CTempDir empty;
    const std::string pkg = package.Native().string();  // a path of the system the tool runs on
    const std::filesystem::path before = std::filesystem::current_path();
    CheckRun plain({"--json", "--strict", pkg});
    EXPECT_EQ(std::to_string(plain.status) + plain.out + plain.err, "0" + json + "}\n");
    // A relative target stays relative: the installer resolves it against its start directory, the
    // package directory. Nothing is made or copied.
    CheckRun planned({"--json", "--target", "game\\baseq3", pkg});
    EXPECT_EQ(
        planned.out,
        json +
            R"(, "target": "game\\baseq3\\", "plan": [)"
            R"({"op": "copy", "index": 0, "source": "data\\arena1.map", "entryDir": "game\\baseq3\\maps\\", "destPath": "game\\baseq3\\maps\\arena1.map"}, )"
            R"({"op": "copy", "index": 1, "source": "data\\arena2.map", "entryDir": "game\\baseq3\\maps\\", "destPath": "game\\baseq3\\maps\\arena2.map"}, )"
            R"({"op": "open", "index": 2, "source": "readme.txt"}]})"
            "\n");
    EXPECT_FALSE(package.Exists("game"));
    // Whole lines: an open listed before the copies comes last in the plan with its entry's index, and a
    // destination with several backslashes after $setupdir keeps them all, as the installer composes it.
    package.Write("list.inf",
                  "[ArenaPack]\r\nCount=2\r\nFILE1=readme.txt;$setupdir;E;1\r\n"
                  "FILE2=data\\arena1.map;$setupdir\\\\\\maps\\\\;C;2\r\n");
    std::string plan = "plan for \"game\\\"\n  copy 1 \"data\\arena1.map\" -> \"game\\\\\\maps\\\\arena1.map\"\n";
#ifndef _WIN32
    std::replace(plan.begin(), plan.end(), '\\', '/');  // as the system writes paths
#endif
    const std::string shown = CheckRun({"--target", "game", pkg}).out;
    EXPECT_EQ(shown.substr(shown.find("plan for")),
              plan + "  open 0 \"readme.txt\"\nloaded: 2 entries, 1 to copy, 1 to open, no warnings\n");
    const std::string planJson = CheckRun({"--json", "--target", "game", pkg}).out;
    EXPECT_EQ(planJson.substr(planJson.find(", \"target\"")),
              R"(, "target": "game\\", "plan": [{"op": "copy", "index": 1, "source": "data\\arena1.map", )"
              R"("entryDir": "game\\\\\\maps\\\\", "destPath": "game\\\\\\maps\\\\arena1.map"}, )"
              R"({"op": "open", "index": 0, "source": "readme.txt"}]})"
              "\n");
    std::filesystem::copy(TestData(KIV_EXAMPLES_DIR) + "/arena-pack/list.inf", package.Native("list.inf"),
                          std::filesystem::copy_options::overwrite_existing);
#ifndef _WIN32
    // A target typed in UTF-8 is read in the package's code page; one it cannot write is refused.
    EXPECT_NE(CheckRun({"--json", "--target", "g\xC3\xA9", pkg}).out.find("\"target\": \"g\xC3\xA9\\\\\""),
              std::string::npos);
    EXPECT_EQ(CheckRun({"--target", "g\xD0\xB6", pkg}).status, kExitUsage);
#endif
    const std::string text = CheckRun({"--target", "game\\baseq3", pkg}).out;
    EXPECT_NE(text.find("  open 2 \"readme.txt\"\nloaded: 3 entries, 2 to copy, 1 to open, no warnings\n"),
              std::string::npos)
        << text;
    // Package text reaches the terminal with its controls escaped, in the entry's line and in the warning.
    package.Write("list.inf", "[ArenaPack]\r\nCount=1\r\nFILE1=\x1b[2J\x9d\x7f.map;$setupdir;C;1\r\n");
    const std::string hostile = CheckRun({pkg}).out;
    EXPECT_EQ(hostile.find('\x1b'), std::string::npos);
    EXPECT_NE(hostile.find("source-missing: FILE1: the source \"<1B>[2J<9D><7F>.map\""), std::string::npos) << hostile;
    EXPECT_NE(hostile.find("source \"<1B>[2J<9D><7F>.map\", file name"), std::string::npos) << hostile;
    std::filesystem::copy(TestData(KIV_EXAMPLES_DIR) + "/arena-pack/list.inf", package.Native("list.inf"),
                          std::filesystem::copy_options::overwrite_existing);
    // A skipped copy keeps its place in the plan, with its whole paths; plan and warning name its long path alike.
    const std::string t255(255, 't'), tooLong = CheckRun({"--json", "--target", t255, pkg}).out,
                                      skipped = CheckRun({"--target", t255, pkg}).out;
    EXPECT_NE(
        tooLong.find(R"({"op": "copy", "index": 0, "source": "data\\arena1.map", "entryDir": ")" + t255 +
                     R"(\\maps\\", "destPath": ")" + t255 + R"(\\maps\\arena1.map", "skipped": "path too long"})"),
        std::string::npos)
        << tooLong;
    for (const std::string start :
         {"arena1.map\": ", "path-too-long: FILE1: the installer skips the copy of \"data\\arena1.map\": "})
        EXPECT_NE(skipped.find(start + "the entry directory is 261 characters long, 2 more than 259\n"),
                  std::string::npos)
            << skipped;

    // Warnings fail only a strict check, also one in the package directory itself.
    package.Write("logo.bmp", "not a bitmap");
    EXPECT_EQ(CheckRun({pkg}).status, kExitLoaded);
    EXPECT_EQ(CheckRun({"--strict", "--json", pkg}).status, kExitWarnings);
    {
        CCurrentDir inPackage(package.Native());
        EXPECT_EQ(CheckRun({"--strict"}).status, kExitWarnings);
    }
    // Not loaded: no setup.inf, no such directory (named with controls, shown escaped), or setup.inf without
    // list.inf, each with the system's reason; then usage errors, an unknown option shown escaped.
    package.Write("data\\setup.inf", "[Setup]\n");
    const std::string missingDir = empty.Native("missing").string();
    for (const auto& [dir, why] : std::vector<std::pair<std::string, std::string>>{
             {empty.Native().string(), "kivcheck: setup.inf: "},
             {missingDir + "\x1b]0;t\x07", "kivcheck: cannot enter " + missingDir + "<1B>]0;t<07>: "},
             {package.Native("data").string(), "kivcheck: list.inf: "}}) {
        for (const std::string option : {"--json", "--strict"}) {
            CheckRun missing({option, dir});
            EXPECT_EQ(missing.status, kExitNotLoaded);
            EXPECT_EQ(missing.out,
                      option == "--json" ? "{\"loaded\": false, \"error\": \"Could not load setup info\"}\n" : "");
            EXPECT_EQ(missing.err.find(why), 0u) << missing.err;
            EXPECT_GT(missing.err.find("\nCould not load setup info\n"), why.size() + 1) << missing.err;
        }
    }
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"--jsn", pkg}, {pkg, "--target"}, {pkg, pkg}}) {
        CheckRun usage(args);
        EXPECT_EQ(usage.status, kExitUsage);
        EXPECT_EQ(usage.out, "");
        EXPECT_NE(usage.err.find("Usage: kivcheck [--json] [--target DIR] [--strict] [--codepage N] [PACKAGE_DIR]"),
                  std::string::npos);
    }
    EXPECT_NE(CheckRun({"--x\x1b]0;t\x07"}).err.find("kivcheck: unknown option --x<1B>]0;t<07>\n"), std::string::npos);
    EXPECT_EQ(std::filesystem::current_path(), before);
    // The escapes, control characters (C0, DEL, C1 and the bytes either side), and the first and last byte of
    // each two-byte form.
    EXPECT_EQ(
        JsonString("\"\\\b\f\n\r\t\x01\x1f \x7e\x7f\x80\x9b\x9f\xa0\xbf\xc0\xff/"),
        "\"\\\"\\\\\\b\\f\\n\\r\\t\\u0001\\u001f ~\\u007f\\u0080\\u009b\\u009f\xC2\xA0\xC2\xBF\xC3\x80\xC3\xBF/\"");
}

TEST(KivcheckWarnings, EachFindingIsReportedOnceWithItsCode)
{
    // A package with every finding that can stand together in one package.
    CTempDir troubled;
    troubled.Write("setup.inf", "[Setup]\nDEFAULTINSTALL=Standard\nStandard=Pack\nCopyright=" + std::string(300, 'c') +
                                    "\n[Pack]\nTitle = Spaced Title\nInstallText=Choose\nDefaultDir=C:\\Games\n");
    troubled.Write("list.inf",
                   "[Pack]\nCount=9\nFILE1=a.txt;$setupdir\\maps\\;C;1\nFILE2=b.txt;$setupdir;Copy;2\n"
                   "FILE3=c.txt;maps\\;C;3\nFILE4=d.txt;$setupdir\\docs;C;4\n"
                   "FILE5=e.txt;$setupdir\\..\\outside\\;C;5\nFILE6=gone.txt;$setupdir;E;6\n"
                   "FILE7=f.txt;$setupdir\\" +
                       std::string(200, 'x') + "\\;C;7\nFILE9=g.txt;$setupdir;C;9\n");
    for (const char* name : {"a.txt", "b.txt", "c.txt", "d.txt", "e.txt", "f.txt", "g.txt"})
        troubled.Write(name, name);
    troubled.Write("license.txt", std::string("I agree\0hidden", 14));
    troubled.Write("logo.bmp", "BM but not much more");
    // A target that leaves room for every entry directory but FILE7's.
    EXPECT_EQ(WarningCodes(troubled, std::string(100, 't')),
              (Codes{"value-cut", "key-not-matched", "count-mismatch", "file-gap", "unknown-action", "dest-no-marker",
                     "dest-no-trailing-backslash", "dest-climbs-out", "source-missing", "path-too-long", "license-nul",
                     "logo-not-bitmap"}));
    // path-too-long belongs to a plan; the messages say what the installer will make of it.
    std::vector<CheckWarning> warnings;
    ASSERT_EQ(WarningCodes(troubled, "", &warnings).size(), 11u);
    EXPECT_EQ(warnings[1].message,
              "setup.inf line 6: \"Title = Spaced Title\" is not read as Title: blanks before the \"=\"");
    EXPECT_EQ(warnings[2].message, "list.inf: Count is 9 but 8 FILE keys are present");
    EXPECT_EQ(warnings[3].message, "list.inf: FILE8 is missing, so FILE9 is never read");
    EXPECT_NE(warnings[6].message.find("lands as \"docsd.txt\""), std::string::npos);
    EXPECT_NE(warnings[9].message.find("offset 7"), std::string::npos);

    // setup.inf after its "[Setup]" line (and "[Pack]" with a Title unless given), list.inf, the codes.
    const std::string named = "DEFAULTINSTALL=Standard\nStandard=Pack\n", one = "FILE1=a.txt;$setupdir;C;1\n";
    std::vector<Codes> cases = {
        {"", "[Pack]\nCount=1\n" + one, "no-default-install"},
        {"DEFAULTINSTALL=Standard\n", "[Pack]\nCount=1\n" + one, "no-install-section"},
        {named, "[Other]\nCount=1\n" + one, "no-install-section"},
        {named, "[Pack]\n" + one, "count-missing"},
        {named, "[Pack]\nCount=1 file\n" + one, "count-not-number"},
        {named, "[Pack]\nCount=-1\n" + one + "FILE3=a.txt;$setupdir;C;3\n", "count-negative", "file-gap"},
        // A number too large for any key is no key the installer reads.
        {named, "[Pack]\nCount=1\n" + one + "FILE9999999999=a.txt;$setupdir;C;1\n"},
        // A later gap is not reached when Count stops first.
        {named, "[Pack]\nCount=1\n" + one + "FILE3=a.txt;$setupdir;C;3\n", "count-mismatch"},
        // Only the section's own lines that name a key the installer reads.
        {named + "[Pack]\n Title=Leading blank\n;InstallText=Comment\nDefaultDir\t=C:\\\nUnrelated = line\n[Later]\n "
                 "Title=Elsewhere\n",
         "[Pack]\nCount=2\n" + one + "FILE02=a.txt;$setupdir;C;2\nfile2=a.txt;$SetupDir\\.\\;E;2\n", "key-not-matched",
         "key-not-matched", "key-not-matched", "key-not-matched"},
        // The marker in any case, but only at the start.
        {named, "[Pack]\nCount=1\nFILE1=a.txt;$SetupDir\\maps\\;C;1\n"},
        {named, "[Pack]\nCount=1\nFILE1=a.txt;$SETUPDIR\\Maps;C;1\n", "dest-no-trailing-backslash"},
        {named, "[Pack]\nCount=1\nFILE1=a.txt;x\\$setupdir\\maps\\;C;1\n", "dest-no-marker"},
        // Sources that climb out of the package, or are rooted.
        {named, "[Pack]\nCount=2\nFILE1=..\\..\\none\\a.txt;$setupdir;C;1\nFILE2=\\none\\a.txt;$setupdir;E;2\n",
         "source-outside", "source-missing", "source-outside", "source-missing"},
        // Device names on the path the file lands at, also one that only the file name joined on completes
        // ("nu" and "l.txt"); "nul1" and "com" are none.
        {named,
         "[Pack]\nCount=5\nFILE1=a.txt;$setupdir\\NUL\\;C;1\nFILE2=a.txt;$setupdir\\lpt1\\sub\\;C;2\n"
         "FILE3=a.txt;$setupdir\\COM\xB9\\;C;3\nFILE4=a.txt;$setupdir\\nul1\\com\\;C;4\nFILE5=l.txt;$setupdir\\nu;C;"
         "5\n",
         "dest-device", "dest-device", "dest-device", "dest-no-trailing-backslash", "dest-device", "source-missing"},
        // An unmarked destination lands in the target itself, where a marked one may land too.
        {named, "[Pack]\nCount=2\n" + one + "FILE2=a.txt;maps\\;C;2\n", "dest-no-marker", "dest-duplicate"},
    };
    // Each value at its field's capacity, then one character longer: only that one is cut.
    for (const size_t extra : {0, 1}) {
        for (const auto& [line, capacity] : {std::pair<std::string, size_t>{"Copyright=", 255},
                                             {"[Pack]\nTitle=", 511},
                                             {"[Pack]\nInstallText=", 255},
                                             {"[Pack]\nDefaultDir=", 259}})
            cases.push_back({named + line + std::string(capacity + extra, 'v') + "\n", "[Pack]\nCount=1\n" + one});
        // FILE values hold 259 characters; Count holds 11, so one of 12 can read as another number.
        cases.push_back({named, "[Pack]\nCount=1\nFILE1=a.txt;$setupdir;C;" + std::string(240 + extra, '0') + "1\n"});
        cases.push_back({named, "[Pack]\nCount=" + std::string(10 + extra, '0') + "1\n" + one});
        for (auto it = cases.end() - 6; extra && it != cases.end(); ++it)
            it->push_back("value-cut");
    }
    cases.back().push_back("count-mismatch");
    for (const Codes& c : cases) {
        CTempDir package;
        package.Write("setup.inf",
                      "[Setup]\n" + c[0] + (c[0].find("[Pack]") == std::string::npos ? "[Pack]\nTitle=T\n" : ""));
        package.Write("list.inf", c[1]);
        package.Write("a.txt", "a");
        EXPECT_EQ(WarningCodes(package), Codes(c.begin() + 2, c.end())) << c[0] << c[1];
    }

    // In 932: half a character ends FILE1's source; 表 (95 5C) holds no backslash; full-width A and a
    // (82 60, 82 81) are one name to Windows. A destination that ends with a lead byte (81) is judged with
    // the file name joined on, as the installer joins them: with "a.txt" the file lands at ∥ (81 61) and
    // ".txt", with no file name the path still ends with half a character. "NUL.表" names a device.
    {
        CCodePage japanese(932);
        CTempDir package;
        package.Write("setup.inf", "[Setup]\n" + named + "[Pack]\nTitle=T\n");
        package.Write("a.txt", "a");
        package.Write("list.inf",
                      "[Pack]\nCount=6\nFILE1=a\x95;$setupdir;C;1\nFILE2=\x95\x5C.txt;$setupdir\\\x82\x60\\;C;2\n"
                      "FILE3=\x95\x5C.txt;$setupdir\\\x82\x81\\;C;3\nFILE4=a.txt;$setupdir\\d\\\x81;C;4\n"
                      "FILE5=a.txt\\;$setupdir\\e\\\x81;C;5\nFILE6=a.txt;$setupdir\\NUL.\x95\x5C\\;C;6\n");
        EXPECT_EQ(WarningCodes(package, "", &warnings),
                  (Codes{"not-code-page-text", "source-missing", "source-missing", "dest-no-trailing-backslash",
                         "not-code-page-text", "dest-device", "dest-duplicate"}));
        EXPECT_NE(warnings[3].message.find("lands as \"d\\\x81\x61.txt\""), std::string::npos) << warnings[3].message;
        EXPECT_NE(warnings[4].message.find("the path \"e\\<81>\""), std::string::npos) << warnings[4].message;
    }

#ifndef _WIN32
    // Links to directories (at the top or deeper, with levels beneath) and to files: only those that lead out of the package do, each once.
    {
        CTempDir package, outside;
        outside.Write("far.txt", "far"), outside.Write("deep\\far.txt", "far");
        package.Write("setup.inf", "[Setup]\n" + named + "[Pack]\nTitle=T\n");
        package.Write("in\\a.txt", "a"), package.Write("in\\b.txt", "b");
        std::filesystem::create_directory_symlink(outside.Native(), package.Native("out"));
        std::filesystem::create_directory_symlink("in", package.Native("alias"));
        std::filesystem::create_directory_symlink(outside.Native(), package.Native("in/away"));
        std::filesystem::create_symlink(outside.Native("far.txt"), package.Native("in/far.txt"));
        std::filesystem::create_symlink("a.txt", package.Native("in/near.txt"));
        package.Write("list.inf",
                      "[Pack]\nCount=7\nFILE1=out\\far.txt;$setupdir\\1\\;C;1\nFILE2=in\\a.txt;$setupdir;C;2\n"
                      "FILE3=in\\far.txt;$setupdir\\3\\;C;3\nFILE4=alias\\b.txt;$setupdir;C;4\n"
                      "FILE5=in\\near.txt;$setupdir\\5\\;C;5\nFILE6=out\\far.txt;$setupdir\\6\\;C;6\n"
                      "FILE7=in\\away\\deep\\far.txt;$setupdir\\7\\;C;7\n");
        EXPECT_EQ(WarningCodes(package),
                  (Codes{"source-outside", "source-outside", "source-outside", "source-outside"}));
    }
#endif

    // The worked example's logo (sound, see above) cut short or without its signature is no bitmap.
    CWorkedExample example;
    const std::string logo = example.Read("logo.bmp");
    for (const std::string& broken : {logo.substr(0, logo.size() - 1), "X" + logo.substr(1), std::string()}) {
        example.Write("logo.bmp", broken);
        EXPECT_EQ(WarningCodes(example), Codes{"logo-not-bitmap"});
    }
}
