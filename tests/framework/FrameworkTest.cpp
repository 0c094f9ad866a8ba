// The framework on the real dialog manager, with the setup dialog's template: the command map takes only
// the first matching row, a transfer nested in another keeps notifications from the handlers until the
// outer one ends, and a string may be assigned from its own text.
#include <string>

#include <gtest/gtest.h>

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
        SendMessageA(GetHwnd(), WM_COMMAND, MAKEWPARAM(IDC_INSTALL, BN_CLICKED), reinterpret_cast<LPARAM>(GetItem(IDC_INSTALL)));
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
