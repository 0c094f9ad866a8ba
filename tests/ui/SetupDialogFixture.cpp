#include "SetupDialogFixture.h"

#include <filesystem>

#include "FileSystem.h"

namespace {

std::function<void(const char*)> g_record;

bool RecordOpen(const char* file)
{
    if (g_record)
        g_record(file);
    return true;
}

}  // namespace

SetupDialogTest::SetupDialogTest()
{
    g_record = [this](const char* file) {
        if (onOpen)
            onOpen(file);
        opened.push_back(file);
    };
    Platform::SetShellOpener(RecordOpen);
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
                  "[Setup]\r\nDEFAULTINSTALL=Standard\r\nStandard=ArenaPack\r\nCopyright=Sample notice text\r\n\r\n"
                  "[ArenaPack]\r\nTitle=Arena Map Pack\r\nInstallText=Choose the directory of the game\r\n"
                  "DefaultDir=" + defaultDir + "\r\n");
    std::string list = "[ArenaPack]\r\nCount=" + std::to_string(files.size()) + "\r\n";
    for (size_t i = 0; i < files.size(); ++i)
        list += "FILE" + std::to_string(i + 1) + "=" + files[i] + "\r\n";
    package.Write("list.inf", list);
}

void SetupDialogTest::CopyExamplePackage()
{
    std::string examples = KIV_EXAMPLES_DIR;  // as the build machine names it; drive Z: under Wine
#ifdef _WIN32
    if (!examples.empty() && examples[0] == '/')
        examples = "Z:" + examples;
#endif
    std::filesystem::copy(std::filesystem::path(examples) / "arena-pack", package.Native(),
                          std::filesystem::copy_options::recursive);
}

INT_PTR SetupDialogTest::Run(CDialogDriver& driver)
{
    CCurrentDir inPackage(package.Native());
    EXPECT_NE(nullptr, info->Load("setup.inf", "list.inf"));
    return driver.Run([this] { return dialog->DoModal(); });
}

INT_PTR SetupDialogTest::RunAgain(CDialogDriver& driver)
{
    dialog.reset();
    info = std::make_unique<CSetupInfo>();
    dialog = std::make_unique<CTestSetupDialog>(*info);
    return Run(driver);
}

std::string MakeBitmapFile(int width, int height)
{
    std::string pixels(static_cast<size_t>(((width * 3 + 3) & ~3) * height), '\x80');
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
    return std::string(reinterpret_cast<const char*>(&file), sizeof(file)) +
           std::string(reinterpret_cast<const char*>(&header), sizeof(header)) + pixels;
}

LONG ShownBitmapWidth(HWND dialog, int id)
{
    BITMAP bm = {};
    auto bitmap = reinterpret_cast<HBITMAP>(SendDlgItemMessageA(dialog, id, STM_GETIMAGE, IMAGE_BITMAP, 0));
    return bitmap && GetObjectA(bitmap, sizeof(bm), &bm) ? bm.bmWidth : 0;
}
