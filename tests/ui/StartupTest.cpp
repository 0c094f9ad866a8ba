// KivSetup.exe itself, started as a user starts it, in a directory of its own.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "DialogDriver.h"
#include "TempDir.h"
#include "resource.h"

namespace fs = std::filesystem;

namespace {

// A path of the build machine as Wine shows it: drive Z: is its root.
fs::path FromBuildMachine(std::string path)
{
    if (!path.empty() && path[0] == '/')
        path = "Z:" + path;
    std::replace(path.begin(), path.end(), '/', '\\');
    return fs::path(path);
}

const fs::path kSetupExe = FromBuildMachine(KIV_SETUP_EXE);
const fs::path kArenaPack = FromBuildMachine(KIV_EXAMPLES_DIR) / "arena-pack";

// The visible top-level windows, of one process or (processId 0) of all.
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

// Waits for a message box of the process, reads it and dismisses it; windows
// counts the process's visible windows while the box is up.
SeenMessageBox AnswerMessageBox(DWORD processId, size_t* windows = nullptr)
{
    SeenMessageBox seen;
    HWND box = WaitForWindow(processId, [&](HWND w) { return ReadMessageBox(w, &seen); });
    EXPECT_NE(nullptr, box) << "no message box";
    if (windows)
        *windows = VisibleWindows(processId).size();
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    for (int waited = 0; IsWindow(box) && waited < 10000; waited += 50)
        Sleep(50);
    return seen;
}

// KivSetup.exe copied into exeDir and started in startDir; ended at the latest with the test.
struct CInstallerProcess {
    CInstallerProcess(const CTempDir& exeDir, const CTempDir& startDir)
    {
        fs::path exe = exeDir.Native("KivSetup.exe");
        fs::copy_file(kSetupExe, exe, fs::copy_options::overwrite_existing);
        STARTUPINFOA startup = {};
        startup.cb = sizeof(startup);
        std::string command = "\"" + exe.string() + "\"";
        started = CreateProcessA(exe.string().c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                 startDir.Native().string().c_str(), &startup, &process) != FALSE;
    }
    ~CInstallerProcess()
    {
        if (!started)
            return;
        if (!WaitForEnd(0))
            TerminateProcess(process.hProcess, 1);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    bool WaitForEnd(DWORD timeoutMs = 20000) const { return WaitForSingleObject(process.hProcess, timeoutMs) == WAIT_OBJECT_0; }

    PROCESS_INFORMATION process = {};
    bool started = false;
};

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
        size_t windows = 0;
        SeenMessageBox seen = AnswerMessageBox(installer.process.dwProcessId, &windows);
        EXPECT_EQ("Could not load setup info", seen.text);
        EXPECT_EQ("Setup", seen.caption);
        EXPECT_TRUE(seen.hasIcon);
        EXPECT_EQ(nullptr, seen.owner);
        EXPECT_EQ(1u, windows) << "a window besides the error box";
        EXPECT_TRUE(installer.WaitForEnd()) << "still running after the error box";
    }
}

TEST(Startup, InstallsTheExamplePackageFromStartToExit)
{
    CTempDir package, target;
    fs::copy(kArenaPack, package.Native(), fs::copy_options::recursive);
    CInstallerProcess installer(package, package);
    ASSERT_TRUE(installer.started);
    HWND dialog = WaitForWindow(installer.process.dwProcessId, [](HWND w) { return WindowText(w) == "Arena Map Pack"; });
    ASSERT_NE(nullptr, dialog);

    Click(dialog, IDC_AGREE);
    SetDlgItemTextA(dialog, IDC_DIR, (target.Path() + "\\").c_str());
    ASSERT_TRUE(ItemEnabled(dialog, IDC_INSTALL));
    PostMessageA(GetDlgItem(dialog, IDC_INSTALL), BM_CLICK, 0, 0);  // its handler waits in the result box
    EXPECT_EQ("Installation Complete", AnswerMessageBox(installer.process.dwProcessId).text);
    EXPECT_EQ("&Exit", ItemText(dialog, IDC_INSTALL));
    PostMessageA(GetDlgItem(dialog, IDC_INSTALL), BM_CLICK, 0, 0);
    EXPECT_TRUE(installer.WaitForEnd());

    EXPECT_EQ(package.Read("data\\arena1.map"), target.Read("maps\\arena1.map"));
    EXPECT_EQ(package.Read("data\\arena2.map"), target.Read("maps\\arena2.map"));
    // The E entry: the shell opened readme.txt with the text editor.
    HWND readme = WaitForWindow(0, [](HWND w) { return WindowText(w).rfind("readme.txt", 0) == 0; });
    EXPECT_NE(nullptr, readme) << "readme.txt was not opened";
    if (readme)
        PostMessageA(readme, WM_CLOSE, 0, 0);
}

}  // namespace
