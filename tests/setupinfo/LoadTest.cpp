#include <algorithm>
#include <climits>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "MemorySources.h"
#include "TempDir.h"

namespace {

using Names = std::vector<std::string>;

const char kSetup[] =
    "[Setup]\nDEFAULTINSTALL=Standard\nStandard=ArenaPack\nCopyright=Sample notice text\n\n"
    "[ArenaPack]\nTitle=Arena Map Pack\nInstallText=Choose the directory of the game\nDefaultDir=C:\\Games\\Arena\n";
const char kList[] =
    "[ArenaPack]\nCount=3\nFILE1=data\\arena1.map;$setupdir\\maps\\;C;1\n"
    "FILE2=data\\arena2.map;$setupdir\\maps\\;C;2\nFILE3=readme.txt;$setupdir;E;0\n";

// The entries as "source|fileName|dest|action|number".
Names Entries(const CSetupInfo& info)
{
    Names entries;
    for (size_t i = 0; i < info.m_files.GetSize(); ++i) {
        const FileEntry& f = info.m_files[i];
        entries.push_back(std::string(f.szSource) + "|" + f.szFileName + "|" + f.szDest + "|" + f.szAction + "|" +
                          std::to_string(f.nNumber));
    }
    return entries;
}

// Loads the two texts from memory; returns the entries.
Names Load(CSetupInfo& info, const std::string& setup, const std::string& list)
{
    CMemorySources sources;
    sources.files = {{"setup.inf", setup}, {"list.inf", list}};
    EXPECT_EQ(info.Load("setup.inf", "list.inf", sources), info.m_szSetupPath);
    return Entries(info);
}

// The entries a list section yields under the worked example's setup.inf.
Names ListEntries(const std::string& listBody)
{
    CSetupInfo info;
    return Load(info, kSetup, "[ArenaPack]\n" + listBody);
}

}  // namespace

TEST(Load, TheWorkedExampleFromMemoryAndFromCrLfFiles)
{
    for (int onDisk = 0; onDisk < 2; ++onDisk) {
        CTempDir dir;
        CCurrentDir here(dir.Native());
        CSetupInfo info;
        if (onDisk) {
            const char* names[] = {"setup.inf", "list.inf"};
            for (int i = 0; i < 2; ++i) {
                std::string text = i ? kList : kSetup;
                for (size_t at = 0; (at = text.find('\n', at)) != std::string::npos; at += 2)
                    text.insert(at, "\r");
                dir.Write(names[i], text);
            }
            ASSERT_EQ(info.Load("setup.inf", "list.inf"), info.m_szSetupPath);
            CSetupInfo none;  // the file reader's failure to open
            EXPECT_EQ(none.Load("missing.inf", "list.inf"), nullptr);
        } else {
            Load(info, kSetup, kList);
        }
        EXPECT_STREQ(info.m_szSetupPath, "setup.inf");
        EXPECT_STREQ(info.m_szDefaultInstall, "Standard");
        EXPECT_STREQ(info.m_szSection, "ArenaPack");
        EXPECT_STREQ(info.m_szCopyright, "Sample notice text");
        EXPECT_STREQ(info.m_szTitle, "Arena Map Pack");
        EXPECT_STREQ(info.m_szInstallText, "Choose the directory of the game");
        EXPECT_STREQ(info.m_szDefaultDir, "C:\\Games\\Arena");
        EXPECT_EQ(info.m_nCount, 3);
        EXPECT_EQ(Entries(info), (Names{"data\\arena1.map|arena1.map|$setupdir\\maps\\|C|1",
                                        "data\\arena2.map|arena2.map|$setupdir\\maps\\|C|2",
                                        "readme.txt|readme.txt|$setupdir|E|0"}));
        EXPECT_EQ(info.m_pSetupFile, nullptr);
        EXPECT_EQ(info.m_pListFile, nullptr);
    }
}

TEST(Load, MissingFilesAndKeys)
{
    // No setup.inf: null, and list.inf is never opened.
    CSetupInfo noSetup, noList, info;
    CMemorySources onlyList, onlySetup;
    onlyList.files = {{"list.inf", kList}};
    EXPECT_EQ(noSetup.Load("setup.inf", "list.inf", onlyList), nullptr);
    EXPECT_EQ(onlyList.opened, Names{"setup.inf"});
    EXPECT_STREQ(noSetup.m_szSetupPath, "");
    // No list.inf: null, and the texts already read stay.
    onlySetup.files = {{"setup.inf", kSetup}};
    EXPECT_EQ(noList.Load("setup.inf", "list.inf", onlySetup), nullptr);
    EXPECT_EQ(onlySetup.opened, (Names{"setup.inf", "list.inf"}));
    EXPECT_EQ(onlySetup.closeCalls, 1);
    EXPECT_STREQ(noList.m_szTitle, "Arena Map Pack");
    EXPECT_EQ(noList.m_files.GetSize(), 0u);
    // Missing keys leave fields empty; Copyright is found under the install section too.
    EXPECT_EQ(Load(info, "[Setup]\nStandard=ArenaPack\nCopyright=c\n[ArenaPack]\nTitle=t\n", kList), Names{});
    EXPECT_STREQ(info.m_szSection, "");
    EXPECT_STREQ(info.m_szTitle, "");
    EXPECT_STREQ(info.m_szCopyright, "c");
    Load(info, "[Setup]\nDEFAULTINSTALL=S\nS=P\n[P]\nCopyright=below\n", "");
    EXPECT_STREQ(info.m_szCopyright, "below");
}

