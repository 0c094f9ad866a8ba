// Opening a file as the user who started the program, through the desktop shell (Windows only).
#pragma once

// When this program runs elevated, starts the default action on file, with
// file as the parameter text and shown normally, through the desktop's own
// shell, which runs as the user who started the program, so that what it
// starts is not elevated. False, having started nothing, when the program is
// not elevated or no desktop shell answers (none runs, it is not Explorer,
// or it is Wine's): the caller then opens the file itself. Needs COM on the
// calling thread, which must live on while the shell works.
bool OpenAsDesktopUser(const char* file);
