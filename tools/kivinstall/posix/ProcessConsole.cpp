// kivinstall's terminal on POSIX systems.
#include "kivinstall/ProcessConsole.h"

#include <cstdio>
#include <unistd.h>

bool CProcessConsole::IsInteractive() { return isatty(fileno(stdin)) && isatty(fileno(stderr)); }

void PrepareForOpens() {}
