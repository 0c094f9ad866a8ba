#include "kivinstall/InstallTool.h"

#include <cstdlib>
#include <system_error>

#include "codepages/CodePages.h"
#include "common/CodePageOption.h"
#include "common/ErrorText.h"
#include "common/InstallPlan.h"
#include "common/LoadFailureText.h"
#include "common/PackageDirectory.h"
#include "common/PlanText.h"
#include "common/Shown.h"
#include "common/SystemText.h"
#include "common/TargetText.h"
#include "install/Install.h"
#include "kivinstall/InstallOptions.h"
#include "platform/Interrupt.h"
#include "platform/Platform.h"
#include "setupinfo/SetupInfo.h"
#include "setupinfo/ShownText.h"

namespace {

const char kQuestion[] = "Do you agree to the terms above?";

// The licence as the dialog shows it: its bytes up to the first NUL, for the
// terminal (UTF-8 outside Windows).
std::string LicenceText()
{
    size_t shown, size;
    char* bytes = ReadShownText(kLicenseFileName, shown, size);
    if (!bytes)
        return "";
    const std::string text = Shown(std::string(bytes, shown), ShowAs::Lines);
    free(bytes);
    return text;
}

// Only "y" or "yes", in any letter case, agree; nothing else on the line.
bool IsYes(const std::string& answer)
{
    return answer.find('\0') == std::string::npos &&
           (CodePages::EqualsNoCase(answer.c_str(), "y") || CodePages::EqualsNoCase(answer.c_str(), "yes"));
}

// True when the user agreed, or there is no licence to agree to.
bool Agreed(const InstallOptions& options, IConsole& console)
{
    if (options.acceptLicense || Platform::LookUpFile(kLicenseFileName).kind != Platform::FileKind::File)
        return true;
    if (!console.IsInteractive()) {
        console.Err(
            "kivinstall: the package has a licence (license.txt); read it, and pass --accept-license "
            "to agree to its terms without being asked\n");
        return false;
    }
    std::string licence = LicenceText();
    if (!licence.empty() && licence.back() != '\n')
        licence += '\n';
    console.Err(licence + "\n" + kQuestion + " [y/N] ");
    std::string answer;
    const bool yes = console.ReadAnswer(answer) && IsYes(answer);
    if (!yes)
        console.Err("kivinstall: not agreed; nothing is installed\n");
    return yes;
}

// Why a step failed, from what the run recorded when it failed.
std::string WhyFailed(const InstallStep& step)
{
    if (step.outcome == StepOutcome::PassedOver)
        return "passed over after an interrupt";
    const std::string reason = ErrorMessage(step.systemError);
    for (const char* name : {step.entry->szSource, step.destPath}) {
        if (!CodePages::IsCodePageText(name))
            return Shown(Quoted(name), ShowAs::Path) + " is no text of code page " +
                   std::to_string(CodePages::CodePage()) +
                   (CodePages::EndsInHalfCharacter(name) ? ": it ends with half a character" : "") +
                   ", so it names no file (" + reason + ")";
    }
    if (step.failedStage == StepStage::MakeDir)
        return "its directory " + Shown(Quoted(step.entryDir), ShowAs::Path) + " could not be made: " + reason;
    return (step.action == EntryAction::Open ? "the open failed: " : "the copy failed: ") + reason;
}

// Where a skipped copy would have gone, and which of its paths is too long,
// in the plan's words (TooLongText).
std::string WhyTooLong(const InstallStep& step)
{
    const PlanStep whole = ToPlanStep(step);
    return "-> " + Shown(Quoted(whole.destPath), ShowAs::Path) + ": " + TooLongText(whole);
}

// Tells each step as it is taken, and lets the opens through only with --open.
// Copies and opens are counted apart, as the walk numbers them: "[2/3]" is
// the second copy of three, "[open 1/1]" the first open.
class CProgress final : public IInstallObserver {
public:
    CProgress(IConsole& console, bool open) : m_console(console), m_open(open) {}

    bool BeforeStep(const InstallStep& step) override
    {
        // After an interrupt every step left is passed over: copies count as not made.
        return !Platform::Interrupted() && (step.action == EntryAction::Copy || m_open);
    }

