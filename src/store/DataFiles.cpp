#include "store/DataFiles.h"

#include "store/Cp932.h"
#include "store/RecordSyntax.h"

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

VolumeStates parse(const QByteArray& bytes, bool* complete)
{
    VolumeStates states{};
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

} // namespace rankingfile
