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

    IByteSource* Open(const char* path) override
    {
        opened.push_back(path);
        auto it = files.find(path);
        return it == files.end() ? nullptr : &m_sources.emplace_back(it->second.data(), it->second.size());
    }
    void CloseAll() override { ++closeCalls; }

private:
    std::deque<CMemorySource> m_sources;  // stable addresses
};
