#pragma once

#include <cstdint>

// The penalty by which the mask of a QR symbol is chosen, weighed 64 lines at a time: runs of five or more
// modules of one colour (3, plus 1 for each module beyond five), 2x2 blocks of one colour (3 each), finder-like
// patterns dark:light:dark:light:dark = 1:1:3:1:1 at any scale with four light modules' worth (at that scale) on
// one side, or light up to the symbol's edge (40 each), and the dark proportion (10 for each full 5% from 50%).
namespace qrencoder {

// Light rows kept above and below the symbol in the buffers given to penalty().
inline constexpr int PenaltyMargin = 16;

// rows and cols (the same symbol transposed) point at row 0 of buffers of words 64-bit words per row that hold
// PenaltyMargin light rows before row 0 and after row size - 1.
int penalty(const std::uint64_t* rows, const std::uint64_t* cols, int size, int words);

} // namespace qrencoder
