#include "store/CollectionStore.h"

#include "store/CollectionFile.h"
#include "store/Cp932.h"

#include "store/PictureFile.h"

#include <QHash>
#include <algorithm>

namespace {

// Spellings used when a file is created; an existing file keeps the spelling it has on disk.
const QString MemoWriteSuffix = QStringLiteral("_C.TXT");
const QString SettingsWriteName = QStringLiteral("設定.TXT");
// The ranking is made from the titles read, so it is not written while some could not be.
const QString RankingLocked =
    QStringLiteral("「ランキング.txt」は、読み込めなかった題名を消してしまわないよう保存しません。");

QString programFileMessage(const QString& fileName, const QString& programFile)
{
    return QStringLiteral("「%1」は、このプログラム自身のファイル「%2」と同じ名前です。\n"
                          "このプログラムのファイルを守るため、この題名のファイルは読み書き・削除しません。")
        .arg(fileName, programFile);
}

} // namespace

CollectionStore::CollectionStore(const QString& folderPath) : m_folder(folderPath) {}

QStringList CollectionStore::programFileNames()
{
    return {CollectionFileName,
            SettingsFileName,
            RankingFileName,
            QStringLiteral("残巻データ.txt"),
            QStringLiteral("収集一覧データ.txt"),
            NoPictureFileName,
            QStringLiteral("HondexHelp.chm")};
}

QString CollectionStore::programFileFor(const QString& fileName)
{
    return programFileForFolded(fileName.toCaseFolded());
}

QString CollectionStore::programFileForFolded(const QString& foldedName)
{
    // Folded once: every title's five file names are looked up here when titles are checked in bulk.
    static const QHash<QString, QString> names = [] {
        QHash<QString, QString> folded;
        for (const QString& name : CollectionStore::programFileNames())
            folded.insert(name.toCaseFolded(), name);
        return folded;
    }();
    // Equal names are equally long: most names are longer than every program file's and need no lookup.
    static const qsizetype longest = [] {
        qsizetype size = 0;
        for (auto it = names.cbegin(); it != names.cend(); ++it)
            size = std::max(size, it.key().size());
        return size;
    }();
    return foldedName.size() > longest ? QString() : names.value(foldedName);
}

QStringList CollectionStore::titleFileNames(const QString& title)
{
    QStringList names{title + VolumeSuffix, title + MemoSuffix};
    for (const QString& suffix : CoverSuffixes)
        names << title + suffix;
    return names;
}

QString CollectionStore::programFileClash(const QString& title)
{
    for (const QString& name : titleFileNames(title))
        if (const QString programFile = programFileFor(name); !programFile.isEmpty())
            return programFileMessage(name, programFile);
    return {};
}

CollectionStore::Load CollectionStore::loadCollection()
{
    Load load;
    // Read back exactly as this store wrote it, the file stays its own: the next change then needs no comparison
    // of the whole file with the table. Bytes changed by anyone else fail the content hash.
    const bool wasOwn = m_collectionIsOwn;
    m_collectionIsOwn = false;
    const std::optional<QByteArray> bytes = m_folder.read(CollectionFileName);
    const bool stillOwn = wasOwn && bytes && m_prints.holds(CollectionFileName, *bytes);
    rememberRead(CollectionFileName, bytes);
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
        if (load.problem.isEmpty())
            rememberRead(CollectionFileName, QByteArray());
        return load;
    }

    collection::Parsed parsed = collection::parse(*bytes);
    load.table = std::move(parsed.table);
    if (parsed.ok()) {
        m_lockReason.clear();
        m_collectionIsOwn = stillOwn;
        return load;
    }
    m_lockReason = QStringLiteral("「%1」を最後まで読み込めませんでした。\n%2\n"
                                  "読み込めた%3件だけを表示しています。"
                                  "ファイルを修復するまで、このファイルへの保存は行いません。")
                       .arg(CollectionFileName, parsed.problem, QString::number(load.table.count()));
    load.problem = m_lockReason;
    return load;
}

QString CollectionStore::lockRefusal(const QString& refusal) const
{
    if (!collectionLocked())
        return {};
    return refusal.isEmpty() ? m_lockReason : refusal + QStringLiteral("\r\n\r\n") + m_lockReason;
}

QString CollectionStore::writeCollection(const TitleTable& table)
{
    if (QString refused = lockRefusal(); !refused.isEmpty())
        return refused;
    QByteArray bytes;
    if (const QString problem = encodeFor(CollectionFileName, collection::format(table), &bytes); !problem.isEmpty())
        return problem;
    const QString error = writeChecked(CollectionFileName, bytes);
    if (error.isEmpty())
        m_collectionIsOwn = true;
    return error;
}

