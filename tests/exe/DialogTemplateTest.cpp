// Dialog template 131 as compiled: the dialog's own fields and all thirteen controls.
#include "DialogTemplate.h"
#include "ModuleUnderTest.h"
#include "resource.h"

#include <gtest/gtest.h>

#include <string>

namespace {

class DialogTemplate131 : public testing::TestWithParam<ModuleUnderTest> {
protected:
    void SetUp() override
    {
        CDataModule module(GetParam().path);
        ASSERT_NE(module.Handle(), nullptr) << GetParam().path;
        const std::vector<unsigned char> bytes = module.Resource(RT_DIALOG, IDD_KIVSETUP_DIALOG);
        ASSERT_FALSE(bytes.empty()) << "no dialog template 131";
        std::string error;
        ASSERT_TRUE(ParseDialogTemplateEx(bytes.data(), bytes.size(), m_dialog, error)) << error;
    }

    DialogTemplate m_dialog;
};

TEST_P(DialogTemplate131, DialogIsAFixedModalPopupInMsSansSerif8)
{
    EXPECT_EQ(m_dialog.helpId, 0u);
    EXPECT_EQ(m_dialog.exStyle, 0u);
    EXPECT_EQ(m_dialog.style, static_cast<uint32_t>(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT));
    EXPECT_EQ(m_dialog.itemCount, 13);
    EXPECT_EQ(m_dialog.x, 0);
    EXPECT_EQ(m_dialog.y, 0);
    EXPECT_EQ(m_dialog.cx, 307);
    EXPECT_EQ(m_dialog.cy, 263);
    EXPECT_FALSE(m_dialog.menu.isOrdinal || !m_dialog.menu.text.empty()) << "no menu";
    EXPECT_FALSE(m_dialog.windowClass.isOrdinal || !m_dialog.windowClass.text.empty()) << "standard dialog class";
    EXPECT_EQ(m_dialog.title, "KivSetup");
    EXPECT_EQ(m_dialog.pointSize, 8);
    EXPECT_TRUE(m_dialog.weight == 0 || m_dialog.weight == FW_NORMAL) << m_dialog.weight;
    EXPECT_EQ(m_dialog.italic, 0);
    EXPECT_EQ(m_dialog.charset, DEFAULT_CHARSET);
    EXPECT_EQ(m_dialog.typeface, "MS Sans Serif");
}

struct ExpectedControl {
    int32_t id;
    const char* className;
    const char* text;   // nullptr: the bitmap ordinal IDB_LOGO
    int16_t x, y, cx, cy;
    uint32_t style;     // besides WS_CHILD
    uint32_t exStyle;
};

const uint32_t kVisible = WS_VISIBLE;

// The controls in template order, which is creation, stacking and Tab order.
const ExpectedControl kControls[] = {
    {IDC_AGREE, "Button", "I &Agree", 145, 158, 39, 10, kVisible | BS_AUTOCHECKBOX | BS_FLAT | WS_TABSTOP, 0},
    {IDC_DIR, "Edit", "", 15, 189, 226, 14, kVisible | ES_LEFT | ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 0},
    {IDC_BROWSE, "Button", "Browse...", 250, 189, 40, 14, kVisible | BS_PUSHBUTTON | BS_FLAT | WS_TABSTOP, 0},
    {IDC_INSTALL, "Button", "INSTALL", 7, 213, 293, 14, kVisible | BS_PUSHBUTTON | BS_FLAT | WS_TABSTOP | WS_GROUP, 0},
    {IDC_DIR_GROUP, "Button", "Dir Text", 7, 178, 293, 30, kVisible | BS_GROUPBOX | WS_GROUP, 0},
    {-1, "Static", "", 7, 231, 293, 1, kVisible | SS_BLACKFRAME | SS_SUNKEN, 0},
    {IDC_COPYRIGHT, "Static", "Copyright", 7, 235, 293, 8, kVisible | SS_CENTER | WS_GROUP, 0},
    {-1, "Static", "KivSetup - a tiny installer for game content", 7, 248, 293, 8, kVisible | SS_CENTER | WS_GROUP, 0},
    {IDC_QUESTION, "Static", "Do you agree to the terms above?", 15, 158, 108, 8, kVisible | SS_LEFT | WS_GROUP, 0},
    {IDC_LOGO, "Static", nullptr, 7, 7, 293, 69, kVisible | SS_BITMAP | SS_CENTERIMAGE, WS_EX_STATICEDGE},
    {IDC_LICENSE_GROUP, "Button", "End-User License Agreement", 7, 78, 293, 94, kVisible | BS_GROUPBOX, 0},
    {IDC_LICENSE, "Edit", "", 15, 88, 275, 67, kVisible | ES_LEFT | ES_MULTILINE | ES_READONLY | WS_VSCROLL, WS_EX_STATICEDGE},
    {IDC_COMPLETE, "Static", "Installation Complete!", 7, 106, 293, 8, SS_CENTER | WS_GROUP, 0},   // hidden
};

TEST_P(DialogTemplate131, ThirteenControlsAsLaidOut)
{
    ASSERT_EQ(m_dialog.items.size(), std::size(kControls));
    for (size_t i = 0; i < std::size(kControls); ++i) {
        const ExpectedControl& want = kControls[i];
        const DialogItem& item = m_dialog.items[i];
        SCOPED_TRACE("control " + std::to_string(i + 1) + ", id " + std::to_string(want.id));
        EXPECT_EQ(item.id, want.id);
        EXPECT_EQ(_stricmp(item.className.c_str(), want.className), 0) << item.className;
        if (want.text) {
            EXPECT_FALSE(item.title.isOrdinal);
            EXPECT_EQ(item.title.text, want.text);
        } else {
            EXPECT_TRUE(item.title.isOrdinal) << "names the bitmap by number";
            EXPECT_EQ(item.title.ordinal, IDB_LOGO);
        }
        EXPECT_EQ(item.x, want.x);
        EXPECT_EQ(item.y, want.y);
        EXPECT_EQ(item.cx, want.cx);
        EXPECT_EQ(item.cy, want.cy);
        EXPECT_EQ(item.style, WS_CHILD | want.style) << std::hex << item.style;
        EXPECT_EQ(item.exStyle, want.exStyle) << std::hex << item.exStyle;
        EXPECT_EQ(item.helpId, 0u);
        EXPECT_EQ(item.extraCount, 0);
    }
}

INSTANTIATE_TEST_SUITE_P(Executables, DialogTemplate131, testing::ValuesIn(ModulesUnderTest()));

} // namespace
