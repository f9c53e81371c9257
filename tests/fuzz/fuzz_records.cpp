// libFuzzer target for every reader of data-folder bytes: code page 932 decoding and encoding, the record
// reader, the collection file, the volume, memo, settings and ranking files, and the exchange readers of
// fuzz_exchange.cpp. Every input goes through all
// of them. Besides crashes, sanitizer reports and hangs, it checks the properties below, which hold for any
// input; a broken one prints what broke and aborts, so libFuzzer keeps the input as a crash.

#include "fuzz_exchange.h"
#include "store/CollectionFile.h"
#include "store/Cp932.h"
#include "store/DataFiles.h"
#include "store/DataFolder.h"
#include "store/RecordSyntax.h"

#include <QStringList>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>

namespace {

[[noreturn]] void fail(const char* property, const QString& detail)
{
    std::fprintf(stderr, "\nProperty broken: %s\n%s\n", property, detail.toLocal8Bit().constData());
    std::fflush(stderr);
    std::abort();
}

// The detail is only built when the property is broken: building it on every call would cost more than the
// code under test.
#define CHECK(holds, property, detail)                                                                                 \
    do {                                                                                                               \
        if (!(holds))                                                                                                  \
            fail(property, detail);                                                                                    \
    } while (false)

QString hex(const QByteArray& bytes)
{
    return QString::fromLatin1(bytes.toHex(' '));
}

QString codes(const QString& text)
{
    QStringList list;
    for (QChar c : text)
        list.append(QString::number(c.unicode(), 16).rightJustified(4, u'0'));
    return list.join(u' ');
}

// The record syntax stores such a value verbatim between double quotes.
bool quotable(const QString& value)
{
    return !value.contains(u'"') && !value.contains(u'\r') && !value.contains(u'\n');
}

// Text built by a formatter from values that were read from clean bytes must be storable again.
QByteArray encodeExact(const QString& text, const char* what)
{
    const cp932::Encoded encoded = cp932::encode(text);
    CHECK(encoded.ok(), what, QStringLiteral("unencodable: ") + codes(encoded.unencodable));
    return encoded.bytes;
}

void checkDecode(const QByteArray& bytes)
{
    const cp932::Decoded decoded = cp932::decode(bytes);
    if (!decoded.ok()) {
        CHECK(decoded.badOffset < bytes.size(), "the bad offset lies inside the input", hex(bytes));
        const QByteArray before = bytes.left(decoded.badOffset);
        CHECK(cp932::decode(before).ok(), "the bytes before the bad offset decode cleanly", hex(bytes));
        return;
    }
    // What decodes cleanly can be written back and reads back as the same text.
    const cp932::Encoded encoded = cp932::encode(decoded.text);
    CHECK(encoded.ok(), "decoded text is encodable", hex(bytes) + QStringLiteral(" -> ") + codes(decoded.text));
    const cp932::Decoded again = cp932::decode(encoded.bytes);
    CHECK(again.ok() && again.text == decoded.text, "decoded text round-trips",
          hex(bytes) + QStringLiteral(" -> ") + codes(decoded.text) + QStringLiteral(" -> ") + hex(encoded.bytes));
}

// Calls visit with each code point of text as a view, a surrogate pair being one and a lone surrogate a unit.
template <typename Visit> void forEachCodePoint(const QString& text, Visit visit)
{
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype length =
            text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate() ? 2 : 1;
        visit(QStringView(text).mid(i, length));
        i += length;
    }
}

