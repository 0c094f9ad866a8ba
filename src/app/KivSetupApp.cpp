#include "app/KivSetupApp.h"

#include "ui/KivSetupDialog.h"

CKivSetupApp theApp;

BOOL CKivSetupApp::InitInstance()
{
    EnableControlSupport();
    // Relative names: the package is the current directory, wherever the
    // executable itself lies.
    if (!m_setupInfo.Load(kSetupFileName, kListFileName)) {
        MessageBoxA(nullptr, kLoadErrorText, kSetupCaption, MB_ICONERROR);
        SetExitCode(kExitNotLoaded);
        return FALSE;
    }
    CKivSetupDialog dialog(m_setupInfo);
    dialog.DoModal();
    const InstallResult result = dialog.Result();
    SetExitCode(result == InstallResult::Complete       ? kExitInstalled
                : result == InstallResult::Unsuccessful ? kExitUnsuccessful
                                                        : kExitNotInstalled);
    return FALSE;
}
