#include "PackRun.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <system_error>

#ifdef _WIN32
#include <windows.h>
#include <shellapi.h>
#endif

#include "CheckPackage.h"
#include "ContentScan.h"
#include "FileSystem.h"
#include "InstallPlan.h"
#include "InstallSteps.h"
#include "PackOptions.h"
#include "PackageDirectory.h"
#include "PackageLayout.h"
#include "PackageNames.h"
#include "PackagePlace.h"
#include "TextBuffer.h"
#include "ToolOutput.h"
#include "WindowsNames.h"

namespace fs = std::filesystem;

namespace {

// One text of setup.inf as given, and the field of the layout that keeps it.
struct GivenText {
    const char* option;
    const std::string& text;
    char* field;
    size_t fieldSize;
};

// Fills layout's fields (kSetupKeys' values) with the texts; false, with the
// problem, when one cannot be written or does not fit its field.
bool FillTexts(const PackOptions& options, CSetupInfo& layout, std::string& problem)
{
    CopyText(layout.m_szDefaultInstall, sizeof layout.m_szDefaultInstall, kInstallKeyName);
    CopyText(layout.m_szSection, sizeof layout.m_szSection, kInstallSectionName);
    const GivenText texts[] = {
        {"--copyright", options.copyright, layout.m_szCopyright, sizeof layout.m_szCopyright},
        {"--title", options.title, layout.m_szTitle, sizeof layout.m_szTitle},
        {"--install-text", options.installText, layout.m_szInstallText, sizeof layout.m_szInstallText},
        {"--default-dir", options.defaultDir, layout.m_szDefaultDir, sizeof layout.m_szDefaultDir},
    };
    for (const GivenText& given : texts) {
        std::string text;
        const std::string start = std::string(given.option) + " " + ShownSystemPath(fs::u8path(given.text), Quotes::With);
        if (HasControlCharacter(given.text))
            problem = start + " holds a control character";
        else if (!ToPackageText(given.text, text))
            problem = start + " holds a character code page " + std::to_string(WindowsNames::CodePage()) + " cannot write";
        else if (!CopyText(given.field, given.fieldSize, text.c_str()))
            problem = start + " is " + std::to_string(text.size()) + " characters long; the installer keeps " +
                      std::to_string(given.fieldSize - 1);
        if (!problem.empty())
            return false;
    }
    return true;
}

bool IsRegularFile(const fs::path& path)
{
    std::error_code error;
    return fs::is_regular_file(fs::status(path, error));
}

// True when inner is outer or lies below it, links resolved.
bool Within(const fs::path& inner, const fs::path& outer)
{
    std::error_code error;
    const fs::path in = fs::weakly_canonical(inner, error), out = fs::weakly_canonical(outer, error);
    auto part = in.begin();
    for (const fs::path& level : out) {
        if (level.empty())
            continue;
        if (part == in.end() || *part != level)
            return false;
        ++part;
    }
    return true;
}

// The installer to put into the package: --installer, or KivSetup.exe beside
// the program, or in ../share/kivsetup/ from it (an installed layout). Empty
// when there is none.
fs::path FindInstaller(const PackOptions& options, const fs::path& program)
{
    if (!options.installer.empty())
        return fs::u8path(options.installer);
    const fs::path directory = program.parent_path();
    for (const fs::path& candidate : {directory / kInstallerFileName, directory / ".." / "share" / "kivsetup" / kInstallerFileName}) {
        if (IsRegularFile(candidate))
            return candidate.lexically_normal();
    }
    return {};
}

// Writes bytes as the file path; false with the C library's reason in error.
bool WriteBytes(const fs::path& path, const std::string& bytes, std::error_code& error)
{
#ifdef _WIN32
    FILE* out = _wfopen(path.c_str(), L"wb");
#else
    FILE* out = fopen(path.c_str(), "wb");
#endif
    bool written = out && fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
    int code = written ? 0 : errno;
    if (out && fclose(out) != 0 && written) {
        written = false;
        code = errno;
    }
    if (!written)
        error = std::error_code(code, std::generic_category());
    return written;
}

// Copies a file, keeping its last-write time.
bool CopyKeepingTime(const fs::path& from, const fs::path& to, std::error_code& error)
{
    if (!fs::copy_file(from, to, error))
        return false;
    const fs::file_time_type time = fs::last_write_time(from, error);
    if (!error)
        fs::last_write_time(to, time, error);
    return !error;
}

class CPackRun {
public:
    CPackRun(const PackOptions& options, std::string& out, std::string& err) : m_options(options), m_out(out), m_err(err) {}

