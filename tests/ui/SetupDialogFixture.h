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
    SetupDialogTest();
    ~SetupDialogTest() override;

    // setup.inf with this default directory; list.inf with these FILE values.
    void WritePackage(const std::string& defaultDir, const std::vector<std::string>& files = {});
    void CopyExamplePackage();
    // Loads the description and runs the dialog in the package directory.
    INT_PTR Run(CDialogDriver& driver);
    // Runs once more on a fresh description and dialog.
    INT_PTR RunAgain(CDialogDriver& driver);

    std::vector<std::string> opened;  // files handed to the shell opener
    std::function<void(const char* file)> onOpen;
    CTempDir package, target;
    std::unique_ptr<CSetupInfo> info;
    std::unique_ptr<CTestSetupDialog> dialog;
};

std::string MakeBitmapFile(int width, int height);  // 24-bit, bottom-up
LONG ShownBitmapWidth(HWND dialog, int id);  // 0 when none
