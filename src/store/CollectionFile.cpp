#include "store/CollectionFile.h"

#include "store/Cp932.h"
#include "store/DataFiles.h"
#include "store/RecordSyntax.h"
#include "store/TextKeys.h"

#include <QHash>
#include <QScopeGuard>
#include <QtConcurrent/QtConcurrentRun>

#include <algorithm>
#include <atomic>
#include <limits>

namespace collection {

namespace {

constexpr int FieldsPerRecord = 8;

enum class Problem { None, ShortLastRecord, Other };

struct TextParse {
    Parsed parsed;
    Problem kind = Problem::None;
};

void setProblem(TextParse& result, Problem kind, int line, const QString& what)
{
    result.kind = kind;
    result.parsed.problemLine = line;
    result.parsed.problem = QStringLiteral("%1行目: %2").arg(line).arg(what);
}

QString limitProblem()
{
    return QStringLiteral("題名の数が上限の%1件を超えています。").arg(TitleTable::MaxTitles);
}

// How reading one record ended.
enum class Read { End, Whole, Short, BadCounts };

// Values that many records share in one field (a rating, an author, a magazine, a date) are made into strings
// once per field and reader: a collection of tens of thousands of records then costs far fewer strings to read,
// hold and free. A field whose values rarely repeat gives up looking once its table is full, so that a
// collection of distinct values pays for no lookups. Titles are not looked up, being nearly all distinct.
class SharedValues final {
public:
    QString take(QStringView value)
    {
        if (m_givenUp || value.isEmpty() || value.size() > LongestKept)
            return value.toString();
        if (const auto known = m_known.constFind(ViewKey{value}); known != m_known.cend()) {
            ++m_hits;
            return *known;
        }
        QString text = value.toString();
        if (m_known.size() < MostKept)
            m_known.insert(ViewKey{text}, text); // the key views the kept string's own characters
        else if (m_hits < m_known.size())
            m_givenUp = true;
        return text;
    }

private:
    static constexpr qsizetype LongestKept = 40;
    static constexpr qsizetype MostKept = 2048;
    QHash<ViewKey, QString> m_known;
    qsizetype m_hits = 0;
    bool m_givenUp = false;
};

// One table of shared values for each field but the title.
struct FieldValues {
    explicit FieldValues(Fields wanted) : titlesOnly(wanted == Fields::TitlesOnly) {}
    bool titlesOnly;
    SharedValues author;
    SharedValues magazine;
    SharedValues rating;
    SharedValues firstIssue;
    SharedValues lastIssue;
};

// Reads the next record into record. Short and BadCounts say why in problem; line is where the record began.
Read readRecord(RecordReader& reader, FieldValues& shared, TitleRecord& record, int& line, QString& problem)
{
    if (reader.atEnd())
        return Read::End;
    QStringView fields[FieldsPerRecord];
    for (int f = 0; f < FieldsPerRecord; ++f) {
        const std::optional<QStringView> field = reader.readFieldView();
        if (!field) {
            problem = QStringLiteral("最後の行の項目が足りません（8項目のうち%1項目しかありません）。").arg(f);
            return Read::Short;
        }
        if (f == 0)
            line = reader.line();
        fields[f] = *field;
    }
    if (problem = readCounts(fields[1], fields[2], record); !problem.isEmpty())
        return Read::BadCounts;
    record.title = fields[0].toString();
    if (shared.titlesOnly)
        return Read::Whole;
    record.author = shared.author.take(fields[3]);
    record.magazine = shared.magazine.take(fields[4]);
    record.rating = shared.rating.take(fields[5]);
    record.firstIssue = shared.firstIssue.take(fields[6]);
    record.lastIssue = shared.lastIssue.take(fields[7]);
    return Read::Whole;
}

// Takes in one record read after table's records, or the problem that ends the reading (false). A record past
// the limit is a problem even when its counts are bad too; a short one is short whatever the count.
bool takeRecord(TextParse& result, Read read, TitleRecord&& record, int line, const QString& problem)
{
    if (read == Read::Short) {
        setProblem(result, Problem::ShortLastRecord, line, problem);
        return false;
    }
    if (result.parsed.table.count() >= TitleTable::MaxTitles) {
        setProblem(result, Problem::Other, line, limitProblem());
        return false;
    }
    if (read == Read::BadCounts) {
        setProblem(result, Problem::Other, line, problem);
        return false;
    }
    result.parsed.table.append(std::move(record));
    return true;
}

// The records read from one point on, with where the reader stood before each, so that a reader coming from
// further up can join them where it stands at one of those places.
struct Tail {
    QList<TitleRecord> records;
    QList<RecordReader::Place> places; // before records[k], and last before the read that ended
    QList<int> lines;                  // where records[k] began, and last where the ending record began
    Read end = Read::End;
    QString problem;
};

// Set by the reader from the top when it no longer needs the tail. It has a cache line of its own, which the
// other core reads at every record: sharing one with the first reader's busy variables would slow both.
struct alignas(64) StopFlag {
    std::atomic<bool> set{false};
};

void readTail(RecordReader& reader, Fields fields, Tail& tail, const StopFlag& stop)
{
    FieldValues shared(fields);
    while (!stop.set.load(std::memory_order_relaxed)) {
        tail.places.append(reader.place());
        TitleRecord record;
        int line = 0;
        tail.end = readRecord(reader, shared, record, line, tail.problem);
        tail.lines.append(line);
        if (tail.end != Read::Whole)
            return;
        tail.records.append(std::move(record));
    }
    tail.end = Read::End;
    tail.places.clear(); // cut short: nothing to join
}

// First line start at or after at (the text's size when there is none).
qsizetype lineStartFrom(QStringView text, qsizetype at)
{
    for (qsizetype i = std::max<qsizetype>(at, 1); i < text.size(); ++i)
        if (text[i - 1] == u'\n' || (text[i - 1] == u'\r' && text[i] != u'\n'))
            return i;
    return text.size();
}

TextParse readRecords(QStringView text, qsizetype splitAt, Fields fields)
{
    TextParse result;
    TitleTable& table = result.parsed.table;
    RecordReader reader(text);
    const qsizetype split = lineStartFrom(text, splitAt);

    // The records from the split on are read on another core. Waiting for them runs them here when no core has
    // taken them up yet, so this core never waits on other work; nothing returns before they are done. The
    // other core reads into lists of its own and hands them over at the end: growing lists beside this core's
    // variables would have the two cores fight over the same cache lines at every record.
    Tail tail;
    StopFlag stop;
    QFuture<void> reading;
    if (split < text.size()) {
        reading = QtConcurrent::run([&] {
            Tail read;
            RecordReader from(text.sliced(split));
            readTail(from, fields, read, stop);
            tail = std::move(read);
        });
    }
    const auto waited = qScopeGuard([&] {
        stop.set = true;
        if (reading.isValid())
            reading.waitForFinished();
    });

    FieldValues shared(fields);
    TitleRecord record;
    int line = 0;
    QString problem;
    // Up to the split, alone.
    while (reader.place().position < split) {
        const Read read = readRecord(reader, shared, record, line, problem);
        if (read == Read::End || !takeRecord(result, read, std::move(record), line, problem))
            return result;
    }
    if (reading.isValid()) {
        reading.waitForFinished();
        // Two readers that stand at the same place read the same records from there on; the tail's places
        // are in the order of the text, so this reader reads on until it stands at one, or has passed them all.
        for (qsizetype k = 0;;) {
            const RecordReader::Place here = reader.place();
            const qsizetype tailPosition = here.position - split;
            while (k < tail.places.size() && tail.places[k].position < tailPosition)
                ++k;
            if (k >= tail.places.size())
                break;
            if (tail.places[k].position == tailPosition && tail.places[k].afterComma == here.afterComma) {
                const int lineShift = here.line - tail.places[k].line;
                if (table.count() + (tail.records.size() - k) <= TitleTable::MaxTitles) {
                    // Every record of the tail is taken: they are moved over together.
                    tail.records.remove(0, k);
                    table.append(std::move(tail.records));
                } else {
                    table.reserve(TitleTable::MaxTitles);
                    for (qsizetype i = k; i < tail.records.size(); ++i)
                        if (!takeRecord(result, Read::Whole, std::move(tail.records[i]), tail.lines[i] + lineShift, {}))
                            return result;
                }
                if (tail.end != Read::End)
                    takeRecord(result, tail.end, {}, tail.lines.constLast() + lineShift, tail.problem);
                return result;
            }
            const Read read = readRecord(reader, shared, record, line, problem);
            if (read == Read::End || !takeRecord(result, read, std::move(record), line, problem))
                return result;
        }
    }
    // No join: the rest, alone.
    for (;;) {
        const Read read = readRecord(reader, shared, record, line, problem);
        if (read == Read::End || !takeRecord(result, read, std::move(record), line, problem))
            return result;
    }
}

// Files of fewer characters are read on one core: the other would save less than it costs to start.
constexpr qsizetype SplitFrom = 64 * 1024;

TextParse readRecords(QStringView text, Fields fields)
{
    return readRecords(text, text.size() >= SplitFrom ? text.size() / 2 : text.size(), fields);
}

// Offset of the first byte of the line holding offset.
qsizetype lineStart(const QByteArray& bytes, qsizetype offset)
{
    qsizetype start = offset;
    while (start > 0 && bytes[start - 1] != '\n' && bytes[start - 1] != '\r')
        --start;
    return start;
}

} // namespace

Parsed parseText(QStringView text, qsizetype splitAt)
{
    return readRecords(text, splitAt, Fields::All).parsed;
}

QString readCounts(QStringView countField, QStringView startField, TitleRecord& record)
{
    const struct {
        QStringView field;
        qint16& target;
        QString name;
    } numbers[] = {{countField, record.volumeCount, QStringLiteral("巻数")},
                   {startField, record.startVolume, QStringLiteral("開始巻の位置")}};
    for (const auto& number : numbers) {
        const std::optional<qint16> value = parseInt16(number.field);
        if (!value)
            return QStringLiteral("%1「%2」が数値ではありません（-32768～32767の整数が必要です）。")
                .arg(number.name, number.field.toString());
        number.target = *value;
    }
    return {};
}

QString countsProblem(qint16 volumeCount, qint16 startVolume)
{
    constexpr int Largest = std::numeric_limits<qint16>::max();
    if (volumeCount < 1 || volumeCount > volumefile::Volumes)
        return QStringLiteral("巻数「%1」は1～%2でなければなりません。").arg(volumeCount).arg(volumefile::Volumes);
    if (startVolume < 0 || startVolume > Largest - volumeCount)
        return QStringLiteral("開始巻の位置「%1」は0～%2でなければなりません（最後の巻の番号が%3を超えてしまいます）。")
            .arg(startVolume)
            .arg(Largest - volumeCount)
            .arg(Largest);
    return {};
}

// Line-end bytes never occur inside a double-byte character, so bytes can be counted directly.
int lineOfOffset(const QByteArray& bytes, qsizetype offset)
{
    int line = 1;
    for (qsizetype i = 0; i < offset; ++i) {
        if (bytes[i] == '\n' || (bytes[i] == '\r' && (i + 1 >= bytes.size() || bytes[i + 1] != '\n')))
            ++line;
    }
    return line;
}

Parsed parse(const QByteArray& bytes, Fields fields)
{
    const cp932::Decoded decoded = cp932::decode(bytes);
    if (decoded.ok())
        return readRecords(decoded.text, fields).parsed;

    // Only the lines before the damaged one are trusted. A record that runs on into the damaged line shows up
    // as a short last record there, which is really the damage.
    const qsizetype cut = lineStart(bytes, decoded.badOffset);
    TextParse before = readRecords(cp932::decode(bytes.left(cut)).text, fields);
    if (before.kind == Problem::Other)
        return before.parsed;
    const int line = lineOfOffset(bytes, decoded.badOffset);
    before.parsed.problemLine = line;
    before.parsed.problem =
        QStringLiteral("%1行目: コードページ932（シフトJIS）として読めないバイトがあります（先頭から%2バイト目）。")
            .arg(line)
            .arg(decoded.badOffset + 1);
    return before.parsed;
}

namespace {

void appendLine(QString& text, const TitleRecord& record)
{
    RecordLine(text)
        .str(record.title)
        .num(record.volumeCount)
        .num(record.startVolume)
        .str(record.author)
        .str(record.magazine)
        .str(record.rating)
        .str(record.firstIssue)
        .str(record.lastIssue)
        .end();
}

} // namespace

QString formatLine(const TitleRecord& record)
{
    QString text;
    appendLine(text, record);
    return text;
}

QString format(const TitleTable& table)
{
    return format(table.records());
}

QString format(const QList<TitleRecord>& records)
{
    // One buffer for the whole file, sized for the longest the lines can be and cut to what was written: a
    // collection of tens of thousands of records is written on every change, so no line gets a string of its own
    // and no character is appended by a call of its own. The lines are those formatLine makes.
    constexpr qsizetype FixedPerLine = 6 * 2 + 7 + 2 + 2 * 6; // quotes, commas, CR LF, two 16-bit numbers
    qsizetype bound = 0;
    for (const TitleRecord& record : records)
        bound += record.title.size() + record.author.size() + record.magazine.size() + record.rating.size() +
                 record.firstIssue.size() + record.lastIssue.size() + FixedPerLine;
    QString text(bound, Qt::Uninitialized);
    char16_t* out = reinterpret_cast<char16_t*>(text.data());
    const auto quoted = [&out](const QString& value) {
        *out++ = u'"';
        out = std::copy_n(reinterpret_cast<const char16_t*>(value.constData()), value.size(), out);
        *out++ = u'"';
    };
    const auto number = [&out](int value) {
        char16_t digits[6];
        int count = 0;
        for (unsigned magnitude = value < 0 ? 0u - unsigned(value) : unsigned(value); magnitude != 0 || count == 0;
             magnitude /= 10)
            digits[count++] = char16_t(u'0' + magnitude % 10);
        if (value < 0)
            *out++ = u'-';
        while (count > 0)
            *out++ = digits[--count];
    };
    for (const TitleRecord& record : records) {
        quoted(record.title);
        *out++ = u',';
        number(record.volumeCount);
        *out++ = u',';
        number(record.startVolume);
        for (const QString* field :
             {&record.author, &record.magazine, &record.rating, &record.firstIssue, &record.lastIssue}) {
            *out++ = u',';
            quoted(*field);
        }
        *out++ = u'\r';
        *out++ = u'\n';
    }
    text.truncate(out - reinterpret_cast<const char16_t*>(text.constData()));
    return text;
}

} // namespace collection
