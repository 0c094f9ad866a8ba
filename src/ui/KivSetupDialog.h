// CKivSetupDialog: the installer's one dialog, from licence and target directory to the finished view.
#pragma once
#include <cstddef>

#include "Controls.h"
#include "DynString.h"
#include "ModalDialog.h"

class CSetupInfo;

// The caption of every message box the installer shows.
constexpr char kSetupCaption[] = "Setup";

class CKivSetupDialog : public CModalDialog {
public:
    // setupInfo is the loaded package description: the dialog shows its texts
    // and installs it. It must outlive the dialog.
    explicit CKivSetupDialog(const CSetupInfo& setupInfo, HWND parent = nullptr);
    ~CKivSetupDialog() override;

    // The dialog's data, tied to its controls by DoDataExchange.
    CStaticControl m_logo;     // picture 1017
    CPushButton m_btnInstall;  // button 1015, "INSTALL" and later "&Exit"
    CString m_strDir;          // text of the directory edit 1013
    CString m_strLicense;      // text of the licence edit 1000
    int m_bAgree;              // the "I &Agree" box 1002: 1 ticked, 0 clear
    bool m_bInstalled = false; // the installation has run: set by OnInstall, cleared by OnInitDialog
    HICON m_hIcon;             // icon group 128, for the dialog's title bar

protected:
    const CommandRoute* GetCommandMap() const override;
    void DoDataExchange(CDataExchange* exchange) override;
    BOOL OnInitDialog() override;

    void OnAgree();
    void OnDirChange();
    void OnBrowse();
    void OnInstall();
    void ShowFinished();

    // Puts the bytes of fileName into control id; a NUL byte ends the shown
    // text. A file that is missing, unreadable, not a regular file or too
    // large for memory leaves the control as it was. Returns 0.
    int LoadTextFile(const char* fileName, int id);

    // The two calls that wait for the user, replaceable in tests.
    // Fills path (kPathSize bytes) with the folder the user picks; false when
    // the picker is cancelled or the pick has no file-system path.
    virtual bool PickFolder(char* path);
    // A message box owned by the dialog; returns the button pressed.
    virtual int ShowMessage(const char* text, const char* caption, UINT type);

private:
    static const CommandRoute kCommandMap[];

    const CSetupInfo& m_setupInfo;
};
