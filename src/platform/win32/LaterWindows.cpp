// Windows' calls newer than XP SP3, found at run time in the DLLs already loaded.
#include "platform/win32/LaterWindows.h"

#include "platform/Platform.h"

namespace Platform {

namespace {

// Casts a found call to its type; the calls are only ever made through it.
template <class Call>
Call As(FARPROC found)
{
    return reinterpret_cast<Call>(reinterpret_cast<void*>(found));
}

FARPROC FindLoaded(const wchar_t* module, const char* name)
{
    // GetModuleHandle loads nothing: a DLL not loaded yet is not looked in.
    HMODULE loaded = GetModuleHandleW(module);
    return loaded ? GetProcAddress(loaded, name) : nullptr;
}

// Set by a test before the calls it looks up run: not thread-safe.
CallLookup g_lookup = nullptr;

}  // namespace

void SetCallLookup(CallLookup lookup) { g_lookup = lookup; }

FARPROC LookUpCall(const wchar_t* module, const char* name)
{
    return g_lookup ? g_lookup(module, name) : FindLoaded(module, name);
}

DllSearch RestrictDllSearch()
{
    using SetDefaultDirectories = BOOL(WINAPI*)(DWORD);
    using SetDirectory = BOOL(WINAPI*)(LPCWSTR);
    if (auto restrict = As<SetDefaultDirectories>(LookUpCall(L"kernel32.dll", "SetDefaultDllDirectories"))) {
        if (restrict(LOAD_LIBRARY_SEARCH_SYSTEM32))
            return DllSearch::System32Only;
    }
    // The safe search order Windows documents for systems without it: an
    // empty DLL directory takes the current directory out of the search.
    if (auto setDirectory = As<SetDirectory>(LookUpCall(L"kernel32.dll", "SetDllDirectoryW"))) {
        if (setDirectory(L""))
            return DllSearch::NoCurrentDirectory;
    }
    return DllSearch::Unchanged;
}

void ShowShutdownReason(HWND window, const wchar_t* reason)
{
    using Create = BOOL(WINAPI*)(HWND, LPCWSTR);
    if (auto create = As<Create>(LookUpCall(L"user32.dll", "ShutdownBlockReasonCreate")))
        create(window, reason);
}

void HideShutdownReason(HWND window)
{
    using Destroy = BOOL(WINAPI*)(HWND);
    if (auto destroy = As<Destroy>(LookUpCall(L"user32.dll", "ShutdownBlockReasonDestroy")))
        destroy(window);
}

CNativeFileSystemView::CNativeFileSystemView()
{
    // Only a 32-bit program on 64-bit Windows is redirected, and only there
    // does the call exist (XP x64 on, never on 32-bit XP).
    using Disable = BOOL(WINAPI*)(PVOID*);
    if (auto disable = As<Disable>(LookUpCall(L"kernel32.dll", "Wow64DisableWow64FsRedirection")))
        m_active = disable(&m_saved) != FALSE;
}

CNativeFileSystemView::~CNativeFileSystemView()
{
    using Revert = BOOL(WINAPI*)(PVOID);
    if (!m_active)
        return;
    // The error of the step that ran meanwhile stays the caller's to read.
    const DWORD error = GetLastError();
    if (auto revert = As<Revert>(LookUpCall(L"kernel32.dll", "Wow64RevertWow64FsRedirection")))
        revert(m_saved);
    SetLastError(error);
}

}  // namespace Platform
