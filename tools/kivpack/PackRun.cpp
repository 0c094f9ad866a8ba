#include "kivpack/PackRun.h"

#include <system_error>

#include "common/CodePageOption.h"
#include "common/ErrorText.h"
#include "common/PackageDirectory.h"
#include "common/SideBySide.h"
#include "common/SystemText.h"
#include "kivpack/ContentScan.h"
#include "kivpack/InstallerSearch.h"
#include "kivpack/PackDirectories.h"
#include "kivpack/PackFiles.h"
#include "kivpack/PackOptions.h"
#include "kivpack/PackTexts.h"
#include "kivpack/PackageBuild.h"
#include "kivpack/PackageLayout.h"
#include "kivpack/PackagePlace.h"
#include "kivpack/PackageVerify.h"
#include "platform/Interrupt.h"

namespace fs = std::filesystem;

namespace {

class CPackRun {
public:
    CPackRun(const PackOptions& options, std::string& out, std::string& err)
        : m_options(options), m_out(out), m_err(err)
    {
    }

    int Run(const fs::path& program);

private:
    int Fail(int status, const std::string& problem)
    {
        m_err += "kivpack: " + problem + "\n";
        return status;
    }
    bool FindOpens(const ContentScan& scan, std::vector<size_t>& opens);

    const PackOptions& m_options;
    std::string& m_out;
    std::string& m_err;
    CSetupInfo m_layout;
};

// The files --open names, as indexes into the scan's files; each once.
bool CPackRun::FindOpens(const ContentScan& scan, std::vector<size_t>& opens)
{
    for (const std::string& open : m_options.opens) {
        const std::string wanted = fs::u8path(open).lexically_normal().generic_u8string();
        size_t found = scan.files.size();
        for (size_t i = 0; i < scan.files.size() && found == scan.files.size(); ++i) {
            if (scan.files[i].shown == wanted)
                found = i;
        }
        if (found == scan.files.size()) {
            Fail(kPackUsage, "--open " + ShownSystemPath(fs::u8path(open), Quotes::With) +
                                 " names no file that is packed from the content directory");
            return false;
        }
        bool seen = false;
        for (size_t file : opens)
            seen = seen || file == found;
        if (!seen)
            opens.push_back(found);
    }
    return true;
}

int CPackRun::Run(const fs::path& program)
{
    std::string problem;
    if (!FillTexts(m_options, m_layout, problem)) {
        m_err += UsageProblem("kivpack", problem, kPackUsageText);
        return kPackUsage;
    }
    int status;
    PackDirectories directories;
    if (!ResolveDirectories(m_options, directories, problem, status))
        return Fail(status, problem);
    for (const std::string& file : {m_options.license, m_options.logo, m_options.installer}) {
        if (!file.empty() && !IsRegularFile(fs::u8path(file)))
            return Fail(kPackUsage, ShownSystemPath(fs::u8path(file), Quotes::With) + " is not a file");
    }
    const fs::path installer = FindInstaller(m_options, program);

    const ContentScan scan = ScanContent(directories.content);
    for (const std::string& note : scan.notes)
        m_err += "kivpack: note: " + note + "\n";
    std::vector<std::string> refusals = scan.refusals;
    if (refusals.empty() && scan.files.empty())
        refusals.push_back("the content directory " + ShownSystemPath(directories.content, Quotes::With) +
                           " holds no file to pack");
    std::vector<size_t> opens;
    if (!FindOpens(scan, opens))
        return kPackUsage;
    const std::vector<PackEntry> entries = ComposeEntries(scan.files, opens);
    for (const std::string& refusal : EntriesNotFitting(entries, scan.files))
        refusals.push_back(refusal);
    if (!refusals.empty()) {
        for (const std::string& refusal : refusals)
            m_err += "kivpack: " + refusal + "\n";
        return Fail(kPackRefused,
                    "nothing was written: " + std::to_string(refusals.size()) + " problem(s) in the content");
    }

    const fs::path& package = directories.package;
    CPackagePlace place(package);
    if (place.Path().empty())
        return Fail(kPackNotWritten, "cannot make a directory beside " + ShownSystemPath(package, Quotes::With) + ": " +
                                         ErrorMessage(place.Error()));
    if (!WritePackageFiles(place.Path(), m_options, m_layout, entries, installer, problem))
        return Fail(kPackNotWritten, problem);
    {
        // Left again before the package is put in place. The description is
        // read back and checked here while the content is copied, by
        // absolute paths, beside; the entries' sources once it is there.
        CPackageDirectory inStaging;
        std::error_code error;
        if (!inStaging.Enter(place.Path(), error))
            return Fail(kPackNotWritten,
                        "cannot enter " + ShownSystemPath(place.Path(), Quotes::With) + ": " + ErrorMessage(error));
        CPackageVerify verify(m_layout, entries, scan);
        bool copied = false;
        RunBeside([&] { verify.VerifyFiles(); }, [&] { copied = CopyPackageContent(place.Path(), scan, problem); });
        if (!copied)
            return Fail(kPackNotWritten, problem);
        if (!verify.Finish(m_err))
            return kPackRefused;
    }
    if (Platform::Interrupted())
        return Fail(kPackNotWritten, "interrupted; nothing was written");
    std::string warning;
    if (!place.PutInPlace(problem, warning))
        return Fail(kPackNotWritten, problem);
    if (!warning.empty())
        m_err += "kivpack: warning: " + warning + "\n";
    if (installer.empty())
        m_err +=
            "kivpack: warning: no KivSetup.exe beside kivpack or in ../share/kivsetup/ from it, so the package has "
            "none: "
            "put one in (or pack with --installer) before you ship it\n";
    m_out += "packed " + std::to_string(scan.files.size()) + " files (" + std::to_string(entries.size()) +
             " entries) into " + ShownSystemPath(package, Quotes::With) + "\n";
    return kPackDone;
}

}  // namespace

int RunPack(const std::vector<std::string>& args, const fs::path& program, std::string& out, std::string& err)
{
    PackOptions options;
    std::string problem;
    if (!ParsePackArguments(args, options, problem) || !ApplyCodePage(options, problem)) {
        err += UsageProblem("kivpack", problem, kPackUsageText);
        return kPackUsage;
    }
    if (options.help || options.version) {
        out += options.version ? VersionLine("kivpack") : PackHelp();
        return kPackDone;
    }
    return CPackRun(options, out, err).Run(program);
}
