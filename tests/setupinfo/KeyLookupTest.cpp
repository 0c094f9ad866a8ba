#include <optional>
#include <string>

#include <gtest/gtest.h>

#include "ByteSource.h"
#include "SetupInfo.h"

namespace {

const char kUntouched[] = "untouched";

// Looks key up in section of a file holding exactly these bytes. No value
// gives nullopt, and then the destination must be as it was.
std::optional<std::string> Lookup(const std::string& bytes, const char* section, const char* key,
                                  size_t destinationSize = kLineSize)
{
    CMemorySource source(bytes.data(), bytes.size());
    CTextReader reader(source);
    std::string destination(destinationSize, '\0');
    destination.replace(0, sizeof kUntouched, kUntouched, sizeof kUntouched);
    char* result = CSetupInfo::GetValue(&reader, section, key, destination.data(), destinationSize);
    if (!result) {
        EXPECT_STREQ(destination.c_str(), kUntouched);
        return std::nullopt;
    }
    EXPECT_EQ(result, destination.data());
    return std::string(destination.c_str());
}

}  // namespace

TEST(KeyLookup, KeysAndSectionsIgnoreCaseValuesKeepIt)
{
    EXPECT_EQ(Lookup("[ArenaPack]\ntitle=Map Pack\n", "ArenaPack", "Title"), "Map Pack");
    EXPECT_EQ(Lookup("[SETUP]\nCopyright=Me\n", "Setup", "Copyright"), "Me");
    EXPECT_EQ(Lookup("[s]\nfile1=a.txt\n", "S", "FILE1"), "a.txt");
}

TEST(KeyLookup, BlanksAndCommentMarksMoveTheFirstEqualsSign)
{
    EXPECT_EQ(Lookup("[S]\nTitle = Map Pack\n", "S", "Title"), std::nullopt);
    EXPECT_EQ(Lookup("[S]\n Title=Map Pack\n", "S", "Title"), std::nullopt);
    EXPECT_EQ(Lookup("[S]\n;Title=Old\n", "S", "Title"), std::nullopt);
    EXPECT_EQ(Lookup("[S]\n;Title=Old\nTitle=New\n", "S", "Title"), "New");
    // Blanks inside and after the value are the value's own.
    EXPECT_EQ(Lookup("[S]\nTitle=  Map  \n", "S", "Title"), "  Map  ");
}

TEST(KeyLookup, TheKeyTextMustOccurWithItsEqualsSign)
{
    const std::string list = "[S]\nFILE10=ten\nFILE1=one\n";
    EXPECT_EQ(Lookup(list, "S", "FILE1"), "one");
    EXPECT_EQ(Lookup(list, "S", "FILE10"), "ten");
    // AB= occurs, and two characters stand before the first "=".
    EXPECT_EQ(Lookup("[S]\nXY=AB=1\n", "S", "AB"), "AB=1");
    // An empty key matches the first line that begins with "=".
    EXPECT_EQ(Lookup("[S]\nA=1\n=empty key\n", "S", ""), "empty key");
    EXPECT_EQ(Lookup("[S]\nA=1\n", "S", ""), std::nullopt);
}

TEST(KeyLookup, HeaderIsAnyLineThatMentionsTheBracketedName)
{
    EXPECT_EQ(Lookup("; see [Setup] below\nCopyright=early\n[Setup]\nCopyright=late\n", "Setup", "Copyright"),
              "early");
    EXPECT_EQ(Lookup("  x[setup]y  \nA=1\n", "Setup", "A"), "1");
    // A repeated header: the search starts after the first one.
    EXPECT_EQ(Lookup("[S]\nA=first\n[S]\nA=second\n", "S", "A"), "first");
    EXPECT_EQ(Lookup("[T]\nA=1\n", "S", "A"), std::nullopt);
    EXPECT_EQ(Lookup("[]\n=x\n", "", ""), "x");
}

