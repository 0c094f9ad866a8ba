// The setup dialog in the test process, from the executable's own resources, on the real dialog manager.
// Message boxes and the folder picker answer through the dialog's seams.
#include <atomic>
#include <cstring>
#include <filesystem>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "platform/Platform.h"
#include "ui/KivSetupDialog.h"
#include "platform/win32/LaterWindows.h"
#include "setupinfo/SetupInfo.h"
#include "support/TempDir.h"
#include "res/resource.h"
#include "platform/Interrupt.h"
#include "platform/Shell.h"

namespace {

std::string TextOf(HWND window)
{
    char text[1024] = "";
    GetWindowTextA(window, text, sizeof text);
    return text;
}
std::string ItemText(HWND dialog, int id) { return TextOf(GetDlgItem(dialog, id)); }
bool ItemVisible(HWND dialog, int id) { return (GetWindowLongA(GetDlgItem(dialog, id), GWL_STYLE) & WS_VISIBLE) != 0; }
bool ItemEnabled(HWND dialog, int id) { return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE; }
void Click(HWND dialog, int id) { SendMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }
int FocusedItemId() { return GetDlgCtrlID(GetFocus()); }

// Types at the end of the edit's text; "\b" first clears it.
void TypeInto(HWND dialog, int id, const std::string& text)
{
    HWND edit = GetDlgItem(dialog, id);
    SendMessageA(edit, EM_SETSEL, text[0] == '\b' ? 0 : GetWindowTextLengthA(edit), -1);
    for (char c : text)
        SendMessageA(edit, WM_CHAR, static_cast<unsigned char>(c), 1);
}

// Posted to the focused control: handled once the step has returned.
void PressKey(HWND dialog, WORD virtualKey)
{
    HWND target = GetFocus() ? GetFocus() : dialog;
    PostMessageA(target, WM_KEYDOWN, virtualKey, 1);
    PostMessageA(target, WM_KEYUP, virtualKey, 1 | (1u << 30) | (1u << 31));
}

class CTestSetupDialog : public CKivSetupDialog {
public:
    using CKivSetupDialog::CKivSetupDialog;
    std::vector<std::string> messages;  // "text|caption|type", and "|finished" when the finished view was up
    std::string pick;                   // the folder picker's answer, in UTF-8; empty: cancelled

protected:
    bool PickFolder(wchar_t* path) override
    {
        EXPECT_STREQ(path, L"");
        MultiByteToWideChar(CP_UTF8, 0, pick.c_str(), -1, path, MAX_PATH);
        return !pick.empty();
    }
    int ShowMessage(const char* text, const char* caption, UINT type) override
    {
        messages.push_back(std::string(text) + "|" + caption + "|" + std::to_string(type) +
                           (ItemVisible(GetHwnd(), IDC_COMPLETE) ? "|finished" : ""));
        return IDOK;
    }
};

// A package in a temporary directory, loaded in it for a new dialog on each run; the shell opener records
// each file, and whether it was opened elsewhere than on the dialog's thread or before s_lastCopy existed.
class SetupDialogTest : public ::testing::Test {
protected:
    SetupDialogTest()
    {
        Platform::SetShellOpener([](const char* file) {
            s_opened.push_back(file + std::string(GetCurrentThreadId() == s_thread ? "" : " off the dialog's thread") +
                               (s_lastCopy.empty() || std::filesystem::exists(s_lastCopy) ? "" : " before the copies"));
            return true;
        });
    }
    ~SetupDialogTest() override { Platform::SetShellOpener(nullptr); }

