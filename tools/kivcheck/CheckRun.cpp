#include "kivcheck/CheckRun.h"

#include "common/CodePageOption.h"
#include "common/ErrorText.h"
#include "common/LoadFailureText.h"
#include "common/PackageDirectory.h"
#include "common/SystemText.h"
#include "common/TargetText.h"
#include "kivcheck/CheckReport.h"
#include "kivcheck/JsonWriter.h"
#include "kivcheck/TextWriter.h"
#include "setupinfo/SetupInfo.h"

namespace {

// Loads the package in the current directory with the installer's own code
// and checks it, with a plan when the options name a target.
CheckReport ReportPackage(const CheckOptions& options)
{
    CheckReport report;
    CSetupInfo info;
    if (!info.Load(kSetupFileName, kListFileName)) {
        report.loadFailure = LoadFailureText(info.GetLoadFailure());
        return report;
    }
    report.loaded = true;
    report.setupPath = info.m_szSetupPath;
    for (size_t i = 0; i < kSetupValueCount; ++i)
        report.setupTexts[i] = info.Field(kSetupValues[i]);
    report.count = info.m_nCount;
    for (size_t i = 0; i < info.m_files.GetSize(); ++i)
        report.files.push_back(info.m_files[i]);
    static_cast<CheckFindings&>(report) =
        CheckPackage(info, options.hasTarget ? std::optional<std::string>(options.target) : std::nullopt);
    return report;
}

}  // namespace

int RunCheck(const std::vector<std::string>& args, std::string& out, std::string& err)
{
    CheckOptions options;
    std::string problem;
    if (!ParseArguments(args, options, problem) || !ApplyCodePage(options, problem)) {
        err += UsageProblem("kivcheck", problem, kUsage);
        return kExitUsage;
    }
    if (options.help || options.version) {
        out += options.version ? VersionLine("kivcheck") : CheckHelp();
        return kExitLoaded;
    }
    if (options.hasTarget && !InstallerTarget(options.target, TargetFrom::Package, options.target, problem)) {
        err += "kivcheck: " + problem + "\n";
        return kExitUsage;
    }

    CheckReport report;
    {
        CPackageDirectory package;
        std::error_code error;
        if (!package.Enter(options.packageDir, error))
            err += "kivcheck: cannot enter " + ShownSystemText(options.packageDir) + ": " + ErrorMessage(error) + "\n";
        else
            report = ReportPackage(options);
    }

    out += options.json ? WriteJson(report) : WriteText(report);
    if (!report.loaded) {
        if (!report.loadFailure.empty())
            err += "kivcheck: " + report.loadFailure + "\n";
        err += std::string(kLoadErrorText) + "\n";
        return kExitNotLoaded;
    }
    return options.strict && !report.warnings.empty() ? kExitWarnings : kExitLoaded;
}
