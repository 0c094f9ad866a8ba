#include "ModuleUnderTest.h"

std::string KivSetupExePath()
{
#ifdef KIV_SETUP_EXE
    // The build gives a path of the build machine; make it a full Windows path
    // (under Wine a path from the root lies on the current drive).
    char full[MAX_PATH] = {};
    const DWORD length = GetFullPathNameA(KIV_SETUP_EXE, sizeof(full), full, nullptr);
    if (length > 0 && length < sizeof(full))
        return full;
    return KIV_SETUP_EXE;
#else
    return std::string();
#endif
}

std::vector<ModuleUnderTest> ModulesUnderTest()
{
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, sizeof(self));
    std::vector<ModuleUnderTest> modules{{"TestProgram", self}};
    if (!KivSetupExePath().empty())
        modules.push_back({"KivSetupExe", KivSetupExePath()});
    return modules;
}

CDataModule::CDataModule(const std::string& path)
    : m_module(LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE))
{
}

CDataModule::~CDataModule()
{
    if (m_module)
        FreeLibrary(m_module);
}

std::vector<unsigned char> CDataModule::Resource(LPCSTR type, WORD id) const
{
    HRSRC found = m_module ? FindResourceA(m_module, MAKEINTRESOURCEA(id), type) : nullptr;
    HGLOBAL loaded = found ? LoadResource(m_module, found) : nullptr;
    const unsigned char* bytes = loaded ? static_cast<const unsigned char*>(LockResource(loaded)) : nullptr;
    if (!bytes)
        return {};
    return std::vector<unsigned char>(bytes, bytes + SizeofResource(m_module, found));
}

namespace {
BOOL CALLBACK CollectId(HMODULE, LPCSTR, LPSTR name, LONG_PTR ids)
{
    if (IS_INTRESOURCE(name))
        reinterpret_cast<std::vector<WORD>*>(ids)->push_back(static_cast<WORD>(reinterpret_cast<ULONG_PTR>(name)));
    else
        reinterpret_cast<std::vector<WORD>*>(ids)->push_back(0xFFFF);   // a named resource: none of ours
    return TRUE;
}
} // namespace

std::vector<WORD> CDataModule::ResourceIds(LPCSTR type) const
{
    std::vector<WORD> ids;
    if (m_module)
        EnumResourceNamesA(m_module, type, CollectId, reinterpret_cast<LONG_PTR>(&ids));
    return ids;
}
