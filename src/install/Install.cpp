// The installation run: the walk's copy steps carried out, then its open steps.
#include "FileSystem.h"
#include "InstallSteps.h"
#include "SetupInfo.h"

namespace {

// Makes sure the entry directory exists: it is entered to test it, and made
// when it cannot be entered. The current directory is always put back, since
// relative source and destination paths are resolved against it. Returns
// false when it could not be put back; the copy must not run then.
bool PrepareEntryDir(const char* entryDir)
{
    char saved[kPathSize];
    if (!Platform::GetCurrentDir(saved, sizeof saved)) {
        // A current directory that does not fit the buffer could not be
        // restored, so it is not left: the entry directory is tested in place.
        if (!Platform::DirectoryExists(entryDir))
            CSetupInfo::MakePath(entryDir);
        return true;
    }
    if (!Platform::ChangeDir(entryDir))
        CSetupInfo::MakePath(entryDir);
    return Platform::ChangeDir(saved);
}

StepOutcome TakeStep(const InstallStep& step)
{
    if (step.op == InstallStep::Op::Open) {
        // Started from the source location; a failed open changes no result.
        return Platform::ShellOpen(step.entry->szSource) ? StepOutcome::Done : StepOutcome::Failed;
    }
    if (!step.pathsFit)
        return StepOutcome::PathTooLong;
    if (!PrepareEntryDir(step.entryDir))
        return StepOutcome::Failed;
    return Platform::CopyFileOverwrite(step.entry->szSource, step.destPath) ? StepOutcome::Done
                                                                             : StepOutcome::Failed;
}

struct RunState {
    IInstallObserver* observer;
    int notCopied;
};

void CarryOut(const InstallStep& step, void* context)
{
    RunState& run = *static_cast<RunState*>(context);
    const bool take = !run.observer || run.observer->BeforeStep(step);
    const StepOutcome outcome = take ? TakeStep(step) : StepOutcome::PassedOver;
    if (step.op == InstallStep::Op::Copy && outcome != StepOutcome::Done)
        ++run.notCopied;
    if (run.observer)
        run.observer->AfterStep(step, outcome);
}

}  // namespace

int RunInstall(const CFileEntryArray& files, const char* targetDir, IInstallObserver* observer)
{
    RunState run = {observer, 0};
    WalkInstallSteps(files, targetDir, CarryOut, &run);
    return run.notCopied;
}

int CSetupInfo::Install(const char* targetDir) const
{
    return RunInstall(m_files, targetDir, nullptr);
}
