// Windows' reading of path text, row by row against what Windows does: "." and
// ".." as GetFullPathName resolves them, the reserved device names, code page
// 1252 as Windows converts it, the characters of the double-byte code pages,
// letter case as Windows compares file names, and on POSIX the lookup of a
// name on disk whatever its case.
#include <cstring>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#endif

#include "platform/NativePath.h"
#include "support/TempDir.h"
#include "windowsnames/WindowsNames.h"

using namespace CodePages;
using namespace WindowsNames;

namespace {

// The text converted into an out buffer of exactly size bytes.
std::string Convert(bool (*convert)(const char*, char*, size_t), const std::string& text, size_t size = 1024)
{
    std::vector<char> out(size);
    return convert(text.c_str(), out.data(), size) ? std::string(out.data()) : "(refused)";
}

}  // namespace

TEST(WindowsNames, DotsResolveAsGetFullPathNameResolvesThemAndNeverAboveARoot)
{
    const std::vector<std::pair<const char*, const char*>> rows = {
        {"C:\\..\\x", "C:\\x"},
        {"C:\\a\\..\\..\\x", "C:\\x"},
        {"C:\\a\\..", "C:\\"},
        {"C:\\.", "C:\\"},
        {"C:/", "C:\\"},
        {"C:", "C:"},
        {"\\..\\x", "\\x"},
        {"\\a\\..\\..", "\\"},
        {"..\\x", "..\\x"},
        {"a\\..\\..\\x", "..\\x"},
        {"..\\..\\x\\..", "..\\.."},
        {"a\\.\\b\\\\c", "a\\b\\c"},
        {"a/b//c/", "a\\b\\c\\"},
        {"a\\b\\..\\", "a\\"},
        {"a\\b\\.", "a\\b"},
        {"a\\..", "."},
        {".\\", ".\\"},
        {"", ""},
    };
    for (const auto& [path, normal] : rows)
        EXPECT_EQ(Convert(NormalisePath, path), normal) << path;
    // "a\b\" takes 5 bytes with its NUL.
    EXPECT_EQ(Convert(NormalisePath, "a/b/", 5), "a\\b\\");
    EXPECT_EQ(Convert(NormalisePath, "a/b/", 4), "(refused)");
}

TEST(WindowsNames, TheReservedDeviceNamesInEveryFormAndNoOtherName)
{
    // In any case, before an extension, with blanks before the dot or the end.
    for (const char* name : {"CON", "prn", "Aux", "nUL", "COM1", "com9", "LPT1", "lpt9", "nul.txt", "NUL.tar.gz",
                             "CON .txt", "COM1  ", "lpt5.", "aux..x", "COM\xB9", "lpt\xB3.txt", "Com\xB2"})
        EXPECT_TRUE(IsDeviceName(name, strlen(name))) << name;
    // COM0 and LPT0, listed in Windows' naming rules too, Wine opens as files.
    for (const char* name :
         {"COM0", "LPT0", "LPT:", "COM10", "LPT10", "CONX", "xNUL", "NULL", " NUL", "nul_x", ".nul", "COM", "NU", ""})
        EXPECT_FALSE(IsDeviceName(name, strlen(name))) << name;

#ifndef _WIN32
    ASSERT_TRUE(SetCodePage(1251));  // where 0xB9 is the numero sign, not a superscript one
    EXPECT_FALSE(IsDeviceName("COM\xB9", 4));
    SetCodePage(kDefaultCodePage);
#endif
    const std::vector<std::pair<const char*, bool>> paths = {
        {"CON\\x", true}, {"a/b\\lpt1.txt", true}, {"C:\\aux\\", true}, {"a\\NULL\\COM10", false}, {"C:\\", false}};
    for (const auto& [path, device] : paths)
        EXPECT_EQ(HasDeviceName(path), device) << path;
}