std::optional<QByteArray> CollectionStore::collectionBytesUnlessOwn(const TitleTable& table)
{
    // Written by this program last, unless another program has changed it since.
    if (m_collectionIsOwn &&
        m_prints.changedOutside(CollectionFileName, m_folder.existingPath(CollectionFileName)).isEmpty())
        return std::nullopt;
    m_collectionIsOwn = false;
    const std::optional<QByteArray> bytes = m_folder.read(CollectionFileName);
    if (!bytes)
        return std::nullopt;
    const cp932::Encoded own = cp932::encode(collection::format(table));
    if (own.ok() && own.bytes == *bytes) {
        m_collectionIsOwn = true;
        return std::nullopt;
    }
    return bytes;
}

QString CollectionStore::restoreCollectionBytes(const QByteArray& bytes)
{
    if (QString refused = lockRefusal(); !refused.isEmpty())
        return refused;
    const QString error = writeChecked(CollectionFileName, bytes);
    if (error.isEmpty())
        m_collectionIsOwn = false;
    return error;
}

QString CollectionStore::appendCollection(const QList<TitleRecord>& records)
{
    if (QString refused = lockRefusal(); !refused.isEmpty())
        return refused;
    return appendText(CollectionFileName, collection::format(records));
}

QString CollectionStore::writeVolumeFile(const QString& fileName, const VolumeStates& states)
{
    if (const QString programFile = programFileFor(fileName); !programFile.isEmpty())
        return programFileMessage(fileName, programFile);
    return writeChecked(fileName, volumefile::bytes(states));
}

QString CollectionStore::writeMemo(const QString& title, const QString& memo)
{
    if (const QString programFile = programFileFor(title + MemoWriteSuffix); !programFile.isEmpty())
        return programFileMessage(title + MemoWriteSuffix, programFile);
    return writeText(title + MemoWriteSuffix, memofile::format(memo));
}

QString CollectionStore::removeTitleFiles(const QString& title)
{
    // Missing files are passed over; one that is still there after the deletion is named.
    QStringList kept;
    for (const QString& name : titleFileNames(title)) {
        if (isProgramFile(name))
            continue;
        m_folder.remove(name);
        m_prints.forget(name);
        if (m_folder.exists(name))
            kept << m_folder.existingName(name);
    }
    if (kept.isEmpty())
        return {};
    return QStringLiteral("「%1」を削除できませんでした。").arg(kept.join(QStringLiteral("」「")));
}

qint16 CollectionStore::readHelpTour() const
{
    const std::optional<QByteArray> bytes = m_folder.read(SettingsFileName);
    rememberRead(SettingsFileName, bytes);
    return bytes ? settingsfile::parse(*bytes) : qint16(0);
}

QString CollectionStore::writeHelpTour(qint16 helpTourOn)
{
    return writeText(SettingsWriteName, settingsfile::format(helpTourOn));
}

QStringList CollectionStore::readRanking() const
{
    const std::optional<QByteArray> bytes = m_folder.read(RankingFileName);
    rememberRead(RankingFileName, bytes);
    return bytes ? rankingfile::parse(*bytes) : QStringList();
}

QString CollectionStore::appendRanking(const QStringList& titles)
{
    if (QString refused = lockRefusal(RankingLocked); !refused.isEmpty())
        return refused;
    return appendText(RankingFileName, rankingfile::format(titles));
}

QString CollectionStore::writeRanking(const QStringList& titles)
{
    if (QString refused = lockRefusal(RankingLocked); !refused.isEmpty())
        return refused;
    QByteArray bytes;
    if (const QString problem = encodeFor(RankingFileName, rankingfile::format(titles), &bytes); !problem.isEmpty())
        return problem;
    return writeChecked(RankingFileName, bytes);
}

QImage CollectionStore::readCover(const QString& title, QSize box, bool enlarge) const
{
    QImage cover;
    for (const QString& suffix : CoverSuffixes) {
        if (isProgramFile(title + suffix))
            continue;
        const QString path = m_folder.existingPath(title + suffix);
        if (path.isEmpty())
            continue;
        // Later pictures win, as they always have; one that does not load leaves the earlier one.
        if (QImage image = picturefile::read(path, box, enlarge).image; !image.isNull())
            cover = std::move(image);
    }
    return cover;
}

