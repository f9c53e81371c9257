#include "lists/QrLayout.h"

#include <QtGlobal>
#include <algorithm>
#include <cstdlib>
#include <memory>
#include <mutex>

namespace qrencoder {

namespace {

// Error correction codewords per block and number of blocks of each version at level M.
constexpr std::array<std::pair<int, int>, MaxVersion + 1> LevelMBlocks = {{
    {0, 0},   {10, 1},  {16, 1},  {26, 1},  {18, 2},  {24, 2},  {16, 4},  {18, 4},  {22, 4},  {22, 5},  {26, 5},
    {30, 5},  {22, 8},  {22, 9},  {24, 9},  {24, 10}, {28, 10}, {28, 11}, {26, 13}, {26, 14}, {26, 16}, {26, 17},
    {28, 17}, {28, 18}, {28, 20}, {28, 21}, {28, 23}, {28, 25}, {28, 26}, {28, 28}, {28, 29}, {28, 31}, {28, 33},
    {28, 35}, {28, 37}, {28, 38}, {28, 40}, {28, 43}, {28, 45}, {28, 47}, {28, 49},
}};

// GF(256) over x^8 + x^4 + x^3 + x^2 + 1, the field of the codes' Reed-Solomon blocks.
struct Field {
    std::array<std::uint8_t, 512> exp{};
    std::array<int, 256> log{};
    constexpr Field()
    {
        int value = 1;
        for (int i = 0; i < 255; ++i) {
            exp[i] = std::uint8_t(value);
            exp[i + 255] = std::uint8_t(value);
            log[value] = i;
            value <<= 1;
            if (value & 0x100)
                value ^= 0x11D;
        }
    }
    constexpr std::uint8_t times(std::uint8_t a, std::uint8_t b) const { return (a && b) ? exp[log[a] + log[b]] : 0; }
};
constexpr Field Gf;

int symbolSize(int version)
{
    return 17 + 4 * version;
}

// Centres of the alignment patterns along one axis: 6, then evenly spaced (by an even step) up to size - 7.
std::vector<int> alignmentCentres(int version)
{
    if (version < 2)
        return {};
    const int count = version / 7 + 2;
    const int step = version == 32 ? 26 : (version * 4 + count * 2 + 1) / (count * 2 - 2) * 2;
    std::vector<int> centres(count);
    centres[0] = 6;
    for (int i = count - 1, at = symbolSize(version) - 7; i >= 1; --i, at -= step)
        centres[i] = at;
    return centres;
}

// The 15 bits of format information for level M and a mask: BCH(15, 5) then the fixed XOR.
unsigned formatBits(int mask)
{
    const unsigned data = unsigned(mask); // level M is 00
    unsigned rem = data;
    for (int i = 0; i < 10; ++i)
        rem = (rem << 1) ^ ((rem >> 9) * 0x537);
    return ((data << 10) | (rem & 0x3FF)) ^ 0x5412;
}

unsigned versionBits(int version)
{
    unsigned rem = unsigned(version);
    for (int i = 0; i < 12; ++i)
        rem = (rem << 1) ^ ((rem >> 11) * 0x1F25);
    return (unsigned(version) << 12) | (rem & 0xFFF);
}

// A symbol's modules while its layout is drawn: which are function modules, and which are dark.
struct Grid {
    int size;
    std::vector<char> function, dark;
    explicit Grid(int n) : size(n), function(size_t(n) * n, 0), dark(size_t(n) * n, 0) {}
    void set(int x, int y, bool isDark)
    {
        function[size_t(y) * size + x] = 1;
        dark[size_t(y) * size + x] = isDark;
    }
    bool isFunction(int x, int y) const { return function[size_t(y) * size + x]; }
};

void drawFunctionPatterns(Grid& grid, int version)
{
    const int size = grid.size;
    for (int i = 0; i < size; ++i) {
        grid.set(6, i, i % 2 == 0);
        grid.set(i, 6, i % 2 == 0);
    }
    // Finders with their light separators.
    for (const auto& [cx, cy] : {std::pair{3, 3}, std::pair{size - 4, 3}, std::pair{3, size - 4}}) {
        for (int dy = -4; dy <= 4; ++dy) {
            for (int dx = -4; dx <= 4; ++dx) {
                const int x = cx + dx, y = cy + dy;
                const int ring = std::max(std::abs(dx), std::abs(dy));
                if (x >= 0 && x < size && y >= 0 && y < size)
                    grid.set(x, y, ring != 2 && ring != 4);
            }
        }
    }
    const std::vector<int> centres = alignmentCentres(version);
    const int last = int(centres.size()) - 1;
    for (int i = 0; i <= last; ++i) {
        for (int j = 0; j <= last; ++j) {
            if ((i == 0 && j == 0) || (i == 0 && j == last) || (i == last && j == 0))
                continue; // a finder is there
            for (int dy = -2; dy <= 2; ++dy)
                for (int dx = -2; dx <= 2; ++dx)
                    grid.set(centres[i] + dx, centres[j] + dy, std::max(std::abs(dx), std::abs(dy)) != 1);
        }
    }
    // Format areas, light until a mask's format information is written, and the dark module beside them.
    for (int i = 0; i < 9; ++i) {
        if (i != 6) {
            grid.set(8, i, false);
            grid.set(i, 8, false);
        }
    }
    for (int i = 0; i < 8; ++i) {
        grid.set(size - 1 - i, 8, false);
        grid.set(8, size - 1 - i, false);
    }
    grid.set(8, size - 8, true);
    if (version >= 7) {
        const unsigned bits = versionBits(version);
        for (int i = 0; i < 18; ++i) {
            const bool bit = (bits >> i) & 1;
            grid.set(size - 11 + i % 3, i / 3, bit);
            grid.set(i / 3, size - 11 + i % 3, bit);
        }
    }
}

// Where the format information's bit i (0 the lowest) stands: its two copies.
std::array<std::pair<int, int>, 2> formatPlaces(int i, int size)
{
    const std::pair<int, int> nearFinder = i < 6    ? std::pair{8, i}
                                           : i < 8  ? std::pair{8, i + 1}
                                           : i == 8 ? std::pair{7, 8}
                                                    : std::pair{14 - i, 8};
    const std::pair<int, int> split = i < 8 ? std::pair{size - 1 - i, 8} : std::pair{8, size - 15 + i};
    return {nearFinder, split};
}

bool masked(int mask, int x, int y)
{
    switch (mask) {
    case 0:
        return (x + y) % 2 == 0;
    case 1:
        return y % 2 == 0;
    case 2:
        return x % 3 == 0;
    case 3:
        return (x + y) % 3 == 0;
    case 4:
        return (y / 2 + x / 3) % 2 == 0;
    case 5:
        return (x * y) % 2 + (x * y) % 3 == 0;
    case 6:
        return ((x * y) % 2 + (x * y) % 3) % 2 == 0;
    default:
        return ((x + y) % 2 + (x * y) % 3) % 2 == 0;
    }
}

std::vector<std::uint8_t> generatorTimes(int degree)
{
    // g(x) = (x - a^0)(x - a^1)...(x - a^(degree - 1)), highest coefficient first.
    std::vector<std::uint8_t> g(size_t(degree) + 1, 0);
    g[0] = 1;
    for (int i = 0; i < degree; ++i) {
        for (int j = i + 1; j >= 1; --j)
            g[j] = std::uint8_t(g[j] ^ Gf.times(g[j - 1], Gf.exp[i]));
    }
    std::vector<std::uint8_t> times(size_t(256) * degree);
    for (int f = 0; f < 256; ++f)
        for (int i = 0; i < degree; ++i)
            times[size_t(f) * degree + i] = Gf.times(std::uint8_t(f), g[i + 1]);
    return times;
}

std::unique_ptr<Layout> makeLayout(int version)
{
    auto layout = std::make_unique<Layout>();
    Layout& l = *layout;
    l.version = version;
    l.size = symbolSize(version);
    l.words = (l.size + 63) / 64;
    std::tie(l.eccPerBlock, l.blocks) = LevelMBlocks[version];
    l.dataCodewords = dataCodewords(version);
    l.totalCodewords = l.dataCodewords + l.eccPerBlock * l.blocks;
    l.times = generatorTimes(l.eccPerBlock);

    Grid grid(l.size);
    drawFunctionPatterns(grid, version);
    const size_t wordCount = size_t(l.size) * l.words;
    const auto put = [&](std::vector<std::uint64_t>& rows, std::vector<std::uint64_t>& cols, int x, int y) {
        rows[size_t(y) * l.words + x / 64] |= std::uint64_t(1) << (x % 64);
        cols[size_t(x) * l.words + y / 64] |= std::uint64_t(1) << (y % 64);
    };
    l.baseRows.assign(wordCount, 0);
    l.baseCols.assign(wordCount, 0);
    for (int y = 0; y < l.size; ++y)
        for (int x = 0; x < l.size; ++x)
            if (grid.dark[size_t(y) * l.size + x])
                put(l.baseRows, l.baseCols, x, y);
    for (int mask = 0; mask < MaskCount; ++mask) {
        l.maskRows[mask].assign(wordCount, 0);
        l.maskCols[mask].assign(wordCount, 0);
        for (int y = 0; y < l.size; ++y)
            for (int x = 0; x < l.size; ++x)
                if (!grid.isFunction(x, y) && masked(mask, x, y))
                    put(l.maskRows[mask], l.maskCols[mask], x, y);
        const unsigned format = formatBits(mask);
        for (int i = 0; i < 15; ++i)
            if ((format >> i) & 1)
                for (const auto& [x, y] : formatPlaces(i, l.size))
                    put(l.maskRows[mask], l.maskCols[mask], x, y);
    }

    // Two columns at a time from the right, upwards then downwards, stepping over the vertical timing pattern.
    const int rowBits = l.words * 64;
    for (int right = l.size - 1; right >= 1; right -= 2) {
        if (right == 6)
            right = 5;
        const bool upwards = ((right + 1) & 2) == 0;
        for (int step = 0; step < l.size; ++step) {
            const int y = upwards ? l.size - 1 - step : step;
            for (int x = right; x >= right - 1; --x)
                if (!grid.isFunction(x, y))
                    l.places.push_back({std::uint32_t(y * rowBits + x), std::uint32_t(x * rowBits + y)});
        }
    }
    Q_ASSERT(int(l.places.size()) / 8 == l.totalCodewords);
    l.places.resize(size_t(l.totalCodewords) * 8); // the remainder bits stay light before masking
    return layout;
}

} // namespace

int dataCodewords(int version)
{
    // Modules left to data once the function patterns and the format and version information are drawn.
    int modules = (16 * version + 128) * version + 64;
    if (version >= 2) {
        const int alignments = version / 7 + 2;
        modules -= (25 * alignments - 10) * alignments - 55;
        if (version >= 7)
            modules -= 36;
    }
    return modules / 8 - LevelMBlocks[version].first * LevelMBlocks[version].second;
}

const Layout& layout(int version)
{
    static std::array<std::once_flag, MaxVersion + 1> made;
    static std::array<std::unique_ptr<Layout>, MaxVersion + 1> layouts;
    std::call_once(made[version], [version] { layouts[version] = makeLayout(version); });
    return *layouts[version];
}

} // namespace qrencoder
