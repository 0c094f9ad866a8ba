// The framework's modal dialog, data exchange and command map on the real dialog manager.
#include <gtest/gtest.h>

#include <cstring>

#include "Controls.h"
#include "DataExchange.h"
#include "DialogDriver.h"
#include "DynString.h"
#include "ModalDialog.h"
#include "ProbeDialog.h"

namespace {

class CProbeDialog : public CModalDialog {
public:
    CProbeDialog() : CModalDialog(IDD_PROBE, nullptr) {}
    CPushButton m_btnFirst;
    CString m_strEdit;
    int m_nCheck = 0;
    int editChanges = 0, firstClicks = 0, laterFirstClicks = 0, secondClicks = 0;

    INT_PTR Run(CDialogDriver& driver) { return driver.Run([this] { return DoModal(); }); }

protected:
    const CommandRoute* GetCommandMap() const override
    {
        static const CommandRoute kRoutes[] = {
            {IDC_PROBE_EDIT, EN_CHANGE, Handler(&CProbeDialog::OnEditChange)},
            {IDC_PROBE_FIRST, BN_CLICKED, Handler(&CProbeDialog::OnFirst)},
            {IDC_PROBE_FIRST, BN_CLICKED, Handler(&CProbeDialog::OnLaterFirst)},  // shadowed by the row above
            {IDC_PROBE_SECOND, BN_CLICKED, Handler(&CProbeDialog::OnSecond)},
            {0, 0, nullptr},
        };
        return kRoutes;
    }
    void DoDataExchange(CDataExchange* exchange) override
    {
        DDX_Control(exchange, IDC_PROBE_FIRST, m_btnFirst);
        DDX_Text(exchange, IDC_PROBE_EDIT, m_strEdit);
        DDX_Check(exchange, IDC_PROBE_CHECK, m_nCheck);
    }

private:
    void OnEditChange() { ++editChanges; }
    void OnFirst() { ++firstClicks; }
    void OnLaterFirst() { ++laterFirstClicks; }
    void OnSecond() { ++secondClicks; }
};

TEST(ModalDialog, TransfersBothWaysDispatchesByTheFirstMatchingRouteAndNoNotificationDuringATransfer)
{
    CProbeDialog dialog;
    dialog.m_strEdit = "C:\\Games\\Arena";
    dialog.m_nCheck = 1;
    CDialogDriver driver;
    driver
        .Then([&](HWND hwnd) {
            EXPECT_EQ(dialog.GetHwnd(), hwnd);
            EXPECT_EQ("C:\\Games\\Arena", ItemText(hwnd, IDC_PROBE_EDIT));
            EXPECT_TRUE(ItemChecked(hwnd, IDC_PROBE_CHECK));
            EXPECT_EQ(0, dialog.editChanges);
            EXPECT_EQ(GetDlgItem(hwnd, IDC_PROBE_FIRST), dialog.m_btnFirst.GetHwnd());

            TypeInto(hwnd, IDC_PROBE_EDIT, "x");
            Click(hwnd, IDC_PROBE_CHECK);
            EXPECT_EQ(1, dialog.editChanges);
            dialog.UpdateData(TRUE);
            EXPECT_STREQ("C:\\Games\\Arenax", dialog.m_strEdit);
            EXPECT_EQ(0, dialog.m_nCheck);

            dialog.m_strEdit = "D:\\Other";
            dialog.m_nCheck = 1;
            dialog.UpdateData(FALSE);
            EXPECT_EQ("D:\\Other", ItemText(hwnd, IDC_PROBE_EDIT));
            EXPECT_TRUE(ItemChecked(hwnd, IDC_PROBE_CHECK));
            EXPECT_EQ(1, dialog.editChanges) << "a transfer's EN_CHANGE reached the handler";
            TypeInto(hwnd, IDC_PROBE_EDIT, "ab");
            EXPECT_EQ(3, dialog.editChanges);

            Click(hwnd, IDC_PROBE_FIRST);
            Click(hwnd, IDC_PROBE_SECOND);
            EXPECT_EQ(1, dialog.firstClicks);
            EXPECT_EQ(0, dialog.laterFirstClicks);
            EXPECT_EQ(1, dialog.secondClicks);
            dialog.FocusItem(IDC_PROBE_SECOND);
        })
        .Then([](HWND hwnd) { PressKey(hwnd, VK_RETURN); })  // presses the button, the dialog stays
        .Then([&](HWND hwnd) {
            EXPECT_EQ(2, dialog.secondClicks);
            PressKey(hwnd, VK_ESCAPE);
        });
    EXPECT_EQ(IDCANCEL, dialog.Run(driver));
    EXPECT_FALSE(dialog.m_btnFirst.IsAttached());
    EXPECT_EQ(nullptr, dialog.GetHwnd());
}

TEST(DynString, AssignsCopiesAndEmpties)
{
    CString text;
    EXPECT_TRUE(text.IsEmpty());
    EXPECT_STREQ("", text);
    char source[] = "C:\\Games";
    text = source;
    source[0] = 'D';
    EXPECT_STREQ("C:\\Games", text);
    EXPECT_EQ(8u, text.GetLength());
    text = static_cast<const char*>(text) + 3;  // a part of its own text
    EXPECT_STREQ("Games", text);
    text = nullptr;
    EXPECT_STREQ("", text);
    memcpy(text.GetBuffer(4), "ab\0d", 5);
    text.ReleaseBuffer();
    EXPECT_EQ(2u, text.GetLength());
}

}  // namespace
