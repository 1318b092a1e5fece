// What the processor the program runs on can do beyond the instructions it was built for.
#include "base/cpu_features.h"

#include <atomic>

namespace lintaro {

namespace {

std::atomic<bool> baseline_only{false};

}  // namespace

bool CpuHasAvx2() {
#if defined(__x86_64__)
    static const bool has = __builtin_cpu_supports("avx2") != 0;
    return has && !baseline_only.load(std::memory_order_relaxed);
#else
    return false;
#endif
}

void LimitToBaselineInstructions(bool limited) {
    baseline_only.store(limited, std::memory_order_relaxed);
}

}  // namespace lintaro