    // setup.inf with this default directory; list.inf with these lines.
    void WritePackage(const std::string& defaultDir, const std::string& files = "")
    {
        package.Write("setup.inf",
                      "[Setup]\r\nDEFAULTINSTALL=Standard\r\nStandard=ArenaPack\r\nCopyright=Sample notice text\r\n"
                      "[ArenaPack]\r\nTitle=Arena Map Pack\r\nInstallText=Choose the directory of the game\r\n"
                      "DefaultDir=" +
                          defaultDir + "\r\n");
        package.Write("list.inf", "[ArenaPack]\r\n" + files);
    }
    // Runs the dialog and each step on a timer tick of its own inside its modal loop, so that keys posted
    // by one step are handled before the next. A dialog still open 4 s after the last step fails the test,
    // unless it ends by itself (after a WM_QUIT), for which it has 60 s.
    INT_PTR Run(std::vector<std::function<void(HWND)>> steps, bool endsByItself = false)
    {
        s_thread = GetCurrentThreadId();
        s_endsByItself = endsByItself;
        CCurrentDir inPackage(package.Native());
        info = std::make_unique<CSetupInfo>();
        EXPECT_NE(nullptr, info->Load("setup.inf", "list.inf"));
        dialog = std::make_unique<CTestSetupDialog>(*info);
        s_dialog = dialog.get();
        s_steps = std::move(steps);
        s_next = s_idleTicks = 0;
        const UINT_PTR timer = SetTimer(nullptr, 0, 20, OnTick);
        const INT_PTR result = dialog->DoModal();
        KillTimer(nullptr, timer);
        EXPECT_EQ(s_next, s_steps.size()) << "the dialog ended before all steps ran";
        EXPECT_FALSE(dialog->m_btnInstall.IsAttached()) << "a control still attached after the run";
        return result;
    }
    static void CALLBACK OnTick(HWND, UINT, UINT_PTR, DWORD)
    {
        HWND hwnd = s_dialog->GetHwnd();
        if (hwnd && IsWindowVisible(hwnd) && s_next < s_steps.size()) {
            s_steps[s_next++](hwnd);
        } else if (hwnd && ++s_idleTicks == (s_endsByItself ? 3000u : 200u)) {
            ADD_FAILURE() << "the dialog was still open after the last step";
            s_dialog->EndDialog(IDABORT);
        }
    }

    // A step taken again on each tick until done holds; after 60 s the next step runs all the same.
    static std::function<void(HWND)> Until(std::function<bool()> done)
    {
        return [done](HWND) {
            if (!done() && ++s_idleTicks < 3000)
                --s_next;
            else
                s_idleTicks = 0;
        };
    }

