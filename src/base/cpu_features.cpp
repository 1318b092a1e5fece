// What the processor the program runs on can do beyond the instructions it was built for.
#include "base/cpu_features.h"

namespace lintaro {

bool CpuHasAvx2() {
#if defined(__x86_64__)
    static const bool has = __builtin_cpu_supports("avx2") != 0;
    return has;
#else
    return false;
#endif
}

}  // namespace lintaro
