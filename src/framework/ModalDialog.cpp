#include "framework/ModalDialog.h"

#include <cstdlib>

#include "framework/Controls.h"
#include "framework/DataExchange.h"
#include "text/Reserve.h"
#include "framework/Resources.h"

CModalDialog::CModalDialog(UINT templateId, HWND parent) : m_templateId(templateId), m_hParent(parent) {}

CModalDialog::~CModalDialog() { free(m_attached); }

// The modal loop is the framework's own rather than DialogBoxParam's, whose
// loop ends at the first WM_QUIT, window and all: here a quit can be held
// while the dialog says it must not end yet.
INT_PTR CModalDialog::DoModal()
{
    LPCSTR name = MAKEINTRESOURCEA(m_templateId);
    m_bEnded = m_bQuit = false;
    m_result = -1;
    const bool parentEnabled = m_hParent && !EnableWindow(m_hParent, FALSE);
    HWND hwnd = CreateDialogParamA(FindResourceModule(name, RT_DIALOG), name, m_hParent, DialogProc,
                                   reinterpret_cast<LPARAM>(this));
    if (hwnd && !m_bEnded)
        ShowWindow(hwnd, SW_SHOWNORMAL);
    while (hwnd && !m_bEnded && !(m_bQuit && !HoldsQuit())) {
        MSG message;
        const BOOL got = GetMessageA(&message, nullptr, 0, 0);
        if (got == -1)
            break;
        if (got == 0) {
            m_bQuit = true;
            m_quitCode = message.wParam;
            m_result = IDCANCEL;
        } else if (!IsDialogMessageA(hwnd, &message)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
    // The parent comes back before the dialog goes, so that the focus returns to it.
    if (parentEnabled)
        EnableWindow(m_hParent, TRUE);
    if (hwnd)
        DestroyWindow(hwnd);
    DetachAll();
    m_hWnd = nullptr;
    if (m_bQuit)
        PostQuitMessage(static_cast<int>(m_quitCode));
    return m_result;
}

BOOL CModalDialog::UpdateData(BOOL fromControls)
{
    // Restored rather than cleared, so that a transfer asked for from within
    // DoDataExchange does not end the outer one's protection early.
    bool wasTransferring = m_bTransferring;
    m_bTransferring = true;
    CDataExchange exchange(this, fromControls);
    DoDataExchange(&exchange);
    m_bTransferring = wasTransferring;
    return TRUE;
}

void CModalDialog::OnOK()
{
    if (UpdateData(TRUE))
        EndDialog(IDOK);
}

void CModalDialog::OnCancel() { EndDialog(IDCANCEL); }

void CModalDialog::EndDialog(INT_PTR result)
{
    m_result = result;
    m_bEnded = true;
    // The loop may be waiting for a message to look at the flag.
    PostMessageA(m_hWnd, WM_NULL, 0, 0);
}

HWND CModalDialog::GetItem(int id) const { return GetDlgItem(m_hWnd, id); }

void CModalDialog::ShowItem(int id, int command) const { ShowWindow(GetItem(id), command); }

void CModalDialog::EnableItem(int id, BOOL enable) const { EnableWindow(GetItem(id), enable); }

void CModalDialog::SetItemText(int id, const char* text) const { SetDlgItemTextA(m_hWnd, id, text); }

void CModalDialog::FocusItem(int id) const
{
    // Through the dialog manager rather than SetFocus, so that it keeps track
    // of which push button Enter presses, as it does for the Tab key.
    SendMessageA(m_hWnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetItem(id)), TRUE);
}

void CModalDialog::AddItemStyle(int id, LONG_PTR style) const
{
    HWND item = GetItem(id);
    SetWindowLongPtrA(item, GWL_STYLE, GetWindowLongPtrA(item, GWL_STYLE) | style);
}

void CModalDialog::SetCaption(const char* text) const { SetWindowTextA(m_hWnd, text); }

int CModalDialog::ShowMessageBox(const char* text, const char* caption, UINT type) const
{
    return MessageBoxA(m_hWnd, text, caption, type);
}

bool CModalDialog::TrackAttached(CControl* control)
{
    if (!Reserve(m_attached, m_attachedCapacity, m_attachedCount + 1))
        return false;
    m_attached[m_attachedCount++] = control;
    return true;
}

void CModalDialog::DetachAll()
{
    for (size_t i = 0; i < m_attachedCount; ++i)
        m_attached[i]->Detach();
    m_attachedCount = 0;
}

const CommandRoute* CModalDialog::GetCommandMap() const { return nullptr; }

const MessageRoute* CModalDialog::GetMessageMap() const { return nullptr; }

void CModalDialog::DoDataExchange(CDataExchange*) {}

BOOL CModalDialog::OnInitDialog()
{
    UpdateData(FALSE);
    return TRUE;
}

bool CModalDialog::HoldsQuit() const { return false; }

bool CModalDialog::DispatchCommand(int id, int code)
{
    static const CommandRoute kOwnRoutes[] = {
        {IDOK, BN_CLICKED, Handler<&CModalDialog::OnOK>},
        {IDCANCEL, BN_CLICKED, Handler<&CModalDialog::OnCancel>},
        {0, 0, nullptr},
    };
    const CommandRoute* maps[] = {GetCommandMap(), kOwnRoutes};
    for (const CommandRoute* route : maps) {
        for (; route && route->handler; ++route) {
            if (route->id == id && route->code == code) {
                route->handler(*this);
                return true;
            }
        }
    }
    return false;
}

bool CModalDialog::RouteMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    for (const MessageRoute* route = GetMessageMap(); route && route->handler; ++route) {
        if (route->message == message) {
            // A dialog procedure hands a message's result over in DWLP_MSGRESULT.
            SetWindowLongPtrA(m_hWnd, DWLP_MSGRESULT, route->handler(*this, wParam, lParam));
            return true;
        }
    }
    return false;
}

// Every message of the dialog arrives here. The object is bound to the window
// through the LPARAM of WM_INITDIALOG and found again in DWLP_USER; messages
// sent before WM_INITDIALOG (WM_SETFONT and the like) go to the dialog manager.
// noexcept: no C++ exception may unwind through the dialog manager's frames.
INT_PTR CALLBACK CModalDialog::DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept
{
    if (message == WM_INITDIALOG) {
        auto* dialog = reinterpret_cast<CModalDialog*>(lParam);
        SetWindowLongPtrA(hwnd, DWLP_USER, lParam);
        dialog->m_hWnd = hwnd;
        return dialog->OnInitDialog();
    }
    auto* dialog = reinterpret_cast<CModalDialog*>(GetWindowLongPtrA(hwnd, DWLP_USER));
    if (!dialog)
        return FALSE;
    if (message != WM_COMMAND)
        return dialog->RouteMessage(message, wParam, lParam) ? TRUE : FALSE;
    // A control's notification raised by a transfer (an edit's EN_CHANGE
    // when the transfer sets its text) must not run a handler.
    bool fromControl = lParam != 0;
    if (fromControl && dialog->m_bTransferring)
        return TRUE;
    return dialog->DispatchCommand(LOWORD(wParam), HIWORD(wParam)) ? TRUE : FALSE;
}
