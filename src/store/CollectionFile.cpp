#include "store/CollectionFile.h"

#include "store/Cp932.h"
#include "store/DataFiles.h"
#include "store/RecordSyntax.h"

#include <algorithm>
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

TextParse parseText(QStringView text)
{
    TextParse result;
    TitleTable& table = result.parsed.table;
    RecordReader reader(text);
    while (!reader.atEnd()) {
        QString fields[FieldsPerRecord];
        int recordLine = 0;
        for (int f = 0; f < FieldsPerRecord; ++f) {
            std::optional<QString> field = reader.readField();
            if (!field) {
                setProblem(result, Problem::ShortLastRecord, recordLine,
                           QStringLiteral("最後の行の項目が足りません（8項目のうち%1項目しかありません）。").arg(f));
                return result;
            }
            if (f == 0)
                recordLine = reader.line();
            fields[f] = std::move(*field);
        }
        if (table.count() >= TitleTable::MaxTitles) {
            setProblem(result, Problem::Other, recordLine,
                       QStringLiteral("題名の数が上限の%1件を超えています。").arg(TitleTable::MaxTitles));
            return result;
        }

        TitleRecord record;
        if (const QString problem = readCounts(fields[1], fields[2], record); !problem.isEmpty()) {
            setProblem(result, Problem::Other, recordLine, problem);
            return result;
        }
        record.title = std::move(fields[0]);
        record.author = std::move(fields[3]);
        record.magazine = std::move(fields[4]);
        record.rating = std::move(fields[5]);
        record.firstIssue = std::move(fields[6]);
        record.lastIssue = std::move(fields[7]);
        table.append(record);
    }
    return result;
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

QString readCounts(const QString& countField, const QString& startField, TitleRecord& record)
{
    const struct {
        const QString& field;
        qint16& target;
        QString name;
    } numbers[] = {{countField, record.volumeCount, QStringLiteral("巻数")},
                   {startField, record.startVolume, QStringLiteral("開始巻の位置")}};
    for (const auto& number : numbers) {
        const std::optional<qint16> value = parseInt16(number.field);
        if (!value)
            return QStringLiteral("%1「%2」が数値ではありません（-32768～32767の整数が必要です）。")
                .arg(number.name, number.field);
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

Parsed parse(const QByteArray& bytes)
{
    const cp932::Decoded decoded = cp932::decode(bytes);
    if (decoded.ok())
        return parseText(decoded.text).parsed;

    // Only the lines before the damaged one are trusted. A record that runs on into the damaged line shows up
    // as a short last record there, which is really the damage.
    const qsizetype cut = lineStart(bytes, decoded.badOffset);
    TextParse before = parseText(cp932::decode(bytes.left(cut)).text);
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
