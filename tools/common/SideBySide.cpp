#include "common/SideBySide.h"

#include <algorithm>
#include <exception>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

void RunOnHelpers(const std::function<void()>& work, const std::function<void()>& meanwhile)
{
    std::mutex failing;
    std::exception_ptr failure;
    auto guarded = [&] {
        try {
            work();
        } catch (...) {
            const std::lock_guard<std::mutex> guard(failing);
            if (!failure)
                failure = std::current_exception();
        }
    };
    const unsigned helpers = std::min(3u, std::max(1u, std::thread::hardware_concurrency()) - 1);
    std::vector<std::thread> running;
    for (unsigned n = 0; n < helpers; ++n) {
        try {
            running.emplace_back(guarded);
        } catch (const std::system_error&) {
            break;
        }
    }
    if (meanwhile) {
        try {
            meanwhile();
        } catch (...) {
            const std::lock_guard<std::mutex> guard(failing);
            failure = std::current_exception();
        }
    }
    guarded();
    for (std::thread& helper : running)
        helper.join();
    if (failure)
        std::rethrow_exception(failure);
}

void RunBeside(const std::function<void()>& side, const std::function<void()>& here)
{
    std::exception_ptr failure;
    auto guarded = [&] {
        try {
            side();
        } catch (...) {
            failure = std::current_exception();
        }
    };
    std::thread beside;
    try {
        beside = std::thread(guarded);
    } catch (const std::system_error&) {
    }
    try {
        here();
    } catch (...) {
        if (beside.joinable())
            beside.join();
        throw;
    }
    if (beside.joinable())
        beside.join();
    else
        guarded();
    if (failure)
        std::rethrow_exception(failure);
}
