// Making the missing directory levels of a path, and GetPrefix, the text cut it walks them with.
#pragma once

// If the character separator (a single byte) occurs in text, writes the part
// of text before its first occurrence into out (empty when text begins with
// it) and returns out. Otherwise writes the empty text into out and returns
// null, so the result tells "begins with the separator" from "holds no
// separator at all". The text is read character by character: the second
// byte of a two-byte character is never the separator. out must have room
// for strlen(text) + 1 bytes.
char* GetPrefix(const char* text, char separator, char* out);

// Makes every missing directory level of path, outermost first: the levels
// are the prefixes of path that end with a backslash; the text after the last
// backslash is a file name and never made. A level that cannot be made does
// not stop the walk. Returns -1 for a null or empty path and -2 for one
// longer than 259 characters, making nothing then; 0 otherwise. firstError,
// when given, receives the system's code for the first level that was
// missing and could not be made (0 when none).
int MakePath(const char* path, int* firstError = nullptr);