// The conversions' own rules (each character of every code page is held against Windows' by
// tests/codepages/compare-tables.sh): a character 1252 cannot write, what is no UTF-8, and the buffer's end.
TEST(WindowsNames, Utf8IsReadStrictlyAndEveryConversionStopsAtItsBuffer)
{
    // Characters 1252 cannot write (U+0080, ā, U+20AD), then what is no UTF-8:
    // U+007F, "ä" and "A" written too long, a surrogate, cut short, a stray continuation.
    for (const char* text : {"\xC2\x80", "\xC4\x81", "\xE2\x82\xAD", "\xC1\xBF", "\xE0\x83\xA4", "\xF0\x80\x81\x81",
                             "\xED\xA0\x80", "a\xC3", "\xE2\x82", "\xC3x", "\x80", "\xFF"})
        EXPECT_EQ(Convert(Utf8ToAnsi, text), "(refused)") << text;

    // "a", "ä" and "€": 1 + 2 + 3 bytes of UTF-8, 3 in 1252, and the NUL.
    for (size_t size : {6, 7, 8})
        EXPECT_EQ(Convert(AnsiToUtf8, "a\xE4\x80", size), size < 7 ? "(refused)" : "a\xC3\xA4\xE2\x82\xAC") << size;
    for (size_t size : {3, 4, 5})
        EXPECT_EQ(Convert(Utf8ToAnsi, "a\xC3\xA4\xE2\x82\xAC", size), size < 4 ? "(refused)" : "a\xE4\x80") << size;
}

TEST(WindowsNames, LetterCaseIsIgnoredForTheLettersWindowsPairs)
{
    // A-Z, À-Ö, Ø-Þ, Š, Œ, Ž and Ÿ fold; ß, ×, ÷, µ and every other byte stay.
    std::string all;
    for (int b = 1; b < 0x100; ++b)
        all += static_cast<char>(b);
    std::string folded = all, text = all;
    const int pairs[][3] = {{'A', 'Z', 'a'},    {0xC0, 0xD6, 0xE0}, {0xD8, 0xDE, 0xF8}, {0x8A, 0x8A, 0x9A},
                            {0x8C, 0x8C, 0x9C}, {0x8E, 0x8E, 0x9E}, {0x9F, 0x9F, 0xFF}};
    for (const auto& pair : pairs)
        for (int b = pair[0]; b <= pair[1]; ++b)
            folded[b - 1] = static_cast<char>(pair[2] + b - pair[0]);
    FoldAnsiCase(&text[0]);
    EXPECT_EQ(text, folded);

    // Names on disk are UTF-8: two 1252 characters match when they fold alike.
    std::vector<std::string> utf8;
    for (char c : all)
        utf8.push_back(Convert(AnsiToUtf8, std::string(1, c)));
    for (size_t i = 0; i < all.size(); ++i)
        for (size_t j = 0; j < all.size(); ++j)
            if ((FoldedUtf8Name(utf8[i].data(), utf8[i].size()) == FoldedUtf8Name(utf8[j].data(), utf8[j].size())) !=
                (folded[i] == folded[j]))
                ADD_FAILURE() << i + 1 << " and " << j + 1;

    // Ƒ, which 1252 cannot write, is ƒ's capital; σ is Σ's. Not µ and Μ, ı and
    // I (1254), ς and Σ (1253), ß and ẞ, k and the Kelvin sign, as Windows
    // keeps them apart. Bytes that are no UTF-8 match only themselves, and no
    // byte past a name's length counts.
    const std::vector<std::tuple<std::string, std::string, bool>> rows = {
        {"\xC6\x91", "\xC6\x92", true}, {"\xC4x", "\xC4X", true},       {"\xC2\xB5", "\xCE\x9C", false},
        {"k", "\xE2\x84\xAA", false},   {"\xC4x", "\xE4x", false},      {"\xC3\x9F", "\xE1\xBA\x9E", false},
        {"\xC4\xB1", "I", false},       {"\xCF\x83", "\xCE\xA3", true}, {"\xCF\x82", "\xCE\xA3", false}};
    for (const auto& [a, b, same] : rows)
        EXPECT_EQ((FoldedUtf8Name(a.data(), a.size()) == FoldedUtf8Name(b.data(), b.size())), same) << a << " " << b;
    EXPECT_TRUE((FoldedUtf8Name("\xC3\x84", 1) == FoldedUtf8Name("\xC3\xA4", 1)));
}

