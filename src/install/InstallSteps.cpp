#include "InstallSteps.h"

#include "EntryPaths.h"
#include "TextBuffer.h"

void WalkInstallSteps(const CFileEntryArray& files, const char* targetDir, InstallStepVisitor visit, void* context)
{
    InstallStep step;
    // An over-long target leaves every copy step unable to run; the open
    // steps do not depend on it.
    const bool targetFits = NormaliseTarget(targetDir ? targetDir : "", step.target, kPathSize) < kPathSize;

    step.op = InstallStep::Op::Copy;
    for (size_t i = 0; i < files.GetSize(); ++i) {
        if (!EqualsNoCase(files[i].szAction, "C"))
            continue;
        step.index = i;
        step.entry = &files[i];
        // The destination path is composed from the entry directory as it
        // fits its buffer, so the directory's own length is tested too: for a
        // source that ends in a backslash (no file name) the two are one text.
        const bool entryDirFits = ComposeEntryDir(step.target, files[i], step.entryDir, kPathSize) < kPathSize;
        const bool destPathFits = ComposeDestPath(step.entryDir, files[i], step.destPath, kPathSize) < kPathSize;
        step.pathsFit = targetFits && entryDirFits && destPathFits;
        visit(step, context);
    }

    // Opened only after every copy, whatever the order of the list.
    step.op = InstallStep::Op::Open;
    step.pathsFit = true;
    step.entryDir[0] = step.destPath[0] = '\0';
    for (size_t i = 0; i < files.GetSize(); ++i) {
        if (!EqualsNoCase(files[i].szAction, "E"))
            continue;
        step.index = i;
        step.entry = &files[i];
        visit(step, context);
    }
}
