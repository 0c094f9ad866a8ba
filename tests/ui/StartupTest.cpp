// KivSetup.exe itself, started as a user starts it, in a directory of its own: its real message boxes,
// the shell's folder picker and the shell's opening of the readme.
#include <windows.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "DialogDriver.h"
#include "TempDir.h"
#include "resource.h"

namespace fs = std::filesystem;

namespace {

// A path of the build machine as Wine shows it: drive Z: is its root.
fs::path FromBuildMachine(std::string path)
{
    std::replace(path.begin(), path.end(), '/', '\\');
    return fs::path(path[0] == '\\' ? "Z:" + path : path);
}

// The visible top-level windows of one process, or (processId 0) of all.
std::vector<HWND> VisibleWindows(DWORD processId)
{
    std::vector<HWND> all, found;
    EnumWindows([](HWND w, LPARAM list) { return reinterpret_cast<std::vector<HWND>*>(list)->push_back(w), TRUE; },
                reinterpret_cast<LPARAM>(&all));
    for (HWND window : all) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (IsWindowVisible(window) && (!processId || owner == processId))
            found.push_back(window);
    }
    return found;
}

// Waits up to 20 s for a visible window that matches; null when none came.
HWND WaitForWindow(DWORD processId, const std::function<bool(HWND)>& match)
{
    for (int waited = 0; waited < 20000; waited += 50, Sleep(50)) {
        for (HWND window : VisibleWindows(processId)) {
            if (match(window))
                return window;
        }
    }
    return nullptr;
}

void WaitUntilClosed(HWND window)
{
    for (int waited = 0; IsWindow(window) && waited < 10000; waited += 50)
        Sleep(50);
}

// Waits for a message box of the process, reads it, runs whileUp and answers OK.
SeenMessageBox AnswerMessageBox(DWORD processId, const std::function<void()>& whileUp = [] {})
{
    SeenMessageBox seen;
    HWND box = WaitForWindow(processId, [&](HWND w) { return ReadMessageBox(w, &seen); });
    EXPECT_NE(nullptr, box) << "no message box";
    whileUp();
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    WaitUntilClosed(box);
    return seen;
}

// KivSetup.exe copied into exeDir and started in startDir; ended at the latest with the test.
struct CInstallerProcess {
    CInstallerProcess(const CTempDir& exeDir, const CTempDir& startDir)
    {
        const fs::path exe = exeDir.Native("KivSetup.exe");
        fs::copy_file(FromBuildMachine(KIV_SETUP_EXE), exe, fs::copy_options::overwrite_existing);
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        std::string command = "\"" + exe.string() + "\"";
        started = CreateProcessA(exe.string().c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                 startDir.Native().string().c_str(), &startup, &process) != FALSE;
    }
    ~CInstallerProcess()
    {
        if (started && !Ended(0))
            TerminateProcess(process.hProcess, 1);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    bool Ended(DWORD timeoutMs = 20000) const { return WaitForSingleObject(process.hProcess, timeoutMs) == WAIT_OBJECT_0; }

    PROCESS_INFORMATION process = {};
    bool started = false;
};

const fs::path kArenaPack = FromBuildMachine(KIV_EXAMPLES_DIR) / "arena-pack";

}  // namespace

TEST(Startup, WithoutItsDescriptionInTheCurrentDirectoryShowsTheLoadErrorAndEnds)
{
    // The package lies beside the executable, not in the directory it is started
    // from; then setup.inf is there but list.inf is not.
    CTempDir exeDir, empty, halfPackage;
    fs::copy(kArenaPack, exeDir.Native(), fs::copy_options::recursive);
    halfPackage.Write("setup.inf", exeDir.Read("setup.inf"));
    for (const CTempDir* startDir : {&empty, &halfPackage}) {
        CInstallerProcess installer(exeDir, *startDir);
        ASSERT_TRUE(installer.started);
        const DWORD id = installer.process.dwProcessId;
        const SeenMessageBox seen = AnswerMessageBox(id, [id] { EXPECT_EQ(1u, VisibleWindows(id).size()) << "a window besides the error box"; });
        EXPECT_EQ("Could not load setup info", seen.text);
        EXPECT_EQ("Setup", seen.caption);
        EXPECT_TRUE(seen.hasIcon);
        EXPECT_EQ(nullptr, seen.owner);
        EXPECT_TRUE(installer.Ended()) << "still running after the error box";
    }
}

TEST(Startup, InstallsTheExamplePackageFromStartToExit)
{
    CTempDir package, target;
    fs::copy(kArenaPack, package.Native(), fs::copy_options::recursive);
    CInstallerProcess installer(package, package);
    ASSERT_TRUE(installer.started);
    const DWORD id = installer.process.dwProcessId;
    HWND dialog = WaitForWindow(id, [](HWND w) { return WindowText(w) == "Arena Map Pack"; });
    ASSERT_NE(nullptr, dialog);

    // INSTALL before agreeing: the reminder, owned by the dialog.
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_INSTALL, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDC_INSTALL)));
    const SeenMessageBox reminder = AnswerMessageBox(id);
    EXPECT_EQ("You must agree to the terms of the End-User License Agreement", reminder.text);
    EXPECT_TRUE(reminder.hasIcon);
    EXPECT_EQ(dialog, reminder.owner);
    // Browse: the shell's folder picker, owned by the dialog; cancelled, it changes nothing.
    Click(dialog, IDC_AGREE);
    PostMessageA(GetDlgItem(dialog, IDC_BROWSE), BM_CLICK, 0, 0);
    HWND picker = WaitForWindow(id, [&](HWND w) {
        return GetWindow(w, GW_OWNER) == dialog && FindWindowExA(w, nullptr, "Static", "Browse for Quake 3 Directory");
    });
    ASSERT_NE(nullptr, picker) << "no folder picker";
    PostMessageA(picker, WM_COMMAND, IDCANCEL, 0);
    WaitUntilClosed(picker);
    char dir[MAX_PATH] = "";  // an edit's text, asked for across processes
    SendDlgItemMessageA(dialog, IDC_DIR, WM_GETTEXT, sizeof dir, reinterpret_cast<LPARAM>(dir));
    EXPECT_STREQ("C:\\Games\\Arena", dir);

    SetDlgItemTextA(dialog, IDC_DIR, (target.Path() + "\\").c_str());
    PostMessageA(GetDlgItem(dialog, IDC_INSTALL), BM_CLICK, 0, 0);  // its handler waits in the result box
    const SeenMessageBox result = AnswerMessageBox(id, [dialog] { EXPECT_EQ("&Exit", ItemText(dialog, IDC_INSTALL)); });
    EXPECT_EQ("Installation Complete", result.text);
    EXPECT_EQ(dialog, result.owner);
    PostMessageA(GetDlgItem(dialog, IDC_INSTALL), BM_CLICK, 0, 0);
    EXPECT_TRUE(installer.Ended());
    EXPECT_EQ(package.Read("data\\arena1.map"), target.Read("maps\\arena1.map"));
    EXPECT_EQ(package.Read("data\\arena2.map"), target.Read("maps\\arena2.map"));
    // The E entry: the shell opened readme.txt with the text editor.
    HWND readme = WaitForWindow(0, [](HWND w) { return WindowText(w).rfind("readme.txt", 0) == 0; });
    EXPECT_NE(nullptr, readme) << "readme.txt was not opened";
    if (readme)
        PostMessageA(readme, WM_CLOSE, 0, 0);
}
