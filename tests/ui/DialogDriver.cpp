#include "DialogDriver.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

namespace {

CDialogDriver* g_driver = nullptr;
constexpr UINT kTickMs = 20;
constexpr int kGraceTicks = 200;  // 4 s after the last step

std::string ClassOf(HWND window)
{
    char name[32] = "";
    GetClassNameA(window, name, sizeof(name));
    return name;
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

CDialogDriver& CDialogDriver::Then(Step step)
{
    m_steps.push_back(std::move(step));
    return *this;
}

INT_PTR CDialogDriver::Run(const std::function<INT_PTR()>& start)
{
    if (!onOtherPopup)
        onOtherPopup = [](HWND popup) { PostMessageA(popup, WM_COMMAND, IDCANCEL, 0); };
    g_driver = this;
    UINT_PTR timer = SetTimer(nullptr, 0, kTickMs, OnTick);
    INT_PTR result = start();
    KillTimer(nullptr, timer);
    g_driver = nullptr;
    EXPECT_FALSE(m_closedByDriver) << "the dialog was still open after the last step";
    EXPECT_EQ(m_next, m_steps.size()) << "the dialog ended before all steps ran";
    return result;
}

void CALLBACK CDialogDriver::OnTick(HWND, UINT, UINT_PTR, DWORD)
{
    if (g_driver)
        g_driver->Tick();
}

void CDialogDriver::Tick()
{
    std::vector<HWND> windows;
    EnumThreadWindows(GetCurrentThreadId(), [](HWND w, LPARAM list) { return reinterpret_cast<std::vector<HWND>*>(list)->push_back(w), TRUE; },
                      reinterpret_cast<LPARAM>(&windows));
    for (HWND window : windows) {
        if (!IsWindowVisible(window) || ClassOf(window) != "#32770")
            continue;
        if (!m_dialog)
            m_dialog = window;
        if (window == m_dialog || std::count(m_answered.begin(), m_answered.end(), window))
            continue;
        m_answered.push_back(window);
        SeenMessageBox seen;
        if (ReadMessageBox(window, &seen)) {
            messageBoxes.push_back(seen);
            if (onMessageBox)
                onMessageBox(m_dialog, seen);
            PostMessageA(window, WM_COMMAND, IDOK, 0);
        } else {
            onOtherPopup(window);
        }
        return;
    }
    if (!m_dialog || m_inStep)
        return;
    if (m_next < m_steps.size()) {
        m_inStep = true;
        Step step = m_steps[m_next++];
        step(m_dialog);
        m_inStep = false;
    } else if (IsWindow(m_dialog) && ++m_idleTicks > kGraceTicks) {
        m_closedByDriver = true;
        PostMessageA(m_dialog, WM_COMMAND, IDCANCEL, 0);
    }
}

std::string WindowText(HWND window)
{
    std::string text(static_cast<size_t>(GetWindowTextLengthA(window)) + 1, '\0');
    text.resize(static_cast<size_t>(GetWindowTextA(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

void TypeInto(HWND dialog, int id, const std::string& text)
{
    HWND edit = GetDlgItem(dialog, id);
    int end = GetWindowTextLengthA(edit);
    SendMessageA(edit, EM_SETSEL, end, end);
    for (char c : text)
        SendMessageA(edit, WM_CHAR, static_cast<unsigned char>(c), 1);
}

void ClearByTyping(HWND dialog, int id)
{
    SendDlgItemMessageA(dialog, id, EM_SETSEL, 0, -1);
    SendDlgItemMessageA(dialog, id, WM_CHAR, VK_BACK, 1);
}

int FocusedItemId(HWND dialog)
{
    return KeyboardTarget(dialog) == dialog ? 0 : GetDlgCtrlID(KeyboardTarget(dialog));
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
    EnumChildWindows(
        box,
        [](HWND child, LPARAM data) -> BOOL {
            auto* p = reinterpret_cast<Parts*>(data);
            LONG style = GetWindowLongA(child, GWL_STYLE);
            if (!(style & WS_VISIBLE))
                return TRUE;
            std::string name = ClassOf(child);
            if (_stricmp(name.c_str(), "Static") == 0) {
                if ((style & SS_TYPEMASK) == SS_ICON)
                    p->hasIcon |= SendMessageA(child, STM_GETICON, 0, 0) != 0;
                else if (GetWindowTextLengthA(child) > 0)
                    p->text = WindowText(child);
            } else if (_stricmp(name.c_str(), "Button") == 0) {
                p->hasOk |= GetDlgCtrlID(child) == IDOK;
            } else {
                p->other = true;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&parts));
    if (!parts.hasOk || parts.other)
        return false;
    *seen = {parts.text, WindowText(box), parts.hasIcon, GetWindow(box, GW_OWNER)};
    return true;
}
