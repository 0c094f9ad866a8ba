// A text file of the package as the installer shows it (license.txt).
#pragma once
#include <cstddef>

// A text file as a control shows it (the licence in the dialog, kivinstall's
// prompt, kivcheck's check of it): the whole file as Platform::ReadWholeFile
// reads it, of which only the bytes before the first NUL byte are shown;
// shown receives their number, size all of them. Null when the file does
// not read.
char* ReadShownText(const char* path, size_t& shown, size_t& size);
