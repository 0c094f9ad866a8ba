// Test support: the executables under test and their resources loaded as data.
#pragma once
#include <windows.h>

#include <cstring>
#include <ostream>
#include <string>
#include <vector>

using Bytes = std::vector<unsigned char>;

template <typename T> T At(const Bytes& bytes, size_t offset)
{
    T value{};
    if (offset <= bytes.size() && bytes.size() - offset >= sizeof(T))
        std::memcpy(&value, bytes.data() + offset, sizeof(T));
    return value;
}

struct ModuleUnderTest {
    std::string name, path;
};
inline void PrintTo(const ModuleUnderTest& module, std::ostream* out) { *out << module.name; }

// The path of KivSetup.exe (KIV_EXE_UNDER_TEST names another copy), or empty when the build has none.
std::string KivSetupExePath();
// This test program (it links the same compiled resources) and KivSetup.exe when built.
std::vector<ModuleUnderTest> ModulesUnderTest();

// An executable mapped as a data file: its resources can be found, no code runs.
class CDataModule {
public:
    explicit CDataModule(const std::string& path);
    ~CDataModule();
    CDataModule(const CDataModule&) = delete;
    HMODULE Handle() const { return m_module; }
    Bytes Resource(LPCSTR type, WORD id) const;  // empty when missing
    std::vector<WORD> ResourceIds(LPCSTR type) const;

private:
    HMODULE m_module;
};
