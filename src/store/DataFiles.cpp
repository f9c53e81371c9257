#include "store/DataFiles.h"

#include "store/Cp932.h"
#include "store/RecordSyntax.h"

#include <algorithm>

namespace {

constexpr int VolumesPerLine = 10;
const QString HelpTourLabel = QStringLiteral("ヘルプツアー");

// Every line break (CR LF, lone CR, lone LF) as LF.
QString toLf(const QString& text)
{
    QString result = text;
    result.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    result.replace(u'\r', u'\n');
    return result;
}

} // namespace

namespace volumefile {

namespace {

// The layout this program writes, read straight from the bytes: fifty integers of at most five digits, each
// with an optional minus sign, separated by a comma or by CR LF, the fiftieth ending there, and nothing after
// it but printable ASCII and line ends. On such bytes the general reader finds exactly these values and the
// file is whole; anything else (blanks, quotes, empty fields, other bytes) is left to it.
bool parseAsWritten(const QByteArray& bytes, VolumeStates& states)
{
    const char* p = bytes.constData();
    const char* const end = p + bytes.size();
    for (int k = 1; k <= Volumes; ++k) {
        if (k > 1) {
            if (p < end && *p == ',')
                ++p;
            else if (end - p >= 2 && p[0] == '\r' && p[1] == '\n')
                p += 2;
            else
                return false;
        }
        const bool negative = p < end && *p == '-';
        if (negative)
            ++p;
        int value = 0;
        int digits = 0;
        for (; p < end && *p >= '0' && *p <= '9' && digits <= 5; ++p, ++digits)
            value = value * 10 + (*p - '0');
        if (digits == 0 || digits > 5)
            return false;
        value = negative ? -value : value;
        if (value < -32768 || value > 32767)
            return false;
        states[k] = qint16(value);
    }
    if (p < end && *p != ',' && *p != '\r' && *p != '\n')
        return false;
    for (; p < end; ++p)
        if (!((*p >= 0x20 && *p < 0x7F) || *p == '\r' || *p == '\n' || *p == '\t'))
            return false;
    return true;
}

} // namespace

VolumeStates parse(const QByteArray& bytes, bool* complete)
{
    VolumeStates states{};
    // Nearly every file is in the written layout; only the others need decoding.
    if (parseAsWritten(bytes, states)) {
        if (complete)
            *complete = true;
        return states;
    }
    states = {};
    const cp932::Decoded decoded = cp932::decode(bytes);
    bool clean = decoded.ok();
    RecordReader reader(decoded.text);
    for (int k = 1; k <= Volumes; ++k) {
        const std::optional<QString> field = reader.readField();
        if (!field) {
            clean = false;
            break;
        }
        const std::optional<qint16> value = parseInt16(*field);
        if (value)
            states[k] = *value;
        else
            clean = false;
    }
    if (complete)
        *complete = clean;
    return states;
}

QString format(const VolumeStates& states)
{
    QString text;
    for (int first = 1; first <= Volumes; first += VolumesPerLine) {
        RecordLine line;
        for (int k = first; k < first + VolumesPerLine; ++k)
            line.num(states[k]);
        text += line.text();
    }
    return text;
}

QByteArray bytes(const VolumeStates& states)
{
    // Seven bytes a number at most ("-32768" and its comma), CR LF a line.
    QByteArray out(Volumes * 7 + 2 * (Volumes / VolumesPerLine), Qt::Uninitialized);
    char* at = out.data();
    for (int first = 1; first <= Volumes; first += VolumesPerLine) {
        for (int k = first; k < first + VolumesPerLine; ++k) {
            if (k != first)
                *at++ = ',';
            char digits[6];
            int count = 0;
            for (unsigned magnitude = states[k] < 0 ? 0u - unsigned(states[k]) : unsigned(states[k]);
                 magnitude != 0 || count == 0; magnitude /= 10)
                digits[count++] = char('0' + magnitude % 10);
            if (states[k] < 0)
                *at++ = '-';
            while (count > 0)
                *at++ = digits[--count];
        }
        *at++ = '\r';
        *at++ = '\n';
    }
    out.truncate(at - out.constData());
    return out;
}

} // namespace volumefile

namespace memofile {

QString parse(const QByteArray& bytes)
{
    QString text = toLf(cp932::decode(bytes).text);
    // A break at the very end closes the last line rather than starting an empty one.
    if (text.endsWith(u'\n'))
        text.chop(1);
    return text.replace(u'\n', QLatin1String("\r\n"));
}

QString format(const QString& memo)
{
    return toLf(memo).replace(u'\n', QLatin1String("\r\n")) + QLatin1String("\r\n");
}

} // namespace memofile

namespace settingsfile {

qint16 parse(const QByteArray& bytes)
{
    const QString text = cp932::decode(bytes).text;
    RecordReader reader(text);
    // The first field is the label; its value has never been checked.
    if (!reader.readField())
        return 0;
    const std::optional<QString> field = reader.readField();
    if (!field)
        return 0;
    return parseInt16(*field).value_or(0);
}

QString format(qint16 helpTourOn)
{
    return RecordLine().str(HelpTourLabel).num(helpTourOn).text();
}

} // namespace settingsfile

namespace rankingfile {

QStringList parse(const QByteArray& bytes)
{
    const QString text = cp932::decode(bytes).text;
    RecordReader reader(text);
    QStringList titles;
    while (!reader.atEnd())
        titles.append(reader.readField().value_or(QString()));
    return titles;
}

QString formatLine(const QString& title)
{
    return RecordLine().str(title).text();
}

QString format(const QStringList& titles)
{
    // One buffer for all the lines, written straight into: a list of tens of thousands of favourites is written
    // in one go, so no line gets a string of its own. The lines are those formatLine makes.
    qsizetype length = 0;
    for (const QString& title : titles)
        length += title.size() + 4;
    QString text(length, Qt::Uninitialized);
    char16_t* out = reinterpret_cast<char16_t*>(text.data());
    for (const QString& title : titles) {
        *out++ = u'"';
        out = std::copy_n(reinterpret_cast<const char16_t*>(title.constData()), title.size(), out);
        *out++ = u'"';
        *out++ = u'\r';
        *out++ = u'\n';
    }
    return text;
}

} // namespace rankingfile