    static inline CTestSetupDialog* s_dialog;
    static inline std::vector<std::function<void(HWND)>> s_steps;
    static inline size_t s_next, s_idleTicks;
    static inline std::vector<std::string> s_opened;
    static inline DWORD s_thread;
    static inline bool s_endsByItself;
    static inline std::filesystem::path s_lastCopy;
    CTempDir package, target;
    std::unique_ptr<CSetupInfo> info;
    std::unique_ptr<CTestSetupDialog> dialog;
};

// Which of the directory edit, Browse and INSTALL are enabled, as "dbi" with '-' for disabled.
std::string EnabledOf(HWND dialog)
{
    return std::string(ItemEnabled(dialog, IDC_DIR) ? "d" : "-") + (ItemEnabled(dialog, IDC_BROWSE) ? "b" : "-") +
           (ItemEnabled(dialog, IDC_INSTALL) ? "i" : "-");
}

void ExpectView(HWND dialog, bool finished)
{
    for (int id : {IDC_LICENSE_GROUP, IDC_LICENSE, IDC_QUESTION, IDC_AGREE, IDC_DIR_GROUP, IDC_DIR, IDC_BROWSE})
        EXPECT_NE(finished, ItemVisible(dialog, id)) << id;
    EXPECT_EQ(finished, ItemVisible(dialog, IDC_COMPLETE));
    EXPECT_TRUE(ItemVisible(dialog, IDC_INSTALL) && ItemVisible(dialog, IDC_LOGO) &&
                ItemVisible(dialog, IDC_COPYRIGHT));
    EXPECT_EQ(finished ? "&Exit" : "INSTALL", ItemText(dialog, IDC_INSTALL));
    EXPECT_TRUE(!finished ||
                (ItemText(dialog, IDC_COMPLETE) == "Installation Complete!" && ItemEnabled(dialog, IDC_INSTALL)));
}

// The first display: the package's texts, its licence and logo or none, the icons. Enter ends the run
// through OK, which takes the controls' data; Escape and the close box end it through Cancel.
TEST_F(SetupDialogTest, FirstDisplayShowsTheTextsTheLicenceAndTheLogoOrPassesSilentlyWithoutThem)
{
    const std::string crlf = "Terms of use\r\n\r\n1. Line one\r\n2. \xE9t\xE9 line two\r\n";
    std::string bitmap =
        "BM" + std::string(52, '\0') + std::string(((64 * 3 + 3) & ~3) * 32, '\x80');  // 64 x 32, 24 bits
    for (const auto& [at, value] :
         {std::pair<int, size_t>{2, bitmap.size()}, {10, 54}, {14, 40}, {18, 64}, {22, 32}, {26, 1}, {28, 24}})
        bitmap[at] = static_cast<char>(value), bitmap[at + 1] = static_cast<char>(value >> 8);
    const std::string crafted =
        bitmap.substr(0, 10) + "\xF0\xFF\xFF\x7F" + bitmap.substr(14);  // pixels far beyond the end
    const struct {
        std::string licence, logo, shownLicence;  // an empty licence or logo: no such file
        LONG logoWidth;
        int focus;
        void (*end)(HWND);
        INT_PTR result;
    } cases[] = {
        {"", "", "", 440, IDC_DIR, [](HWND h) { PressKey(h, VK_RETURN); }, IDOK},
        {crlf, bitmap, crlf, 64, IDC_AGREE, [](HWND h) { PressKey(h, VK_ESCAPE); }, IDCANCEL},
        {std::string("Before\0after", 12), "This is not a bitmap.", "Before", 440, IDC_AGREE,
         [](HWND h) { PostMessageA(h, WM_SYSCOMMAND, SC_CLOSE, 0); }, IDCANCEL},
        {"", crafted, "", 440, IDC_DIR, [](HWND h) { PressKey(h, VK_RETURN); }, IDOK},  // never given to the loader
    };
    WritePackage("C:\\Games\\Arena");
    for (const auto& c : cases) {
        std::filesystem::remove(package.Native("license.txt"));
        std::filesystem::remove(package.Native("logo.bmp"));
        if (!c.licence.empty())
            package.Write("license.txt", c.licence);
        if (!c.logo.empty())
            package.Write("logo.bmp", c.logo);
        EXPECT_EQ(
            c.result,
            Run({[&](HWND hwnd) {
                     EXPECT_EQ((std::vector<std::string>{"Arena Map Pack", "Sample notice text",
                                                         "Choose the directory of the game", "C:\\Games\\Arena",
                                                         c.shownLicence, "---"}),
                               (std::vector<std::string>{TextOf(hwnd), ItemText(hwnd, IDC_COPYRIGHT),
                                                         ItemText(hwnd, IDC_DIR_GROUP), ItemText(hwnd, IDC_DIR),
                                                         ItemText(hwnd, IDC_LICENSE), EnabledOf(hwnd)}));
                     BITMAP logo = {};  // 440 pixels wide: the built-in logo
                     GetObjectA(
                         reinterpret_cast<HBITMAP>(SendDlgItemMessageA(hwnd, IDC_LOGO, STM_GETIMAGE, IMAGE_BITMAP, 0)),
                         sizeof logo, &logo);
                     EXPECT_EQ(c.logoWidth, logo.bmWidth);
                     // Windows' base units for MS Sans Serif 8, with Wine's own fonts in the prefix (6 x 12 without).
                     RECT units = {0, 0, 4, 8};
                     MapDialogRect(hwnd, &units);
                     EXPECT_EQ((std::vector<LONG>{6, 13}), (std::vector<LONG>{units.right, units.bottom}));
                     EXPECT_EQ(reinterpret_cast<LRESULT>(dialog->m_hIcon), SendMessageA(hwnd, WM_GETICON, ICON_BIG, 0));
                     EXPECT_EQ(reinterpret_cast<LRESULT>(dialog->m_hIcon),
                               SendMessageA(hwnd, WM_GETICON, ICON_SMALL, 0));
                     EXPECT_FALSE(IsDlgButtonChecked(hwnd, IDC_AGREE));
                     EXPECT_EQ(IDC_AGREE, FocusedItemId());
                     ExpectView(hwnd, false);
                     SetDlgItemTextA(hwnd, IDC_LICENSE, "Changed");  // where no handler sees it
                     dialog->FocusItem(c.focus);
                 },
                 c.end}));
        EXPECT_STREQ(c.result == IDOK ? "Changed" : c.shownLicence.c_str(), dialog->m_strLicense);
        EXPECT_TRUE(dialog->messages.empty());
    }
}

TEST_F(SetupDialogTest, TheBoxTheDirectoryTextAndThePickerMoveThroughTheStatesAndInstallWaitsForBoth)
{
    WritePackage("C:\\Games\\Arena");
    // The notification a click on INSTALL sends, sent also while the button is disabled.
    auto pressInstall = [](HWND hwnd) {
        SendMessageA(hwnd, WM_COMMAND, MAKEWPARAM(IDC_INSTALL, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(hwnd, IDC_INSTALL)));
    };
    const std::string long259 = "C:\\" + std::string(256, 'q'), long258 = long259.substr(0, 258);
    EXPECT_EQ(
        IDCANCEL, Run({[&](HWND hwnd) {
            dialog->FocusItem(IDC_LICENSE);
            pressInstall(hwnd);  // not agreed: a reminder with an icon, the focus on the box
            EXPECT_EQ(std::vector<std::string>{"You must agree to the terms of the End-User License Agreement|Setup|" +
                                               std::to_string(MB_OK | MB_ICONEXCLAMATION)},
                      dialog->messages);
            EXPECT_EQ(IDC_AGREE, FocusedItemId());
            // What the user does, and which of the directory, Browse and INSTALL are enabled after it.
            const std::pair<std::function<void()>, const char*> walk[] = {
                {[&] { Click(hwnd, IDC_AGREE); }, "dbi"},  // not agreed -> ready at once
                {[&] { Click(hwnd, IDC_AGREE); }, "---"},  // -> not agreed, the text stays
                {[&] { Click(hwnd, IDC_AGREE); }, "dbi"},
                {[&] { TypeInto(hwnd, IDC_DIR, "\b"); }, "db-"},  // -> agreed, no directory
                {[&] { EnableWindow(GetDlgItem(hwnd, IDC_INSTALL), TRUE), pressInstall(hwnd); },
                 "db-"},                                           // installs nothing
                {[&] { TypeInto(hwnd, IDC_DIR, "   "); }, "dbi"},  // blanks count as a directory
                {[&] { TypeInto(hwnd, IDC_DIR, "\b"), Click(hwnd, IDC_AGREE); }, "---"},
                {[&] { Click(hwnd, IDC_AGREE); }, "db-"},                      // and back, without a directory
                {[&] { dialog->pick = "", Click(hwnd, IDC_BROWSE); }, "db-"},  // the picker cancelled
                {[&] { dialog->pick = "C:\\Games\\Quake3", Click(hwnd, IDC_BROWSE); }, "dbi"},
                {[&] { dialog->pick = "", Click(hwnd, IDC_BROWSE); }, "dbi"},
            };
            for (const auto& [action, enabled] : walk) {
                action();
                EXPECT_EQ(enabled, EnabledOf(hwnd));
            }
            EXPECT_STREQ("C:\\Games\\Quake3\\", dialog->m_strDir);
            // A picked folder gets one trailing backslash, when there is room for it in 259 characters.
            for (const auto& [answer, text] :
                 {std::pair<std::string, std::string>{"D:\\", "D:\\"}, {long258, long258 + "\\"}, {long259, long259}}) {
                dialog->pick = answer;
                Click(hwnd, IDC_BROWSE);
                EXPECT_EQ(text, ItemText(hwnd, IDC_DIR));
            }
            ExpectView(hwnd, false);
            EXPECT_EQ(1u, dialog->messages.size());
            PressKey(hwnd, VK_ESCAPE);
        }}));
}

TEST_F(SetupDialogTest, AFailedCopyIsReportedAsUnsuccessfulInTheFinishedViewAndExitEndsTheRun)
{
    // A missing source and a read-only destination: neither may pass as installed. The opens, one listed
    // before every copy, come after the last copy, on the dialog's thread, once each, in list order.
    WritePackage(
        "",
        "Count=6\r\nFILE1=first.txt;$setupdir;E;1\r\nFILE2=present.txt;$setupdir;C;2\r\n"
        "FILE3=missing.txt;$setupdir;C;3\r\nFILE4=locked.txt;$setupdir;C;4\r\nFILE5=readme.txt;$setupdir;E;5\r\n"
        "FILE6=last.txt;$setupdir;C;6\r\n");
    package.Write("present.txt", "here");
    package.Write("last.txt", "last");
    s_lastCopy = target.Native("last.txt");
    package.Write("locked.txt", "new");
    target.Write("locked.txt", "old");
    std::filesystem::permissions(target.Native("locked.txt"), std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::remove);
    s_opened.clear();
    EXPECT_EQ(IDOK, Run({[&](HWND hwnd) {
                             Click(hwnd, IDC_AGREE);
                             TypeInto(hwnd, IDC_DIR, target.Path());
                             Click(hwnd, IDC_INSTALL);
                         },
                         Until([&] { return !dialog->messages.empty(); }),
                         [&](HWND hwnd) {
                             ExpectView(hwnd, true);
                             Click(hwnd, IDC_INSTALL);  // Exit: installs nothing more
                         }}));
    s_lastCopy.clear();
    EXPECT_EQ(std::vector<std::string>{"Setup was unsuccessful|Setup|0|finished"}, dialog->messages);
    EXPECT_EQ((std::vector<std::string>{"first.txt", "readme.txt"}), s_opened);
    EXPECT_EQ(target.Read("present.txt") + "|" + target.Read("missing.txt") + "|" + target.Read("locked.txt"),
              "here||old");
}

// A run of 1500 files: another thread's message is answered within 100 ms throughout, the line 1021 tells
// which file of how many is copied, INSTALL, Browse, the directory and the box stay disabled, and Enter,
// Escape, the close box and the session's end are refused, also where Windows has no calls for giving
// the reason; the run ends as a short one ends.
TEST_F(SetupDialogTest, DuringALongRunTheDialogAnswersShowsTheProgressAndCannotBeEnded)
{
    std::string files = "Count=1500\r\n";
    for (int i = 1; i <= 1500; ++i) {
        package.Write("data\\f" + std::to_string(i), std::to_string(i));
        files += "FILE" + std::to_string(i) + "=data\\f" + std::to_string(i) + ";$setupdir\\data\\;C;1\r\n";
    }
    WritePackage("", files);
    // As on Windows XP: no reason can be given for holding the session, which is refused all the same.
    Platform::SetCallLookup([](const wchar_t*, const char*) -> FARPROC { return nullptr; });
    std::atomic<bool> ended = false;  // stops the prober, which keeps the texts of 1021 it saw and counts late answers
    std::set<std::string> shown;
    int probes = 0, late = 0;
    std::thread prober;
    EXPECT_EQ(IDOK,
              Run({[&](HWND hwnd) {
                       Click(hwnd, IDC_AGREE);
                       TypeInto(hwnd, IDC_DIR, target.Path());
                       prober = std::thread([&, line = GetDlgItem(hwnd, IDC_COMPLETE)] {
                           for (char text[300]; !ended; ++probes, Sleep(1)) {
                               if (SendMessageTimeoutA(line, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text),
                                                       SMTO_ABORTIFHUNG, 100, nullptr))
                                   shown.insert(text);
                               else if (!ended)  // once the dialog is ending, it may be gone
                                   ++late;
                           }
                       });
                       Click(hwnd, IDC_INSTALL);
                   },
                   [&](HWND hwnd) {
                       EXPECT_TRUE(dialog->messages.empty()) << "the run ended too soon to be tested";
                       EXPECT_EQ("----", EnabledOf(hwnd) + (ItemEnabled(hwnd, IDC_AGREE) ? "a" : "-"));
                       EXPECT_EQ(FALSE, SendMessageA(hwnd, WM_QUERYENDSESSION, 0, 0)) << "the session may end mid-copy";
                       PressKey(hwnd, VK_RETURN), PressKey(hwnd, VK_ESCAPE),
                           PostMessageA(hwnd, WM_SYSCOMMAND, SC_CLOSE, 0);
                   },
                   Until([&] { return !dialog->messages.empty(); }),
                   [&](HWND hwnd) {
                       ended = true;
                       ExpectView(hwnd, true);
                       Click(hwnd, IDC_INSTALL);
                   }}));
    ended = true;
    prober.join();
    Platform::SetCallLookup(nullptr);
    EXPECT_EQ(0, late) << "of " << probes << " messages";
    size_t progress = 0;  // texts seen of the form "Copying 12 of 1500: data\f12"; no others but the two below
    for (int i = 1; i <= 1500; ++i)
        progress += shown.count("Copying " + std::to_string(i) + " of 1500: data\\f" + std::to_string(i));
    EXPECT_GT(progress, 3u);
    EXPECT_EQ(shown.size() - progress, shown.count("") + shown.count("Installation Complete!"));
    EXPECT_EQ(std::vector<std::string>{"Installation Complete|Setup|0|finished"}, dialog->messages);
}

