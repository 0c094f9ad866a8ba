// The key lookup as it reads a description file: scanning it from its start for every value.
#pragma once
#include <cstddef>

#include "setupinfo/TextReader.h"

// Finds the value of key in section, scanning file from its start; copies
// it into destination, cut to destinationSize - 1 characters. Returns
// destination, or null with destination untouched when there is no value.
// Load takes every value from a line index (CLineIndex) that gives exactly
// these answers; this is what it is held against.
char* GetValue(CTextReader* file, const char* section, const char* key, char* destination, size_t destinationSize);
