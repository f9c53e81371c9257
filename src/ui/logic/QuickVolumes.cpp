#include "ui/logic/QuickVolumes.h"

#include "store/VolumeList.h"

namespace quickvolumes {

namespace {

constexpr qint16 Collected = 0;
constexpr qint16 Missing = 1;

} // namespace

Plan plan(const QString& text, const std::array<int, 51>& shown, const VolumeStates& states, bool missing)
{
    Plan result;
    result.after = states;
    int first = 0;
    int last = 0;
    for (int k = 1; k <= volumefile::Volumes; ++k) {
        if (shown[k] == 0)
            continue;
        first = first == 0 ? shown[k] : std::min(first, shown[k]);
        last = std::max(last, shown[k]);
    }
    // Bounded by the page: a long list is refused at its first number the page does not show.
    const volumelist::Parsed parsed = volumelist::parse(text, last == 0 ? 1 : first, last);
    if (!parsed.outOfRange.isEmpty()) {
        const QString range = last == 0 ? QStringLiteral("このページには巻がありません。")
                                        : QStringLiteral("このページの巻は %1～%2 です。").arg(first).arg(last);
        result.problem = QStringLiteral("「%1」はこのページにない巻です。%2").arg(parsed.outOfRange, range);
        return result;
    }
    if (!parsed.ok()) {
        result.problem = parsed.problem;
        return result;
    }
    QList<int> entries;
    for (int number : parsed.numbers) {
        const auto it = std::find(shown.begin() + 1, shown.end(), number);
        if (it != shown.end())
            entries << int(it - shown.begin());
    }
    std::sort(entries.begin(), entries.end());
    const qint16 state = missing ? Missing : Collected;
    for (int k : entries) {
        if (result.after[k] != state) {
            result.after[k] = state;
            result.entries << k;
        }
    }
    return result;
}

} // namespace quickvolumes
