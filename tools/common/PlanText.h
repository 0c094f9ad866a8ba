// The plan as text: its steps, and why a copy is skipped, in the one wording the tools use.
#pragma once
#include <cstddef>
#include <string>

#include "common/InstallPlan.h"

// The plan as text (kivcheck's report and kivinstall --dry-run); adds the
// copies it lists (not the skipped ones) and the opens.
std::string WritePlanText(const InstallPlan& plan, size_t& copies, size_t& opens);

// Why the run skips a copy step, a path over 259 characters: "the entry
// directory is 300 characters long, 41 more than 259". The plan's skip line
// and kivcheck's path-too-long warning both say it so.
std::string TooLongText(const PlanStep& step);
