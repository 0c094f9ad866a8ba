// CModalDialog: a modal dialog run from a dialog template, with command and message maps and data exchange.
#pragma once
#include <cstddef>
#include <windows.h>

class CControl;
class CDataExchange;
class CModalDialog;

// A handler of a control notification: called with the dialog, takes no
// arguments and returns nothing. Handler<&Dialog::Member> is the one of a
// member function of a dialog class.
using CommandHandler = void (*)(CModalDialog& dialog);

// One row of a dialog's command map: notification code of control id goes to
// handler. A map is an array of rows ended by a row whose handler is null.
struct CommandRoute {
    int id;
    int code;
    CommandHandler handler;
};

// A handler of any other window message (one the program posts itself, such
// as WM_APP + n, or one the system sends, such as WM_QUERYENDSESSION): called
// with the dialog and the message's parameters. Its result is the message's
// result (the dialog's DWLP_MSGRESULT).
using MessageHandler = LRESULT (*)(CModalDialog& dialog, WPARAM wParam, LPARAM lParam);

// One row of a dialog's message map: message goes to handler. A map is an
// array of rows ended by a row whose handler is null.
struct MessageRoute {
    UINT message;
    MessageHandler handler;
};

// The class of a member function.
template <class Member>
struct MemberClass;
template <class Dialog, class Result, class... Arguments>
struct MemberClass<Result (Dialog::*)(Arguments...)> {
    using Type = Dialog;
};

// Handler<&Dialog::Member>: a row's handler that calls a member function of a
// dialog class. A plain function, so that a map is a table of constants that
// needs no code to set up.
template <auto member>
void Handler(CModalDialog& dialog)
{
    (static_cast<typename MemberClass<decltype(member)>::Type&>(dialog).*member)();
}
template <auto member>
LRESULT Handler(CModalDialog& dialog, WPARAM wParam, LPARAM lParam)
{
    return (static_cast<typename MemberClass<decltype(member)>::Type&>(dialog).*member)(wParam, lParam);
}

class CModalDialog {
public:
    CModalDialog(UINT templateId, HWND parent);
    virtual ~CModalDialog();
    CModalDialog(const CModalDialog&) = delete;
    CModalDialog& operator=(const CModalDialog&) = delete;

    // Creates the dialog from its template (hidden, then its controls in
    // template order), runs OnInitDialog, shows it and dispatches its
    // notifications until EndDialog, disabling the parent meanwhile. Returns
    // the value given to EndDialog (IDOK, IDCANCEL), or -1 when the dialog
    // could not be created. A WM_QUIT ends the run with IDCANCEL, and is
    // posted again for the loop outside; while HoldsQuit() it waits.
    INT_PTR DoModal();

    // The dialog window while the run lasts, else null.
    HWND GetHwnd() const { return m_hWnd; }

    // Runs DoDataExchange: from the controls into the members when
    // fromControls is TRUE, else from the members into the controls.
    // Notifications the controls send meanwhile reach no handler. Nothing is
    // validated, so the result is always TRUE.
    BOOL UpdateData(BOOL fromControls = TRUE);

    // The OK command: a transfer from the controls, then the run ends with IDOK.
    virtual void OnOK();
    // The cancel command: the run ends with IDCANCEL, without a transfer.
    virtual void OnCancel();
    void EndDialog(INT_PTR result);

    // Operations on the dialog's controls by identifier.
    HWND GetItem(int id) const;
    void ShowItem(int id, int command) const;
    void EnableItem(int id, BOOL enable) const;
    void SetItemText(int id, const char* text) const;
    void FocusItem(int id) const;
    void AddItemStyle(int id, LONG_PTR style) const;
    void SetCaption(const char* text) const;

    // A modal message box owned by the dialog; returns the button pressed.
    int ShowMessageBox(const char* text, const char* caption, UINT type) const;

    // Remembers a control wrapper attached during the run, so that it is
    // detached when the run ends. Called by the data exchange. The list
    // grows with the dialog; false only when memory runs out, and the
    // wrapper must then stay detached.
    bool TrackAttached(CControl* control);

protected:
    // The derived class's command map, searched before the dialog's own
    // (which sends IDOK to OnOK and IDCANCEL to OnCancel). Null: no rows.
    virtual const CommandRoute* GetCommandMap() const;
    // The derived class's message map, for messages other than WM_COMMAND;
    // the first row that matches handles the message. Null: no rows.
    virtual const MessageRoute* GetMessageMap() const;
    virtual void DoDataExchange(CDataExchange* exchange);
    // Runs once the window and its controls exist, before the dialog is
    // shown. TRUE lets the dialog manager give the focus to the first tab stop.
    virtual BOOL OnInitDialog();
    // While true, a WM_QUIT that reaches the run does not end it: the run goes
    // on and ends once this turns false (checked after every message).
    virtual bool HoldsQuit() const;
    // True when a WM_QUIT has arrived and the run ends as soon as it may.
    bool QuitPending() const { return m_bQuit; }

private:
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept;
    bool DispatchCommand(int id, int code);
    bool RouteMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void DetachAll();

    UINT m_templateId;
    HWND m_hParent;
    HWND m_hWnd = nullptr;
    bool m_bTransferring = false;
    bool m_bEnded = false;
    INT_PTR m_result = 0;
    bool m_bQuit = false;
    WPARAM m_quitCode = 0;
    CControl** m_attached = nullptr;  // malloc'd
    size_t m_attachedCount = 0;
    size_t m_attachedCapacity = 0;
};
