#include "framework/BackgroundTask.h"

CBackgroundTask::~CBackgroundTask() { Join(); }

void CBackgroundTask::Start(HWND window, UINT progressMessage, UINT doneMessage, Work work, void* context)
{
    m_window = window;
    m_progressMessage = progressMessage;
    m_doneMessage = doneMessage;
    m_work = work;
    m_context = context;
    m_progress = 0;
    m_progressQueued = false;
    m_running = true;
    m_thread = CreateThread(nullptr, 0, Run, this, 0, nullptr);
    if (!m_thread)
        Run(this);
}

DWORD WINAPI CBackgroundTask::Run(LPVOID parameter) noexcept
{
    auto* task = static_cast<CBackgroundTask*>(parameter);
    const WPARAM result = task->m_work(*task, task->m_context);
    PostMessageA(task->m_window, task->m_doneMessage, result, 0);
    return 0;
}

void CBackgroundTask::Publish(unsigned long long progress)
{
    m_progress = progress;
    // The window reads the latest value when the message arrives; while one
    // is queued, another would only repeat it.
    if (!m_progressQueued.exchange(true) && !PostMessageA(m_window, m_progressMessage, 0, 0))
        m_progressQueued = false;
}

unsigned long long CBackgroundTask::TakeProgress()
{
    // Cleared first: a value published from here on posts a message of its own.
    m_progressQueued = false;
    return m_progress;
}

void CBackgroundTask::Join()
{
    if (m_thread) {
        WaitForSingleObject(m_thread, INFINITE);
        CloseHandle(m_thread);
        m_thread = nullptr;
    }
    m_running = false;
}
