// The setup dialog in the test process, from the executable's own resources, on the real dialog manager:
// as created from its template, its first display and the keys that end it, its states with the folder
// picker's answers, and an installation that fails. Message boxes and the picker answer through the
// dialog's seams; StartupTest.cpp meets the real ones.
#include <cstring>
#include <filesystem>
#include <memory>

#include <gtest/gtest.h>

#include "DialogDriver.h"
#include "FileSystem.h"
#include "KivSetupDialog.h"
#include "SetupInfo.h"
#include "TempDir.h"
#include "resource.h"

namespace {

class CTestSetupDialog : public CKivSetupDialog {
public:
    using CKivSetupDialog::CKivSetupDialog;
    std::vector<std::string> messages;  // text, caption and type of each box; "finished" when shown in the finished view
    std::string pick;                   // the folder picker's answer; empty: cancelled
    std::function<void(HWND dialog)> beforeInit;

protected:
    BOOL OnInitDialog() override
    {
        if (beforeInit)
            beforeInit(GetHwnd());
        return CKivSetupDialog::OnInitDialog();
    }
    bool PickFolder(char* path) override
    {
        EXPECT_STREQ(path, "");
        strcpy(path, pick.c_str());
        return !pick.empty();
    }
    int ShowMessage(const char* text, const char* caption, UINT type) override
    {
        messages.push_back(std::string(text) + "|" + caption + "|" + std::to_string(type) +
                           (ItemVisible(GetHwnd(), IDC_COMPLETE) ? "|finished" : ""));
        return IDOK;
    }
};

class SetupDialogTest : public ::testing::Test {
protected:
    SetupDialogTest()
    {
        s_opened = &opened;
        Platform::SetShellOpener([](const char* file) { return s_opened->push_back(file), true; });
    }
    ~SetupDialogTest() override { Platform::SetShellOpener(nullptr); }

    // setup.inf with this default directory; list.inf with these FILE values.
    void WritePackage(const std::string& defaultDir, const std::vector<std::string>& files = {})
    {
        package.Write("setup.inf", "[Setup]\r\nDEFAULTINSTALL=Standard\r\nStandard=ArenaPack\r\nCopyright=Sample notice "
                                   "text\r\n[ArenaPack]\r\nTitle=Arena Map Pack\r\nInstallText=Choose the directory of "
                                   "the game\r\nDefaultDir=" + defaultDir + "\r\n");
        std::string list = "[ArenaPack]\r\nCount=" + std::to_string(files.size()) + "\r\n";
        for (size_t i = 0; i < files.size(); ++i)
            list += "FILE" + std::to_string(i + 1) + "=" + files[i] + "\r\n";
        package.Write("list.inf", list);
    }
    // Loads the package and runs a new dialog on it, both in the package directory.
    INT_PTR Run(std::vector<std::function<void(HWND)>> steps, std::function<void(HWND)> beforeInit = nullptr)
    {
        CCurrentDir inPackage(package.Native());
        info = std::make_unique<CSetupInfo>();
        EXPECT_NE(nullptr, info->Load("setup.inf", "list.inf"));
        dialog = std::make_unique<CTestSetupDialog>(*info);
        dialog->beforeInit = std::move(beforeInit);
        return RunDialog(*dialog, std::move(steps));
    }

