// The framework's modal dialog, data exchange and command map on the real dialog manager.
#include <gtest/gtest.h>

#include <functional>

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
    CStaticControl m_label;
    CString m_strEdit;
    int m_nCheck = 0;

    int editChanges = 0;
    int firstClicks = 0;
    int laterFirstClicks = 0;
    int secondClicks = 0;

    INT_PTR Run(CDialogDriver& driver)
    {
        return driver.Run([this] { return DoModal(); });
    }

protected:
    const CommandRoute* GetCommandMap() const override
    {
        static const CommandRoute kRoutes[] = {
            {IDC_PROBE_EDIT, EN_CHANGE, Handler(&CProbeDialog::OnEditChange)},
            {IDC_PROBE_FIRST, BN_CLICKED, Handler(&CProbeDialog::OnFirst)},
            // Never reached: the row above matches first.
            {IDC_PROBE_FIRST, BN_CLICKED, Handler(&CProbeDialog::OnLaterFirst)},
            {IDC_PROBE_SECOND, BN_CLICKED, Handler(&CProbeDialog::OnSecond)},
            {0, 0, nullptr},
        };
        return kRoutes;
    }

    void DoDataExchange(CDataExchange* exchange) override
    {
        DDX_Control(exchange, IDC_PROBE_FIRST, m_btnFirst);
        DDX_Control(exchange, IDC_PROBE_LABEL, m_label);
        DDX_Text(exchange, IDC_PROBE_EDIT, m_strEdit);
        DDX_Check(exchange, IDC_PROBE_CHECK, m_nCheck);
    }

private:
    void OnEditChange() { ++editChanges; }
    void OnFirst() { ++firstClicks; }
    void OnLaterFirst() { ++laterFirstClicks; }
    void OnSecond() { ++secondClicks; }
};

TEST(ModalDialog, TransfersBothWaysAndDispatchesNoNotificationDuringATransfer)
{
    CProbeDialog dialog;
    dialog.m_strEdit = "C:\\Games\\Arena";
    dialog.m_nCheck = 1;
    CDialogDriver driver;
    driver
        .Then([&](HWND hwnd) {
            // The first transfer into the controls ran during initialisation.
            EXPECT_EQ(dialog.GetHwnd(), hwnd);
            EXPECT_EQ("C:\\Games\\Arena", ItemText(hwnd, IDC_PROBE_EDIT));
            EXPECT_TRUE(ItemChecked(hwnd, IDC_PROBE_CHECK));
            EXPECT_EQ(0, dialog.editChanges);
            EXPECT_EQ(GetDlgItem(hwnd, IDC_PROBE_FIRST), dialog.m_btnFirst.GetHwnd());
            EXPECT_EQ(GetDlgItem(hwnd, IDC_PROBE_LABEL), dialog.m_label.GetHwnd());
        })
        .Then([&](HWND hwnd) {
            TypeInto(hwnd, IDC_PROBE_EDIT, "x");
            Click(hwnd, IDC_PROBE_CHECK);
            EXPECT_EQ(1, dialog.editChanges);
            EXPECT_STREQ("C:\\Games\\Arena", dialog.m_strEdit);
            dialog.UpdateData(TRUE);
            EXPECT_STREQ("C:\\Games\\Arenax", dialog.m_strEdit);
            EXPECT_EQ(0, dialog.m_nCheck);
            Click(hwnd, IDC_PROBE_CHECK);
            dialog.UpdateData(TRUE);
            EXPECT_EQ(1, dialog.m_nCheck);
        })
        .Then([&](HWND hwnd) {
            dialog.m_strEdit = "D:\\Other";
            dialog.m_nCheck = 0;
            dialog.UpdateData(FALSE);
            EXPECT_EQ("D:\\Other", ItemText(hwnd, IDC_PROBE_EDIT));
            EXPECT_FALSE(ItemChecked(hwnd, IDC_PROBE_CHECK));
            dialog.m_strEdit = "";
            dialog.UpdateData(FALSE);
            EXPECT_EQ("", ItemText(hwnd, IDC_PROBE_EDIT));
            EXPECT_EQ(1, dialog.editChanges) << "a transfer's EN_CHANGE reached the handler";
            // Typing after the transfer is dispatched again.
            TypeInto(hwnd, IDC_PROBE_EDIT, "ab");
            EXPECT_EQ(3, dialog.editChanges);
        })
        .Then([&](HWND hwnd) {
            Click(hwnd, IDC_PROBE_FIRST);
            Click(hwnd, IDC_PROBE_SECOND);
            EXPECT_EQ(1, dialog.firstClicks);
            EXPECT_EQ(0, dialog.laterFirstClicks);
            EXPECT_EQ(1, dialog.secondClicks);
            PressKey(hwnd, VK_ESCAPE);
        });
    EXPECT_EQ(IDCANCEL, dialog.Run(driver));
    EXPECT_FALSE(dialog.m_btnFirst.IsAttached());
    EXPECT_FALSE(dialog.m_label.IsAttached());
    EXPECT_EQ(nullptr, dialog.GetHwnd());
}

