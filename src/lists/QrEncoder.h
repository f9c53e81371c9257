#pragma once

#include <QByteArrayView>
#include <cstdint>
#include <optional>
#include <vector>

// QR codes made here, for bytes declared UTF-8.
namespace qrencoder {

// The modules of one symbol: bit x % 64 of rows[y * wordsPerRow + x / 64] is the module in column x of row y,
// 1 dark; bits past the last column are 0.
struct Matrix {
    int version = 0;
    int size = 0; // modules per side, without the quiet zone
    int mask = 0;
    int wordsPerRow = 0;
    std::vector<std::uint64_t> rows;

    bool dark(int x, int y) const { return (rows[size_t(y) * wordsPerRow + x / 64] >> (x % 64)) & 1; }
};

// The symbol of bytes at error correction level M: an ECI header declaring UTF-8 (26; without it some readers
// take Japanese bytes for Shift-JIS), then the bytes in byte mode, in the version libqrencode takes for them (the
// smallest, or the next where its estimate of the headers asks for it). Of the eight masks it takes the one of
// lowest penalty, the first of equals. Nothing for no bytes (readers find no code in such a symbol) or more than
// version 40 holds.
std::optional<Matrix> encode(QByteArrayView bytes);

} // namespace qrencoder
