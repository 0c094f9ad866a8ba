// The compiled dialog template, logo, icon and manifest as the executables carry them.
#include "ExeSupport.h"
#include "resource.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace {

// Reads an extended dialog template's fields in order, never past its end.
struct CTemplateReader {
    const Bytes& bytes;
    size_t at = 0;
    template <typename T> T Next() { T value = At<T>(bytes, at); at += sizeof(T); return value; }
    std::string Text()  // ASCII; ordinals as "#n"
    {
        std::string text;
        if (At<WORD>(bytes, at) == 0xFFFF)
            return at += 2, "#" + std::to_string(Next<WORD>());
        for (WORD c = Next<WORD>(); c != 0 && at <= bytes.size(); c = Next<WORD>())
            text += static_cast<char>(c);
        return text;
    }
};

struct Control {
    int id;
    std::string className, text;  // the bitmap as its ordinal, "#n"
    int x, y, cx, cy;
    DWORD style, exStyle;  // style besides WS_CHILD
};
const DWORD V = WS_VISIBLE;
// The controls in template order, which is creation, stacking and Tab order.
const Control kControls[] = {
    {IDC_AGREE, "BUTTON", "I &Agree", 145, 158, 39, 10, V | BS_AUTOCHECKBOX | BS_FLAT | WS_TABSTOP, 0},
    {IDC_DIR, "EDIT", "", 15, 189, 226, 14, V | ES_LEFT | ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 0},
    {IDC_BROWSE, "BUTTON", "Browse...", 250, 189, 40, 14, V | BS_PUSHBUTTON | BS_FLAT | WS_TABSTOP, 0},
    {IDC_INSTALL, "BUTTON", "INSTALL", 7, 213, 293, 14, V | BS_PUSHBUTTON | BS_FLAT | WS_TABSTOP | WS_GROUP, 0},
    {IDC_DIR_GROUP, "BUTTON", "Dir Text", 7, 178, 293, 30, V | BS_GROUPBOX | WS_GROUP, 0},
    {-1, "STATIC", "", 7, 231, 293, 1, V | SS_BLACKFRAME | SS_SUNKEN, 0},
    {IDC_COPYRIGHT, "STATIC", "Copyright", 7, 235, 293, 8, V | SS_CENTER | WS_GROUP, 0},
    {-1, "STATIC", "KivSetup - a tiny installer for game content", 7, 248, 293, 8, V | SS_CENTER | WS_GROUP, 0},
    {IDC_QUESTION, "STATIC", "Do you agree to the terms above?", 15, 158, 108, 8, V | SS_LEFT | WS_GROUP, 0},
    {IDC_LOGO, "STATIC", "#" + std::to_string(IDB_LOGO), 7, 7, 293, 69, V | SS_BITMAP | SS_CENTERIMAGE, WS_EX_STATICEDGE},
    {IDC_LICENSE_GROUP, "BUTTON", "End-User License Agreement", 7, 78, 293, 94, V | BS_GROUPBOX, 0},
    {IDC_LICENSE, "EDIT", "", 15, 88, 275, 67, V | ES_LEFT | ES_MULTILINE | ES_READONLY | WS_VSCROLL, WS_EX_STATICEDGE},
    {IDC_COMPLETE, "STATIC", "Installation Complete!", 7, 106, 293, 8, SS_CENTER | WS_GROUP, 0},  // hidden
};

// The 40-byte header of an uncompressed 8-bit picture.
void ExpectDibHeader(const Bytes& dib, int width, int height)
{
    const BITMAPINFOHEADER h = At<BITMAPINFOHEADER>(dib, 0);
    EXPECT_EQ((std::vector<long>{long(h.biSize), h.biWidth, h.biHeight, h.biPlanes, h.biBitCount, long(h.biCompression)}),
              (std::vector<long>{40, width, height, 1, 8, BI_RGB}));
    EXPECT_TRUE(h.biClrUsed == 0 || h.biClrUsed == 256) << h.biClrUsed;
}

class BuiltInResources : public testing::TestWithParam<ModuleUnderTest> {
protected:
    CDataModule m_module{GetParam().path};
};

TEST_P(BuiltInResources, DialogTemplateHoldsTheThirteenControlsAsLaidOut)
{
    const Bytes bytes = m_module.Resource(RT_DIALOG, IDD_KIVSETUP_DIALOG);
    ASSERT_FALSE(bytes.empty()) << "no dialog template in " << GetParam().path;
    CTemplateReader in{bytes};
    EXPECT_EQ(in.Next<DWORD>(), 0xFFFF0001u);  // an extended template
    EXPECT_EQ(in.Next<ULONGLONG>(), 0u);       // help id, extended style
    EXPECT_EQ(in.Next<DWORD>(), static_cast<DWORD>(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT));
    EXPECT_EQ(in.Next<WORD>(), std::size(kControls));
    for (int expected : {0, 0, 307, 263})
        EXPECT_EQ(in.Next<short>(), expected);
    std::string texts;  // no menu, the standard class, the caption
    for (int i = 0; i < 3; ++i)
        texts += in.Text() + "|";
    EXPECT_EQ(texts, "||KivSetup|");
    EXPECT_EQ(in.Next<WORD>(), 8);  // point size
    const WORD weight = in.Next<WORD>();
    EXPECT_TRUE(weight == 0 || weight == FW_NORMAL) << weight;
    EXPECT_EQ(in.Next<WORD>(), DEFAULT_CHARSET << 8);  // not italic
    EXPECT_EQ(in.Text(), "MS Sans Serif");
    for (const Control& want : kControls) {
        SCOPED_TRACE("control " + std::to_string(want.id) + " " + want.text);
        in.at = (in.at + 3) & ~size_t(3);  // each item starts on a DWORD
        EXPECT_EQ(in.Next<ULONGLONG>(), ULONGLONG(want.exStyle) << 32);  // help id 0, extended style
        EXPECT_EQ(in.Next<DWORD>(), WS_CHILD | want.style);
        for (int expected : {want.x, want.y, want.cx, want.cy})
            EXPECT_EQ(in.Next<short>(), expected);
        EXPECT_EQ(in.Next<int>(), want.id);
        std::string className = in.Text();  // a predefined class by name or by ordinal
        className = className == "#128" ? "BUTTON" : className == "#129" ? "EDIT" : className == "#130" ? "STATIC"
                                                                                     : CharUpperA(className.data());
        EXPECT_EQ(className, want.className);
        EXPECT_EQ(in.Text(), want.text);
        EXPECT_EQ(in.Next<WORD>(), 0);  // no creation data
    }
    EXPECT_LE(in.at, bytes.size());
}

