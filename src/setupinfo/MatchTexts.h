// What every key lookup shares: its two match texts and the taking of a value.
#pragma once
#include <cstddef>

// Builds the upper-cased header text "[SECTION]" and key text "KEY=", each in
// kLineSize bytes. False when either does not fit a line: it could never
// occur in one.
bool BuildMatchTexts(const char* section, const char* key, char* header, char* keyText);

// Takes the value that starts just after a key line's first "=": the LF that
// ends the line is dropped (a CR inside the value costs its last character
// instead, as it always has), and the rest is copied into destination, cut to
// destinationSize - 1 characters. Returns destination, or null for an empty
// value, which counts as missing.
char* TakeValue(const char* value, char* destination, size_t destinationSize);
