// CApplication: the base of the one global application object, and the entry that runs it.
#pragma once
#include <windows.h>

// The program defines exactly one global object of a class derived from
// CApplication. Its constructor registers it; RunApplication, called from
// WinMain, calls its InitInstance once. The run ends when InitInstance returns.
class CApplication {
public:
    CApplication();
    virtual ~CApplication();
    CApplication(const CApplication&) = delete;
    CApplication& operator=(const CApplication&) = delete;

    // The whole run of the program. Returning FALSE ends it: the framework has
    // no message loop of its own, so nothing follows whatever the result.
    virtual BOOL InitInstance();

    // The registered application object, or null when there is none.
    static CApplication* Get();

    // The process's exit status, as InitInstance left it: 0 unless it says
    // otherwise.
    int ExitCode() const { return m_nExitCode; }

protected:
    void SetExitCode(int code) { m_nExitCode = code; }

    // Registers the window classes of the common controls (comctl32) once, so
    // that dialogs can host them. The visual-styles look comes from the
    // executable's manifest; COM is set up for the shell's folder picker.
    static void EnableControlSupport();

private:
    int m_nExitCode = 0;
};

// Calls InitInstance of the registered application object once; returns the
// process exit code it set.
int RunApplication();
