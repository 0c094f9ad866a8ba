// The installation run's two passes as a sequence of steps: the one walk that
// the installer carries out and the tools print.
#pragma once
#include <cstddef>

#include "FileEntryArray.h"
#include "Limits.h"

// One step of the run.
struct InstallStep {
    enum class Op { Copy, Open };
    Op op;
    size_t index;  // of the entry in the file list, from 0
    const FileEntry* entry;
    // Copy steps only. pathsFit is false when the normalised target, the
    // entry directory or the destination path exceeds 259 characters: the
    // run skips the entry, and these texts are cut.
    bool pathsFit;
    char target[kPathSize];
    char entryDir[kPathSize];
    char destPath[kPathSize];
};

using InstallStepVisitor = void (*)(const InstallStep& step, void* context);

// Visits a copy step for each entry whose action is C (in any case, the
// whole field) in list order, and only then an open step for each entry
// whose action is E. Entries with any other action yield no step.
void WalkInstallSteps(const CFileEntryArray& files, const char* targetDir, InstallStepVisitor visit, void* context);

// What became of a step the run took.
enum class StepOutcome {
    Done,         // copied, or the open was started
    PassedOver,   // the observer asked for the step not to be taken
    PathTooLong,  // a copy skipped for its paths' length
    Failed,       // the copy or the open did not succeed
};

// Watches, and may steer, one installation run.
class IInstallObserver {
public:
    // Before each step; false passes over it (an unattended run lists the
    // opens without starting them). A copy passed over counts as not copied.
    virtual bool BeforeStep(const InstallStep& step) = 0;
    virtual void AfterStep(const InstallStep& step, StepOutcome outcome) = 0;

protected:
    ~IInstallObserver() = default;
};

// The installation run: carries out the walk's steps for targetDir. Returns
// the number of C entries not copied. observer may be null.
int RunInstall(const CFileEntryArray& files, const char* targetDir, IInstallObserver* observer);
