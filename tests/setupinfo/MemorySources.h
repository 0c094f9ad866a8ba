// Test support: description files held in memory, opened by name.
#pragma once
#include <deque>
#include <map>
#include <string>

#include "SetupInfo.h"

class CMemorySources final : public ISetupSources {
public:
    std::map<std::string, std::string> files;

    IByteSource* Open(const char* path) override
    {
        auto it = files.find(path);
        return it == files.end() ? nullptr : &m_sources.emplace_back(it->second.data(), it->second.size());
    }
    void CloseAll() override {}

private:
    std::deque<CMemorySource> m_sources;  // stable addresses
};
