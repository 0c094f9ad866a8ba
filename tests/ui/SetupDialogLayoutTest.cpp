// The setup dialog as created from its template, its data exchange, and the keys that end it.
#include <gtest/gtest.h>

#include "SetupDialogFixture.h"

namespace {

// Geometry in dialog units; WS_CHILD and (but for 1021) WS_VISIBLE implied; null text not compared.
struct ExpectedControl {
    int id;
    const char *className, *text;
    int x, y, w, h;
    DWORD style, exStyle;
};

const ExpectedControl kTemplate[] = {
    {IDC_AGREE, "Button", "I &Agree", 145, 158, 39, 10, BS_AUTOCHECKBOX | BS_FLAT | WS_TABSTOP, 0},
    {IDC_DIR, "Edit", "", 15, 189, 226, 14, ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 0},
    {IDC_BROWSE, "Button", "Browse...", 250, 189, 40, 14, BS_PUSHBUTTON | BS_FLAT | WS_TABSTOP, 0},
    {IDC_INSTALL, "Button", "INSTALL", 7, 213, 293, 14, BS_PUSHBUTTON | BS_FLAT | WS_TABSTOP | WS_GROUP, 0},
    {IDC_DIR_GROUP, "Button", "Dir Text", 7, 178, 293, 30, BS_GROUPBOX | WS_GROUP, 0},
    {-1, "Static", "", 7, 231, 293, 1, SS_BLACKFRAME | SS_SUNKEN, 0},
    {IDC_COPYRIGHT, "Static", "Copyright", 7, 235, 293, 8, SS_CENTER | WS_GROUP, 0},
    {-1, "Static", nullptr, 7, 248, 293, 8, SS_CENTER | WS_GROUP, 0},  // the credit line
    {IDC_QUESTION, "Static", "Do you agree to the terms above?", 15, 158, 108, 8, SS_LEFT | WS_GROUP, 0},
    {IDC_LOGO, "Static", nullptr, 7, 7, 293, 69, SS_BITMAP | SS_CENTERIMAGE, WS_EX_STATICEDGE},
    {IDC_LICENSE_GROUP, "Button", "End-User License Agreement", 7, 78, 293, 94, BS_GROUPBOX, 0},
    {IDC_LICENSE, "Edit", "", 15, 88, 275, 67, ES_MULTILINE | ES_READONLY | WS_VSCROLL, WS_EX_STATICEDGE},
    {IDC_COMPLETE, "Static", "Installation Complete!", 7, 106, 293, 8, SS_CENTER | WS_GROUP, 0},
};

// The extended styles a template can set; the system adds others.
constexpr DWORD kTemplateExStyles = WS_EX_STATICEDGE | WS_EX_CLIENTEDGE | WS_EX_TRANSPARENT | WS_EX_DLGMODALFRAME;

// Every control as the dialog manager created it, in creation (z-) order.
void ExpectTemplateControls(HWND dialog)
{
    HWND child = GetWindow(dialog, GW_CHILD);
    for (const ExpectedControl& expected : kTemplate) {
        ASSERT_NE(nullptr, child) << "missing control " << expected.id;
        SCOPED_TRACE("control " + std::to_string(expected.id));
        char className[64] = "";
        GetClassNameA(child, className, sizeof(className));
        EXPECT_EQ(expected.id, static_cast<short>(GetDlgCtrlID(child)));
        EXPECT_STRCASEEQ(expected.className, className);
        if (expected.text) {
            EXPECT_EQ(expected.text, WindowText(child));
        }
        // Position and size each converted on its own, as the dialog manager does.
        RECT units = {expected.x, expected.y, expected.w, expected.h}, actual;
        MapDialogRect(dialog, &units);
        GetWindowRect(child, &actual);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&actual), 2);
        EXPECT_EQ(units.left, actual.left);
        EXPECT_EQ(units.top, actual.top);
        EXPECT_EQ(units.right, actual.right - actual.left);
        EXPECT_EQ(units.bottom, actual.bottom - actual.top);
        // A bordered edit gets the 3-D client edge instead; SS_SUNKEN is a static edge.
        DWORD style = WS_CHILD | expected.style | (expected.id == IDC_COMPLETE ? 0 : WS_VISIBLE);
        DWORD exStyle = expected.exStyle;
        if (expected.style & WS_BORDER) {
            style &= ~WS_BORDER;
            exStyle |= WS_EX_CLIENTEDGE;
        }
        if (expected.id == -1 && (expected.style & SS_SUNKEN))
            exStyle |= WS_EX_STATICEDGE;
        EXPECT_EQ(style, static_cast<DWORD>(GetWindowLongA(child, GWL_STYLE))) << std::hex << style;
        EXPECT_EQ(exStyle, GetWindowLongA(child, GWL_EXSTYLE) & kTemplateExStyles) << std::hex << exStyle;
        child = GetWindow(child, GW_HWNDNEXT);
    }
    EXPECT_EQ(nullptr, child) << "more controls than the template has";
}

