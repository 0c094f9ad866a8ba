#include "InstallPlan.h"

#include "EntryPaths.h"
#include "InstallSteps.h"
#include "PackageChecks.h"

namespace {

// One of the composing functions run into a buffer that holds the whole text.
template <typename Compose>
std::string Uncut(Compose compose)
{
    std::string text(compose(nullptr, 0), '\0');
    compose(&text[0], text.size() + 1);
    return text;
}

struct PlanContext {
    CheckReport& report;
    bool anyCopy;
};

void RecordStep(const InstallStep& step, void* context)
{
    PlanContext& plan = *static_cast<PlanContext*>(context);
    PlanStep recorded;
    recorded.index = step.index;
    recorded.source = step.entry->szSource;
    if (step.op == InstallStep::Op::Open) {
        recorded.op = PlanStep::Op::Open;
        plan.report.plan.push_back(recorded);
        return;
    }
    plan.anyCopy = true;
    recorded.op = PlanStep::Op::Copy;
    recorded.skipped = !step.pathsFit;
    // A skipped step shows the whole texts, so the author sees which path
    // is too long and by how much.
    const FileEntry& entry = *step.entry;
    recorded.entryDir = Uncut([&](char* out, size_t size) {
        return ComposeEntryDir(plan.report.target.c_str(), entry, out, size);
    });
    recorded.destPath = Uncut([&](char* out, size_t size) {
        return ComposeDestPath(recorded.entryDir.c_str(), entry, out, size);
    });
    if (recorded.skipped && plan.report.target.size() < kPathSize) {
        const bool dirTooLong = recorded.entryDir.size() >= kPathSize;
        const size_t length = dirTooLong ? recorded.entryDir.size() : recorded.destPath.size();
        Warn(plan.report.warnings, "path-too-long",
             FileKeyName(step.index) + ": the " + (dirTooLong ? "entry directory" : "destination path") + " for " +
                 Quoted(entry.szSource) + " is " + std::to_string(length) + " characters long, " +
                 std::to_string(length - (kPathSize - 1)) + " more than 259, so the installer skips it");
    }
    plan.report.plan.push_back(recorded);
}

}  // namespace

void ComputePlan(const CSetupInfo& info, const std::string& targetDir, CheckReport& report)
{
    report.hasTarget = true;
    report.target = Uncut([&](char* out, size_t size) { return NormaliseTarget(targetDir.c_str(), out, size); });
    PlanContext plan = {report, false};
    WalkInstallSteps(info.m_files, targetDir.c_str(), RecordStep, &plan);
    if (report.target.size() >= kPathSize && plan.anyCopy)
        Warn(report.warnings, "path-too-long",
             "the target directory is " + std::to_string(report.target.size()) +
                 " characters long with its closing backslash, longer than 259, so no file is copied");
}
