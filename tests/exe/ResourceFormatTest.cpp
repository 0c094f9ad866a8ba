// The built-in logo, icon and manifest as the executables carry them.
#include "ModuleUnderTest.h"
#include "resource.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstring>
#include <set>
#include <string>

namespace {

template <typename T> T At(const std::vector<unsigned char>& bytes, size_t offset)
{
    T value{};
    if (offset + sizeof(T) <= bytes.size())
        std::memcpy(&value, bytes.data() + offset, sizeof(T));
    return value;
}

class BuiltInResources : public testing::TestWithParam<ModuleUnderTest> {
protected:
    CDataModule m_module{GetParam().path};
};

TEST_P(BuiltInResources, LogoIsA440By110BitmapWith256Colours)
{
    ASSERT_NE(m_module.Handle(), nullptr) << GetParam().path;
    const std::vector<unsigned char> logo = m_module.Resource(RT_BITMAP, IDB_LOGO);
    ASSERT_GE(logo.size(), sizeof(BITMAPINFOHEADER));
    const BITMAPINFOHEADER header = At<BITMAPINFOHEADER>(logo, 0);
    EXPECT_EQ(header.biSize, 40u);
    EXPECT_EQ(header.biWidth, 440);
    EXPECT_EQ(header.biHeight, 110);   // positive: rows stored bottom-up
    EXPECT_EQ(header.biPlanes, 1);
    EXPECT_EQ(header.biBitCount, 8);
    EXPECT_EQ(header.biCompression, static_cast<DWORD>(BI_RGB));
    EXPECT_EQ(header.biXPelsPerMeter, 0);
    EXPECT_EQ(header.biYPelsPerMeter, 0);
    EXPECT_TRUE(header.biClrUsed == 0 || header.biClrUsed == 256) << header.biClrUsed;
    // Header, a full colour table and the rows (440 bytes, already a multiple of 4).
    const size_t pixelsAt = 40 + 256 * 4;
    EXPECT_EQ(logo.size(), pixelsAt + 440u * 110u);
    // A picture, not a blank: it uses a good part of its palette.
    std::set<unsigned char> used(logo.begin() + static_cast<long>(std::min(pixelsAt, logo.size())), logo.end());
    EXPECT_GT(used.size(), 100u);

    // And the system loads it as such.
    HBITMAP bitmap = static_cast<HBITMAP>(
        LoadImageA(m_module.Handle(), MAKEINTRESOURCEA(IDB_LOGO), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    ASSERT_NE(bitmap, nullptr);
    BITMAP info{};
    GetObjectA(bitmap, sizeof(info), &info);
    EXPECT_EQ(info.bmWidth, 440);
    EXPECT_EQ(info.bmHeight, 110);
    EXPECT_EQ(info.bmBitsPixel, 8);
    DeleteObject(bitmap);
}

TEST_P(BuiltInResources, IconGroupHolds48And32PixelImagesWithMasks)
{
    ASSERT_NE(m_module.Handle(), nullptr) << GetParam().path;
    const std::vector<unsigned char> group = m_module.Resource(RT_GROUP_ICON, IDR_MAINFRAME);
    ASSERT_EQ(group.size(), 6u + 2 * 14u);
    EXPECT_EQ(At<WORD>(group, 0), 0);   // reserved
    EXPECT_EQ(At<WORD>(group, 2), 1);   // icons, not cursors
    EXPECT_EQ(At<WORD>(group, 4), 2);   // two images

    const int sizes[2] = {48, 32};
    for (int i = 0; i < 2; ++i) {
        SCOPED_TRACE("image " + std::to_string(i + 1));
        const size_t entry = 6 + 14 * i;
        const int size = sizes[i];
        EXPECT_EQ(group[entry + 0], size);   // width
        EXPECT_EQ(group[entry + 1], size);   // height
        EXPECT_EQ(group[entry + 2], 0);      // colour count 0: 256 colours
        EXPECT_EQ(At<WORD>(group, entry + 4), 1);   // planes
        EXPECT_EQ(At<WORD>(group, entry + 6), 8);   // bits per pixel
        const WORD imageId = At<WORD>(group, entry + 12);
        EXPECT_EQ(imageId, i + 1);

        const std::vector<unsigned char> image = m_module.Resource(RT_ICON, imageId);
        EXPECT_EQ(At<DWORD>(group, entry + 8), image.size());
        const BITMAPINFOHEADER header = At<BITMAPINFOHEADER>(image, 0);
        EXPECT_EQ(header.biSize, 40u);
        EXPECT_EQ(header.biWidth, size);
        EXPECT_EQ(header.biHeight, 2 * size);   // colour rows, then the AND mask rows
        EXPECT_EQ(header.biBitCount, 8);
        EXPECT_EQ(header.biCompression, static_cast<DWORD>(BI_RGB));
        const size_t maskStride = ((size + 31) / 32) * 4;
        EXPECT_EQ(image.size(), 40u + 256 * 4 + size * size + maskStride * size);
        // The corners are transparent (the icon is a rounded tile), the middle is not.
        const size_t mask = 40 + 256 * 4 + size * size;
        if (image.size() >= mask + maskStride * size) {
            EXPECT_TRUE(image[mask] & 0x80) << "bottom-left corner";
            EXPECT_FALSE(image[mask + maskStride * (size / 2) + size / 16] & (0x80 >> (size / 2 % 8)))
                << "middle";
        }
    }

    // The system picks image 1 for 48 x 48 and image 2 for 32 x 32, and can make icons of them.
    ASSERT_GE(group.size(), 6u);
    EXPECT_EQ(LookupIconIdFromDirectoryEx(const_cast<PBYTE>(group.data()), TRUE, 48, 48, LR_DEFAULTCOLOR), 1);
    EXPECT_EQ(LookupIconIdFromDirectoryEx(const_cast<PBYTE>(group.data()), TRUE, 32, 32, LR_DEFAULTCOLOR), 2);
    for (int size : sizes) {
        HICON icon = static_cast<HICON>(
            LoadImageA(m_module.Handle(), MAKEINTRESOURCEA(IDR_MAINFRAME), IMAGE_ICON, size, size, 0));
        ASSERT_NE(icon, nullptr) << size;
        ICONINFO info{};
        ASSERT_TRUE(GetIconInfo(icon, &info));
        BITMAP colour{};
        GetObjectA(info.hbmColor, sizeof(colour), &colour);
        EXPECT_EQ(colour.bmWidth, size);
        DeleteObject(info.hbmColor);
        DeleteObject(info.hbmMask);
        DestroyIcon(icon);
    }
}

TEST_P(BuiltInResources, OneManifestAskingForStylesDpiAwarenessAndElevation)
{
    ASSERT_NE(m_module.Handle(), nullptr) << GetParam().path;
    // Exactly one: a second manifest from the toolchain would leave which one wins to chance.
    EXPECT_EQ(m_module.ResourceIds(RT_MANIFEST), std::vector<WORD>{1});
    const std::vector<unsigned char> bytes = m_module.Resource(RT_MANIFEST, 1);
    const std::string manifest(bytes.begin(), bytes.end());
    const auto has = [&](const char* text) { return manifest.find(text) != std::string::npos; };
    EXPECT_TRUE(has("name=\"Microsoft.Windows.Common-Controls\""));
    EXPECT_TRUE(has("version=\"6.0.0.0\""));
    EXPECT_TRUE(has("publicKeyToken=\"6595b64144ccf1df\""));
    EXPECT_TRUE(has("<requestedExecutionLevel level=\"requireAdministrator\" uiAccess=\"false\"/>"));
    EXPECT_TRUE(has(">true</dpiAware>"));
    EXPECT_FALSE(has("dpiAwareness")) << "the awareness is system-wide, not per monitor";
    for (const char* os : {"{e2011457-1546-43c5-a5fe-008deee3d3f0}", "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}",
                           "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}", "{1f676c76-80e1-4239-95bb-83d0f6d0da78}",
                           "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"})
        EXPECT_TRUE(has(os)) << os;

    // The loader's own parser accepts it, as it would when starting the program.
    ACTCTXA context{};
    context.cbSize = sizeof(context);
    context.dwFlags = ACTCTX_FLAG_RESOURCE_NAME_VALID;
    context.lpSource = GetParam().path.c_str();
    context.lpResourceName = MAKEINTRESOURCEA(1);
    HANDLE handle = CreateActCtxA(&context);
    EXPECT_NE(handle, INVALID_HANDLE_VALUE) << "error " << GetLastError();
    if (handle != INVALID_HANDLE_VALUE)
        ReleaseActCtx(handle);
}

INSTANTIATE_TEST_SUITE_P(Executables, BuiltInResources, testing::ValuesIn(ModulesUnderTest()));

// This program carries the same manifest, so the loader has applied it to this
// process: comctl32 comes from the version 6 assembly, and the process is DPI aware.
TEST(ManifestInEffect, CommonControls6AndSystemDpiAwareness)
{
    HMODULE comctl = LoadLibraryA("comctl32.dll");
    ASSERT_NE(comctl, nullptr);
    char path[MAX_PATH] = {};
    GetModuleFileNameA(comctl, path, sizeof(path));
    std::string lower(path);
    for (char& c : lower)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    EXPECT_NE(lower.find("microsoft.windows.common-controls_6595b64144ccf1df_6."), std::string::npos) << path;
    FreeLibrary(comctl);

    EXPECT_TRUE(IsProcessDPIAware());
}

} // namespace
