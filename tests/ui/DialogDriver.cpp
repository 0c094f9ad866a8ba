#include "DialogDriver.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

namespace {

CDialogDriver* g_driver = nullptr;

// Ticks come every 20 ms; a dialog still open 200 ticks after the last step
// (4 s) is taken as a test that forgot to close it.
constexpr UINT kTickMs = 20;
constexpr int kGraceTicks = 200;

bool IsDialogClass(HWND window)
{
    char name[32] = "";
    GetClassNameA(window, name, sizeof(name));
    return strcmp(name, "#32770") == 0;
}

// The visible dialog-class windows of this thread: the dialog under test and
// the popups it opens.
std::vector<HWND> VisibleThreadDialogs()
{
    std::vector<HWND> found;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM list) -> BOOL {
            if (IsWindowVisible(window) && IsDialogClass(window))
                reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

}  // namespace

CDialogDriver::CDialogDriver()
{
    onOtherPopup = [](HWND popup) { PostMessageA(popup, WM_COMMAND, IDCANCEL, 0); };
}

CDialogDriver::~CDialogDriver()
{
    if (m_timer)
        KillTimer(nullptr, m_timer);
    if (g_driver == this)
        g_driver = nullptr;
}

CDialogDriver& CDialogDriver::Then(Step step)
{
    m_steps.push_back(std::move(step));
    return *this;
}

INT_PTR CDialogDriver::Run(const std::function<INT_PTR()>& start)
{
    g_driver = this;
    m_timer = SetTimer(nullptr, 0, kTickMs, OnTick);
    INT_PTR result = start();
    KillTimer(nullptr, m_timer);
    m_timer = 0;
    g_driver = nullptr;
    EXPECT_FALSE(closedByDriver) << "the dialog was still open after the last step";
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
    std::vector<HWND> dialogs = VisibleThreadDialogs();
    for (HWND window : dialogs) {
        if (!m_dialog) {
            m_dialog = window;
            continue;
        }
        if (window == m_dialog ||
            std::find(m_answered.begin(), m_answered.end(), window) != m_answered.end())
            continue;
        m_answered.push_back(window);
        SeenMessageBox seen;
        if (ReadMessageBox(window, &seen)) {
            messageBoxes.push_back(seen);
            if (onMessageBox)
                onMessageBox(m_dialog, seen);
            PostMessageA(window, WM_COMMAND, IDOK, 0);
        } else if (onOtherPopup) {
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
        return;
    }
    if (IsWindow(m_dialog) && ++m_idleTicks > kGraceTicks) {
        closedByDriver = true;
        PostMessageA(m_dialog, WM_COMMAND, IDCANCEL, 0);
    }
}

std::string WindowText(HWND window)
{
    int length = GetWindowTextLengthA(window);
    std::string text(static_cast<size_t>(length) + 1, '\0');
    GetWindowTextA(window, text.data(), length + 1);
    text.resize(strlen(text.c_str()));
    return text;
}

std::string ItemText(HWND dialog, int id)
{
    return WindowText(GetDlgItem(dialog, id));
}

bool ItemVisible(HWND dialog, int id)
{
    return (GetWindowLongA(GetDlgItem(dialog, id), GWL_STYLE) & WS_VISIBLE) != 0;
}

bool ItemEnabled(HWND dialog, int id)
{
    return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE;
}

bool ItemChecked(HWND dialog, int id)
{
    return IsDlgButtonChecked(dialog, id) == BST_CHECKED;
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
    HWND edit = GetDlgItem(dialog, id);
    SendMessageA(edit, EM_SETSEL, 0, -1);
    SendMessageA(edit, WM_CHAR, VK_BACK, 1);
}

void Click(HWND dialog, int id)
{
    SendMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}

namespace {

// The window with the keyboard focus in dialog, after making dialog the
// active window again: a popup that closed, or another program's window,
// may have taken the activation.
HWND KeyboardTarget(HWND dialog)
{
    if (GetActiveWindow() != dialog)
        SetActiveWindow(dialog);
    HWND focus = GetFocus();
    return focus ? focus : dialog;
}

}  // namespace

int FocusedItemId(HWND dialog)
{
    HWND focus = KeyboardTarget(dialog);
    return focus == dialog ? 0 : GetDlgCtrlID(focus);
}

void PressKey(HWND dialog, WORD virtualKey)
{
    HWND target = KeyboardTarget(dialog);
    PostMessageA(target, WM_KEYDOWN, virtualKey, 1);
    PostMessageA(target, WM_KEYUP, virtualKey, 1 | (1u << 30) | (1u << 31));
}

void PressAlt(HWND dialog, char letter)
{
    // Bit 29: the Alt key is down.
    PostMessageA(KeyboardTarget(dialog), WM_SYSCHAR, static_cast<unsigned char>(letter), 1 | (1 << 29));
}

bool ReadMessageBox(HWND box, SeenMessageBox* seen)
{
    struct Parts {
        std::string text;
        bool hasOk = false;
        bool hasIcon = false;
        bool otherControls = false;
    } parts;
    EnumChildWindows(
        box,
        [](HWND child, LPARAM data) -> BOOL {
            auto* p = reinterpret_cast<Parts*>(data);
            char name[32] = "";
            GetClassNameA(child, name, sizeof(name));
            LONG style = GetWindowLongA(child, GWL_STYLE);
            bool visible = (style & WS_VISIBLE) != 0;
            if (_stricmp(name, "Static") == 0) {
                if ((style & SS_TYPEMASK) == SS_ICON) {
                    if (visible && SendMessageA(child, STM_GETICON, 0, 0))
                        p->hasIcon = true;
                } else if (visible && GetWindowTextLengthA(child) > 0) {
                    p->text = WindowText(child);
                }
            } else if (_stricmp(name, "Button") == 0) {
                if (visible && GetDlgCtrlID(child) == IDOK)
                    p->hasOk = true;
            } else if (visible) {
                p->otherControls = true;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&parts));
    if (!parts.hasOk || parts.otherControls)
        return false;
    seen->text = parts.text;
    seen->caption = WindowText(box);
    seen->hasIcon = parts.hasIcon;
    seen->owner = GetWindow(box, GW_OWNER);
    return true;
}
