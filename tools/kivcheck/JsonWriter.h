// The --json form of a check: one JSON object whose keys and order other tools rely on.
#pragma once
#include <string>

#include "kivcheck/CheckReport.h"

// The JSON text for 8-bit installer text: each byte becomes the character
// with the same number (0x80-0xFF become U+0080-U+00FF), written as UTF-8,
// quoted and escaped: the control characters (U+0000 to U+001F, DEL, U+0080
// to U+009F) as \b, \f, \n, \r, \t or \u00xx.
std::string JsonString(const std::string& bytes);

// The whole object, on one line, with a closing line end.
std::string WriteJson(const CheckReport& report);
