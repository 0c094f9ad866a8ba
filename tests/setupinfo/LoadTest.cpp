#include <algorithm>
#include <climits>
#include <deque>
#include <map>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "SetupInfo.h"
#include "TempDir.h"

namespace {

// Description files held in memory; records the order in which they are opened.
class CMemorySetupSources final : public ISetupSources {
public:
    std::map<std::string, std::string> files;
    std::vector<std::string> opened;
    int closeCalls = 0;

    IByteSource* Open(const char* path) override
    {
        opened.push_back(path);
        auto it = files.find(path);
        if (it == files.end())
            return nullptr;
        m_sources.emplace_back(it->second.data(), it->second.size());
        return &m_sources.back();
    }
    void CloseAll() override { ++closeCalls; }

private:
    std::deque<CMemorySource> m_sources;  // stable addresses as sources are added
};

const char kSetup[] =
    "[Setup]\n"
    "DEFAULTINSTALL=Standard\n"
    "Standard=ArenaPack\n"
    "Copyright=Sample notice text\n"
    "\n"
    "[ArenaPack]\n"
    "Title=Arena Map Pack\n"
    "InstallText=Choose the directory of the game\n"
    "DefaultDir=C:\\Games\\Arena\n";

const char kList[] =
    "[ArenaPack]\n"
    "Count=3\n"
    "FILE1=data\\arena1.map;$setupdir\\maps\\;C;1\n"
    "FILE2=data\\arena2.map;$setupdir\\maps\\;C;2\n"
    "FILE3=readme.txt;$setupdir;E;0\n";

struct Entry {
    std::string source, fileName, dest, action;
    int number;
    bool operator==(const Entry& o) const
    {
        return source == o.source && fileName == o.fileName && dest == o.dest && action == o.action &&
               number == o.number;
    }
};

std::ostream& operator<<(std::ostream& out, const Entry& e)
{
    return out << "(" << e.source << ", " << e.fileName << ", " << e.dest << ", " << e.action << ", " << e.number
               << ")";
}

std::vector<Entry> Entries(const CSetupInfo& info)
{
    std::vector<Entry> entries;
    for (size_t i = 0; i < info.m_files.GetSize(); ++i) {
        const FileEntry& f = info.m_files[i];
        entries.push_back({f.szSource, f.szFileName, f.szDest, f.szAction, f.nNumber});
    }
    return entries;
}

// Loads the description from these two texts; fails the test when Load fails.
void LoadTexts(CSetupInfo& info, const std::string& setup, const std::string& list)
{
    CMemorySetupSources sources;
    sources.files = {{"setup.inf", setup}, {"list.inf", list}};
    ASSERT_EQ(info.Load("setup.inf", "list.inf", sources), info.m_szSetupPath);
}

// The entries a list section yields under the worked example's setup.inf.
std::vector<Entry> ListEntries(const std::string& listBody)
{
    CSetupInfo info;
    LoadTexts(info, kSetup, "[ArenaPack]\n" + listBody);
    return Entries(info);
}

std::vector<std::string> Sources(const std::vector<Entry>& entries)
{
    std::vector<std::string> sources;
    for (const Entry& e : entries)
        sources.push_back(e.source);
    return sources;
}

using Names = std::vector<std::string>;

}  // namespace

