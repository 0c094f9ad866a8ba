// Text of the system the tool runs on: package text written in its form, its own text (arguments, paths, messages) shown safely.
#pragma once
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>

#include "common/Shown.h"

enum class Quotes { Without, With };

// Text of the system, safe for a terminal, with its controls as <XX>, and in
// double quotes when asked: an argument as a tool got it on its command line
// (UTF-8 outside Windows, every byte that is no UTF-8 as <XX>; the system's
// code page on Windows), a path among them, or a message of the system.
std::string ShownSystemText(const std::string& text, Quotes quotes = Quotes::Without);
// A path as the file system names it, shown the same way: outside Windows in
// UTF-8; on Windows in the system's code page, or in UTF-8 when that cannot
// write it.
std::string ShownSystemPath(const std::filesystem::path& path, Quotes quotes = Quotes::Without);

// Shown text in double quotes when asked.
std::string InQuotes(const std::string& shown, Quotes quotes);

// Text in UTF-8 shown as Shown shows package text: controls as <XX>, and
// every byte that is no UTF-8 as <XX> too.
std::string ShownUtf8(const std::string& utf8);

// The separator a path is shown with: the system's ('/' natively, '\\' on
// Windows).
extern const char kSystemSeparator;

// Shown's last step: appends the character c of package text, which its
// bytes (length of them) write in the package's code page, in the system's
// form. Natively in UTF-8, a path's backslash as "/"; on Windows the bytes
// as they are, in the system's code page, which is the package's.
void AppendInSystemForm(std::string& shown, const char* bytes, size_t length, uint32_t c, ShowAs kind);

// Text of the system (an argument, natively UTF-8; on Windows in the code
// page already) in the package's code page; false when the code page cannot
// write it.
bool FromSystemText(const std::string& text, std::string& packageText);
