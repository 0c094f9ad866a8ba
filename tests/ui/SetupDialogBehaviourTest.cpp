// The setup dialog driven as a user drives it: its states, the picker, the installation and its files.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include <objbase.h>

#include "SetupDialogFixture.h"

namespace {

const int kFullViewOnly[] = {IDC_LICENSE_GROUP, IDC_LICENSE, IDC_QUESTION, IDC_AGREE, IDC_DIR_GROUP, IDC_DIR, IDC_BROWSE};

// Which of the directory edit, Browse and INSTALL are enabled, as "dbi" with '-' for disabled.
std::string EnabledOf(HWND dialog)
{
    return std::string(ItemEnabled(dialog, IDC_DIR) ? "d" : "-") + (ItemEnabled(dialog, IDC_BROWSE) ? "b" : "-") +
           (ItemEnabled(dialog, IDC_INSTALL) ? "i" : "-");
}
const char* const kNotAgreed = "---";
const char* const kAgreedNoDirectory = "db-";
const char* const kReady = "dbi";

void ExpectView(HWND dialog, bool finished)
{
    for (int id : kFullViewOnly)
        EXPECT_NE(finished, ItemVisible(dialog, id)) << id;
    EXPECT_EQ(finished, ItemVisible(dialog, IDC_COMPLETE));
    EXPECT_TRUE(ItemVisible(dialog, IDC_INSTALL) && ItemVisible(dialog, IDC_LOGO) && ItemVisible(dialog, IDC_COPYRIGHT));
    EXPECT_EQ(finished ? "&Exit" : "INSTALL", ItemText(dialog, IDC_INSTALL));
}

TEST_F(SetupDialogTest, FirstDisplayShowsTheTextsTheLicenceAndTheLogoOrPassesSilentlyWithoutThem)
{
    const std::string crlf = "Terms of use\r\n\r\n1. Line one\r\n2. \xE9t\xE9 line two\r\n";
    const struct {
        std::string licence, logo, shownLicence;  // empty licence or logo: no file
        LONG logoWidth;
    } cases[] = {
        {"", "", "", 440},
        {crlf, MakeBitmapFile(64, 32), crlf, 64},
        {std::string("Before\0after", 12), "This is not a bitmap.", "Before", 440},
    };
    WritePackage("C:\\Games\\Arena");
    for (const auto& c : cases) {
        std::filesystem::remove(package.Native("license.txt"));
        std::filesystem::remove(package.Native("logo.bmp"));
        if (!c.licence.empty())
            package.Write("license.txt", c.licence);
        if (!c.logo.empty())
            package.Write("logo.bmp", c.logo);
        CDialogDriver driver;
        driver.Then([&](HWND hwnd) {
            EXPECT_EQ("Arena Map Pack", WindowText(hwnd));
            EXPECT_EQ("Sample notice text", ItemText(hwnd, IDC_COPYRIGHT));
            EXPECT_EQ("Choose the directory of the game", ItemText(hwnd, IDC_DIR_GROUP));
            EXPECT_EQ("C:\\Games\\Arena", ItemText(hwnd, IDC_DIR));
            EXPECT_FALSE(ItemChecked(hwnd, IDC_AGREE));
            EXPECT_EQ(IDC_AGREE, FocusedItemId(hwnd));
            EXPECT_EQ(kNotAgreed, EnabledOf(hwnd));
            ExpectView(hwnd, false);
            EXPECT_EQ(c.shownLicence, ItemText(hwnd, IDC_LICENSE));
            EXPECT_EQ(c.logoWidth, ShownBitmapWidth(hwnd, IDC_LOGO));
            PressKey(hwnd, VK_ESCAPE);
        });
        EXPECT_EQ(IDCANCEL, RunAgain(driver));
        EXPECT_TRUE(driver.messageBoxes.empty());
    }
}

// The notification a click on INSTALL sends, sent also while the button is disabled.
void PressInstall(HWND dialog)
{
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_INSTALL, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDC_INSTALL)));
}

