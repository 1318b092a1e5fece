// What the processor the program runs on can do beyond the instructions it was built for.
#pragma once

namespace lintaro {

// Whether the processor has the AVX2 instructions: among them a byte shuffle that serves as
// a table look-up of 16 entries on 32 bytes at once. Most x86-64 processors made since 2013
// have them.
bool CpuHasAvx2();

// From now on CpuHasAvx2 answers false (limited) or the processor's answer again: so that
// tests and benchmarks can run the code the program runs on processors without AVX2.
void LimitToBaselineInstructions(bool limited);

}  // namespace lintaro
