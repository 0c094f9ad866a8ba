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

// Copies the content files below content, several at a time: each copy is a
// new file of its own, independent of the others, and on more than one
// processor their work in the kernel overlaps. The directories are made in
// order by this thread while the others copy the files whose directories are
// there. False, with the index of the file that could not be written and
// the system's reason, when one fails; that is the first in the scan's order to fail, as one
// copy at a time would find it: the files are taken in order, so every file
// before it has been taken, and is finished, by the time the copies end.
bool CopyContent(const fs::path& content, const std::vector<ContentFile>& files, size_t& failed, std::string& reason)
{
    std::vector<fs::path> destinations(files.size());
    // The next file to take, how many files have their directory made (and
    // their destination written), and whether the directories are done.
    std::atomic<size_t> next{0};
    std::atomic<size_t> ready{0};
    std::atomic<bool> made{false};
    std::atomic<bool> stop{false};
    std::mutex failure;
    failed = files.size();
    auto fail = [&](size_t i, const std::string& why) {
        const std::lock_guard<std::mutex> guard(failure);
        if (i < failed) {
            failed = i;
            reason = why;
        }
        stop = true;
    };
    auto copy = [&] {
        for (size_t i; !stop && (i = next++) < files.size();) {
            // A file whose directory is not made yet waits for it; one whose
            // directory could not be made is not copied.
            while (i >= ready.load(std::memory_order_acquire)) {
                if (made.load(std::memory_order_acquire) && i >= ready.load(std::memory_order_acquire))
                    return;
                std::this_thread::yield();
            }
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
