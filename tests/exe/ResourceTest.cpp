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

std::string FromBuildMachine(std::string path)  // drive Z: is its root under Wine
{
    return path[0] == '/' ? "Z:" + path : path;
}

std::string Resource(HMODULE module, LPCSTR type, WORD id)  // empty when missing
{
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(id), type);
    const char* bytes = found ? static_cast<const char*>(LockResource(LoadResource(module, found))) : nullptr;
    return bytes ? std::string(bytes, SizeofResource(module, found)) : "";
}

template <typename T> T At(const std::string& bytes, size_t at)
{
    T value{};
    if (at + sizeof value <= bytes.size())
        memcpy(&value, bytes.data() + at, sizeof value);
    return value;
}

}  // namespace

TEST(BuiltInResources, TheCommittedPicturesAndManifestInFormsTheSystemTakes)
{
    auto committed = [](const char* name) {
        std::ifstream in(FromBuildMachine(KIV_RES_DIR "/") + name, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    };
    const std::string ico = committed("KivSetup.ico"), manifest = committed("KivSetup.manifest");
    char self[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, self, sizeof self);
    // This program links the same compiled resources as KivSetup.exe.
    for (const std::string& path : {std::string(self), FromBuildMachine(KIV_SETUP_EXE)}) {
        SCOPED_TRACE(path);
        HMODULE module = LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_NE(nullptr, module);
        // The logo is the bitmap file less its 14-byte file header.
        EXPECT_EQ(Resource(module, RT_BITMAP, IDB_LOGO), committed("logo.bmp").substr(14));
        // The icon group lists the icon file's images, each entry without its file offset but with an id.
        const std::string group = Resource(module, RT_GROUP_ICON, IDR_MAINFRAME);
        ASSERT_EQ(group.size(), 6 + 14u * At<WORD>(ico, 4));
        EXPECT_EQ(group.substr(0, 6), ico.substr(0, 6));
        for (size_t i = 0; i < At<WORD>(ico, 4); ++i) {
            const std::string entry = ico.substr(6 + 16 * i, 16);
            const WORD id = At<WORD>(group, 6 + 14 * i + 12);
            EXPECT_EQ(group.substr(6 + 14 * i, 12), entry.substr(0, 12));
            EXPECT_EQ(Resource(module, RT_ICON, id), ico.substr(At<DWORD>(entry, 12), At<DWORD>(entry, 8)));
            // The system picks each image for its own size and makes an icon of it.
            const int size = static_cast<unsigned char>(entry[0]);
            EXPECT_EQ(LookupIconIdFromDirectoryEx(reinterpret_cast<PBYTE>(const_cast<char*>(group.data())), TRUE, size, size, 0), id);
            HICON icon = static_cast<HICON>(LoadImageA(module, MAKEINTRESOURCEA(IDR_MAINFRAME), IMAGE_ICON, size, size, 0));
            EXPECT_NE(nullptr, icon) << size;
            DestroyIcon(icon);
        }
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
        if (handle != INVALID_HANDLE_VALUE)
            ReleaseActCtx(handle);
    }
    // Elevation (game directories lie under Program Files), the version 6 controls, system DPI awareness.
    for (const char* text : {"level=\"requireAdministrator\"", "Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\"",
                             ">true</dpiAware>"})
        EXPECT_NE(manifest.find(text), std::string::npos) << text;
}
