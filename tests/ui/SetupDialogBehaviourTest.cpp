// The setup dialog driven as a user drives it: its states, the picker, the installation and its files.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>

#include <objbase.h>

#include "SetupDialogFixture.h"

namespace {

const int kFullViewOnly[] = {IDC_LICENSE_GROUP, IDC_LICENSE, IDC_QUESTION, IDC_AGREE,
                             IDC_DIR_GROUP,     IDC_DIR,     IDC_BROWSE};

// The enabled state of the directory edit, Browse and INSTALL.
struct Enabled {
    bool dir, browse, install;
    bool operator==(const Enabled& other) const
    {
        return dir == other.dir && browse == other.browse && install == other.install;
    }
};

Enabled EnabledOf(HWND dialog)
{
    return {ItemEnabled(dialog, IDC_DIR), ItemEnabled(dialog, IDC_BROWSE), ItemEnabled(dialog, IDC_INSTALL)};
}

std::ostream& operator<<(std::ostream& out, const Enabled& e)
{
    return out << "{dir " << e.dir << ", browse " << e.browse << ", install " << e.install << "}";
}

const Enabled kNotAgreed = {false, false, false};
const Enabled kAgreedNoDirectory = {true, true, false};
const Enabled kReady = {true, true, true};

void ExpectFinishedView(HWND dialog)
{
    for (int id : kFullViewOnly)
        EXPECT_FALSE(ItemVisible(dialog, id)) << id;
    EXPECT_TRUE(ItemVisible(dialog, IDC_COMPLETE));
    EXPECT_TRUE(ItemVisible(dialog, IDC_INSTALL));
    EXPECT_TRUE(ItemVisible(dialog, IDC_LOGO));
    EXPECT_TRUE(ItemVisible(dialog, IDC_COPYRIGHT));
    EXPECT_EQ("&Exit", ItemText(dialog, IDC_INSTALL));
    EXPECT_TRUE(ItemEnabled(dialog, IDC_INSTALL));
}

TEST_F(SetupDialogTest, FirstDisplayShowsTheDescriptionTheLicenceAndTheLogoWithTheDirectoryControlsDisabled)
{
    WritePackage("C:\\Games\\Arena", {});
    const std::string licence = "Terms of use\r\n\r\n1. Line one\r\n2. \xE9t\xE9 line two\r\n";
    package.Write("license.txt", licence);
    package.Write("logo.bmp", MakeBitmapFile(64, 32));
    CDialogDriver driver;
    driver.Then([&](HWND hwnd) {
        EXPECT_EQ("Arena Map Pack", WindowText(hwnd));
        EXPECT_EQ("Sample notice text", ItemText(hwnd, IDC_COPYRIGHT));
        EXPECT_EQ("Choose the directory of the game", ItemText(hwnd, IDC_DIR_GROUP));
        EXPECT_EQ("C:\\Games\\Arena", ItemText(hwnd, IDC_DIR));
        EXPECT_EQ("INSTALL", ItemText(hwnd, IDC_INSTALL));
        EXPECT_FALSE(ItemChecked(hwnd, IDC_AGREE));
        EXPECT_EQ(IDC_AGREE, FocusedItemId(hwnd));
        EXPECT_EQ(kNotAgreed, EnabledOf(hwnd));
        for (int id : kFullViewOnly)
            EXPECT_TRUE(ItemVisible(hwnd, id)) << id;
        EXPECT_FALSE(ItemVisible(hwnd, IDC_COMPLETE));
        // The licence's bytes unchanged, CR LF and all; the file's picture.
        EXPECT_EQ(licence, ItemText(hwnd, IDC_LICENSE));
        EXPECT_EQ(licence, std::string(dialog->m_strLicense));
        SIZE logo = ShownBitmapSize(hwnd, IDC_LOGO);
        EXPECT_EQ(64, logo.cx);
        EXPECT_EQ(32, logo.cy);
        EXPECT_FALSE(dialog->m_bInstalled);
        PressKey(hwnd, VK_ESCAPE);
    });
    EXPECT_EQ(IDCANCEL, Run(driver));
    EXPECT_TRUE(driver.messageBoxes.empty());
}

TEST_F(SetupDialogTest, LicenceAndLogoFilesThatAreMissingCutOrNotBitmapsPassSilently)
{
    struct Case {
        const char* licence;  // null: no file
        size_t licenceSize;
        const char* logo;     // null: no file
        std::string shownLicence;
        LONG logoWidth;
    };
    const Case cases[] = {
        {nullptr, 0, nullptr, "", 440},
        {"Before\0after", 12, "This is not a bitmap.", "Before", 440},
        {"", 0, "BM", "", 440},
    };
    for (const Case& c : cases) {
        Renew();
        std::filesystem::remove(package.Native("license.txt"));
        std::filesystem::remove(package.Native("logo.bmp"));
        WritePackage("", {});
        if (c.licence)
            package.Write("license.txt", std::string(c.licence, c.licenceSize));
        if (c.logo)
            package.Write("logo.bmp", c.logo);
        CDialogDriver driver;
        driver.Then([&](HWND hwnd) {
            EXPECT_EQ(c.shownLicence, ItemText(hwnd, IDC_LICENSE));
            EXPECT_EQ(c.logoWidth, ShownBitmapSize(hwnd, IDC_LOGO).cx);
            // The dialog works as usual without them.
            Click(hwnd, IDC_AGREE);
            EXPECT_EQ(kAgreedNoDirectory, EnabledOf(hwnd));
            PressKey(hwnd, VK_ESCAPE);
        });
        EXPECT_EQ(IDCANCEL, Run(driver));
        EXPECT_TRUE(driver.messageBoxes.empty());
    }
}

TEST_F(SetupDialogTest, TheBoxAndTheDirectoryTextMoveThroughTheStatesWithADefaultDirectory)
{
    WritePackage("C:\\Games\\Arena", {});
    CDialogDriver driver;
    driver
        .Then([](HWND hwnd) {
            Click(hwnd, IDC_AGREE);  // Not agreed -> Ready at once
            EXPECT_TRUE(ItemChecked(hwnd, IDC_AGREE));
            EXPECT_EQ(kReady, EnabledOf(hwnd));
            Click(hwnd, IDC_AGREE);  // -> Not agreed, the text stays
            EXPECT_EQ(kNotAgreed, EnabledOf(hwnd));
            EXPECT_EQ("C:\\Games\\Arena", ItemText(hwnd, IDC_DIR));
            Click(hwnd, IDC_AGREE);
            ClearByTyping(hwnd, IDC_DIR);  // Ready -> Agreed, no directory
            EXPECT_EQ(kAgreedNoDirectory, EnabledOf(hwnd));
            TypeInto(hwnd, IDC_DIR, "   ");  // blanks count as a directory
            EXPECT_EQ(kReady, EnabledOf(hwnd));
            Click(hwnd, IDC_AGREE);  // Ready -> Not agreed
            EXPECT_EQ(kNotAgreed, EnabledOf(hwnd));
            Click(hwnd, IDC_AGREE);
            EXPECT_EQ(kReady, EnabledOf(hwnd));
            PressKey(hwnd, VK_ESCAPE);
        });
    EXPECT_EQ(IDCANCEL, Run(driver));
    EXPECT_TRUE(driver.messageBoxes.empty());
    EXPECT_STREQ("   ", dialog->m_strDir);
}

TEST_F(SetupDialogTest, WithoutADefaultDirectoryInstallWaitsForText)
{
    WritePackage("", {});
    CDialogDriver driver;
    driver.Then([](HWND hwnd) {
        EXPECT_EQ("", ItemText(hwnd, IDC_DIR));
        EXPECT_EQ(kNotAgreed, EnabledOf(hwnd));
        Click(hwnd, IDC_AGREE);
        EXPECT_EQ(kAgreedNoDirectory, EnabledOf(hwnd));
        TypeInto(hwnd, IDC_DIR, "C");
        EXPECT_EQ(kReady, EnabledOf(hwnd));
        ClearByTyping(hwnd, IDC_DIR);
        EXPECT_EQ(kAgreedNoDirectory, EnabledOf(hwnd));
        PressKey(hwnd, VK_ESCAPE);
    });
    EXPECT_EQ(IDCANCEL, Run(driver));
}

TEST_F(SetupDialogTest, APickedFolderGetsOneTrailingBackslashAndACancelledPickerChangesNothing)
{
    WritePackage("", {});
    std::string answer;  // empty: the picker is cancelled
    std::vector<std::string> bufferAtStart;
    dialog->pickFolder = [&](char* path) {
        bufferAtStart.push_back(path);
        if (answer.empty())
            return false;
        strcpy(path, answer.c_str());
        return true;
    };
    const std::string long259 = "C:\\" + std::string(256, 'q');
    const std::string long258 = long259.substr(0, 258);
    CDialogDriver driver;
    driver.Then([&](HWND hwnd) {
        Click(hwnd, IDC_AGREE);
        Click(hwnd, IDC_BROWSE);
        EXPECT_EQ("", ItemText(hwnd, IDC_DIR));
        EXPECT_EQ(kAgreedNoDirectory, EnabledOf(hwnd));

        answer = "C:\\Games\\Quake3";  // Agreed, no directory -> Ready
        Click(hwnd, IDC_BROWSE);
        EXPECT_EQ("C:\\Games\\Quake3\\", ItemText(hwnd, IDC_DIR));
        EXPECT_STREQ("C:\\Games\\Quake3\\", dialog->m_strDir);
        EXPECT_EQ(kReady, EnabledOf(hwnd));

        answer.clear();
        Click(hwnd, IDC_BROWSE);
        EXPECT_EQ("C:\\Games\\Quake3\\", ItemText(hwnd, IDC_DIR));
        EXPECT_EQ(kReady, EnabledOf(hwnd));

        answer = "D:\\";
        Click(hwnd, IDC_BROWSE);
        EXPECT_EQ("D:\\", ItemText(hwnd, IDC_DIR));
        answer = long258;
        Click(hwnd, IDC_BROWSE);
        EXPECT_EQ(long258 + "\\", ItemText(hwnd, IDC_DIR));
        answer = long259;
        Click(hwnd, IDC_BROWSE);
        EXPECT_EQ(long259, ItemText(hwnd, IDC_DIR));
        PressKey(hwnd, VK_ESCAPE);
    });
    EXPECT_EQ(IDCANCEL, Run(driver));
    ASSERT_EQ(6u, bufferAtStart.size());
    for (const std::string& start : bufferAtStart)
        EXPECT_EQ("", start);
}

TEST_F(SetupDialogTest, TheShellsFolderPickerIsOwnedByTheDialogAndCancellingItChangesNothing)
{
    WritePackage("C:\\Games\\Arena", {});
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    std::vector<std::string> pickerTexts;
    HWND pickerOwner = nullptr;
    CDialogDriver driver;
    driver.onOtherPopup = [&](HWND popup) {
        pickerOwner = GetWindow(popup, GW_OWNER);
        EnumChildWindows(
            popup,
            [](HWND child, LPARAM texts) -> BOOL {
                reinterpret_cast<std::vector<std::string>*>(texts)->push_back(WindowText(child));
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&pickerTexts));
        PostMessageA(popup, WM_COMMAND, IDCANCEL, 0);
    };
    driver.Then([&](HWND hwnd) {
        Click(hwnd, IDC_AGREE);
        Click(hwnd, IDC_BROWSE);  // returns when the picker is cancelled
        EXPECT_EQ(hwnd, pickerOwner);
        EXPECT_EQ("C:\\Games\\Arena", ItemText(hwnd, IDC_DIR));
        EXPECT_EQ(kReady, EnabledOf(hwnd));
        PressKey(hwnd, VK_ESCAPE);
    });
    EXPECT_EQ(IDCANCEL, Run(driver));
    EXPECT_NE(pickerTexts.end(), std::find(pickerTexts.begin(), pickerTexts.end(), "Browse for Quake 3 Directory"));
    CoUninitialize();
}

TEST_F(SetupDialogTest, InstallsTheExamplePackageThenShowsTheFinishedViewAndExitEndsTheRun)
{
    CopyExamplePackage();
    std::vector<bool> mapsPresentAtOpen;
    onOpen = [&](const char*) {
        mapsPresentAtOpen = {target.Exists("maps\\arena1.map"), target.Exists("maps\\arena2.map")};
    };
    CDialogDriver driver;
    driver.onMessageBox = [&](HWND hwnd, const SeenMessageBox& box) {
        EXPECT_EQ(hwnd, box.owner);
        // The finished view is in place while the result box is up.
        ExpectFinishedView(hwnd);
        EXPECT_TRUE(dialog->m_bInstalled);
    };
    driver
        .Then([&](HWND hwnd) {
            EXPECT_EQ("C:\\Games\\Arena", ItemText(hwnd, IDC_DIR));
            Click(hwnd, IDC_AGREE);
            ClearByTyping(hwnd, IDC_DIR);
            TypeInto(hwnd, IDC_DIR, target.Path());
            Click(hwnd, IDC_INSTALL);  // returns when the result box is dismissed
            ASSERT_EQ(1u, driver.messageBoxes.size());
            ExpectFinishedView(hwnd);
            // No way back, and no second installation: the button now ends the run.
            EXPECT_EQ(1u, opened.size());
        })
        .Then([](HWND hwnd) { Click(hwnd, IDC_INSTALL); });
    EXPECT_EQ(IDOK, Run(driver));

    ASSERT_EQ(1u, driver.messageBoxes.size());
    const SeenMessageBox& box = driver.messageBoxes[0];
    EXPECT_EQ("Installation Complete", box.text);
    EXPECT_EQ("Setup", box.caption);
    EXPECT_FALSE(box.hasIcon);

    EXPECT_EQ(package.Read("data\\arena1.map"), target.Read("maps\\arena1.map"));
    EXPECT_EQ(package.Read("data\\arena2.map"), target.Read("maps\\arena2.map"));
    EXPECT_FALSE(target.Exists("readme.txt"));
    EXPECT_EQ(std::vector<std::string>{"readme.txt"}, opened);
    EXPECT_EQ((std::vector<bool>{true, true}), mapsPresentAtOpen) << "opened before all copies";
}

TEST_F(SetupDialogTest, AFailedCopyIsReportedAsUnsuccessfulInTheFinishedView)
{
    // A missing source and a read-only destination: neither may pass as installed.
    WritePackage(target.Path(), {"present.txt;$setupdir;C;1", "missing.txt;$setupdir;C;2", "locked.txt;$setupdir;C;3"});
    package.Write("present.txt", "here");
    package.Write("locked.txt", "new");
    target.Write("locked.txt", "old");
    std::filesystem::permissions(target.Native("locked.txt"), std::filesystem::perms::owner_write | std::filesystem::perms::group_write |
                                     std::filesystem::perms::others_write,
                                 std::filesystem::perm_options::remove);
    CDialogDriver driver;
    driver.onMessageBox = [](HWND hwnd, const SeenMessageBox&) { ExpectFinishedView(hwnd); };
    driver
        .Then([](HWND hwnd) {
            Click(hwnd, IDC_AGREE);
            Click(hwnd, IDC_INSTALL);
        })
        .Then([](HWND hwnd) { Click(hwnd, IDC_INSTALL); });
    EXPECT_EQ(IDOK, Run(driver));
    ASSERT_EQ(1u, driver.messageBoxes.size());
    EXPECT_EQ("Setup was unsuccessful", driver.messageBoxes[0].text);
    EXPECT_EQ("Setup", driver.messageBoxes[0].caption);
    EXPECT_FALSE(driver.messageBoxes[0].hasIcon);
    EXPECT_EQ("here", target.Read("present.txt"));
    EXPECT_FALSE(target.Exists("missing.txt"));
    EXPECT_EQ("old", target.Read("locked.txt"));
}

TEST_F(SetupDialogTest, InstallWithoutAgreementRemindsAndWithAnEmptyDirectoryInstallsNothing)
{
    WritePackage(target.Path(), {"present.txt;$setupdir;C;1"});
    package.Write("present.txt", "here");
    CDialogDriver driver;
    driver.onMessageBox = [](HWND hwnd, const SeenMessageBox& box) { EXPECT_EQ(hwnd, box.owner); };
    auto pressInstall = [](HWND hwnd) {
        // The notification a click on INSTALL sends, sent while the button
        // itself is disabled and so cannot be clicked.
        SendMessageA(hwnd, WM_COMMAND, MAKEWPARAM(IDC_INSTALL, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(hwnd, IDC_INSTALL)));
    };
    driver
        .Then([&](HWND hwnd) {
            dialog->FocusItem(IDC_LICENSE);
            pressInstall(hwnd);
            ASSERT_EQ(1u, driver.messageBoxes.size());
            EXPECT_EQ(IDC_AGREE, FocusedItemId(hwnd));
            EXPECT_EQ(kNotAgreed, EnabledOf(hwnd));
            EXPECT_EQ("INSTALL", ItemText(hwnd, IDC_INSTALL));
        })
        .Then([&](HWND hwnd) {
            Click(hwnd, IDC_AGREE);
            ClearByTyping(hwnd, IDC_DIR);
            EnableWindow(GetDlgItem(hwnd, IDC_INSTALL), TRUE);
            pressInstall(hwnd);
            EXPECT_EQ(1u, driver.messageBoxes.size());
            EXPECT_FALSE(ItemEnabled(hwnd, IDC_INSTALL));
            EXPECT_TRUE(ItemVisible(hwnd, IDC_AGREE));
            EXPECT_FALSE(dialog->m_bInstalled);
            PressKey(hwnd, VK_ESCAPE);
        });
    EXPECT_EQ(IDCANCEL, Run(driver));
    ASSERT_EQ(1u, driver.messageBoxes.size());
    const SeenMessageBox& box = driver.messageBoxes[0];
    EXPECT_EQ("You must agree to the terms of the End-User License Agreement", box.text);
    EXPECT_EQ("Setup", box.caption);
    EXPECT_TRUE(box.hasIcon);
    EXPECT_FALSE(target.Exists("present.txt"));
}

}  // namespace
