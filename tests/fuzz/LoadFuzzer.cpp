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
    return 0;
}
