#include "maintenance/SpreadsheetExport.h"

#include "maintenance/CsvTable.h"
#include "maintenance/SpreadsheetCells.h"
#include "store/AtomicFileWriter.h"
#include "store/CollectionStore.h"
#include "store/VolumeList.h"

#include <QFileInfo>

namespace spreadsheet {

QByteArray exportBytes(const CollectionStore& store, const TitleTable& table)
{
    QStringList titles;
    QStringList fileNames;
    titles.reserve(table.count());
    fileNames.reserve(table.count());
    for (const TitleRecord& record : table.records()) {
        titles.append(record.title);
        fileNames.append(record.title + CollectionStore::VolumeSuffix);
    }
    const QList<CollectionStore::VolumeRead> reads = store.readVolumeFiles(fileNames);
    const QStringList memos = store.readMemos(titles);

    QList<QStringList> rows;
    rows.reserve(table.count() + 1);
    rows.append(Header);
    for (qsizetype i = 0; i < titles.size(); ++i) {
        const TitleRecord& record = table.records()[i];
        const VolumeStates& states = reads[i].states;
        QList<int> owned;
        QList<int> missing;
        spreadsheetcells::OtherStates others;
        for (int k = 1; k <= volumefile::Volumes; ++k) {
            const int volume = record.startVolume + k;
            if (k <= record.volumeCount && states[k] == 0)
                owned.append(volume);
            else if (k <= record.volumeCount && states[k] == 1)
                missing.append(volume);
            else if (k <= record.volumeCount || states[k] != 0)
                others.append({volume, states[k]});
        }
        rows.append({record.title, QString::number(record.volumeCount), QString::number(record.startVolume + 1),
                     record.author, record.magazine, record.rating, record.firstIssue, record.lastIssue,
                     volumelist::format(owned), volumelist::format(missing), memos[i],
                     spreadsheetcells::formatOtherStates(others)});
    }
    return csvtable::write(rows);
}

QString exportTo(const CollectionStore& store, const TitleTable& table, const QString& path, FileWriter& writer)
{
    const QString error = writer.writeAtomically(QFileInfo(path).absoluteFilePath(), exportBytes(store, table));
    if (error.isEmpty())
        return {};
    return QStringLiteral("「%1」に書き出せませんでした。\r\n%2").arg(QFileInfo(path).fileName(), error);
}

} // namespace spreadsheet
