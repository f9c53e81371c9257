#pragma once

#include <array>
#include <cstdint>
#include <vector>

// What a QR symbol of one version at error correction level M holds whatever its data: the function patterns,
// where each data bit goes, what each mask changes, and the Reed-Solomon generator. Made once per version and
// shared read-only by every thread.
namespace qrencoder {

inline constexpr int MinVersion = 1;
inline constexpr int MaxVersion = 40;
inline constexpr int MaskCount = 8;

// The modules of a symbol as bits: words per row = (size + 63) / 64, bit x % 64 of word y * words + x / 64 is the
// module in column x of row y, 1 dark; bits past the last column are 0. The transposed copy ("cols") holds
// column x as its row x.
struct Layout {
    int version = 0;
    int size = 0;
    int words = 0;
    int totalCodewords = 0;
    int dataCodewords = 0;
    int blocks = 0;
    int eccPerBlock = 0;
    std::vector<std::uint64_t> baseRows, baseCols; // the dark function modules; format areas light
    // Per mask: the data modules it turns over, plus the dark modules of its format information.
    std::array<std::vector<std::uint64_t>, MaskCount> maskRows, maskCols;
    // The bit index in rows and in cols of each data bit, in placement order (codewords, MSB first).
    struct Place {
        std::uint32_t rowBit;
        std::uint32_t colBit;
    };
    std::vector<Place> places;
    // times[f * eccPerBlock + i]: f times the generator's coefficient of x^(eccPerBlock - 1 - i).
    std::vector<std::uint8_t> times;
};

// Data codewords of a version at level M, without building its layout.
int dataCodewords(int version);
const Layout& layout(int version);

} // namespace qrencoder
