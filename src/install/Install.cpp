// The installation run: the walk's copy steps taken, then its open steps.
#include "platform/Platform.h"
#include "install/Install.h"
#include "install/MakePath.h"
#include "setupinfo/SetupInfo.h"
#include "platform/Shell.h"

namespace {

// Makes sure the entry directory exists: it is entered to test it, and its
// levels made when it cannot be entered. The current directory is always
// put back, since relative source and destination paths are resolved
// against it. Returns the system's code for the first level that could not
// be made, or for a current directory that could not be put back (restored
// is false then, and the copy must not run); 0 when nothing failed.
int PrepareEntryDir(const char* entryDir, bool& restored)
{
    int makeError = 0;
    Platform::SavedDir saved;
    restored = true;
    if (!Platform::SaveCurrentDir(saved)) {
        // A current directory that does not fit the buffer could not be
        // restored, so it is not left: the entry directory is tested in place.
        if (!Platform::DirectoryExists(entryDir))
            MakePath(entryDir, &makeError);
        return makeError;
    }
    if (!Platform::ChangeDir(entryDir))
        MakePath(entryDir, &makeError);
    if (!Platform::RestoreCurrentDir(saved)) {
        restored = false;
        return Platform::LastError();
    }
    return makeError;
}

void Fail(InstallStep& step, StepStage stage, int error)
{
    step.outcome = StepOutcome::Failed;
    step.failedStage = stage;
    step.systemError = error;
}

void TakeStep(InstallStep& step)
{
    if (step.action == EntryAction::Open) {
        // Started from the source location; a failed open changes no result.
        if (Platform::ShellOpen(step.entry->szSource))
            step.outcome = StepOutcome::Done;
        else
            Fail(step, StepStage::Open, Platform::LastError());
        return;
    }
    if (step.tooLong != StepPath::None) {
        step.outcome = StepOutcome::PathTooLong;
        return;
    }
    // The directory test, the levels made and the copy all reach the paths
    // the user chose, also from a 32-bit program on 64-bit Windows.
    Platform::CNativeFileSystemView nativeView;
    bool restored;
    const int dirError = PrepareEntryDir(step.entryDir, restored);
    if (!restored)
        Fail(step, StepStage::MakeDir, dirError);
    else if (Platform::CopyFileOverwrite(step.entry->szSource, step.destPath))
        step.outcome = StepOutcome::Done;
    else if (dirError != 0)
        // The copy failed into a directory that could not be made.
        Fail(step, StepStage::MakeDir, dirError);
    else
        Fail(step, StepStage::Copy, Platform::LastError());
}

struct RunState {
    IInstallObserver* observer;
    int notCopied;
};

void CarryOut(InstallStep& step, void* context)
{
    RunState& run = *static_cast<RunState*>(context);
    if (!run.observer || run.observer->BeforeStep(step))
        TakeStep(step);
    else
        step.outcome = StepOutcome::PassedOver;
    if (step.action == EntryAction::Copy && step.outcome != StepOutcome::Done)
        ++run.notCopied;
    if (run.observer)
        run.observer->AfterStep(step);
}

}  // namespace

int RunInstall(const CFileEntryArray& files, const char* targetDir, IInstallObserver* observer, InstallPasses passes)
{
    RunState run = {observer, 0};
    Platform::StartRun();
    WalkInstallSteps(files, targetDir, CarryOut, &run, passes);
    return run.notCopied;
}

int Install(const CSetupInfo& info, const char* targetDir)
{
    return RunInstall(info.m_files, targetDir, nullptr);
}