QString CollectionStore::writePicture(const QString& fileName, const QByteArray& bytes)
{
    if (const QString programFile = programFileFor(fileName); !programFile.isEmpty())
        return programFileMessage(fileName, programFile);
    return writeChecked(fileName, bytes);
}

QImage CollectionStore::loadCover(const QString& title, QSize box) const
{
    QImage cover = readCover(title, box, false);
    if (cover.isNull()) {
        const QString path = m_folder.existingPath(NoPictureFileName);
        if (!path.isEmpty())
            cover = picturefile::read(path, box, false).image;
    }
    return cover;
}

QString CollectionStore::encodeFor(const QString& fileName, const QString& text, QByteArray* bytes)
{
    cp932::Encoded encoded = cp932::encode(text);
    if (!encoded.ok())
        return unencodableProblem(fileName, encoded.unencodable);
    *bytes = std::move(encoded.bytes);
    return {};
}

QString CollectionStore::unencodableProblem(const QString& fileName, const QString& characters)
{
    return QStringLiteral("「%1」に保存できませんでした。\n%2").arg(fileName, cp932::unencodableMessage(characters));
}

QString CollectionStore::writeText(const QString& fileName, const QString& text)
{
    QByteArray bytes;
    if (const QString problem = encodeFor(fileName, text, &bytes); !problem.isEmpty())
        return problem;
    return writeChecked(fileName, bytes);
}

QString CollectionStore::appendText(const QString& fileName, const QString& text)
{
    QByteArray bytes;
    if (const QString problem = encodeFor(fileName, text, &bytes); !problem.isEmpty())
        return problem;
    // The whole file is replaced, as every write is: a file shared with a backup is never changed in place.
    QByteArray whole;
    if (m_folder.exists(fileName)) {
        const std::optional<QByteArray> old = m_folder.read(fileName);
        // Rewriting without the old content would lose it.
        if (!old)
            return QStringLiteral("「%1」に書き込めませんでした。\n理由: 今の内容を読み込めませんでした。")
                .arg(fileName);
        whole = *old;
    }
    // Appending keeps whatever the file holds now, a change made by another program included, so there is
    // nothing to refuse; but what the program holds in memory lacks that change, and a later rewrite from memory
    // would lose it, so the handler is told and the files are read again.
    const QString path = m_folder.existingPath(fileName);
    const bool changedOutside =
        !m_prints.changedOutside(fileName, path).isEmpty() || m_prints.goneSince(fileName, path);
    const QByteArray result = DataFolder::appended(whole, bytes);
    const QString error = m_folder.write(fileName, result);
    if (error.isEmpty()) {
        m_prints.remember(fileName, m_folder.existingPath(fileName), result);
        if (changedOutside)
            noticeOutsideChange(fileName);
    }
    return error;
}

QString CollectionStore::putBack(const QString& fileName, const std::optional<QByteArray>& bytes)
{
    if (bytes)
        return writeChecked(fileName, *bytes);
    // Only the spelling the step made goes: a twin differing in letter case that another program made since is
    // that program's file, not the step's.
    if (!m_folder.removeOne(fileName)) {
        m_prints.forget(fileName);
        return QStringLiteral("「%1」を削除できませんでした。").arg(fileName);
    }
    // Known to be gone: a file another program makes under this name afterwards is its change, noticed before
    // the next write or append rather than taken for what memory holds.
    m_prints.remember(fileName, QString(), std::nullopt);
    return {};
}

void CollectionStore::setOutsideChangeHandler(std::function<void(const QString&)> handler)
{
    m_onOutsideChange = std::move(handler);
}

void CollectionStore::noticeOutsideChange(const QString& fileName)
{
    if (m_onOutsideChange)
        m_onOutsideChange(fileName);
}

void CollectionStore::rememberRead(const QString& fileName, const std::optional<QByteArray>& bytes) const
{
    m_prints.remember(fileName, bytes ? m_folder.existingPath(fileName) : QString(), bytes);
}

QString CollectionStore::writeChecked(const QString& fileName, const QByteArray& bytes)
{
    if (const QString changed = m_prints.changedOutside(fileName, m_folder.existingPath(fileName));
        !changed.isEmpty()) {
        if (m_onOutsideChange)
            m_onOutsideChange(fileName);
        return changed;
    }
    const QString error = m_folder.write(fileName, bytes);
    if (error.isEmpty())
        m_prints.remember(fileName, m_folder.existingPath(fileName), bytes);
    return error;
}