TEST(CodePageCharacters, TheLeadBytesOfEachDoubleByteCodePageAtTheEdgesOfTheirRanges)
{
    const std::vector<std::tuple<int, std::vector<int>, std::vector<int>>> edges = {
        {932, {0x81, 0x9F, 0xE0, 0xFC}, {0x40, 0x7F, 0x80, 0xA0, 0xDF, 0xFD, 0xFF}},
        {936, {0x81, 0xFE}, {0x5C, 0x80, 0xFF}},
        {949, {0x81, 0xFE}, {0x80, 0xFF}},
        {950, {0x81, 0xFE}, {0x80, 0xFF}},
        {1252, {}, {0x81, 0xFE}}};
    for (const auto& [codePage, leads, others] : edges) {
        for (int byte : leads)
            EXPECT_TRUE(IsLeadByteOf(codePage, static_cast<unsigned char>(byte))) << codePage << " " << byte;
        for (int byte : others)
            EXPECT_FALSE(IsLeadByteOf(codePage, static_cast<unsigned char>(byte))) << codePage << " " << byte;
#ifdef _WIN32
        // The table the POSIX build reads by is the system's own.
        for (int byte = 0; byte < 256; ++byte)
            EXPECT_EQ(IsLeadByteOf(codePage, static_cast<unsigned char>(byte)),
                      IsDBCSLeadByteEx(static_cast<UINT>(codePage), static_cast<BYTE>(byte)) != FALSE)
                << codePage << " " << byte;
#endif
    }
}

// In 932, 表 is 95 5C, ソ 83 5C, ア 83 41, ヂ 83 61, full-width A and a 82 60 and 82 81.
TEST(CodePageCharacters, InADoubleByteCodePageALeadByteTakesTheNextByteWithIt)
{
    CCodePage japanese(932);
    ASSERT_TRUE(japanese.m_set);
    // The second byte at the edges of 932's ranges (40-7E, 80-FC), half a character, a single byte.
    for (const auto& [text, valid] : std::vector<std::pair<const char*, bool>>{{"\x81\x3F", false},
                                                                               {"\x81\x40", true},
                                                                               {"\x81\x7E", true},
                                                                               {"\x81\x7F", false},
                                                                               {"\x81\x80", true},
                                                                               {"\x81\xFC", true},
                                                                               {"\x81\xFD", false},
                                                                               {"a\x81", false},
                                                                               {"\x95\x5C\x81", false},
                                                                               {"\xA1\x5C", true}}) {
        EXPECT_EQ(IsCodePageText(text), valid) << text;
        EXPECT_EQ(Convert(AnsiToUtf8, text) != "(refused)", valid) << text;
    }
    EXPECT_TRUE(EndsInHalfCharacter("\x95\x5C\x81") && !EndsInHalfCharacter("\x81\x5C") && !EndsInHalfCharacter(""));
    EXPECT_EQ(CharacterLength("\x81\x5C") * 10 + CharacterLength("\x81") + CharacterLength("\x5C"), 22u);
    // A cut keeps whole characters only: 3 bytes of "ab表" and of "表表" keep "ab" and "表".
    EXPECT_EQ(WholeCharacters("ab\x95\x5C", 4, 3) * 10 + WholeCharacters("\x95\x5C\x95\x5C", 4, 3), 22u);
    EXPECT_EQ(WholeCharacters("ab\x95\x5C", 4, 4), 4u);

    EXPECT_EQ(Convert(AnsiToUtf8, "data\\\x95\x5C\x83\x41\x82\x60"), u8"data\\表アＡ");
    EXPECT_EQ(Convert(Utf8ToAnsi, u8"data\\表アＡ"), "data\\\x95\x5C\x83\x41\x82\x60");
    EXPECT_EQ(Convert(Utf8ToAnsi, u8"\u20AC"), "(refused)");
    std::string folded = "A\x83\x41\x82\x60";
    FoldAnsiCase(&folded[0]);
    EXPECT_EQ(folded, "a\x83\x41\x82\x81");  // A and full-width A fold, ア stays
    EXPECT_TRUE((FoldedUtf8Name(u8"Ａ", 3) == FoldedUtf8Name(u8"ａ", 3)));

    // Only a backslash of its own separates: a second byte 5C neither ends a level nor is taken away.
    const std::vector<std::pair<const char*, const char*>> paths = {{"a\\\x95\x5C\\..\\\x83\x5C\\", "a\\\x83\x5C\\"},
                                                                    {"\x95\x5C\\..", "."},
                                                                    {"\x95\x5C/.", "\x95\x5C"},
                                                                    {"C:\\\x95\x5C\\\\x", "C:\\\x95\x5C\\x"},
                                                                    {"\x95\x5C\\", "\x95\x5C\\"}};
    for (const auto& [path, normal] : paths)
        EXPECT_EQ(Convert(NormalisePath, path), normal) << path;
    EXPECT_FALSE(HasDeviceName("data\\\x95\x5CNUL") || IsDeviceName("COM\x82\x50", 5));  // 表NUL, COM and full-width 1
    EXPECT_TRUE(EndsWithBackslash("a\\") && !EndsWithBackslash("\x95\x5C") && !EndsWithBackslash(""));
    EXPECT_EQ(FindLastCharacter("a\\\x95\x5C"
                                "b",
                                '\\') -
                  FindCharacter("a\\\x95\x5C"
                                "b",
                                '\\'),
              0);
    {
        CCodePage western(1252);  // the same bytes as single characters: 5C separates
        EXPECT_TRUE(HasDeviceName("data\\\x95\x5CNUL") && !EndsWithBackslash("a\x81") && EndsWithBackslash("\x95\x5C"));
    }
}

