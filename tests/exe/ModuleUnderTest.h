// Test support: the executables whose built-in resources are checked, loaded as data.
#pragma once
#include <gtest/gtest.h>
#include <windows.h>

#include <ostream>
#include <string>
#include <vector>

struct ModuleUnderTest {
    std::string name;   // a test-name suffix: letters, digits and '_' only
    std::string path;
};

// This test program, which links the same compiled resources, and KivSetup.exe
// when the build has it.
std::vector<ModuleUnderTest> ModulesUnderTest();
// Shown for the parameter in test names and failures: TestProgram, KivSetupExe.
inline void PrintTo(const ModuleUnderTest& module, std::ostream* out)
{
    *out << module.name;
}

// The path of KivSetup.exe, or empty when the build has none.
std::string KivSetupExePath();

// An executable mapped as a data file: its resources can be found, no code runs.
class CDataModule {
public:
    explicit CDataModule(const std::string& path);
    ~CDataModule();
    CDataModule(const CDataModule&) = delete;
    CDataModule& operator=(const CDataModule&) = delete;

    HMODULE Handle() const { return m_module; }
    // The bytes of resource (type, id); empty when it is missing.
    std::vector<unsigned char> Resource(LPCSTR type, WORD id) const;
    // The ids of every resource of a type.
    std::vector<WORD> ResourceIds(LPCSTR type) const;

private:
    HMODULE m_module;
};
