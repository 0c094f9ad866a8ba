// Text put into the package's code page: the tools' one conversion from UTF-8.
#pragma once
#include <string>

// Converts UTF-8 into the package's code page (1252, or the one --codepage
// chose; on Windows the system's: CodePages::CodePage). False when it is not
// UTF-8 or holds a character the code page cannot write. The names and texts
// kivpack writes, a --target typed natively and a path shown on Windows all
// go through here.
bool ToPackageText(const std::string& utf8, std::string& text);
