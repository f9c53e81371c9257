#include "store/CollectionStore.h"

#include "store/CollectionFile.h"
#include "store/Cp932.h"

#include <QImageReader>

namespace {

// Spellings used when a file is created; an existing file keeps the spelling it has on disk.
const QString MemoWriteSuffix = QStringLiteral("_C.TXT");
const QString SettingsWriteName = QStringLiteral("設定.TXT");

QImage loadImage(const QString& path)
{
    QImageReader reader(path);
    // Cover files are often saved under the wrong extension; the content decides.
    reader.setDecideFormatFromContent(true);
    return reader.read();
}

} // namespace

CollectionStore::CollectionStore(const QString& folderPath) : m_folder(folderPath) {}

CollectionStore::Load CollectionStore::loadCollection()
{
    Load load;
    const std::optional<QByteArray> bytes = m_folder.read(CollectionFileName);
    if (!bytes) {
        if (m_folder.exists(CollectionFileName)) {
            m_lockReason = QStringLiteral("「%1」を読み込めませんでした。\n"
                                          "読み込めるようになるまで、このファイルへの保存は行いません。")
                               .arg(CollectionFileName);
            load.problem = m_lockReason;
            return load;
        }
        // Nothing to protect: a missing collection is an empty one.
        m_lockReason.clear();
        load.problem = m_folder.write(CollectionFileName, QByteArray());
        return load;
    }

    collection::Parsed parsed = collection::parse(*bytes);
    load.table = std::move(parsed.table);
    if (parsed.ok()) {
        m_lockReason.clear();
        return load;
    }
    m_lockReason = QStringLiteral("「%1」を最後まで読み込めませんでした。\n%2\n"
                                  "読み込めた%3件だけを表示しています。"
                                  "ファイルを修復するまで、このファイルへの保存は行いません。")
                       .arg(CollectionFileName, parsed.problem, QString::number(load.table.count()));
    load.problem = m_lockReason;
    return load;
}

QString CollectionStore::writeCollection(const TitleTable& table)
{
    if (collectionLocked())
        return m_lockReason;
    return writeText(CollectionFileName, collection::format(table));
}

QString CollectionStore::appendCollection(const QList<TitleRecord>& records)
{
    if (collectionLocked())
        return m_lockReason;
    QString text;
    for (const TitleRecord& record : records)
        text += collection::formatLine(record);
    return appendText(CollectionFileName, text);
}

VolumeStates CollectionStore::readVolumeFile(const QString& fileName, bool* complete) const
{
    const std::optional<QByteArray> bytes = m_folder.read(fileName);
    if (!bytes) {
        // A missing file is a new title's: nothing is damaged. One that exists but cannot be read is.
        if (complete)
            *complete = !m_folder.exists(fileName);
        return VolumeStates{};
    }
    return volumefile::parse(*bytes, complete);
}

QString CollectionStore::writeVolumeFile(const QString& fileName, const VolumeStates& states)
{
    return writeText(fileName, volumefile::format(states));
}

QString CollectionStore::readMemo(const QString& title) const
{
    const std::optional<QByteArray> bytes = m_folder.read(title + MemoSuffix);
    return bytes ? memofile::parse(*bytes) : QString();
}

QString CollectionStore::writeMemo(const QString& title, const QString& memo)
{
    return writeText(title + MemoWriteSuffix, memofile::format(memo));
}

qint16 CollectionStore::readHelpTour() const
{
    const std::optional<QByteArray> bytes = m_folder.read(SettingsFileName);
    return bytes ? settingsfile::parse(*bytes) : qint16(0);
}

QString CollectionStore::writeHelpTour(qint16 helpTourOn)
{
    return writeText(SettingsWriteName, settingsfile::format(helpTourOn));
}

QStringList CollectionStore::readRanking() const
{
    const std::optional<QByteArray> bytes = m_folder.read(RankingFileName);
    return bytes ? rankingfile::parse(*bytes) : QStringList();
}

QString CollectionStore::appendRanking(const QStringList& titles)
{
    QString text;
    for (const QString& title : titles)
        text += rankingfile::formatLine(title);
    return appendText(RankingFileName, text);
}

QString CollectionStore::writeRanking(const QStringList& titles)
{
    QString text;
    for (const QString& title : titles)
        text += rankingfile::formatLine(title);
    return writeText(RankingFileName, text);
}

QImage CollectionStore::loadCover(const QString& title) const
{
    QImage cover;
    for (const QString& suffix : CoverSuffixes) {
        const QString path = m_folder.existingPath(title + suffix);
        if (path.isEmpty())
            continue;
        // Later pictures win, as they always have; one that does not load leaves the earlier one.
        if (QImage image = loadImage(path); !image.isNull())
            cover = std::move(image);
    }
    if (cover.isNull()) {
        const QString path = m_folder.existingPath(NoPictureFileName);
        if (!path.isEmpty())
            cover = loadImage(path);
    }
    return cover;
}

QString CollectionStore::encodeFor(const QString& fileName, const QString& text, QByteArray* bytes)
{
    cp932::Encoded encoded = cp932::encode(text);
    if (!encoded.ok())
        return QStringLiteral("「%1」に保存できませんでした。\n%2")
            .arg(fileName, cp932::unencodableMessage(encoded.unencodable));
    *bytes = std::move(encoded.bytes);
    return {};
}

QString CollectionStore::writeText(const QString& fileName, const QString& text)
{
    QByteArray bytes;
    if (const QString problem = encodeFor(fileName, text, &bytes); !problem.isEmpty())
        return problem;
    return m_folder.write(fileName, bytes);
}

QString CollectionStore::appendText(const QString& fileName, const QString& text)
{
    QByteArray bytes;
    if (const QString problem = encodeFor(fileName, text, &bytes); !problem.isEmpty())
        return problem;
    return m_folder.append(fileName, bytes);
}
