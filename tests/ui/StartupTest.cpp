// KivSetup.exe itself, started as a user starts it: its real message boxes and folder picker, owned by
// the dialog, the installation from start to Exit, and the load error without a package.
#include <windows.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <string>

#include <gtest/gtest.h>

#include "TempDir.h"
#include "resource.h"

namespace fs = std::filesystem;

namespace {

std::string WindowText(HWND window)
{
    char text[256] = "";
    GetWindowTextA(window, text, sizeof text);
    return text;
}

// Waits up to 20 s for a visible top-level window of the process (of any, for 0) that matches.
HWND WaitForWindow(DWORD processId, const std::function<bool(HWND)>& match)
{
    for (int waited = 0; waited < 20000; waited += 50, Sleep(50)) {
        for (HWND window = GetTopWindow(nullptr); window; window = GetWindow(window, GW_HWNDNEXT)) {
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            if ((!processId || owner == processId) && IsWindowVisible(window) && match(window))
                return window;
        }
    }
    return nullptr;
}

// Waits for a message box of the process, answers OK and gives "text|caption", "|icon" when it shows
// one and "|owned" when it has an owner. A message box: a dialog with a text, OK and perhaps an icon.
std::string AnswerMessageBox(DWORD processId)
{
    std::string seen;
    HWND box = WaitForWindow(processId, [&seen](HWND window) {
        seen = "|" + WindowText(window);
        int parts = 0;
        for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
            char name[16] = "";
            GetClassNameA(child, name, sizeof name);
            const bool isStatic = _stricmp(name, "Static") == 0, icon = (GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON;
            seen = isStatic && !icon ? WindowText(child) + seen : seen + (icon && SendMessageA(child, STM_GETICON, 0, 0) ? "|icon" : "");
            parts += isStatic ? 0 : GetDlgCtrlID(child) == IDOK && _stricmp(name, "Button") == 0 ? 1 : 100;
        }
        seen += GetWindow(window, GW_OWNER) ? "|owned" : "";
        return parts == 1;
    });
    EXPECT_NE(nullptr, box) << "no message box";
    SendMessageA(box, WM_COMMAND, IDOK, 0);
    return seen;
}

// KivSetup.exe started in startDir; ended at the latest with the test.
struct CInstallerProcess {
    explicit CInstallerProcess(const CTempDir& startDir)
    {
        std::string exe = KIV_SETUP_EXE;  // a path of the build machine: drive Z: under Wine
        std::replace(exe.begin(), exe.end(), '/', '\\');
        exe = exe[0] == '\\' ? "Z:" + exe : exe;
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        EXPECT_TRUE(CreateProcessA(exe.c_str(), exe.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                   startDir.Native().string().c_str(), &startup, &process));
    }
    ~CInstallerProcess()
    {
        if (!Ended(0))
            TerminateProcess(process.hProcess, 1);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    bool Ended(DWORD timeoutMs = 20000) const { return WaitForSingleObject(process.hProcess, timeoutMs) == WAIT_OBJECT_0; }

    PROCESS_INFORMATION process = {};
};

}  // namespace

TEST(Startup, InstallsTheExamplePackageFromStartToExitAndWithoutAPackageShowsTheLoadErrorAndEnds)
{
    CTempDir package, target, empty;
    fs::copy(fs::path("Z:" KIV_EXAMPLES_DIR) / "arena-pack", package.Native(), fs::copy_options::recursive);
    CInstallerProcess installer(package);
    const DWORD id = installer.process.dwProcessId;
    HWND dialog = WaitForWindow(id, [](HWND w) { return WindowText(w) == "Arena Map Pack"; });
    ASSERT_NE(nullptr, dialog);
    // INSTALL before agreeing: the reminder. Browse: the shell's folder picker, cancelled.
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_INSTALL, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDC_INSTALL)));
    EXPECT_EQ("You must agree to the terms of the End-User License Agreement|Setup|icon|owned", AnswerMessageBox(id));
    SendMessageA(GetDlgItem(dialog, IDC_AGREE), BM_CLICK, 0, 0);
    PostMessageA(GetDlgItem(dialog, IDC_BROWSE), BM_CLICK, 0, 0);
    HWND picker = WaitForWindow(id, [&](HWND w) {
        return GetWindow(w, GW_OWNER) == dialog && FindWindowExA(w, nullptr, "Static", "Browse for Quake 3 Directory");
    });
    ASSERT_NE(nullptr, picker) << "no folder picker owned by the dialog";
    SendMessageA(picker, WM_COMMAND, IDCANCEL, 0);
    // INSTALL: the result, with the dialog in its finished view; then Exit ends the run.
    SetDlgItemTextA(dialog, IDC_DIR, (target.Path() + "\\").c_str());
    PostMessageA(GetDlgItem(dialog, IDC_INSTALL), BM_CLICK, 0, 0);
    EXPECT_EQ("Installation Complete|Setup|owned", AnswerMessageBox(id));
    EXPECT_EQ("&Exit", WindowText(GetDlgItem(dialog, IDC_INSTALL)));
    PostMessageA(GetDlgItem(dialog, IDC_INSTALL), BM_CLICK, 0, 0);
    EXPECT_TRUE(installer.Ended());
    EXPECT_EQ(package.Read("data\\arena1.map") + package.Read("data\\arena2.map"),
              target.Read("maps\\arena1.map") + target.Read("maps\\arena2.map"));
    // The E entry: the shell opened readme.txt with the text editor.
    HWND readme = WaitForWindow(0, [](HWND w) { return WindowText(w).rfind("readme.txt", 0) == 0; });
    ASSERT_NE(nullptr, readme) << "readme.txt was not opened";
    PostMessageA(readme, WM_CLOSE, 0, 0);

    CInstallerProcess withoutPackage(empty);
    EXPECT_EQ("Could not load setup info|Setup|icon", AnswerMessageBox(withoutPackage.process.dwProcessId));
    EXPECT_TRUE(withoutPackage.Ended()) << "still running after the error box";
}
