// What the processor the program runs on can do beyond the instructions it was built for.
#pragma once

namespace lintaro {

// Whether the processor has the AVX2 instructions: among them a byte shuffle that serves as
// a table look-up of 16 entries on 32 bytes at once. Most x86-64 processors made since 2013
// have them.
bool CpuHasAvx2();

}  // namespace lintaro
