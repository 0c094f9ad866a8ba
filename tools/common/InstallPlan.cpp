#include "common/InstallPlan.h"

#include "install/EntryPaths.h"

namespace {

// One of the composing functions run into a buffer that holds the whole text.
template <typename Compose>
std::string Uncut(Compose compose)
{
    std::string text(compose(nullptr, 0), '\0');
    compose(&text[0], text.size() + 1);
    return text;
}

}  // namespace

PlanStep ToPlanStep(const InstallStep& step)
{
    PlanStep planned;
    planned.action = step.action;
    planned.index = step.index;
    planned.source = step.entry->szSource;
    planned.tooLong = step.tooLong;
    planned.tooLongLength = step.tooLongLength;
    if (step.action != EntryAction::Copy)
        return planned;
    if (step.tooLong == StepPath::None) {
        planned.entryDir = step.entryDir;
        planned.destPath = step.destPath;
        return planned;
    }
    // The step's own texts are cut; the author sees them whole, to tell how
    // much too long they are.
    const std::string target =
        Uncut([&](char* out, size_t size) { return NormaliseTarget(step.targetDir, out, size); });
    planned.entryDir =
        Uncut([&](char* out, size_t size) { return ComposeEntryDir(target.c_str(), *step.entry, out, size); });
    planned.destPath = Uncut(
        [&](char* out, size_t size) { return ComposeDestPath(planned.entryDir.c_str(), *step.entry, out, size); });
    return planned;
}

std::string PlanTarget(const std::string& targetDir)
{
    return Uncut([&](char* out, size_t size) { return NormaliseTarget(targetDir.c_str(), out, size); });
}

InstallPlan ComputePlan(const CSetupInfo& info, const std::string& targetDir)
{
    InstallPlan plan;
    plan.target = PlanTarget(targetDir);
    WalkInstallSteps(
        info.m_files, targetDir.c_str(),
        [](InstallStep& step, void* steps) { static_cast<std::vector<PlanStep>*>(steps)->push_back(ToPlanStep(step)); },
        &plan.steps);
    return plan;
}

const char* StepPathName(StepPath path)
{
    return path == StepPath::Target     ? "target directory"
           : path == StepPath::EntryDir ? "entry directory"
                                        : "destination path";
}
