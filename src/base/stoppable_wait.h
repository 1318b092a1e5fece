// Waiting for a while on a thread that may be asked to stop meanwhile.
#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <stop_token>

namespace lintaro {

// Waits until duration has passed or stop is requested, whichever comes first. True when the
// whole duration passed without a stop request.
template <typename Rep, typename Period>
bool WaitUnlessStopped(const std::stop_token& stop, std::chrono::duration<Rep, Period> duration) {
    std::mutex mutex;
    std::condition_variable_any wake;  // woken by the stop request alone
    std::unique_lock lock(mutex);
    wake.wait_for(lock, stop, duration, [] { return false; });
    return !stop.stop_requested();
}

}  // namespace lintaro
