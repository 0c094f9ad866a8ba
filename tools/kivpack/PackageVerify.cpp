#include "kivpack/PackageVerify.h"

#include <cstring>
#include <filesystem>

#include "common/InstallPlan.h"
#include "common/LoadFailureText.h"
#include "common/Shown.h"
#include "common/SystemText.h"

// Loads the package written, in the current directory, with the installer's
// own code and compares every value with what was meant.
bool CPackageVerify::ReadsBack()
{
    std::string& err = m_readBackErr;
    if (!m_loaded.Load(kSetupFileName, kListFileName)) {
        err += "kivpack: " + LoadFailureText(m_loaded.GetLoadFailure()) + "\n" + "kivpack: " + kLoadErrorText + "\n";
        return false;
    }
    bool same = true;
    for (const SetupValue& value : kSetupValues) {
        if (strcmp(m_loaded.Field(value), m_layout.Field(value)) != 0) {
            err += "kivpack: the installer would read " + std::string(m_layout.KeyOf(value)) + " as " +
                   Shown(Quoted(m_loaded.Field(value))) + "\n";
            same = false;
        }
    }
    if (m_loaded.m_nCount < 0 || static_cast<size_t>(m_loaded.m_nCount) != m_entries.size() ||
        m_loaded.m_files.GetSize() != m_entries.size()) {
        err += "kivpack: the installer would read " + std::to_string(m_loaded.m_files.GetSize()) + " entries, not " +
               std::to_string(m_entries.size()) + "\n";
        return false;
    }
    for (size_t i = 0; i < m_entries.size(); ++i) {
        const FileEntry& read = m_loaded.m_files[i];
        if (m_entries[i].source != read.szSource || m_entries[i].dest != read.szDest ||
            ActionOf(read) != m_entries[i].action) {
            err += "kivpack: the installer would not read the entry of " +
                   ShownSystemPath(std::filesystem::u8path(m_scan.files[m_entries[i].file].shown), Quotes::With) +
                   " as written\n";
            same = false;
        }
    }
    return same;
}

// Entries whose paths exceed the installer's limit under the default
// directory are skipped by the installer: said, with the longest path and the
// longest target directory that leaves room for it.
void CPackageVerify::WarnLongPaths()
{
    const InstallPlan plan = ComputePlan(m_loaded, m_loaded.m_szDefaultDir);
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
    m_longPaths = "kivpack: warning: under the default directory " + Shown(Quoted(m_loaded.m_szDefaultDir)) + " " +
                  std::to_string(skipped) + " file(s) land at paths longer than " + std::to_string(kPathSize - 1) +
                  " characters, which the installer skips; the longest is " +
                  Shown(Quoted(longest->destPath), ShowAs::Path) + " (" + std::to_string(longest->destPath.size()) +
                  " characters). Every file fits under a target directory of at most " + std::to_string(room) +
                  " characters with its closing backslash\n";
}

void CPackageVerify::VerifyFiles()
{
    m_readsBack = ReadsBack();
    if (!m_readsBack)
        return;
    m_checks.CheckFiles();
    WarnLongPaths();
}

bool CPackageVerify::Finish(std::string& err)
{
    err += m_readBackErr;
    if (!m_readsBack) {
        err += "kivpack: nothing was written: the installer would not read the package as written\n";
        return false;
    }
    m_checks.CheckEntries();
    if (!PassesFinalCheck(m_checks.Findings(), err))
        return false;
    err += m_longPaths;
    return true;
}

bool PassesFinalCheck(const std::vector<CheckWarning>& findings, std::string& err)
{
    for (const CheckWarning& warning : findings)
        err += "kivpack: final check: " + warning.code + ": " + Shown(warning.message) + "\n";
    if (!findings.empty())
        err += "kivpack: nothing was written: kivcheck's checks found " + std::to_string(findings.size()) +
               " problem(s)\n";
    return findings.empty();
}
