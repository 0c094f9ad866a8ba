// Load from memory: the worked example, missing files and keys, Count, the FILE fields, and the limit
// of every field.
#include <climits>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "MemorySources.h"

namespace {

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
    Names fields = {info.m_szSetupPath, info.m_szDefaultInstall, info.m_szSection, info.m_szCopyright,
                    info.m_szTitle, info.m_szInstallText, info.m_szDefaultDir, std::to_string(info.m_nCount)};
    for (size_t i = 0; i < info.m_files.GetSize(); ++i) {
        const FileEntry& f = info.m_files[i];
        fields.push_back(std::string(f.szSource) + "|" + f.szFileName + "|" + f.szDest + "|" + f.szAction + "|" +
                         std::to_string(f.nNumber));
    }
    EXPECT_TRUE(!info.m_pSetupFile && !info.m_pListFile) << "a stream left behind";
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

// The worked example itself, from files on disk, is checked field by field through kivcheck's JSON.
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
    const std::pair<std::string, size_t> counts[] = {
        {"Count=2\n" + abc, 2}, {"Count=1\n" + abc, 1}, {"Count=0\n" + abc, 0}, {"Count=none\n" + abc, 0},
        {"Count=\n" + abc, 0}, {abc, 0}, {"Count=-1\n" + abc, 3}, {"Count=-2\n" + abc, 3}, {"Count= 3\n" + abc, 3},
        {"Count=3 files\n" + abc, 3}, {"Count=5\nFILE1=a\nFILE2=b\nFILE4=x\n", 2}, {"Count=3\nFILE2=b\n", 0},
        {"Count=-2147483649\nFILE1=a\n", 1}, {"Count=99999999999\nFILE1=a\n", 1}};
    for (const auto& [body, entries] : counts)
        EXPECT_EQ(ListEntries(body).size(), entries) << body;
    // FILE10 follows FILE9, and is not FILE1 followed by a 0.
    std::string twelve = "Count=12\n";
    for (int n = 12; n >= 1; --n)
        twelve += "FILE" + std::to_string(n) + "=f" + std::to_string(n) + "\n";
    EXPECT_EQ(ListEntries(twelve).at(9), "f10|f10|||0");

    // A run of ";" is one separator; the file name is the text after the last backslash.
    const std::pair<const char*, const char*> fields[] = {
        {"a.txt;;C;1", "a.txt|a.txt|C|1|0"}, {"a.txt", "a.txt|a.txt|||0"}, {";;;", "||||0"},
        {";a;d;E;7;extra;more", "a|a|d|E|7"}, {"a.txt; $setupdir; C", "a.txt|a.txt| $setupdir| C|0"},
        {"Data\\Map.PK3;$SetupDir;c;+2", "Data\\Map.PK3|Map.PK3|$SetupDir|c|2"},
        {"a;d;C;99999999999", "a|a|d|C|2147483647"}, {"data\\maps\\;d", "data\\maps\\||d||0"},
        {"data/maps/a.map", "data/maps/a.map|data/maps/a.map|||0"}, {"\\\\server\\share\\x", "\\\\server\\share\\x|x|||0"}};
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
        const Names entries = Load(named, "[Setup]\nDEFAULTINSTALL=" + text(255, 'k') + "\n" + kept(255, 'k') + "=" +
                                              text(255, 's') + "\n[" + section + "]\nTitle=found\n",
                                   "[" + section + "]\nCount=1\nFILE1=" + text(253, 'f') + ";d;C;7\n");
        EXPECT_EQ(entries, (Names{"setup.inf", kept(255, 'k'), section, "", "found", "", "", "1",
                                  text(253, 'f') + "|" + text(253, 'f') + "|d|C|" + (delta < 1 ? "7" : "0")}));
    }
}
