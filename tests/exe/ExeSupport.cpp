#include "ExeSupport.h"

#include <fstream>
#include <iterator>

std::string KivSetupExePath()
{
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

namespace {

// File offset of an RVA, or 0 when no section's raw data holds it.
size_t Offset(const PeFile& pe, DWORD rva)
{
    for (const IMAGE_SECTION_HEADER& s : pe.sections)
        if (rva >= s.VirtualAddress && rva - s.VirtualAddress < s.SizeOfRawData)
            return s.PointerToRawData + (rva - s.VirtualAddress);
    return 0;
}

std::string TextAt(const PeFile& pe, DWORD rva)
{
    const size_t at = Offset(pe, rva);
    const char* text = reinterpret_cast<const char*>(pe.bytes.data() + at);
    return at ? std::string(text, strnlen(text, pe.bytes.size() - at)) : "?";
}

// Descriptors of entrySize bytes, ending with a zero name; name and name table at the given fields.
void ReadImports(PeFile& pe, DWORD rva, size_t entrySize, size_t nameField, size_t tableField)
{
    for (size_t entry = rva ? Offset(pe, rva) : 0; entry && At<DWORD>(pe.bytes, entry + nameField);
         entry += entrySize) {
        pe.dlls.push_back(TextAt(pe, At<DWORD>(pe.bytes, entry + nameField)));
        for (size_t thunk = Offset(pe, At<DWORD>(pe.bytes, entry + tableField));
             thunk && At<ULONGLONG>(pe.bytes, thunk); thunk += 8) {
            const ULONGLONG value = At<ULONGLONG>(pe.bytes, thunk);
            pe.functions.push_back(IMAGE_SNAP_BY_ORDINAL64(value) ? "#" : TextAt(pe, static_cast<DWORD>(value) + 2));
        }
    }
}

}  // namespace

PeFile ReadPeFile(const std::string& path)
{
    PeFile pe;
    std::ifstream in(path, std::ios::binary);
    pe.bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    const LONG nt = At<IMAGE_DOS_HEADER>(pe.bytes, 0).e_lfanew;
    if (At<WORD>(pe.bytes, 0) != IMAGE_DOS_SIGNATURE || At<DWORD>(pe.bytes, nt) != IMAGE_NT_SIGNATURE) {
        pe.error = "no PE file: " + path;
        return pe;
    }
    pe.file = At<IMAGE_FILE_HEADER>(pe.bytes, nt + 4);
    pe.optional = At<IMAGE_OPTIONAL_HEADER64>(pe.bytes, nt + 4 + sizeof(IMAGE_FILE_HEADER));
    const size_t table = nt + 4 + sizeof(IMAGE_FILE_HEADER) + pe.file.SizeOfOptionalHeader;
    for (WORD i = 0; i < pe.file.NumberOfSections; ++i)
        pe.sections.push_back(At<IMAGE_SECTION_HEADER>(pe.bytes, table + i * sizeof(IMAGE_SECTION_HEADER)));
    const IMAGE_DATA_DIRECTORY* dirs = pe.optional.DataDirectory;
    ReadImports(pe, dirs[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress, 20, 12, 0);
    ReadImports(pe, dirs[IMAGE_DIRECTORY_ENTRY_DELAY_IMPORT].VirtualAddress, 32, 4, 16);
    return pe;
}
