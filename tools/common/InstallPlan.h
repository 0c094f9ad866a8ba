// The steps the installation run would take for a target directory, from its own walk, without touching any file.
#pragma once
#include <cstddef>
#include <string>
#include <vector>

#include "install/Install.h"
#include "setupinfo/SetupInfo.h"

// One step as the tools show it: the walk's step with its paths whole, also
// when they exceed 259 characters and the run skips the step.
struct PlanStep {
    EntryAction action = EntryAction::Copy;
    size_t index = 0;  // position of the entry in the file list, from 0
    std::string source;
    std::string entryDir;  // copy steps only
    std::string destPath;  // copy steps only
    StepPath tooLong = StepPath::None;
    size_t tooLongLength = 0;
};

struct InstallPlan {
    std::string target;  // normalised, whole
    std::vector<PlanStep> steps;
};

// The copy steps (C entries in list order) and then the open steps (E
// entries), as Install takes them for targetDir.
InstallPlan ComputePlan(const CSetupInfo& info, const std::string& targetDir);

// The plan's target alone: targetDir normalised, whole.
std::string PlanTarget(const std::string& targetDir);

// A step of the walk as the tools show it.
PlanStep ToPlanStep(const InstallStep& step);

// The name of a path of a copy step: "target directory", "entry directory"
// or "destination path".
const char* StepPathName(StepPath path);
