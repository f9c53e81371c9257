#include "lists/QrEncoder.h"

#include "lists/QrLayout.h"
#include "lists/QrPenalty.h"

#include <algorithm>
#include <bit>
#include <climits>
#include <cstring>

namespace qrencoder {

namespace {

// Mode 0111 with designator 26, then mode 0100: two whole bytes, so the count and the data stay byte-aligned.
constexpr std::uint8_t EciUtf8ThenBytes[] = {0x71, 0xA4};

int countBits(int version)
{
    return version <= 9 ? 8 : 16;
}

int versionHolding(qint64 bytes)
{
    for (int version = MinVersion; version <= MaxVersion; ++version)
        if (bytes <= dataCodewords(version))
            return version;
    return MaxVersion;
}

// The version for length bytes, chosen as libqrencode chooses it (the tests compare our codes with its codes):
// first from an estimate that reckons the ECI header at 28 bits and the byte mode's header once per 2^count
// bytes, then grown while the actual bits need more. Until then the estimate's version stays, even where a
// smaller one would hold the actual bits. 0 when version 40 cannot hold them.
int versionFor(qsizetype length)
{
    const auto estimate = [length](int version) {
        const int count = countBits(std::max(version, MinVersion));
        return 28 + 8 * qint64(length) + (length + (qint64(1) << count) - 1) / (qint64(1) << count) * (4 + count);
    };
    const auto actual = [length](int version) { return 16 + countBits(version) + 8 * qint64(length); };
    int version = 0, previous = 0;
    do {
        previous = version;
        version = versionHolding((estimate(previous) + 7) / 8);
    } while (version > previous);
    for (int needed = versionHolding((actual(version) + 7) / 8); needed > version;
         needed = versionHolding((actual(version) + 7) / 8))
        version = needed;
    return actual(version) <= 8 * qint64(dataCodewords(version)) ? version : 0;
}

// The data codewords: header, count, the bytes, a terminator of up to four zero bits and the pad bytes.
std::vector<std::uint8_t> dataCodewordsOf(QByteArrayView bytes, const Layout& l)
{
    std::vector<std::uint8_t> data(size_t(l.dataCodewords), 0);
    size_t at = 0;
    data[at++] = EciUtf8ThenBytes[0];
    data[at++] = EciUtf8ThenBytes[1];
    if (countBits(l.version) == 16)
        data[at++] = std::uint8_t(bytes.size() >> 8);
    data[at++] = std::uint8_t(bytes.size());
    if (!bytes.isEmpty())
        std::memcpy(data.data() + at, bytes.data(), size_t(bytes.size()));
    at += size_t(bytes.size());
    if (at < data.size())
        ++at; // the terminator, padded to a whole byte
    for (bool first = true; at < data.size(); first = !first)
        data[at++] = first ? 0xEC : 0x11;
    return data;
}

// The codewords in placement order: the data split into blocks (the longer blocks last), each followed by its
// Reed-Solomon codewords, then read out across the blocks one codeword at a time.
std::vector<std::uint8_t> interleaved(const std::vector<std::uint8_t>& data, const Layout& l)
{
    const int shortLength = l.dataCodewords / l.blocks;
    const int longBlocks = l.dataCodewords % l.blocks;
    const int shortBlocks = l.blocks - longBlocks;
    const int ecc = l.eccPerBlock;
    std::vector<std::uint8_t> out(size_t(l.totalCodewords));
    std::vector<std::uint8_t> remainder(size_t(ecc) + 1);
    int start = 0;
    for (int b = 0; b < l.blocks; ++b) {
        const int length = shortLength + (b >= shortBlocks ? 1 : 0);
        std::fill(remainder.begin(), remainder.end(), 0);
        for (int i = 0; i < length; ++i) {
            const std::uint8_t byte = data[size_t(start + i)];
            const std::uint8_t* times = l.times.data() + size_t(byte ^ remainder[0]) * ecc;
            for (int j = 0; j < ecc; ++j)
                remainder[j] = remainder[j + 1] ^ times[j];
            out[size_t(i < shortLength ? i * l.blocks + b : shortLength * l.blocks + b - shortBlocks)] = byte;
        }
        for (int j = 0; j < ecc; ++j)
            out[size_t(l.dataCodewords + j * l.blocks + b)] = remainder[j];
        start += length;
    }
    return out;
}

// rows ^ changes into the middle of a buffer with PenaltyMargin light rows on either side.
void maskInto(std::vector<std::uint64_t>& buffer, const std::vector<std::uint64_t>& rows,
              const std::vector<std::uint64_t>& changes, int words)
{
    std::uint64_t* out = buffer.data() + size_t(PenaltyMargin) * words;
    for (size_t i = 0; i < rows.size(); ++i)
        out[i] = rows[i] ^ changes[i];
}

} // namespace

std::optional<Matrix> encode(QByteArrayView bytes)
{
    const int version = bytes.isEmpty() ? 0 : versionFor(bytes.size());
    if (version == 0)
        return std::nullopt;
    const Layout& l = layout(version);
    const std::vector<std::uint8_t> codewords = interleaved(dataCodewordsOf(bytes, l), l);

    std::vector<std::uint64_t> rows = l.baseRows, cols = l.baseCols;
    for (size_t i = 0; i < codewords.size(); ++i) {
        for (unsigned byte = codewords[i]; byte; byte &= byte - 1) {
            const int bit = std::countr_zero(byte); // the codeword's bit 7 - bit, placed first to last
            const Layout::Place place = l.places[i * 8 + size_t(7 - bit)];
            rows[place.rowBit / 64] |= std::uint64_t(1) << (place.rowBit % 64);
            cols[place.colBit / 64] |= std::uint64_t(1) << (place.colBit % 64);
        }
    }

    const size_t bufferWords = size_t(l.size + 2 * PenaltyMargin) * l.words;
    std::vector<std::uint64_t> maskedRows(bufferWords, 0), maskedCols(bufferWords, 0);
    const size_t origin = size_t(PenaltyMargin) * l.words;
    int best = 0, bestPenalty = INT_MAX;
    for (int mask = 0; mask < MaskCount; ++mask) {
        maskInto(maskedRows, rows, l.maskRows[mask], l.words);
        maskInto(maskedCols, cols, l.maskCols[mask], l.words);
        const int p = penalty(maskedRows.data() + origin, maskedCols.data() + origin, l.size, l.words);
        if (p < bestPenalty) {
            bestPenalty = p;
            best = mask;
        }
    }
    for (size_t i = 0; i < rows.size(); ++i)
        rows[i] ^= l.maskRows[best][i];
    return Matrix{version, l.size, best, l.words, std::move(rows)};
}

} // namespace qrencoder
