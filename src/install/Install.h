// The installation run's two passes as a sequence of steps: the one walk that
// the installer carries out and the tools print, and the run that takes them.
#pragma once
#include <cstddef>

#include "setupinfo/FileEntryArray.h"
#include "setupinfo/Limits.h"

// What an entry asks the run to do with its file.
enum class EntryAction { None, Copy, Open };

// The action fields that ask for them, as list.inf writes them.
constexpr char kCopyAction[] = "C";
constexpr char kOpenAction[] = "E";

// The action rule, decided here only: the whole action field "C" copies and
// "E" opens, in either letter case; anything else ("Copy", " C", empty)
// makes the entry do nothing.
EntryAction ActionOf(const FileEntry& entry);

// The paths of a copy step, in the order they are composed.
enum class StepPath { None, Target, EntryDir, DestPath };

// What became of a step the run took.
enum class StepOutcome {
    NotTaken,     // the walk alone (a plan) takes no step
    Done,         // copied, or the open was started
    PassedOver,   // the observer asked for the step not to be taken
    PathTooLong,  // a copy skipped for its paths' length
    Failed,       // see failedStage and systemError
};

// Where a failed step failed.
enum class StepStage { None, MakeDir, Copy, Open };

// How many entries of the list ask for action: the count a step's number
// goes up to.
size_t CountSteps(const CFileEntryArray& files, EntryAction action);

// Which passes a walk takes: both, in their order, or one of them (the
// dialog copies on a worker thread and opens on its own).
enum class InstallPasses { Both, Copies, Opens };

// One step of the run.
struct InstallStep {
    EntryAction action;  // Copy or Open
    size_t index;        // of the entry in the file list, from 0
    const FileEntry* entry;
    const char* targetDir;  // the target directory as the walk was given it
    // The step's place among the steps of its action, from 1, and how many
    // there are of them in the list: the copy under way is copy number of
    // count, whichever passes the walk takes.
    size_t number;
    size_t count;

    // Copy steps only: the normalised target, the entry directory and the
    // destination path, each cut to 259 characters. tooLong names the first
    // of them whose whole text is longer, and tooLongLength that whole
    // length; the run skips such a step.
    StepPath tooLong;
    size_t tooLongLength;
    char target[kPathSize];
    char entryDir[kPathSize];
    char destPath[kPathSize];

    // Set by the run once it has taken the step. A failed step tells the
    // stage that failed (a directory level that could not be made, the copy,
    // the open) and the system's code for why.
    StepOutcome outcome;
    StepStage failedStage;
    int systemError;
};

using InstallStepVisitor = void (*)(InstallStep& step, void* context);

// Visits a copy step for each entry whose action is Copy, in list order, and
// only then an open step for each entry whose action is Open (or the steps of
// one pass only). Entries with no action yield no step. The steps are not
// taken.
void WalkInstallSteps(const CFileEntryArray& files, const char* targetDir, InstallStepVisitor visit, void* context,
                      InstallPasses passes = InstallPasses::Both);

// Watches, and may steer, one installation run.
class IInstallObserver {
public:
    // Before each step; false passes over it (an unattended run lists the
    // opens without starting them). A copy passed over counts as not copied.
    virtual bool BeforeStep(const InstallStep& step) = 0;
    // After each step, with its outcome, in the walk's order. A copy that goes
    // on past its step (natively: Platform::kCopiesUnderWay) is reported once
    // it has ended, after later steps' BeforeStep; every copy is reported
    // before the first open is taken.
    virtual void AfterStep(const InstallStep& step) = 0;

protected:
    ~IInstallObserver() = default;
};

// The installation run: takes the walk's steps for targetDir. Returns the
// number of C entries not copied. observer may be null.
int RunInstall(const CFileEntryArray& files, const char* targetDir, IInstallObserver* observer,
               InstallPasses passes = InstallPasses::Both);
