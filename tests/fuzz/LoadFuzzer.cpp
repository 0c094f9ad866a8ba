// Arbitrary setup.inf and list.inf bytes through Load, from memory, in code pages 1252 and 932: every text
// stays terminated, and the indexed Load leaves exactly what the Load that rescans the file for every value
// leaves. The seeds in corpus/load hold the lookup's hard cases.
#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "support/RescannedFile.h"
#include "codepages/CodePages.h"

namespace {

class CFuzzSources final : public ISetupSources {
public:
    CFuzzSources(const std::string& setup, const std::string& list)
        : m_setup(setup.data(), setup.size()), m_list(list.data(), list.size())
    {
    }
    IByteSource* Open(const char* path) override { return strcmp(path, "setup.inf") == 0 ? &m_setup : &m_list; }
    void CloseAll() override {}

private:
    CMemorySource m_setup, m_list;
};

// The texts, each checked for its terminating NUL, then Count and the entries.
std::vector<std::string> Fields(const CSetupInfo& info)
{
    std::vector<std::string> fields;
    auto add = [&fields](const char* text, size_t size) {
        if (strnlen(text, size) == size)
            __builtin_trap();
        fields.push_back(text);
    };
    add(info.m_szSetupPath, sizeof info.m_szSetupPath);
    for (const char* text : {info.m_szDefaultInstall, info.m_szSection, info.m_szCopyright, info.m_szInstallText})
        add(text, sizeof info.m_szSection);
    add(info.m_szTitle, sizeof info.m_szTitle);
    add(info.m_szDefaultDir, sizeof info.m_szDefaultDir);
    fields.push_back(std::to_string(info.m_nCount));
    for (size_t i = 0; i < info.m_files.GetSize(); ++i) {
        const FileEntry& e = info.m_files[i];
        for (const char* text : {e.szSource, e.szFileName, e.szDest, e.szAction})
            add(text, sizeof e.szSource);
        fields.push_back(std::to_string(e.nNumber));
    }
    return fields;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size)
{
    // setup.inf up to a line "--next--", list.inf after it.
    const std::string input(reinterpret_cast<const char*>(data), size);
    const size_t at = std::min(input.find("\n--next--\n"), input.size());
    const std::string setup = input.substr(0, at), list = input.substr(std::min(at + 10, input.size()));
    // Read as 1252 and as 932, where a lead byte takes the next byte with it.
    for (const int codePage : {1252, 932}) {
        CodePages::SetCodePage(codePage);
        CFuzzSources sources(setup, list), again(setup, list);
        CSetupInfo indexed, rescanned;
        if (!indexed.Load("setup.inf", "list.inf", sources) ||
            !LoadDescription<CRescannedFile>(rescanned, "setup.inf", "list.inf", again) ||
            Fields(indexed) != Fields(rescanned))
            __builtin_trap();
    }
    return 0;
}
