#include "ExeSupport.h"

#include <cstdlib>

std::string KivSetupExePath()
{
    if (const char* other = getenv("KIV_EXE_UNDER_TEST"))  // another copy, such as a signed one
        return other;
#ifdef KIV_SETUP_EXE
    // A path of the build machine made a full Windows path (under Wine it lies on the current drive).
    char full[MAX_PATH] = {};
    const DWORD length = GetFullPathNameA(KIV_SETUP_EXE, sizeof full, full, nullptr);
    return length > 0 && length < sizeof full ? full : KIV_SETUP_EXE;
#else
    return "";
#endif
}

std::vector<ModuleUnderTest> ModulesUnderTest()
{
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, sizeof self);
    std::vector<ModuleUnderTest> modules{{"TestProgram", self}};
    if (!KivSetupExePath().empty())
        modules.push_back({"KivSetupExe", KivSetupExePath()});
    return modules;
}

CDataModule::CDataModule(const std::string& path) : m_module(LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE)) {}
CDataModule::~CDataModule() { if (m_module) FreeLibrary(m_module); }

Bytes CDataModule::Resource(LPCSTR type, WORD id) const
{
    HRSRC found = m_module ? FindResourceA(m_module, MAKEINTRESOURCEA(id), type) : nullptr;
    const auto* bytes = found ? static_cast<const unsigned char*>(LockResource(LoadResource(m_module, found))) : nullptr;
    return bytes ? Bytes(bytes, bytes + SizeofResource(m_module, found)) : Bytes();
}

std::vector<WORD> CDataModule::ResourceIds(LPCSTR type) const
{
    std::vector<WORD> ids;  // a null module would be this program
    if (m_module)
        EnumResourceNamesA(m_module, type, [](HMODULE, LPCSTR, LPSTR name, LONG_PTR list) -> BOOL {
            reinterpret_cast<std::vector<WORD>*>(list)->push_back(IS_INTRESOURCE(name) ? LOWORD(name) : 0xFFFF);
            return TRUE;
        }, reinterpret_cast<LONG_PTR>(&ids));
    return ids;
}
