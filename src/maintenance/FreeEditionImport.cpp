#include "maintenance/FreeEditionImport.h"

#include "store/CollectionFile.h"
#include "store/CollectionStore.h"
#include "store/Cp932.h"
#include "store/DataFolder.h"
#include "store/RecordSyntax.h"
#include "store/TextKeys.h"
#include "store/TitleRules.h"
#include "store/WholeFile.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QScopeGuard>
#include <QSet>
#include <QtConcurrent/QtConcurrentMap>

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
        const QStringList names = DataFolder::fileNames(folder);
        const QStringList folded = DataFolder::foldedAll(names);
        m_names.reserve(names.size());
        for (qsizetype i = 0; i < names.size(); ++i)
            m_names[TextKey{folded[i]}].append(names[i]);
        for (QStringList& spellings : m_names)
            if (spellings.size() > 1)
                spellings.sort();
    }

    // The spelling in the folder of the file name designates, the exact spelling first, or empty.
    QString spelling(const QString& name) const { return spelling(name, name.toCaseFolded()); }
    // The same for a name whose folded form the caller has.
    QString spelling(const QString& name, const QString& folded) const
    {
        const auto it = m_names.constFind(TextKey{folded});
        if (it == m_names.cend())
            return {};
        return it->contains(name) ? name : it->first();
    }

    // The same as an absolute path, or empty.
    QString find(const QString& name) const
    {
        const QString found = spelling(name);
        return found.isEmpty() ? QString() : m_folder + QLatin1Char('/') + found;
    }

private:
    QString m_folder;
    QHash<TextKey, QStringList> m_names;
};

Parsed failed(int line, const QString& what)
{
    Parsed parsed;
    parsed.problemLine = line;
    parsed.problem = QStringLiteral("%1行目: %2").arg(line).arg(what);
    return parsed;
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
            collection::lineOfOffset(bytes, decoded.badOffset),
            QStringLiteral("コードページ932（シフトJIS）として読めないバイトがあります（先頭から%1バイト目）。")
                .arg(decoded.badOffset + 1));

    // Each line is checked on its own as it is read; the titles are then checked against each other. The first
    // line with a problem, of either kind, is the one named.
    QList<Record> records;
    QList<int> lines;
    std::optional<Parsed> lineProblem;
    RecordReader reader(decoded.text);
    int previousLine = 0;
    while (!reader.atEnd() && !lineProblem) {
        QStringView fields[FieldsPerRecord]; // views of the decoded text
        int line = 0;
        for (int f = 0; f < FieldsPerRecord && !lineProblem; ++f) {
            const std::optional<QStringView> field = reader.readFieldView();
            if (f == 0) {
                line = reader.line();
                if (line == previousLine) {
                    lineProblem = failed(line, QStringLiteral("項目が多すぎます（1行に3項目のはずです）。"));
                    break;
                }
            }
            // The file is read field by field; a line that ends early would take the next line's fields.
            if (!field || reader.line() != line)
                lineProblem =
                    failed(line, QStringLiteral("項目が足りません（3項目のうち%1項目しかありません）。").arg(f));
            else
                fields[f] = *field;
        }
        if (lineProblem)
            break;
        previousLine = line;
        if (records.size() >= TitleTable::MaxTitles) {
            lineProblem =
                failed(line, QStringLiteral("題名の数が上限の%1件を超えています。").arg(TitleTable::MaxTitles));
            break;
        }
        TitleRecord counts;
        QString problem = collection::readCounts(fields[1], fields[2], counts);
        if (problem.isEmpty())
            problem = collection::countsProblem(counts.volumeCount, counts.startVolume);
        if (!problem.isEmpty()) {
            lineProblem = failed(line, problem);
            break;
        }
        records.append({titlerules::storedForm(fields[0].toString()), counts.volumeCount, counts.startVolume});
        lines.append(line);
    }

    // Every check a typed title gets; the import replaces the whole collection, so only the file's own titles
    // are there to meet.
    QStringList titles;
    titles.reserve(records.size());
    for (const Record& record : records)
        titles.append(record.title);
    const QList<titlerules::Verdict> verdicts = titlerules::checkTitles(TitleTable(), titles);
    for (qsizetype i = 0; i < verdicts.size(); ++i) {
        const titlerules::Verdict& verdict = verdicts[i];
        if (verdict.ok())
            continue;
        QString what = verdict.reason;
        // These reasons do not name the title themselves.
        if (verdict.fault == titlerules::Fault::RefusedCharacter || verdict.fault == titlerules::Fault::NotStorable ||
            verdict.fault == titlerules::Fault::BadFileName)
            what = QStringLiteral("題名「%1」は使えません。").arg(titles[i]) + what;
        if (verdict.candidate >= 0)
            what += QStringLiteral("（「%1」は%2行目）").arg(titles[verdict.candidate]).arg(lines[verdict.candidate]);
        return failed(lines[i], what);
    }
    if (lineProblem)
        return *lineProblem;
    Parsed parsed;
    parsed.records = std::move(records);
    return parsed;
}

