#include "ui/KivSetupDialog.h"

#include <cstdlib>
#include <cstring>

#include <objbase.h>
#include <shlobj.h>

#include "bitmap/Bitmap.h"
#include "framework/DataExchange.h"
#include "platform/Platform.h"
#include "platform/win32/LaterWindows.h"
#include "setupinfo/Limits.h"
#include "framework/Resources.h"
#include "setupinfo/SetupInfo.h"
#include "text/Text.h"
#include "codepages/CodePages.h"
#include "res/resource.h"
#include "platform/Interrupt.h"
#include "setupinfo/ShownText.h"

namespace {

// A bitmap file, loaded at its own size as a DIB section (0x2050).
constexpr UINT kLogoLoadFlags = LR_LOADFROMFILE | LR_DEFAULTSIZE | LR_CREATEDIBSECTION;

// What the installation's worker thread posts to the dialog.
constexpr UINT kInstallProgressMessage = WM_APP + 1;
constexpr UINT kInstallDoneMessage = WM_APP + 2;

}  // namespace

CKivSetupDialog::CKivSetupDialog(const CSetupInfo& setupInfo, HWND parent)
    : CModalDialog(IDD_KIVSETUP_DIALOG, parent), m_setupInfo(setupInfo)
{
    m_strDir = "";
    m_strLicense = "";
    m_bAgree = 0;
    LPCSTR icon = MAKEINTRESOURCEA(IDR_MAINFRAME);
    m_hIcon = LoadIconA(FindResourceModule(icon, RT_GROUP_ICON), icon);
}

// Searched in this order; the first row that matches handles the notification.
const CommandRoute CKivSetupDialog::kCommandMap[] = {
    {IDC_BROWSE, BN_CLICKED, Handler<&CKivSetupDialog::OnBrowse>},
    {IDC_INSTALL, BN_CLICKED, Handler<&CKivSetupDialog::OnInstall>},
    {IDC_DIR, EN_KILLFOCUS, Handler<&CKivSetupDialog::OnDirChange>},
    {IDC_DIR, EN_CHANGE, Handler<&CKivSetupDialog::OnDirChange>},
    {IDC_AGREE, BN_CLICKED, Handler<&CKivSetupDialog::OnAgree>},
    {0, 0, nullptr},
};

const CommandRoute* CKivSetupDialog::GetCommandMap() const { return kCommandMap; }

const MessageRoute CKivSetupDialog::kMessageMap[] = {
    {kInstallProgressMessage, Handler<&CKivSetupDialog::OnInstallProgress>},
    {kInstallDoneMessage, Handler<&CKivSetupDialog::OnInstallDone>},
    {WM_QUERYENDSESSION, Handler<&CKivSetupDialog::OnQueryEndSession>},
    {WM_ENDSESSION, Handler<&CKivSetupDialog::OnEndSession>},
    {0, nullptr},
};

const MessageRoute* CKivSetupDialog::GetMessageMap() const { return kMessageMap; }

void CKivSetupDialog::DoDataExchange(CDataExchange* exchange)
{
    DDX_Control(exchange, IDC_LOGO, m_logo);
    DDX_Control(exchange, IDC_INSTALL, m_btnInstall);
    DDX_Text(exchange, IDC_DIR, m_strDir);
    DDX_Text(exchange, IDC_LICENSE, m_strLicense);
    DDX_Check(exchange, IDC_AGREE, m_bAgree);
}

BOOL CKivSetupDialog::OnInitDialog()
{
    UpdateData(FALSE);
    LoadTextFile(kLicenseFileName, IDC_LICENSE);
    // Taken into m_strLicense, so that later transfers write it back.
    UpdateData(TRUE);

    // The loader trusts the offsets and sizes a bitmap file declares; a file
    // whose headers do not fit it is never handed over, and the built-in
    // logo stays, as for a file the loader refuses.
    HANDLE logo = CheckBitmapFile(kLogoFileName).problem == BitmapProblem::None
                      ? LoadImageA(nullptr, kLogoFileName, IMAGE_BITMAP, 0, 0, kLogoLoadFlags)
                      : nullptr;
    if (logo)
        m_logo.SetBitmap(static_cast<HBITMAP>(logo));

    EnableItem(IDC_DIR, FALSE);
    EnableItem(IDC_BROWSE, FALSE);
    m_btnInstall.EnableWindow(FALSE);
    m_bInstalled = false;

    SendMessageA(GetHwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
    SendMessageA(GetHwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hIcon));
    FocusItem(IDC_AGREE);

    SetCaption(m_setupInfo.m_szTitle);
    SetItemText(IDC_COPYRIGHT, m_setupInfo.m_szCopyright);
    SetItemText(IDC_DIR_GROUP, m_setupInfo.m_szInstallText);
    m_strDir = m_setupInfo.m_szDefaultDir;
    // The edit's EN_CHANGE from this transfer reaches no handler, so INSTALL
    // stays disabled until the box is ticked.
    UpdateData(FALSE);
    return TRUE;
}

