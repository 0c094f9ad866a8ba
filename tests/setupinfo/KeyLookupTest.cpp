// The key lookup's rules, each shown by GetValue rescanning the file and by the line index Load uses,
// both reading through the text-mode reader.
#include <optional>
#include <string>

#include <gtest/gtest.h>

#include "ByteSource.h"
#include "LineIndex.h"
#include "SetupInfo.h"

namespace {

// Looks key up in section of a file of exactly these bytes; nullopt for no
// value, and then the destination must be untouched. The index must agree.
std::optional<std::string> Lookup(const std::string& bytes, const std::string& section, const std::string& key,
                                  size_t size = 4096)
{
    CMemorySource source(bytes.data(), bytes.size());
    CTextReader reader(source);
    std::string destination(size, '#'), indexed(size, '#');
    char* result = CSetupInfo::GetValue(&reader, section.c_str(), key.c_str(), destination.data(), size);
    CLineIndex index;
    EXPECT_TRUE(reader.Rewind() && index.Read(reader));
    EXPECT_EQ(index.Find(section.c_str(), key.c_str(), indexed.data(), size) != nullptr, result != nullptr);
    EXPECT_EQ(indexed, destination);
    if (!result) {
        EXPECT_EQ(destination, std::string(size, '#'));
        return std::nullopt;
    }
    EXPECT_EQ(result, destination.data());
    return std::string(destination.c_str());
}

const std::optional<std::string> kNone;

}  // namespace

TEST(KeyLookup, TheLineRules)
{
    const std::string v2044(2044, 'v'), v2045(2045, 'v');
    const std::string pad = "[S]\n" + std::string(2000, ';') + "\n" + std::string(2000, ';') + "\n";  // 4006 bytes
    const struct {
        std::string file, section, key;
        std::optional<std::string> value;
    } cases[] = {
        // Keys and sections ignore the case of every ASCII letter, values keep theirs.
        {"[ArenaPack]\ntitle=Map Pack\n", "ArenaPack", "Title", "Map Pack"},
        {"[SETUP]\nCopyright=Me\n", "Setup", "Copyright", "Me"},
        {"[xyzXYZ]\nkeyz=zZ\n", "XYZxyz", "KEYZ", "zZ"}, {"[S]\nkeyZ=1\n", "S", "keyz", "1"},
        {"[\xe4]\nA=1\n", "\xc4", "A", kNone}, {"[S]\n\xe4=1\n", "S", "\xc4", kNone},
        // Blanks and comment marks move the first "="; blanks in the value stay.
        {"[S]\nTitle = Map Pack\n", "S", "Title", kNone}, {"[S]\n Title=Map Pack\n", "S", "Title", kNone},
        {"[S]\n;Title=Old\nTitle=New\n", "S", "Title", "New"}, {"[S]\nTitle=  Map  \n", "S", "Title", "  Map  "},
        // The key text with its "=", where the first "=" stands right after as many characters as the key has.
        {"[S]\nFILE10=ten\nFILE1=one\n", "S", "FILE1", "one"}, {"[S]\nFILE10=ten\nFILE1=one\n", "S", "FILE10", "ten"},
        {"[S]\nXY=AB=1\n", "S", "AB", "AB=1"}, {"[S]\nXYZ=AB=1\nAB=2\n", "S", "AB", "2"},
        {"[S]\nXYZ=A=B=v\n", "S", "A=B", "A=B=v"}, {"[S]\nA=B=v\n", "S", "A=B", kNone},
        {"[S]\nA=1\n=empty key\n", "S", "", "empty key"}, {"[S]\nA=1\n", "S", "", kNone},
        // A header is any line mentioning [name]; the search starts after the first.
        {"; see [Setup] below\nCopyright=early\n[Setup]\nCopyright=late\n", "Setup", "Copyright", "early"},
        {"  x[setup]y  \nA=1\n", "Setup", "A", "1"}, {"[S]\nA=first\n[S]\nA=second\n", "S", "A", "first"},
        {"[T]\nA=1\n", "S", "A", kNone}, {"[]\n=x\n", "", "", "x"}, {"[S]\nA=[T]\n[T]\nB=2\n", "T", "B", "2"},
        // On past later sections, never back, never the header line itself.
        {"[B]\nOnlyBefore=b\n[S]\nA=1\n[After]\nOnlyAfter=a\n", "S", "OnlyAfter", "a"},
        {"[B]\nOnlyBefore=b\n[S]\nA=1\n[After]\nOnlyAfter=a\n", "S", "OnlyBefore", kNone},
        {"[S]A=1\n", "S", "A", kNone},
        // Line ends: CR LF, none at the end, a lone CR costs only the last character.
        {"[S]\r\nA=1\r\nB=2\r\n", "S", "B", "2"}, {"[S]\nA=last", "S", "A", "last"},
        {"[S]\nA=a\rb\n", "S", "A", "a\rb"}, {"[S]\nA=a\rb", "S", "A", "a\r"}, {"[S]\nA=x\r\r\n", "S", "A", "x\r"},
        {"[S]\nA=\nA=later\n", "S", "A", kNone},  // the first key line ends the search
        {"[S]\nA=", "S", "A", kNone},
        {pad + "A=" + std::string(87, 'v') + "\r\nB=2\n", "S", "A", std::string(87, 'v')},  // CR LF across the reader's fill
        // Ctrl-Z ends the file, NUL the line's text.
        {"[S]\nA=1\x1a\nB=2\n", "S", "B", kNone}, {"[S]\nA=1\x1a\nB=2\n", "S", "A", "1"}, {"[S]\nA=x\r\x1a\n", "S", "A", "x"},
        {std::string("[S]\nA=ab\0cd\nB=2\n", 16), "S", "A", "ab"},
        {std::string("[S]\nB=x\0\nA=1\n", 13), "S", "A", "1"}, {std::string("[S\0]\nA=1\n", 9), "S", "A", kNone},
        // A read takes 2047 characters: a line of 2046, 2047 or 2048 characters before its LF.
        {"[S]\nA=" + v2044 + "\n", "S", "A", v2044}, {"[S]\nA=" + v2045 + "\n", "S", "A", v2045},
        {"[S]\nA=" + v2045 + "v\n", "S", "A", v2045},
        // What follows the first 2047 characters is read as a line of its own.
        {"[S]\nA=" + v2045 + "B=tail\n", "S", "B", "tail"}, {"[S]\nA=" + v2044 + "B=tail\n", "S", "B", kNone},
        {std::string(2047, ';') + "[S]\nA=1\n", "S", "A", "1"}, {std::string(2046, ';') + "[S]\nA=1\n", "S", "A", kNone},
        // Names that cannot fit a line find nothing.
        {"[S]\nA=1\n", std::string(3000, 'S'), "A", kNone}, {"[S]\nA=1\n", "S", std::string(3000, 'A'), kNone},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Lookup(c.file, c.section, c.key), c.value) << c.file.substr(0, 60) << " [" << c.section << "] "
                                                             << c.key.substr(0, 20);

    // Cut to the destination: N-1, N, N+1 characters in 5.
    for (const char* value : {"abc", "abcd", "abcde"})
        EXPECT_EQ(Lookup(std::string("[S]\nA=") + value + "\n", "S", "A", 5), std::string(value).substr(0, 4));
    char destination[8] = "same";
    EXPECT_EQ(CSetupInfo::GetValue(nullptr, "S", "A", destination, sizeof destination), nullptr);
    EXPECT_STREQ(destination, "same");
}
