// Arbitrary setup.inf and list.inf bytes through Load, from memory: every text stays terminated, each
// file name is the tail of its source, and the indexed Load leaves exactly what the Load that rescans
// the file for every value leaves. The seeds in corpus/load hold the lookup's hard cases.
#include <cstring>
#include <string>
#include <vector>

#include "SetupInfo.h"

namespace {

class CFuzzSources final : public ISetupSources {
public:
    CFuzzSources(const std::string& setup, const std::string& list)
        : m_setup(setup.data(), setup.size()), m_list(list.data(), list.size()) {}
    IByteSource* Open(const char* path) override { return strcmp(path, "setup.inf") == 0 ? &m_setup : &m_list; }
    void CloseAll() override {}

private:
    CMemorySource m_setup, m_list;
};

// The input holds setup.inf, a line "--next--", then list.inf.
std::pair<std::string, std::string> SplitInput(const unsigned char* data, size_t size)
{
    const std::string input(reinterpret_cast<const char*>(data), size), separator = "\n--next--\n";
    const size_t at = input.find(separator);
    return at == std::string::npos ? std::pair(input, std::string()) : std::pair(input.substr(0, at), input.substr(at + separator.size()));
}

void Expect(bool condition)
{
    if (!condition)
        __builtin_trap();
}

// The texts, each checked for its terminating NUL, then Count and the entries.
std::vector<std::string> Fields(const CSetupInfo& info)
{
    std::vector<std::string> fields;
    auto add = [&fields](const char* text, size_t size) {
        Expect(strnlen(text, size) < size);
        fields.push_back(text);
    };
    add(info.m_szSetupPath, sizeof info.m_szSetupPath);
    add(info.m_szDefaultInstall, sizeof info.m_szDefaultInstall);
    add(info.m_szSection, sizeof info.m_szSection);
    add(info.m_szCopyright, sizeof info.m_szCopyright);
    add(info.m_szTitle, sizeof info.m_szTitle);
    add(info.m_szInstallText, sizeof info.m_szInstallText);
    add(info.m_szDefaultDir, sizeof info.m_szDefaultDir);
    fields.push_back(std::to_string(info.m_nCount));
    for (size_t i = 0; i < info.m_files.GetSize(); ++i) {
        const FileEntry& e = info.m_files[i];
        for (const char* text : {e.szSource, e.szFileName, e.szDest, e.szAction})
            add(text, sizeof e.szSource);
        fields.push_back(std::to_string(e.nNumber));
        const size_t sourceLength = strlen(e.szSource), nameLength = strlen(e.szFileName);
        Expect(nameLength <= sourceLength && strcmp(e.szSource + sourceLength - nameLength, e.szFileName) == 0);
    }
    return fields;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size)
{
    const auto [setup, list] = SplitInput(data, size);
    CFuzzSources sources(setup, list), again(setup, list);
    CSetupInfo indexed, rescanned;
    Expect(indexed.Load("setup.inf", "list.inf", sources) && rescanned.LoadRescanning("setup.inf", "list.inf", again));
    Expect(Fields(indexed) == Fields(rescanned));
    return 0;
}
