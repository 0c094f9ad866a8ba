#include "kivpack/PackageVerify.h"

#include <cstring>
#include <filesystem>

#include "checks/Checks.h"
#include "common/InstallPlan.h"
#include "common/LoadFailureText.h"
#include "common/Shown.h"
#include "common/SystemText.h"

namespace {

// Loads the package written, in the current directory, with the installer's
// own code and compares every value with what was meant.
bool ReadsBack(CSetupInfo& loaded, const CSetupInfo& layout, const std::vector<PackEntry>& entries,
               const ContentScan& scan, std::string& err)
{
    if (!loaded.Load(kSetupFileName, kListFileName)) {
        err += "kivpack: " + LoadFailureText(loaded.GetLoadFailure()) + "\n" + "kivpack: " + kLoadErrorText + "\n";
        return false;
    }
    bool same = true;
    for (const SetupValue& value : kSetupValues) {
        if (strcmp(loaded.Field(value), layout.Field(value)) != 0) {
            err += "kivpack: the installer would read " + std::string(layout.KeyOf(value)) + " as " +
                   Shown(Quoted(loaded.Field(value))) + "\n";
            same = false;
        }
    }
    if (loaded.m_nCount < 0 || static_cast<size_t>(loaded.m_nCount) != entries.size() ||
        loaded.m_files.GetSize() != entries.size()) {
        err += "kivpack: the installer would read " + std::to_string(loaded.m_files.GetSize()) + " entries, not " +
               std::to_string(entries.size()) + "\n";
        return false;
    }
    for (size_t i = 0; i < entries.size(); ++i) {
        const FileEntry& read = loaded.m_files[i];
        if (entries[i].source != read.szSource || entries[i].dest != read.szDest ||
            ActionOf(read) != entries[i].action) {
            err += "kivpack: the installer would not read the entry of " +
                   ShownSystemPath(std::filesystem::u8path(scan.files[entries[i].file].shown), Quotes::With) +
                   " as written\n";
            same = false;
        }
    }
    return same;
}

// Entries whose paths exceed the installer's limit under the default
// directory are skipped by the installer: said, with the longest path and the
// longest target directory that leaves room for it.
void WarnLongPaths(const CSetupInfo& loaded, std::string& err)
{
    const InstallPlan plan = ComputePlan(loaded, loaded.m_szDefaultDir);
    const PlanStep* longest = nullptr;
    size_t skipped = 0;
    for (const PlanStep& step : plan.steps) {
        if (step.action != EntryAction::Copy)
            continue;
        if (!longest || step.destPath.size() > longest->destPath.size())
            longest = &step;
        skipped += step.tooLong != StepPath::None;
    }
    if (skipped == 0)
        return;
    const size_t below = longest->destPath.size() - plan.target.size();
    const size_t room = below < kPathSize - 1 ? kPathSize - 1 - below : 0;
    err += "kivpack: warning: under the default directory " + Shown(Quoted(loaded.m_szDefaultDir)) + " " +
           std::to_string(skipped) + " file(s) land at paths longer than " + std::to_string(kPathSize - 1) +
           " characters, which the installer skips; the longest is " + Shown(Quoted(longest->destPath), ShowAs::Path) +
           " (" + std::to_string(longest->destPath.size()) +
           " characters). Every file fits under a target directory of at most " + std::to_string(room) +
           " characters with its closing backslash\n";
}

}  // namespace

bool PassesFinalCheck(const CSetupInfo& loaded, std::string& err)
{
    const CheckFindings findings = CheckPackage(loaded);
    for (const CheckWarning& warning : findings.warnings)
        err += "kivpack: final check: " + warning.code + ": " + Shown(warning.message) + "\n";
    if (!findings.warnings.empty())
        err += "kivpack: nothing was written: kivcheck's checks found " + std::to_string(findings.warnings.size()) +
               " problem(s)\n";
    return findings.warnings.empty();
}

bool VerifyPackage(const CSetupInfo& layout, const std::vector<PackEntry>& entries, const ContentScan& scan,
                   std::string& err)
{
    CSetupInfo loaded;
    if (!ReadsBack(loaded, layout, entries, scan, err)) {
        err += "kivpack: nothing was written: the installer would not read the package as written\n";
        return false;
    }
    if (!PassesFinalCheck(loaded, err))
        return false;
    WarnLongPaths(loaded, err);
    return true;
}
