// New files filled on helper threads while a run walks on, their outcomes taken in the order they began.
#pragma once
#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <string>
#include <sys/stat.h>
#include <thread>
#include <vector>

#include "platform/Platform.h"

namespace Platform {

// One new file's copy: the file made for it (CreateNewFile) at name in a
// directory held open, and its source, to be opened and read by the thread
// that fills it.
struct NewFileCopy {
    int out = -1;
    struct stat made;  // the new file's status
    int directory = -1;
    std::string name;
    std::string source;    // as the package names it
    std::string written;   // its text as written (NativePathAsWritten)
    void* hold = nullptr;  // what the run holds the directory by, for as long as the copy goes on
    // Its outcome, once filled: whether it copied, else the reason, and
    // whether the file it made was removed.
    bool copied = false;
    bool removed = false;
    int error = 0;
};

// The copies a run has under way, at most kCopiesUnderWay: the run's thread
// starts them and takes their outcomes in the order they began; helper
// threads (as many as the processors but one, at most three; none on one
// processor) fill them in that order, and so does the run's thread while it
// waits for one. Made and used by one run, on its thread.
class CCopyWorkers {
public:
    // fill fills one copy, on whichever thread takes it.
    using Fill = void (*)(NewFileCopy& copy, CCopyWorkers& workers);
    explicit CCopyWorkers(Fill fill) : m_fill(fill) {}
    // Lets every copy end and the helpers stop.
    ~CCopyWorkers();
    CCopyWorkers(const CCopyWorkers&) = delete;
    CCopyWorkers& operator=(const CCopyWorkers&) = delete;

    // Whether a copy can be started now: helpers run (started at the first
    // call), and fewer than kCopiesUnderWay copies are under way.
    bool CanStart();
    void Start(NewFileCopy&& copy);
    // The copies under way or ended whose outcome has not been taken.
    size_t Count() const { return m_count; }
    // The one at place (0: the oldest); its outcome is only read, and
    // changed, once it has ended.
    NewFileCopy& At(size_t place) { return m_copies[(m_oldest + place) % kCopiesUnderWay]; }
    // Waits until the oldest has ended, filling others meanwhile.
    NewFileCopy& Oldest();
    void DropOldest();
    // Waits until every copy has ended.
    void FinishAll();

    // Whether copy may read the source it has opened (in, its status in
    // source) as the walk's order has it: a file under way that began before
    // copy is read once filled, its status then taken again; one that began
    // after copy (or copy's own file) was not there yet, and one whose copy
    // failed is gone again: false, with errno ENOENT, for those. Called by
    // the thread that fills copy.
    bool SourceInOrder(const NewFileCopy& copy, int in, struct stat& source);

private:
    // Fills the next copy that nobody has taken; called with m_lock held,
    // which it lets go of meanwhile.
    void FillNext(std::unique_lock<std::mutex>& lock);
    void Help();
    void WaitForOneFilled(std::unique_lock<std::mutex>& lock);

    Fill m_fill;
    NewFileCopy m_copies[kCopiesUnderWay];
    bool m_filled[kCopiesUnderWay] = {};
    // The oldest copy's slot, how many copies there are, and how many of
    // them (from the oldest) have been taken to be filled.
    size_t m_oldest = 0;
    size_t m_count = 0;
    size_t m_taken = 0;
    bool m_stopping = false;
    bool m_helpersStarted = false;
    size_t m_idleHelpers = 0;
    size_t m_waiting = 0;
    std::mutex m_lock;
    std::condition_variable m_workToDo;
    std::condition_variable m_oneFilled;
    std::vector<std::thread> m_helpers;
};

}  // namespace Platform
