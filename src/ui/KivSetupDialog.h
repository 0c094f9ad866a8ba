// CKivSetupDialog: the installer's one dialog, from licence and target directory to the finished view.
#pragma once
#include <cstddef>

#include "framework/Controls.h"
#include "framework/DynString.h"
#include "framework/ModalDialog.h"
#include "ui/CopyRun.h"

class CSetupInfo;

// The caption of every message box the installer shows.
constexpr char kSetupCaption[] = "Setup";
// Said when the directory typed or picked has a character that the system's
// code page cannot write: the installer would otherwise fill a lookalike.
constexpr char kUnwritableDirText[] =
    "The directory's name holds characters this Windows cannot use for it. Please choose another directory.";

// How the dialog's run ended: no installation, or one whose copies all
// succeeded, or not.
enum class InstallResult { NotInstalled, Complete, Unsuccessful };

// INSTALL starts the copies on a worker thread (CCopyRun), which reports to
// the dialog by posted messages: the dialog goes on answering while files are
// copied, and shows which file of how many is being copied. Once the worker
// has ended, the dialog's own thread opens the files marked for opening.
class CKivSetupDialog : public CModalDialog {
public:
    // setupInfo is the loaded package description: the dialog shows its texts
    // and installs it. It must outlive the dialog.
    explicit CKivSetupDialog(const CSetupInfo& setupInfo, HWND parent = nullptr);
    // Waits for an installation run still under way (only a dialog ended from
    // outside leaves one), since the run reports to this object.
    ~CKivSetupDialog() override = default;

    // How the run ended, once the modal run is over.
    InstallResult Result() const { return m_result; }

    // The dialog's data, tied to its controls by DoDataExchange.
    CStaticControl m_logo;      // picture 1017
    CControl m_btnInstall;      // button 1015, "INSTALL" and later "&Exit"
    CString m_strDir;           // text of the directory edit 1013
    CString m_strLicense;       // text of the licence edit 1000
    int m_bAgree;               // the "I &Agree" box 1002: 1 ticked, 0 clear
    bool m_bInstalled = false;  // the installation has run: set when its copies have ended, cleared by OnInitDialog
    HICON m_hIcon;              // icon group 128, for the dialog's title bar

protected:
    const CommandRoute* GetCommandMap() const override;
    const MessageRoute* GetMessageMap() const override;
    void DoDataExchange(CDataExchange* exchange) override;
    BOOL OnInitDialog() override;
    // While the installation runs, Enter (OK) and Escape, the close box and
    // Alt+F4 (cancel) are ignored, and a WM_QUIT waits for the run's end: the
    // process must not end mid-copy.
    void OnOK() override;
    void OnCancel() override;
    bool HoldsQuit() const override;

    void OnAgree();
    void OnDirChange();
    void OnBrowse();
    void OnInstall();
    // Posted by the worker: a copy has begun; the copies have ended, with the
    // number of C entries not copied in wParam.
    LRESULT OnInstallProgress(WPARAM, LPARAM);
    LRESULT OnInstallDone(WPARAM notCopied, LPARAM);
    // The end of the Windows session: refused while files are copied (with
    // the reason given to Windows when the run began); if it comes all the
    // same, the run stops at once, leaving each destination as it was or
    // complete.
    LRESULT OnQueryEndSession(WPARAM, LPARAM);
    LRESULT OnEndSession(WPARAM ending, LPARAM);
    // Hides the licence and directory controls and shows text on the line
    // 1021 in their place.
    void ShowStatus(const char* text);
    void ShowFinished();
    // Takes the directory edit's text into m_strDir as the user left it: read
    // in UTF-16 and put into the code page exactly. False, with m_strDir
    // unchanged and the user told, when a character has no place in the code
    // page (memory that runs out leaves the text empty: nothing is copied).
    bool TakeDirectoryExactly();

    // Puts the bytes of fileName into control id; a NUL byte ends the shown
    // text. A file that is missing, unreadable, not a regular file or too
    // large for memory leaves the control as it was. Returns 0.
    int LoadTextFile(const char* fileName, int id);

    // The two calls that wait for the user, replaceable in tests.
    // Fills path (MAX_PATH characters) with the folder the user picks, in
    // UTF-16, as the system holds it; false when the picker is cancelled or
    // the pick has no file-system path.
    virtual bool PickFolder(wchar_t* path);
    // A message box owned by the dialog; returns the button pressed.
    virtual int ShowMessage(const char* text, const char* caption, UINT type);

private:
    static const CommandRoute kCommandMap[];
    static const MessageRoute kMessageMap[];

    const CSetupInfo& m_setupInfo;
    // The installation run; the worker touches nothing else of the dialog.
    CCopyRun m_run;
    InstallResult m_result = InstallResult::NotInstalled;
};