void CKivSetupDialog::OnOK()
{
    if (!m_run.IsRunning())
        CModalDialog::OnOK();
}

void CKivSetupDialog::OnCancel()
{
    if (!m_run.IsRunning())
        CModalDialog::OnCancel();
}

bool CKivSetupDialog::HoldsQuit() const { return m_run.IsRunning(); }

int CKivSetupDialog::LoadTextFile(const char* fileName, int id)
{
    // Binary: the bytes reach the control exactly as they are in the file. A
    // directory, pipe or device is not read, nor a file that is not read whole.
    size_t shown, size;
    if (char* text = ReadShownText(fileName, shown, size)) {
        SetItemText(id, text);
        free(text);
    }
    return 0;
}

void CKivSetupDialog::OnAgree()
{
    UpdateData(TRUE);
    if (m_bAgree == 1) {
        EnableItem(IDC_DIR, TRUE);
        EnableItem(IDC_BROWSE, TRUE);
        m_btnInstall.EnableWindow(!m_strDir.IsEmpty());
    } else {
        EnableItem(IDC_DIR, FALSE);
        EnableItem(IDC_BROWSE, FALSE);
        m_btnInstall.EnableWindow(FALSE);
    }
}

void CKivSetupDialog::OnDirChange()
{
    UpdateData(TRUE);
    // Only an empty text counts as no directory; blanks are left to Install.
    m_btnInstall.EnableWindow(!m_strDir.IsEmpty());
}

