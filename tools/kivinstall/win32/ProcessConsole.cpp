// kivinstall's console on Windows, and COM for the shell's opens.
#include "kivinstall/ProcessConsole.h"

#include <cstdio>
#include <io.h>
#include <objbase.h>

bool CProcessConsole::IsInteractive() { return _isatty(_fileno(stdin)) && _isatty(_fileno(stderr)); }

void PrepareForOpens() { CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE); }
