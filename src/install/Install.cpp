// The installation run: the walk's copy steps taken, then its open steps.
#include "platform/Platform.h"
#include "install/Install.h"
#include "install/MakePath.h"
#include "platform/Shell.h"

namespace {

// The entry directory's missing levels made, for the platform, which asks
// whether it can be entered: the system's code for the first level that
// could not be made, 0 when none.
int MakeMissingLevels(const char* entryDir)
{
    int error;
    MakePath(entryDir, &error);
    return error;
}

void Fail(InstallStep& step, StepStage stage, int error)
{
    step.outcome = StepOutcome::Failed;
    step.failedStage = stage;
    step.systemError = error;
}

// A copy's outcome once it has ended: copied, or failed, into a directory
// that could not be made (makeError) or by itself.
void Settle(InstallStep& step, bool copied, int makeError)
{
    if (copied)
        step.outcome = StepOutcome::Done;
    else if (makeError != 0)
        Fail(step, StepStage::MakeDir, makeError);
    else
        Fail(step, StepStage::Copy, Platform::LastError());
}

// A copy step whose copy goes on while the run walks on, reported in its
// turn. The array has a slot on Windows too, where none is ever used.
struct PendingCopy {
    InstallStep step;
    int makeError;
};
constexpr size_t kPendingSlots = Platform::kCopiesUnderWay > 0 ? Platform::kCopiesUnderWay : 1;

struct RunState {
    IInstallObserver* observer;
    int notCopied = 0;
    Platform::CCopyRun copies;
    // The copies under way, oldest first, from pending[oldest] on.
    PendingCopy pending[kPendingSlots];
    size_t oldest = 0;
    size_t underWay = 0;
};

void Report(RunState& run, const InstallStep& step)
{
    if (step.action == EntryAction::Copy && step.outcome != StepOutcome::Done)
        ++run.notCopied;
    if (run.observer)
        run.observer->AfterStep(step);
}

// Waits for the oldest copy under way and reports it.
void ReportOldest(RunState& run)
{
    PendingCopy& copy = run.pending[run.oldest];
    Settle(copy.step, run.copies.FinishOldest(), copy.makeError);
    run.oldest = (run.oldest + 1) % kPendingSlots;
    --run.underWay;
    Report(run, copy.step);
}

void ReportAll(RunState& run)
{
    while (run.underWay > 0)
        ReportOldest(run);
}

// Takes the step; true when its copy goes on past it, to be reported later.
bool TakeStep(InstallStep& step, RunState& run)
{
    if (step.action == EntryAction::Open) {
        // Started from the source location; a failed open changes no result.
        if (Platform::ShellOpen(step.entry->szSource))
            step.outcome = StepOutcome::Done;
        else
            Fail(step, StepStage::Open, Platform::LastError());
        return false;
    }
    if (step.tooLong != StepPath::None) {
        step.outcome = StepOutcome::PathTooLong;
        return false;
    }
    // The directory test, the levels made and the copy all reach the paths
    // the user chose, also from a 32-bit program on 64-bit Windows.
    Platform::CNativeFileSystemView nativeView;
    int makeError;
    if (!run.copies.PrepareEntryDir(step.entryDir, MakeMissingLevels, makeError)) {
        // The current directory could not be put back: no copy runs from elsewhere.
        Fail(step, StepStage::MakeDir, makeError);
        return false;
    }
    const Platform::CopyStart start = run.copies.Copy(step.entry->szSource, step.destPath);
    if (Platform::kCopiesUnderWay > 0 && start == Platform::CopyStart::UnderWay) {
        run.pending[(run.oldest + run.underWay++) % kPendingSlots] = {step, makeError};
        return true;
    }
    Settle(step, start == Platform::CopyStart::Copied, makeError);
    return false;
}

// Each step's outcome is reported in the walk's order: a step that ends at
// once after every copy under way. The opens start only once every copy
// has ended.
void CarryOut(InstallStep& step, void* context)
{
    RunState& run = *static_cast<RunState*>(context);
    if (step.action != EntryAction::Copy)
        ReportAll(run);
    else if (run.underWay == kPendingSlots)
        ReportOldest(run);
    if (!run.observer || run.observer->BeforeStep(step)) {
        if (TakeStep(step, run))
            return;
    } else {
        step.outcome = StepOutcome::PassedOver;
    }
    ReportAll(run);
    Report(run, step);
}

}  // namespace

int RunInstall(const CFileEntryArray& files, const char* targetDir, IInstallObserver* observer, InstallPasses passes)
{
    RunState run;
    run.observer = observer;
    WalkInstallSteps(files, targetDir, CarryOut, &run, passes);
    ReportAll(run);
    return run.notCopied;
}
