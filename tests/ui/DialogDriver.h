// Test support: real dialogs on the real dialog manager, driven from outside their handlers as a user drives them.
#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "ModalDialog.h"

// Runs dialog.DoModal() and, inside its modal loop, each step on a timer tick of its own, so that keys
// posted by one step are handled before the next. A dialog still open 4 s after the last step fails the
// test and is cancelled.
INT_PTR RunDialog(CModalDialog& dialog, std::vector<std::function<void(HWND dialog)>> steps);

std::string WindowText(HWND window);
inline std::string ItemText(HWND dialog, int id) { return WindowText(GetDlgItem(dialog, id)); }
inline bool ItemVisible(HWND dialog, int id) { return (GetWindowLongA(GetDlgItem(dialog, id), GWL_STYLE) & WS_VISIBLE) != 0; }
inline bool ItemEnabled(HWND dialog, int id) { return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE; }
inline bool ItemChecked(HWND dialog, int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED; }
inline void Click(HWND dialog, int id) { SendMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }
int FocusedItemId(HWND dialog);  // 0 for none
void TypeInto(HWND dialog, int id, const std::string& text);  // WM_CHAR at the end
void ClearByTyping(HWND dialog, int id);  // select all, Backspace
void PressKey(HWND dialog, WORD virtualKey);  // posted to the focused control: handled after the step

// A message box as the user sees it: a #32770 window with a text and OK only.
struct SeenMessageBox {
    std::string text, caption;
    bool hasIcon = false;
    HWND owner = nullptr;
};
bool ReadMessageBox(HWND box, SeenMessageBox* seen);
