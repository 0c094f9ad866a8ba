// CKivSetupApp and theApp: the application object that owns the package description.
#pragma once
#include "framework/Application.h"
#include "setupinfo/SetupInfo.h"

class CKivSetupApp : public CApplication {
public:
    // Loads setup.inf and list.inf from the current directory and runs the
    // setup dialog once; tells the user when the description does not load.
    // Returns FALSE: the run ends with the dialog.
    BOOL InitInstance() override;

    CSetupInfo m_setupInfo;
};

extern CKivSetupApp theApp;
