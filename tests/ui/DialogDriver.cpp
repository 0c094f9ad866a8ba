#include "DialogDriver.h"

#include <gtest/gtest.h>

namespace {

struct Run {
    CModalDialog& dialog;
    std::vector<std::function<void(HWND)>> steps;
    size_t next = 0;
    int idleTicks = 0;
    bool inStep = false, cancelled = false;
}* g_run = nullptr;

void CALLBACK OnTick(HWND, UINT, UINT_PTR, DWORD)
{
    HWND dialog = g_run ? g_run->dialog.GetHwnd() : nullptr;
    if (!dialog || !IsWindowVisible(dialog) || g_run->inStep)
        return;
    if (g_run->next < g_run->steps.size()) {
        g_run->inStep = true;
        g_run->steps[g_run->next++](dialog);
        g_run->inStep = false;
    } else if (++g_run->idleTicks == 200) {
        g_run->cancelled = true;
        PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    }
}

// Makes dialog active again first: a closed popup may have taken the activation.
HWND KeyboardTarget(HWND dialog)
{
    if (GetActiveWindow() != dialog)
        SetActiveWindow(dialog);
    HWND focus = GetFocus();
    return focus ? focus : dialog;
}

}  // namespace

INT_PTR RunDialog(CModalDialog& dialog, std::vector<std::function<void(HWND dialog)>> steps)
{
    Run run{dialog, std::move(steps)};
    g_run = &run;
    const UINT_PTR timer = SetTimer(nullptr, 0, 20, OnTick);
    const INT_PTR result = dialog.DoModal();
    KillTimer(nullptr, timer);
    g_run = nullptr;
    EXPECT_FALSE(run.cancelled) << "the dialog was still open after the last step";
    EXPECT_EQ(run.next, run.steps.size()) << "the dialog ended before all steps ran";
    return result;
}

std::string WindowText(HWND window)
{
    std::string text(static_cast<size_t>(GetWindowTextLengthA(window)) + 1, '\0');
    text.resize(static_cast<size_t>(GetWindowTextA(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

int FocusedItemId(HWND dialog)
{
    HWND target = KeyboardTarget(dialog);
    return target == dialog ? 0 : GetDlgCtrlID(target);
}

void TypeInto(HWND dialog, int id, const std::string& text)
{
    HWND edit = GetDlgItem(dialog, id);
    const int end = GetWindowTextLengthA(edit);
    SendMessageA(edit, EM_SETSEL, end, end);
    for (char c : text)
        SendMessageA(edit, WM_CHAR, static_cast<unsigned char>(c), 1);
}

void ClearByTyping(HWND dialog, int id)
{
    SendDlgItemMessageA(dialog, id, EM_SETSEL, 0, -1);
    SendDlgItemMessageA(dialog, id, WM_CHAR, VK_BACK, 1);
}

void PressKey(HWND dialog, WORD virtualKey)
{
    HWND target = KeyboardTarget(dialog);
    PostMessageA(target, WM_KEYDOWN, virtualKey, 1);
    PostMessageA(target, WM_KEYUP, virtualKey, 1 | (1u << 30) | (1u << 31));
}

bool ReadMessageBox(HWND box, SeenMessageBox* seen)
{
    struct Parts {
        std::string text;
        bool hasOk = false, hasIcon = false, other = false;
    } parts;
    char className[32] = "";
    GetClassNameA(box, className, sizeof className);
    if (std::string(className) != "#32770")
        return false;
    EnumChildWindows(box, [](HWND child, LPARAM data) -> BOOL {
        auto* p = reinterpret_cast<Parts*>(data);
        const LONG style = GetWindowLongA(child, GWL_STYLE);
        char name[32] = "";
        GetClassNameA(child, name, sizeof name);
        if (!(style & WS_VISIBLE))
            return TRUE;
        if (_stricmp(name, "Static") == 0) {
            if ((style & SS_TYPEMASK) == SS_ICON)
                p->hasIcon |= SendMessageA(child, STM_GETICON, 0, 0) != 0;
            else if (GetWindowTextLengthA(child) > 0)
                p->text = WindowText(child);
        } else if (_stricmp(name, "Button") == 0)
            p->hasOk |= GetDlgCtrlID(child) == IDOK;
        else
            p->other = true;
        return TRUE;
    }, reinterpret_cast<LPARAM>(&parts));
    if (!parts.hasOk || parts.other)
        return false;
    *seen = {parts.text, WindowText(box), parts.hasIcon, GetWindow(box, GW_OWNER)};
    return true;
}
