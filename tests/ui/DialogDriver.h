// Test support: runs a real modal dialog and drives it from outside its handlers, as a user would.
#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

struct SeenMessageBox {
    std::string text, caption;
    bool hasIcon = false;
    HWND owner = nullptr;
};

// Runs the steps one per timer tick inside the dialog's modal loop, so that keys
// posted by one step are handled before the next. Message boxes that come up are
// recorded and dismissed with OK; other popups (the folder picker) are cancelled.
class CDialogDriver {
public:
    using Step = std::function<void(HWND dialog)>;
    CDialogDriver& Then(Step step);
    std::function<void(HWND dialog, const SeenMessageBox& box)> onMessageBox;
    std::function<void(HWND popup)> onOtherPopup;
    // start() runs the dialog (DoModal). A dialog left open after the steps fails the test.
    INT_PTR Run(const std::function<INT_PTR()>& start);
    std::vector<SeenMessageBox> messageBoxes;

private:
    static void CALLBACK OnTick(HWND, UINT, UINT_PTR, DWORD);
    void Tick();
    std::vector<Step> m_steps;
    size_t m_next = 0;
    bool m_inStep = false, m_closedByDriver = false;
    HWND m_dialog = nullptr;
    int m_idleTicks = 0;
    std::vector<HWND> m_answered;  // popups may stay visible a tick after the answer
};

std::string WindowText(HWND window);
inline std::string ItemText(HWND dialog, int id) { return WindowText(GetDlgItem(dialog, id)); }
inline bool ItemVisible(HWND dialog, int id) { return (GetWindowLongA(GetDlgItem(dialog, id), GWL_STYLE) & WS_VISIBLE) != 0; }
inline bool ItemEnabled(HWND dialog, int id) { return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE; }
inline bool ItemChecked(HWND dialog, int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED; }
int FocusedItemId(HWND dialog);  // 0 for none
void TypeInto(HWND dialog, int id, const std::string& text);  // WM_CHAR at the end
void ClearByTyping(HWND dialog, int id);  // select all, Backspace
inline void Click(HWND dialog, int id) { SendMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }
// Posted to the focused control; handled when the step returns.
void PressKey(HWND dialog, WORD virtualKey);
inline void CloseBox(HWND dialog) { PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0); }
// Reads a message box (a #32770 window with a text and OK only).
bool ReadMessageBox(HWND box, SeenMessageBox* seen);
