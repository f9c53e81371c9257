#include "maintenance/SpreadsheetImportStep.h"

#include "store/CollectionStore.h"
#include "store/Cp932.h"
#include "store/DataFiles.h"
#include "store/DataFolder.h"

#include <QVarLengthArray>
#include <QtConcurrent/QtConcurrentMap>

SpreadsheetImportStep::SpreadsheetImportStep(ChangeData& data, const spreadsheetimport::Plan& plan)
    : Change(data, QStringLiteral("表計算からの取り込み（%1 件）").arg(plan.acceptedRows)), m_new(plan.records)
{
    m_titles.reserve(m_new.size());
    for (const spreadsheetimport::NewRecord& n : std::as_const(m_new))
        m_titles << n.record.title;
    mergesInto(CollectionStore::RankingFileName);
}

QString SpreadsheetImportStep::apply(bool forward)
{
    return forward ? add() : takeBack();
}

namespace {

const QString NothingChanged = QStringLiteral("今のデータは何も変更していません。");
// Problems named in a refusal; the rest are counted.
constexpr int NamedProblems = 10;

QString listed(const QStringList& problems)
{
    QStringList named = problems.mid(0, NamedProblems);
    if (problems.size() > NamedProblems)
        named << QStringLiteral("ほか%1件").arg(problems.size() - NamedProblems);
    return named.join(QStringLiteral("\r\n"));
}

// One file of a record, encoded: its name and bytes, or why it cannot be.
struct EncodedFile {
    QString name;
    QByteArray bytes;
    QString problem;
};
using RecordFiles = QVarLengthArray<EncodedFile, 2>;

// The volume file of a record, and its memo file when it has a memo.
RecordFiles encodedFiles(const spreadsheetimport::NewRecord& n)
{
    RecordFiles files;
    files.append({n.record.title + CollectionStore::VolumeSuffix, volumefile::bytes(n.states), {}});
    if (!n.memo.isEmpty()) {
        EncodedFile memo{n.record.title + CollectionStore::MemoSuffix, {}, {}};
        memo.problem = CollectionStore::encodeFor(memo.name, memofile::format(n.memo), &memo.bytes);
        files.append(std::move(memo));
    }
    return files;
}

} // namespace

QString SpreadsheetImportStep::checkBeforeWriting(const QList<std::pair<QString, QByteArray>>& files,
                                                  QStringList problems) const
{
    const DataFolder& folder = m_data.store.folder();
    for (const QString& name : {CollectionStore::CollectionFileName, CollectionStore::RankingFileName})
        if (QString problem = folder.placeProblem(name); !problem.isEmpty())
            problems << problem;
    for (const auto& file : files)
        if (QString problem = folder.placeProblem(file.first); !problem.isEmpty())
            problems << problem;
    if (problems.isEmpty())
        return {};
    return QStringLiteral("表計算から取り込めません。次のファイルを書けません。\r\n") + listed(problems) +
           QStringLiteral("\r\n\r\n") + NothingChanged;
}

QString SpreadsheetImportStep::add()
{
    CollectionStore& store = m_data.store;
    DataFolder& folder = store.folder();
    // Files put into the folder by hand since it was listed are replaced, never given a letter-case twin; the
    // listing answers for every new file's name, so that thousands of lookups need not ask the disk each.
    const DataFolder::TrustedScan listing = folder.rescanTrusted();
    // Each record's files are made and encoded on their own, so the records are shared among the cores; the
    // files keep the records' order.
    const QList<RecordFiles> encoded = QtConcurrent::blockingMapped<QList<RecordFiles>>(m_new, &encodedFiles);
    QList<std::pair<QString, QByteArray>> files;
    files.reserve(m_new.size());
    QStringList problems;
    for (const RecordFiles& recordFiles : encoded)
        for (const EncodedFile& file : recordFiles) {
            if (!file.problem.isEmpty())
                problems.append(file.problem);
            else
                files.append({file.name, file.bytes});
        }
    if (QString refusal = checkBeforeWriting(files, problems); !refusal.isEmpty())
        return refusal;

    m_first = m_data.titles.count() + 1;
    const TitleTable tableBefore = m_data.titles;
    const FileBytes fileBefore = store.collectionBytesUnlessOwn(m_data.titles);
    QList<TitleRecord> records;
    records.reserve(m_new.size());
    for (const spreadsheetimport::NewRecord& n : std::as_const(m_new))
        records.append(n.record);
    if (const QString error = store.appendCollection(records); !error.isEmpty())
        return error + QStringLiteral("\r\n\r\n") + NothingChanged;
    m_fileBefore = fileBefore;

    QList<FileBytes> before;
    before.reserve(files.size());
    for (const auto& file : std::as_const(files))
        before.append(folder.read(file.first));
    // One flush for all of them rather than one per file; each file is still replaced atomically.
    const QStringList errors = folder.writeEach(files);
    m_filesBefore.clear();
    QStringList failures;
    for (qsizetype i = 0; i < files.size(); ++i) {
        if (!errors.value(i).isEmpty()) {
            failures.append(errors.value(i));
            continue;
        }
        // Written behind the store's back: putting the file back must not take it for another program's change.
        store.forgetRead(files[i].first);
        m_filesBefore.append({files[i].first, before[i]});
    }
    if (!failures.isEmpty())
        return rollBack(listed(failures), tableBefore);
    if (const QString error = m_ranking.append(m_data, m_titles); !error.isEmpty())
        return rollBack(error, tableBefore);
    for (const TitleRecord& record : std::as_const(records))
        m_data.titles.append(record);
    return {};
}

