#include "checks/Checks.h"

#include "checks/PackageChecks.h"
#include "common/SideBySide.h"

CheckFindings CheckPackage(const CSetupInfo& info, const std::optional<std::string>& target)
{
    // The description's checks read both files again and need nothing of
    // the entries' checks, which look at every source: they run on a thread
    // of their own meanwhile, and their findings come first, as one after
    // the other gives them.
    std::vector<CheckWarning> description;
    CheckFindings findings;
    RunBeside([&] { CheckDescription(info, description); }, [&] { CheckEntries(info, findings.warnings); });
    findings.warnings.insert(findings.warnings.begin(), description.begin(), description.end());
    if (target) {
        findings.plan = ComputePlan(info, *target);
        CheckPlan(*findings.plan, findings.warnings);
    }
    CheckPresentationFiles(findings.warnings);
    return findings;
}