// The end of the Windows session during the copies, sent or posted: when it goes through (TRUE), the copy
// under way stops with its destination as it was and no further step follows, no open either; when it was
// cancelled (FALSE), the run goes on as if nothing had happened.
TEST_F(SetupDialogTest, TheSessionsEndStopsTheRunOnlyWhenItGoesThrough)
{
    WritePackage("",
                 "Count=3\r\nFILE1=big.dat;$setupdir;C;1\r\nFILE2=small.txt;$setupdir;C;2\r\n"
                 "FILE3=readme.txt;$setupdir;E;3\r\n");
    package.Write("big.dat", std::string(64 << 20, 'n'));
    package.Write("small.txt", "small");
    for (const bool posted : {false, true}) {
        for (const BOOL ending : {TRUE, FALSE}) {
            target.Write("big.dat", "old");
            std::filesystem::remove(target.Native("small.txt"));
            s_opened.clear();
            EXPECT_EQ(IDOK, Run({[&](HWND hwnd) {
                                     Click(hwnd, IDC_AGREE);
                                     TypeInto(hwnd, IDC_DIR, target.Path());
                                     Click(hwnd, IDC_INSTALL);
                                     if (posted)
                                         PostMessageA(hwnd, WM_ENDSESSION, ending, 0);
                                     else
                                         SendMessageA(hwnd, WM_ENDSESSION, ending, 0);
                                 },
                                 Until([&] { return !dialog->messages.empty(); }),
                                 [&](HWND hwnd) { Click(hwnd, IDC_INSTALL); }}));
            const bool stopped = Platform::Interrupted();
            Platform::ClearInterrupt();
            const std::string how = std::string(posted ? "posted " : "sent ") + (ending ? "TRUE" : "FALSE");
            EXPECT_EQ(stopped, ending == TRUE) << how;
            EXPECT_EQ(std::filesystem::file_size(target.Native("big.dat")), ending ? 3u : 64u << 20) << how;
            EXPECT_EQ(target.Tree().size(), ending ? 1u : 2u) << how << ": a temporary left, or the next copy taken";
            EXPECT_EQ(s_opened.size(), ending ? 0u : 1u) << how;
            EXPECT_EQ(dialog->messages, std::vector<std::string>{std::string(ending ? "Setup was unsuccessful"
                                                                                    : "Installation Complete") +
                                                                 "|Setup|0|finished"})
                << how;
        }
    }
}

