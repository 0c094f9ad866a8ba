// Test support: a package in a temp directory and the setup dialog run on it, with its seams.
#pragma once
#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "DialogDriver.h"
#include "KivSetupDialog.h"
#include "SetupInfo.h"
#include "TempDir.h"
#include "resource.h"
#include <gtest/gtest.h>

// The setup dialog with its folder picker answerable by the test.
class CTestSetupDialog : public CKivSetupDialog {
public:
    using CKivSetupDialog::CKivSetupDialog;

    // When set, answers the folder picker instead of the shell.
    std::function<bool(char* path)> pickFolder;
    // Called at the start of OnInitDialog, before the dialog changes anything.
    std::function<void(HWND dialog)> beforeInit;

    using CKivSetupDialog::OnInstall;

protected:
    BOOL OnInitDialog() override
    {
        if (beforeInit)
            beforeInit(GetHwnd());
        return CKivSetupDialog::OnInitDialog();
    }

    bool PickFolder(char* path) override
    {
        return pickFolder ? pickFolder(path) : CKivSetupDialog::PickFolder(path);
    }
};

class SetupDialogTest : public ::testing::Test {
protected:
    SetupDialogTest();
    ~SetupDialogTest() override;

    // setup.inf with the given default directory; list.inf with these FILE values.
    void WritePackage(const std::string& defaultDir, const std::vector<std::string>& files);
    // The example package of the repository, copied into the package directory.
    void CopyExamplePackage();

    // Loads the description and runs the dialog with the package directory
    // as the current directory, as the installer runs. Returns how it ended.
    INT_PTR Run(CDialogDriver& driver);

    // Files the installation asked the shell to open, in order.
    std::vector<std::string> opened;
    // Called at each open, before it is recorded.
    std::function<void(const char* file)> onOpen;

    // A new description and dialog, for a further run in the same test.
    void Renew();

    CTempDir package;
    CTempDir target;
    std::unique_ptr<CSetupInfo> info;
    std::unique_ptr<CTestSetupDialog> dialog;
};

// A bottom-up 24-bit bitmap file of the given size.
std::string MakeBitmapFile(int width, int height);
// The size of the bitmap a picture control shows; 0 x 0 when it shows none.
SIZE ShownBitmapSize(HWND dialog, int id);
