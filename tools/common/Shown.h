// Package text shown safely: the one escape of control characters, and text in quotes.
#pragma once
#include <cstdint>
#include <string>

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

// The one escape: appends character (or byte) c as <XX>, its number in hex.
void AppendEscaped(std::string& shown, uint32_t c);
