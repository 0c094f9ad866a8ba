#include "kivpack/PackageBuild.h"

#include <algorithm>
#include <atomic>
#include <mutex>
#include <new>
#include <system_error>
#include <thread>
#include <utility>

#include "common/ErrorText.h"
#include "common/SideBySide.h"
#include "common/SystemText.h"
#include "kivpack/InstallerSearch.h"
#include "kivpack/PackFiles.h"
#include "platform/Interrupt.h"

namespace fs = std::filesystem;

namespace {

// At most this many files of one directory are taken at once (CopyContent).
constexpr size_t kFilesTakenAtOnce = 16;

// The runs of files that CopyContent hands out: each lies in one directory
// and holds at most kFilesTakenAtOnce files; the start of each, then the end.
std::vector<size_t> RunsOfFiles(const std::vector<ContentFile>& files)
{
    std::vector<size_t> starts;
    for (size_t i = 0; i < files.size(); ++i) {
        if (starts.empty() || i - starts.back() == kFilesTakenAtOnce || files[i].packageDir != files[i - 1].packageDir)
            starts.push_back(i);
    }
    starts.push_back(files.size());
    return starts;
}

// Copies the content files below content, several at a time: each copy is a
// new file of its own, independent of the others, and on more than one
// processor their work in the kernel overlaps. The files are taken in runs
// of one directory's (RunsOfFiles), so that two threads seldom make files in
// one directory at the same time, where each would wait for the other's
// hold on it. The directories are made in order by this thread while the
// others copy the runs whose directory is there. False, with the index of
// the file that could not be written and the system's reason, when one
// fails; that is the first in the scan's order to fail, as one copy at a time
// would find it: the runs are taken in order, and every file before the
// first failure found so far is still copied, so every file before the one
// reported has been tried by the time the copies end.
bool CopyContent(const fs::path& content, const std::vector<ContentFile>& files, size_t& failed, std::string& reason)
{
    std::vector<fs::path> destinations(files.size());
    const std::vector<size_t> runs = RunsOfFiles(files);
    // The next run to take, how many files have their directory made (and
    // their destination written), whether the directories are done, and the
    // first file known to have failed (files.size() while none has).
    std::atomic<size_t> next{0};
    std::atomic<size_t> ready{0};
    std::atomic<bool> made{false};
    std::atomic<size_t> firstFailed{files.size()};
    std::mutex failure;
    failed = files.size();
    auto fail = [&](size_t i, const std::string& why) {
        const std::lock_guard<std::mutex> guard(failure);
        if (i < failed) {
            failed = i;
            reason = why;
            firstFailed = i;
        }
    };
    auto copy = [&] {
        for (size_t run; (run = next++) + 1 < runs.size() && runs[run] < firstFailed;) {
            // A run whose directory is not made yet waits for it; one whose
            // directory could not be made is not copied.
            const size_t end = runs[run + 1];
            while (end > ready.load(std::memory_order_acquire)) {
                if (made.load(std::memory_order_acquire) && end > ready.load(std::memory_order_acquire))
                    return;
                std::this_thread::yield();
            }
            for (size_t i = runs[run]; i < end && i < firstFailed; ++i) {
                std::string copyReason;
                bool copied = false;
                try {
                    copied = !Platform::Interrupted() && CopyKeepingTime(files[i].source, destinations[i], copyReason);
                } catch (const std::bad_alloc&) {
                    copyReason = ErrorMessage(std::make_error_code(std::errc::not_enough_memory));
                }
                if (!copied)
                    fail(i, copyReason);
            }
        }
    };
    // The directories are made here in order while the helpers copy; then
    // this thread copies too.
    RunOnHelpers(copy, [&] {
        fs::path directory;
        for (size_t i = 0; i < files.size(); ++i) {
            destinations[i] = content / files[i].relative;
            if (destinations[i].parent_path() != directory) {
                // Its parent is made already, unless no file lies in it.
                directory = destinations[i].parent_path();
                std::error_code madeError;
                if (!fs::create_directory(directory, madeError) && madeError)
                    fs::create_directories(directory, madeError);
                if (Platform::Interrupted() || madeError) {
                    fail(i, ErrorMessage(madeError));
                    break;
                }
            }
            ready.store(i + 1, std::memory_order_release);
        }
        made.store(true, std::memory_order_release);
    });
    return failed == files.size();
}

}  // namespace

namespace {

bool NotWritten(const std::string& what, const std::string& reason, std::string& problem)
{
    problem = Platform::Interrupted() ? "interrupted; nothing was written" : what + " could not be written: " + reason;
    return false;
}

}  // namespace

bool WritePackageFiles(const fs::path& root, const PackOptions& options, const CSetupInfo& layout,
                       const std::vector<PackEntry>& entries, const fs::path& installer, std::string& problem)
{
    std::string reason;
    // The licence and the logo are checked with the rest, by kivcheck's checks
    // (the logo by the installer's own bitmap check).
    const std::pair<const std::string&, const char*> presentation[] = {{options.license, kLicenseFileName},
                                                                       {options.logo, kLogoFileName}};
    for (const auto& file : presentation) {
        if (!file.first.empty() && !CopyKeepingTime(fs::u8path(file.first), root / file.second, reason))
            return NotWritten(file.second, reason, problem);
    }
    if (!installer.empty() && !CopyKeepingTime(installer, root / kInstallerFileName, reason))
        return NotWritten(kInstallerFileName, reason, problem);
    if (!WriteBytes(root / kSetupFileName, SetupFileText(layout), reason))
        return NotWritten(kSetupFileName, reason, problem);
    if (!WriteBytes(root / kListFileName, ListFileText(layout, entries), reason))
        return NotWritten(kListFileName, reason, problem);
    return true;
}

bool CopyPackageContent(const fs::path& root, const ContentScan& scan, std::string& problem)
{
    size_t failed;
    std::string reason;
    if (!CopyContent(root / kContentDirName, scan.files, failed, reason))
        return NotWritten(ShownSystemPath(fs::u8path(scan.files[failed].shown), Quotes::With), reason, problem);
    return true;
}
