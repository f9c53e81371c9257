#include "store/Cp932.h"

#include "store/Cp932Tables.h"

#include <QStringDecoder>
#include <QStringEncoder>
#include <QStringList>
#include <QtEndian>
#include <algorithm>
#include <optional>

namespace cp932 {

namespace {

// The offset of the first byte that does not start a valid character. Each character is decoded on its own,
// so the cost is linear in the input; it only runs once the whole input is known to hold an error.
qsizetype findBadOffset(const QByteArray& bytes)
{
    QStringDecoder decoder(ConverterName, QStringConverter::Flag::Stateless);
    const qsizetype size = bytes.size();
    qsizetype pos = 0;
    while (pos < size) {
        const qsizetype length = isLeadByte(uchar(bytes[pos])) ? 2 : 1;
        if (pos + length > size)
            return pos;
        const QString unit = decoder(QByteArrayView(bytes.constData() + pos, length));
        if (decoder.hasError() || unit.isEmpty())
            return pos;
        pos += length;
    }
    // The decoder saw an error that the unit walk did not; blame the last byte rather than claim success.
    return size > 0 ? size - 1 : 0;
}

char32_t windowsForm(char32_t c)
{
    switch (c) {
    case 0x301C:
        return 0xFF5E; // WAVE DASH -> FULLWIDTH TILDE
    case 0x2212:
        return 0xFF0D; // MINUS SIGN -> FULLWIDTH HYPHEN-MINUS
    case 0x2014:
        return 0x2015; // EM DASH -> HORIZONTAL BAR
    case 0x2016:
        return 0x2225; // DOUBLE VERTICAL LINE -> PARALLEL TO
    case 0x00A2:
        return 0xFFE0; // CENT SIGN
    case 0x00A3:
        return 0xFFE1; // POUND SIGN
    case 0x00AC:
        return 0xFFE2; // NOT SIGN
    default:
        return c;
    }
}

// Splits text into code points, a surrogate pair being one; a lone surrogate stays a unit of its own.
template <typename Visit> void forEachCodePoint(const QString& text, Visit visit)
{
    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size;) {
        qsizetype length = 1;
        if (text[i].isHighSurrogate() && i + 1 < size && text[i + 1].isLowSurrogate())
            length = 2;
        visit(QStringView(text).mid(i, length));
        i += length;
    }
}

// The tables are read out of the converter on first use, each once for all threads: decoding starts the
// program, so the encode table waits for the first encode.
const DecodeTable& decodeTable()
{
    static const std::unique_ptr<const DecodeTable> table = buildDecodeTable();
    return *table;
}

const EncodeTable& encodeTable()
{
    static const std::unique_ptr<const EncodeTable> table = buildEncodeTable(decodeTable(), windowsForm);
    return *table;
}

// The text of bytes when the table holds every byte sequence in them (then the converter gives the same text
// without an error); nothing as soon as one is missing, a lead byte cut off at the end included.
std::optional<QString> decodeByTable(const QByteArray& bytes)
{
    const DecodeTable& table = decodeTable();
    QString text(bytes.size(), Qt::Uninitialized);
    char16_t* const begin = reinterpret_cast<char16_t*>(text.data());
    char16_t* out = begin;
    const uchar* in = reinterpret_cast<const uchar*>(bytes.constData());
    const uchar* const end = in + bytes.size();
    while (in < end) {
        // Runs of ASCII, most of a data file, are widened eight bytes at a time.
        if (table.asciiSame) {
            while (end - in >= 8 && (qFromUnaligned<quint64>(in) & 0x8080808080808080u) == 0) {
                for (int k = 0; k < 8; ++k)
                    out[k] = in[k];
                in += 8;
                out += 8;
            }
            if (in == end)
                break;
        }
        const char16_t single = table.single[*in];
        if (single != DecodeTable::Absent) {
            *out++ = single;
            ++in;
            continue;
        }
        if (table.leadRow[*in] < 0 || end - in < 2)
            return std::nullopt;
        const char16_t pair = table.pair(in[0], in[1]);
        if (pair == DecodeTable::Absent)
            return std::nullopt;
        *out++ = pair;
        in += 2;
    }
    text.truncate(out - begin);
    return text;
}

// The bytes of toWindowsForm(text) when the table holds every character of it (then the converter gives the
// same bytes without an error); nothing as soon as one is missing, a surrogate included.
std::optional<QByteArray> encodeByTable(const QString& text)
{
    QByteArray bytes(2 * text.size(), Qt::Uninitialized);
    char* const end = encodeInto(text, bytes.data());
    if (!end)
        return std::nullopt;
    bytes.truncate(end - bytes.constData());
    return bytes;
}

} // namespace

