#include "install/Install.h"

#include "install/EntryPaths.h"
#include "text/Text.h"

EntryAction ActionOf(const FileEntry& entry)
{
    // One letter, the whole field: a letter is a character of its own.
    const char letter = entry.szAction[1] == '\0' ? ToUpperAscii(entry.szAction[0]) : '\0';
    return letter == kCopyAction[0]   ? EntryAction::Copy
           : letter == kOpenAction[0] ? EntryAction::Open
                                      : EntryAction::None;
}

size_t CountSteps(const CFileEntryArray& files, EntryAction action)
{
    size_t count = 0;
    for (size_t i = 0; i < files.GetSize(); ++i)
        count += ActionOf(files[i]) == action;
    return count;
}

namespace {

// Records the first path of the step whose whole text (length) does not fit.
void TestFit(InstallStep& step, StepPath path, size_t length)
{
    if (step.tooLong == StepPath::None && length >= kPathSize) {
        step.tooLong = path;
        step.tooLongLength = length;
    }
}

}  // namespace

void WalkInstallSteps(const CFileEntryArray& files, const char* targetDir, InstallStepVisitor visit, void* context,
                      InstallPasses passes)
{
    InstallStep step = {};
    step.targetDir = targetDir ? targetDir : "";
    const size_t targetLength = NormaliseTarget(step.targetDir, step.target, kPathSize);
    const size_t copies = CountSteps(files, EntryAction::Copy), opens = CountSteps(files, EntryAction::Open);

    // Copies first, opens only after every copy, whatever the order of the list.
    const EntryAction all[] = {EntryAction::Copy, EntryAction::Open};
    for (EntryAction pass : all) {
        if ((pass == EntryAction::Copy && passes == InstallPasses::Opens) ||
            (pass == EntryAction::Open && passes == InstallPasses::Copies))
            continue;
        step.action = pass;
        step.number = 0;
        step.count = pass == EntryAction::Copy ? copies : opens;
        for (size_t i = 0; i < files.GetSize(); ++i) {
            if (ActionOf(files[i]) != pass)
                continue;
            step.index = i;
            step.entry = &files[i];
            ++step.number;
            step.outcome = StepOutcome::NotTaken;
            step.failedStage = StepStage::None;
            step.systemError = 0;
            step.tooLong = StepPath::None;
            step.tooLongLength = 0;
            if (pass == EntryAction::Copy) {
                // An over-long target leaves every copy step unable to run.
                // The destination path is composed from the entry directory
                // as it fits its buffer, so the directory's own length is
                // tested too: for a source that ends in a backslash (no file
                // name) the two are one text.
                TestFit(step, StepPath::Target, targetLength);
                TestFit(step, StepPath::EntryDir, ComposeEntryDir(step.target, files[i], step.entryDir, kPathSize));
                TestFit(step, StepPath::DestPath, ComposeDestPath(step.entryDir, files[i], step.destPath, kPathSize));
            } else {
                step.entryDir[0] = step.destPath[0] = '\0';
            }
            visit(step, context);
        }
    }
}
