#include "InstallPlan.h"

#include "EntryPaths.h"
#include "Limits.h"
#include "PackageChecks.h"
#include "TextBuffer.h"

void ComputePlan(const CSetupInfo& info, const std::string& targetDir, CheckReport& report)
{
    report.hasTarget = true;
    char target[kPathSize];
    const bool targetFits = NormaliseTarget(targetDir.c_str(), target);
    report.target = target;
    bool anyCopy = false;

    for (size_t i = 0; i < info.m_files.GetSize(); ++i) {
        const FileEntry& entry = info.m_files[i];
        if (!EqualsNoCase(entry.szAction, "C"))
            continue;
        anyCopy = true;
        PlanStep step;
        step.op = PlanStep::Op::Copy;
        step.index = i;
        step.source = entry.szSource;
        char entryDir[kPathSize] = "";
        char destPath[kPathSize] = "";
        step.skipped = !targetFits || !ComputeEntryPaths(target, entry, entryDir, destPath);
        step.entryDir = entryDir;
        step.destPath = destPath;
        if (step.skipped && targetFits)
            Warn(report.warnings, "path-too-long",
                 "FILE" + std::to_string(i + 1) + ": the entry directory or destination path for " +
                     Quoted(entry.szSource) + " is longer than 259 characters, so the installer skips it");
        report.plan.push_back(step);
    }
    if (!targetFits && anyCopy)
        Warn(report.warnings, "path-too-long",
             "the target directory is longer than 259 characters with its closing backslash, so no file is copied");

    // Every open comes after every copy, whatever the order of the list.
    for (size_t i = 0; i < info.m_files.GetSize(); ++i) {
        const FileEntry& entry = info.m_files[i];
        if (!EqualsNoCase(entry.szAction, "E"))
            continue;
        PlanStep step;
        step.op = PlanStep::Op::Open;
        step.index = i;
        step.source = entry.szSource;
        report.plan.push_back(step);
    }
}
