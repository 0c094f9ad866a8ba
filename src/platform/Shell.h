// Opening a file with its default action, as the shell opens it.
#pragma once

namespace Platform {

// Starts the default action on a file with the file itself as the parameter
// text (ShellExecuteA, SW_SHOW) and does not wait for it. On Windows, when
// the program runs elevated, through the desktop shell, as the user who
// started it (DesktopShell.h); the thread must have COM and live on.
bool ShellOpen(const char* file);

// Replaces ShellOpen's work, so tests can record what would be opened.
// Pass nullptr to go back to the real call.
using ShellOpener = bool (*)(const char* file);
void SetShellOpener(ShellOpener opener);

}  // namespace Platform