TEST(ModalDialog, EnterEndsThroughOkWithATransferEscapeAndCloseBoxThroughCancelWithout)
{
    auto typeTickAndThen = [](CProbeDialog& dialog, int focusId, std::function<void(HWND)> end) {
        CDialogDriver driver;
        driver
            .Then([&dialog, focusId](HWND hwnd) {
                TypeInto(hwnd, IDC_PROBE_EDIT, "typed");
                Click(hwnd, IDC_PROBE_CHECK);
                dialog.FocusItem(focusId);
            })
            .Then(end);
        return dialog.Run(driver);
    };

    CProbeDialog onCheckBox;
    EXPECT_EQ(IDOK, typeTickAndThen(onCheckBox, IDC_PROBE_CHECK, [](HWND hwnd) { PressKey(hwnd, VK_RETURN); }));
    EXPECT_STREQ("typed", onCheckBox.m_strEdit);
    EXPECT_EQ(1, onCheckBox.m_nCheck);

    CProbeDialog inEdit;
    EXPECT_EQ(IDOK, typeTickAndThen(inEdit, IDC_PROBE_EDIT, [](HWND hwnd) { PressKey(hwnd, VK_RETURN); }));
    EXPECT_STREQ("typed", inEdit.m_strEdit);

    CProbeDialog escaped;
    EXPECT_EQ(IDCANCEL, typeTickAndThen(escaped, IDC_PROBE_CHECK, [](HWND hwnd) { PressKey(hwnd, VK_ESCAPE); }));
    EXPECT_STREQ("", escaped.m_strEdit);
    EXPECT_EQ(0, escaped.m_nCheck);

    CProbeDialog closed;
    EXPECT_EQ(IDCANCEL, typeTickAndThen(closed, IDC_PROBE_CHECK, [](HWND hwnd) {
                  PostMessageA(hwnd, WM_SYSCOMMAND, SC_CLOSE, 0);
              }));
    EXPECT_STREQ("", closed.m_strEdit);

    // Enter on a push button presses that button and leaves the dialog open.
    CProbeDialog onButton;
    CDialogDriver driver;
    driver.Then([&](HWND) { onButton.FocusItem(IDC_PROBE_SECOND); })
        .Then([](HWND hwnd) { PressKey(hwnd, VK_RETURN); })
        .Then([&](HWND hwnd) {
            EXPECT_EQ(1, onButton.secondClicks);
            EXPECT_TRUE(IsWindowVisible(hwnd));
            PressKey(hwnd, VK_ESCAPE);
        });
    EXPECT_EQ(IDCANCEL, onButton.Run(driver));
}

TEST(DynString, AssignsCopiesAndEmpties)
{
    CString text;
    EXPECT_STREQ("", text);
    EXPECT_EQ(0u, text.GetLength());
    EXPECT_TRUE(text.IsEmpty());

    char source[] = "C:\\Games";
    text = source;
    source[0] = 'D';
    EXPECT_STREQ("C:\\Games", text);
    EXPECT_EQ(8u, text.GetLength());

    // Assigning a string its own text, or a part of it, keeps the text whole.
    text = static_cast<const char*>(text) + 3;
    EXPECT_STREQ("Games", text);

    text = "";
    EXPECT_TRUE(text.IsEmpty());
    text = nullptr;
    EXPECT_STREQ("", text);

    char* buffer = text.GetBuffer(4);
    ASSERT_NE(nullptr, buffer);
    memcpy(buffer, "ab\0d", 5);
    text.ReleaseBuffer();
    EXPECT_EQ(2u, text.GetLength());
}

}  // namespace