void CKivSetupDialog::OnBrowse()
{
    // The pick in UTF-16, then in the code page exactly: a folder whose name
    // it cannot write is refused, never taken for a lookalike; one longer
    // than the path limit in the code page has, as to the picker, no path.
    wchar_t picked[MAX_PATH] = L"";
    char path[2 * MAX_PATH];
    if (!PickFolder(picked))
        return;
    if (!CodePages::WideToAnsi(picked, path, sizeof path)) {
        ShowMessage(kUnwritableDirText, kSetupCaption, MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    if (strlen(path) >= kPathSize)
        return;
    // One trailing backslash, when there is room for it: a drive root has
    // one already, and a path of 259 characters fills the buffer.
    if (!CodePages::EndsWithBackslash(path) && strlen(path) <= kPathSize - 2)
        AppendText(path, kPathSize, "\\");
    m_strDir = path;
    m_btnInstall.EnableWindow(TRUE);
    UpdateData(FALSE);
}

void CKivSetupDialog::OnInstall()
{
    if (m_bInstalled) {
        OnOK();
        return;
    }
    if (m_run.IsRunning())
        return;
    UpdateData(TRUE);
    if (m_bAgree == 0) {
        ShowMessage("You must agree to the terms of the End-User License Agreement", kSetupCaption,
                    MB_OK | MB_ICONEXCLAMATION);
        FocusItem(IDC_AGREE);
        return;
    }
    // The dialog stays as it was, so that the user can choose another.
    if (!TakeDirectoryExactly()) {
        FocusItem(IDC_DIR);
        return;
    }
    // An empty text would install into the root of the current drive.
    if (m_strDir.IsEmpty()) {
        m_btnInstall.EnableWindow(FALSE);
        return;
    }
    // Everything that could change m_strDir or start a second run is disabled
    // before the worker reads it. The focus leaves the directory edit first,
    // while the notification that sends can still do no harm.
    FocusItem(IDC_INSTALL);
    static const int kDisabled[] = {IDC_AGREE, IDC_DIR, IDC_BROWSE};
    for (int id : kDisabled)
        EnableItem(id, FALSE);
    m_btnInstall.EnableWindow(FALSE);
    // The line shows a path: no '&' taken for a mnemonic, and a long path cut
    // in its middle rather than at its end.
    AddItemStyle(IDC_COMPLETE, SS_NOPREFIX | SS_PATHELLIPSIS);
    ShowStatus("");

    // What Windows shows when the session is to end during the run. The run
    // owns the text it installs into; without memory for it nothing is
    // copied, which the result reports.
    Platform::ShowShutdownReason(GetHwnd(), L"Installing files");
    if (!m_run.Start(m_setupInfo.m_files, m_strDir, GetHwnd(), kInstallProgressMessage, kInstallDoneMessage))
        OnInstallDone(1, 0);
}

LRESULT CKivSetupDialog::OnInstallProgress(WPARAM, LPARAM)
{
    const CCopyRun::Copying copying = m_run.TakeProgress();
    char text[kPathSize + 64];
    wsprintfA(text, "Copying %u of %u: %s", static_cast<unsigned>(copying.number), static_cast<unsigned>(m_run.Count()),
              copying.number ? m_setupInfo.m_files[copying.index].szSource : "");
    SetItemText(IDC_COMPLETE, text);
    return 0;
}

LRESULT CKivSetupDialog::OnInstallDone(WPARAM notCopied, LPARAM)
{
    // The worker's last act was to post this message.
    m_run.Join();
    Platform::HideShutdownReason(GetHwnd());
    // The opens, on this thread, which lives on and keeps COM for the shell;
    // only when the copies have handled every entry.
    m_run.RunOpens();
    m_result = notCopied == 0 ? InstallResult::Complete : InstallResult::Unsuccessful;
    ShowFinished();
    m_bInstalled = true;
    m_btnInstall.EnableWindow(TRUE);
    FocusItem(IDC_INSTALL);
    // A quit held during the run ends the dialog now; no box may wait for it.
    if (!QuitPending())
        ShowMessage(notCopied == 0 ? "Installation Complete" : "Setup was unsuccessful", kSetupCaption, MB_OK);
    return 0;
}

LRESULT CKivSetupDialog::OnQueryEndSession(WPARAM, LPARAM) { return m_run.IsRunning() ? FALSE : TRUE; }

LRESULT CKivSetupDialog::OnEndSession(WPARAM ending, LPARAM)
{
    if (ending && m_run.IsRunning()) {
        // The copy under way stops and removes its temporary; no step follows.
        Platform::Interrupt();
        m_run.Join();
    }
    return 0;
}

void CKivSetupDialog::ShowStatus(const char* text)
{
    static const int kHidden[] = {IDC_LICENSE_GROUP, IDC_LICENSE, IDC_QUESTION, IDC_AGREE,
                                  IDC_DIR_GROUP,     IDC_DIR,     IDC_BROWSE};
    for (int id : kHidden)
        ShowItem(id, SW_HIDE);
    SetItemText(IDC_COMPLETE, text);
    ShowItem(IDC_COMPLETE, SW_SHOWNORMAL);
}

void CKivSetupDialog::ShowFinished()
{
    ShowStatus("Installation Complete!");
    m_btnInstall.SetText("&Exit");
}

bool CKivSetupDialog::TakeDirectoryExactly()
{
    // The transfer read the text through the code page, where the system
    // puts a lookalike for a character it lacks: it is read again whole.
    HWND edit = GetItem(IDC_DIR);
    const size_t length = static_cast<size_t>(GetWindowTextLengthW(edit));
    // A character takes at most two bytes in the code page.
    wchar_t* wide = static_cast<wchar_t*>(malloc((length + 1) * sizeof(wchar_t)));
    char* text = static_cast<char*>(malloc(2 * length + 1));
    bool taken = true;
    if (!wide || !text) {
        m_strDir = "";
    } else {
        wide[GetWindowTextW(edit, wide, static_cast<int>(length + 1))] = L'\0';
        taken = CodePages::WideToAnsi(wide, text, 2 * length + 1);
        if (taken)
            m_strDir = text;
    }
    free(wide);
    free(text);
    if (!taken)
        ShowMessage(kUnwritableDirText, kSetupCaption, MB_OK | MB_ICONEXCLAMATION);
    return taken;
}

bool CKivSetupDialog::PickFolder(wchar_t* path)
{
    BROWSEINFOW browse = {};
    browse.hwndOwner = GetHwnd();
    browse.pidlRoot = nullptr;
    browse.pszDisplayName = path;
    browse.lpszTitle = L"Browse for Quake 3 Directory";
    browse.ulFlags = 0;
    browse.lpfn = nullptr;
    browse.lParam = 0;
    browse.iImage = 0;
    PIDLIST_ABSOLUTE picked = SHBrowseForFolderW(&browse);
    if (!picked)
        return false;
    bool hasPath = SHGetPathFromIDListW(picked, path) != FALSE;
    CoTaskMemFree(picked);
    return hasPath;
}

int CKivSetupDialog::ShowMessage(const char* text, const char* caption, UINT type)
{
    return ShowMessageBox(text, caption, type);
}
