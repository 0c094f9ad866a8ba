// The indexed Load against the rescanning one on thousands of generated
// description files: every lookup and every loaded field must come out the same.
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "LineIndex.h"
#include "MemorySources.h"

namespace {

using Strings = std::vector<std::string>;

// Everything Load leaves in the object, and its result.
std::string Describe(const CSetupInfo& info, const char* result)
{
    std::string out = !result ? "null" : result == info.m_szSetupPath ? "path" : "other";
    for (const char* field : {info.m_szSetupPath, info.m_szDefaultInstall, info.m_szSection, info.m_szCopyright,
                              info.m_szTitle, info.m_szInstallText, info.m_szDefaultDir})
        out += std::string("|") + field;
    out += "|" + std::to_string(info.m_nCount) + "\n";
    for (size_t i = 0; i < info.m_files.GetSize(); ++i) {
        const FileEntry& f = info.m_files[i];
        for (const char* field : {f.szSource, f.szFileName, f.szDest, f.szAction})
            out += std::string(field) + "|";
        out += std::to_string(f.nNumber) + "\n";
    }
    return out + (info.m_pSetupFile || info.m_pListFile ? "stream left behind\n" : "");
}

// Random files from the pieces that decide lookups: names differing in case,
// headers inside other text, blanks around "=", keys inside values, empty keys,
// lines over 2047 characters, every kind of line end, NUL bytes and Ctrl-Z.
class CRandomDescription {
public:
    explicit CRandomDescription(unsigned seed) : m_random(seed) {}
    const Strings sections = {"Setup", "P", "Pack", "", "S=T", "P]", "Pa"};
    const Strings keys = {"DEFAULTINSTALL", "Standard", "Copyright", "Title", "InstallText", "DefaultDir",
                          "Count", "FILE1", "FILE2", "FILE3", "FILE10", "", "A", "AB", "A=B", "ILE1"};

    int Number(int low, int high) { return std::uniform_int_distribution<int>(low, high)(m_random); }
    bool Chance(int percent) { return Number(1, 100) <= percent; }
    const std::string& Pick(const Strings& from) { return from[Number(0, static_cast<int>(from.size()) - 1)]; }

    std::string SetupFile()
    {
        m_section = Pick(sections);
        const std::string named = Chance(70) ? "Standard" : Pick(keys);
        Strings lines;
        if (Chance(95))
            lines = {Header("Setup"), Key("DEFAULTINSTALL", named), Key(named, m_section), Key("Copyright", Text()),
                     Header(m_section), Key("Title", Text()), Key("InstallText", Text()), Key("DefaultDir", Text())};
        return Join(lines, Number(0, 8));
    }
    std::string ListFile()
    {
        const int entries = Number(0, 12);
        Strings lines = {Header(Chance(85) ? m_section : Pick(sections)), Key("Count", CountValue(entries))};
        for (int n = 1; n <= entries; ++n)
            if (!Chance(5))  // a gap ends the list
                lines.push_back(Key("FILE" + std::to_string(n), FileValue()));
        if (Chance(15)) {  // the header and some keys once more, further down
            const Strings again(lines.begin(), lines.begin() + Number(1, static_cast<int>(lines.size())));
            lines.insert(lines.begin() + Number(1, static_cast<int>(lines.size())), again.begin(), again.end());
        }
        return Join(lines, Number(0, 8));
    }
    std::string AnyFile() { return Join(Strings(), Number(1, 30)); }

private:
    std::string Cased(std::string text)
    {
        const int style = Number(0, 3);
        for (char& c : text)
            c = static_cast<char>(style == 1 || (style == 3 && Chance(50)) ? toupper(c) : style == 2 ? tolower(c) : c);
        return text;
    }
    std::string Header(const std::string& section)
    {
        return Pick({"", "", "", " ", "; see ", "x", "[", "=", "A="}) + "[" + Cased(section) + "]" +
               Pick({"", "", "", " ", " ; note", "]", "=1", "[Setup]"});
    }
    std::string Key(const std::string& key, const std::string& value)
    {
        const int form = Number(0, 39);
        if (form >= 5)
            return Cased(key) + "=" + value;
        if (form >= 3)  // the key inside the value of a key as long as it
            return std::string(key.size(), 'Q') + "=" + Cased(key) + "=" + value;
        return (form == 0 ? " " : form == 2 ? ";" : "") + Cased(key) + (form == 1 ? " = " : "=") + value;
    }
    std::string Text()
    {
        return Chance(3) ? std::string(Number(250, 600), 'v')
                         : Pick({"", "Arena Map Pack", "  blanks  ", "a=b", "C:\\Games\\Arena", "x;y", "=", "[P]",
                                 "FILE1=z"});
    }
    std::string CountValue(int entries)
    {
        return Chance(60) ? std::to_string(entries + Number(-2, 2))
                          : Pick({"-1", " 3", "3 files", "", "none", "0", "99999999999", "-2147483649", "+2", "-5"});
    }
    std::string FileValue()
    {
        if (Chance(3))
            return "";  // ends the list like a missing key
        if (Chance(3))
            return std::string(Number(250, 300), 'f') + ";d;C;1";
        return Pick({"data\\a.map;$setupdir\\maps\\;C;1", "readme.txt;$setupdir;E;0", "a.txt;;C;1", "a.txt", ";;;",
                     ";a;d;E;7;extra", "a.txt; $setupdir; C", "Data\\Map.PK3;$SetupDir;c;+2", "x=y;d;C;99999999999"});
    }
    std::string NoiseLine()
    {
        if (Chance(3))  // over 2047 characters, with a key near the cut
            return std::string(Number(2030, 2060), Chance(50) ? ';' : '=') + Key(Pick(keys), Text());
        std::string line;
        switch (Number(0, 6)) {
        case 0: return Header(Pick(sections));
        case 1: return Key(Pick(keys), Text());
        case 2: return Key("FILE" + std::to_string(Number(1, 12)), FileValue());
        case 3: return "";
        case 4:
            for (int i = Number(0, 14); i > 0; --i)
                line += "aAbB=[]pP;: \x01"[Number(0, 12)];
            return line;
        case 5: return "Count=" + CountValue(Number(0, 5));
        default: return "; comment";
        }
    }
    // Adds noise lines at random places and joins with random line ends.
    std::string Join(Strings lines, int noise)
    {
        for (int i = 0; i < noise; ++i)
            lines.insert(lines.begin() + Number(0, static_cast<int>(lines.size())), NoiseLine());
        static const Strings ends = {"\n", "\r\n", "\r", "", "\r\r\n", "\n\r"};
        static const int weights[] = {70, 88, 91, 94, 97, 100};
        const size_t ctrlZAfter = Chance(10) ? Number(0, 40) : SIZE_MAX;
        std::string file;
        for (size_t i = 0; i < lines.size(); ++i) {
            if (Chance(1))
                lines[i].insert(Number(0, static_cast<int>(lines[i].size())), 1, '\0');
            size_t end = 0;
            for (const int roll = Number(1, 100); roll > weights[end];)
                ++end;
            file += lines[i] + (i == ctrlZAfter ? "\x1a" : ends[end]);
        }
        return file;
    }

