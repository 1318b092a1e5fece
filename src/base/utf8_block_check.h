// Checking UTF-8 32 bytes at a time with vector instructions.
#pragma once

#include <cstddef>
#include <string_view>

namespace lintaro {

// How far from its start bytes is well-formed UTF-8 without NUL as far as whole blocks of 32
// bytes tell: the start of the first block in which a malformed sequence or a NUL shows, or
// the end of the last whole block. A sequence that a block's last bytes begin is judged with
// the next block, so the character that ends at the position given may still be cut or
// malformed: the caller checks on from the start of that character. 0 where the processor has
// no AVX2 instructions.
std::size_t Utf8CheckedBlocksEnd(std::string_view bytes);

}  // namespace lintaro
