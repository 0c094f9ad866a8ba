// The rules by which a description file's lines are read: the header and key
// tests, the taking of a value and the name of a FILE key. Every reader of the
// files (the line index that Load answers from, kivcheck's checks, and the
// tests' scan of the whole file for every value) calls these.
#pragma once
#include <cstddef>

#include "setupinfo/Limits.h"

// What one lookup matches lines against.
struct MatchTexts {
    char header[kLineSize];   // "[SECTION]", upper-cased
    char keyText[kLineSize];  // "KEY=", upper-cased
    size_t keyLength;         // the key's length: where its line's first "=" stands
};

// Builds the match texts of a section and a key. False when either text does
// not fit a line: it could never occur in one.
bool BuildMatchTexts(const char* section, const char* key, MatchTexts& texts);

// The line is the section's header line when its upper-cased text contains
// the header text anywhere (also inside a comment or after other text).
bool IsHeaderLine(const char* line, const MatchTexts& texts);

// The line is the key's line when its first "=" stands right after as many
// characters as the key has and its upper-cased text contains the key text
// anywhere. Blanks are not trimmed: " Title=" and "Title =" are no lines of
// Title.
bool IsKeyLine(const char* line, const MatchTexts& texts);

// Takes the value that starts just after a key line's first "=": the LF that
// ends the line is dropped (a CR inside the value costs its last character
// instead, as it always has), and the rest is copied into destination, cut to
// destinationSize - 1 characters. Returns destination, or null for an empty
// value, which counts as missing.
char* TakeValue(const char* value, char* destination, size_t destinationSize);

// The keys of list.inf's entries: FILE1, FILE2, ...
constexpr char kFileKeyPrefix[] = "FILE";

// "FILE" and the largest 32-bit number, 4294967295, and the NUL.
constexpr size_t kFileKeySize = 15;

// Writes the key of entry n, "FILE" followed by n in decimal without leading
// zeros, into key (kFileKeySize bytes).
void MakeFileKey(unsigned n, char* key);

// Reads the name of a FILE key at the start of text: "FILE" in any case and
// a decimal number from 1 to 4294967295, written with or without leading
// zeros. Returns the length of the name, 0 when text does not start with
// one; number receives its number and leadingZeros tells whether zeros stand
// before it (such a name is not the key MakeFileKey makes).
size_t ReadFileKey(const char* text, unsigned& number, bool& leadingZeros);
