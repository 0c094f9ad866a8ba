// The readable form of a check: the texts, the file list, the plan, the warnings and a summary.
#pragma once
#include <string>

#include "CheckReport.h"

// Installer text in double quotes; control characters as <XX> in hex, so that
// blanks at the ends and stray CRs show. Other bytes are written as they are.
std::string TextQuoted(const std::string& bytes);

std::string WriteText(const CheckReport& report);

// The plan's part of the readable report (kivinstall --dry-run prints the
// same); adds the copies it lists (not the skipped ones) and the opens.
std::string WritePlanText(const CheckReport& report, size_t& copies, size_t& opens);
