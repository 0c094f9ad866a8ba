// KivSetup.exe as built: the committed pictures and manifest carried byte for byte in forms the system
// takes; and the program started as a user starts it, with its real message boxes and folder picker owned
// by the dialog, the installation from start to Exit, and the load error without a package.
#include <windows.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/TempDir.h"
#include "res/resource.h"

namespace fs = std::filesystem;

namespace {

std::string KivSetupExe()  // KIV_EXE_UNDER_TEST names another copy, such as a signed one
{
    const char* other = getenv("KIV_EXE_UNDER_TEST");
    return other ? other : TestData(KIV_SETUP_EXE);
}

std::string Resource(HMODULE module, LPCSTR type, WORD id)  // empty when missing
{
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(id), type);
    const char* bytes = found ? static_cast<const char*>(LockResource(LoadResource(module, found))) : nullptr;
    return bytes ? std::string(bytes, SizeofResource(module, found)) : "";
}

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
            const bool isStatic = _stricmp(name, "Static") == 0,
                       icon = (GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON;
            seen = isStatic && !icon ? WindowText(child) + seen
                                     : seen + (icon && SendMessageA(child, STM_GETICON, 0, 0) ? "|icon" : "");
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
        std::string exe = KivSetupExe();
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        EXPECT_TRUE(CreateProcessA(exe.c_str(), exe.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                   startDir.Native().string().c_str(), &startup, &process))
            << exe << ": error " << GetLastError() << " (740: it asks for administrator rights)";
    }
    ~CInstallerProcess()
    {
        TerminateProcess(process.hProcess, 1);  // nothing when it has ended
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    bool Ended() const { return WaitForSingleObject(process.hProcess, 20000) == WAIT_OBJECT_0; }
    DWORD ExitCode() const
    {
        DWORD code = STILL_ACTIVE;
        GetExitCodeProcess(process.hProcess, &code);
        return code;
    }

    PROCESS_INFORMATION process = {};
};

}  // namespace

TEST(BuiltInResources, TheCommittedPicturesAndManifestInFormsTheSystemTakes)
{
    auto committed = [](const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    };
    // The manifest as the build writes it, with the project's version.
    const std::string logo = committed(TestData(KIV_RES_DIR) + "/logo.bmp"),
                      ico = committed(TestData(KIV_RES_DIR) + "/KivSetup.ico"),
                      manifest = committed(TestData(KIV_MANIFEST));
    char self[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, self, sizeof self);
    // This program links the same compiled resources as KivSetup.exe.
    for (const std::string& path : {std::string(self), KivSetupExe()}) {
        SCOPED_TRACE(path);
        HMODULE module = LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_NE(nullptr, module);
        EXPECT_EQ(Resource(module, RT_BITMAP, IDB_LOGO), logo.substr(14));  // less the file header
        // Each image of the icon file (its directory entry gives its size and offset) as an icon of its own.
        for (size_t i = 0; i < static_cast<unsigned char>(ico[4]); ++i) {
            DWORD size, offset;
            memcpy(&size, &ico[6 + 16 * i + 8], 4);
            memcpy(&offset, &ico[6 + 16 * i + 12], 4);
            EXPECT_EQ(Resource(module, RT_ICON, static_cast<WORD>(i + 1)), ico.substr(offset, size));
        }
        EXPECT_EQ(Resource(module, RT_GROUP_ICON, IDR_MAINFRAME).size(), 6 + 14u * static_cast<unsigned char>(ico[4]));
        // Exactly one manifest, the committed one: with a second from the toolchain, which wins is chance.
        std::vector<WORD> ids;
        struct Names {
            static BOOL CALLBACK Add(HMODULE, LPCSTR, LPSTR name, LONG_PTR list)
            {
                reinterpret_cast<std::vector<WORD>*>(list)->push_back(IS_INTRESOURCE(name) ? LOWORD(name) : 0xFFFF);
                return TRUE;
            }
        };
        EnumResourceNamesA(module, RT_MANIFEST, Names::Add, reinterpret_cast<LONG_PTR>(&ids));
        EXPECT_EQ(ids, std::vector<WORD>{1});
        EXPECT_EQ(Resource(module, RT_MANIFEST, 1), manifest);
        FreeLibrary(module);
        // The loader's own parser accepts it.
        ACTCTXA context = {
            sizeof context, ACTCTX_FLAG_RESOURCE_NAME_VALID, path.c_str(), 0, 0, nullptr, MAKEINTRESOURCEA(1), nullptr,
            nullptr};
        HANDLE handle = CreateActCtxA(&context);
        EXPECT_NE(handle, INVALID_HANDLE_VALUE) << "error " << GetLastError();
        ReleaseActCtx(handle);
    }
}

TEST(Startup, InstallsTheExamplePackageFromStartToExitAndWithoutAPackageShowsTheLoadErrorAndEnds)
{
    CTempDir package, target, empty;
    fs::copy(TestData(KIV_EXAMPLES_DIR) + "/arena-pack", package.Native(), fs::copy_options::recursive);
    CInstallerProcess installer(package);
    const DWORD id = installer.process.dwProcessId;
    HWND dialog = WaitForWindow(id, [](HWND w) { return WindowText(w) == "Arena Map Pack"; });
    ASSERT_NE(nullptr, dialog);
    // Browse: the shell's folder picker, cancelled.
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
    EXPECT_EQ(installer.ExitCode(), 0u);
    EXPECT_EQ(package.Read("data\\arena1.map") + package.Read("data\\arena2.map"),
              target.Read("maps\\arena1.map") + target.Read("maps\\arena2.map"));
    // The E entry: the shell opened readme.txt with the text editor.
    HWND readme = WaitForWindow(0, [](HWND w) { return WindowText(w).rfind("readme.txt", 0) == 0; });
    ASSERT_NE(nullptr, readme) << "readme.txt was not opened";
    PostMessageA(readme, WM_CLOSE, 0, 0);

    CInstallerProcess withoutPackage(empty);
    EXPECT_EQ("Could not load setup info|Setup|icon", AnswerMessageBox(withoutPackage.process.dwProcessId));
    EXPECT_TRUE(withoutPackage.Ended()) << "still running after the error box";
    EXPECT_EQ(withoutPackage.ExitCode(), 1u);
}

// How the installer ends tells a script that waits for it what happened: 0 installed (above), 1 the
// package did not load (above), 2 some file was not copied, 3 closed without installing.
TEST(Startup, TheExitStatusTellsAnUnsuccessfulRunFromOneClosedWithoutInstalling)
{
    CTempDir package, target;
    fs::copy(TestData(KIV_EXAMPLES_DIR) + "/arena-pack", package.Native(), fs::copy_options::recursive);
    fs::remove(package.Native("data\\arena2.map"));
    for (const bool install : {true, false}) {
        CInstallerProcess installer(package);
        const DWORD id = installer.process.dwProcessId;
        HWND dialog = WaitForWindow(id, [](HWND w) { return WindowText(w) == "Arena Map Pack"; });
        ASSERT_NE(nullptr, dialog);
        if (install) {
            SendMessageA(GetDlgItem(dialog, IDC_AGREE), BM_CLICK, 0, 0);
            SetDlgItemTextA(dialog, IDC_DIR, target.Path().c_str());
            PostMessageA(GetDlgItem(dialog, IDC_INSTALL), BM_CLICK, 0, 0);
            EXPECT_EQ("Setup was unsuccessful|Setup|owned", AnswerMessageBox(id));
        }
        PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
        EXPECT_TRUE(installer.Ended());
        EXPECT_EQ(installer.ExitCode(), install ? 2u : 3u);
    }
}
