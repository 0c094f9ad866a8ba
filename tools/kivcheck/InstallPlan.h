// The steps the installation run would take for a target directory, computed without touching any file.
#pragma once
#include <string>

#include "CheckReport.h"
#include "SetupInfo.h"

// Fills report.target and report.plan with the copy steps (C entries in list
// order) and then the open steps (E entries), as CSetupInfo::Install takes
// them for targetDir; warns path-too-long for each copy it would skip.
void ComputePlan(const CSetupInfo& info, const std::string& targetDir, CheckReport& report);
