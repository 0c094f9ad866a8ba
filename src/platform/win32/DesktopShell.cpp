// Opening a file through the desktop's own shell, which runs as the user who
// started the program: what an elevated program opens then runs unelevated.
#include "platform/win32/DesktopShell.h"

#include <direct.h>
#include <exdisp.h>
#include <shldisp.h>
#include <shlobj.h>

namespace {

// The service of a view's top-level browser (the desktop window's, here).
// The identifiers are the headers' own (__uuidof), not the uuid library's,
// which the linker would reach through one more pointer each.
constexpr GUID kTopLevelBrowser = {0x4c96be40, 0x915c, 0x11cf, {0x99, 0xd3, 0x00, 0xaa, 0x00, 0x4a, 0xe8, 0x37}};

// A wide copy of text in the code page (MAX_PATH characters at most).
bool Widen(const char* text, wchar_t* wide) { return MultiByteToWideChar(CP_ACP, 0, text, -1, wide, MAX_PATH) != 0; }

// The desktop shell's own Shell object (IShellDispatch2), reached through
// the desktop window of the shell windows, its view and the view's
// automation object. Every object on the way is released at the end.
IShellDispatch2* DesktopShell()
{
    void* way[8] = {};
    IShellDispatch2* shell = nullptr;
    VARIANT none = {};
    long hwnd;
    HRESULT result =
        CoCreateInstance(__uuidof(ShellWindows), nullptr, CLSCTX_LOCAL_SERVER, __uuidof(IShellWindows), &way[0]);
    if (result == S_OK)
        result = static_cast<IShellWindows*>(way[0])->FindWindowSW(&none, &none, SWC_DESKTOP, &hwnd, SWFO_NEEDDISPATCH,
                                                                   reinterpret_cast<IDispatch**>(&way[1]));
    if (result == S_OK)
        result = static_cast<IDispatch*>(way[1])->QueryInterface(__uuidof(IServiceProvider), &way[2]);
    if (result == S_OK)
        result =
            static_cast<IServiceProvider*>(way[2])->QueryService(kTopLevelBrowser, __uuidof(IShellBrowser), &way[3]);
    if (result == S_OK)
        result = static_cast<IShellBrowser*>(way[3])->QueryActiveShellView(reinterpret_cast<IShellView**>(&way[4]));
    if (result == S_OK)
        result = static_cast<IShellView*>(way[4])->GetItemObject(SVGIO_BACKGROUND, __uuidof(IDispatch), &way[5]);
    if (result == S_OK)
        result = static_cast<IDispatch*>(way[5])->QueryInterface(__uuidof(IShellFolderViewDual), &way[6]);
    if (result == S_OK)
        result = static_cast<IShellFolderViewDual*>(way[6])->get_Application(reinterpret_cast<IDispatch**>(&way[7]));
    if (result == S_OK)
        static_cast<IDispatch*>(way[7])->QueryInterface(__uuidof(IShellDispatch2), reinterpret_cast<void**>(&shell));
    for (void* object : way) {
        if (object)
            static_cast<IUnknown*>(object)->Release();
    }
    return shell;
}

}  // namespace

bool OpenAsDesktopUser(const char* file)
{
    // Only an elevated program needs the detour; the desktop shell runs in
    // its own process and current directory, so it is given the whole path
    // of the file and this program's current directory to start it in, and
    // the parameter text exactly as given.
    // Both are taken in UTF-16, which holds a directory whose name the code
    // page cannot write.
    wchar_t parameters[MAX_PATH], whole[MAX_PATH], here[MAX_PATH];
    IShellDispatch2* shell;
    const DWORD wholeLength = Widen(file, parameters) ? GetFullPathNameW(parameters, MAX_PATH, whole, nullptr) : 0;
    if (!IsUserAnAdmin() || wholeLength == 0 || wholeLength >= MAX_PATH || !_wgetcwd(here, MAX_PATH) ||
        !(shell = DesktopShell()))
        return false;
    // The texts: the path, the parameters, the directory; the default action
    // (no verb), shown normally.
    VARIANT texts[3] = {}, verb = {}, show = {};
    const wchar_t* given[3] = {whole, parameters, here};
    bool made = true;
    for (int i = 0; i < 3; ++i) {
        texts[i].vt = VT_BSTR;
        made = (texts[i].bstrVal = SysAllocString(given[i])) && made;
    }
    show.vt = VT_I4;
    show.lVal = SW_SHOW;
    const bool started = made && shell->ShellExecute(texts[0].bstrVal, texts[1], texts[2], verb, show) == S_OK;
    for (VARIANT& text : texts)
        SysFreeString(text.bstrVal);
    shell->Release();
    return started;
}