TEST_F(SetupDialogTest, IsCreatedFromItsTemplateAndExchangesItsDataWithoutRunningTheDirectoryHandler)
{
    WritePackage("C:\\Games\\Arena");
    std::string captionBeforeInit;
    dialog->beforeInit = [&](HWND hwnd) {
        captionBeforeInit = WindowText(hwnd);
        EXPECT_FALSE(IsWindowVisible(hwnd)) << "shown before its initialisation";
        ExpectTemplateControls(hwnd);
        EXPECT_FALSE(WindowText(GetWindow(GetDlgItem(hwnd, IDC_COPYRIGHT), GW_HWNDNEXT)).empty());  // credit
        EXPECT_EQ(440, ShownBitmapWidth(hwnd, IDC_LOGO));  // the built-in logo
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
        ASSERT_NE(nullptr, dialog->m_hIcon);
        for (WPARAM size : {ICON_BIG, ICON_SMALL})
            EXPECT_EQ(reinterpret_cast<LRESULT>(dialog->m_hIcon), SendMessageA(hwnd, WM_GETICON, size, 0));

        // Data exchange; had the initial transfer run OnDirChange, INSTALL would be enabled.
        EXPECT_FALSE(ItemEnabled(hwnd, IDC_INSTALL));
        SetDlgItemTextA(hwnd, IDC_LICENSE, "Other terms");
        CheckDlgButton(hwnd, IDC_AGREE, BST_CHECKED);
        dialog->UpdateData(TRUE);
        EXPECT_STREQ("Other terms", dialog->m_strLicense);
        EXPECT_STREQ("C:\\Games\\Arena", dialog->m_strDir);
        EXPECT_EQ(1, dialog->m_bAgree);
        dialog->m_strDir = "D:\\Quake3\\";
        dialog->m_bAgree = 0;
        dialog->UpdateData(FALSE);
        EXPECT_EQ("D:\\Quake3\\", ItemText(hwnd, IDC_DIR));
        EXPECT_FALSE(ItemChecked(hwnd, IDC_AGREE));
        EXPECT_FALSE(ItemEnabled(hwnd, IDC_INSTALL)) << "the transfer ran OnDirChange";
        Click(hwnd, IDC_AGREE);  // the same change typed by the user runs it
        TypeInto(hwnd, IDC_DIR, "E");
        EXPECT_STREQ("D:\\Quake3\\E", dialog->m_strDir);
        PressKey(hwnd, VK_ESCAPE);
    });
    EXPECT_EQ(IDCANCEL, Run(driver));
}

TEST_F(SetupDialogTest, EnterOnTheBoxOrInTheEditEndsThroughOkEscapeAndCloseBoxThroughCancel)
{
    WritePackage(target.Path(), {"setup.inf;$setupdir;C;1"});
    package.Write("license.txt", "Terms");
    // Ready to install; the licence text changed where no handler sees it, so only OK transfers it.
    // (Closing with the focus in the edit would run OnDirChange and with it a transfer.)
    const struct {
        int focusId;
        void (*end)(HWND);
        INT_PTR result;
    } cases[] = {
        {IDC_AGREE, [](HWND h) { PressKey(h, VK_RETURN); }, IDOK},
        {IDC_DIR, [](HWND h) { PressKey(h, VK_RETURN); }, IDOK},
        {IDC_AGREE, [](HWND h) { PressKey(h, VK_ESCAPE); }, IDCANCEL},
        {IDC_AGREE, CloseBox, IDCANCEL},
    };
    for (const auto& c : cases) {
        CDialogDriver driver;
        driver
            .Then([&](HWND hwnd) {
                Click(hwnd, IDC_AGREE);
                SetDlgItemTextA(hwnd, IDC_LICENSE, "Changed");
                dialog->FocusItem(c.focusId);
            })
            .Then(c.end);
        EXPECT_EQ(c.result, RunAgain(driver));
        EXPECT_STREQ(c.result == IDOK ? "Changed" : "Terms", dialog->m_strLicense);
    }
    EXPECT_FALSE(target.Exists("setup.inf"));
    EXPECT_TRUE(opened.empty());
}

}  // namespace
