// CCopyRun: the installation's copies on a worker thread beside the dialog, and the opens after them.
#pragma once
#include <cstddef>

#include "framework/BackgroundTask.h"
#include "install/Install.h"

// One run owns what its worker thread reads: the file list (the loaded
// description, read-only once loaded), its own copy of the target text and
// the number of copies, counted by the walk before the worker starts. All of
// them are fixed before the worker starts and not changed until it has been
// joined. The worker writes nothing but the task's progress, which is
// atomic (CBackgroundTask::Publish), and its result, posted with the done
// message. The window's thread reads the progress at the progress message
// and everything else only after Join.
class CCopyRun : private IInstallObserver {
public:
    CCopyRun() = default;
    // Waits for a worker still copying: it reads this object.
    ~CCopyRun();
    CCopyRun(const CCopyRun&) = delete;
    CCopyRun& operator=(const CCopyRun&) = delete;

    // Starts the copy pass of files into target, reporting to window: the
    // progress message when a copy begins, the done message with the number
    // of C entries not copied as its WPARAM. False, with nothing started,
    // when there is no memory for the target's copy.
    bool Start(const CFileEntryArray& files, const char* target, HWND window, UINT progressMessage, UINT doneMessage);
    bool IsRunning() const { return m_task.IsRunning(); }

    // How many copies the list has, as the walk counts them.
    size_t Count() const { return m_count; }
    // At the progress message: the copy under way, its number among the
    // copies from 1 (0 before the first) and its entry's index in the list.
    struct Copying {
        size_t number;
        size_t index;
    };
    Copying TakeProgress();

    // At the done message, or to wait for the end: waits for the worker.
    void Join();
    // After Join, on the window's thread, which keeps COM for the shell: the
    // open pass, unless the copies were interrupted (the session's end).
    void RunOpens();

private:
    static WPARAM Copy(CBackgroundTask& task, void* run);
    // On the worker thread: publishes the copy under way; after an
    // interrupt no step is taken.
    bool BeforeStep(const InstallStep& step) override;
    void AfterStep(const InstallStep&) override {}

    const CFileEntryArray* m_files = nullptr;
    char* m_target = nullptr;  // malloc'd
    size_t m_count = 0;
    CBackgroundTask m_task;
};
