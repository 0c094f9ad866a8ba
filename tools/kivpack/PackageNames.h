// The names and texts kivpack puts into a package: the one conversion from
// the system's text (UTF-8) into the package's code page, and the names a
// package can carry.
#pragma once
#include <string>
#include <vector>

// Converts text of the system (UTF-8; on Windows the tools take names as
// path::u8string() too) into the package's code page (1252, or the one
// --codepage chose: CodePages::CodePage). False when it is not UTF-8 or
// holds a character the code page cannot write. Every name and text kivpack
// writes goes through here.
bool ToPackageText(const std::string& utf8, std::string& text);

// True when UTF-8 text holds a control character: U+0000 to U+001F, U+007F,
// or U+0080 to U+009F (which terminals read as controls too).
bool HasControlCharacter(const std::string& utf8);

// Why one name (a file or directory, UTF-8) cannot stand in a package: each
// problem as a phrase, none when it can. packageName receives it converted.
std::vector<std::string> NameProblems(const std::string& utf8, std::string& packageName);