#ifndef _WIN32
TEST(NativePath, ANameIsFoundWhateverItsCaseExactlyFirstAndNeverAmongTwo)
{
    CTempDir dir;
    for (const char* name : {"Map", "MAP", "Data\\\xC3\x84rena", "Data\\\xC5\xA0", "Data\\\xC5\x93", "Data\\\xC5\xB8",
                             "Data\\maps\\a", "Data\\Maps\\a"})
        dir.Write(name, "");
    // Asked in 1252; found on disk (nullptr: refused), and whether in another case.
    for (const auto& [asked, found, caseDiffers] : std::vector<std::tuple<const char*, const char*, bool>>{
             {"Map", "Map", false},
             {"MAP", "MAP", false},
             {"map", nullptr, false},
             {"DATA\\\xE4RENA", "Data/\xC3\x84rena", true},   // ä finds Ä
             {"data\\\x9A", "Data/\xC5\xA0", true},           // š, Š
             {"data\\\x8C", "Data/\xC5\x93", true},           // Œ, œ
             {"data\\\xFF", "Data/\xC5\xB8", true},           // ÿ, Ÿ
             {"data\\N\xE9u\\x", "Data/N\xC3\xA9u/x", true},  // missing levels as they are written
             {"x\\..\\Map", "Map", false},
             {"Data\\nul.txt", nullptr, false},
             // Two spellings of a level whose parent is not found as written: the exact one, or neither.
             {"data\\Maps\\a", "Data/Maps/a", true},
             {"data\\MAPS\\a", nullptr, true}}) {
        const CNativePath native((dir.Path() + "\\" + asked).c_str());
        EXPECT_EQ(native.IsValid() ? native.Get() : "", found ? (dir.Native() / found).string() : "") << asked;
        EXPECT_EQ(native.CaseDiffers(), caseDiffers) << asked;
    }

    // The names the system gives back, in 1252 or not at all.
    char path[8];
    EXPECT_TRUE(FromNativePath("/\xC3\x84/\xE2\x82\xAC/ab", path, sizeof path));
    EXPECT_STREQ(path, "\\\xC4\\\x80\\ab");
    for (const char* native : {"/\xC4\x81", "/\xFF", "/\xC3\x84/\xE2\x82\xAC/abc"})  // ā, no UTF-8, a byte too long
        EXPECT_FALSE(FromNativePath(native, path, sizeof path)) << native;
}
#endif