namespace {

// The fields every converted record shares, made once: the records of a whole collection then share the
// strings, rather than each formatting the day afresh.
struct Defaults {
    explicit Defaults(const QDate& importDay)
        : unregistered(QStringLiteral("未登録")), rating(QStringLiteral("未")),
          day(importDay.toString(QStringLiteral("yyyy/MM/dd")))
    {
    }
    QString unregistered;
    QString rating;
    QString day;
};

TitleRecord converted(const Record& record, const Defaults& d)
{
    return {record.title, record.volumeCount, record.startVolume, d.unregistered, d.unregistered, d.rating, d.day,
            d.day};
}

} // namespace

TitleRecord convert(const Record& record, const QDate& importDay)
{
    return converted(record, Defaults(importDay));
}

Outcome importRecords(CollectionStore& store, const QString& freeFolder, const QList<Record>& records,
                      const QDate& importDay)
{
    Outcome outcome;
    TitleTable table;
    table.reserve(int(records.size()));
    const Defaults defaults(importDay);
    for (const Record& record : records)
        table.append(converted(record, defaults));

    // The store refuses to replace a collection that could not be read whole: what could not be read was never
    // shown, so the user cannot have meant to give it up.
    outcome.error = store.writeCollection(table);
    if (!outcome.error.isEmpty())
        return outcome;

    // Files put into the working folder by hand since it was last listed must be replaced, not given a twin
    // that differs only in letter case; the listing answers for every new file's name.
    const DataFolder::TrustedScan listing = store.folder().rescanTrusted();
    const FolderNames source(freeFolder);
    QSet<TextKey> done; // folded titles already taken: a title listed twice has one volume file
    struct Copy {
        QString source; // the spelling in the free folder
        QString target;
    };
    QList<Copy> wanted;
    wanted.reserve(records.size());
    // Letter case is folded character by character: a folded title followed by the folded suffix is the file's
    // folded name, so each title is folded once.
    const QString foldedSuffix = FreeVolumeSuffix.toCaseFolded();
    for (const Record& record : records) {
        TextKey folded{record.title.toCaseFolded()};
        if (done.contains(folded))
            continue;
        const QString name = source.spelling(record.title + FreeVolumeSuffix, folded.text + foldedSuffix);
        done.insert(std::move(folded));
        if (name.isEmpty()) {
            ++outcome.missing;
            continue;
        }
        wanted.append({name, record.title + CollectionStore::VolumeSuffix});
    }
    // One open, one fstat and the reads per file, tens of thousands of small files: read on every core, and kept
    // in the records' order. Each is opened by its name within the folder, held open for the purpose, rather
    // than by a walk along the whole path.
    const int sourceFolder = wholefile::openFolder(freeFolder);
    const auto closed = qScopeGuard([sourceFolder] { wholefile::closeFolder(sourceFolder); });
    const QList<std::optional<QByteArray>> contents =
        QtConcurrent::blockingMapped<QList<std::optional<QByteArray>>>(wanted, [&](const Copy& copy) {
            return sourceFolder >= 0 ? wholefile::readAt(sourceFolder, copy.source)
                                     : wholefile::read(freeFolder + QLatin1Char('/') + copy.source);
        });
    QList<std::pair<QString, QByteArray>> copies;
    copies.reserve(wanted.size());
    for (qsizetype i = 0; i < wanted.size(); ++i) {
        if (contents[i])
            copies.append({wanted[i].target, *contents[i]});
        else
            outcome.notCopied.append(wanted[i].target);
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