// A directory typed or picked with a character the code page cannot write (Łódź, a full-width backslash
// or full stops, ¥ in 932) is refused with a box, and the dialog stays as it was: nothing is made, not
// the lookalike either. Run in 1252 and in 932.
TEST_F(SetupDialogTest, ALookalikeDirectoryIsRefusedAndTheDialogStaysAsItWas)
{
    WritePackage("", "Count=1\r\nFILE1=a.txt;$setupdir;C;1\r\n");
    package.Write("a.txt", "a");
    const bool japanese = GetACP() == 932;
    const std::pair<const wchar_t*, bool> names[] = {// each name, and whether the code page can write it
                                                     {L"\u0141\u00f3d\u017a", false},
                                                     {L"\u03a9mega", japanese},
                                                     {L"A\uff3cB", japanese},
                                                     {L"sub\\\uff0e\uff0e\\\uff0e\uff0e\\up", japanese},
                                                     {L"A\u00a5B", !japanese}};
    const std::wstring base = target.Native().wstring() + L"\\base\\";
    size_t refused = 0;
    std::wstring typed;
    EXPECT_EQ(IDCANCEL, Run({[&](HWND hwnd) {
                  Click(hwnd, IDC_AGREE);
                  for (const auto& [name, writable] : names) {
                      if (writable)
                          continue;
                      SetDlgItemTextW(hwnd, IDC_DIR, (typed = base + name).c_str());
                      Click(hwnd, IDC_INSTALL);
                      ++refused;
                  }
                  dialog->pick = u8"C:\\\u0141\u00f3d\u017a";
                  Click(hwnd, IDC_BROWSE);
                  ++refused;
                  EXPECT_EQ(std::vector<std::string>(refused, std::string(kUnwritableDirText) + "|Setup|" +
                                                                  std::to_string(MB_OK | MB_ICONEXCLAMATION)),
                            dialog->messages);
                  wchar_t shown[MAX_PATH] = L"";
                  GetDlgItemTextW(hwnd, IDC_DIR, shown, MAX_PATH);
                  EXPECT_TRUE(typed == shown) << "the pick was taken";
                  EXPECT_EQ("dbi", EnabledOf(hwnd));
                  ExpectView(hwnd, false);
                  PressKey(hwnd, VK_ESCAPE);
              }}));
    EXPECT_EQ(target.Tree(), std::set<std::string>{});
}