TEST_F(SetupDialogTest, TheBoxAndTheDirectoryTextMoveThroughTheStatesAndInstallWaitsForBoth)
{
    WritePackage("C:\\Games\\Arena");
    CDialogDriver driver;
    driver.onMessageBox = [](HWND hwnd, const SeenMessageBox& box) { EXPECT_EQ(hwnd, box.owner); };
    driver.Then([&](HWND hwnd) {
        dialog->FocusItem(IDC_LICENSE);
        PressInstall(hwnd);  // not agreed: a reminder, the focus on the box
        EXPECT_EQ(1u, driver.messageBoxes.size());
        EXPECT_EQ(IDC_AGREE, FocusedItemId(hwnd));
        Click(hwnd, IDC_AGREE);  // Not agreed -> Ready at once
        EXPECT_EQ(kReady, EnabledOf(hwnd));
        Click(hwnd, IDC_AGREE);  // -> Not agreed, the text stays
        EXPECT_EQ(kNotAgreed, EnabledOf(hwnd));
        EXPECT_EQ("C:\\Games\\Arena", ItemText(hwnd, IDC_DIR));
        Click(hwnd, IDC_AGREE);
        ClearByTyping(hwnd, IDC_DIR);  // Ready -> Agreed, no directory
        EXPECT_EQ(kAgreedNoDirectory, EnabledOf(hwnd));
        EnableWindow(GetDlgItem(hwnd, IDC_INSTALL), TRUE);
        PressInstall(hwnd);  // an empty directory: INSTALL disabled again, nothing installed
        EXPECT_EQ(kAgreedNoDirectory, EnabledOf(hwnd));
        ExpectView(hwnd, false);
        TypeInto(hwnd, IDC_DIR, "   ");  // blanks count as a directory
        EXPECT_EQ(kReady, EnabledOf(hwnd));
        ClearByTyping(hwnd, IDC_DIR);
        Click(hwnd, IDC_AGREE);  // Agreed, no directory -> Not agreed
        EXPECT_EQ(kNotAgreed, EnabledOf(hwnd));
        Click(hwnd, IDC_AGREE);  // and back, without a directory
        EXPECT_EQ(kAgreedNoDirectory, EnabledOf(hwnd));
        TypeInto(hwnd, IDC_DIR, "C");
        EXPECT_STREQ("C", dialog->m_strDir);
        PressKey(hwnd, VK_ESCAPE);
    });
    EXPECT_EQ(IDCANCEL, Run(driver));
    ASSERT_EQ(1u, driver.messageBoxes.size());
    EXPECT_EQ("You must agree to the terms of the End-User License Agreement", driver.messageBoxes[0].text);
    EXPECT_EQ("Setup", driver.messageBoxes[0].caption);
    EXPECT_TRUE(driver.messageBoxes[0].hasIcon);
}

TEST_F(SetupDialogTest, APickedFolderGetsOneTrailingBackslashAndACancelledPickerChangesNothing)
{
    WritePackage("");
    const std::string long259 = "C:\\" + std::string(256, 'q'), long258 = long259.substr(0, 258);
    // Picker answers and the directory text after each; an empty answer cancels.
    const std::pair<std::string, std::string> steps[] = {
        {"", ""}, {"C:\\Games\\Quake3", "C:\\Games\\Quake3\\"}, {"", "C:\\Games\\Quake3\\"},
        {"D:\\", "D:\\"}, {long258, long258 + "\\"}, {long259, long259},
    };
    std::string answer;
    dialog->pickFolder = [&](char* path) {
        EXPECT_STREQ("", path);
        strcpy(path, answer.c_str());
        return !answer.empty();
    };
    CDialogDriver driver;
    driver.Then([&](HWND hwnd) {
        Click(hwnd, IDC_AGREE);
        for (const auto& step : steps) {
            answer = step.first;
            Click(hwnd, IDC_BROWSE);
            EXPECT_EQ(step.second, ItemText(hwnd, IDC_DIR));
            EXPECT_EQ(step.second.empty() ? kAgreedNoDirectory : kReady, EnabledOf(hwnd));
        }
        EXPECT_STREQ(long259.c_str(), dialog->m_strDir);
        PressKey(hwnd, VK_ESCAPE);
    });
    EXPECT_EQ(IDCANCEL, Run(driver));
}

