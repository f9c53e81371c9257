#include "maintenance/FreeEditionImport.h"

#include "store/CollectionFile.h"
#include "store/CollectionStore.h"
#include "store/Cp932.h"
#include "store/RecordSyntax.h"

#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSet>

namespace freeedition {

namespace {

constexpr int FieldsPerRecord = 3;
const QString FreeVolumeSuffix = QStringLiteral(".txt");

// The names in a folder of the free edition, keyed by their case-folded form. Read only: unlike the working
// folder's index, it never deletes anything it finds.
class FolderNames final {
public:
    explicit FolderNames(const QString& folder) : m_folder(folder)
    {
        // No name filters: titles hold [ ] * ? which a filter would read as wildcards.
        QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System);
        while (it.hasNext()) {
            it.next();
            m_names[it.fileName().toCaseFolded()].append(it.fileName());
        }
        for (QStringList& spellings : m_names)
            if (spellings.size() > 1)
                spellings.sort();
    }

    // Absolute path of the file name designates, the exact spelling first, or empty.
    QString find(const QString& name) const
    {
        const auto it = m_names.constFind(name.toCaseFolded());
        if (it == m_names.cend())
            return {};
        return m_folder + QLatin1Char('/') + (it->contains(name) ? name : it->first());
    }

private:
    QString m_folder;
    QHash<QString, QStringList> m_names;
};

// Line number (1-based) of the byte at offset; CR LF, a lone CR and a lone LF each end a line.
int lineOfOffset(const QByteArray& bytes, qsizetype offset)
{
    int line = 1;
    for (qsizetype i = 0; i < offset; ++i)
        if (bytes[i] == '\n' || (bytes[i] == '\r' && (i + 1 >= bytes.size() || bytes[i + 1] != '\n')))
            ++line;
    return line;
}

Parsed failed(int line, const QString& what)
{
    Parsed parsed;
    parsed.problemLine = line;
    parsed.problem = QStringLiteral("%1行目: %2").arg(line).arg(what);
    return parsed;
}

// Empty when title can name its files inside the working folder; else why not.
QString titleProblem(const QString& title)
{
    for (const QString& name : CollectionStore::titleFileNames(title))
        if (const QString problem = DataFolder::checkFileName(name); !problem.isEmpty())
            return QStringLiteral("題名「%1」からはファイル名を作れません。%2").arg(title, problem);
    if (const QString clash = CollectionStore::programFileClash(title); !clash.isEmpty())
        return QStringLiteral("題名「%1」は使えません。\n%2").arg(title, clash);
    return {};
}

} // namespace

QString findDataFile(const QString& folder)
{
    if (folder.isEmpty())
        return {};
    const QFileInfo exact(folder + QLatin1Char('/') + DataFileName);
    if (exact.isFile())
        return exact.absoluteFilePath();
    const QString path = FolderNames(folder).find(DataFileName);
    return path.isEmpty() || !QFileInfo(path).isFile() ? QString() : QFileInfo(path).absoluteFilePath();
}

Parsed parse(const QByteArray& bytes)
{
    const cp932::Decoded decoded = cp932::decode(bytes);
    if (!decoded.ok())
        return failed(
            lineOfOffset(bytes, decoded.badOffset),
            QStringLiteral("コードページ932（シフトJIS）として読めないバイトがあります（先頭から%1バイト目）。")
                .arg(decoded.badOffset + 1));

    Parsed parsed;
    RecordReader reader(decoded.text);
    int previousLine = 0;
    while (!reader.atEnd()) {
        QString fields[FieldsPerRecord];
        int line = 0;
        for (int f = 0; f < FieldsPerRecord; ++f) {
            std::optional<QString> field = reader.readField();
            if (f == 0) {
                line = reader.line();
                if (line == previousLine)
                    return failed(line, QStringLiteral("項目が多すぎます（1行に3項目のはずです）。"));
            }
            // The file is read field by field; a line that ends early would take the next line's fields.
            if (!field || reader.line() != line)
                return failed(line, QStringLiteral("項目が足りません（3項目のうち%1項目しかありません）。").arg(f));
            fields[f] = std::move(*field);
        }
        previousLine = line;
        if (parsed.records.size() >= TitleTable::MaxTitles)
            return failed(line, QStringLiteral("題名の数が上限の%1件を超えています。").arg(TitleTable::MaxTitles));

        Record record;
        const struct {
            const QString& field;
            qint16& target;
            QString name;
        } numbers[] = {{fields[1], record.volumeCount, QStringLiteral("巻数")},
                       {fields[2], record.startVolume, QStringLiteral("開始巻の位置")}};
        for (const auto& number : numbers) {
            const std::optional<qint16> value = parseInt16(number.field);
            if (!value)
                return failed(line, QStringLiteral("%1「%2」が数値ではありません（-32768～32767の整数が必要です）。")
                                        .arg(number.name, number.field));
            number.target = *value;
        }
        if (const QString problem = titleProblem(fields[0]); !problem.isEmpty())
            return failed(line, problem);
        record.title = std::move(fields[0]);
        parsed.records.append(std::move(record));
    }
    return parsed;
}

TitleRecord convert(const Record& record, const QDate& importDay)
{
    const QString unregistered = QStringLiteral("未登録");
    const QString day = importDay.toString(QStringLiteral("yyyy/MM/dd"));
    return {record.title, record.volumeCount, record.startVolume, unregistered, unregistered, QStringLiteral("未"), day,
            day};
}

Outcome importRecords(CollectionStore& store, const QString& freeFolder, const QList<Record>& records,
                      const QDate& importDay)
{
    Outcome outcome;
    TitleTable table;
    table.reserve(int(records.size()));
    for (const Record& record : records)
        table.append(convert(record, importDay));

    // The import replaces the whole collection, read or not, so the store's lock on a partly read collection
    // file (which keeps saves of a partial table from cutting it off) does not apply here.
    QByteArray bytes;
    outcome.error = CollectionStore::encodeFor(CollectionStore::CollectionFileName, collection::format(table), &bytes);
    if (outcome.error.isEmpty())
        outcome.error = store.folder().write(CollectionStore::CollectionFileName, bytes);
    if (!outcome.error.isEmpty())
        return outcome;

    // Files put into the working folder by hand since it was last listed must be replaced, not given a twin
    // that differs only in letter case.
    store.folder().rescan();
    const FolderNames source(freeFolder);
    QSet<QString> done; // folded titles already taken: a title listed twice has one volume file
    QList<std::pair<QString, QByteArray>> copies;
    for (const Record& record : records) {
        const QString folded = record.title.toCaseFolded();
        if (done.contains(folded))
            continue;
        done.insert(folded);
        const QString path = source.find(record.title + FreeVolumeSuffix);
        if (path.isEmpty()) {
            ++outcome.missing;
            continue;
        }
        const QString target = record.title + CollectionStore::VolumeSuffix;
        QFile file(path);
        QByteArray content;
        if (file.open(QIODevice::ReadOnly))
            content = file.readAll();
        if (!file.isOpen() || file.error() != QFileDevice::NoError) {
            outcome.notCopied.append(target);
            continue;
        }
        copies.append({target, content});
    }
    // All copies are put on disk together: thousands of small files cost about as much as one.
    const QStringList failures = store.folder().writeEach(copies);
    for (qsizetype i = 0; i < copies.size(); ++i) {
        if (failures.value(i).isEmpty())
            ++outcome.copied;
        else
            outcome.notCopied.append(copies[i].first);
    }
    return outcome;
}

} // namespace freeedition
