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

// The same checks in two parts, for a package whose content is still being
// written: the files (setup.inf, list.inf, the licence and the logo) need
// nothing of the content, the entries look at every source. Each part runs
// once, in the current directory, on either thread; Findings() gives what
// CheckPackage gives, in its order.
class CPackageChecks {
public:
    explicit CPackageChecks(const CSetupInfo& info) : m_info(info) {}

    void CheckFiles();
    void CheckEntries();
    // The findings of both parts, with those of plan's when there is one.
    std::vector<CheckWarning> Findings(const InstallPlan* plan = nullptr) const;

private:
    const CSetupInfo& m_info;
    std::vector<CheckWarning> m_description;
    std::vector<CheckWarning> m_entries;
    std::vector<CheckWarning> m_presentation;
};