TEST_F(SetupDialogTest, TheShellsFolderPickerIsOwnedByTheDialogAndCancellingItChangesNothing)
{
    WritePackage("C:\\Games\\Arena");
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    HWND pickerOwner = nullptr, pickerTitle = nullptr;
    CDialogDriver driver;
    driver.onOtherPopup = [&](HWND popup) {
        pickerOwner = GetWindow(popup, GW_OWNER);
        pickerTitle = FindWindowExA(popup, nullptr, "Static", "Browse for Quake 3 Directory");
        PostMessageA(popup, WM_COMMAND, IDCANCEL, 0);
    };
    driver.Then([&](HWND hwnd) {
        Click(hwnd, IDC_AGREE);
        Click(hwnd, IDC_BROWSE);  // returns when the picker is cancelled
        EXPECT_EQ(hwnd, pickerOwner);
        EXPECT_NE(nullptr, pickerTitle);
        EXPECT_EQ("C:\\Games\\Arena", ItemText(hwnd, IDC_DIR));
        PressKey(hwnd, VK_ESCAPE);
    });
    EXPECT_EQ(IDCANCEL, Run(driver));
    CoUninitialize();
}

// Agrees, presses INSTALL and then Exit; the finished view must be up while the box is.
void InstallAndExit(CDialogDriver& driver, const std::string& dir)
{
    driver.onMessageBox = [](HWND hwnd, const SeenMessageBox& box) {
        EXPECT_EQ(hwnd, box.owner);
        EXPECT_EQ("Setup", box.caption);
        EXPECT_FALSE(box.hasIcon);
        ExpectView(hwnd, true);
    };
    driver
        .Then([dir](HWND hwnd) {
            Click(hwnd, IDC_AGREE);
            ClearByTyping(hwnd, IDC_DIR);
            TypeInto(hwnd, IDC_DIR, dir);
            Click(hwnd, IDC_INSTALL);  // returns when the result box is dismissed
            ExpectView(hwnd, true);
            EXPECT_TRUE(ItemEnabled(hwnd, IDC_INSTALL));
        })
        .Then([](HWND hwnd) { Click(hwnd, IDC_INSTALL); });
}

TEST_F(SetupDialogTest, InstallsTheExamplePackageThenShowsTheFinishedViewAndExitEndsTheRun)
{
    CopyExamplePackage();
    bool mapsPresentAtOpen = false;
    onOpen = [&](const char*) { mapsPresentAtOpen = target.Exists("maps\\arena1.map") && target.Exists("maps\\arena2.map"); };
    CDialogDriver driver;
    InstallAndExit(driver, target.Path());
    EXPECT_EQ(IDOK, Run(driver));
    ASSERT_EQ(1u, driver.messageBoxes.size());
    EXPECT_EQ("Installation Complete", driver.messageBoxes[0].text);
    EXPECT_EQ(package.Read("data\\arena1.map"), target.Read("maps\\arena1.map"));
    EXPECT_EQ(package.Read("data\\arena2.map"), target.Read("maps\\arena2.map"));
    EXPECT_FALSE(target.Exists("readme.txt"));
    EXPECT_EQ(std::vector<std::string>{"readme.txt"}, opened);  // once: Exit installs nothing more
    EXPECT_TRUE(mapsPresentAtOpen) << "opened before all copies";
}

TEST_F(SetupDialogTest, AFailedCopyIsReportedAsUnsuccessfulInTheFinishedView)
{
    // A missing source and a read-only destination: neither may pass as installed.
    WritePackage("", {"present.txt;$setupdir;C;1", "missing.txt;$setupdir;C;2", "locked.txt;$setupdir;C;3"});
    package.Write("present.txt", "here");
    package.Write("locked.txt", "new");
    target.Write("locked.txt", "old");
    namespace fs = std::filesystem;
    fs::permissions(target.Native("locked.txt"), fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    CDialogDriver driver;
    InstallAndExit(driver, target.Path());
    EXPECT_EQ(IDOK, Run(driver));
    ASSERT_EQ(1u, driver.messageBoxes.size());
    EXPECT_EQ("Setup was unsuccessful", driver.messageBoxes[0].text);
    EXPECT_EQ("here", target.Read("present.txt"));
    EXPECT_FALSE(target.Exists("missing.txt"));
    EXPECT_EQ("old", target.Read("locked.txt"));
}

}  // namespace
