// New files filled on helper threads, their outcomes taken in the order the copies began.
#include "platform/posix/CopyWorkers.h"

#include <algorithm>
#include <cerrno>
#include <system_error>

namespace Platform {

CCopyWorkers::~CCopyWorkers()
{
    FinishAll();
    {
        const std::lock_guard<std::mutex> guard(m_lock);
        m_stopping = true;
    }
    m_workToDo.notify_all();
    for (std::thread& helper : m_helpers)
        helper.join();
}

bool CCopyWorkers::CanStart()
{
    if (!m_helpersStarted) {
        m_helpersStarted = true;
        const unsigned processors = std::max(1u, std::thread::hardware_concurrency());
        for (unsigned n = 0; n < std::min(3u, processors - 1); ++n) {
            // A helper that cannot be started leaves its share to the others.
            try {
                m_helpers.emplace_back([this] { Help(); });
            } catch (const std::system_error&) {
                break;
            }
        }
    }
    return !m_helpers.empty() && m_count < kCopiesUnderWay;
}

void CCopyWorkers::Start(NewFileCopy&& copy)
{
    std::unique_lock<std::mutex> lock(m_lock);
    const size_t slot = (m_oldest + m_count++) % kCopiesUnderWay;
    m_copies[slot] = std::move(copy);
    m_filled[slot] = false;
    const bool wake = m_idleHelpers > 0;
    lock.unlock();
    if (wake)
        m_workToDo.notify_one();
}

void CCopyWorkers::FillNext(std::unique_lock<std::mutex>& lock)
{
    const size_t slot = (m_oldest + m_taken++) % kCopiesUnderWay;
    lock.unlock();
    m_fill(m_copies[slot], *this);
    lock.lock();
    m_filled[slot] = true;
    if (m_waiting > 0)
        m_oneFilled.notify_all();
}

void CCopyWorkers::WaitForOneFilled(std::unique_lock<std::mutex>& lock)
{
    ++m_waiting;
    m_oneFilled.wait(lock);
    --m_waiting;
}

void CCopyWorkers::Help()
{
    std::unique_lock<std::mutex> lock(m_lock);
    for (;;) {
        if (m_taken < m_count) {
            FillNext(lock);
            continue;
        }
        if (m_stopping)
            return;
        ++m_idleHelpers;
        m_workToDo.wait(lock);
        --m_idleHelpers;
    }
}

NewFileCopy& CCopyWorkers::Oldest()
{
    std::unique_lock<std::mutex> lock(m_lock);
    while (!m_filled[m_oldest]) {
        if (m_taken < m_count) {
            FillNext(lock);
            continue;
        }
        WaitForOneFilled(lock);
    }
    return m_copies[m_oldest];
}

void CCopyWorkers::DropOldest()
{
    const std::lock_guard<std::mutex> guard(m_lock);
    m_copies[m_oldest] = NewFileCopy();
    m_oldest = (m_oldest + 1) % kCopiesUnderWay;
    --m_count;
    --m_taken;
}

void CCopyWorkers::FinishAll()
{
    std::unique_lock<std::mutex> lock(m_lock);
    for (;;) {
        if (m_taken < m_count) {
            FillNext(lock);
            continue;
        }
        bool allFilled = true;
        for (size_t place = 0; place < m_count && allFilled; ++place)
            allFilled = m_filled[(m_oldest + place) % kCopiesUnderWay];
        if (allFilled)
            return;
        WaitForOneFilled(lock);
    }
}

bool CCopyWorkers::SourceInOrder(const NewFileCopy& copy, int in, struct stat& source)
{
    std::unique_lock<std::mutex> lock(m_lock);
    bool waited = false;
    for (size_t place = 0; place < m_count;) {
        // The oldest may have been taken away while this thread waited.
        const size_t self = (static_cast<size_t>(&copy - m_copies) + kCopiesUnderWay - m_oldest) % kCopiesUnderWay;
        const size_t slot = (m_oldest + place) % kCopiesUnderWay;
        const NewFileCopy& other = m_copies[slot];
        if (other.made.st_ino != source.st_ino || other.made.st_dev != source.st_dev) {
            ++place;
        } else if (place >= self || (m_filled[slot] && !other.copied)) {
            errno = ENOENT;
            return false;
        } else if (m_filled[slot]) {
            ++place;
        } else {
            WaitForOneFilled(lock);
            waited = true;
            place = 0;
        }
    }
    // A file read once complete is read at its whole size.
    return !waited || fstat(in, &source) == 0;
}

}  // namespace Platform
