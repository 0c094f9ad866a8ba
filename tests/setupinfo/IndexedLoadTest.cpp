// The indexed Load against the rescanning one, on many generated description
// files: every lookup and every loaded field must come out the same.
#include <deque>
#include <iterator>
#include <map>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "ByteSource.h"
#include "LineIndex.h"
#include "SetupInfo.h"

namespace {

// A source that cannot go back to its start, like a pipe.
class CForwardOnlySource final : public IByteSource {
public:
    explicit CForwardOnlySource(const std::string& bytes) : m_memory(bytes.data(), bytes.size()) {}
    bool Rewind() override { return false; }
    size_t Read(unsigned char* buffer, size_t size) override { return m_memory.Read(buffer, size); }

private:
    CMemorySource m_memory;
};

// Description files held in memory; missing names do not open.
class CMemorySources final : public ISetupSources {
public:
    std::map<std::string, std::string> files;
    bool forwardOnly = false;

    IByteSource* Open(const char* path) override
    {
        auto it = files.find(path);
        if (it == files.end())
            return nullptr;
        if (forwardOnly)
            return &m_forwardOnly.emplace_back(it->second);
        return &m_memory.emplace_back(it->second.data(), it->second.size());
    }
    void CloseAll() override {}

private:
    std::deque<CMemorySource> m_memory = std::deque<CMemorySource>();
    std::deque<CForwardOnlySource> m_forwardOnly = std::deque<CForwardOnlySource>();
};

// Control characters shown as \xNN, so a difference can be read in the output.
std::string Visible(const std::string& text)
{
    std::string out;
    for (unsigned char c : text) {
        if (c < 32 || c == '\\') {
            char hex[8];
            snprintf(hex, sizeof hex, "\\x%02x", c);
            out += hex;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

// Everything Load leaves in the object, and its result.
std::string Describe(const CSetupInfo& info, const char* result)
{
    std::string out = result == nullptr ? "null" : result == info.m_szSetupPath ? "path" : "other";
    for (const char* field : {info.m_szSetupPath, info.m_szDefaultInstall, info.m_szSection, info.m_szCopyright,
                              info.m_szTitle, info.m_szInstallText, info.m_szDefaultDir})
        out += "|" + Visible(field);
    out += "|" + std::to_string(info.m_nCount) + "\n";
    for (size_t i = 0; i < info.m_files.GetSize(); ++i) {
        const FileEntry& f = info.m_files[i];
        out += Visible(f.szSource) + "|" + Visible(f.szFileName) + "|" + Visible(f.szDest) + "|" +
               Visible(f.szAction) + "|" + std::to_string(f.nNumber) + "\n";
    }
    if (info.m_pSetupFile || info.m_pListFile)
        out += "stream left behind\n";
    return out;
}

// Random description files built from the pieces that decide lookups: names
// that differ in case only, headers inside other text, blanks around "=",
// keys standing in other keys' values, empty keys and values, lines over 2047
// characters, every kind of line end, NUL bytes and Ctrl-Z.
class CRandomDescription {
public:
    explicit CRandomDescription(unsigned seed) : m_random(seed) {}

    // Section names; an install section is one of them.
    const std::vector<std::string> sections = {"Setup", "P", "Pack", "", "S=T", "P]", "Pa"};
    // Keys of both files, and short ones that collide with them inside text.
    const std::vector<std::string> keys = {"DEFAULTINSTALL", "Standard", "Copyright", "Title", "InstallText",
                                           "DefaultDir", "Count", "FILE1", "FILE2", "FILE3", "FILE10",
                                           "", "A", "AB", "A=B", "ILE1"};

    // A setup.inf that names an install section most of the time.
    std::string SetupFile()
    {
        m_section = Pick(sections);
        const std::string& section = m_section;
        const std::string named = Chance(70) ? "Standard" : Pick(keys);
        std::vector<std::string> lines;
        if (Chance(95)) {
            lines = {Header("Setup"), KeyLine("DEFAULTINSTALL", named), KeyLine(named, section),
                     KeyLine("Copyright", Text()), Header(section), KeyLine("Title", Text()),
                     KeyLine("InstallText", Text()), KeyLine("DefaultDir", Text())};
        }
        AddNoise(lines, Number(0, 8));
        return Join(lines);
    }

    // A list.inf, mostly for the install section of the last SetupFile.
    std::string ListFile()
    {
        std::vector<std::string> lines = {Header(Chance(85) ? m_section : Pick(sections))};
        const int entries = Number(0, 12);
        lines.push_back(KeyLine("Count", CountValue(entries)));
        for (int n = 1; n <= entries; ++n) {
            if (Chance(5))
                continue;  // a gap ends the list
            lines.push_back(KeyLine("FILE" + std::to_string(n), FileValue()));
        }
        if (Chance(15)) {
            // The header and some keys once more, further down.
            const int repeated = Number(1, static_cast<int>(lines.size()));
            const std::vector<std::string> again(lines.begin(), lines.begin() + repeated);
            lines.insert(lines.begin() + Number(1, static_cast<int>(lines.size())), again.begin(), again.end());
        }
        AddNoise(lines, Number(0, 8));
        return Join(lines);
    }

    // Any mixture of the lines above, for the lookup on its own.
    std::string AnyFile()
    {
        std::vector<std::string> lines;
        AddNoise(lines, Number(1, 30));
        return Join(lines);
    }

    int Number(int low, int high) { return std::uniform_int_distribution<int>(low, high)(m_random); }
    bool Chance(int percent) { return Number(1, 100) <= percent; }
    template <typename T>
    const T& Pick(const std::vector<T>& from)
    {
        return from[static_cast<size_t>(Number(0, static_cast<int>(from.size()) - 1))];
    }

private:
    std::string Cased(std::string text)
    {
        const int style = Number(0, 3);
        for (char& c : text) {
            if (style == 1 || (style == 3 && Chance(50)))
                c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
            else if (style == 2)
                c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
        }
        return text;
    }

    std::string Header(const std::string& section)
    {
        static const std::vector<std::string> before = {"", "", "", " ", "; see ", "x", "[", "=", "A="};
        static const std::vector<std::string> after = {"", "", "", " ", " ; note", "]", "=1", "[Setup]"};
        return Pick(before) + "[" + Cased(section) + "]" + Pick(after);
    }

    std::string KeyLine(const std::string& key, const std::string& value)
    {
        const int form = Number(0, 39);
        if (form == 0)
            return " " + Cased(key) + "=" + value;
        if (form == 1)
            return Cased(key) + " = " + value;
        if (form == 2)
            return ";" + Cased(key) + "=" + value;
        if (form <= 4)  // the key inside the value of a key as long as it
            return std::string(key.size(), 'Q') + "=" + Cased(key) + "=" + value;
        return Cased(key) + "=" + value;
    }

    std::string Text()
    {
        static const std::vector<std::string> texts = {
            "", "Arena Map Pack", "  blanks  ", "a=b", "C:\\Games\\Arena", "x;y", "=", "[P]", "FILE1=z"};
        if (Chance(3))
            return std::string(static_cast<size_t>(Number(250, 600)), 'v');
        return Pick(texts);
    }

    std::string CountValue(int entries)
    {
        static const std::vector<std::string> odd = {"-1", " 3", "3 files", "", "none", "0", "99999999999",
                                                     "-2147483649", "+2", "-5"};
        if (Chance(60))
            return std::to_string(entries + Number(-2, 2));
        return Pick(odd);
    }

    std::string FileValue()
    {
        static const std::vector<std::string> values = {
            "data\\a.map;$setupdir\\maps\\;C;1", "readme.txt;$setupdir;E;0", "a.txt;;C;1", "a.txt", ";;;",
            ";a;d;E;7;extra", "a.txt; $setupdir; C", "Data\\Map.PK3;$SetupDir;c;+2", "x=y;d;C;99999999999"};
        if (Chance(3))
            return "";  // an empty value ends the list like a missing key
        if (Chance(3))
            return std::string(static_cast<size_t>(Number(250, 300)), 'f') + ";d;C;1";
        return Pick(values);
    }

    std::string NoiseLine()
    {
        if (Chance(3)) {
            // A line that runs over 2047 characters, with a key near the cut.
            std::string line(static_cast<size_t>(Number(2030, 2060)), Chance(50) ? ';' : '=');
            return line + KeyLine(Pick(keys), Text());
        }
        switch (Number(0, 6)) {
        case 0:
            return Header(Pick(sections));
        case 1:
            return KeyLine(Pick(keys), Text());
        case 2:
            return KeyLine("FILE" + std::to_string(Number(1, 12)), FileValue());
        case 3:
            return "";
        case 4: {
            static const std::string alphabet = "aAbB=[]pP;: \x01";
            std::string line;
            for (int i = Number(0, 14); i > 0; --i)
                line += alphabet[static_cast<size_t>(Number(0, static_cast<int>(alphabet.size()) - 1))];
            return line;
        }
        case 5:
            return "Count=" + CountValue(Number(0, 5));
        default:
            return "; comment";
        }
    }

    void AddNoise(std::vector<std::string>& lines, int count)
    {
        for (int i = 0; i < count; ++i)
            lines.insert(lines.begin() + Number(0, static_cast<int>(lines.size())), NoiseLine());
    }

    std::string Join(std::vector<std::string>& lines)
    {
        const size_t ctrlZAfter = Chance(10) ? static_cast<size_t>(Number(0, 40)) : SIZE_MAX;
        std::string file;
        for (size_t i = 0; i < lines.size(); ++i) {
            std::string& line = lines[i];
            if (Chance(1))
                line.insert(static_cast<size_t>(Number(0, static_cast<int>(line.size()))), 1, '\0');
            const int end = Number(1, 100);
            file += line + (i == ctrlZAfter ? "\x1a"
                            : end <= 70     ? "\n"
                            : end <= 88     ? "\r\n"
                            : end <= 91     ? "\r"
                            : end <= 94     ? ""
                            : end <= 97     ? "\r\r\n"
                                            : "\n\r");
        }
        return file;
    }

    std::mt19937 m_random;
    std::string m_section;
};

const size_t kDestinationSizes[] = {kLineSize, 5, kTextSize, 1};

// GetValue on a fresh reader over bytes, as the reference; "-" for no value.
// Each destination starts filled, so a write on failure would show.
std::string RescannedValue(const std::string& bytes, const std::string& section, const std::string& key,
                           size_t size)
{
    CMemorySource source(bytes.data(), bytes.size());
    CTextReader reader(source);
    std::string destination(size, '#');
    if (!CSetupInfo::GetValue(&reader, section.c_str(), key.c_str(), destination.data(), size))
        return "-" + destination;
    return destination;
}

std::string IndexedValue(CLineIndex& index, const std::string& section, const std::string& key, size_t size)
{
    std::string destination(size, '#');
    if (!index.Find(section.c_str(), key.c_str(), destination.data(), size))
        return "-" + destination;
    return destination;
}

// Compares every lookup of sections x keys on bytes; returns the number of
// values found.
int ExpectSameLookups(const std::string& bytes, const std::vector<std::string>& sections,
                      const std::vector<std::string>& keys, const std::string& label)
{
    CMemorySource source(bytes.data(), bytes.size());
    CTextReader reader(source);
    CLineIndex index;
    EXPECT_TRUE(index.Read(reader));
    int found = 0;
    size_t lookups = 0;
    for (const std::string& section : sections) {
        for (const std::string& key : keys) {
            // Each lookup with one of the sizes in turn.
            const size_t size = kDestinationSizes[lookups++ % std::size(kDestinationSizes)];
            const std::string expected = RescannedValue(bytes, section, key, size);
            EXPECT_EQ(IndexedValue(index, section, key, size), expected)
                << label << " [" << section << "] " << key << " size " << size << " in\n"
                << Visible(bytes);
            found += expected[0] != '-';
        }
    }
    return found;
}

// Loads the two texts with both Loads and compares; returns the entries loaded.
size_t LoadBoth(const std::string& setup, const std::string& list, bool listMissing, bool forwardOnly,
                    const std::string& label)
{
    CMemorySources sources;
    sources.files["setup.inf"] = setup;
    if (!listMissing)
        sources.files["list.inf"] = list;
    sources.forwardOnly = forwardOnly;
    CSetupInfo indexed, rescanned;
    const std::string expected =
        Describe(rescanned, rescanned.LoadRescanning("setup.inf", "list.inf", sources));
    const std::string actual = Describe(indexed, indexed.Load("setup.inf", "list.inf", sources));
    EXPECT_EQ(actual, expected) << label << "\nsetup.inf:\n" << Visible(setup) << "\nlist.inf:\n" << Visible(list);
    return indexed.m_files.GetSize();
}

}  // namespace

TEST(IndexedLoad, LookupsThatDependOnTheLineRulesAnswerAsGetValue)
{
    const std::vector<std::string> sections = {"S", "s", "T", "", "S]", "S=T"};
    const std::vector<std::string> keys = {"A", "AB", "", "A=B", "B", "XY", "FILE1", "ILE1"};
    const std::string files[] = {
        "[S]\nXY=AB=1\nAB=2\n",                           // a key inside another key's value
        "AB=before\n[S]\n[T]\nAB=after\n[S]\nAB=again\n",  // no stop at sections, the first header counts
        "; [s] here\nA=1\n=empty key\n[S]\n=x\nA=\nA=later\n",
        "[S]\nA=B=C\nA=B=D\nxyA=B=E\nQQQ=A=B=F\n",         // a key with "=" in it
        "[S]\r\nA=1\r\nB=a\rb\nAB=a\rb",                   // CR LF, a lone CR, no final line end
        std::string("[S]\nA=ab\0cd\nB=x\0\nAB=1\x1a\nXY=2\n", 28),
        std::string(2047, ';') + "[S]\nA=" + std::string(2045, 'v') + "B=tail\n",
        "[S]\nFILE1=a=FILE1=b\nXFILE1=ILE1=c\nFILE=ILE1=d\n",
        "[S]\n==\nA==\n=A=\nAB==AB=\n",
    };
    int found = 0;
    for (const std::string& file : files)
        found += ExpectSameLookups(file, sections, keys, "fixed file");
    EXPECT_GT(found, 30);

    // A file that cannot be rewound has no values, with or without the index.
    CMemorySources sources;
    sources.files = {{"setup.inf", "[Setup]\nDEFAULTINSTALL=S\nS=P\n[P]\nTitle=t\n"},
                     {"list.inf", "[P]\nCount=1\nFILE1=a\n"}};
    sources.forwardOnly = true;
    CSetupInfo info;
    ASSERT_EQ(info.Load("setup.inf", "list.inf", sources), info.m_szSetupPath);
    EXPECT_STREQ(info.m_szTitle, "");
    EXPECT_EQ(info.m_files.GetSize(), 0u);
}

TEST(IndexedLoad, GeneratedFilesAnswerEveryLookupAsGetValue)
{
    int found = 0;
    for (unsigned seed = 1; seed <= 200; ++seed) {
        CRandomDescription random(seed);
        const std::string file = random.AnyFile();
        found += ExpectSameLookups(file, random.sections, random.keys, "seed " + std::to_string(seed));
        if (HasFailure())
            return;
    }
    // The files must hold values to compare, not only misses.
    EXPECT_GT(found, 500);
}

TEST(IndexedLoad, GeneratedPackagesLoadAsWithTheRescanningLoad)
{
    int withEntries = 0;
    const int cases = 3000;
    for (int n = 1; n <= cases; ++n) {
        CRandomDescription random(100000u + static_cast<unsigned>(n));
        const std::string setup = random.SetupFile();
        const std::string list = random.ListFile();
        const bool listMissing = random.Chance(2);
        const bool forwardOnly = random.Chance(1);
        withEntries += LoadBoth(setup, list, listMissing, forwardOnly, "case " + std::to_string(n)) > 0;
        if (HasFailure())
            return;
    }
    // Enough of the packages load entries for the comparison to mean something.
    EXPECT_GT(withEntries, cases / 4);
}
