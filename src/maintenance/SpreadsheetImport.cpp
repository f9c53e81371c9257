#include "maintenance/SpreadsheetImport.h"

#include "maintenance/CsvTable.h"
#include "maintenance/SpreadsheetCells.h"
#include "store/CollectionFile.h"
#include "store/CollectionStore.h"
#include "store/TitleRules.h"
#include "store/VolumeList.h"

#include <QHash>
#include <QtConcurrent/QtConcurrentMap>
#include <algorithm>

namespace spreadsheetimport {

namespace {

constexpr int Volumes = volumefile::Volumes;
// The largest series a row may split: the suffix numbers and start volumes stay 16-bit numbers.
constexpr int MaxSeries = 32750;

enum Column { Title, Count, Start, Author, Magazine, Rating, First, Last, Owned, Missing, Memo, Others, Columns };

// Header names of each column; the first is the one the export writes.
const QList<QStringList>& columnNames()
{
    static const QList<QStringList> names = {
        {QStringLiteral("題名")},
        {QStringLiteral("巻数")},
        {QStringLiteral("分割")},
        {QStringLiteral("著者")},
        {QStringLiteral("掲載誌"), QStringLiteral("掲載"), QStringLiteral("雑誌")},
        {QStringLiteral("評価")},
        {QStringLiteral("初刊"), QStringLiteral("初刊発行")},
        {QStringLiteral("終刊")},
        {QStringLiteral("所持")},
        {QStringLiteral("未所持")},
        {QStringLiteral("メモ")},
        {QStringLiteral("他の状態")},
    };
    return names;
}

struct Row {
    int line = 0;
    QList<NewRecord> records;
    QString refusal;
};

class RowReader final {
public:
    RowReader(const QList<int>& columns, const QDate& today)
        : m_columns(columns), m_today(today.toString(QStringLiteral("yyyy/MM/dd")))
    {
    }

    Row read(const csvtable::Row& source) const
    {
        Row row;
        row.line = source.line;
        row.refusal = fill(source.cells, row.records);
        if (!row.refusal.isEmpty())
            row.records.clear();
        return row;
    }

private:
    bool has(Column c) const { return m_columns[c] >= 0; }
    // The cell as the file stores it: the export's guard taken off, the text in the stored form.
    QString cell(const QStringList& cells, Column c) const
    {
        const int i = m_columns[c];
        return i >= 0 && i < cells.size() ? titlerules::storedForm(csvtable::unguarded(cells[i])) : QString();
    }

    QString fill(const QStringList& cells, QList<NewRecord>& records) const
    {
        // Blanks around a title are kept: they are part of the title the file stores.
        const QString title = cell(cells, Title);
        if (title.trimmed().isEmpty())
            return QStringLiteral("題名がありません。");
        const QString countText = cell(cells, Count);
        const qint64 count = spreadsheetcells::number(countText);
        if (count < 1)
            return QStringLiteral("巻数「%1」は1以上の数字で書いて下さい。").arg(countText.trimmed());

        // A column the table has is taken as it is, an empty cell staying empty; a missing one takes the value a
        // typed title gets.
        TitleRecord base;
        const QString names[] = {QStringLiteral("著者名"), QStringLiteral("掲載誌名"), QStringLiteral("評価")};
        const Column nameColumns[] = {Author, Magazine, Rating};
        QString* targets[] = {&base.author, &base.magazine, &base.rating};
        for (int i = 0; i < 3; ++i) {
            QString value = cell(cells, nameColumns[i]);
            if (!has(nameColumns[i]))
                value = i == 2 ? QStringLiteral("未") : QStringLiteral("未登録");
            if (i == 2)
                value = spreadsheetcells::rating(value);
            if (QString problem = storableName(value, names[i]); !problem.isEmpty())
                return problem;
            *targets[i] = value;
        }
        const Column dateColumns[] = {First, Last};
        QString* dates[] = {&base.firstIssue, &base.lastIssue};
        for (int i = 0; i < 2; ++i) {
            const QString text = cell(cells, dateColumns[i]);
            if (!has(dateColumns[i]))
                *dates[i] = m_today;
            else if (!text.trimmed().isEmpty())
                *dates[i] = spreadsheetcells::storedDate(text);
            if (dates[i]->isEmpty() && !text.trimmed().isEmpty())
                return QStringLiteral("%1「%2」は日付として読めません（例：2002/02/18）。")
                    .arg(columnNames()[dateColumns[i]].first(), text.trimmed());
        }
        QString memo = cell(cells, Memo);
        // Tabs are ordinary text in a memo, as in the memo panel.
        if (QString problem =
                titlerules::storableProblem(QString(memo).replace(u'\t', u' '), QStringLiteral("メモ"), true, false);
            !problem.isEmpty())
            return problem;

        // The records of the row and the volumes they show: first..last.
        int first = 1;
        const QString startText = cell(cells, Start).trimmed();
        if (!startText.isEmpty()) {
            const qint64 start = spreadsheetcells::number(startText) - 1;
            if (start < 0 || count > Volumes)
                return QStringLiteral("分割「%1」と巻数「%2」の組み合わせは使えません（分割は最初の巻の番号で1以上、"
                                      "巻数は1から%3まで）。")
                    .arg(startText, countText.trimmed())
                    .arg(Volumes);
            base.volumeCount = qint16(count);
            if (start > 32767)
                return QStringLiteral("分割「%1」が大きすぎます。").arg(startText);
            base.startVolume = qint16(start);
            if (QString problem = collection::countsProblem(base.volumeCount, base.startVolume); !problem.isEmpty())
                return problem;
            base.title = title;
            records.append({base, {}, memo});
            first = base.startVolume + 1;
        } else if (count <= Volumes) {
            base.title = title;
            base.volumeCount = qint16(count);
            records.append({base, {}, memo});
        } else {
            if (count > MaxSeries)
                return QStringLiteral("巻数は%1巻までで書いて下さい。").arg(MaxSeries);
            const int parts = int((count + Volumes - 1) / Volumes);
            for (int k = 1; k <= parts; ++k) {
                TitleRecord part = base;
                part.title = title + QStringLiteral("(%1_%2)").arg(Volumes * (k - 1) + 1).arg(Volumes * k);
                part.volumeCount = qint16(k < parts ? Volumes : count - Volumes * (parts - 1));
                part.startVolume = qint16(Volumes * (k - 1));
                // A split series keeps its memo with its first record, as the memo of a typed title would be.
                records.append({part, {}, k == 1 ? memo : QString()});
            }
        }
        return markVolumes(cells, records, first, first + int(count) - 1);
    }

