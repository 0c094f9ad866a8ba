// KivSetup.exe itself, started as a user starts it, in a directory of its own.
#include <gtest/gtest.h>

#include <windows.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "DialogDriver.h"
#include "TempDir.h"
#include "resource.h"

namespace fs = std::filesystem;

namespace {

// A path of the build machine, as Wine shows it: drive Z: is its root.
fs::path FromBuildMachine(std::string path)
{
    if (!path.empty() && path[0] == '/')
        path = "Z:" + path;
    for (char& c : path) {
        if (c == '/')
            c = '\\';
    }
    return fs::path(path);
}

const fs::path kSetupExe = FromBuildMachine(KIV_SETUP_EXE);
const fs::path kExamplesDir = FromBuildMachine(KIV_EXAMPLES_DIR);

// KivSetup.exe started with a given current directory; ended at the latest
// when the test is over.
class CInstallerProcess {
public:
    CInstallerProcess(const fs::path& exe, const fs::path& currentDir)
    {
        STARTUPINFOA startup = {};
        startup.cb = sizeof(startup);
        std::string command = "\"" + exe.string() + "\"";
        m_started = CreateProcessA(exe.string().c_str(), command.data(), nullptr, nullptr, FALSE, 0,
                                   nullptr, currentDir.string().c_str(), &startup, &m_process) != FALSE;
    }
    ~CInstallerProcess()
    {
        if (!m_started)
            return;
        if (WaitForSingleObject(m_process.hProcess, 0) == WAIT_TIMEOUT)
            TerminateProcess(m_process.hProcess, 1);
        CloseHandle(m_process.hThread);
        CloseHandle(m_process.hProcess);
    }

    bool Started() const { return m_started; }

    // Waits until a visible top-level window of the process satisfies match.
    HWND WaitForWindow(const std::function<bool(HWND)>& match, int timeoutMs = 20000) const
    {
        for (int waited = 0; waited < timeoutMs; waited += 50) {
            for (HWND window : Windows()) {
                if (match(window))
                    return window;
            }
            if (Ended())
                return nullptr;
            Sleep(50);
        }
        return nullptr;
    }

    std::vector<HWND> Windows() const
    {
        struct Search {
            DWORD processId;
            std::vector<HWND> found;
        } search{m_process.dwProcessId, {}};
        EnumWindows(
            [](HWND window, LPARAM data) -> BOOL {
                auto* s = reinterpret_cast<Search*>(data);
                DWORD owner = 0;
                GetWindowThreadProcessId(window, &owner);
                if (owner == s->processId && IsWindowVisible(window))
                    s->found.push_back(window);
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&search));
        return search.found;
    }

