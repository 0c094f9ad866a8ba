// The readable form of a check: the texts, the file list, the plan, the warnings and a summary.
#pragma once
#include <string>

#include "kivcheck/CheckReport.h"

// The whole report, as text.
std::string WriteText(const CheckReport& report);
