// What the processor the program runs on can do beyond the instructions it was built for.
#pragma once

namespace lintaro {

// Whether the processor has the SSSE3 instructions (its byte shuffle serves as a table
// look-up of 16 entries); every x86-64 processor of the last fifteen years does.
bool CpuHasSsse3();
// Whether it has AVX2, the same on 32 bytes at once (most since 2013).
bool CpuHasAvx2();

}  // namespace lintaro
