// The built executables as files: what they import, how they are linked, how big KivSetup.exe is.
#include "ModuleUnderTest.h"
#include "PeImage.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <iostream>
#include <set>
#include <string>

namespace {

std::string Lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
}

// DLLs that every Windows installation carries in its system directory.
bool IsSystemDll(const std::string& name)
{
    static const std::set<std::string> system = {
        "kernel32.dll", "user32.dll", "gdi32.dll", "shell32.dll", "comctl32.dll", "comdlg32.dll",
        "ole32.dll", "oleaut32.dll", "advapi32.dll", "shlwapi.dll", "uxtheme.dll", "version.dll",
        "msvcrt.dll", "ntdll.dll", "ws2_32.dll", "bcrypt.dll", "crypt32.dll", "userenv.dll"};
    const std::string lower = Lower(name);
    return system.count(lower) != 0 || lower.rfind("api-ms-win-", 0) == 0;
}

class BuiltExecutable : public testing::TestWithParam<ModuleUnderTest> {
protected:
    CPeImage m_image{GetParam().path};
};

TEST_P(BuiltExecutable, ImportsOnlyWindowsSystemDlls)
{
    ASSERT_EQ(m_image.Error(), "");
    ASSERT_FALSE(m_image.Imports().empty());
    for (const PeImport& import : m_image.Imports())
        EXPECT_TRUE(IsSystemDll(import.dll)) << import.dll << " would have to be shipped beside the executable";
}

TEST_P(BuiltExecutable, LinkedForAslrHighEntropyVaAndDep)
{
    ASSERT_EQ(m_image.Error(), "");
    EXPECT_EQ(m_image.Machine(), IMAGE_FILE_MACHINE_AMD64);
    EXPECT_EQ(m_image.Magic(), IMAGE_NT_OPTIONAL_HDR64_MAGIC);
    const uint16_t flags = m_image.DllCharacteristics();
    EXPECT_TRUE(flags & IMAGE_DLLCHARACTERISTICS_DYNAMIC_BASE) << std::hex << flags;
    EXPECT_TRUE(flags & IMAGE_DLLCHARACTERISTICS_HIGH_ENTROPY_VA) << std::hex << flags;
    EXPECT_TRUE(flags & IMAGE_DLLCHARACTERISTICS_NX_COMPAT) << std::hex << flags;
    // ASLR can move the image only when it keeps its relocations.
    EXPECT_FALSE(m_image.FileCharacteristics() & IMAGE_FILE_RELOCS_STRIPPED);
    EXPECT_GT(m_image.DirectorySize(IMAGE_DIRECTORY_ENTRY_BASERELOC), 0u);
    EXPECT_GT(m_image.DirectorySize(IMAGE_DIRECTORY_ENTRY_RESOURCE), 0u);
}

INSTANTIATE_TEST_SUITE_P(Executables, BuiltExecutable, testing::ValuesIn(ModulesUnderTest()));

TEST(KivSetupExe, StrippedWindowsProgramWithinItsSizeBudget)
{
    if (KivSetupExePath().empty())
        GTEST_SKIP() << "this build has no KivSetup.exe";
    CPeImage image(KivSetupExePath());
    ASSERT_EQ(image.Error(), "");
    EXPECT_EQ(image.Subsystem(), IMAGE_SUBSYSTEM_WINDOWS_GUI) << "no console window";
    EXPECT_EQ(image.SymbolTableOffset(), 0u) << "not stripped";
    EXPECT_EQ(image.SymbolCount(), 0u) << "not stripped";
    uint64_t resources = 0;
    for (const PeSection& section : image.Sections()) {
        EXPECT_TRUE(section.name.rfind(".debug", 0) != 0 && section.name.rfind("/", 0) != 0) << section.name;
        if (section.name == ".rsrc")
            resources = section.rawSize;
    }
    // The built-in pictures have a fixed form (the logo alone is an uncompressed
    // 440 x 110 bitmap of 48 KB), so the budget holds the program besides them.
    const uint64_t program = image.FileSize() - resources;
    std::cout << "KivSetup.exe: " << image.FileSize() << " bytes, of which " << resources
              << " built-in resources and " << program << " program\n";
    RecordProperty("KivSetupExeBytes", static_cast<int>(image.FileSize()));
    RecordProperty("KivSetupProgramBytes", static_cast<int>(program));
    EXPECT_GT(resources, 0u);
    EXPECT_LE(program, 64u * 1024u);
}

TEST(KivSetupExe, RestrictsTheDllSearchPath)
{
    if (KivSetupExePath().empty())
        GTEST_SKIP() << "this build has no KivSetup.exe";
    CPeImage image(KivSetupExePath());
    ASSERT_EQ(image.Error(), "");
    // Imported, or at least named for GetProcAddress on systems that may lack it.
    bool imported = false;
    for (const PeImport& import : image.Imports()) {
        for (const std::string& function : import.functions)
            imported = imported || function == "SetDefaultDllDirectories";
    }
    EXPECT_TRUE(imported || image.ContainsText("SetDefaultDllDirectories"));
}

} // namespace
