#include "support/TempDir.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <iterator>

namespace fs = std::filesystem;

std::string TestData(const std::string& onBuildMachine)
{
    const char* copied = std::getenv("KIV_TEST_DATA_DIR");
    if (copied && *copied)
        return (fs::path(copied) / onBuildMachine.substr(onBuildMachine.find_last_of('/') + 1)).string();
#ifdef _WIN32
    if (onBuildMachine[0] == '/')
        return "Z:" + onBuildMachine;
#endif
    return onBuildMachine;
}

CTempDir::CTempDir()
{
    static std::atomic<unsigned> counter{0};
    const auto now = std::chrono::steady_clock::now().time_since_epoch().count();
    m_root = fs::temp_directory_path() / ("kivtest-" + std::to_string(now) + "-" + std::to_string(counter++));
    fs::create_directories(m_root);
}

CTempDir::~CTempDir()
{
    // Read-only files and directories made by a test must not keep it from cleaning up.
    std::error_code ignored;
    for (auto it = fs::recursive_directory_iterator(m_root, ignored); it != fs::recursive_directory_iterator();
         it.increment(ignored))
        fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ignored);
    fs::remove_all(m_root, ignored);
}

std::string CTempDir::Path() const
{
    std::string text = m_root.string();
    std::replace(text.begin(), text.end(), '/', '\\');
    return text;
}

fs::path CTempDir::Native(const std::string& relative) const
{
    std::string native = relative;
#ifndef _WIN32
    std::replace(native.begin(), native.end(), '\\', '/');
#endif
    return native.empty() ? m_root : m_root / native;
}

void CTempDir::Write(const std::string& relative, const std::string& bytes) const
{
    fs::create_directories(Native(relative).parent_path());
    std::ofstream(Native(relative), std::ios::binary) << bytes;
}

std::string CTempDir::Read(const std::string& relative) const
{
    std::ifstream in(Native(relative), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::set<std::string> CTempDir::Tree(const std::string& relative) const
{
    std::set<std::string> names;
    for (const auto& entry : fs::recursive_directory_iterator(Native(relative)))
        names.insert(entry.path().lexically_relative(Native(relative)).generic_string());
    return names;
}
