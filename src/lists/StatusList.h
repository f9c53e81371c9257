#pragma once

#include "store/DataFiles.h"
#include "store/TitleTable.h"

#include <QList>
#include <QString>
#include <QStringList>

class CollectionStore;

// What the status list knows of the collection: one row per title record with the volumes it shows as missing,
// and the totals under the grid. Volume files are read here and nowhere else on behalf of the lists.
namespace statuslist {

inline constexpr int Columns = 50;

// One grid row as the last fill saw it. Bit c - 1 of missing is set when volume c (1 to 50, within the record's
// volume count) is shown missing; every other cell of the row is collected or outside the record.
struct StatusRow {
    QString title;
    qint16 volumeCount = 0;
    qint16 startVolume = 0;
    quint64 missing = 0;

    // Columns 1 to this hold the record's volumes; the rest are white.
    int filledColumns() const { return volumeCount < 0 ? 0 : (volumeCount > Columns ? Columns : volumeCount); }
    bool isMissing(int column) const { return (missing >> (column - 1)) & 1; }
    // The cell text: the volume's number within the series when it is missing, else empty.
    QString cellText(int column) const;
};

// The bits of the volumes in state 1 among the first volumeCount (at most 50) entries.
quint64 missingMask(const VolumeStates& states, int volumeCount);
int countBits(quint64 mask);

// The six totals. Volume totals are 32-bit, as they are summed over up to 32,766 records.
struct Totals {
    qint32 totalVolumes = 0;
    qint32 missingVolumes = 0;
    qint32 completedTitles = 0;
    qint32 titleCount = 0;

    // Counts one record in, as the status list counts it: its volume count, its missing (pink) volumes, and
    // as completed when none is missing.
    void add(int volumeCount, int missing)
    {
        totalVolumes += volumeCount;
        missingVolumes += missing;
        if (missing == 0)
            ++completedTitles;
    }

    qint32 collectedVolumes() const { return totalVolumes - missingVolumes; }
    qint32 continuingTitles() const { return titleCount - completedTitles; }
};

// Captions of lblSou, lblSyu, lblZan, lblSouD, lblKans and lblMisyu, in that order.
QStringList captions(const Totals& totals);

// The states of a title's volume file for a list or an export. A file that does not exist is created holding
// fifty zeros, so that the title counts as fully collected from now on (a failure to create it changes nothing
// shown and is not reported). A file that exists is only read: numbers that are missing or unreadable count as
// 0 and the file is left exactly as it is.
VolumeStates readStates(CollectionStore& store, const QString& title);

// readStates for every title, in table order, the files read all at once.
QList<VolumeStates> readAllStates(CollectionStore& store, const TitleTable& titles);

// The totals of titles whose states are states (entry i for record i + 1), counted as fill counts them.
Totals totals(const TitleTable& titles, const QList<VolumeStates>& states);

struct Fill {
    QList<StatusRow> rows;
    Totals totals;
};
// Reads every title's volume file once, in table order.
Fill fill(CollectionStore& store, const TitleTable& titles);

// The help-tour explanation of the status list.
QString tourText();

} // namespace statuslist
