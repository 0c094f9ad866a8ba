#include "kivcheck/CheckRun.h"

#include "common/SystemArguments.h"

#include <cstdio>

#include "kivcheck/CheckReport.h"
#include "codepages/CodePages.h"
#include "kivcheck/JsonWriter.h"
#include "common/PackageDirectory.h"
#include "setupinfo/SetupInfo.h"
#include "kivcheck/TextWriter.h"
#include "common/ToolOutput.h"

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
#ifndef _WIN32
    // The target is typed in the system's text, UTF-8; the plan reads it as
    // the installer would, in the package's code page (on Windows the
    // arguments are in it already).
    if (options.hasTarget) {
        std::string target(options.target.size() + 1, '\0');
        if (!CodePages::Utf8ToAnsi(options.target.c_str(), &target[0], target.size())) {
            err += "kivcheck: the target " + ShownSystemText(options.target) + " cannot be written in the package's code page (" +
                   std::to_string(CodePages::CodePage()) + ")\n";
            return kExitUsage;
        }
        options.target = target.c_str();
    }
#endif

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

int RunCheckMain(int argc, char** argv)
{
    UseBinaryStandardStreams();
    std::string out, err;
    std::vector<std::string> args;
    std::string problem;
    int status = kExitUsage;
    if (SystemArguments(argc, argv, args, problem))
        status = RunCheck(args, out, err);
    else
        err = UsageProblem("kivcheck", problem, kUsage);
    fwrite(out.data(), 1, out.size(), stdout);
    fflush(stdout);
    fwrite(err.data(), 1, err.size(), stderr);
    return status;
}