    // Names are stored in quotes on one line: no quote, no line break; a tab is kept as the file can hold it.
    static QString storableName(const QString& value, const QString& what)
    {
        return titlerules::storableProblem(QString(value).replace(u'\t', u' '), what);
    }

    QString markVolumes(const QStringList& cells, QList<NewRecord>& records, int first, int last) const
    {
        const bool owned = has(Owned);
        // Without either column every volume is collected; with one, the volumes it does not list take the other
        // state; with both, a volume neither lists is not owned.
        QList<qint16> states(last - first + 1, qint16(owned ? 1 : 0));
        QList<bool> listed(last - first + 1, false);
        const Column columns[] = {Owned, Missing};
        for (int i = 0; i < 2; ++i) {
            if (!has(columns[i]))
                continue;
            const volumelist::Parsed list = volumelist::parse(cell(cells, columns[i]), first, last);
            if (!list.ok())
                return columnNames()[columns[i]].first() + QStringLiteral("：") + list.problem;
            for (int v : list.numbers) {
                if (listed[v - first])
                    return QStringLiteral("%1巻が所持と未所持の両方にあります。").arg(v);
                listed[v - first] = true;
                states[v - first] = qint16(i);
            }
        }
        int shown = 0;
        for (NewRecord& r : records)
            for (int k = 1; k <= r.record.volumeCount; ++k)
                r.states[k] = states[shown++];
        if (!has(Others))
            return {};
        // Every entry of every record's file, those beyond a record's count included.
        const int entries = int(records.size()) * Volumes;
        const spreadsheetcells::ParsedStates others =
            spreadsheetcells::parseOtherStates(cell(cells, Others), first, first + entries - 1);
        if (!others.problem.isEmpty())
            return columnNames()[Others].first() + QStringLiteral("：") + others.problem;
        for (const auto& [volume, state] : others.states) {
            if (volume <= last && listed[volume - first])
                return QStringLiteral("%1巻が%2と所持・未所持の両方にあります。")
                    .arg(volume)
                    .arg(columnNames()[Others].first());
            const int offset = volume - first;
            records[offset / Volumes].states[offset % Volumes + 1] = state;
        }
        return {};
    }

