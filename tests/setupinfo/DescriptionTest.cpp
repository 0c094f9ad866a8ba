// The description reader: the ASCII case rules and atoi under it; the key lookup's rules, shown by GetValue
// and by the line index Load uses, through the text-mode reader; Load from memory with missing files and
// keys, Count, the FILE fields and each field's limit. (kivcheck's JSON pins the worked example from disk.)
#include <climits>
#include <deque>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "setupinfo/ByteSource.h"
#include "support/KeyLookup.h"
#include "setupinfo/LineIndex.h"
#include "setupinfo/SetupInfo.h"
#include "support/TempDir.h"
#include "codepages/CodePages.h"
#include "text/Text.h"

namespace {

// Looks key up in section of a file of exactly these bytes; nullopt for no value, and then the destination
// must be untouched. The index must agree.
std::optional<std::string> Lookup(const std::string& bytes, const std::string& section, const std::string& key,
                                  size_t size = 4096)
{
    CMemorySource source(bytes.data(), bytes.size());
    CTextReader reader(source);
    std::string destination(size, '#'), indexed(size, '#');
    char* result = GetValue(&reader, section.c_str(), key.c_str(), destination.data(), size);
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

// Description files held in memory, opened by name.
struct CMemorySources final : ISetupSources {
    IByteSource* Open(const char* path) override
    {
        auto it = files.find(path);
        return it == files.end() ? nullptr : &sources.emplace_back(it->second.data(), it->second.size());
    }
    void CloseAll() override {}
    std::map<std::string, std::string> files;
    std::deque<CMemorySource> sources;  // stable addresses
};

using Names = std::vector<std::string>;

const char kSetup[] =
    "[Setup]\nDEFAULTINSTALL=Standard\nStandard=ArenaPack\nCopyright=Sample notice text\n\n"
    "[ArenaPack]\nTitle=Arena Map Pack\nInstallText=Choose the directory of the game\nDefaultDir=C:\\Games\\Arena\n";
const char kList[] =
    "[ArenaPack]\nCount=3\nFILE1=data\\arena1.map;$setupdir\\maps\\;C;1\n"
    "FILE2=data\\arena2.map;$setupdir\\maps\\;C;2\nFILE3=readme.txt;$setupdir;E;0\n";
// What Load left: the path and the texts, Count, then each entry as "source|fileName|dest|action|number".
Names Loaded(const CSetupInfo& info)
{
    Names fields = {info.m_szSetupPath, info.m_szDefaultInstall, info.m_szSection,    info.m_szCopyright,
                    info.m_szTitle,     info.m_szInstallText,    info.m_szDefaultDir, std::to_string(info.m_nCount)};
    for (size_t i = 0; i < info.m_files.GetSize(); ++i) {
        const FileEntry& f = info.m_files[i];
        fields.push_back(std::string(f.szSource) + "|" + f.szFileName + "|" + f.szDest + "|" + f.szAction + "|" +
                         std::to_string(f.nNumber));
    }
    return fields;
}

Names Load(CSetupInfo& info, const std::string& setup, const std::string& list, const std::string& path = "setup.inf")
{
    CMemorySources sources;
    sources.files = {{path, setup}, {"list.inf", list}};
    EXPECT_EQ(info.Load(path.c_str(), "list.inf", sources), info.m_szSetupPath);
    return Loaded(info);
}

// The entries a list section yields under the worked example's setup.inf.
Names ListEntries(const std::string& listBody)
{
    CSetupInfo info;
    const Names fields = Load(info, kSetup, "[ArenaPack]\n" + listBody);
    return Names(fields.begin() + 8, fields.end());
}

}  // namespace

TEST(TextBuffer, CaseChangesTouchEveryAsciiLetterAndNoOtherByte)
{
    const std::string lower = "abcdefghijklmnopqrstuvwxyz", upper = "ABCDEFGHIJKLMNOPQRSTUVWXYZ";
    std::string all, upperAll, lowerAll;  // every byte but NUL, and what each case change makes of it
    for (int byte = 1; byte < 256; ++byte) {
        const char c = static_cast<char>(byte);
        all += c;
        upperAll += lower.find(c) != std::string::npos ? upper[lower.find(c)] : c;
        lowerAll += upper.find(c) != std::string::npos ? lower[upper.find(c)] : c;
    }
    std::string text = all;
    CodePages::UpperCaseAscii(text.data());
    EXPECT_EQ(text, upperAll);
    text = all;
    CodePages::LowerCaseAscii(text.data());
    EXPECT_EQ(text, lowerAll);
    EXPECT_TRUE(CodePages::EqualsNoCase(lower.c_str(), upper.c_str()) &&
                CodePages::EqualsNoCase("$SetupDir", "$SETUPDIR"));
    EXPECT_FALSE(CodePages::EqualsNoCase("C", "Copy") || CodePages::EqualsNoCase("Copy", "C") ||
                 CodePages::EqualsNoCase("\xe4", "\xc4"));
}

TEST(TextBuffer, AtoiSaturatingConvertsLikeAtoiAndNeverOverflows)
{
    const std::pair<const char*, int> cases[] = {{"", 0},
                                                 {"none", 0},
                                                 {" \t3", 3},
                                                 {"3 files", 3},
                                                 {"-1", -1},
                                                 {"+12", 12},
                                                 {"- 1", 0},
                                                 {"2147483647", INT_MAX},
                                                 {"2147483648", INT_MAX},
                                                 {"99999999999999999999999", INT_MAX},
                                                 {"-2147483648", INT_MIN},
                                                 {"-2147483649", INT_MIN}};
    for (const auto& [text, value] : cases)
        EXPECT_EQ(AtoiSaturating(text), value) << text;
}

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
        {"[xyzXYZ]\nkeyz=zZ\n", "XYZxyz", "KEYZ", "zZ"},
        {"[S]\nkeyZ=1\n", "S", "keyz", "1"},
        {"[\xe4]\nA=1\n", "\xc4", "A", kNone},
        {"[S]\n\xe4=1\n", "S", "\xc4", kNone},
        // Blanks and comment marks move the first "="; blanks in the value stay.
        {"[S]\nTitle = Map Pack\n", "S", "Title", kNone},
        {"[S]\n Title=Map Pack\n", "S", "Title", kNone},
        {"[S]\n;Title=Old\nTitle=New\n", "S", "Title", "New"},
        {"[S]\nTitle=  Map  \n", "S", "Title", "  Map  "},
        // The key text with its "=", where the first "=" stands right after as many characters as the key has.
        {"[S]\nFILE10=ten\nFILE1=one\n", "S", "FILE1", "one"},
        {"[S]\nFILE10=ten\nFILE1=one\n", "S", "FILE10", "ten"},
        {"[S]\nXY=AB=1\n", "S", "AB", "AB=1"},
        {"[S]\nXYZ=AB=1\nAB=2\n", "S", "AB", "2"},
        {"[S]\nXYZ=A=B=v\n", "S", "A=B", "A=B=v"},
        {"[S]\nA=B=v\n", "S", "A=B", kNone},
        {"[S]\nA=1\n=empty key\n", "S", "", "empty key"},
        {"[S]\nA=1\n", "S", "", kNone},
        // A header is any line mentioning [name]; the search starts after the first.
        {"; see [Setup] below\nCopyright=early\n[Setup]\nCopyright=late\n", "Setup", "Copyright", "early"},
        {"  x[setup]y  \nA=1\n", "Setup", "A", "1"},
        {"[S]\nA=first\n[S]\nA=second\n", "S", "A", "first"},
        {"[T]\nA=1\n", "S", "A", kNone},
        {"[]\n=x\n", "", "", "x"},
        {"[S]\nA=[T]\n[T]\nB=2\n", "T", "B", "2"},
        // On past later sections, never back, never the header line itself.
        {"[B]\nOnlyBefore=b\n[S]\nA=1\n[After]\nOnlyAfter=a\n", "S", "OnlyAfter", "a"},
        {"[B]\nOnlyBefore=b\n[S]\nA=1\n[After]\nOnlyAfter=a\n", "S", "OnlyBefore", kNone},
        {"Copyright=[Setup]\n", "Setup", "Copyright", kNone},
        {"A=[S]\nA=2\n", "S", "A", "2"},
        // Line ends: CR LF, none at the end, a lone CR costs only the last character.
        {"[S]\r\nA=1\r\nB=2\r\n", "S", "B", "2"},
        {"[S]\nA=last", "S", "A", "last"},
        {"[S]\nA=a\rb\n", "S", "A", "a\rb"},
        {"[S]\nA=a\rb", "S", "A", "a\r"},
        {"[S]\nA=x\r\r\n", "S", "A", "x\r"},
        {"[S]\nA=\nA=later\n", "S", "A", kNone},  // the first key line ends the search
        {"[S]\nA=", "S", "A", kNone},
        {pad + "A=" + std::string(87, 'v') + "\r\nB=2\n", "S", "A",
         std::string(87, 'v')},  // CR LF across the reader's fill
        // Ctrl-Z ends the file, NUL the line's text.
        {"[S]\nA=1\x1a\nB=2\n", "S", "B", kNone},
        {"[S]\nA=1\x1a\nB=2\n", "S", "A", "1"},
        {"[S]\nA=x\r\x1a\n", "S", "A", "x"},
        {std::string("[S]\nA=ab\0cd\nB=2\n", 16), "S", "A", "ab"},
        {std::string("[S]\nB=x\0\nA=1\n", 13), "S", "A", "1"},
        {std::string("[S\0]\nA=1\n", 9), "S", "A", kNone},
        // A read takes 2047 characters: a line of 2046, 2047 or 2048 characters before its LF.
        {"[S]\nA=" + v2044 + "\n", "S", "A", v2044},
        {"[S]\nA=" + v2045 + "\n", "S", "A", v2045},
        {"[S]\nA=" + v2045 + "v\n", "S", "A", v2045},
        // What follows the first 2047 characters is read as a line of its own.
        {"[S]\nA=" + v2045 + "B=tail\n", "S", "B", "tail"},
        {"[S]\nA=" + v2044 + "B=tail\n", "S", "B", kNone},
        {std::string(2047, ';') + "[S]\nA=1\n", "S", "A", "1"},
        {std::string(2046, ';') + "[S]\nA=1\n", "S", "A", kNone},
        // Names that cannot fit a line find nothing.
        {"[S]\nA=1\n", std::string(3000, 'S'), "A", kNone},
        {"[S]\nA=1\n", "S", std::string(3000, 'A'), kNone},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Lookup(c.file, c.section, c.key), c.value)
            << c.file.substr(0, 60) << " [" << c.section << "] " << c.key.substr(0, 20);

    // Cut to the destination: N-1, N, N+1 characters in 5.
    for (const char* value : {"abc", "abcd", "abcde"})
        EXPECT_EQ(Lookup(std::string("[S]\nA=") + value + "\n", "S", "A", 5), std::string(value).substr(0, 4));
    char destination[8] = "same";
    EXPECT_EQ(GetValue(nullptr, "S", "A", destination, sizeof destination), nullptr);
    EXPECT_STREQ(destination, "same");
}

