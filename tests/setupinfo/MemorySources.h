// Test support: description files held in memory, opened by name, in the order asked.
#pragma once
#include <deque>
#include <map>
#include <string>
#include <vector>

#include "SetupInfo.h"

class CMemorySources final : public ISetupSources {
public:
    std::map<std::string, std::string> files;
    std::vector<std::string> opened;
    int closeCalls = 0;
    bool forwardOnly = false;  // sources that cannot go back to their start, like a pipe

    IByteSource* Open(const char* path) override
    {
        opened.push_back(path);
        auto it = files.find(path);
        if (it == files.end())
            return nullptr;
        return &m_sources.emplace_back(it->second, forwardOnly);
    }
    void CloseAll() override { ++closeCalls; }

private:
    struct CSource final : IByteSource {
        CSource(const std::string& bytes, bool once) : memory(bytes.data(), bytes.size()), forwardOnly(once) {}
        bool Rewind() override { return !forwardOnly && memory.Rewind(); }
        size_t Read(unsigned char* buffer, size_t size) override { return memory.Read(buffer, size); }
        CMemorySource memory;
        bool forwardOnly;
    };
    std::deque<CSource> m_sources;  // stable addresses
};
