// Thin wrappers of child controls: each holds only the control's window handle.
#pragma once
#include <windows.h>

// A child control (a push button needs no more), attached to its window by
// the dialog's data exchange and detached when the dialog's run ends. Every
// operation is one Win32 call.
class CControl {
public:
    HWND GetHwnd() const { return m_hWnd; }
    bool IsAttached() const { return m_hWnd != nullptr; }
    void Attach(HWND hwnd) { m_hWnd = hwnd; }
    void Detach() { m_hWnd = nullptr; }

    BOOL EnableWindow(BOOL enable) const { return ::EnableWindow(m_hWnd, enable); }
    BOOL SetText(const char* text) const { return ::SetWindowTextA(m_hWnd, text); }

private:
    HWND m_hWnd = nullptr;
};

// A static control; for a picture control, the image it shows.
class CStaticControl : public CControl {
public:
    // Puts bitmap in place of the shown image; returns the image shown before.
    HBITMAP SetBitmap(HBITMAP bitmap) const
    {
        return reinterpret_cast<HBITMAP>(
            SendMessageA(GetHwnd(), STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap)));
    }
};