// An open whose file or directory is missing passes silently, with no box of the system's: the real shell
// call, after the copies; only the result box is shown.
TEST_F(SetupDialogTest, AnOpenThatFailsShowsNoBoxButTheResult)
{
    Platform::SetShellOpener(nullptr);
    WritePackage("", "Count=2\r\nFILE1=data\\absent.exe;$setupdir;E;1\r\nFILE2=tools\\absent.exe;$setupdir;E;2\r\n");
    bool box = false;
    EXPECT_EQ(IDOK, Run({[&](HWND hwnd) {
                             Click(hwnd, IDC_AGREE);
                             TypeInto(hwnd, IDC_DIR, target.Path());
                             Click(hwnd, IDC_INSTALL);
                         },
                         Until([&] {
                             // A box of the system's would hold the dialog's thread: it is found, closed and counted.
                             if (HWND error = FindWindowA("#32770", "Error"))
                                 box = true, PostMessageA(error, WM_COMMAND, IDOK, 0);
                             return !dialog->messages.empty();
                         }),
                         [&](HWND hwnd) { Click(hwnd, IDC_INSTALL); }}));
    EXPECT_FALSE(box);
    EXPECT_EQ(std::vector<std::string>{"Installation Complete|Setup|0|finished"}, dialog->messages);
}

}  // namespace

