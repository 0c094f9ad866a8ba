// GetPrefix: the part of a text before the first occurrence of a separator.
#pragma once

// If separator occurs in text, writes the part of text before its first
// occurrence into out (empty when text begins with it) and returns out.
// Otherwise writes the empty text into out and returns null, so the result
// tells "begins with the separator" from "holds no separator at all".
// out must have room for strlen(text) + 1 bytes.
char* GetPrefix(const char* text, const char* separator, char* out);
