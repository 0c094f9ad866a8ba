#include "checks/Checks.h"

#include <exception>
#include <system_error>
#include <thread>

#include "checks/PackageChecks.h"

CheckFindings CheckPackage(const CSetupInfo& info, const std::optional<std::string>& target)
{
    // The description's checks read both files again and need nothing of
    // the entries' checks, which look at every source: they run on a thread
    // of their own meanwhile, and their findings come first, as one after
    // the other gives them.
    std::vector<CheckWarning> description;
    std::exception_ptr failure;
    auto describe = [&] {
        try {
            CheckDescription(info, description);
        } catch (...) {
            failure = std::current_exception();
        }
    };
    std::thread describing;
    try {
        describing = std::thread(describe);
    } catch (const std::system_error&) {
        describe();
    }
    CheckFindings findings;
    CheckEntries(info, findings.warnings);
    if (describing.joinable())
        describing.join();
    if (failure)
        std::rethrow_exception(failure);
    findings.warnings.insert(findings.warnings.begin(), description.begin(), description.end());
    if (target) {
        findings.plan = ComputePlan(info, *target);
        CheckPlan(*findings.plan, findings.warnings);
    }
    CheckPresentationFiles(findings.warnings);
    return findings;
}
