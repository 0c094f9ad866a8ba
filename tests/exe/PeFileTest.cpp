// The built executables as files: imports, hardening flags, stripping and KivSetup.exe's size.
#include "ExeSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iostream>
#include <set>

namespace {

class BuiltExecutable : public testing::TestWithParam<ModuleUnderTest> {
protected:
    PeFile m_pe = ReadPeFile(GetParam().path);
};

TEST_P(BuiltExecutable, ImportsOnlySystemDllsAndIsLinkedForAslrHighEntropyVaAndDep)
{
    ASSERT_EQ(m_pe.error, "");
    static const std::set<std::string> system = {
        "kernel32.dll", "user32.dll", "gdi32.dll", "shell32.dll", "comctl32.dll", "comdlg32.dll", "ole32.dll",
        "oleaut32.dll", "advapi32.dll", "shlwapi.dll", "uxtheme.dll", "version.dll", "msvcrt.dll", "ntdll.dll",
        "ws2_32.dll", "bcrypt.dll", "crypt32.dll", "userenv.dll"};
    ASSERT_FALSE(m_pe.dlls.empty());
    for (std::string dll : m_pe.dlls)
        EXPECT_TRUE(system.count(CharLowerA(dll.data())) || dll.rfind("api-ms-win-", 0) == 0) << dll << " would have to be shipped";
    EXPECT_EQ(m_pe.file.Machine, IMAGE_FILE_MACHINE_AMD64);
    EXPECT_EQ(m_pe.optional.Magic, IMAGE_NT_OPTIONAL_HDR64_MAGIC);
    const WORD hardening = IMAGE_DLLCHARACTERISTICS_DYNAMIC_BASE | IMAGE_DLLCHARACTERISTICS_HIGH_ENTROPY_VA |
                           IMAGE_DLLCHARACTERISTICS_NX_COMPAT;  // ASLR, high-entropy VA, DEP
    EXPECT_EQ(m_pe.optional.DllCharacteristics & hardening, hardening) << std::hex << m_pe.optional.DllCharacteristics;
    // ASLR can move the image only when it keeps its relocations.
    EXPECT_FALSE(m_pe.file.Characteristics & IMAGE_FILE_RELOCS_STRIPPED);
    EXPECT_GT(m_pe.optional.DataDirectory[IMAGE_DIRECTORY_ENTRY_BASERELOC].Size, 0u);
    EXPECT_GT(m_pe.optional.DataDirectory[IMAGE_DIRECTORY_ENTRY_RESOURCE].Size, 0u);
}

INSTANTIATE_TEST_SUITE_P(Executables, BuiltExecutable, testing::ValuesIn(ModulesUnderTest()));

TEST(KivSetupExe, StrippedGuiProgramWithinItsSizeBudgetThatRestrictsTheDllSearchPath)
{
    if (KivSetupExePath().empty())
        GTEST_SKIP() << "this build has no KivSetup.exe";
    const PeFile pe = ReadPeFile(KivSetupExePath());
    ASSERT_EQ(pe.error, "");
    EXPECT_EQ(pe.optional.Subsystem, IMAGE_SUBSYSTEM_WINDOWS_GUI) << "no console window";
    EXPECT_EQ(pe.file.PointerToSymbolTable + pe.file.NumberOfSymbols, 0u) << "not stripped";
    uint64_t resources = 0;
    for (const IMAGE_SECTION_HEADER& section : pe.sections) {
        const std::string name(reinterpret_cast<const char*>(section.Name), strnlen(reinterpret_cast<const char*>(section.Name), 8));
        EXPECT_TRUE(name.rfind(".debug", 0) != 0 && name.rfind("/", 0) != 0) << name;
        resources += name == ".rsrc" ? section.SizeOfRawData : 0;
    }
    // The built-in pictures have a fixed size (the logo alone is 48 KB); the budget is for the program.
    const uint64_t program = pe.bytes.size() - resources;
    std::cout << "KivSetup.exe: " << pe.bytes.size() << " bytes, " << resources << " of them resources\n";
    RecordProperty("KivSetupProgramBytes", static_cast<int>(program));
    EXPECT_GT(resources, 0u);
    EXPECT_LE(program, 64u * 1024u);
    // Imported, or at least named for GetProcAddress on systems that may lack it.
    const std::string call = "SetDefaultDllDirectories";
    EXPECT_TRUE(std::count(pe.functions.begin(), pe.functions.end(), call) ||
                std::search(pe.bytes.begin(), pe.bytes.end(), call.begin(), call.end()) != pe.bytes.end());
}

}  // namespace
