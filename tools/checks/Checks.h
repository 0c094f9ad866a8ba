// kivcheck's checks: a package loaded by the installer's own code in, the findings out.
#pragma once
#include <optional>
#include <string>
#include <vector>

#include "common/InstallPlan.h"
#include "setupinfo/SetupInfo.h"

// One finding; code is stable and meant for tools, message for people. The
// message holds the package's text as it is, in the package's code page.
struct CheckWarning {
    std::string code;
    std::string message;
};

struct CheckFindings {
    std::vector<CheckWarning> warnings;
    std::optional<InstallPlan> plan;  // only with a target directory
};

// Checks the package in the current directory, from which info was loaded
// (CSetupInfo::Load of kSetupFileName and kListFileName); with a target, the
// text a user would leave in the directory field, also plans the
// installation into it.
CheckFindings CheckPackage(const CSetupInfo& info, const std::optional<std::string>& target = std::nullopt);
