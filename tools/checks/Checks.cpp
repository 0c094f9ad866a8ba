#include "checks/Checks.h"

#include "checks/PackageChecks.h"

CheckFindings CheckPackage(const CSetupInfo& info, const std::optional<std::string>& target)
{
    CheckFindings findings;
    CheckDescription(info, findings.warnings);
    CheckEntries(info, findings.warnings);
    if (target) {
        findings.plan = ComputePlan(info, *target);
        CheckPlan(*findings.plan, findings.warnings);
    }
    CheckPresentationFiles(findings.warnings);
    return findings;
}
