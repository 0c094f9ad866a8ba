#include "common/PlanText.h"

#include "common/Shown.h"

std::string TooLongText(const PlanStep& step)
{
    const size_t limit = kPathSize - 1;
    return std::string("the ") + StepPathName(step.tooLong) + " is " + std::to_string(step.tooLongLength) +
           " characters long" + (step.tooLong == StepPath::Target ? " with its closing backslash" : "") + ", " +
           std::to_string(step.tooLongLength - limit) + " more than " + std::to_string(limit);
}

std::string WritePlanText(const InstallPlan& plan, size_t& copies, size_t& opens)
{
    std::string out = "plan for " + Shown(Quoted(plan.target), ShowAs::Path) + "\n";
    for (const PlanStep& step : plan.steps) {
        const std::string index = std::to_string(step.index);
        if (step.action == EntryAction::Open) {
            out += "  open " + index + " " + Shown(Quoted(step.source), ShowAs::Path) + "\n";
            ++opens;
        } else if (step.tooLong != StepPath::None) {
            out += "  skip " + index + " " + Shown(Quoted(step.source), ShowAs::Path) + " -> " +
                   Shown(Quoted(step.destPath), ShowAs::Path) + ": " + TooLongText(step) + "\n";
        } else {
            out += "  copy " + index + " " + Shown(Quoted(step.source), ShowAs::Path) + " -> " +
                   Shown(Quoted(step.destPath), ShowAs::Path) + "\n";
            ++copies;
        }
    }
    return out;
}