void checkEncode(const QString& text)
{
    const QString windows = cp932::toWindowsForm(text);
    const cp932::Encoded encoded = cp932::encode(text);
    if (encoded.ok()) {
        // An exact encoding reads back as the very text encoded, never as a look-alike.
        const cp932::Decoded decoded = cp932::decode(encoded.bytes);
        CHECK(decoded.ok() && decoded.text == windows, "an exact encoding reads back unchanged",
              codes(windows) + QStringLiteral(" -> ") + hex(encoded.bytes) + QStringLiteral(" -> ") +
                  codes(decoded.text));
        return;
    }
    // Every character named is in the text (a lone surrogate counting as U+FFFD), named once; without them
    // the rest encodes exactly.
    QStringList characters;
    forEachCodePoint(windows, [&](QStringView c) {
        characters.append(c.size() == 1 && c[0].isSurrogate() ? QStringLiteral("\uFFFD") : c.toString());
    });
    QStringList named;
    forEachCodePoint(encoded.unencodable, [&](QStringView c) { named.append(c.toString()); });
    for (const QString& c : named) {
        CHECK(characters.contains(c), "a character named unencodable occurs in the text",
              codes(windows) + QStringLiteral(" named ") + codes(encoded.unencodable));
        CHECK(named.count(c) == 1, "each unencodable character is named once", codes(encoded.unencodable));
    }
    QString rest;
    for (const QString& c : characters) {
        if (!named.contains(c))
            rest += c;
    }
    const cp932::Encoded restEncoded = cp932::encode(rest);
    CHECK(restEncoded.ok(), "the characters not named are encodable",
          codes(windows) + QStringLiteral(" named ") + codes(encoded.unencodable) + QStringLiteral(" left ") +
              codes(restEncoded.unencodable));
}

void checkRecordReader(const QString& text)
{
    const qsizetype lineEnds = text.count(u'\r') + text.count(u'\n');
    const qsizetype breaks = text.count(u',') + lineEnds;
    RecordReader reader(text);
    QStringList quotableFields;
    qsizetype fields = 0;
    int lastLine = 1;
    while (const std::optional<QString> field = reader.readField()) {
        CHECK(++fields <= breaks + 1, "every field but the last ends at a comma or line end", codes(text));
        CHECK(reader.line() >= lastLine && reader.line() <= lineEnds + 1,
              "field lines increase and stay inside the text", codes(text));
        lastLine = reader.line();
        CHECK(!field->contains(u'\r') && !field->contains(u'\n'), "a field holds no line end", codes(text));
        if (quotable(*field))
            quotableFields.append(*field);
    }
    CHECK(reader.atEnd() && !reader.readField(), "the reader stays at its end", codes(text));

    // A record line written from quotable values reads back as those values.
    if (quotableFields.isEmpty())
        return;
    RecordLine line;
    for (const QString& field : quotableFields)
        line.str(field);
    const QString written = line.text();
    RecordReader back(written);
    QStringList reread;
    while (const std::optional<QString> field = back.readField())
        reread.append(*field);
    CHECK(reread == quotableFields, "a record line reads back as its values", codes(written));
}

// True when the last thing before the trailing blanks and line ends is a comma. The field after that comma is
// still to be read, so a line appended after it is read one field late: what such a file reads as after an
// append is not asserted.
bool endsInComma(const QString& text)
{
    qsizetype end = text.size();
    while (end > 0 &&
           (text[end - 1] == u' ' || text[end - 1] == u'\t' || text[end - 1] == u'\r' || text[end - 1] == u'\n'))
        --end;
    return end > 0 && text[end - 1] == u',';
}