TEST(Load, TheWorkedExampleLoadsToExactlyItsValues)
{
    CSetupInfo info;
    LoadTexts(info, kSetup, kList);
    EXPECT_STREQ(info.m_szSetupPath, "setup.inf");
    EXPECT_STREQ(info.m_szDefaultInstall, "Standard");
    EXPECT_STREQ(info.m_szSection, "ArenaPack");
    EXPECT_STREQ(info.m_szCopyright, "Sample notice text");
    EXPECT_STREQ(info.m_szTitle, "Arena Map Pack");
    EXPECT_STREQ(info.m_szInstallText, "Choose the directory of the game");
    EXPECT_STREQ(info.m_szDefaultDir, "C:\\Games\\Arena");
    EXPECT_EQ(info.m_nCount, 3);
    EXPECT_EQ(Entries(info), (std::vector<Entry>{{"data\\arena1.map", "arena1.map", "$setupdir\\maps\\", "C", 1},
                                                 {"data\\arena2.map", "arena2.map", "$setupdir\\maps\\", "C", 2},
                                                 {"readme.txt", "readme.txt", "$setupdir", "E", 0}}));
    EXPECT_EQ(info.m_pSetupFile, nullptr);
    EXPECT_EQ(info.m_pListFile, nullptr);
}

TEST(Load, RealFilesWithCrLfLoadLikeTheExample)
{
    auto crlf = [](std::string text) {
        std::string out;
        for (char c : text)
            out += c == '\n' ? std::string("\r\n") : std::string(1, c);
        return out;
    };
    CTempDir dir;
    dir.Write("setup.inf", crlf(kSetup));
    dir.Write("list.inf", crlf(kList));
    CCurrentDir here(dir.Native());
    CSetupInfo info;
    ASSERT_EQ(info.Load("setup.inf", "list.inf"), info.m_szSetupPath);
    EXPECT_STREQ(info.m_szDefaultDir, "C:\\Games\\Arena");
    ASSERT_EQ(info.m_files.GetSize(), 3u);
    EXPECT_STREQ(info.m_files[2].szDest, "$setupdir");
}

TEST(Load, MissingFilesFailInOrder)
{
    CSetupInfo noSetup;
    CMemorySetupSources onlyList;
    onlyList.files = {{"list.inf", kList}};
    EXPECT_EQ(noSetup.Load("setup.inf", "list.inf", onlyList), nullptr);
    EXPECT_EQ(onlyList.opened, Names{"setup.inf"});
    EXPECT_STREQ(noSetup.m_szSetupPath, "");

    CSetupInfo noList;
    CMemorySetupSources onlySetup;
    onlySetup.files = {{"setup.inf", kSetup}};
    EXPECT_EQ(noList.Load("setup.inf", "list.inf", onlySetup), nullptr);
    EXPECT_EQ(onlySetup.opened, (Names{"setup.inf", "list.inf"}));
    EXPECT_EQ(onlySetup.closeCalls, 1);
    // The texts read before the list failed stay.
    EXPECT_STREQ(noList.m_szTitle, "Arena Map Pack");
    EXPECT_EQ(noList.m_files.GetSize(), 0u);

    CTempDir empty;
    CCurrentDir here(empty.Native());
    CSetupInfo onDisk;
    EXPECT_EQ(onDisk.Load("setup.inf", "list.inf"), nullptr);
}

TEST(Load, MissingKeysLeaveFieldsEmptyAndStillLoad)
{
    CSetupInfo info;
    LoadTexts(info, "[Setup]\nStandard=ArenaPack\nCopyright=c\n[ArenaPack]\nTitle=t\n", kList);
    EXPECT_STREQ(info.m_szDefaultInstall, "");
    EXPECT_STREQ(info.m_szSection, "");
    EXPECT_STREQ(info.m_szTitle, "");
    EXPECT_STREQ(info.m_szCopyright, "c");
    EXPECT_EQ(info.m_nCount, 0);
    EXPECT_EQ(info.m_files.GetSize(), 0u);

    // Copyright belongs to [Setup] but is found under the install section too.
    CSetupInfo later;
    LoadTexts(later, "[Setup]\nDEFAULTINSTALL=S\nS=P\n[P]\nCopyright=below\n", "");
    EXPECT_STREQ(later.m_szCopyright, "below");
}