TEST(Load, CountVariantsGapsFieldSplittingAndFileNames)
{
    const std::string abc = "FILE1=a;d;C;1\nFILE2=b;d;C;2\nFILE3=c;d;C;3\n";
    const std::pair<std::string, size_t> counts[] = {
        {"Count=2\n" + abc, 2}, {"Count=1\n" + abc, 1}, {"Count=0\n" + abc, 0}, {"Count=none\n" + abc, 0},
        {"Count=\n" + abc, 0}, {abc, 0}, {"Count=-1\n" + abc, 3}, {"Count= 3\n" + abc, 3},
        {"Count=3 files\n" + abc, 3}, {"Count=5\nFILE1=a\nFILE2=b\nFILE4=x\n", 2}, {"Count=3\nFILE2=b\n", 0},
        {"Count=-2147483649\nFILE1=a\n", 1}, {"Count=99999999999\nFILE1=a\n", 1}};
    for (const auto& [body, entries] : counts)
        EXPECT_EQ(ListEntries(body).size(), entries) << body;
    CSetupInfo info;  // 11 characters: fits and saturates
    Load(info, kSetup, "[ArenaPack]\nCount=-2147483649\n");
    EXPECT_EQ(info.m_nCount, INT_MIN);
    Load(info, kSetup, "[ArenaPack]\nCount=99999999999\n");
    EXPECT_EQ(info.m_nCount, INT_MAX);

    // A run of ";" is one separator; the file name is the text after the last backslash.
    const std::pair<const char*, const char*> fields[] = {
        {"a.txt;;C;1", "a.txt|a.txt|C|1|0"}, {"a.txt", "a.txt|a.txt|||0"}, {";;;", "||||0"},
        {";a;d;E;7;extra;more", "a|a|d|E|7"}, {"a.txt; $setupdir; C", "a.txt|a.txt| $setupdir| C|0"},
        {"Data\\Map.PK3;$SetupDir;c;+2", "Data\\Map.PK3|Map.PK3|$SetupDir|c|2"},
        {"a;d;C;99999999999", "a|a|d|C|2147483647"}, {"data\\maps\\;d", "data\\maps\\||d||0"},
        {"data/maps/a.map", "data/maps/a.map|data/maps/a.map|||0"}, {"\\\\server\\share\\x", "\\\\server\\share\\x|x|||0"}};
    for (const auto& [value, entry] : fields)
        EXPECT_EQ(ListEntries(std::string("Count=1\nfile1=") + value + "\n"), Names{entry}) << value;
    char name[kPathSize];
    const std::string longest(kPathSize - 1, 'f');
    CSetupInfo::GetFileName(longest.c_str(), name);
    EXPECT_EQ(name, longest);
}

// Each text is cut to its field: N-1 and N characters whole, N+1 and a line's worth cut to N.
TEST(Load, EveryValueIsCutToItsField)
{
    for (size_t extra : {size_t(0), size_t(1), size_t(2), size_t(3000)}) {
        auto value = [extra](size_t capacity, char c) { return std::string(capacity - 2 + extra, c); };
        auto cut = [extra](size_t capacity, char c) { return std::string(std::min(capacity - 2 + extra, capacity - 1), c); };
        CSetupInfo info, sectioned;
        Load(info, "[Setup]\nDEFAULTINSTALL=Standard\nStandard=P\nCopyright=" + value(kTextSize, 'c') + "\n[P]\nTitle=" +
                       value(kTitleSize, 't') + "\nInstallText=" + value(kTextSize, 'i') + "\nDefaultDir=" +
                       value(kPathSize, 'd') + "\n", "");
        EXPECT_EQ(info.m_szCopyright, cut(kTextSize, 'c'));
        EXPECT_EQ(info.m_szTitle, cut(kTitleSize, 't'));
        EXPECT_EQ(info.m_szInstallText, cut(kTextSize, 'i'));
        EXPECT_EQ(info.m_szDefaultDir, cut(kPathSize, 'd'));
        // The cut section name is the one looked up; a whole FILE value is cut before it is split.
        const std::string section = cut(kTextSize, 's');
        const Names entries = Load(sectioned, "[Setup]\nDEFAULTINSTALL=" + value(kTextSize, 'k') + "\n" +
                                                  cut(kTextSize, 'k') + "=" + value(kTextSize, 's') + "\n[" + section +
                                                  "]\nTitle=found\n",
                                   "[" + section + "]\nCount=1\nFILE1=" + value(kFileValueSize, 'f') + ";d;C;1\n");
        EXPECT_EQ(sectioned.m_szDefaultInstall, cut(kTextSize, 'k'));
        EXPECT_EQ(sectioned.m_szSection, section);
        EXPECT_STREQ(sectioned.m_szTitle, "found");
        ASSERT_EQ(entries.size(), 1u);
        EXPECT_EQ(sectioned.m_files[0].szSource, cut(kFileValueSize, 'f'));
        EXPECT_STREQ(sectioned.m_files[0].szAction, "");
    }
    // 259 characters keep every field; one more cuts the number's last digit.
    const std::string source(259 - 6, 's');
    EXPECT_EQ(ListEntries("Count=1\nFILE1=" + source + ";d;C;7\n"), Names{source + "|" + source + "|d|C|7"});
    EXPECT_EQ(ListEntries("Count=1\nFILE1=" + source + "s;d;C;7\n"), Names{source + "s|" + source + "s|d|C|0"});

    CSetupInfo longPath;
    CMemorySources sources;
    const std::string path(400, 'p');
    sources.files = {{path, kSetup}, {"list.inf", kList}};
    ASSERT_NE(longPath.Load(path.c_str(), "list.inf", sources), nullptr);
    EXPECT_EQ(longPath.m_szSetupPath, std::string(kPathSize - 1, 'p'));
}
