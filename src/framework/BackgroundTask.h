// CBackgroundTask: work on a thread of its own beside a dialog's message loop, reporting by posted messages.
#pragma once
#include <atomic>
#include <windows.h>

// The work runs on a worker thread while the window's thread goes on
// answering. The work publishes its progress as one value, which the window
// takes when the progress message arrives: at most one such message is ever
// queued, however often the work publishes. When the work returns, its result
// is posted as the done message's WPARAM, the worker's last act; the window
// then joins it. The task knows nothing of what the work does.
class CBackgroundTask {
public:
    // The work: runs on the worker thread with the task and the context given
    // to Start; returns the result.
    using Work = WPARAM (*)(CBackgroundTask& task, void* context);

    CBackgroundTask() = default;
    // Waits for work still under way.
    ~CBackgroundTask();
    CBackgroundTask(const CBackgroundTask&) = delete;
    CBackgroundTask& operator=(const CBackgroundTask&) = delete;

    // Starts work, reporting to window with the two messages. Without a
    // thread, the work runs here and now, and its done message is posted all
    // the same.
    void Start(HWND window, UINT progressMessage, UINT doneMessage, Work work, void* context);
    // True from Start until Join.
    bool IsRunning() const { return m_running; }

    // On the worker thread: the latest progress, sent on its way.
    void Publish(unsigned long long progress);
    // On the window's thread, at the progress message: the latest progress;
    // from now on a newer one posts a message of its own.
    unsigned long long TakeProgress();

    // On the window's thread, at the done message (or to wait for the end):
    // waits for the worker and lets it go.
    void Join();

private:
    static DWORD WINAPI Run(LPVOID task) noexcept;

    HANDLE m_thread = nullptr;
    bool m_running = false;
    HWND m_window = nullptr;
    UINT m_progressMessage = 0;
    UINT m_doneMessage = 0;
    Work m_work = nullptr;
    void* m_context = nullptr;
    std::atomic<unsigned long long> m_progress{0};
    std::atomic<bool> m_progressQueued{false};
};
