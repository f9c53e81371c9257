#include "lists/StatusList.h"

#include "store/CollectionStore.h"
#include "ui/logic/MainPageLogic.h"

#include <bit>

namespace statuslist {

QString StatusRow::cellText(int column) const
{
    if (column < 1 || column > filledColumns() || !isMissing(column))
        return {};
    return QString::number(column + startVolume);
}

quint64 missingMask(const VolumeStates& states, int volumeCount)
{
    const int last = qBound(0, volumeCount, Columns);
    quint64 mask = 0;
    for (int c = 1; c <= last; ++c) {
        if (states[c] == 1)
            mask |= quint64(1) << (c - 1);
    }
    return mask;
}

int countBits(quint64 mask)
{
    return std::popcount(mask);
}

QStringList captions(const Totals& totals)
{
    return {QStringLiteral("総冊数　%1").arg(totals.totalVolumes),
            QStringLiteral("収集冊数　%1").arg(totals.collectedVolumes()),
            QStringLiteral("残冊数　%1").arg(totals.missingVolumes),
            QStringLiteral("総刊数　%1").arg(totals.titleCount),
            QStringLiteral("完了　%1").arg(totals.completedTitles),
            QStringLiteral("継続　%1").arg(totals.continuingTitles())};
}

VolumeStates readStates(CollectionStore& store, const QString& title)
{
    const QString fileName = mainpage::volumeFileName(title);
    if (!store.folder().exists(fileName)) {
        store.writeVolumeFile(fileName, VolumeStates{});
        return VolumeStates{};
    }
    return store.readVolumeFile(fileName);
}

QList<VolumeStates> readAllStates(CollectionStore& store, const TitleTable& titles)
{
    QStringList fileNames;
    fileNames.reserve(titles.count());
    for (const TitleRecord& record : titles.records())
        fileNames.append(mainpage::volumeFileName(record.title));
    const QList<CollectionStore::VolumeRead> reads = store.readVolumeFiles(fileNames);
    QList<VolumeStates> states;
    states.reserve(reads.size());
    for (qsizetype i = 0; i < reads.size(); ++i) {
        // Titles that share a file (letter-case twins) find it missing alike; writing it twice is harmless.
        if (!reads[i].exists)
            store.writeVolumeFile(fileNames[i], VolumeStates{});
        states.append(reads[i].exists ? reads[i].states : VolumeStates{});
    }
    return states;
}

Fill fill(CollectionStore& store, const TitleTable& titles)
{
    Fill result;
    const int count = titles.count();
    result.rows.reserve(count);
    result.totals.titleCount = count;
    const QList<VolumeStates> states = readAllStates(store, titles);
    for (qsizetype i = 0; i < states.size(); ++i) {
        const TitleRecord& record = titles.records()[i];
        StatusRow row{record.title, record.volumeCount, record.startVolume, 0};
        row.missing = missingMask(states[i], record.volumeCount);
        result.totals.add(record.volumeCount, countBits(row.missing));
        result.rows.append(std::move(row));
    }
    return result;
}

Totals totals(const TitleTable& titles, const QList<VolumeStates>& states)
{
    Totals result;
    result.titleCount = titles.count();
    for (qsizetype i = 0; i < states.size() && i < titles.count(); ++i) {
        const TitleRecord& record = titles.records()[i];
        result.add(record.volumeCount, countBits(missingMask(states[i], record.volumeCount)));
    }
    return result;
}

QString tourText()
{
    return QStringLiteral("メイン画面がコミック１つに対して一ページで構成されている画面に対して\r\n"
                          "この画面は、収集、未収集が一度に複数行確認できる画面です。\r\n"
                          "\r\n"
                          "メインと同じように任意の巻数をクリックすると、\r\n"
                          "収集、未収集を切り替えることができます。\r\n"
                          "\r\n"
                          "登録巻数外（白色）部分をクリックしてもなにもおきませんが、\r\n"
                          "ダブルクリックするとそのコミックでメイン画面を表示することができます。\r\n"
                          "\r\n"
                          "未収集分だけに絞り込んだ表示やデータ保存できる機能があります。\r\n"
                          "\r\n"
                          "\r\n");
}

} // namespace statuslist