// A WM_QUIT that arrives while files are copied waits for the run, opens included, and then ends the dialog
// without the result box; it is posted again for the loop outside.
TEST_F(SetupDialogTest, AQuitDuringTheRunWaitsForItsEnd)
{
    WritePackage("", "Count=2\r\nFILE1=big.dat;$setupdir;C;1\r\nFILE2=readme.txt;$setupdir;E;2\r\n");
    package.Write("big.dat", std::string(64 << 20, 'b'));
    s_opened.clear();
    EXPECT_EQ(IDCANCEL, Run({[&](HWND hwnd) {
                                Click(hwnd, IDC_AGREE);
                                TypeInto(hwnd, IDC_DIR, target.Path());
                                Click(hwnd, IDC_INSTALL);
                                PostQuitMessage(7);
                            }},
                            true));
    MSG quit;
    EXPECT_TRUE(PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) && quit.wParam == 7);
    EXPECT_TRUE(dialog->m_bInstalled && dialog->messages.empty());
    EXPECT_EQ(std::vector<std::string>{"readme.txt"}, s_opened);
    EXPECT_EQ(std::filesystem::file_size(target.Native("big.dat")), 64u << 20);
}

// run-as-windows.sh runs these tests with Wine reporting another Windows: they must see it.
TEST(WindowsVersion, IsTheOneTheRunAsksFor)
{
    const char* expected = getenv("KIV_EXPECT_WINDOWS");
    if (!expected)
        GTEST_SKIP() << "run as the prefix's Windows";
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof version;
    ASSERT_TRUE(GetVersionExA(&version));
    EXPECT_EQ(expected, std::to_string(version.dwMajorVersion) + "." + std::to_string(version.dwMinorVersion));
}
