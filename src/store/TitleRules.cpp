#include "store/TitleRules.h"

#include "store/CollectionStore.h"
#include "store/Cp932.h"
#include "store/DataFolder.h"
#include "store/TextKeys.h"

#include <QHash>
#include <QVarLengthArray>
#include <QtConcurrent/QtConcurrentMap>
#include <algorithm>

namespace titlerules {

namespace {

const QString EarlierLabel = QStringLiteral("先にある");

// Every file a title owns in the data folder, by suffix.
const QStringList& fileSuffixes()
{
    static const QStringList suffixes =
        QStringList{CollectionStore::VolumeSuffix, CollectionStore::MemoSuffix} + CollectionStore::CoverSuffixes;
    return suffixes;
}

// Simple case folding works character by character, so a folded file name is the folded title followed by the
// folded suffix; each title is folded once.
QStringList foldedSuffixes()
{
    QStringList folded;
    for (const QString& suffix : fileSuffixes())
        folded << suffix.toCaseFolded();
    return folded;
}

constexpr qsizetype MaxFileNameBytes = 255;

qsizetype longestSuffixBytes()
{
    static const qsizetype longest = [] {
        qsizetype bytes = 0;
        for (const QString& suffix : fileSuffixes())
            bytes = std::max(bytes, DataFolder::utf8Length(suffix));
        return bytes;
    }();
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

// The checks that need no other title, in the order of Fault.
Verdict checkAlone(const QString& title)
{
    if (hasRefusedCharacter(title))
        return {Fault::RefusedCharacter, RefusedCharacterMessage};
    if (QString problem = storableProblem(title, QStringLiteral("題名")); !problem.isEmpty())
        return {Fault::NotStorable, std::move(problem)};
    if (QString problem = fileNameProblem(title); !problem.isEmpty())
        return {Fault::BadFileName, std::move(problem)};
    if (QString problem = programFileProblem(title); !problem.isEmpty())
        return {Fault::ProgramFile, std::move(problem)};
    return {};
}

// The first owner of each folded title, and through it of each folded file name: two titles share a file only
// when they fold alike, or when one is the other followed by what tells two suffixes apart ("abc_C" owns
// "abc_C.TXT", the memo of "abc"). So a title is looked up a few times rather than every file name it owns
// spelt out. Lookups come after the exact-title checks, so every owner met has another title than the one
// looked up.
class FileOwners final {
public:
    explicit FileOwners(qsizetype expected)
    {
        m_first.reserve(expected);
        m_held.reserve(expected);
        const QStringList suffixes = foldedSuffixes();
        for (const QString& longer : suffixes)
            for (const QString& shorter : suffixes)
                if (longer.size() > shorter.size() && longer.endsWith(shorter))
                    m_extensions.append(longer.chopped(shorter.size()));
    }

    // A title, by its letter-case-folded form.
    void add(const QString& folded, int owner)
    {
        if (m_first.contains(ViewKey{folded}))
            return;
        m_held.append(folded);
        m_first.insert(ViewKey{m_held.constLast()}, owner);
    }

    // The first owner (by number) of one of the files of the title folded, or 0 when none.
    int ownerOf(const QString& folded) const
    {
        int first = m_first.value(ViewKey{folded}, 0);
        const auto meet = [&first](int owner) {
            if (owner != 0 && (first == 0 || owner < first))
                first = owner;
        };
        // The longer names are put together in a buffer of this call's own: a lookup makes no string.
        QVarLengthArray<QChar, 256> longer;
        for (const QString& extension : m_extensions) {
            longer.resize(folded.size() + extension.size());
            std::copy(extension.cbegin(), extension.cend(), std::copy(folded.cbegin(), folded.cend(), longer.begin()));
            meet(m_first.value(ViewKey{QStringView(longer.constData(), longer.size())}, 0));
            if (folded.endsWith(extension))
                meet(m_first.value(ViewKey{QStringView(folded).chopped(extension.size())}, 0));
        }
        return first;
    }

private:
    QStringList m_extensions;
    QStringList m_held;          // the folded titles the keys view
    QHash<ViewKey, int> m_first; // views of m_held
};

} // namespace

QString storedForm(const QString& text)
{
    return cp932::toWindowsForm(text);
}

bool hasRefusedCharacter(const QString& title)
{
    static const QString refused = QStringLiteral("\\/:,;*?\"<>|");
    return std::any_of(title.cbegin(), title.cend(), [](QChar c) { return refused.contains(c); });
}

QString storableProblem(const QString& text, const QString& what, bool allowLineBreaks, bool refuseQuote)
{
    QStringList problems;

    const QString unencodable = cp932::encodesByTable(text) ? QString() : cp932::encode(text).unencodable;
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
    const qsizetype bytes = DataFolder::utf8Length(title);
    if (bytes > limit) {
        // A full-width character takes three bytes of UTF-8, a half-width letter or digit one.
        return QStringLiteral("題名が長すぎます。ファイル名にできるのは全角なら約%1文字、半角英数字なら%2文字までです"
                              "（この題名は%3バイト、上限は%2バイト）。")
            .arg(limit / 3)
            .arg(limit)
            .arg(bytes);
    }
    // Within the length every suffix passes alike: each adds only characters a file name may hold, after the
    // title's own, so one of them answers for all.
    return DataFolder::checkFileName(title + fileSuffixes().constFirst());
}

QString programFileProblem(const QString& title)
{
    // Every program file's name is short: a title longer than all of them cannot name one.
    static const qsizetype longest = [] {
        qsizetype n = 0;
        for (const QString& name : CollectionStore::programFileNames())
            n = std::max(n, name.size());
        return n;
    }();
    if (title.size() >= longest)
        return {};
    // A title's file is a program file only when the folded title is such a file's folded name less one of the
    // suffixes: those few titles are known in advance, so that a title costs one lookup rather than a name made
    // and looked up for every suffix.
    static const QSet<QString> clashing = [] {
        QSet<QString> titles;
        for (const QString& name : CollectionStore::programFileNames()) {
            const QString folded = name.toCaseFolded();
            for (const QString& suffix : foldedSuffixes())
                if (folded.endsWith(suffix))
                    titles.insert(folded.chopped(suffix.size()));
        }
        return titles;
    }();
    if (!clashing.contains(title.toCaseFolded()))
        return {};
    QStringList clashes;
    for (const QString& name : CollectionStore::titleFileNames(title))
        if (const QString programFile = CollectionStore::programFileFor(name); !programFile.isEmpty())
            clashes << QStringLiteral("「%1」は「%2」").arg(name, programFile);
    if (clashes.isEmpty())
        return {};
    return QStringLiteral("「%1」は登録できません。この題名のファイル%2と同じになり、"
                          "このプログラム自身のファイルを壊してしまいます。")
        .arg(title, clashes.join(QStringLiteral("、")));
}

int fileCollisionIndex(const TitleTable& table, const QString& title)
{
    const QStringList suffixes = foldedSuffixes();
    QHash<QString, int> owners; // folded file name -> first record owning it
    owners.reserve(table.count() * suffixes.size());
    // Walking backwards lets an earlier record overwrite a later one, so each name keeps its first owner.
    for (int index = table.count(); index >= 1; --index) {
        const QString& other = table.at(index).title;
        if (other == title)
            continue;
        const QString folded = other.toCaseFolded();
        for (const QString& suffix : suffixes)
            owners.insert(folded + suffix, index);
    }

    const QString folded = title.toCaseFolded();
    int first = 0;
    for (const QString& suffix : suffixes) {
        const int owner = owners.value(folded + suffix, 0);
        if (owner != 0 && (first == 0 || owner < first))
            first = owner;
    }
    return first;
}

QString fileTwinProblem(const QString& title, const QString& other, const QString& otherLabel)
{
    const QString why = title.toCaseFolded() == other.toCaseFolded()
                            ? QStringLiteral("「%1」は、%3「%2」と英字の大文字・小文字しか違わないため、"
                                             "巻数・メモ・画像のファイルが同じになってしまいます。")
                            : QStringLiteral("「%1」の巻数・メモ・画像のファイルのどれかが、%3「%2」の"
                                             "ファイルと同じ名前になってしまいます。");
    return why.arg(title, other, otherLabel);
}

Verdict checkTitle(const TitleTable& table, const QString& title)
{
    return checkTitles(table, {title}).constFirst();
}

QList<Verdict> checkTitles(const TitleTable& table, const QStringList& candidates)
{
    // Keyed by views of the table's titles and the candidates, which outlive the check.
    QHash<ViewKey, int> records; // exact title -> first record
    records.reserve(table.count());
    FileOwners owners(table.count() + candidates.size());
    for (int index = table.count(); index >= 1; --index)
        records.insert(ViewKey{table.at(index).title}, index);
    {
        QStringList titles;
        titles.reserve(table.count());
        for (const TitleRecord& record : table.records())
            titles.append(record.title);
        const QStringList folded = DataFolder::foldedAll(titles);
        for (int index = 1; index <= table.count(); ++index)
            owners.add(folded[index - 1], index);
    }

    // Candidates found fit are numbered after the records, so that an owner tells which of the two it is.
    const int firstCandidate = table.count() + 1;
    QHash<ViewKey, int> taken; // exact title -> candidate
    // Each title's own checks need nothing of the others: a long list shares them among the cores.
    constexpr qsizetype EnoughForCores = 256;
    QList<Verdict> verdicts;
    if (candidates.size() >= EnoughForCores) {
        verdicts = QtConcurrent::blockingMapped<QList<Verdict>>(candidates, &checkAlone);
    } else {
        verdicts.reserve(candidates.size());
        for (const QString& title : candidates)
            verdicts.append(checkAlone(title));
    }
    const QStringList candidatesFolded = DataFolder::foldedAll(candidates);
    for (int c = 0; c < int(candidates.size()); ++c) {
        const QString& title = candidates[c];
        const QString& folded = candidatesFolded[c];
        Verdict& verdict = verdicts[c];
        if (verdict.ok()) {
            if (const int record = records.value(ViewKey{title}, 0)) {
                verdict = {Fault::SameTitle, QStringLiteral("題名「%1」は既に登録されています。").arg(title), record};
            } else if (const auto it = taken.constFind(ViewKey{title}); it != taken.cend()) {
                verdict = {Fault::SameTitle, QStringLiteral("題名「%1」が重複しています。").arg(title), 0, *it};
            } else if (const int owner = owners.ownerOf(folded)) {
                if (owner < firstCandidate)
                    verdict = {Fault::FileTwin, fileTwinProblem(title, table.at(owner).title, RegisteredLabel), owner};
                else
                    verdict = {Fault::FileTwin,
                               fileTwinProblem(title, candidates[owner - firstCandidate], EarlierLabel), 0,
                               owner - firstCandidate};
            }
        }
        if (verdict.ok()) {
            taken.insert(ViewKey{title}, c);
            owners.add(folded, firstCandidate + c);
        }
    }
    return verdicts;
}

} // namespace titlerules
