#include "framework/Application.h"

#include <commctrl.h>
#include <objbase.h>

namespace {
CApplication* g_application = nullptr;
}

CApplication::CApplication() { g_application = this; }

CApplication::~CApplication()
{
    if (g_application == this)
        g_application = nullptr;
}

BOOL CApplication::InitInstance() { return FALSE; }

CApplication* CApplication::Get() { return g_application; }

void CApplication::EnableControlSupport()
{
    INITCOMMONCONTROLSEX controls = {};
    controls.dwSize = sizeof(controls);
    controls.dwICC = ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES;
    InitCommonControlsEx(&controls);
    // The shell's folder picker expects a single-threaded apartment. The
    // process ends with the run, which releases COM; there is no matching
    // CoUninitialize.
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
}

int RunApplication()
{
    CApplication* application = CApplication::Get();
    if (!application)
        return 0;
    application->InitInstance();
    return application->ExitCode();
}