// In 932, 表 is 95 5C, ア 83 41 and ヂ 83 61: their second bytes are no backslash and no letter.
TEST(KeyLookup, InADoubleByteCodePageTheRulesReadCharacters)
{
    CCodePage japanese(932);
    ASSERT_TRUE(japanese.m_set);
    const struct {
        std::string file, section, key;
        std::optional<std::string> value;
    } cases[] = {
        {"[\x83\x41]\nA=1\n", "\x83\x61", "A", kNone},
        {"[S]\n\x83\x41=1\n", "S", "\x83\x61", kNone},
        {"[\x83\x41X]\n\x83\x41x=1\n", "\x83\x41x", "\x83\x41X", "1"},
        {"\x81[S]\nA=1\n", "S", "A", kNone},  // "[" as a second byte begins no header
        {"[S]\nXY=\x81"
         "AB=1\nAB=2\n",
         "S", "AB", "2"},                     // nor does "AB" after the first byte of a character
        {"[S]\nA=\x83\n", "S", "A", "\x83"},  // half a character stays, for the tools to name
    };
    for (const auto& c : cases)
        EXPECT_EQ(Lookup(c.file, c.section, c.key), c.value) << c.file << " [" << c.section << "] " << c.key;
    // Cut before a character that does not fit: 509 and 510 characters and 表 in a field of 511.
    for (const size_t before : {509, 510}) {
        const std::string value = std::string(before, 'v') + "\x95\x5C";
        EXPECT_EQ(Lookup("[S]\nA=" + value + "\n", "S", "A", 512), before == 509 ? value : std::string(510, 'v'));
    }
    EXPECT_EQ(ListEntries("Count=1\nFILE1=data\\\x95\x5C"
                          "a.txt;$setupdir\\\x95\x5C\\;C;1\n"),
              Names{"data\\\x95\x5C"
                    "a.txt|\x95\x5C"
                    "a.txt|$setupdir\\\x95\x5C\\|C|1"});
    char cut[4];
    EXPECT_FALSE(CodePages::CopyCharacters(cut, sizeof cut, "ab\x95\x5C"));
    EXPECT_STREQ(cut, "ab");
    std::string text = "\x83\x41X\x83\x61";
    CodePages::LowerCaseAscii(text.data());
    EXPECT_EQ(text, "\x83\x41x\x83\x61");
    EXPECT_FALSE(CodePages::EqualsNoCase("\x83\x41", "\x83\x61"));
    EXPECT_TRUE(CodePages::EqualsNoCase("\x83\x41x", "\x83\x41X"));
}

