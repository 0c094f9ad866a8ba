#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "CheckPackages.h"

namespace {

using Codes = std::vector<std::string>;

std::string Little32(uint32_t value)
{
    std::string bytes;
    for (int i = 0; i < 4; ++i)
        bytes += static_cast<char>(value >> (8 * i) & 0xFF);
    return bytes;
}

// A bitmap file of 2 x 2 pixels, 24 bits each, with a 40-byte information header.
std::string TinyBitmap()
{
    const uint32_t pixelBytes = 2 * 8;  // rows padded to 4 bytes
    std::string info = Little32(40) + Little32(2) + Little32(2) + std::string("\x01\x00\x18\x00", 4) +
                       Little32(0) + Little32(pixelBytes) + Little32(0) + Little32(0) + Little32(0) + Little32(0);
    return "BM" + Little32(14 + 40 + pixelBytes) + Little32(0) + Little32(14 + 40) + info +
           std::string(pixelBytes, '\x7f');
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
    EXPECT_NE(warnings[6].message.find("lands as \"docsd.txt\""), std::string::npos);
    EXPECT_NE(warnings[9].message.find("offset 7"), std::string::npos);

    // Findings that keep the list from loading at all, and the other Counts.
    struct Case {
        std::string setupSection;  // empty: no DEFAULTINSTALL
        bool namedKeyPresent;
        std::string list;
        Codes codes;
    };
    const std::vector<Case> cases = {
        {"", false, "[Pack]\nCount=1\nFILE1=a.txt;$setupdir;C;1\n", {"no-default-install"}},
        {"Pack", false, "[Pack]\nCount=1\nFILE1=a.txt;$setupdir;C;1\n", {"no-install-section"}},
        {"Pack", true, "[Other]\nCount=1\nFILE1=a.txt;$setupdir;C;1\n", {"no-install-section"}},
        {"Pack", true, "[Pack]\nFILE1=a.txt;$setupdir;C;1\n", {"count-missing"}},
        {"Pack", true, "[Pack]\nCount=1 file\nFILE1=a.txt;$setupdir;C;1\n", {"count-not-number"}},
        {"Pack", true, "[Pack]\nCount=-1\nFILE1=a.txt;$setupdir;C;1\nFILE3=a.txt;$setupdir;C;3\n",
         {"count-negative", "file-gap"}},
        // Cut to 11 characters, this Count reads as 0.
        {"Pack", true, "[Pack]\nCount=000000000001\nFILE1=a.txt;$setupdir;C;1\n", {"value-cut", "count-mismatch"}},
        // A number too large for any key is no key the installer reads.
        {"Pack", true, "[Pack]\nCount=1\nFILE1=a.txt;$setupdir;C;1\nFILE9999999999=a.txt;$setupdir;C;1\n", {}},
        // A later gap is not reached when Count stops first.
        {"Pack", true, "[Pack]\nCount=1\nFILE1=a.txt;$setupdir;C;1\nFILE3=a.txt;$setupdir;C;3\n", {"count-mismatch"}},
    };
    for (const Case& c : cases) {
        CTempDir package;
        std::string setup = "[Setup]\n";
        if (!c.setupSection.empty())
            setup += "DEFAULTINSTALL=Standard\n";
        if (c.namedKeyPresent)
            setup += "Standard=" + c.setupSection + "\n";
        package.Write("setup.inf", setup + "[Pack]\nTitle=T\n");
        package.Write("list.inf", c.list);
        package.Write("a.txt", "a");
        EXPECT_EQ(WarningCodes(package), c.codes) << c.list;
    }
}

TEST(KivcheckWarnings, LinesTheLookupPassesOver)
{
    CTempDir package;
    WriteSetup(package, "Pack",
               " Title=Leading blank\n"
               ";InstallText=Commented out\n"
               "InstallText=Chosen\n"
               "DefaultDir\t=C:\\Games\n"
               "Unrelated = line\n"
               "[Later]\n"
               " Title=In another section\n");
    package.Write("list.inf", "[Pack]\n"
                              "Count=2\n"
                              "FILE1=a.txt;$setupdir;C;1\n"
                              "FILE02=a.txt;$setupdir;C;2\n"
                              "file2=a.txt;$setupdir;C;2\n");
    package.Write("a.txt", "a");
    std::vector<CheckWarning> warnings = Warnings(package);
    std::vector<std::string> messages;
    for (const CheckWarning& warning : warnings) {
        EXPECT_EQ(warning.code, "key-not-matched") << warning.message;
        messages.push_back(warning.message);
    }
    EXPECT_EQ(messages, (std::vector<std::string>{
                            "setup.inf line 7: \" Title=Leading blank\" is not read as Title: blanks before the key",
                            "setup.inf line 8: \";InstallText=Commented out\" is not read as InstallText: "
                            "a comment mark (the files have no comments)",
                            "setup.inf line 10: \"DefaultDir\t=C:\\Games\" is not read as DefaultDir: "
                            "blanks before the \"=\"",
                            "list.inf line 4: \"FILE02=a.txt;$setupdir;C;2\" is not read as FILE2: "
                            "a leading zero in the number",
                        }));
}

TEST(KivcheckWarnings, PresentationFiles)
{
    CTempDir package;
    WriteWorkedExample(package);
    package.Write("license.txt", "Plain licence text\r\n");
    package.Write("logo.bmp", TinyBitmap());
    EXPECT_EQ(WarningCodes(package), Codes{});

    std::string truncated = TinyBitmap();
    truncated.resize(truncated.size() - 1);
    package.Write("logo.bmp", truncated);
    std::string notBitmap = TinyBitmap();
    notBitmap[0] = 'X';
    for (const std::string& logo : {truncated, notBitmap, std::string()}) {
        package.Write("logo.bmp", logo);
        EXPECT_EQ(WarningCodes(package), Codes{"logo-not-bitmap"});
    }
}
