// CKivSetupApp and theApp: the application object that owns the package description.
#pragma once
#include "framework/Application.h"
#include "setupinfo/SetupInfo.h"

// How KivSetup.exe ends, for a script or launcher that starts it and waits:
// the installation completed; the package did not load ("Could not load
// setup info"); some entry was not copied ("Setup was unsuccessful"); the
// dialog was closed without installing.
constexpr int kExitInstalled = 0;
constexpr int kExitNotLoaded = 1;
constexpr int kExitUnsuccessful = 2;
constexpr int kExitNotInstalled = 3;

class CKivSetupApp : public CApplication {
public:
    // Loads setup.inf and list.inf from the current directory and runs the
    // setup dialog once; tells the user when the description does not load.
    // Returns FALSE: the run ends with the dialog. The exit status says how.
    BOOL InitInstance() override;

    CSetupInfo m_setupInfo;
};

extern CKivSetupApp theApp;