    int Run(const fs::path& program);

private:
    int Fail(int status, const std::string& problem)
    {
        m_err += "kivpack: " + problem + "\n";
        return status;
    }
    bool ResolveDirectories(std::string& problem, int& status);
    bool FindOpens(const ContentScan& scan, std::vector<size_t>& opens);
    int Build(const CPackagePlace& place, const ContentScan& scan, const std::vector<PackEntry>& entries, const fs::path& installer);
    bool ReadsBack(CSetupInfo& loaded, const std::vector<PackEntry>& entries, const ContentScan& scan);
    void WarnLongPaths(const CSetupInfo& loaded);

    const PackOptions& m_options;
    std::string& m_out;
    std::string& m_err;
    CSetupInfo m_layout;
    fs::path m_content;
    fs::path m_package;
};

bool CPackRun::ResolveDirectories(std::string& problem, int& status)
{
    status = kPackUsage;
    std::error_code error;
    m_content = fs::absolute(fs::u8path(m_options.contentDir), error).lexically_normal();
    m_package = fs::absolute(fs::u8path(m_options.packageDir), error).lexically_normal();
    if (!m_package.has_filename())
        m_package = m_package.parent_path();
    if (!fs::is_directory(m_content, error))
        problem = "the content directory " + ShownSystemPath(fs::u8path(m_options.contentDir), Quotes::With) + " is not a directory";
    else if (!m_package.has_filename() || !fs::is_directory(m_package.parent_path(), error))
        problem = "the package directory " + ShownSystemPath(fs::u8path(m_options.packageDir), Quotes::With) + " has no parent directory to be made in";
    else if (Within(m_package, m_content) || Within(m_content, m_package))
        problem = "the package directory and the content directory must lie apart, neither inside the other";
    if (!problem.empty())
        return false;

    status = kPackDirInUse;
    const bool exists = fs::exists(fs::symlink_status(m_package, error));
    if (exists && !fs::is_directory(fs::status(m_package, error)))
        problem = "the package directory " + ShownSystemPath(m_package, Quotes::With) + " is there and is no directory";
    else if (exists && !m_options.force && !fs::is_empty(m_package, error))
        problem = "the package directory " + ShownSystemPath(m_package, Quotes::With) + " is not empty (--force replaces it whole)";
    return problem.empty();
}

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
            Fail(kPackUsage, "--open " + ShownSystemPath(fs::u8path(open), Quotes::With) + " names no file that is packed from the content directory");
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
    if (!ResolveDirectories(problem, status))
        return Fail(status, problem);
    for (const std::string& file : {m_options.license, m_options.logo, m_options.installer}) {
        if (!file.empty() && !IsRegularFile(fs::u8path(file)))
            return Fail(kPackUsage, ShownSystemPath(fs::u8path(file), Quotes::With) + " is not a file");
    }
    const fs::path installer = FindInstaller(m_options, program);

    const ContentScan scan = ScanContent(m_content);
    for (const std::string& note : scan.notes)
        m_err += "kivpack: note: " + note + "\n";
    std::vector<std::string> refusals = scan.refusals;
    if (refusals.empty() && scan.files.empty())
        refusals.push_back("the content directory " + ShownSystemPath(m_content, Quotes::With) + " holds no file to pack");
    std::vector<size_t> opens;
    if (!FindOpens(scan, opens))
        return kPackUsage;
    const std::vector<PackEntry> entries = ComposeEntries(scan.files, opens);
    for (const std::string& refusal : EntriesNotFitting(entries, scan.files))
        refusals.push_back(refusal);
    if (!refusals.empty()) {
        for (const std::string& refusal : refusals)
            m_err += "kivpack: " + refusal + "\n";
        return Fail(kPackRefused, "nothing was written: " + std::to_string(refusals.size()) + " problem(s) in the content");
    }