    void AfterStep(const InstallStep& step) override
    {
        const std::string source = Shown(Quoted(step.entry->szSource), ShowAs::Path);
        std::string line;
        line.reserve(2 * source.size() + 64);
        line += step.action == EntryAction::Open ? "[open " : "[";
        line += std::to_string(step.number);
        line += '/';
        line += std::to_string(step.count);
        line += "] ";
        if (step.action == EntryAction::Open) {
            line += step.outcome == StepOutcome::Done ? "opened " + source
                    : step.outcome == StepOutcome::PassedOver && !Platform::Interrupted()
                        ? "not opened (--open opens it): " + source
                        : "could not open " + source + ": " + WhyFailed(step);
        } else if (step.outcome == StepOutcome::Done) {
            line += "copied ";
            line += source;
            line += " -> ";
            line += Shown(Quoted(step.destPath), ShowAs::Path);
            ++m_copied;
        } else {
            line += "NOT copied " + source +
                    (step.outcome == StepOutcome::PathTooLong ? " " + WhyTooLong(step) : ": " + WhyFailed(step));
            ++m_failed;
        }
        line += '\n';
        m_console.Err(line);
    }

    size_t Copied() const { return m_copied; }
    size_t Failed() const { return m_failed; }

private:
    IConsole& m_console;
    bool m_open;
    size_t m_copied = 0;
    size_t m_failed = 0;
};

int Install(const InstallOptions& options, const std::string& target, IConsole& console)
{
    CSetupInfo info;
    if (!info.Load(kSetupFileName, kListFileName)) {
        console.Err("kivinstall: " + LoadFailureText(info.GetLoadFailure()) + "\n" + kLoadErrorText + "\n");
        return kInstallNotLoaded;
    }
    if (options.dryRun) {
        size_t copies = 0, opens = 0;
        const std::string steps = WritePlanText(ComputePlan(info, target), copies, opens);
        console.Out(steps + "dry run: " + std::to_string(copies) + " to copy, " + std::to_string(opens) +
                    " to open; nothing was changed\n");
        return kInstallDone;
    }
    if (!Agreed(options, console))
        return kInstallNotAgreed;

    CProgress progress(console, options.open);
    Platform::StopCopiesOnInterrupt();
    const int notCopied = RunInstall(info.m_files, target.c_str(), &progress);
    if (Platform::Interrupted())
        console.Err("kivinstall: interrupted; the steps left were not taken\n");
    std::string summary = "installed " + std::to_string(progress.Copied()) + " of " +
                          std::to_string(progress.Copied() + progress.Failed()) + " files into " +
                          Shown(Quoted(PlanTarget(target)), ShowAs::Path);
    if (notCopied != 0)
        summary += "; " + std::to_string(notCopied) + (notCopied == 1 ? " entry was" : " entries were") + " NOT copied";
    console.Out(summary + "\n");
    return notCopied == 0 ? kInstallDone : kInstallIncomplete;
}

}  // namespace

int RunInstallTool(const std::vector<std::string>& args, IConsole& console)
{
    InstallOptions options;
    std::string problem;
    if (!ParseInstallArguments(args, options, problem) || !ApplyCodePage(options, problem)) {
        console.Err(UsageProblem("kivinstall", problem, kInstallUsageText));
        return kInstallUsage;
    }
    if (options.help || options.version) {
        console.Out(options.version ? VersionLine("kivinstall") : InstallHelp());
        return kInstallDone;
    }
    std::string target;
    if (!InstallerTarget(options.target, TargetFrom::Start, target, problem)) {
        console.Err("kivinstall: " + problem + "\n");
        return kInstallUsage;
    }
    CPackageDirectory package;
    std::error_code error;
    if (!package.Enter(options.packageDir, error)) {
        console.Err("kivinstall: cannot enter " + ShownSystemText(options.packageDir) + ": " + ErrorMessage(error) +
                    "\n" + kLoadErrorText + "\n");
        return kInstallNotLoaded;
    }
    return Install(options, target, console);
}
