#include "lists/QrPenalty.h"

#include <bit>
#include <cstdlib>

namespace qrencoder {

namespace {

using Word = std::uint64_t;

// Lanes are the bits of a word: the same bit of consecutive rows is one line, read from row 0 downwards.
template <int W> struct Lines {
    const Word* rows; // row 0; rows outside 0..size - 1 are light
    int size;
    Word at(int y, int w) const { return rows[y * W + w]; }
    bool dark(int y, int lane) const { return y >= 0 && y < size && ((at(y, lane / 64) >> (lane % 64)) & 1); }
    bool allLight(int from, int to, int lane) const
    {
        for (int y = from; y < to; ++y)
            if (dark(y, lane))
                return false;
        return true;
    }
    bool allDark(int from, int to, int lane) const
    {
        for (int y = from; y < to; ++y)
            if (!dark(y, lane))
                return false;
        return true;
    }
};

// Whether the dark run of one lane starting at row start, whose length is a multiple of three, is the middle of
// a finder-like pattern; for the rare runs of nine modules and more, so checked module by module.
template <int W> bool finderLikeAround(const Lines<W>& lines, int lane, int start, int length)
{
    const int f = length / 3;
    const int light = start - f, before = light - f; // the light run and the dark run before the middle
    const int end = start + length, after = end + f;
    if (before < 0 || after + f > lines.size)
        return false;
    if (!lines.allLight(light, start, lane) || !lines.allDark(before, light, lane) || lines.dark(before - 1, lane))
        return false;
    if (!lines.allLight(end, after, lane) || !lines.allDark(after, after + f, lane) || lines.dark(after + f, lane))
        return false;
    return lines.allLight(before - 4 * f, before, lane) || lines.allLight(after + f, after + 5 * f, lane);
}

// Runs of five and more, and finder-like patterns, along the lanes.
template <int W> int runPenalty(const Word* rows, int size)
{
    const Lines<W> lines{rows, size};
    const auto r = [&](int y, int w) { return lines.at(y, w); };
    int windows = 0, longRuns = 0, finders = 0;
    for (int w = 0; w < W; ++w) {
        const int lanes = std::min(64, size - 64 * w);
        const Word valid = lanes == 64 ? ~Word(0) : (Word(1) << lanes) - 1;
        // A run of n >= 5 costs n - 2: its n - 4 windows of five equal modules, plus 2 for the window it starts.
        Word sameAsPrevious = 0;
        for (int y = 0; y + 4 < size; ++y) {
            const Word same0 = ~(r(y, w) ^ r(y + 1, w)), same1 = ~(r(y + 1, w) ^ r(y + 2, w));
            const Word same2 = ~(r(y + 2, w) ^ r(y + 3, w)), same3 = ~(r(y + 3, w) ^ r(y + 4, w));
            const Word five = same0 & same1 & same2 & same3 & valid;
            windows += std::popcount(five);
            longRuns += std::popcount(five & ~sameAsPrevious);
            sameAsPrevious = same0;
        }
        // Scale 1: rows p..p + 6 read 1011101 with light at p - 1 and p + 7.
        for (int p = 0; p + 7 <= size; ++p) {
            const Word match = r(p, w) & ~r(p + 1, w) & r(p + 2, w) & r(p + 3, w) & r(p + 4, w) & ~r(p + 5, w) &
                               r(p + 6, w) & ~r(p - 1, w) & ~r(p + 7, w);
            if (match) {
                const Word before = ~(r(p - 4, w) | r(p - 3, w) | r(p - 2, w) | r(p - 1, w));
                const Word after = ~(r(p + 7, w) | r(p + 8, w) | r(p + 9, w) | r(p + 10, w));
                finders += std::popcount(match & (before | after));
            }
        }
        // Scale 2, in pairs of rows; then the middles of nine and more, one by one.
        const auto dark2 = [&](int y) { return r(y, w) & r(y + 1, w); };
        const auto light2 = [&](int y) { return ~(r(y, w) | r(y + 1, w)); };
        for (int p = 0; p + 14 <= size; ++p) {
            const Word match = dark2(p) & light2(p + 2) & dark2(p + 4) & dark2(p + 6) & dark2(p + 8) & light2(p + 10) &
                               dark2(p + 12) & ~r(p - 1, w) & ~r(p + 14, w);
            if (match) {
                const Word before = light2(p - 8) & light2(p - 6) & light2(p - 4) & light2(p - 2);
                const Word after = light2(p + 14) & light2(p + 16) & light2(p + 18) & light2(p + 20);
                finders += std::popcount(match & (before | after));
            }
        }
        for (int p = 0; p + 9 <= size; ++p) {
            Word starts = ~r(p - 1, w);
            for (int i = 0; i < 9 && starts; ++i)
                starts &= r(p + i, w);
            while (starts) {
                const int lane = 64 * w + std::countr_zero(starts);
                starts &= starts - 1;
                int length = 9;
                while (lines.dark(p + length, lane))
                    ++length;
                if (length % 3 == 0 && finderLikeAround(lines, lane, p, length))
                    ++finders;
            }
        }
    }
    return windows + 2 * longRuns + 40 * finders;
}

// 2x2 blocks of one colour (3 each) and the dark proportion, from the rows.
template <int W> int blockAndBalancePenalty(const Word* rows, int size)
{
    int blocks = 0, darkCount = 0;
    Word pairValid[W];
    for (int w = 0; w < W; ++w) {
        const int lanes = std::min(64, size - 1 - 64 * w); // a block's left column is at most size - 2
        pairValid[w] = lanes >= 64 ? ~Word(0) : lanes <= 0 ? 0 : (Word(1) << lanes) - 1;
    }
    for (int y = 0; y < size; ++y) {
        const Word* row = rows + y * W;
        const Word* next = row + W;
        for (int w = 0; w < W; ++w)
            darkCount += std::popcount(row[w]);
        if (y + 1 == size)
            break;
        Word vertical[W]; // modules equal to the one below
        for (int w = 0; w < W; ++w)
            vertical[w] = ~(row[w] ^ next[w]);
        for (int w = 0; w < W; ++w) {
            const Word carry = w + 1 < W ? 1 : 0;
            const Word rightRow = (row[w] >> 1) | (carry ? row[w + 1] << 63 : 0);
            const Word rightVertical = (vertical[w] >> 1) | (carry ? vertical[w + 1] << 63 : 0);
            blocks += std::popcount(vertical[w] & rightVertical & ~(row[w] ^ rightRow) & pairValid[w]);
        }
    }
    const int all = size * size;
    const int percent = (200 * darkCount + all) / all / 2; // rounded to the nearest whole percent
    return 3 * blocks + std::abs(percent - 50) / 5 * 10;
}

template <int W> int penaltyOf(const Word* rows, const Word* cols, int size)
{
    return runPenalty<W>(rows, size) + runPenalty<W>(cols, size) + blockAndBalancePenalty<W>(rows, size);
}

} // namespace

int penalty(const std::uint64_t* rows, const std::uint64_t* cols, int size, int words)
{
    switch (words) {
    case 1:
        return penaltyOf<1>(rows, cols, size);
    case 2:
        return penaltyOf<2>(rows, cols, size);
    default:
        return penaltyOf<3>(rows, cols, size);
    }
}

} // namespace qrencoder
