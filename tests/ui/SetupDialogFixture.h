// Test support: a package in a temp directory and the setup dialog run on it, with its seams.
#pragma once
#include <windows.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "DialogDriver.h"
#include "FileSystem.h"
#include "KivSetupDialog.h"
#include "SetupInfo.h"
#include "TempDir.h"
#include "resource.h"
#include <gtest/gtest.h>

// The setup dialog with the folder picker answerable and a look before OnInitDialog.
class CTestSetupDialog : public CKivSetupDialog {
public:
    using CKivSetupDialog::CKivSetupDialog;
    std::function<bool(char* path)> pickFolder;
    std::function<void(HWND dialog)> beforeInit;

protected:
    BOOL OnInitDialog() override
    {
        if (beforeInit)
            beforeInit(GetHwnd());
        return CKivSetupDialog::OnInitDialog();
    }
    bool PickFolder(char* path) override { return pickFolder ? pickFolder(path) : CKivSetupDialog::PickFolder(path); }
};

class SetupDialogTest : public ::testing::Test {
protected:
    SetupDialogTest()
    {
        s_test = this;
        Platform::SetShellOpener([](const char* file) {
            if (s_test->onOpen)
                s_test->onOpen(file);
            s_test->opened.push_back(file);
            return true;
        });
    }
    ~SetupDialogTest() override
    {
        Platform::SetShellOpener(nullptr);
        s_test = nullptr;
    }

    // setup.inf with this default directory; list.inf with these FILE values.
    void WritePackage(const std::string& defaultDir, const std::vector<std::string>& files = {})
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
    void CopyExamplePackage()
    {
        std::string examples = KIV_EXAMPLES_DIR;  // as the build machine names it: drive Z: under Wine
        if (examples[0] == '/')
            examples = "Z:" + examples;
        std::filesystem::copy(examples + "/arena-pack", package.Native(), std::filesystem::copy_options::recursive);
    }
    // Loads the description and runs the dialog in the package directory.
    INT_PTR Run(CDialogDriver& driver)
    {
        CCurrentDir inPackage(package.Native());
        EXPECT_NE(nullptr, info->Load("setup.inf", "list.inf"));
        return driver.Run([this] { return dialog->DoModal(); });
    }
    // Runs once more on a fresh description and dialog.
    INT_PTR RunAgain(CDialogDriver& driver)
    {
        dialog.reset();
        info = std::make_unique<CSetupInfo>();
        dialog = std::make_unique<CTestSetupDialog>(*info);
        return Run(driver);
    }

    static inline SetupDialogTest* s_test = nullptr;  // for the shell opener, a plain function
    std::vector<std::string> opened;  // files handed to the shell opener
    std::function<void(const char* file)> onOpen;
    CTempDir package, target;
    std::unique_ptr<CSetupInfo> info = std::make_unique<CSetupInfo>();
    std::unique_ptr<CTestSetupDialog> dialog = std::make_unique<CTestSetupDialog>(*info);
};

// A 24-bit bitmap file: BITMAPFILEHEADER, BITMAPINFOHEADER (zeros from biCompression on), grey rows.
inline std::string MakeBitmapFile(int width, int height)
{
    auto le = [](size_t value, int bytes) {
        std::string out;
        for (int i = 0; i < bytes; ++i)
            out += static_cast<char>(value >> (8 * i));
        return out;
    };
    size_t pixels = static_cast<size_t>(((width * 3 + 3) & ~3) * height);
    return "BM" + le(54 + pixels, 4) + le(0, 4) + le(54, 4) + le(40, 4) + le(width, 4) + le(height, 4) + le(1, 2) +
           le(24, 2) + std::string(24, '\0') + std::string(pixels, '\x80');
}

inline LONG ShownBitmapWidth(HWND dialog, int id)  // 0 when none
{
    BITMAP bm = {};
    auto bitmap = reinterpret_cast<HBITMAP>(SendDlgItemMessageA(dialog, id, STM_GETIMAGE, IMAGE_BITMAP, 0));
    return bitmap && GetObjectA(bitmap, sizeof(bm), &bm) ? bm.bmWidth : 0;
}