    bool Ended() const { return WaitForSingleObject(m_process.hProcess, 0) == WAIT_OBJECT_0; }
    bool WaitForEnd(int timeoutMs = 20000) const
    {
        return WaitForSingleObject(m_process.hProcess, static_cast<DWORD>(timeoutMs)) == WAIT_OBJECT_0;
    }

private:
    PROCESS_INFORMATION m_process = {};
    bool m_started = false;
};

// A visible top-level window of any process whose caption starts with prefix.
HWND WaitForCaption(const std::string& prefix, int timeoutMs = 20000)
{
    struct Search {
        const std::string& prefix;
        HWND found;
    } search{prefix, nullptr};
    for (int waited = 0; waited < timeoutMs && !search.found; waited += 50) {
        EnumWindows(
            [](HWND window, LPARAM data) -> BOOL {
                auto* s = reinterpret_cast<Search*>(data);
                if (IsWindowVisible(window) && WindowText(window).rfind(s->prefix, 0) == 0) {
                    s->found = window;
                    return FALSE;
                }
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&search));
        if (!search.found)
            Sleep(50);
    }
    return search.found;
}

bool IsMessageBox(HWND window)
{
    SeenMessageBox ignored;
    return ReadMessageBox(window, &ignored);
}

// Copies KivSetup.exe into dir.
void PlaceInstaller(const CTempDir& dir)
{
    fs::copy_file(kSetupExe, dir.Native("KivSetup.exe"));
}

void ExpectLoadErrorAndNoDialog(const CTempDir& exeDir, const CTempDir& startDir)
{
    CInstallerProcess installer(exeDir.Native("KivSetup.exe"), startDir.Native());
    ASSERT_TRUE(installer.Started());
    HWND box = installer.WaitForWindow(IsMessageBox);
    ASSERT_NE(nullptr, box) << "no message box";
    SeenMessageBox seen;
    ASSERT_TRUE(ReadMessageBox(box, &seen));
    EXPECT_EQ("Could not load setup info", seen.text);
    EXPECT_EQ("Setup", seen.caption);
    EXPECT_TRUE(seen.hasIcon);
    EXPECT_EQ(nullptr, seen.owner);
    EXPECT_EQ(1u, installer.Windows().size()) << "a window besides the error box";
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(installer.WaitForEnd()) << "still running after the error box";
}

TEST(Startup, WithoutItsDescriptionInTheCurrentDirectoryShowsTheLoadErrorAndEnds)
{
    // setup.inf and list.inf lie beside the executable, not in the directory
    // it is started from.
    CTempDir exeDir;
    PlaceInstaller(exeDir);
    fs::copy(kExamplesDir / "arena-pack", exeDir.Native(), fs::copy_options::recursive);
    CTempDir empty;
    ExpectLoadErrorAndNoDialog(exeDir, empty);

    // setup.inf present, list.inf missing.
    CTempDir halfPackage;
    halfPackage.Write("setup.inf", exeDir.Read("setup.inf"));
    ExpectLoadErrorAndNoDialog(exeDir, halfPackage);
}

TEST(Startup, InstallsTheExamplePackageFromStartToExit)
{
    CTempDir package;
    CTempDir target;
    fs::copy(kExamplesDir / "arena-pack", package.Native(), fs::copy_options::recursive);
    PlaceInstaller(package);
    CInstallerProcess installer(package.Native("KivSetup.exe"), package.Native());
    ASSERT_TRUE(installer.Started());
    HWND dialog = installer.WaitForWindow([](HWND w) { return WindowText(w) == "Arena Map Pack"; });
    ASSERT_NE(nullptr, dialog);

    SendMessageA(GetDlgItem(dialog, IDC_AGREE), BM_CLICK, 0, 0);
    std::string targetDir = target.Path() + "\\";
    SendMessageA(GetDlgItem(dialog, IDC_DIR), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(targetDir.c_str()));
    ASSERT_TRUE(IsWindowEnabled(GetDlgItem(dialog, IDC_INSTALL)));
    // Posted: the click's handler waits in the result box.
    PostMessageA(GetDlgItem(dialog, IDC_INSTALL), BM_CLICK, 0, 0);
    HWND box = installer.WaitForWindow(IsMessageBox);
    ASSERT_NE(nullptr, box);
    SeenMessageBox seen;
    ASSERT_TRUE(ReadMessageBox(box, &seen));
    EXPECT_EQ("Installation Complete", seen.text);
    EXPECT_EQ(dialog, seen.owner);
    EXPECT_TRUE(IsWindowVisible(GetDlgItem(dialog, IDC_COMPLETE)));
    PostMessageA(box, WM_COMMAND, IDOK, 0);

    HWND exitButton = GetDlgItem(dialog, IDC_INSTALL);
    for (int waited = 0; IsWindow(box) && waited < 10000; waited += 50)
        Sleep(50);
    EXPECT_EQ("&Exit", WindowText(exitButton));
    PostMessageA(exitButton, BM_CLICK, 0, 0);
    EXPECT_TRUE(installer.WaitForEnd());

    EXPECT_EQ(package.Read("data\\arena1.map"), target.Read("maps\\arena1.map"));
    EXPECT_EQ(package.Read("data\\arena2.map"), target.Read("maps\\arena2.map"));

    // The E entry: the shell opened readme.txt with the text editor.
    HWND readme = WaitForCaption("readme.txt");
    EXPECT_NE(nullptr, readme) << "readme.txt was not opened";
    if (readme)
        PostMessageA(readme, WM_CLOSE, 0, 0);
}

}  // namespace
