// How the tools write: package text quoted safely, the plan, the system's error messages, bytes unchanged.
#pragma once
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <system_error>

#include "common/InstallPlan.h"
#include "setupinfo/SetupInfo.h"

// How a text of the package is shown.
enum class ShowAs {
    Text,   // one line: every control character escaped
    Path,   // a path: also each backslash written as the system's separator
    Lines,  // lines (the licence): line ends (LF, CR LF) and tabs kept
};

// The one way package text reaches a terminal or a log: converted from the
// package's code page into the system's form (UTF-8 outside Windows; on
// Windows the bytes stay, in the system's own code page), with every control
// character the package holds (C0 but what ShowAs keeps, DEL, and C1 after
// conversion) written as <XX>, its number in hex, so that no escape sequence,
// bare CR or other control from a package acts on the terminal.
std::string Shown(const std::string& packageText, ShowAs kind = ShowAs::Text);

// Package text in double quotes, so that blanks at its ends show; still
// package text, for a message (kivcheck's, which keeps the package's bytes)
// or for Shown. Half a character at its end is written as <XX>, so that it
// cannot take the closing quote with it.
std::string Quoted(const std::string& packageText);

// The characters Shown never writes as they are: C0, DEL and C1.
bool IsControlCharacter(uint32_t c);

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

// The plan as text (kivcheck's report and kivinstall --dry-run); adds the
// copies it lists (not the skipped ones) and the opens.
std::string WritePlanText(const InstallPlan& plan, size_t& copies, size_t& opens);

// The system's own message for an error code (errno, or GetLastError's code),
// or for an error the standard library reports, shown as ShownSystemText
// shows it.
std::string ErrorMessage(int code);
std::string ErrorMessage(const std::error_code& error);

// Why Load failed, for a message: "setup.inf: No such file or directory",
// "list.inf cannot be read: Input/output error".
std::string LoadFailureText(const LoadFailure& failure);

// Standard output and error pass bytes unchanged: on Windows no LF becomes
// CR LF, so both builds write the same bytes.
void UseBinaryStandardStreams();