    static inline std::vector<std::string>* s_opened = nullptr;  // for the shell opener, a plain function
    std::vector<std::string> opened;                             // files handed to the shell opener
    CTempDir package, target;
    std::unique_ptr<CSetupInfo> info;
    std::unique_ptr<CTestSetupDialog> dialog;
};

// Which of the directory edit, Browse and INSTALL are enabled, as "dbi" with '-' for disabled.
std::string EnabledOf(HWND dialog)
{
    return std::string(ItemEnabled(dialog, IDC_DIR) ? "d" : "-") + (ItemEnabled(dialog, IDC_BROWSE) ? "b" : "-") +
           (ItemEnabled(dialog, IDC_INSTALL) ? "i" : "-");
}

void ExpectView(HWND dialog, bool finished)
{
    for (int id : {IDC_LICENSE_GROUP, IDC_LICENSE, IDC_QUESTION, IDC_AGREE, IDC_DIR_GROUP, IDC_DIR, IDC_BROWSE})
        EXPECT_NE(finished, ItemVisible(dialog, id)) << id;
    EXPECT_EQ(finished, ItemVisible(dialog, IDC_COMPLETE));
    EXPECT_TRUE(ItemVisible(dialog, IDC_INSTALL) && ItemVisible(dialog, IDC_LOGO) && ItemVisible(dialog, IDC_COPYRIGHT));
    EXPECT_EQ(finished ? "&Exit" : "INSTALL", ItemText(dialog, IDC_INSTALL));
}

LONG ShownBitmapWidth(HWND dialog)  // 0 when none
{
    BITMAP bm = {};
    auto bitmap = reinterpret_cast<HBITMAP>(SendDlgItemMessageA(dialog, IDC_LOGO, STM_GETIMAGE, IMAGE_BITMAP, 0));
    return bitmap && GetObjectA(bitmap, sizeof bm, &bm) ? bm.bmWidth : 0;
}

// The controls in creation (z-) order, with their geometry in dialog units and their styles besides
// WS_CHILD and (but for the completion text) WS_VISIBLE; a null text is not compared.
const struct {
    int id;
    const char *className, *text;
    int x, y, w, h;
    DWORD style, exStyle;
} kTemplate[] = {
    {IDC_AGREE, "Button", "I &Agree", 145, 158, 39, 10, BS_AUTOCHECKBOX | BS_FLAT | WS_TABSTOP, 0},
    {IDC_DIR, "Edit", "", 15, 189, 226, 14, ES_AUTOHSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE},  // WS_BORDER becomes the edge
    {IDC_BROWSE, "Button", "Browse...", 250, 189, 40, 14, BS_PUSHBUTTON | BS_FLAT | WS_TABSTOP, 0},
    {IDC_INSTALL, "Button", "INSTALL", 7, 213, 293, 14, BS_PUSHBUTTON | BS_FLAT | WS_TABSTOP | WS_GROUP, 0},
    {IDC_DIR_GROUP, "Button", "Dir Text", 7, 178, 293, 30, BS_GROUPBOX | WS_GROUP, 0},
    {-1, "Static", "", 7, 231, 293, 1, SS_BLACKFRAME | SS_SUNKEN, WS_EX_STATICEDGE},
    {IDC_COPYRIGHT, "Static", "Copyright", 7, 235, 293, 8, SS_CENTER | WS_GROUP, 0},
    {-1, "Static", "KivSetup - a tiny installer for game content", 7, 248, 293, 8, SS_CENTER | WS_GROUP, 0},
    {IDC_QUESTION, "Static", "Do you agree to the terms above?", 15, 158, 108, 8, SS_LEFT | WS_GROUP, 0},
    {IDC_LOGO, "Static", nullptr, 7, 7, 293, 69, SS_BITMAP | SS_CENTERIMAGE, WS_EX_STATICEDGE},
    {IDC_LICENSE_GROUP, "Button", "End-User License Agreement", 7, 78, 293, 94, BS_GROUPBOX, 0},
    {IDC_LICENSE, "Edit", "", 15, 88, 275, 67, ES_MULTILINE | ES_READONLY | WS_VSCROLL, WS_EX_STATICEDGE},
    {IDC_COMPLETE, "Static", "Installation Complete!", 7, 106, 293, 8, SS_CENTER | WS_GROUP, 0},
};

TEST_F(SetupDialogTest, IsCreatedHiddenFromItsTemplateThenSetsItsIcons)
{
    WritePackage("C:\\Games\\Arena");
    EXPECT_EQ(IDCANCEL, Run({[&](HWND hwnd) {
        ASSERT_NE(nullptr, dialog->m_hIcon);
        for (WPARAM size : {ICON_BIG, ICON_SMALL})
            EXPECT_EQ(reinterpret_cast<LRESULT>(dialog->m_hIcon), SendMessageA(hwnd, WM_GETICON, size, 0));
        PressKey(hwnd, VK_ESCAPE);
    }}, [](HWND hwnd) {
        EXPECT_FALSE(IsWindowVisible(hwnd)) << "shown before its initialisation";
        EXPECT_EQ("KivSetup", WindowText(hwnd));
        EXPECT_EQ(440, ShownBitmapWidth(hwnd));  // the built-in logo
        HWND child = GetWindow(hwnd, GW_CHILD);
        for (const auto& expected : kTemplate) {
            ASSERT_NE(nullptr, child) << "missing control " << expected.id;
            char className[64] = "";
            GetClassNameA(child, className, sizeof className);
            RECT units = {expected.x, expected.y, expected.w, expected.h}, actual;  // each converted on its own
            MapDialogRect(hwnd, &units);
            GetWindowRect(child, &actual);
            MapWindowPoints(nullptr, hwnd, reinterpret_cast<POINT*>(&actual), 2);
            EXPECT_EQ((std::vector<LONG>{expected.id, units.left, units.top, units.right, units.bottom}),
                      (std::vector<LONG>{static_cast<short>(GetDlgCtrlID(child)), actual.left, actual.top,
                                         actual.right - actual.left, actual.bottom - actual.top}));
            EXPECT_STRCASEEQ(expected.className, className) << expected.id;
            EXPECT_EQ(expected.text ? expected.text : WindowText(child), WindowText(child)) << expected.id;
            EXPECT_EQ(WS_CHILD | expected.style | (expected.id == IDC_COMPLETE ? 0 : WS_VISIBLE),
                      static_cast<DWORD>(GetWindowLongA(child, GWL_STYLE))) << expected.id;
            EXPECT_EQ(expected.exStyle, GetWindowLongA(child, GWL_EXSTYLE) & (WS_EX_STATICEDGE | WS_EX_CLIENTEDGE |
                                                                              WS_EX_TRANSPARENT | WS_EX_DLGMODALFRAME))
                << expected.id;
            child = GetWindow(child, GW_HWNDNEXT);
        }
        EXPECT_EQ(nullptr, child) << "more controls than the template has";
    }));
}

// Enter ends the run through OK, which takes the controls' data; Escape and the close box through Cancel.
TEST_F(SetupDialogTest, FirstDisplayShowsTheTextsTheLicenceAndTheLogoOrPassesSilentlyWithoutThem)
{
    const std::string crlf = "Terms of use\r\n\r\n1. Line one\r\n2. \xE9t\xE9 line two\r\n";
    std::string bitmap = "BM" + std::string(52, '\0') + std::string(((64 * 3 + 3) & ~3) * 32, '\x80');  // 64 x 32, 24 bits
    for (const auto& [at, value] : {std::pair<int, size_t>{2, bitmap.size()}, {10, 54}, {14, 40}, {18, 64}, {22, 32}, {26, 1}, {28, 24}})
        bitmap[at] = static_cast<char>(value), bitmap[at + 1] = static_cast<char>(value >> 8);
    const struct {
        std::string licence, logo, shownLicence;  // an empty licence or logo: no such file
        LONG logoWidth;
        int focus;
        void (*end)(HWND);
        INT_PTR result;
    } cases[] = {
        {"", "", "", 440, IDC_DIR, [](HWND h) { PressKey(h, VK_RETURN); }, IDOK},
        {crlf, bitmap, crlf, 64, IDC_AGREE, [](HWND h) { PressKey(h, VK_ESCAPE); }, IDCANCEL},
        {std::string("Before\0after", 12), "This is not a bitmap.", "Before", 440, IDC_AGREE,
         [](HWND h) { PostMessageA(h, WM_SYSCOMMAND, SC_CLOSE, 0); }, IDCANCEL},
    };
    WritePackage("C:\\Games\\Arena");
    for (const auto& c : cases) {
        std::filesystem::remove(package.Native("license.txt"));
        std::filesystem::remove(package.Native("logo.bmp"));
        if (!c.licence.empty())
            package.Write("license.txt", c.licence);
        if (!c.logo.empty())
            package.Write("logo.bmp", c.logo);
        EXPECT_EQ(c.result, Run({[&](HWND hwnd) {
            EXPECT_EQ((std::vector<std::string>{"Arena Map Pack", "Sample notice text", "Choose the directory of the game",
                                                "C:\\Games\\Arena", c.shownLicence}),
                      (std::vector<std::string>{WindowText(hwnd), ItemText(hwnd, IDC_COPYRIGHT), ItemText(hwnd, IDC_DIR_GROUP),
                                                ItemText(hwnd, IDC_DIR), ItemText(hwnd, IDC_LICENSE)}));
            EXPECT_EQ(c.logoWidth, ShownBitmapWidth(hwnd));
            EXPECT_FALSE(ItemChecked(hwnd, IDC_AGREE));
            EXPECT_EQ(IDC_AGREE, FocusedItemId(hwnd));
            EXPECT_EQ("---", EnabledOf(hwnd));
            ExpectView(hwnd, false);
            SetDlgItemTextA(hwnd, IDC_LICENSE, "Changed");  // where no handler sees it
            dialog->FocusItem(c.focus);
        }, c.end}));
        EXPECT_STREQ(c.result == IDOK ? "Changed" : c.shownLicence.c_str(), dialog->m_strLicense);
        EXPECT_TRUE(dialog->messages.empty());
    }
}

TEST_F(SetupDialogTest, TheBoxTheDirectoryTextAndThePickerMoveThroughTheStatesAndInstallWaitsForBoth)
{
    WritePackage("C:\\Games\\Arena");
    // The notification a click on INSTALL sends, sent also while the button is disabled.
    auto pressInstall = [](HWND hwnd) {
        SendMessageA(hwnd, WM_COMMAND, MAKEWPARAM(IDC_INSTALL, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(hwnd, IDC_INSTALL)));
    };
    const std::string long259 = "C:\\" + std::string(256, 'q'), long258 = long259.substr(0, 258);
    EXPECT_EQ(IDCANCEL, Run({[&](HWND hwnd) {
        dialog->FocusItem(IDC_LICENSE);
        pressInstall(hwnd);  // not agreed: a reminder with an icon, the focus on the box
        EXPECT_EQ(std::vector<std::string>{"You must agree to the terms of the End-User License Agreement|Setup|" +
                                           std::to_string(MB_OK | MB_ICONEXCLAMATION)}, dialog->messages);
        EXPECT_EQ(IDC_AGREE, FocusedItemId(hwnd));
        // What the user does, and which of the directory, Browse and INSTALL are enabled after it.
        const std::pair<std::function<void()>, const char*> walk[] = {
            {[&] { Click(hwnd, IDC_AGREE); }, "dbi"},  // not agreed -> ready at once
            {[&] { Click(hwnd, IDC_AGREE); }, "---"},  // -> not agreed, the text stays
            {[&] { Click(hwnd, IDC_AGREE); }, "dbi"},
            {[&] { ClearByTyping(hwnd, IDC_DIR); }, "db-"},  // -> agreed, no directory
            {[&] { EnableWindow(GetDlgItem(hwnd, IDC_INSTALL), TRUE), pressInstall(hwnd); }, "db-"},  // installs nothing
            {[&] { TypeInto(hwnd, IDC_DIR, "   "); }, "dbi"},  // blanks count as a directory
            {[&] { ClearByTyping(hwnd, IDC_DIR), Click(hwnd, IDC_AGREE); }, "---"},
            {[&] { Click(hwnd, IDC_AGREE); }, "db-"},  // and back, without a directory
            {[&] { dialog->pick = ""; Click(hwnd, IDC_BROWSE); }, "db-"},  // the picker cancelled
            {[&] { dialog->pick = "C:\\Games\\Quake3"; Click(hwnd, IDC_BROWSE); }, "dbi"},
            {[&] { dialog->pick = ""; Click(hwnd, IDC_BROWSE); }, "dbi"},
        };
        for (const auto& [action, enabled] : walk) {
            action();
            EXPECT_EQ(enabled, EnabledOf(hwnd));
        }
        EXPECT_STREQ("C:\\Games\\Quake3\\", dialog->m_strDir);
        // A picked folder gets one trailing backslash, when there is room for it in 259 characters.
        for (const auto& [answer, text] : {std::pair<std::string, std::string>{"D:\\", "D:\\"}, {long258, long258 + "\\"}, {long259, long259}}) {
            dialog->pick = answer;
            Click(hwnd, IDC_BROWSE);
            EXPECT_EQ(text, ItemText(hwnd, IDC_DIR));
        }
        ExpectView(hwnd, false);
        EXPECT_EQ(1u, dialog->messages.size());
        PressKey(hwnd, VK_ESCAPE);
    }}));
}

TEST_F(SetupDialogTest, AFailedCopyIsReportedAsUnsuccessfulInTheFinishedViewAndExitEndsTheRun)
{
    // A missing source and a read-only destination: neither may pass as installed.
    WritePackage("", {"present.txt;$setupdir;C;1", "missing.txt;$setupdir;C;2", "locked.txt;$setupdir;C;3",
                      "readme.txt;$setupdir;E;4"});
    package.Write("present.txt", "here");
    package.Write("locked.txt", "new");
    target.Write("locked.txt", "old");
    std::filesystem::permissions(target.Native("locked.txt"), std::filesystem::perms::all & ~std::filesystem::perms::owner_write &
                                                                   ~std::filesystem::perms::group_write & ~std::filesystem::perms::others_write);
    EXPECT_EQ(IDOK, Run({[&](HWND hwnd) {
        Click(hwnd, IDC_AGREE);
        TypeInto(hwnd, IDC_DIR, target.Path());
        Click(hwnd, IDC_INSTALL);
        ExpectView(hwnd, true);
        EXPECT_TRUE(ItemEnabled(hwnd, IDC_INSTALL));
        Click(hwnd, IDC_INSTALL);  // Exit: installs nothing more
    }}));
    EXPECT_EQ(std::vector<std::string>{"Setup was unsuccessful|Setup|0|finished"}, dialog->messages);
    EXPECT_EQ(std::vector<std::string>{"readme.txt"}, opened);
    EXPECT_EQ((std::vector<std::string>{"here", "", "old"}),
              (std::vector<std::string>{target.Read("present.txt"), target.Read("missing.txt"), target.Read("locked.txt")}));
}

}  // namespace
