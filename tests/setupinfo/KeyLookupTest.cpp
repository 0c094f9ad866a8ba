#include <optional>
#include <string>

#include <gtest/gtest.h>

#include "ByteSource.h"
#include "LineIndex.h"
#include "SetupInfo.h"

namespace {

// Looks key up in section of a file of exactly these bytes; nullopt for no
// value, and then the destination must be untouched. Load's index must agree.
std::optional<std::string> Lookup(const std::string& bytes, const std::string& section, const std::string& key,
                                  size_t size = kLineSize)
{
    CMemorySource source(bytes.data(), bytes.size());
    CTextReader reader(source);
    std::string destination(size, '#');
    char* result = CSetupInfo::GetValue(&reader, section.c_str(), key.c_str(), destination.data(), size);
    CLineIndex index;
    std::string indexed(size, '#');
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
    const std::string longLine(2045, 'v');
    const struct {
        std::string file, section, key;
        std::optional<std::string> value;
    } cases[] = {
        // Keys and sections ignore case, values keep theirs.
        {"[ArenaPack]\ntitle=Map Pack\n", "ArenaPack", "Title", "Map Pack"},
        {"[SETUP]\nCopyright=Me\n", "Setup", "Copyright", "Me"},
        // Blanks and comment marks move the first "="; blanks in the value stay.
        {"[S]\nTitle = Map Pack\n", "S", "Title", kNone}, {"[S]\n Title=Map Pack\n", "S", "Title", kNone},
        {"[S]\n;Title=Old\nTitle=New\n", "S", "Title", "New"}, {"[S]\nTitle=  Map  \n", "S", "Title", "  Map  "},
        // The key text with its "=", two characters before the first "=".
        {"[S]\nFILE10=ten\nFILE1=one\n", "S", "FILE1", "one"}, {"[S]\nFILE10=ten\nFILE1=one\n", "S", "FILE10", "ten"},
        {"[S]\nXY=AB=1\n", "S", "AB", "AB=1"}, {"[S]\nA=1\n=empty key\n", "S", "", "empty key"},
        {"[S]\nA=1\n", "S", "", kNone},
        // A header is any line mentioning [name]; the search starts after the first.
        {"; see [Setup] below\nCopyright=early\n[Setup]\nCopyright=late\n", "Setup", "Copyright", "early"},
        {"  x[setup]y  \nA=1\n", "Setup", "A", "1"}, {"[S]\nA=first\n[S]\nA=second\n", "S", "A", "first"},
        {"[T]\nA=1\n", "S", "A", kNone}, {"[]\n=x\n", "", "", "x"},
        // On past later sections, never back, never the header line itself.
        {"[B]\nOnlyBefore=b\n[S]\nA=1\n[After]\nOnlyAfter=a\n", "S", "OnlyAfter", "a"},
        {"[B]\nOnlyBefore=b\n[S]\nA=1\n[After]\nOnlyAfter=a\n", "S", "OnlyBefore", kNone},
        {"[S]A=1\n", "S", "A", kNone},
        // Line ends: CR LF, none at the end, a lone CR costs only the last character.
        {"[S]\r\nA=1\r\nB=2\r\n", "S", "B", "2"}, {"[S]\nA=last", "S", "A", "last"},
        {"[S]\nA=a\rb\n", "S", "A", "a\rb"}, {"[S]\nA=a\rb", "S", "A", "a\r"},
        {"[S]\nA=\nA=later\n", "S", "A", kNone},  // the first key line ends the search
        {"[S]\nA=", "S", "A", kNone},
        // Ctrl-Z ends the file, NUL the line's text.
        {"[S]\nA=1\x1a\nB=2\n", "S", "B", kNone}, {"[S]\nA=1\x1a\nB=2\n", "S", "A", "1"},
        {std::string("[S]\nA=ab\0cd\nB=2\n", 16), "S", "A", "ab"},
        {std::string("[S]\nB=x\0\nA=1\n", 13), "S", "A", "1"}, {std::string("[S\0]\nA=1\n", 9), "S", "A", kNone},
        // Lines over 2047 characters are pieces of their own.
        {"[S]\nA=" + longLine + "\n", "S", "A", longLine}, {"[S]\nA=" + longLine + "vvvvv\n", "S", "A", longLine},
        {"[S]\nA=" + longLine + "B=tail\n", "S", "B", "tail"}, {std::string(2047, ';') + "[S]\nA=1\n", "S", "A", "1"},
        // Over-long names find nothing.
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
