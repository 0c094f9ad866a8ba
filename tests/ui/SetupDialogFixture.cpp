#include "SetupDialogFixture.h"

#include <filesystem>

#include "FileSystem.h"

namespace fs = std::filesystem;

namespace {

std::function<bool(const char*)> g_record;

bool RecordOpen(const char* file)
{
    return g_record ? g_record(file) : true;
}

// KIV_EXAMPLES_DIR is the repository's examples directory as the build
// machine names it; under Wine the same tree is drive Z:.
fs::path ExamplesDir()
{
    std::string path = KIV_EXAMPLES_DIR;
#ifdef _WIN32
    if (!path.empty() && path[0] == '/')
        path = "Z:" + path;
#endif
    return fs::path(path);
}

}  // namespace

SetupDialogTest::SetupDialogTest()
{
    g_record = [this](const char* file) {
        if (onOpen)
            onOpen(file);
        opened.push_back(file);
        return true;
    };
    Platform::SetShellOpener(RecordOpen);
    Renew();
}

void SetupDialogTest::Renew()
{
    dialog.reset();
    info = std::make_unique<CSetupInfo>();
    dialog = std::make_unique<CTestSetupDialog>(*info);
}

SetupDialogTest::~SetupDialogTest()
{
    Platform::SetShellOpener(nullptr);
    g_record = nullptr;
}

void SetupDialogTest::WritePackage(const std::string& defaultDir, const std::vector<std::string>& files)
{
    package.Write("setup.inf",
                  "[Setup]\r\nDEFAULTINSTALL=Standard\r\nStandard=ArenaPack\r\n"
                  "Copyright=Sample notice text\r\n\r\n"
                  "[ArenaPack]\r\nTitle=Arena Map Pack\r\n"
                  "InstallText=Choose the directory of the game\r\n"
                  "DefaultDir=" + defaultDir + "\r\n");
    std::string list = "[ArenaPack]\r\nCount=" + std::to_string(files.size()) + "\r\n";
    for (size_t i = 0; i < files.size(); ++i)
        list += "FILE" + std::to_string(i + 1) + "=" + files[i] + "\r\n";
    package.Write("list.inf", list);
}

void SetupDialogTest::CopyExamplePackage()
{
    fs::copy(ExamplesDir() / "arena-pack", package.Native(), fs::copy_options::recursive);
}

INT_PTR SetupDialogTest::Run(CDialogDriver& driver)
{
    CCurrentDir inPackage(package.Native());
    EXPECT_NE(nullptr, info->Load("setup.inf", "list.inf"));
    return driver.Run([this] { return dialog->DoModal(); });
}

std::string MakeBitmapFile(int width, int height)
{
    int rowSize = (width * 3 + 3) & ~3;
    std::string pixels;
    for (int y = 0; y < height; ++y) {
        std::string row(static_cast<size_t>(rowSize), '\0');
        for (int x = 0; x < width; ++x) {
            row[static_cast<size_t>(x * 3)] = static_cast<char>(x * 4);      // blue
            row[static_cast<size_t>(x * 3 + 1)] = static_cast<char>(y * 8);  // green
            row[static_cast<size_t>(x * 3 + 2)] = static_cast<char>(200);    // red
        }
        pixels += row;
    }
    BITMAPFILEHEADER file = {};
    BITMAPINFOHEADER header = {};
    file.bfType = 0x4D42;  // "BM"
    file.bfOffBits = sizeof(file) + sizeof(header);
    file.bfSize = static_cast<DWORD>(file.bfOffBits + pixels.size());
    header.biSize = sizeof(header);
    header.biWidth = width;
    header.biHeight = height;
    header.biPlanes = 1;
    header.biBitCount = 24;
    header.biCompression = BI_RGB;
    header.biSizeImage = static_cast<DWORD>(pixels.size());
    return std::string(reinterpret_cast<const char*>(&file), sizeof(file)) +
           std::string(reinterpret_cast<const char*>(&header), sizeof(header)) + pixels;
}

SIZE ShownBitmapSize(HWND dialog, int id)
{
    auto bitmap = reinterpret_cast<HBITMAP>(SendDlgItemMessageA(dialog, id, STM_GETIMAGE, IMAGE_BITMAP, 0));
    BITMAP info = {};
    if (!bitmap || !GetObjectA(bitmap, sizeof(info), &info))
        return SIZE{0, 0};
    return SIZE{info.bmWidth, info.bmHeight};
}
