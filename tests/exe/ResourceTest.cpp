// The compiled resources as the executables carry them: the committed pictures and manifest byte for byte,
// in forms the system takes. (The dialog template is checked as the dialog manager creates it, in tests/ui.)
#include <windows.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "resource.h"

namespace {

std::string FromBuildMachine(const std::string& path)  // drive Z: is its root under Wine
{
    return path[0] == '/' ? "Z:" + path : path;
}

std::string Resource(HMODULE module, LPCSTR type, WORD id)  // empty when missing
{
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(id), type);
    const char* bytes = found ? static_cast<const char*>(LockResource(LoadResource(module, found))) : nullptr;
    return bytes ? std::string(bytes, SizeofResource(module, found)) : "";
}

}  // namespace

TEST(BuiltInResources, TheCommittedPicturesAndManifestInFormsTheSystemTakes)
{
    auto committed = [](const char* name) {
        std::ifstream in(FromBuildMachine(KIV_RES_DIR "/") + name, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    };
    const std::string logo = committed("logo.bmp"), ico = committed("KivSetup.ico"), manifest = committed("KivSetup.manifest");
    char self[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, self, sizeof self);
    // This program links the same compiled resources as KivSetup.exe.
    for (const std::string& path : {std::string(self), FromBuildMachine(KIV_SETUP_EXE)}) {
        SCOPED_TRACE(path);
        HMODULE module = LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_NE(nullptr, module);
        EXPECT_EQ(Resource(module, RT_BITMAP, IDB_LOGO), logo.substr(14));  // less the file header
        // Each image of the icon file (its directory entry gives its size and offset) as an icon of its own.
        for (size_t i = 0; i < static_cast<unsigned char>(ico[4]); ++i) {
            DWORD size, offset;
            memcpy(&size, &ico[6 + 16 * i + 8], 4);
            memcpy(&offset, &ico[6 + 16 * i + 12], 4);
            EXPECT_EQ(Resource(module, RT_ICON, static_cast<WORD>(i + 1)), ico.substr(offset, size));
        }
        EXPECT_EQ(Resource(module, RT_GROUP_ICON, IDR_MAINFRAME).size(), 6 + 14u * static_cast<unsigned char>(ico[4]));
        // Exactly one manifest, the committed one: with a second from the toolchain, which wins is chance.
        std::vector<WORD> ids;
        EnumResourceNamesA(module, RT_MANIFEST, [](HMODULE, LPCSTR, LPSTR name, LONG_PTR list) -> BOOL {
            reinterpret_cast<std::vector<WORD>*>(list)->push_back(IS_INTRESOURCE(name) ? LOWORD(name) : 0xFFFF);
            return TRUE;
        }, reinterpret_cast<LONG_PTR>(&ids));
        EXPECT_EQ(ids, std::vector<WORD>{1});
        EXPECT_EQ(Resource(module, RT_MANIFEST, 1), manifest);
        FreeLibrary(module);
        // The loader's own parser accepts it.
        ACTCTXA context{};
        context.cbSize = sizeof context;
        context.dwFlags = ACTCTX_FLAG_RESOURCE_NAME_VALID;
        context.lpSource = path.c_str();
        context.lpResourceName = MAKEINTRESOURCEA(1);
        HANDLE handle = CreateActCtxA(&context);
        EXPECT_NE(handle, INVALID_HANDLE_VALUE) << "error " << GetLastError();
        ReleaseActCtx(handle);
    }
}