    const QList<int>& m_columns;
    QString m_today;
};

QString titleReason(const titlerules::Verdict& verdict, const QString& title, const QString& other, int otherLine)
{
    QString what = verdict.reason;
    if (verdict.fault == titlerules::Fault::RefusedCharacter || verdict.fault == titlerules::Fault::NotStorable ||
        verdict.fault == titlerules::Fault::BadFileName)
        what = QStringLiteral("題名「%1」は使えません。").arg(title) + what;
    else if (verdict.fault == titlerules::Fault::SameTitle)
        what = QStringLiteral("「%1」は既に登録されています。").arg(title);
    if (verdict.candidate >= 0)
        what += QStringLiteral("（%1行目の「%2」と重なります）").arg(otherLine).arg(other);
    return what;
}

} // namespace

Plan plan(const QByteArray& bytes, const TitleTable& table, const QDate& today)
{
    Plan result;
    QString undecodable;
    const QString text = csvtable::decode(bytes, &undecodable);
    if (!undecodable.isEmpty()) {
        result.problem = undecodable;
        return result;
    }
    const csvtable::Read read = csvtable::read(text);
    if (!read.problem.isEmpty()) {
        result.problem = read.problem;
        return result;
    }
    if (read.rows.isEmpty()) {
        result.problem = QStringLiteral("見出しの行がありません。");
        return result;
    }
    QList<int> columns(Columns, -1);
    const QStringList& header = read.rows.first().cells;
    for (int c = 0; c < Columns; ++c)
        for (qsizetype i = 0; i < header.size() && columns[c] < 0; ++i)
            if (columnNames()[c].contains(header[i].trimmed()))
                columns[c] = int(i);
    for (const Column required : {Title, Count})
        if (columns[required] < 0) {
            result.problem =
                QStringLiteral("1行目の見出しに「%1」の列がありません。").arg(columnNames()[required].first());
            return result;
        }

    // Each row is read on its own, so the rows are shared among the cores; their order is kept.
    const RowReader reader(columns, today);
    QList<Row> rows = QtConcurrent::blockingMapped<QList<Row>>(
        read.rows.cbegin() + 1, read.rows.cend(),
        [&reader](const csvtable::Row& source) { return reader.read(source); });

    // Titles against the collection and each other. A row refused for one of its records takes none, so the
    // others are checked again without it, until no further row is refused.
    for (bool again = true; again;) {
        again = false;
        QStringList titles;
        QList<int> owner;
        for (int r = 0; r < rows.size(); ++r)
            if (rows[r].refusal.isEmpty())
                for (const NewRecord& n : rows[r].records) {
                    titles.append(n.record.title);
                    owner.append(r);
                }
        const QList<titlerules::Verdict> verdicts = titlerules::checkTitles(table, titles);
        for (qsizetype i = 0; i < verdicts.size(); ++i) {
            Row& row = rows[owner[i]];
            if (verdicts[i].ok() || !row.refusal.isEmpty())
                continue;
            const int c = verdicts[i].candidate;
            row.refusal =
                titleReason(verdicts[i], titles[i], c >= 0 ? titles[c] : QString(), c >= 0 ? rows[owner[c]].line : 0);
            again = true;
        }
    }

    int total = table.count();
    qsizetype accepted = 0;
    for (const Row& row : std::as_const(rows))
        accepted += row.records.size();
    result.records.reserve(accepted);
    for (Row& row : rows) {
        if (row.refusal.isEmpty() && total + row.records.size() > TitleTable::MaxTitles)
            row.refusal = QStringLiteral("登録できるのは全部で%1件までです。").arg(TitleTable::MaxTitles);
        if (!row.refusal.isEmpty()) {
            result.refused.append({row.line, row.refusal});
            continue;
        }
        total += int(row.records.size());
        ++result.acceptedRows;
        for (NewRecord& n : row.records)
            result.records.append(std::move(n));
    }
    return result;
}

QString refusalText(const Plan& plan)
{
    if (plan.refused.isEmpty())
        return {};
    QString text = QStringLiteral("次の%1行は取り込みません。").arg(plan.refused.size());
    for (qsizetype i = 0; i < plan.refused.size() && i < ListedRefusals; ++i)
        text += QStringLiteral("\r\n%1行目: %2").arg(plan.refused[i].line).arg(plan.refused[i].reason);
    if (plan.refused.size() > ListedRefusals)
        text += QStringLiteral("\r\nほか%1行").arg(plan.refused.size() - ListedRefusals);
    return text;
}

QString questionText(const Plan& plan)
{
    QString text = QStringLiteral("%1件のコミックを追加します。").arg(plan.acceptedRows);
    if (plan.records.size() != plan.acceptedRows)
        text += QStringLiteral("（５０巻を超えるものは分けて、データは%1件になります）").arg(plan.records.size());
    if (!plan.refused.isEmpty())
        text += QStringLiteral("\r\n\r\n") + refusalText(plan);
    text += QStringLiteral("\r\n\r\nよろしいですか？");
    return text;
}

} // namespace spreadsheetimport
