// CKivSetupDialog: the installer's one dialog, from licence and target directory to the finished view.
#pragma once
#include <atomic>
#include <cstddef>

#include "Controls.h"
#include "DynString.h"
#include "InstallSteps.h"
#include "ModalDialog.h"

class CSetupInfo;

// The caption of every message box the installer shows.
constexpr char kSetupCaption[] = "Setup";

// INSTALL starts the installation run on a worker thread, which reports to
// the dialog by posted messages: the dialog goes on answering while files are
// copied, and shows which file of how many is being copied.
class CKivSetupDialog : public CModalDialog, private IInstallObserver {
public:
    // setupInfo is the loaded package description: the dialog shows its texts
    // and installs it. It must outlive the dialog.
    explicit CKivSetupDialog(const CSetupInfo& setupInfo, HWND parent = nullptr);
    // Waits for an installation run still under way (only a dialog ended from
    // outside leaves one), since the run reads the dialog's data.
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
    const MessageRoute* GetMessageMap() const override;
    void DoDataExchange(CDataExchange* exchange) override;
    BOOL OnInitDialog() override;
    // While the installation runs, Enter (OK) and Escape, the close box and
    // Alt+F4 (cancel) are ignored: the process must not end mid-copy.
    void OnOK() override;
    void OnCancel() override;

    void OnAgree();
    void OnDirChange();
    void OnBrowse();
    void OnInstall();
    // Posted by the worker: a copy has begun; the run has ended, with the
    // number of C entries not copied in wParam.
    void OnInstallProgress(WPARAM, LPARAM);
    void OnInstallDone(WPARAM notCopied, LPARAM);
    // Hides the licence and directory controls and shows text on the line
    // 1021 in their place.
    void ShowStatus(const char* text);
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
    static const MessageRoute kMessageMap[];

    // The worker thread: the installation run over the package's file list
    // into m_strDir, which nothing changes while it runs (the controls that
    // could are disabled first). Posts OnInstallDone's message last.
    static DWORD WINAPI InstallThread(LPVOID dialog) noexcept;
    // On the worker thread: keeps the copy under way for the dialog to show.
    bool BeforeStep(const InstallStep& step) override;
    void AfterStep(const InstallStep& step) override;

    const CSetupInfo& m_setupInfo;

    // The installation run: its thread while it lasts, the window it reports
    // to, and the number of C entries in the list.
    HANDLE m_hInstallThread = nullptr;
    HWND m_hReportTo = nullptr;
    unsigned m_nCopies = 0;
    // Written by the worker, read by the dialog: the number (from 1) and the
    // entry of the copy under way, and whether a progress message is on its
    // way, so that at most one is ever queued.
    std::atomic<unsigned> m_nCopying{0};
    std::atomic<const FileEntry*> m_pCopying{nullptr};
    std::atomic<bool> m_bProgressQueued{false};
};
