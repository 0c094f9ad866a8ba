// Benchmark support: a scratch directory with generated packages, removed at exit.
#pragma once
#include <filesystem>
#include <string>

// A fresh directory under the system's temporary directory.
class CBenchDir {
public:
    explicit CBenchDir(const std::string& name);
    ~CBenchDir();
    CBenchDir(const CBenchDir&) = delete;
    CBenchDir& operator=(const CBenchDir&) = delete;

    const std::filesystem::path& Root() const { return m_root; }
    // Writes a file below the root (making its parent directories).
    void Write(const std::string& relative, const std::string& bytes) const;

private:
    std::filesystem::path m_root;
};

// The setup.inf every benchmark package uses: install section "Pack".
extern const char kBenchSetup[];

// A list.inf for section "Pack" with entries FILE1..FILEcount, each written by
// entry(n) as the value of FILEn.
template <typename EntryText>
std::string MakeList(int count, EntryText entry)
{
    std::string list = "[Pack]\r\nCount=" + std::to_string(count) + "\r\n";
    for (int n = 1; n <= count; ++n)
        list += "FILE" + std::to_string(n) + "=" + entry(n) + "\r\n";
    return list;
}