QString SpreadsheetImportStep::rollBack(const QString& failure, const TitleTable& before)
{
    CollectionStore& store = m_data.store;
    QStringList notPutBack;
    for (const auto& [name, bytes] : std::as_const(m_filesBefore))
        if (const QString error = store.putBack(name, bytes); !error.isEmpty())
            notPutBack << error;
    const QString error = m_fileBefore ? store.restoreCollectionBytes(*m_fileBefore) : store.writeCollection(before);
    if (!error.isEmpty())
        notPutBack << error;
    m_filesBefore.clear();
    m_fileBefore.reset();
    QString text = QStringLiteral("表計算からの取り込みを途中でやめました。次のファイルを書けませんでした。\r\n") +
                   failure + QStringLiteral("\r\n\r\n");
    if (notPutBack.isEmpty())
        return text + QStringLiteral("それまでに書いたファイルはすべて元に戻しました。") + NothingChanged;
    return text + QStringLiteral("それまでに書いたファイルのうち、次のものは元に戻せませんでした。\r\n") +
           listed(notPutBack);
}

void SpreadsheetImportStep::writeBack(const QList<std::pair<QString, FileBytes>>& files)
{
    for (const auto& [name, bytes] : files)
        m_data.store.putBack(name, bytes);
}

QString SpreadsheetImportStep::takeBack()
{
    CollectionStore& store = m_data.store;
    DataFolder& folder = store.folder();
    QString missing;
    const TitleTable remaining = changefiles::withoutAppended(m_data.titles, m_titles, &missing);
    if (!missing.isEmpty())
        return missing;

    // Files that were replaced get their old content first: these writes can fail, and then every file is
    // put as it was. Files the import created are deleted last, when nothing can fail any more.
    QList<std::pair<QString, FileBytes>> replaced;
    for (const auto& [name, bytes] : std::as_const(m_filesBefore)) {
        if (!bytes)
            continue;
        const FileBytes now = folder.read(name);
        if (const QString error = store.putBack(name, bytes); !error.isEmpty()) {
            writeBack(replaced);
            return error;
        }
        replaced.append({name, now});
    }
    // The ranking goes back after the collection file: taking it back may delete a file no write can make
    // again on a full disk, while the collection file just written can be given back the bytes it held.
    const FileBytes collection = folder.read(CollectionStore::CollectionFileName);
    if (const QString error =
            m_fileBefore ? store.restoreCollectionBytes(*m_fileBefore) : store.writeCollection(remaining);
        !error.isEmpty()) {
        writeBack(replaced);
        return error;
    }
    if (const QString error = m_ranking.takeBack(m_data); !error.isEmpty()) {
        store.putBack(CollectionStore::CollectionFileName, collection);
        writeBack(replaced);
        return error;
    }
    m_data.titles = remaining;
    m_ranking.takeBackFavourites(m_data);
    for (const auto& [name, bytes] : std::as_const(m_filesBefore))
        if (!bytes)
            store.putBack(name, std::nullopt);
    return {};
}

ChangeOutcome SpreadsheetImportStep::outcome(bool forward) const
{
    const int count = m_data.titles.count();
    return {forward ? m_first : std::min(m_first - 1, count), true, ChangeOutcome::Everything};
}

qsizetype SpreadsheetImportStep::heldBytes() const
{
    qsizetype bytes = m_fileBefore ? m_fileBefore->size() : 0;
    bytes += m_ranking.heldBytes();
    for (const auto& file : m_filesBefore)
        bytes += file.second ? file.second->size() : 0;
    for (const spreadsheetimport::NewRecord& n : m_new)
        bytes += n.memo.size() * 2;
    return bytes;
}