TEST(Load, MissingFilesAndKeysAndASecondLoadStartsEmpty)
{
    CSetupInfo info, noList;
    EXPECT_EQ(Load(info, kSetup, kList).size(), 11u);
    EXPECT_EQ(Load(info, "[Setup]\n", "[ArenaPack]\n"), (Names{"setup.inf", "", "", "", "", "", "", "0"}));
    // Missing keys leave fields empty; Copyright is found under the install section too.
    EXPECT_EQ(Load(info, "[Setup]\nStandard=ArenaPack\nCopyright=c\n[ArenaPack]\nTitle=t\n", kList),
              (Names{"setup.inf", "", "", "c", "", "", "", "0"}));
    EXPECT_EQ(Load(info, "[Setup]\nDEFAULTINSTALL=S\nS=P\n[P]\nCopyright=below\n", "")[3], "below");
    // Without setup.inf or list.inf Load fails; the texts read from setup.inf stay.
    CMemorySources sources;
    EXPECT_EQ(CSetupInfo().Load("setup.inf", "list.inf", sources), nullptr);
    sources.files = {{"setup.inf", kSetup}};
    EXPECT_EQ(noList.Load("setup.inf", "list.inf", sources), nullptr);
    EXPECT_EQ(Loaded(noList), (Names{"setup.inf", "Standard", "ArenaPack", "Sample notice text", "Arena Map Pack",
                                     "Choose the directory of the game", "C:\\Games\\Arena", "0"}));
}

