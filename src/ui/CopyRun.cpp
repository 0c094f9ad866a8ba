#include "ui/CopyRun.h"

#include <cstdlib>
#include <cstring>

#include "platform/Interrupt.h"

CCopyRun::~CCopyRun()
{
    Join();
    free(m_target);
}

bool CCopyRun::Start(const CFileEntryArray& files, const char* target, HWND window, UINT progressMessage,
                     UINT doneMessage)
{
    const size_t length = strlen(target);
    free(m_target);
    m_target = static_cast<char*>(malloc(length + 1));
    if (!m_target)
        return false;
    memcpy(m_target, target, length + 1);
    m_files = &files;
    m_count = CountSteps(files, EntryAction::Copy);
    m_task.Start(window, progressMessage, doneMessage, Copy, this);
    return true;
}

WPARAM CCopyRun::Copy(CBackgroundTask&, void* parameter)
{
    CCopyRun& run = *static_cast<CCopyRun*>(parameter);
    return static_cast<WPARAM>(RunInstall(*run.m_files, run.m_target, &run, InstallPasses::Copies));
}

bool CCopyRun::BeforeStep(const InstallStep& step)
{
    // One value, so that a number is never paired with another copy's entry.
    m_task.Publish(static_cast<unsigned long long>(step.number) << 32 | step.index);
    return !Platform::Interrupted();
}

CCopyRun::Copying CCopyRun::TakeProgress()
{
    const unsigned long long copying = m_task.TakeProgress();
    return {static_cast<size_t>(copying >> 32), static_cast<size_t>(copying & 0xFFFFFFFFu)};
}

void CCopyRun::Join() { m_task.Join(); }

void CCopyRun::RunOpens()
{
    if (m_target && !Platform::Interrupted())
        RunInstall(*m_files, m_target, nullptr, InstallPasses::Opens);
}
