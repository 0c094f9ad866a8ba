// How the tools write: package text quoted safely, the plan, the system's error messages, bytes unchanged.
#pragma once
#include <cstddef>
#include <string>

#include "InstallPlan.h"

// Installer text in double quotes; control characters as <XX> in hex, so that
// blanks at the ends and stray CRs show. Other bytes are written as they are.
std::string TextQuoted(const std::string& bytes);

// The plan as text (kivcheck's report and kivinstall --dry-run); adds the
// copies it lists (not the skipped ones) and the opens.
std::string WritePlanText(const InstallPlan& plan, size_t& copies, size_t& opens);

// The system's own message for an error code (errno, or GetLastError's code).
std::string ErrorMessage(int code);

// Standard output and error pass bytes unchanged: on Windows no LF becomes
// CR LF, so both builds write the same bytes.
void UseBinaryStandardStreams();
