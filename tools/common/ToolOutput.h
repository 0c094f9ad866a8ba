// How the tools write: package text quoted safely, the plan, the system's error messages, bytes unchanged.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

#include "InstallPlan.h"
#include "SetupInfo.h"

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

// Text of the system in UTF-8 that the package's code page cannot write (a
// name on disk), shown the same way: controls as <XX>, and every byte that
// is no UTF-8 as <XX> too.
std::string ShownUtf8(const std::string& utf8);

// The characters Shown never writes as they are: C0, DEL and C1.
bool IsControlCharacter(uint32_t c);

// Shown text in double quotes, so that blanks at its ends show.
std::string TextQuoted(const std::string& packageText);
std::string PathQuoted(const std::string& installerPath);

// The plan as text (kivcheck's report and kivinstall --dry-run); adds the
// copies it lists (not the skipped ones) and the opens.
std::string WritePlanText(const InstallPlan& plan, size_t& copies, size_t& opens);

// The system's own message for an error code (errno, or GetLastError's code).
std::string ErrorMessage(int code);

// Why Load failed, for a message: "setup.inf: No such file or directory",
// "list.inf cannot be read: Input/output error".
std::string LoadFailureText(const LoadFailure& failure);

// A path of the system as the user gave it (a command-line argument), safe
// for a terminal: in UTF-8 outside Windows, controls as <XX>.
std::string ShownSystemPath(const std::string& path);

// Standard output and error pass bytes unchanged: on Windows no LF becomes
// CR LF, so both builds write the same bytes.
void UseBinaryStandardStreams();