TEST(Load, CountBoundsTheEntriesAndAGapEndsThem)
{
    const std::string files123 = "FILE1=a;d;C;1\nFILE2=b;d;C;2\nFILE3=c;d;C;3\n";
    EXPECT_EQ(Sources(ListEntries("Count=2\n" + files123)), (Names{"a", "b"}));
    EXPECT_EQ(Sources(ListEntries("Count=5\nFILE1=a;d\nFILE2=b;d\nFILE4=x;d\n")), (Names{"a", "b"}));
    EXPECT_EQ(Sources(ListEntries("Count=3\nFILE2=b;d\n")), Names{});
    for (const char* none : {"Count=0\n", "Count=none\n", "Count=\n", ""})
        EXPECT_EQ(ListEntries(none + files123).size(), 0u) << none;
    EXPECT_EQ(Sources(ListEntries("Count=-1\n" + files123)), (Names{"a", "b", "c"}));
    EXPECT_EQ(Sources(ListEntries("Count= 3\n" + files123)), (Names{"a", "b", "c"}));
    EXPECT_EQ(Sources(ListEntries("Count=3 files\n" + files123)), (Names{"a", "b", "c"}));
    EXPECT_EQ(Sources(ListEntries("Count=1\n" + files123)), Names{"a"});
}

TEST(Load, CountSaturatesInsteadOfOverflowing)
{
    CSetupInfo huge;
    LoadTexts(huge, kSetup, "[ArenaPack]\nCount=99999999999\nFILE1=a\n");
    EXPECT_EQ(huge.m_nCount, INT_MAX);
    EXPECT_EQ(huge.m_files.GetSize(), 1u);
    // Count holds 11 characters; "-2147483649" just fits and saturates.
    CSetupInfo low;
    LoadTexts(low, kSetup, "[ArenaPack]\nCount=-2147483649\nFILE1=a\n");
    EXPECT_EQ(low.m_nCount, INT_MIN);
    EXPECT_EQ(low.m_files.GetSize(), 1u);
    EXPECT_EQ(ListEntries("Count=2\nFILE1=a;d;C;99999999999\n")[0].number, INT_MAX);
}

TEST(Load, FieldsAreSplitAtRunsOfSemicolons)
{
    EXPECT_EQ(ListEntries("Count=1\nFILE1=a.txt;;C;1\n")[0], (Entry{"a.txt", "a.txt", "C", "1", 0}));
    EXPECT_EQ(ListEntries("Count=1\nFILE1=a.txt\n")[0], (Entry{"a.txt", "a.txt", "", "", 0}));
    EXPECT_EQ(ListEntries("Count=1\nFILE1=;;;\n")[0], (Entry{"", "", "", "", 0}));
    EXPECT_EQ(ListEntries("Count=1\nFILE1=;a;d;E;7;extra;more\n")[0], (Entry{"a", "a", "d", "E", 7}));
    EXPECT_EQ(ListEntries("Count=1\nFILE1=a.txt; $setupdir; C\n")[0],
              (Entry{"a.txt", "a.txt", " $setupdir", " C", 0}));
    // Keys ignore case; values keep theirs.
    EXPECT_EQ(ListEntries("Count=1\nfile1=Data\\Map.PK3;$SetupDir;c;+2\n")[0],
              (Entry{"Data\\Map.PK3", "Map.PK3", "$SetupDir", "c", 2}));
}

TEST(Load, FileNameIsTheTextAfterTheLastBackslash)
{
    char name[kPathSize];
    const std::pair<const char*, const char*> cases[] = {
        {"data\\maps\\arena1.map", "arena1.map"}, {"readme.txt", "readme.txt"},
        {"data\\maps\\", ""}, {"data/maps/arena1.map", "data/maps/arena1.map"},
        {"C:readme.txt", "C:readme.txt"}, {"\\\\server\\share\\x", "x"}};
    for (const auto& [path, expected] : cases) {
        CSetupInfo::GetFileName(path, name);
        EXPECT_STREQ(name, expected) << path;
    }
    // Any source that fits its field works: 259 characters, no backslash.
    const std::string longest(kPathSize - 1, 'f');
    CSetupInfo::GetFileName(longest.c_str(), name);
    EXPECT_EQ(name, longest);
}