    CPackagePlace place(m_package);
    if (place.Path().empty())
        return Fail(kPackNotWritten, "cannot make a directory beside " + ShownSystemPath(m_package, Quotes::With) + ": " + place.Error().message());
    status = Build(place, scan, entries, installer);
    if (status != kPackDone)
        return status;
    if (Platform::Interrupted())
        return Fail(kPackNotWritten, "interrupted; nothing was written");
    std::string warning;
    if (!place.PutInPlace(problem, warning))
        return Fail(kPackNotWritten, problem);
    if (!warning.empty())
        m_err += "kivpack: warning: " + warning + "\n";
    if (installer.empty())
        m_err += "kivpack: warning: no KivSetup.exe beside kivpack or in ../share/kivsetup/ from it, so the package has none: "
                 "put one in (or pack with --installer) before you ship it\n";
    m_out += "packed " + std::to_string(scan.files.size()) + " files (" + std::to_string(entries.size()) + " entries) into " +
             ShownSystemPath(m_package, Quotes::With) + "\n";
    return kPackDone;
}

int CPackRun::Build(const CPackagePlace& place, const ContentScan& scan, const std::vector<PackEntry>& entries, const fs::path& installer)
{
    const fs::path& root = place.Path();
    std::error_code error;
    auto notWritten = [&](const std::string& what) {
        return Fail(kPackNotWritten, Platform::Interrupted() ? "interrupted; nothing was written"
                                                             : what + " could not be written: " + error.message());
    };
    // The licence and the logo are checked with the rest, by kivcheck's checks
    // (the logo by the installer's own bitmap check).
    const std::pair<const std::string&, const char*> presentation[] = {{m_options.license, kLicenseFileName},
                                                                       {m_options.logo, kLogoFileName}};
    for (const auto& file : presentation) {
        if (!file.first.empty() && !CopyKeepingTime(fs::u8path(file.first), root / file.second, error))
            return notWritten(file.second);
    }
    if (!installer.empty() && !CopyKeepingTime(installer, root / kInstallerFileName, error))
        return notWritten(kInstallerFileName);

    fs::path made;
    for (const ContentFile& file : scan.files) {
        const fs::path destination = root / kContentDirName / file.relative;
        if (destination.parent_path() != made) {
            made = destination.parent_path();
            fs::create_directories(made, error);
        }
        if (Platform::Interrupted() || error || !CopyKeepingTime(file.source, destination, error))
            return notWritten(ShownSystemPath(fs::u8path(file.shown), Quotes::With));
    }
    if (!WriteBytes(root / kSetupFileName, SetupFileText(m_layout), error))
        return notWritten(kSetupFileName);
    if (!WriteBytes(root / kListFileName, ListFileText(m_layout, entries), error))
        return notWritten(kListFileName);

    // The last step: the package as the installer loads it, and kivcheck's checks on it.
    CPackageDirectory inStaging;
    if (!inStaging.Enter(root, error))
        return Fail(kPackNotWritten, "cannot enter " + ShownSystemPath(root, Quotes::With) + ": " + error.message());
    CSetupInfo loaded;
    if (!ReadsBack(loaded, entries, scan))
        return Fail(kPackRefused, "nothing was written: the installer would not read the package as written");
    const CheckFindings findings = CheckPackage(loaded);
    for (const CheckWarning& warning : findings.warnings)
        m_err += "kivpack: final check: " + warning.code + ": " + Shown(warning.message) + "\n";
    if (!findings.warnings.empty())
        return Fail(kPackRefused, "nothing was written: kivcheck's checks found " + std::to_string(findings.warnings.size()) + " problem(s)");
    WarnLongPaths(loaded);
    return kPackDone;
}

