#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "CheckPackages.h"

namespace {

using Codes = std::vector<std::string>;

// A bitmap file of 2 x 2 pixels, 24 bits each, with a 40-byte information header.
std::string TinyBitmap()
{
    return std::string("BM\x46\0\0\0\0\0\0\0\x36\0\0\0"                            // file header: size, pixel offset
                       "\x28\0\0\0\2\0\0\0\2\0\0\0\1\0\x18\0\0\0\0\0\x10\0\0\0", // 2 x 2, 24 bits, 16 pixel bytes
                       38) +
           std::string(16, '\0') + std::string(16, '\x7f');
}

// A package with every finding that can stand together in one package.
void WriteTroubledPackage(const CTempDir& package)
{
    package.Write("setup.inf", "[Setup]\n"
                               "DEFAULTINSTALL=Standard\n"
                               "Standard=Pack\n"
                               "Copyright=" + std::string(300, 'c') + "\n"
                               "[Pack]\n"
                               "Title = Spaced Title\n"
                               "InstallText=Choose\n"
                               "DefaultDir=C:\\Games\n");
    package.Write("list.inf", "[Pack]\n"
                              "Count=9\n"
                              "FILE1=a.txt;$setupdir\\maps\\;C;1\n"
                              "FILE2=b.txt;$setupdir;Copy;2\n"
                              "FILE3=c.txt;maps\\;C;3\n"
                              "FILE4=d.txt;$setupdir\\docs;C;4\n"
                              "FILE5=e.txt;$setupdir\\..\\outside\\;C;5\n"
                              "FILE6=gone.txt;$setupdir;E;6\n"
                              "FILE7=f.txt;$setupdir\\" + std::string(200, 'x') + "\\;C;7\n"
                              "FILE9=g.txt;$setupdir;C;9\n");
    for (const char* name : {"a.txt", "b.txt", "c.txt", "d.txt", "e.txt", "f.txt", "g.txt"})
        package.Write(name, name);
    package.Write("license.txt", std::string("I agree\0hidden", 14));
    package.Write("logo.bmp", "BM but not much more");
}

}  // namespace

TEST(KivcheckWarnings, EachFindingIsReportedOnceWithItsCode)
{
    CTempDir troubled;
    WriteTroubledPackage(troubled);
    // A target that leaves room for every entry directory but FILE7's.
    EXPECT_EQ(WarningCodes(troubled, std::string(100, 't')),
              (Codes{"value-cut", "key-not-matched", "count-mismatch", "file-gap", "unknown-action", "dest-no-marker",
                     "dest-no-trailing-backslash", "dest-climbs-out", "source-missing", "path-too-long",
                     "license-nul", "logo-not-bitmap"}));
    // path-too-long belongs to a plan.
    const std::vector<CheckWarning> warnings = Warnings(troubled);
    ASSERT_EQ(warnings.size(), 11u);
    // The messages say what the installer will make of it.
    EXPECT_EQ(warnings[2].message, "list.inf: Count is 9 but 8 FILE keys are present");
    EXPECT_EQ(warnings[3].message, "list.inf: FILE8 is missing, so FILE9 is never read");
    EXPECT_EQ(warnings[1].message, "setup.inf line 6: \"Title = Spaced Title\" is not read as Title: "
                                   "blanks before the \"=\"");
    EXPECT_NE(warnings[6].message.find("lands as \"docsd.txt\""), std::string::npos);
    EXPECT_NE(warnings[9].message.find("offset 7"), std::string::npos);

    // Findings that keep the list from loading at all, the other Counts, and
    // lines the key lookup passes over, each named with the reason.
    const std::string named = "DEFAULTINSTALL=Standard\nStandard=Pack\n";
    const std::string one = "FILE1=a.txt;$setupdir;C;1\n";
    const std::vector<std::vector<std::string>> cases = {
        // setup.inf lines, list.inf, the codes
        {"", "[Pack]\nCount=1\n" + one, "no-default-install"},
        {"DEFAULTINSTALL=Standard\n", "[Pack]\nCount=1\n" + one, "no-install-section"},
        {named, "[Other]\nCount=1\n" + one, "no-install-section"},
        {named, "[Pack]\n" + one, "count-missing"},
        {named, "[Pack]\nCount=1 file\n" + one, "count-not-number"},
        {named, "[Pack]\nCount=-1\n" + one + "FILE3=a.txt;$setupdir;C;3\n", "count-negative", "file-gap"},
        // Cut to 11 characters, this Count reads as 0.
        {named, "[Pack]\nCount=000000000001\n" + one, "value-cut", "count-mismatch"},
        // A number too large for any key is no key the installer reads.
        {named, "[Pack]\nCount=1\n" + one + "FILE9999999999=a.txt;$setupdir;C;1\n"},
        // A later gap is not reached when Count stops first.
        {named, "[Pack]\nCount=1\n" + one + "FILE3=a.txt;$setupdir;C;3\n", "count-mismatch"},
        // Only the section's own lines that name a key the installer reads.
        {named + "[Pack]\n Title=Leading blank\n;InstallText=Comment\nDefaultDir\t=C:\\\nUnrelated = line\n"
                 "[Later]\n Title=Elsewhere\n",
         "[Pack]\nCount=2\n" + one + "FILE02=a.txt;$setupdir;C;2\nfile2=a.txt;$SetupDir\\.\\;E;2\n",
         "key-not-matched", "key-not-matched", "key-not-matched", "key-not-matched"},
    };
    for (const std::vector<std::string>& c : cases) {
        CTempDir package;
        const bool ownSection = c[0].find("[Pack]") != std::string::npos;
        package.Write("setup.inf", "[Setup]\n" + c[0] + (ownSection ? "" : "[Pack]\nTitle=T\n"));
        package.Write("list.inf", c[1]);
        package.Write("a.txt", "a");
        EXPECT_EQ(WarningCodes(package), Codes(c.begin() + 2, c.end())) << c[1];
    }
}

TEST(KivcheckWarnings, PresentationFiles)
{
    CTempDir package;
    WriteWorkedExample(package);
    package.Write("license.txt", "Plain licence text\r\n");
    package.Write("logo.bmp", TinyBitmap());
    EXPECT_EQ(WarningCodes(package), Codes{});
    const std::string good = TinyBitmap();
    for (const std::string& logo : {good.substr(0, good.size() - 1), "X" + good.substr(1), std::string()}) {
        package.Write("logo.bmp", logo);
        EXPECT_EQ(WarningCodes(package), Codes{"logo-not-bitmap"});
    }
}