// Each stored text is cut to its field: N-1 and N characters are kept whole,
// N+1 and a value as long as a line allows are cut to N.
TEST(Load, EveryValueIsCutToItsField)
{
    auto setupWith = [](const std::string& copyright, const std::string& title, const std::string& text,
                        const std::string& dir) {
        return "[Setup]\nDEFAULTINSTALL=Standard\nStandard=P\nCopyright=" + copyright + "\n[P]\nTitle=" + title +
               "\nInstallText=" + text + "\nDefaultDir=" + dir + "\n";
    };
    for (size_t extra : {size_t(0), size_t(1), size_t(2), size_t(3000)}) {
        // extra 0 is N-1 characters, 1 is N, 2 is N+1, 3000 a line's worth.
        auto value = [extra](size_t capacity, char c) { return std::string(capacity - 2 + extra, c); };
        auto expected = [extra](size_t capacity, char c) {
            return std::string(std::min(capacity - 2 + extra, capacity - 1), c);
        };
        CSetupInfo info;
        LoadTexts(info,
                  setupWith(value(kTextSize, 'c'), value(kTitleSize, 't'), value(kTextSize, 'i'),
                            value(kPathSize, 'd')),
                  "");
        EXPECT_EQ(info.m_szCopyright, expected(kTextSize, 'c'));
        EXPECT_EQ(info.m_szTitle, expected(kTitleSize, 't'));
        EXPECT_EQ(info.m_szInstallText, expected(kTextSize, 'i'));
        EXPECT_EQ(info.m_szDefaultDir, expected(kPathSize, 'd'));

        // The section name is cut, and the cut name is the one looked up.
        const std::string section = value(kTextSize, 's');
        const std::string cutSection = expected(kTextSize, 's');
        CSetupInfo sectioned;
        LoadTexts(sectioned,
                  "[Setup]\nDEFAULTINSTALL=" + value(kTextSize, 'k') + "\n" + expected(kTextSize, 'k') + "=" +
                      section + "\n[" + cutSection + "]\nTitle=found\n",
                  "[" + cutSection + "]\nCount=1\nFILE1=" + value(kFileValueSize, 'f') + ";d;C;1\n");
        EXPECT_EQ(sectioned.m_szDefaultInstall, expected(kTextSize, 'k'));
        EXPECT_EQ(sectioned.m_szSection, cutSection);
        EXPECT_STREQ(sectioned.m_szTitle, "found");

        // A whole FILE value is cut before it is split: past 259 characters
        // the fields after the source are gone.
        ASSERT_EQ(sectioned.m_files.GetSize(), 1u);
        EXPECT_EQ(sectioned.m_files[0].szSource, expected(kFileValueSize, 'f'));
        EXPECT_STREQ(sectioned.m_files[0].szAction, "");
    }
    CSetupInfo longPath;
    CMemorySetupSources sources;
    const std::string path(400, 'p');
    sources.files = {{path, kSetup}, {"list.inf", kList}};
    ASSERT_NE(longPath.Load(path.c_str(), "list.inf", sources), nullptr);
    EXPECT_EQ(longPath.m_szSetupPath, std::string(kPathSize - 1, 'p'));
}

TEST(Load, AFileValueThatJustFitsKeepsAllItsFields)
{
    // 259 characters in all: the action and number survive.
    std::string source(259 - std::string(";d;C;7").size(), 's');
    std::vector<Entry> entries = ListEntries("Count=1\nFILE1=" + source + ";d;C;7\n");
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0], (Entry{source, source, "d", "C", 7}));
    // One more character cuts the number's last digit.
    entries = ListEntries("Count=1\nFILE1=" + source + "s;d;C;7\n");
    EXPECT_EQ(entries[0].action, "C");
    EXPECT_EQ(entries[0].number, 0);
}