// Loads the package written, in the current directory, with the installer's
// own code and compares every value with what was meant.
bool CPackRun::ReadsBack(CSetupInfo& loaded, const std::vector<PackEntry>& entries, const ContentScan& scan)
{
    if (!loaded.Load(kSetupFileName, kListFileName)) {
        m_err += "kivpack: " + LoadFailureText(loaded.GetLoadFailure()) + "\n" + "kivpack: " + kLoadErrorText + "\n";
        return false;
    }
    bool same = true;
    for (size_t i = 0; i < kSetupKeyCount; ++i) {
        if (strcmp(loaded.SetupField(i), m_layout.SetupField(i)) != 0) {
            m_err += "kivpack: the installer would read " + std::string(m_layout.KeyOf(kSetupKeys[i])) + " as " +
                     Shown(Quoted(loaded.SetupField(i))) + "\n";
            same = false;
        }
    }
    if (loaded.m_nCount < 0 || static_cast<size_t>(loaded.m_nCount) != entries.size() || loaded.m_files.GetSize() != entries.size()) {
        m_err += "kivpack: the installer would read " + std::to_string(loaded.m_files.GetSize()) + " entries, not " +
                 std::to_string(entries.size()) + "\n";
        return false;
    }
    for (size_t i = 0; i < entries.size(); ++i) {
        const FileEntry& read = loaded.m_files[i];
        if (entries[i].source != read.szSource || entries[i].dest != read.szDest || ActionOf(read) != entries[i].action) {
            m_err += "kivpack: the installer would not read the entry of " + ShownSystemPath(fs::u8path(scan.files[entries[i].file].shown), Quotes::With) + " as written\n";
            same = false;
        }
    }
    return same;
}

// Entries whose paths exceed 259 characters under the default directory are
// skipped by the installer: said, with the longest path and the longest
// target directory that leaves room for it.
void CPackRun::WarnLongPaths(const CSetupInfo& loaded)
{
    const InstallPlan plan = ComputePlan(loaded, loaded.m_szDefaultDir);
    const PlanStep* longest = nullptr;
    size_t skipped = 0;
    for (const PlanStep& step : plan.steps) {
        if (step.action != EntryAction::Copy)
            continue;
        if (!longest || step.destPath.size() > longest->destPath.size())
            longest = &step;
        skipped += step.tooLong != StepPath::None;
    }
    if (skipped == 0)
        return;
    const size_t below = longest->destPath.size() - plan.target.size();
    const size_t room = below < kPathSize - 1 ? kPathSize - 1 - below : 0;
    m_err += "kivpack: warning: under the default directory " + Shown(Quoted(loaded.m_szDefaultDir)) + " " +
             std::to_string(skipped) + " file(s) land at paths longer than " + std::to_string(kPathSize - 1) +
             " characters, which the installer skips; the longest is " + Shown(Quoted(longest->destPath), ShowAs::Path) + " (" +
             std::to_string(longest->destPath.size()) + " characters). Every file fits under a target directory of at most " +
             std::to_string(room) + " characters with its closing backslash\n";
}

// The path of the running program.
fs::path ProgramPath(const char* argv0)
{
#ifdef _WIN32
    (void)argv0;
    std::wstring path(32768, L'\0');
    path.resize(GetModuleFileNameW(nullptr, &path[0], static_cast<DWORD>(path.size())));
    return fs::path(path);
#else
    std::error_code error;
    const fs::path self = fs::read_symlink("/proc/self/exe", error);
    return error ? fs::absolute(argv0, error) : self;
#endif
}

// The arguments in UTF-8: on Windows from the UTF-16 command line, so that
// names outside the ANSI code page arrive whole.
std::vector<std::string> Arguments(int argc, char** argv)
{
#ifdef _WIN32
    int count = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
    if (wide) {
        std::vector<std::string> args;
        for (int i = 1; i < count; ++i)
            args.push_back(fs::path(wide[i]).u8string());
        LocalFree(wide);
        return args;
    }
#endif
    return std::vector<std::string>(argv + 1, argv + argc);
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

int RunPackMain(int argc, char** argv)
{
    UseBinaryStandardStreams();
    Platform::StopCopiesOnInterrupt();
    std::string out, err;
    const int status = RunPack(Arguments(argc, argv), ProgramPath(argv[0]), out, err);
    fwrite(out.data(), 1, out.size(), stdout);
    fflush(stdout);
    fwrite(err.data(), 1, err.size(), stderr);
    return status;
}