TEST(KeyLookup, SearchRunsOnPastLaterSectionsButNeverBack)
{
    const std::string file = "[Before]\nOnlyBefore=b\n[S]\nA=1\n[After]\nOnlyAfter=a\n";
    EXPECT_EQ(Lookup(file, "S", "OnlyAfter"), "a");
    EXPECT_EQ(Lookup(file, "S", "OnlyBefore"), std::nullopt);
    // The header line itself is never the key's line.
    EXPECT_EQ(Lookup("[S]A=1\n", "S", "A"), std::nullopt);
}

TEST(KeyLookup, LineEndsAndEmptyValues)
{
    EXPECT_EQ(Lookup("[S]\r\nA=1\r\nB=2\r\n", "S", "B"), "2");
    EXPECT_EQ(Lookup("[S]\nA=last", "S", "A"), "last");
    // A CR inside the value costs only the final character.
    EXPECT_EQ(Lookup("[S]\nA=a\rb\n", "S", "A"), "a\rb");
    EXPECT_EQ(Lookup("[S]\nA=a\rb", "S", "A"), "a\r");
    EXPECT_EQ(Lookup("[S]\nA=\n", "S", "A"), std::nullopt);
    EXPECT_EQ(Lookup("[S]\nA=", "S", "A"), std::nullopt);
    // The first key line ends the search even when its value is empty.
    EXPECT_EQ(Lookup("[S]\nA=\nA=later\n", "S", "A"), std::nullopt);
}

TEST(KeyLookup, CtrlZEndsTheFileAndNulEndsTheLineText)
{
    EXPECT_EQ(Lookup("[S]\nA=1\x1a\nB=2\n", "S", "B"), std::nullopt);
    EXPECT_EQ(Lookup("[S]\nA=1\x1a\nB=2\n", "S", "A"), "1");
    // Text after a NUL byte is not part of the value, and has no LF to drop.
    EXPECT_EQ(Lookup(std::string("[S]\nA=ab\0cd\nB=2\n", 16), "S", "A"), "ab");
    EXPECT_EQ(Lookup(std::string("[S]\nB=x\0\nA=1\n", 13), "S", "A"), "1");
    EXPECT_EQ(Lookup(std::string("[S\0]\nA=1\n", 9), "S", "A"), std::nullopt);
}

TEST(KeyLookup, LinesOver2047CharactersArePieces)
{
    // A value that fills the piece: 2045 characters after "A=", with no LF in
    // the piece, so it is taken whole.
    const std::string full(2045, 'v');
    EXPECT_EQ(Lookup("[S]\nA=" + full + "\n", "S", "A"), full);
    const std::string longer(2050, 'v');
    EXPECT_EQ(Lookup("[S]\nA=" + longer + "\n", "S", "A"), std::string(2045, 'v'));
    // The rest of the long line is read as a line of its own.
    EXPECT_EQ(Lookup("[S]\nA=" + std::string(2045, 'v') + "B=tail\n", "S", "B"), "tail");
    // A header beyond the first piece of a line is still found in its piece.
    EXPECT_EQ(Lookup(std::string(2047, ';') + "[S]\nA=1\n", "S", "A"), "1");
}

TEST(KeyLookup, ValuesAreCutToTheDestination)
{
    EXPECT_EQ(Lookup("[S]\nA=abcd\n", "S", "A", 5), "abcd");
    EXPECT_EQ(Lookup("[S]\nA=abcde\n", "S", "A", 5), "abcd");
    EXPECT_EQ(Lookup("[S]\nA=abc\n", "S", "A", 5), "abc");
}

TEST(KeyLookup, NoStreamOrAnOverlongNameFails)
{
    char destination[8] = "same";
    EXPECT_EQ(CSetupInfo::GetValue(nullptr, "S", "A", destination, sizeof destination), nullptr);
    EXPECT_STREQ(destination, "same");
    const std::string hugeName(3000, 'S');
    EXPECT_EQ(Lookup("[S]\nA=1\n", hugeName.c_str(), "A"), std::nullopt);
    EXPECT_EQ(Lookup("[S]\nA=1\n", "S", hugeName.c_str()), std::nullopt);
}
