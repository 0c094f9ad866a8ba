#include "framework/DataExchange.h"

#include "framework/Controls.h"
#include "framework/DynString.h"

void DDX_Control(CDataExchange* exchange, int id, CControl& control)
{
    if (control.IsAttached() || !exchange->m_pDialog->TrackAttached(&control))
        return;
    control.Attach(exchange->m_pDialog->GetItem(id));
}

void DDX_Text(CDataExchange* exchange, int id, CString& value)
{
    HWND item = exchange->m_pDialog->GetItem(id);
    if (!exchange->m_bFromControls) {
        SetWindowTextA(item, value);
        return;
    }
    // As messages rather than GetWindowText's calls, which would each cost the
    // installer an import of its own.
    const LRESULT length = SendMessageA(item, WM_GETTEXTLENGTH, 0, 0);
    char* buffer = value.GetBuffer(length > 0 ? static_cast<size_t>(length) : 0);
    if (!buffer)
        return;
    SendMessageA(item, WM_GETTEXT, static_cast<WPARAM>(length + 1), reinterpret_cast<LPARAM>(buffer));
    value.ReleaseBuffer();
}

void DDX_Check(CDataExchange* exchange, int id, int& value)
{
    HWND item = exchange->m_pDialog->GetItem(id);
    if (exchange->m_bFromControls)
        value = SendMessageA(item, BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0;
    else
        SendMessageA(item, BM_SETCHECK, value ? BST_CHECKED : BST_UNCHECKED, 0);
}