bool encodesByTable(QStringView text)
{
    const EncodeTable& table = encodeTable();
    return std::all_of(text.cbegin(), text.cend(), [&table](QChar c) { return table.codes[c.unicode()] != 0; });
}

char* encodeInto(QStringView text, char* out)
{
    const EncodeTable& table = encodeTable();
    const char16_t* in = text.utf16();
    const char16_t* const end = in + text.size();
    while (in < end) {
        // Runs of ASCII, most of a data file, are narrowed four characters at a time.
        if (table.asciiSame) {
            while (end - in >= 4 && (qFromUnaligned<quint64>(in) & 0xFF80FF80FF80FF80u) == 0) {
                for (int k = 0; k < 4; ++k)
                    out[k] = char(in[k]);
                in += 4;
                out += 4;
            }
            if (in == end)
                break;
        }
        const quint16 code = table.codes[*in++];
        if (code >= 0x8100) {
            *out++ = char(code >> 8);
            *out++ = char(code);
        } else if (code != 0) {
            *out++ = char(code);
        } else {
            return nullptr;
        }
    }
    return out;
}

bool isAvailable()
{
    return QStringEncoder(ConverterName).isValid() && QStringDecoder(ConverterName).isValid();
}

Decoded decode(const QByteArray& bytes)
{
    if (std::optional<QString> text = decodeByTable(bytes))
        return {std::move(*text), -1};
    QStringDecoder decoder(ConverterName, QStringConverter::Flag::Stateless);
    Decoded result;
    result.text = decoder(bytes);
    if (decoder.hasError())
        result.badOffset = findBadOffset(bytes);
    return result;
}

QString toWindowsForm(const QString& text)
{
    // Most text holds none of these characters, and is passed on shared rather than copied: a whole
    // collection is encoded on every change.
    if (std::none_of(text.cbegin(), text.cend(), [](QChar c) { return windowsForm(c.unicode()) != c.unicode(); }))
        return text;
    QString result = text;
    for (QChar& c : result) {
        // Every character mapped lies in the Basic Multilingual Plane and is no surrogate.
        const char32_t mapped = windowsForm(c.unicode());
        if (mapped != c.unicode())
            c = QChar(char16_t(mapped));
    }
    return result;
}

Encoded encode(const QString& text)
{
    if (std::optional<QByteArray> bytes = encodeByTable(text))
        return {std::move(*bytes), {}};
    const QString windows = toWindowsForm(text);
    QStringEncoder encoder(ConverterName, QStringConverter::Flag::Stateless);
    Encoded result;
    result.bytes = encoder(windows);
    // A converter may substitute '?' silently; more question marks out than in betrays that.
    if (!encoder.hasError() && result.bytes.count('?') == windows.count(u'?'))
        return result;

    // Slow path: character by character, so that every offender is named. The bytes are rebuilt from the
    // pieces, which keeps them exact even if the whole-string error had no single culprit.
    // Neither resetState() nor assignment clears the error of an ICU converter (its error callback keeps
    // pointing at the state it was created with), so a new one is built in place after every error.
    std::optional<QStringEncoder> single;
    single.emplace(ConverterName, QStringConverter::Flag::Stateless);
    QByteArray rebuilt;
    rebuilt.reserve(result.bytes.size());
    forEachCodePoint(windows, [&](QStringView character) {
        if (character.size() == 1 && character[0].unicode() < 0x80) { // the single-byte ASCII half
            rebuilt.append(char(character[0].unicode()));
            return;
        }
        // A lone surrogate is named as U+FFFD: named as itself, a lone high one followed by a lone low one
        // would read as a pair, a character the text does not hold.
        const bool lone = character.size() == 1 && character[0].isSurrogate();
        const QStringView name = lone ? QStringView(u"\uFFFD") : character;
        if (result.unencodable.contains(name))
            return;
        const QByteArray bytes = lone ? QByteArray() : (*single)(character);
        if (bytes.isEmpty() || single->hasError() || bytes == "?") {
            result.unencodable += name;
            single.emplace(ConverterName, QStringConverter::Flag::Stateless);
        } else {
            rebuilt.append(bytes);
        }
    });
    result.bytes = rebuilt;
    return result;
}

QString unencodableMessage(const QString& characters)
{
    QStringList list;
    forEachCodePoint(characters, [&](QStringView character) { list.append(character.toString()); });
    return QStringLiteral("次の文字は保存できません: %1\nこれらの文字を別の文字に置き換えてください。")
        .arg(list.join(QLatin1Char(' ')));
}

} // namespace cp932
