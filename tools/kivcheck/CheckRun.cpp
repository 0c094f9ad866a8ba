#include "CheckRun.h"

#include <cstdio>

#include "InstallPlan.h"
#include "JsonWriter.h"
#include "PackageChecks.h"
#include "PackageDirectory.h"
#include "SetupInfo.h"
#include "TextWriter.h"
#include "ToolOutput.h"

CheckReport CheckPackage(const CheckOptions& options)
{
    CheckReport report;
    CSetupInfo info;
    if (!info.Load(kSetupFileName, kListFileName)) {
        report.loadFailure = LoadFailureText(info.GetLoadFailure());
        return report;
    }

    report.loaded = true;
    report.setupPath = info.m_szSetupPath;
    for (size_t i = 0; i < kSetupKeyCount; ++i)
        report.setupTexts[i] = info.SetupField(i);
    report.count = info.m_nCount;
    for (size_t i = 0; i < info.m_files.GetSize(); ++i)
        report.files.push_back(info.m_files[i]);

    CheckDescription(info, report.warnings);
    CheckEntries(info, report.warnings);
    if (options.hasTarget) {
        report.hasTarget = true;
        report.plan = ComputePlan(info, options.target);
        CheckPlan(report.plan, report.warnings);
    }
    CheckPresentationFiles(report.warnings);
    return report;
}

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

    CheckReport report;
    {
        CPackageDirectory package;
        std::error_code error;
        if (!package.Enter(options.packageDir, error))
            err += "kivcheck: cannot enter " + ShownSystemPath(options.packageDir) + ": " + error.message() + "\n";
        else
            report = CheckPackage(options);
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

int RunCheckMain(int argc, char** argv)
{
    UseBinaryStandardStreams();
    std::string out, err;
    const int status = RunCheck(std::vector<std::string>(argv + 1, argv + argc), out, err);
    fwrite(out.data(), 1, out.size(), stdout);
    fflush(stdout);
    fwrite(err.data(), 1, err.size(), stderr);
    return status;
}
