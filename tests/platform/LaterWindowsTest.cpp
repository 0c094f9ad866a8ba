// Windows' calls newer than XP SP3: the DLL search restricted with them and without, and a 32-bit
// installer on 64-bit Windows writing where the user chose, not into SysWOW64.
#include <filesystem>
#include <string>

#include <gtest/gtest.h>
#include <windows.h>

#include "platform/Platform.h"
#include "install/Install.h"
#include "platform/win32/LaterWindows.h"
#include "setupinfo/SetupInfo.h"
#include "support/TempDir.h"
#include "text/Text.h"

namespace fs = std::filesystem;

namespace {

// What the DLL directory was set to through the seam, and the calls the seam lets through.
std::wstring s_dllDirectory = L"(not set)";
BOOL WINAPI RecordDllDirectory(LPCWSTR directory)
{
    s_dllDirectory = directory ? directory : L"(null)";
    return SetDllDirectoryW(directory);
}
FARPROC WindowsXp(const wchar_t*, const char* name)
{
    return strcmp(name, "SetDllDirectoryW") == 0
               ? reinterpret_cast<FARPROC>(reinterpret_cast<void*>(RecordDllDirectory))
               : nullptr;
}
FARPROC Nothing(const wchar_t*, const char*) { return nullptr; }

struct CLookup {
    explicit CLookup(Platform::CallLookup lookup) { Platform::SetCallLookup(lookup); }
    ~CLookup() { Platform::SetCallLookup(nullptr); }
};

}  // namespace

// A DLL beside the current directory is loaded by its bare name until the search is restricted, and not
// after. Where SetDefaultDllDirectories is missing (XP to 7 without its update), the current directory
// is taken out of the search with an empty DLL directory; without either call nothing changes.
TEST(LaterWindows, NoDllComesFromTheCurrentDirectoryOnceTheSearchIsRestricted)
{
    CTempDir dir;
    for (const char* name : {"before.dll", "after.dll"})
        fs::copy_file(TestData(KIV_PROBE_DLL), dir.Native(name));
    CCurrentDir here(dir.Native());
    {
        CLookup xp(WindowsXp);
        EXPECT_EQ(Platform::DllSearch::NoCurrentDirectory, Platform::RestrictDllSearch());
        EXPECT_EQ(L"", s_dllDirectory);
        CLookup none(Nothing);
        EXPECT_EQ(Platform::DllSearch::Unchanged, Platform::RestrictDllSearch());
        SetDllDirectoryW(nullptr);  // Wine does not take the current directory out for "" (Windows does)
    }
    HMODULE before = LoadLibraryW(L"before.dll");
    EXPECT_NE(nullptr, before) << "the current directory is not searched at all: the test shows nothing";
    EXPECT_EQ(Platform::DllSearch::System32Only, Platform::RestrictDllSearch());
    EXPECT_EQ(nullptr, LoadLibraryW(L"after.dll"));
    FreeLibrary(before);
}

// A target under %windir%\System32 typed into a 32-bit installer on 64-bit Windows: its directories and
// files land there, not in SysWOW64, where the system would send them. %windir%\Sysnative is how a
// 32-bit program names the real System32.
TEST(LaterWindows, ATargetUnderSystem32LandsThereAndNotInSysWow64)
{
    char windows[MAX_PATH];
    ASSERT_NE(0u, GetWindowsDirectoryA(windows, sizeof windows));
    const std::string name = "kivsetup-test-" + std::to_string(GetCurrentProcessId());
    const fs::path real = fs::path(windows) / "Sysnative" / name, redirected = fs::path(windows) / "SysWOW64" / name;
    if (!fs::exists(fs::path(windows) / "Sysnative"))
        GTEST_SKIP() << "not a 32-bit program on 64-bit Windows";
    CTempDir package;
    package.Write("data\\a.txt", "a");
    CCurrentDir here(package.Native());
    CSetupInfo info;
    info.m_files.SetSize(1);
    FileEntry& entry = info.m_files[0];
    CopyText(entry.szSource, sizeof entry.szSource, "data\\a.txt");
    CSetupInfo::GetFileName(entry.szSource, entry.szFileName);
    CopyText(entry.szDest, sizeof entry.szDest, "$setupdir\\maps\\");
    CopyText(entry.szAction, sizeof entry.szAction, "C");
    const std::string target = std::string(windows) + "\\System32\\" + name;
    EXPECT_EQ(0, RunInstall(info.m_files, target.c_str(), nullptr));
    EXPECT_TRUE(fs::exists(real / "maps" / "a.txt"));
    EXPECT_FALSE(fs::exists(redirected));
    std::error_code ignored;
    fs::remove_all(real, ignored);
    fs::remove_all(redirected, ignored);
}