    std::mt19937 m_random;
    std::string m_section;
};

// Compares every section x key lookup of GetValue (a fresh reader each time)
// with the index; destinations start filled, so a write on failure shows.
int ExpectSameLookups(const std::string& bytes, const Strings& sections, const Strings& keys)
{
    CMemorySource source(bytes.data(), bytes.size());
    CTextReader reader(source);
    CLineIndex index;
    EXPECT_TRUE(index.Read(reader));
    const size_t sizes[] = {kLineSize, 5, kTextSize, 1};
    int found = 0, lookups = 0;
    for (const std::string& section : sections)
        for (const std::string& key : keys) {
            const size_t size = sizes[lookups++ % 4];
            CMemorySource fresh(bytes.data(), bytes.size());
            CTextReader rescan(fresh);
            std::string expected(size, '#'), actual(size, '#');
            const bool wasFound = CSetupInfo::GetValue(&rescan, section.c_str(), key.c_str(), expected.data(), size) != nullptr;
            EXPECT_EQ(index.Find(section.c_str(), key.c_str(), actual.data(), size) != nullptr, wasFound);
            EXPECT_EQ(actual, expected) << "[" << section << "] " << key << " size " << size << " in " << testing::PrintToString(bytes);
            found += wasFound;
        }
    return found;
}

}  // namespace

TEST(IndexedLoad, LookupsAnswerAsGetValueOnGeneratedFiles)
{
    int found = 0;
    for (unsigned seed = 1; seed <= 400 && !HasFailure(); ++seed) {
        CRandomDescription random(seed);
        found += ExpectSameLookups(random.AnyFile(), random.sections, random.keys);
    }
    EXPECT_GT(found, 1000);  // values to compare, not only misses
}

TEST(IndexedLoad, GeneratedPackagesLoadAsWithTheRescanningLoad)
{
    const int cases = 3000;
    int withEntries = 0;
    for (int n = 1; n <= cases && !HasFailure(); ++n) {
        CRandomDescription random(100000u + n);
        CMemorySources sources;
        const std::string setup = random.SetupFile(), list = random.ListFile();
        sources.files["setup.inf"] = setup;
        if (!random.Chance(2))
            sources.files["list.inf"] = list;
        sources.forwardOnly = random.Chance(1);  // no values, with or without the index
        CSetupInfo indexed, rescanned;
        const std::string expected = Describe(rescanned, rescanned.LoadRescanning("setup.inf", "list.inf", sources));
        EXPECT_EQ(Describe(indexed, indexed.Load("setup.inf", "list.inf", sources)), expected)
            << "case " << n << "\nsetup.inf: " << testing::PrintToString(setup) << "\nlist.inf: " << testing::PrintToString(list);
        withEntries += indexed.m_files.GetSize() > 0;
    }
    EXPECT_GT(withEntries, cases / 4);  // enough entries for the comparison to mean something
}
