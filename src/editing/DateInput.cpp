#include "editing/DateInput.h"

#include "store/Cp932.h"

#include <QStringView>

namespace dateinput {

namespace {

struct Era {
    QStringView name;
    char16_t letter;
    int firstYear; // the Gregorian year of the era's first year (元年)
};

// An era year is turned into a Gregorian year by arithmetic alone, without checking that the date lies inside
// the era: books printed ahead of an era change carry dates such as 平成31年5月, and the reader means 2019.
constexpr Era Eras[] = {
    {u"明治", u'M', 1868}, {u"大正", u'T', 1912}, {u"昭和", u'S', 1926}, {u"平成", u'H', 1989}, {u"令和", u'R', 2019},
};

// Walks the normalised text from left to right; every reader either consumes what it recognises or leaves
// the position unchanged.
class Reader final {
public:
    explicit Reader(QStringView text) : m_text(text) {}

    bool atEnd() const { return m_pos == m_text.size(); }
    QChar peek() const { return atEnd() ? QChar() : m_text[m_pos]; }

    bool take(QChar c)
    {
        if (peek() != c)
            return false;
        ++m_pos;
        return true;
    }

    bool take(QStringView word)
    {
        if (!m_text.mid(m_pos).startsWith(word))
            return false;
        m_pos += word.size();
        return true;
    }

    // The whole run of ASCII digits at the position, when its length lies in [minLength, maxLength]. A longer
    // run is refused rather than split, so that "20021/2/3" is not read as 2002.
    std::optional<int> number(qsizetype minLength, qsizetype maxLength)
    {
        qsizetype end = m_pos;
        while (end < m_text.size() && m_text[end] >= u'0' && m_text[end] <= u'9')
            ++end;
        const qsizetype length = end - m_pos;
        if (length < minLength || length > maxLength)
            return std::nullopt;
        int value = 0;
        for (; m_pos < end; ++m_pos)
            value = value * 10 + (m_text[m_pos].unicode() - u'0');
        return value;
    }

    const Era* era()
    {
        for (const Era& era : Eras) {
            if (take(era.name))
                return &era;
        }
        const QChar c = peek();
        for (const Era& era : Eras) {
            if (c == QChar(era.letter) || c == QChar(era.letter).toLower()) {
                ++m_pos;
                return &era;
            }
        }
        return nullptr;
    }

private:
    QStringView m_text;
    qsizetype m_pos = 0;
};

// Gregorian year: four digits, or an era followed by its year (one or two digits, or 元 for the first).
std::optional<int> readYear(Reader& reader)
{
    const Era* era = reader.era();
    if (!era)
        return reader.number(4, 4);
    if (reader.take(QChar(u'元')))
        return era->firstYear;
    const std::optional<int> eraYear = reader.number(1, 2);
    if (!eraYear || *eraYear == 0)
        return std::nullopt;
    return era->firstYear + *eraYear - 1;
}

bool isSeparator(QChar c)
{
    return c == u'/' || c == u'-' || c == u'.';
}

} // namespace

std::optional<QDate> parse(const QString& text)
{
    // NFKC turns full-width digits, letters, separators and the ideographic space into their ASCII forms and
    // the one-character era signs (㍻) into their names; the Windows form first maps the minus sign U+2212,
    // which NFKC would keep, to the full-width hyphen, which it does not.
    const QString normal = cp932::toWindowsForm(text).normalized(QString::NormalizationForm_KC).trimmed();
    Reader reader(normal);

    const std::optional<int> year = readYear(reader);
    if (!year)
        return std::nullopt;

    std::optional<int> month;
    std::optional<int> day;
    if (reader.take(QChar(u'年'))) {
        month = reader.number(1, 2);
        if (!month || !reader.take(QChar(u'月')))
            return std::nullopt;
        day = reader.number(1, 2);
        if (!day || !reader.take(QChar(u'日')))
            return std::nullopt;
    } else {
        const QChar separator = reader.peek();
        if (!isSeparator(separator) || !reader.take(separator))
            return std::nullopt;
        month = reader.number(1, 2);
        if (!month || !reader.take(separator)) // one separator throughout: 2002/2-18 is a typing slip
            return std::nullopt;
        day = reader.number(1, 2);
        if (!day)
            return std::nullopt;
    }
    if (!reader.atEnd())
        return std::nullopt;

    const QDate date(*year, *month, *day);
    if (!date.isValid())
        return std::nullopt;
    return date;
}

QString format(const QDate& date)
{
    return date.toString(QStringLiteral("yyyy/MM/dd"));
}

} // namespace dateinput
