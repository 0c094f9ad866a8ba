#include "checks/Checks.h"

#include "checks/PackageChecks.h"
#include "common/SideBySide.h"

void CPackageChecks::CheckFiles()
{
    CheckDescription(m_info, m_description);
    CheckPresentationFiles(m_presentation);
}

void CPackageChecks::CheckEntries() { ::CheckEntries(m_info, m_entries); }

std::vector<CheckWarning> CPackageChecks::Findings(const InstallPlan* plan) const
{
    std::vector<CheckWarning> warnings = m_description;
    warnings.insert(warnings.end(), m_entries.begin(), m_entries.end());
    if (plan)
        CheckPlan(*plan, warnings);
    warnings.insert(warnings.end(), m_presentation.begin(), m_presentation.end());
    return warnings;
}

CheckFindings CheckPackage(const CSetupInfo& info, const std::optional<std::string>& target)
{
    // The files' checks read both description files again and need nothing
    // of the entries' checks, which look at every source: they run on a
    // thread of their own meanwhile.
    CPackageChecks checks(info);
    RunBeside([&] { checks.CheckFiles(); }, [&] { checks.CheckEntries(); });
    CheckFindings findings;
    if (target)
        findings.plan = ComputePlan(info, *target);
    findings.warnings = checks.Findings(findings.plan ? &*findings.plan : nullptr);
    return findings;
}
