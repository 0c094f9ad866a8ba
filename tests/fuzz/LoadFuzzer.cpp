// Feeds arbitrary setup.inf and list.inf bytes through Load, from memory.
#include <cstring>

#include "FuzzInput.h"
#include "SetupInfo.h"

namespace {

class CFuzzSources final : public ISetupSources {
public:
    CFuzzSources(const std::string& setup, const std::string& list)
        : m_setup(setup.data(), setup.size()), m_list(list.data(), list.size()) {}
    IByteSource* Open(const char* path) override
    {
        return strcmp(path, "setup.inf") == 0 ? &m_setup : &m_list;
    }
    void CloseAll() override {}

private:
    CMemorySource m_setup;
    CMemorySource m_list;
};

// The indexed Load must leave exactly what the rescanning Load leaves.
void ExpectSameAsRescanning(const CSetupInfo& info, const std::string& setup, const std::string& list)
{
    CFuzzSources sources(setup, list);
    CSetupInfo reference;
    if (!reference.LoadRescanning("setup.inf", "list.inf", sources))
        __builtin_trap();
    const char* texts[][2] = {{info.m_szSection, reference.m_szSection},
                              {info.m_szDefaultInstall, reference.m_szDefaultInstall},
                              {info.m_szCopyright, reference.m_szCopyright},
                              {info.m_szTitle, reference.m_szTitle},
                              {info.m_szInstallText, reference.m_szInstallText},
                              {info.m_szDefaultDir, reference.m_szDefaultDir}};
    for (const auto& pair : texts) {
        if (strcmp(pair[0], pair[1]) != 0)
            __builtin_trap();
    }
    if (info.m_nCount != reference.m_nCount || info.m_files.GetSize() != reference.m_files.GetSize())
        __builtin_trap();
    for (size_t i = 0; i < info.m_files.GetSize(); ++i) {
        const FileEntry& a = info.m_files[i];
        const FileEntry& b = reference.m_files[i];
        if (strcmp(a.szSource, b.szSource) != 0 || strcmp(a.szFileName, b.szFileName) != 0 ||
            strcmp(a.szDest, b.szDest) != 0 || strcmp(a.szAction, b.szAction) != 0 || a.nNumber != b.nNumber)
            __builtin_trap();
    }
}

void ExpectTerminated(const char* text, size_t size)
{
    if (strnlen(text, size) >= size)
        __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size)
{
    std::vector<std::string> files = SplitFuzzInput(data, size, 2);
    CFuzzSources sources(files[0], files[1]);
    CSetupInfo info;
    if (!info.Load("setup.inf", "list.inf", sources))
        __builtin_trap();  // both sources always open
    ExpectTerminated(info.m_szSection, sizeof info.m_szSection);
    ExpectTerminated(info.m_szTitle, sizeof info.m_szTitle);
    ExpectTerminated(info.m_szDefaultDir, sizeof info.m_szDefaultDir);
    for (size_t i = 0; i < info.m_files.GetSize(); ++i) {
        const FileEntry& entry = info.m_files[i];
        ExpectTerminated(entry.szSource, sizeof entry.szSource);
        ExpectTerminated(entry.szFileName, sizeof entry.szFileName);
        ExpectTerminated(entry.szDest, sizeof entry.szDest);
        ExpectTerminated(entry.szAction, sizeof entry.szAction);
        // The file name is always the tail of the source.
        size_t sourceLength = strlen(entry.szSource), nameLength = strlen(entry.szFileName);
        if (nameLength > sourceLength || strcmp(entry.szSource + sourceLength - nameLength, entry.szFileName) != 0)
            __builtin_trap();
    }
    ExpectSameAsRescanning(info, files[0], files[1]);
    return 0;
}
