#include "editing/TitleInput.h"

#include "editing/DateInput.h"
#include "store/CollectionStore.h"
#include "store/Cp932.h"
#include "store/DataFiles.h"
#include "store/DataFolder.h"

#include <QHash>
#include <QStringList>
#include <algorithm>

namespace titleinput {

namespace {

const QString Unregistered = QStringLiteral("未登録");
const QString Unrated = QStringLiteral("未");

} // namespace

QString splitSuffix(int k)
{
    const int volumes = volumefile::Volumes;
    return QStringLiteral("(%1_%2)").arg(volumes * (k - 1) + 1).arg(volumes * k);
}

QList<TitleRecord> newRecords(const QString& title, int count, const QDate& today)
{
    // Beyond MaxCount the start volumes and suffix numbers would leave the 16-bit range of the file.
    if (count < 1 || count > MaxCount)
        return {};

    const int volumes = volumefile::Volumes;
    const QString date = dateinput::format(today);
    TitleRecord record;
    record.author = Unregistered;
    record.magazine = Unregistered;
    record.rating = Unrated;
    record.firstIssue = date;
    record.lastIssue = date;

    if (count <= volumes) {
        record.title = title;
        record.volumeCount = qint16(count);
        record.startVolume = 0;
        return {record};
    }

    const int parts = (count + volumes - 1) / volumes;
    QList<TitleRecord> records;
    records.reserve(parts);
    for (int k = 1; k <= parts; ++k) {
        record.title = title + splitSuffix(k);
        record.volumeCount = qint16(k < parts ? volumes : count - volumes * (parts - 1));
        record.startVolume = qint16(volumes * (k - 1));
        records.append(record);
    }
    return records;
}

} // namespace titleinput
