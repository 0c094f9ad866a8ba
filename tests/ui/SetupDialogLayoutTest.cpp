// The setup dialog as created from its template, its data exchange, and its keys.
#include <gtest/gtest.h>

#include "SetupDialogFixture.h"

namespace {

// One control of the template: identifier, window class, text, geometry in
// dialog units, style (WS_CHILD and WS_VISIBLE implied unless hidden) and
// extended style.
struct ExpectedControl {
    int id;
    const char* className;
    const char* text;  // null: not compared
    int x, y, w, h;
    DWORD style;
    DWORD exStyle;
    bool visible;
};

const ExpectedControl kTemplate[] = {
    {IDC_AGREE, "Button", "I &Agree", 145, 158, 39, 10, BS_AUTOCHECKBOX | BS_FLAT | WS_TABSTOP, 0, true},
    {IDC_DIR, "Edit", "", 15, 189, 226, 14, ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 0, true},
    {IDC_BROWSE, "Button", "Browse...", 250, 189, 40, 14, BS_PUSHBUTTON | BS_FLAT | WS_TABSTOP, 0, true},
    {IDC_INSTALL, "Button", "INSTALL", 7, 213, 293, 14, BS_PUSHBUTTON | BS_FLAT | WS_TABSTOP | WS_GROUP, 0, true},
    {IDC_DIR_GROUP, "Button", "Dir Text", 7, 178, 293, 30, BS_GROUPBOX | WS_GROUP, 0, true},
    {-1, "Static", "", 7, 231, 293, 1, SS_BLACKFRAME | SS_SUNKEN, 0, true},
    {IDC_COPYRIGHT, "Static", "Copyright", 7, 235, 293, 8, SS_CENTER | WS_GROUP, 0, true},
    {-1, "Static", nullptr, 7, 248, 293, 8, SS_CENTER | WS_GROUP, 0, true},  // the credit line
    {IDC_QUESTION, "Static", "Do you agree to the terms above?", 15, 158, 108, 8, SS_LEFT | WS_GROUP, 0, true},
    {IDC_LOGO, "Static", nullptr, 7, 7, 293, 69, SS_BITMAP | SS_CENTERIMAGE, WS_EX_STATICEDGE, true},
    {IDC_LICENSE_GROUP, "Button", "End-User License Agreement", 7, 78, 293, 94, BS_GROUPBOX, 0, true},
    {IDC_LICENSE, "Edit", "", 15, 88, 275, 67, ES_MULTILINE | ES_READONLY | WS_VSCROLL, WS_EX_STATICEDGE, true},
    {IDC_COMPLETE, "Static", "Installation Complete!", 7, 106, 293, 8, SS_CENTER | WS_GROUP, 0, false},
};

// The extended-style bits a template can set; the system adds others
// (WS_EX_NOPARENTNOTIFY) that the template does not control.
constexpr DWORD kTemplateExStyles = WS_EX_STATICEDGE | WS_EX_CLIENTEDGE | WS_EX_TRANSPARENT | WS_EX_DLGMODALFRAME;

std::string ClassOf(HWND window)
{
    char name[64] = "";
    GetClassNameA(window, name, sizeof(name));
    return name;
}

RECT ChildRect(HWND dialog, HWND child)
{
    RECT rect;
    GetWindowRect(child, &rect);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

// Checks every control as the dialog manager created it, in creation order
// (the z-order of the dialog's children).
void ExpectTemplateControls(HWND dialog)
{
    HWND child = GetWindow(dialog, GW_CHILD);
    for (const ExpectedControl& expected : kTemplate) {
        ASSERT_NE(nullptr, child) << "missing control " << expected.id;
        SCOPED_TRACE("control " + std::to_string(expected.id));
        EXPECT_EQ(expected.id, static_cast<short>(GetDlgCtrlID(child)));
        EXPECT_STRCASEEQ(expected.className, ClassOf(child).c_str());
        if (expected.text) {
            EXPECT_EQ(expected.text, WindowText(child));
        }

        // Position and size are converted each on its own, as the dialog
        // manager converts them: the size is not right minus left in units.
        RECT units = {expected.x, expected.y, expected.w, expected.h};
        MapDialogRect(dialog, &units);
        RECT actual = ChildRect(dialog, child);
        EXPECT_EQ(units.left, actual.left);
        EXPECT_EQ(units.top, actual.top);
        EXPECT_EQ(units.right, actual.right - actual.left);
        EXPECT_EQ(units.bottom, actual.bottom - actual.top);

        DWORD style = static_cast<DWORD>(GetWindowLongA(child, GWL_STYLE));
        DWORD exStyle = static_cast<DWORD>(GetWindowLongA(child, GWL_EXSTYLE));
        DWORD expectedStyle = WS_CHILD | expected.style | (expected.visible ? WS_VISIBLE : 0);
        DWORD expectedExStyle = expected.exStyle;
        // The dialog manager draws a bordered edit with the sunken client
        // edge of the 3-D look, and SS_SUNKEN is drawn as a static edge.
        if (ClassOf(child) == "Edit" && (expected.style & WS_BORDER)) {
            expectedStyle &= ~WS_BORDER;
            expectedExStyle |= WS_EX_CLIENTEDGE;
        }
        if (ClassOf(child) == "Static" && (expected.style & SS_SUNKEN))
            expectedExStyle |= WS_EX_STATICEDGE;
        EXPECT_EQ(expectedStyle, style) << std::hex << "0x" << expectedStyle << " vs 0x" << style;
        EXPECT_EQ(expectedExStyle, exStyle & kTemplateExStyles) << std::hex << "0x" << exStyle;
        child = GetWindow(child, GW_HWNDNEXT);
    }
    EXPECT_EQ(nullptr, child) << "more controls than the template has";
}

TEST_F(SetupDialogTest, IsCreatedFromItsTemplateWithThirteenControlsTheLogoAndTheIcon)
{
    WritePackage("C:\\Games\\Arena", {});
    std::string captionBeforeInit;
    dialog->beforeInit = [&](HWND hwnd) {
        captionBeforeInit = WindowText(hwnd);
        EXPECT_FALSE(IsWindowVisible(hwnd)) << "shown before its initialisation";
        ExpectTemplateControls(hwnd);
        HWND credit = GetWindow(GetDlgItem(hwnd, IDC_COPYRIGHT), GW_HWNDNEXT);
        EXPECT_FALSE(WindowText(credit).empty());
        // The built-in logo, bitmap 135, is in the picture from its creation.
        SIZE logo = ShownBitmapSize(hwnd, IDC_LOGO);
        EXPECT_EQ(440, logo.cx);
        EXPECT_EQ(110, logo.cy);
    };
    CDialogDriver driver;
    driver.Then([&](HWND hwnd) {
        EXPECT_EQ("KivSetup", captionBeforeInit);
        EXPECT_EQ("Arena Map Pack", WindowText(hwnd));

        LONG style = GetWindowLongA(hwnd, GWL_STYLE);
        const LONG frame = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT;
        EXPECT_EQ(frame, style & frame);
        EXPECT_EQ(0, style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME));
        RECT client, units = {0, 0, 307, 263};
        GetClientRect(hwnd, &client);
        MapDialogRect(hwnd, &units);
        EXPECT_EQ(units.right, client.right);
        EXPECT_EQ(units.bottom, client.bottom);

        LOGFONTA font = {};
        GetObjectA(reinterpret_cast<HFONT>(SendMessageA(hwnd, WM_GETFONT, 0, 0)), sizeof(font), &font);
        EXPECT_STREQ("MS Sans Serif", font.lfFaceName);

        // Icon group 128, loaded by the constructor, for both title-bar sizes.
        ASSERT_NE(nullptr, dialog->m_hIcon);
        EXPECT_EQ(reinterpret_cast<LRESULT>(dialog->m_hIcon), SendMessageA(hwnd, WM_GETICON, ICON_BIG, 0));
        EXPECT_EQ(reinterpret_cast<LRESULT>(dialog->m_hIcon), SendMessageA(hwnd, WM_GETICON, ICON_SMALL, 0));
        ICONINFO icon = {};
        ASSERT_TRUE(GetIconInfo(dialog->m_hIcon, &icon));
        BITMAP mask = {};
        GetObjectA(icon.hbmMask, sizeof(mask), &mask);
        EXPECT_EQ(GetSystemMetrics(SM_CXICON), mask.bmWidth);
        DeleteObject(icon.hbmMask);
        DeleteObject(icon.hbmColor);

        // The wrappers are attached by the first transfer.
        EXPECT_EQ(GetDlgItem(hwnd, IDC_LOGO), dialog->m_logo.GetHwnd());
        EXPECT_EQ(GetDlgItem(hwnd, IDC_INSTALL), dialog->m_btnInstall.GetHwnd());
        PressKey(hwnd, VK_ESCAPE);
    });
    EXPECT_EQ(IDCANCEL, Run(driver));
    EXPECT_FALSE(dialog->m_logo.IsAttached());
    EXPECT_FALSE(dialog->m_btnInstall.IsAttached());
}

TEST_F(SetupDialogTest, ExchangesItsDataBothWaysAndNoTransferRunsTheDirectoryHandler)
{
    WritePackage("C:\\Games\\Arena", {});
    package.Write("license.txt", "Terms");
    CDialogDriver driver;
    driver
        .Then([&](HWND hwnd) {
            // OnInitDialog's last transfer put the default directory into the
            // edit; had OnDirChange run, INSTALL would be enabled now.
            EXPECT_EQ("C:\\Games\\Arena", ItemText(hwnd, IDC_DIR));
            EXPECT_FALSE(ItemEnabled(hwnd, IDC_INSTALL));

            // From the controls: every binding.
            SetDlgItemTextA(hwnd, IDC_LICENSE, "Other terms");
            CheckDlgButton(hwnd, IDC_AGREE, BST_CHECKED);
            dialog->UpdateData(TRUE);
            EXPECT_STREQ("Other terms", dialog->m_strLicense);
            EXPECT_STREQ("C:\\Games\\Arena", dialog->m_strDir);
            EXPECT_EQ(1, dialog->m_bAgree);
            CheckDlgButton(hwnd, IDC_AGREE, BST_UNCHECKED);
            dialog->UpdateData(TRUE);
            EXPECT_EQ(0, dialog->m_bAgree);

            // To the controls: a new directory text runs no OnDirChange, which
            // would enable INSTALL without looking at the box.
            dialog->m_strDir = "D:\\Quake3\\";
            dialog->m_strLicense = "Terms again";
            dialog->m_bAgree = 1;
            dialog->UpdateData(FALSE);
            EXPECT_EQ("D:\\Quake3\\", ItemText(hwnd, IDC_DIR));
            EXPECT_EQ("Terms again", ItemText(hwnd, IDC_LICENSE));
            EXPECT_TRUE(ItemChecked(hwnd, IDC_AGREE));
            EXPECT_FALSE(ItemEnabled(hwnd, IDC_INSTALL));
            dialog->m_bAgree = 0;
            dialog->UpdateData(FALSE);
            EXPECT_FALSE(ItemChecked(hwnd, IDC_AGREE));
        })
        .Then([&](HWND hwnd) {
            // The same change typed by the user does run it.
            Click(hwnd, IDC_AGREE);
            ClearByTyping(hwnd, IDC_DIR);
            EXPECT_FALSE(ItemEnabled(hwnd, IDC_INSTALL));
            TypeInto(hwnd, IDC_DIR, "E");
            EXPECT_TRUE(ItemEnabled(hwnd, IDC_INSTALL));
            EXPECT_STREQ("E", dialog->m_strDir);
            PressKey(hwnd, VK_ESCAPE);
        });
    EXPECT_EQ(IDCANCEL, Run(driver));
}

TEST_F(SetupDialogTest, TabVisitsTheEnabledStopsInOrderAndAltATogglesTheBox)
{
    WritePackage("C:\\Games\\Arena", {});
    CDialogDriver driver;
    std::vector<int> visited;
    auto tab = [&](HWND hwnd) { PressKey(hwnd, VK_TAB); };
    auto note = [&](HWND hwnd) { visited.push_back(FocusedItemId(hwnd)); };
    driver.Then(note).Then(tab).Then(note);  // Not agreed: the box alone
    driver.Then([](HWND hwnd) { PressAlt(hwnd, 'a'); }).Then([&](HWND hwnd) {
        EXPECT_TRUE(ItemChecked(hwnd, IDC_AGREE));
        EXPECT_TRUE(ItemEnabled(hwnd, IDC_INSTALL)) << "Alt+A did not reach OnAgree";
    });
    for (int i = 0; i < 4; ++i)
        driver.Then(tab).Then(note);
    driver.Then([](HWND hwnd) { PressAlt(hwnd, 'a'); }).Then([&](HWND hwnd) {
        EXPECT_FALSE(ItemChecked(hwnd, IDC_AGREE));
        EXPECT_FALSE(ItemEnabled(hwnd, IDC_DIR));
        PressKey(hwnd, VK_ESCAPE);
    });
    EXPECT_EQ(IDCANCEL, Run(driver));
    std::vector<int> expected = {IDC_AGREE, IDC_AGREE, IDC_DIR, IDC_BROWSE, IDC_INSTALL, IDC_AGREE};
    EXPECT_EQ(expected, visited);
}

TEST_F(SetupDialogTest, EnterOnTheBoxOrInTheEditEndsThroughOkEscapeAndCloseBoxThroughCancel)
{
    WritePackage(target.Path(), {"setup.inf;$setupdir;C;1"});
    package.Write("license.txt", "Terms");
    // Ready to install; the licence text changed where no handler sees it,
    // so only the framework's OK transfers it into m_strLicense.
    auto runEndingWith = [&](int focusId, std::function<void(HWND)> end) {
        Renew();
        CDialogDriver driver;
        driver
            .Then([&, focusId](HWND hwnd) {
                Click(hwnd, IDC_AGREE);
                SetDlgItemTextA(hwnd, IDC_LICENSE, "Changed");
                dialog->FocusItem(focusId);
            })
            .Then(end);
        return Run(driver);
    };
    EXPECT_EQ(IDOK, runEndingWith(IDC_AGREE, [](HWND hwnd) { PressKey(hwnd, VK_RETURN); }));
    EXPECT_STREQ("Changed", dialog->m_strLicense);
    EXPECT_EQ(IDOK, runEndingWith(IDC_DIR, [](HWND hwnd) { PressKey(hwnd, VK_RETURN); }));
    EXPECT_STREQ("Changed", dialog->m_strLicense);
    EXPECT_EQ(IDCANCEL, runEndingWith(IDC_AGREE, [](HWND hwnd) { PressKey(hwnd, VK_ESCAPE); }));
    EXPECT_STREQ("Terms", dialog->m_strLicense);
    // (With the focus in the directory edit, its EN_KILLFOCUS as the dialog
    // closes would run OnDirChange and with it a transfer.)
    EXPECT_EQ(IDCANCEL, runEndingWith(IDC_AGREE, [](HWND hwnd) {
                  PostMessageA(hwnd, WM_SYSCOMMAND, SC_CLOSE, 0);
              }));
    EXPECT_STREQ("Terms", dialog->m_strLicense);
    // None of them installed anything.
    EXPECT_FALSE(target.Exists("setup.inf"));
    EXPECT_TRUE(opened.empty());
}

}  // namespace
