// Test support: runs a real modal dialog and drives it from outside its handlers, as a user would.
#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

// What a message box showed when it came up.
struct SeenMessageBox {
    std::string text;
    std::string caption;
    bool hasIcon = false;
    HWND owner = nullptr;
};

// Runs a dialog's modal loop on this thread and, from a thread timer inside
// that loop, performs the test's steps one per tick, so that messages posted
// by one step (keys) are handled by the dialog manager before the next step.
// Message boxes that come up meanwhile, also inside a step, are read,
// recorded and dismissed with OK.
class CDialogDriver {
public:
    using Step = std::function<void(HWND dialog)>;

    CDialogDriver();
    ~CDialogDriver();

    // Adds a step; steps run in order once the dialog is visible.
    CDialogDriver& Then(Step step);
    // Called while a message box is up, before it is dismissed.
    std::function<void(HWND dialog, const SeenMessageBox& box)> onMessageBox;
    // Called for a popup that is not a message box (the folder picker);
    // by default it is cancelled.
    std::function<void(HWND popup)> onOtherPopup;

    // Runs the modal loop: start() must create the dialog and return when its
    // run ends (dialog.DoModal()). Returns start's result. The test fails
    // when the dialog is still open after the steps; it is then cancelled.
    INT_PTR Run(const std::function<INT_PTR()>& start);

    std::vector<SeenMessageBox> messageBoxes;
    // True when the driver had to close the dialog itself.
    bool closedByDriver = false;

private:
    static void CALLBACK OnTick(HWND, UINT, UINT_PTR, DWORD);
    void Tick();

    std::vector<Step> m_steps;
    size_t m_next = 0;
    bool m_inStep = false;
    HWND m_dialog = nullptr;
    int m_idleTicks = 0;
    UINT_PTR m_timer = 0;
    // Popups already answered, which may stay visible for a tick or two.
    std::vector<HWND> m_answered;
};

// Reading and driving controls as a user sees them.
std::string WindowText(HWND window);
std::string ItemText(HWND dialog, int id);
bool ItemVisible(HWND dialog, int id);
bool ItemEnabled(HWND dialog, int id);
bool ItemChecked(HWND dialog, int id);
// The identifier of the control of dialog that has the keyboard focus; 0 for none.
int FocusedItemId(HWND dialog);
// Types text at the end of an edit's text, one WM_CHAR per character.
void TypeInto(HWND dialog, int id, const std::string& text);
// Selects the whole text of an edit and deletes it with Backspace.
void ClearByTyping(HWND dialog, int id);
void Click(HWND dialog, int id);
// Posts a key press to the control of dialog that has the focus; the dialog
// manager handles it when the step returns.
void PressKey(HWND dialog, WORD virtualKey);
// Posts Alt+letter, the mnemonic of a control.
void PressAlt(HWND dialog, char letter);

// Reads a message box window (class #32770 with a text and an OK button).
bool ReadMessageBox(HWND box, SeenMessageBox* seen);