TEST(Load, CountVariantsGapsFieldSplittingAndFileNames)
{
    const std::string abc = "FILE1=a;d;C;1\nFILE2=b;d;C;2\nFILE3=c;d;C;3\n";
    const std::pair<std::string, size_t> counts[] = {{"Count=2\n" + abc, 2},
                                                     {"Count=1\n" + abc, 1},
                                                     {"Count=0\n" + abc, 0},
                                                     {"Count=none\n" + abc, 0},
                                                     {"Count=\n" + abc, 0},
                                                     {abc, 0},
                                                     {"Count=-1\n" + abc, 3},
                                                     {"Count=-2\n" + abc, 3},
                                                     {"Count= 3\n" + abc, 3},
                                                     {"Count=3 files\n" + abc, 3},
                                                     {"Count=5\nFILE1=a\nFILE2=b\nFILE4=x\n", 2},
                                                     {"Count=3\nFILE2=b\n", 0},
                                                     {"Count=-2147483649\nFILE1=a\n", 1},
                                                     {"Count=99999999999\nFILE1=a\n", 1}};
    for (const auto& [body, entries] : counts)
        EXPECT_EQ(ListEntries(body).size(), entries) << body;
    // FILE10 follows FILE9, and is not FILE1 followed by a 0.
    std::string twelve = "Count=12\n";
    for (int n = 12; n >= 1; --n)
        twelve += "FILE" + std::to_string(n) + "=f" + std::to_string(n) + "\n";
    EXPECT_EQ(ListEntries(twelve).at(9), "f10|f10|||0");

    // A run of ";" is one separator; the file name is the text after the last backslash.
    const std::pair<const char*, const char*> fields[] = {
        {"a.txt;;C;1", "a.txt|a.txt|C|1|0"},
        {"a.txt", "a.txt|a.txt|||0"},
        {";;;", "||||0"},
        {";a;d;E;7;extra;more", "a|a|d|E|7"},
        {"a.txt; $setupdir; C", "a.txt|a.txt| $setupdir| C|0"},
        {"Data\\Map.PK3;$SetupDir;c;+2", "Data\\Map.PK3|Map.PK3|$SetupDir|c|2"},
        {"a;d;C;99999999999", "a|a|d|C|2147483647"},
        {"data\\maps\\;d", "data\\maps\\||d||0"},
        {"data/maps/a.map", "data/maps/a.map|data/maps/a.map|||0"},
        {"\\\\server\\share\\x", "\\\\server\\share\\x|x|||0"}};
    for (const auto& [value, entry] : fields)
        EXPECT_EQ(ListEntries(std::string("Count=1\nfile1=") + value + "\n"), Names{entry}) << value;
    char name[260];
    const std::string longest(259, 'f');
    CSetupInfo::GetFileName(longest.c_str(), name);
    EXPECT_EQ(name, longest);
}

