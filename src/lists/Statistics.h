#pragma once

#include "lists/StatusList.h"
#include "store/TitleTable.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <array>

// What the statistics screen counts: the status list's rows (volumes owned and missing, per record) gathered
// into series, and the series' totals, bars and nearly complete series. A split series (records titled
// "題名(1_50)", "題名(51_100)", ...) is one series across its records; its name, magazine, rating and first issue
// are those of its first record (the lowest start volume).
namespace statistics {

// Bars of the magazine chart before the rest is summed into "その他".
inline constexpr int MagazineBars = 15;
// Series missing at most this many volumes are listed as nearly complete.
inline constexpr int AlmostMissing = 3;

// The series a record title belongs to: the title without its split suffix "(a_b)" (a = 50 (k - 1) + 1 and
// b = 50 k for some k >= 1), and whether it had one. Unsplit titles are their own series.
QString seriesName(const QString& title, bool* split);

// The series' totals; volumes as the status list counts them (every record's volume count, the pink cells).
struct Totals {
    int series = 0;
    int records = 0;
    qint64 volumes = 0;
    qint64 missing = 0;
    int complete = 0; // series with no missing volume

    qint64 owned() const { return volumes - missing; }
    int continuing() const { return series - complete; }
    bool operator==(const Totals&) const = default;
};

// One bar: a stacked bar of owned and missing volumes, or a bar of series (owned holds the count).
struct Bar {
    QString label;
    qint64 owned = 0;
    qint64 missing = 0;
    bool operator==(const Bar&) const = default;
};

// At most AlmostMissing volume numbers, held in place: tens of thousands of series may be nearly complete.
struct FewVolumes {
    std::array<int, AlmostMissing> numbers{};
    int count = 0;

    void append(int volume)
    {
        if (count < AlmostMissing)
            numbers[size_t(count++)] = volume;
    }
    const int* begin() const { return numbers.data(); }
    const int* end() const { return numbers.data() + count; }
    bool operator==(const FewVolumes&) const = default;
};

// A series missing 1 to AlmostMissing volumes: its name, the missing volumes numbered as the main page labels
// them (a later record continues the numbers from its start volume) in ascending order, and the record holding
// the first of them.
struct AlmostRow {
    QString title;
    FewVolumes volumes;
    int index = 0;
    bool operator==(const AlmostRow&) const = default;
};

// Series by owned share, in this order: 100 %, 90–99 %, 75–89 %, 50–74 %, 1–49 %, 0 %. A series whose
// records hold no volume counts as complete.
inline constexpr int CompletionBands = 6;
QStringList completionLabels();

struct Counts {
    Totals totals;
    // Owned and missing volumes by the year of the series' first issue (its first four digits), years in
    // order; series without a readable year last, under "不明".
    QList<Bar> years;
    // The MagazineBars magazines with the most owned volumes (on a tie, the most missing, then by name), then
    // "その他" summing the rest.
    QList<Bar> magazines;
    // Series by rating: ◎ ○ △ × 未 always, then any other text in order of first appearance.
    QList<Bar> ratings;
    std::array<int, CompletionBands> completion{};
    // Fewest missing first, then in table order.
    QList<AlmostRow> almost;
    bool operator==(const Counts&) const = default;
};

// Counts the title table with the status list's rows of it (rows[i] is record i + 1).
Counts count(const TitleTable& titles, const QList<statuslist::StatusRow>& rows);

// "作品数 12　総冊数 340　所持 300　未所持 40　所持率 88.2%　完了 8　継続 4".
QString summaryText(const Totals& totals);
// "題名　あと 2 冊（7, 9巻）".
QString almostText(const AlmostRow& row);
// The owned share in percent with one decimal ("88.2"), "0.0" when there are no volumes.
QString ownedShare(qint64 owned, qint64 volumes);

} // namespace statistics