void checkCollection(const QByteArray& bytes, bool pendingComma)
{
    const collection::Parsed parsed = collection::parse(bytes);
    CHECK(parsed.table.count() <= TitleTable::MaxTitles, "the table stays within its limit", QString());
    if (!parsed.ok()) {
        CHECK(parsed.problemLine >= 1, "a problem names a line", parsed.problem);
        CHECK(parsed.problem.startsWith(QString::number(parsed.problemLine) + QStringLiteral("行目")),
              "a problem starts with its line", parsed.problem);
    }

    const QList<TitleRecord>& records = parsed.table.records();
    const bool storable = std::all_of(records.begin(), records.end(), [](const TitleRecord& r) {
        return quotable(r.title) && quotable(r.author) && quotable(r.magazine) && quotable(r.rating) &&
               quotable(r.firstIssue) && quotable(r.lastIssue);
    });
    if (storable) {
        // Saving what was read and reading it again gives the same table.
        const QByteArray saved = encodeExact(collection::format(parsed.table), "a read collection is storable");
        const collection::Parsed again = collection::parse(saved);
        CHECK(again.ok(), "a saved collection reads without problems", again.problem + u'\n' + hex(bytes));
        CHECK(again.table.records() == records, "a saved collection reads back unchanged", hex(bytes));
    }

    // A record appended to a file that read cleanly reads back after the old ones.
    if (!parsed.ok() || pendingComma)
        return;
    const TitleRecord added{"追加", 12, 0, "未登録", "未登録", "未", "2008/05/05", "2008/05/05"};
    const QByteArray grown =
        DataFolder::appended(bytes, encodeExact(collection::formatLine(added), "an added record is storable"));
    const collection::Parsed afterAppend = collection::parse(grown);
    QList<TitleRecord> expected = records;
    expected.append(added);
    CHECK(afterAppend.ok() && afterAppend.table.records() == expected,
          "an appended record reads back after the old ones", afterAppend.problem + u'\n' + hex(grown));
}

void checkDataFiles(const QByteArray& bytes, bool clean, bool pendingComma)
{
    bool complete = false;
    const VolumeStates states = volumefile::parse(bytes, &complete);
    CHECK(states[0] == 0, "volume entry 0 is unused", QString());
    CHECK(!complete || clean, "a volume file with bad bytes is not complete", hex(bytes));
    bool rereadComplete = false;
    const VolumeStates reread =
        volumefile::parse(encodeExact(volumefile::format(states), "volume file"), &rereadComplete);
    CHECK(rereadComplete && reread == states, "a saved volume file reads back complete and unchanged", hex(bytes));

    const qint16 tour = settingsfile::parse(bytes);
    CHECK(settingsfile::parse(encodeExact(settingsfile::format(tour), "settings file")) == tour,
          "a saved settings file reads back unchanged", hex(bytes));

    const QString memo = memofile::parse(bytes);
    CHECK(!QString(memo).remove(QStringLiteral("\r\n")).contains(u'\r') &&
              !QString(memo).remove(QStringLiteral("\r\n")).contains(u'\n'),
          "every memo line break is CR LF", hex(bytes));
    if (clean) {
        CHECK(memofile::parse(encodeExact(memofile::format(memo), "memo file")) == memo,
              "a saved memo reads back unchanged", hex(bytes));
    }

    const QStringList titles = rankingfile::parse(bytes);
    if (clean && std::all_of(titles.begin(), titles.end(), quotable)) {
        QString text;
        for (const QString& title : titles)
            text += rankingfile::formatLine(title);
        CHECK(rankingfile::parse(encodeExact(text, "ranking file")) == titles, "a saved ranking reads back unchanged",
              hex(bytes));
    }
    if (clean && !pendingComma) {
        const QString added = QStringLiteral("追加");
        const QByteArray grown = DataFolder::appended(bytes, encodeExact(rankingfile::formatLine(added), "ranking"));
        CHECK(rankingfile::parse(grown) == titles + QStringList{added},
              "an appended title reads back after the old ones", hex(grown));
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    if (!cp932::isAvailable()) {
        std::fprintf(stderr, "No converter for code page 932.\n");
        std::abort();
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const cp932::Decoded decoded = cp932::decode(bytes);

    checkDecode(bytes);
    checkRecordReader(decoded.text);
    const bool pendingComma = endsInComma(decoded.text);
    checkCollection(bytes, pendingComma);
    checkDataFiles(bytes, decoded.ok(), pendingComma);
    checkExchange(bytes, decoded.text);
    // The same bytes as UTF-16 reach every character, unpaired surrogates included.
    QString utf16(qsizetype(size / 2), Qt::Uninitialized);
    std::memcpy(utf16.data(), data, size / 2 * sizeof(QChar));
    checkEncode(utf16);
    return 0;
}
