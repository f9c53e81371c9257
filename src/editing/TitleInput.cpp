#include "editing/TitleInput.h"

#include "editing/DateInput.h"
#include "store/CollectionStore.h"
#include "store/Cp932.h"
#include "store/DataFiles.h"
#include "store/DataFolder.h"

#include <QHash>
#include <QStringList>
#include <algorithm>

namespace titleinput {

namespace {

const QString Unregistered = QStringLiteral("未登録");
const QString Unrated = QStringLiteral("未");

// Every file a title owns in the data folder, by suffix.
QStringList fileSuffixes()
{
    return QStringList{CollectionStore::VolumeSuffix, CollectionStore::MemoSuffix} + CollectionStore::CoverSuffixes;
}

constexpr qsizetype MaxFileNameBytes = 255;

qsizetype longestSuffixBytes()
{
    qsizetype longest = 0;
    for (const QString& suffix : fileSuffixes())
        longest = std::max(longest, suffix.toUtf8().size());
    return longest;
}

// A character as a message shows it: itself when it can be seen, else its code point (a zero-width space, a
// lone combining mark or a broken surrogate would otherwise be an invisible or garbled part of the message).
QString shownCharacter(QStringView character)
{
    const char32_t code =
        character.size() == 2 ? QChar::surrogateToUcs4(character[0], character[1]) : char32_t(character[0].unicode());
    const bool visible = QChar::isPrint(code) && !QChar::isSpace(code) && !QChar::isMark(code) &&
                         !QChar::isSurrogate(code) && QChar::category(code) != QChar::Other_Format;
    if (visible)
        return character.toString();
    return QStringLiteral("U+%1").arg(quint32(code), 4, 16, QLatin1Char('0')).toUpper();
}

QString shownCharacters(const QString& characters)
{
    QStringList shown;
    for (qsizetype i = 0; i < characters.size();) {
        const qsizetype length =
            characters[i].isHighSurrogate() && i + 1 < characters.size() && characters[i + 1].isLowSurrogate() ? 2 : 1;
        shown << shownCharacter(QStringView(characters).mid(i, length));
        i += length;
    }
    return shown.join(QLatin1Char(' '));
}

bool isControl(QChar c)
{
    return c.unicode() < 0x20 || c.unicode() == 0x7F;
}

bool isLineBreak(QChar c)
{
    return c == u'\r' || c == u'\n';
}

} // namespace

bool hasRefusedCharacter(const QString& title)
{
    static const QString refused = QStringLiteral("\\/:,;*?\"<>|");
    return std::any_of(title.cbegin(), title.cend(), [](QChar c) { return refused.contains(c); });
}

QString storableProblem(const QString& text, const QString& what, bool allowLineBreaks, bool refuseQuote)
{
    QStringList problems;

    const QString unencodable = cp932::encode(text).unencodable;
    if (!unencodable.isEmpty())
        problems << QStringLiteral("%1に使えない文字が含まれています: %2\n別の文字に置き換えて下さい。")
                        .arg(what, shownCharacters(unencodable));

    const bool control = std::any_of(text.cbegin(), text.cend(),
                                     [&](QChar c) { return isControl(c) && !(allowLineBreaks && isLineBreak(c)); });
    if (control)
        problems << (allowLineBreaks ? QStringLiteral("%1にタブなどの制御文字は使えません。")
                                     : QStringLiteral("%1に改行やタブなどの制御文字は使えません。"))
                        .arg(what);

    // Names are written between double quotes with no escape, so a quote inside would end the field early.
    if (refuseQuote && text.contains(QLatin1Char('"')))
        problems << QStringLiteral("%1に半角の「\"」は使えません。「”」などに置き換えて下さい。").arg(what);

    return problems.join(QLatin1Char('\n'));
}

QString fileNameProblem(const QString& title)
{
    if (title.isEmpty())
        return QStringLiteral("題名が空です。");

    const qsizetype limit = MaxFileNameBytes - longestSuffixBytes();
    const qsizetype bytes = title.toUtf8().size();
    if (bytes > limit) {
        // A full-width character takes three bytes of UTF-8, a half-width letter or digit one.
        return QStringLiteral("題名が長すぎます。ファイル名にできるのは全角なら約%1文字、半角英数字なら%2文字までです"
                              "（この題名は%3バイト、上限は%2バイト）。")
            .arg(limit / 3)
            .arg(limit)
            .arg(bytes);
    }
    for (const QString& suffix : fileSuffixes()) {
        const QString problem = DataFolder::checkFileName(title + suffix);
        if (!problem.isEmpty())
            return problem;
    }
    return {};
}

int fileCollisionIndex(const TitleTable& table, const QString& title)
{
    // Simple case folding works character by character, so a folded name is the folded title followed by the
    // folded suffix; each title is folded once.
    QStringList foldedSuffixes;
    for (const QString& suffix : fileSuffixes())
        foldedSuffixes << suffix.toCaseFolded();

    QHash<QString, int> owners; // folded file name -> first record owning it
    owners.reserve(table.count() * foldedSuffixes.size());
    // Walking backwards lets an earlier record overwrite a later one, so each name keeps its first owner.
    for (int index = table.count(); index >= 1; --index) {
        const QString& other = table.at(index).title;
        if (other == title)
            continue;
        const QString folded = other.toCaseFolded();
        for (const QString& suffix : foldedSuffixes)
            owners.insert(folded + suffix, index);
    }

    const QString folded = title.toCaseFolded();
    int first = 0;
    for (const QString& suffix : foldedSuffixes) {
        const int owner = owners.value(folded + suffix, 0);
        if (owner != 0 && (first == 0 || owner < first))
            first = owner;
    }
    return first;
}

QString splitSuffix(int k)
{
    const int volumes = volumefile::Volumes;
    return QStringLiteral("(%1_%2)").arg(volumes * (k - 1) + 1).arg(volumes * k);
}

QList<TitleRecord> newRecords(const QString& title, int count, const QDate& today)
{
    // Beyond MaxCount the start volumes and suffix numbers would leave the 16-bit range of the file.
    if (count < 1 || count > MaxCount)
        return {};

    const int volumes = volumefile::Volumes;
    const QString date = dateinput::format(today);
    TitleRecord record;
    record.author = Unregistered;
    record.magazine = Unregistered;
    record.rating = Unrated;
    record.firstIssue = date;
    record.lastIssue = date;

    if (count <= volumes) {
        record.title = title;
        record.volumeCount = qint16(count);
        record.startVolume = 0;
        return {record};
    }

    const int parts = (count + volumes - 1) / volumes;
    QList<TitleRecord> records;
    records.reserve(parts);
    for (int k = 1; k <= parts; ++k) {
        record.title = title + splitSuffix(k);
        record.volumeCount = qint16(k < parts ? volumes : count - volumes * (parts - 1));
        record.startVolume = qint16(volumes * (k - 1));
        records.append(record);
    }
    return records;
}

} // namespace titleinput
