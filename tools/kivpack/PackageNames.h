// The names a package can carry, and the control characters no name or text of kivpack's may hold.
#pragma once
#include <string>
#include <vector>

// True when UTF-8 text holds a control character: U+0000 to U+001F, U+007F,
// or U+0080 to U+009F (which terminals read as controls too).
bool HasControlCharacter(const std::string& utf8);

// Why one name (a file or directory, UTF-8) cannot stand in a package: each
// problem as a phrase, none when it can. packageName receives it converted
// (ToPackageText, common/PackageText.h).
std::vector<std::string> NameProblems(const std::string& utf8, std::string& packageName);