// Each text at its limit less one, at its limit and one past it: the last is cut to the limit.
TEST(Load, EveryValueIsCutToItsFieldsLimit)
{
    for (const int delta : {-1, 0, 1}) {
        SCOPED_TRACE(delta);
        auto text = [delta](size_t limit, char c) { return std::string(limit + delta, c); };
        auto kept = [delta](size_t limit, char c) { return std::string(delta < 0 ? limit - 1 : limit, c); };
        CSetupInfo info, named;
        const Names loaded = Load(info,
                                  "[Setup]\nDEFAULTINSTALL=Standard\nStandard=P\nCopyright=" + text(255, 'c') +
                                      "\n[P]\nTitle=" + text(511, 't') + "\nInstallText=" + text(255, 'i') +
                                      "\nDefaultDir=" + text(259, 'd') + "\n",
                                  "[P]\nCount=" + text(9, '0') + "12\n", text(259, 'p'));
        EXPECT_EQ(loaded, (Names{kept(259, 'p'), "Standard", "P", kept(255, 'c'), kept(511, 't'), kept(255, 'i'),
                                 kept(259, 'd'), delta < 1 ? "12" : "1"}));  // Count: 11 characters, "000000000001"
        // The cut section name is the one looked up; a FILE value is cut to 259 characters before it is split.
        const std::string section = kept(255, 's');
        const Names entries = Load(named,
                                   "[Setup]\nDEFAULTINSTALL=" + text(255, 'k') + "\n" + kept(255, 'k') + "=" +
                                       text(255, 's') + "\n[" + section + "]\nTitle=found\n",
                                   "[" + section + "]\nCount=1\nFILE1=" + text(253, 'f') + ";d;C;7\n");
        EXPECT_EQ(entries, (Names{"setup.inf", kept(255, 'k'), section, "", "found", "", "", "1",
                                  text(253, 'f') + "|" + text(253, 'f') + "|d|C|" + (delta < 1 ? "7" : "0")}));
    }
}