TEST_P(BuiltInResources, LogoIsA440By110BitmapWith256Colours)
{
    const Bytes logo = m_module.Resource(RT_BITMAP, IDB_LOGO);
    ExpectDibHeader(logo, 440, 110);  // positive height: bottom-up rows
    const size_t pixelsAt = 40 + 256 * 4;  // then rows of 440 bytes, already a multiple of 4
    ASSERT_EQ(logo.size(), pixelsAt + 440u * 110u);
    EXPECT_GT(std::set<unsigned char>(logo.begin() + pixelsAt, logo.end()).size(), 100u) << "a picture, not a blank";
}

TEST_P(BuiltInResources, IconGroupHolds48And32PixelImagesWithMasks)
{
    const Bytes group = m_module.Resource(RT_GROUP_ICON, IDR_MAINFRAME);
    ASSERT_EQ(group.size(), 6u + 2 * 14u);
    EXPECT_EQ(At<ULONGLONG>(group, 0) & 0xFFFFFFFFFFFF, 0x000200010000u);  // reserved, icons (not cursors), two images
    for (int i = 0; i < 2; ++i) {
        const int size = i == 0 ? 48 : 32;
        const size_t entry = 6 + 14 * i;
        SCOPED_TRACE(size);
        // width, height, colour count 0 (256 colours), planes, bits per pixel, image id
        const std::vector<int> fields = {group[entry], group[entry + 1], group[entry + 2], At<WORD>(group, entry + 4),
                                         At<WORD>(group, entry + 6), At<WORD>(group, entry + 12)};
        EXPECT_EQ(fields, (std::vector<int>{size, size, 0, 1, 8, i + 1}));
        const Bytes image = m_module.Resource(RT_ICON, static_cast<WORD>(i + 1));
        EXPECT_EQ(At<DWORD>(group, entry + 8), image.size());
        ExpectDibHeader(image, size, 2 * size);  // colour rows, then the AND mask rows
        const size_t maskStride = (size + 31) / 32 * 4, mask = 40 + 256 * 4 + size * size;
        ASSERT_EQ(image.size(), mask + maskStride * size);
        // A rounded tile: the corner is transparent, the middle is not.
        EXPECT_TRUE(image[mask] & 0x80);
        EXPECT_FALSE(image[mask + maskStride * (size / 2) + size / 16] & (0x80 >> (size / 2 % 8)));
        // The system picks this image for this size and makes an icon of it.
        EXPECT_EQ(LookupIconIdFromDirectoryEx(const_cast<PBYTE>(group.data()), TRUE, size, size, 0), i + 1);
        HICON icon = static_cast<HICON>(
            LoadImageA(m_module.Handle(), MAKEINTRESOURCEA(IDR_MAINFRAME), IMAGE_ICON, size, size, 0));
        EXPECT_TRUE(icon);
        DestroyIcon(icon);
    }
}

TEST_P(BuiltInResources, OneManifestAskingForStylesDpiAwarenessAndElevation)
{
    // Exactly one: with a second one from the toolchain, which wins is left to chance.
    EXPECT_EQ(m_module.ResourceIds(RT_MANIFEST), std::vector<WORD>{1});
    const Bytes bytes = m_module.Resource(RT_MANIFEST, 1);
    const std::string manifest(bytes.begin(), bytes.end());
    for (const char* text : {"name=\"Microsoft.Windows.Common-Controls\"", "version=\"6.0.0.0\"",
                             "publicKeyToken=\"6595b64144ccf1df\"", ">true</dpiAware>",
                             "<requestedExecutionLevel level=\"requireAdministrator\" uiAccess=\"false\"/>",
                             "{e2011457-1546-43c5-a5fe-008deee3d3f0}", "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}",
                             "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}", "{1f676c76-80e1-4239-95bb-83d0f6d0da78}",
                             "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"})
        EXPECT_NE(manifest.find(text), std::string::npos) << text;
    EXPECT_EQ(manifest.find("dpiAwareness"), std::string::npos) << "system-wide awareness, not per monitor";

    // The loader's own parser accepts it.
    ACTCTXA context{};
    context.cbSize = sizeof context;
    context.dwFlags = ACTCTX_FLAG_RESOURCE_NAME_VALID;
    context.lpSource = GetParam().path.c_str();
    context.lpResourceName = MAKEINTRESOURCEA(1);
    HANDLE handle = CreateActCtxA(&context);
    EXPECT_NE(handle, INVALID_HANDLE_VALUE) << "error " << GetLastError();
    if (handle != INVALID_HANDLE_VALUE)
        ReleaseActCtx(handle);
}

INSTANTIATE_TEST_SUITE_P(Executables, BuiltInResources, testing::ValuesIn(ModulesUnderTest()));

}  // namespace
