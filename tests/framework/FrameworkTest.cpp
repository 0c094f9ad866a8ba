// The framework on the real dialog manager, with the setup dialog's template: the command map takes only
// the first matching row, a transfer nested in another keeps notifications from the handlers until the
// outer one ends, a string may be assigned from its own text, and the background task reports as it says.
#include <algorithm>
#include <cstdint>
#include <string>

#include <gtest/gtest.h>

#include "framework/BackgroundTask.h"
#include "framework/DataExchange.h"
#include "framework/DynString.h"
#include "framework/ModalDialog.h"
#include "res/resource.h"

namespace {

class CProbeDialog : public CModalDialog {
public:
    CProbeDialog() : CModalDialog(IDD_KIVSETUP_DIALOG, nullptr) {}
    std::string calls;
    CString text;

protected:
    const CommandRoute* GetCommandMap() const override { return kMap; }
    void DoDataExchange(CDataExchange* exchange) override
    {
        // A transfer asked for inside another; each puts a new text into the edit.
        if (m_depth++ == 0) {
            text = "inner";
            UpdateData(FALSE);
            text = "outer";
        }
        DDX_Text(exchange, IDC_DIR, text);
    }
    BOOL OnInitDialog() override
    {
        CModalDialog::OnInitDialog();
        SendMessageA(GetHwnd(), WM_COMMAND, MAKEWPARAM(IDC_INSTALL, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetItem(IDC_INSTALL)));
        SetItemText(IDC_DIR, "typed");
        EndDialog(IDOK);
        return TRUE;
    }
    void First() { calls += "first "; }
    void Second() { calls += "second "; }
    void Changed() { calls += "changed "; }

private:
    static const CommandRoute kMap[];
    int m_depth = 0;
};

const CommandRoute CProbeDialog::kMap[] = {
    {IDC_INSTALL, BN_CLICKED, Handler<&CProbeDialog::First>},
    {IDC_INSTALL, BN_CLICKED, Handler<&CProbeDialog::Second>},
    {IDC_DIR, EN_CHANGE, Handler<&CProbeDialog::Changed>},
    {0, 0, nullptr},
};

}  // namespace

TEST(Framework, FirstMatchingRouteOnlyAndANestedTransferStaysSilentToItsEnd)
{
    CProbeDialog dialog;
    EXPECT_EQ(dialog.DoModal(), IDOK);
    // Only the text the user's change (not a transfer's) sends a notification for reaches the handler.
    EXPECT_EQ(dialog.calls, "first changed ");
    EXPECT_STREQ(dialog.text, "outer");
}

TEST(Framework, AStringTakesItsOwnText)
{
    const std::string long64(64, 'x');
    CString text;
    text = (long64 + "tail").c_str();
    text = static_cast<const char*>(text);
    EXPECT_EQ(std::string(text), long64 + "tail");
    text = static_cast<const char*>(text) + 60;
    EXPECT_EQ(std::string(text), "xxxxtail");
    EXPECT_EQ(text.GetLength(), 8u);
}

// The background task on its own, with a message-only window: however often the work publishes, at most one
// progress message is queued, and the one that arrives reads the latest value; the done message comes last,
// with the work's result, and Join then finds the worker gone.
TEST(Framework, ABackgroundTaskCoalescesItsProgressAndEndsWithItsResult)
{
    constexpr UINT kProgress = WM_APP + 1, kDone = WM_APP + 2;
    constexpr unsigned long long kPublished = 200000;
    HWND window = CreateWindowExA(0, "Static", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    ASSERT_NE(nullptr, window);
    CBackgroundTask task;
    task.Start(
        window, kProgress, kDone,
        [](CBackgroundTask& self, void* context) -> WPARAM {
            for (unsigned long long i = 1; i <= kPublished; ++i)
                self.Publish(i);
            return reinterpret_cast<WPARAM>(context);
        },
        reinterpret_cast<void*>(uintptr_t{42}));
    EXPECT_TRUE(task.IsRunning());
    size_t messages = 0, queuedAtOnce = 0;
    unsigned long long latest = 0;
    MSG message;
    while (GetMessageA(&message, window, kProgress, kDone) > 0 && message.message == kProgress) {
        MSG more;
        queuedAtOnce =
            std::max<size_t>(queuedAtOnce, 1 + PeekMessageA(&more, window, kProgress, kProgress, PM_NOREMOVE));
        const unsigned long long taken = task.TakeProgress();
        EXPECT_GE(taken, latest);
        latest = taken, ++messages;
    }
    EXPECT_EQ(message.message, kDone);
    EXPECT_EQ(message.wParam, 42u);
    EXPECT_EQ(task.TakeProgress(), kPublished) << "the last value published";
    EXPECT_EQ(queuedAtOnce, 1u);
    EXPECT_LT(messages, kPublished);
    task.Join();
    EXPECT_FALSE(task.IsRunning());
    DestroyWindow(window);
}
