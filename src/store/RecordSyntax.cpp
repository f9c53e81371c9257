#include "store/RecordSyntax.h"

namespace {

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t';
}

bool isLineEnd(QChar c)
{
    return c == u'\r' || c == u'\n';
}

} // namespace

RecordReader::RecordReader(QStringView text) : m_text(text), m_contentEnd(text.size())
{
    while (m_contentEnd > 0 && (isBlank(m_text[m_contentEnd - 1]) || isLineEnd(m_text[m_contentEnd - 1])))
        --m_contentEnd;
}

bool RecordReader::atEnd() const
{
    return m_pos >= m_contentEnd;
}

// Consumes one line end at m_pos: CR LF, a lone CR or a lone LF.
void RecordReader::skipLineEnd()
{
    if (m_pos >= m_text.size())
        return;
    if (m_text[m_pos] == u'\r' && m_pos + 1 < m_text.size() && m_text[m_pos + 1] == u'\n')
        ++m_pos;
    ++m_pos;
    ++m_line;
}

std::optional<QString> RecordReader::readField()
{
    const std::optional<QStringView> field = readFieldView();
    if (!field)
        return std::nullopt;
    return field->toString();
}

std::optional<QStringView> RecordReader::readFieldView()
{
    if (atEnd()) {
        if (!m_afterComma)
            return std::nullopt;
        m_afterComma = false;
        m_fieldLine = m_line;
        return QStringView();
    }

    const qsizetype size = m_text.size();
    while (m_pos < size && isBlank(m_text[m_pos]))
        ++m_pos;
    m_fieldLine = m_line;

    QStringView value;
    if (m_pos < size && m_text[m_pos] == u'"') {
        const qsizetype start = ++m_pos;
        while (m_pos < size && m_text[m_pos] != u'"' && !isLineEnd(m_text[m_pos]))
            ++m_pos;
        value = m_text.sliced(start, m_pos - start);
        // The closing quote and whatever follows it up to the field's end are not part of the value.
        while (m_pos < size && m_text[m_pos] != u',' && !isLineEnd(m_text[m_pos]))
            ++m_pos;
    } else {
        const qsizetype start = m_pos;
        while (m_pos < size && m_text[m_pos] != u',' && !isLineEnd(m_text[m_pos]))
            ++m_pos;
        qsizetype end = m_pos;
        while (end > start && isBlank(m_text[end - 1]))
            --end;
        value = m_text.sliced(start, end - start);
    }

    m_afterComma = false;
    if (m_pos < size) {
        if (m_text[m_pos] == u',') {
            ++m_pos;
            m_afterComma = true;
        } else {
            skipLineEnd();
        }
    }
    return value;
}

std::optional<qint16> parseInt16(QStringView field)
{
    const QStringView text = field.trimmed();
    if (text.isEmpty())
        return qint16(0);

    qsizetype pos = 0;
    bool negative = false;
    if (text[0] == u'+' || text[0] == u'-') {
        negative = text[0] == u'-';
        ++pos;
    }
    const auto isDigit = [](QChar c) { return c >= u'0' && c <= u'9'; };

    // The magnitude is capped just past the range, so that a long run of digits cannot overflow.
    constexpr qint64 Cap = 100000;
    qint64 magnitude = 0;
    qsizetype digits = 0;
    for (; pos < text.size() && isDigit(text[pos]); ++pos, ++digits)
        magnitude = std::min(Cap, magnitude * 10 + (text[pos].unicode() - u'0'));

    int firstFraction = 0;    // first digit after the point
    bool restNonZero = false; // any non-zero digit after the first fraction digit
    if (pos < text.size() && text[pos] == u'.') {
        ++pos;
        for (qsizetype f = 0; pos < text.size() && isDigit(text[pos]); ++pos, ++f, ++digits) {
            const int d = text[pos].unicode() - u'0';
            if (f == 0)
                firstFraction = d;
            else if (d != 0)
                restNonZero = true;
        }
    }
    if (digits == 0 || pos != text.size())
        return std::nullopt;

    // Round half to even.
    if (firstFraction > 5 || (firstFraction == 5 && (restNonZero || magnitude % 2 == 1)))
        magnitude = std::min(Cap, magnitude + 1);

    const qint64 value = negative ? -magnitude : magnitude;
    if (value < -32768 || value > 32767)
        return std::nullopt;
    return qint16(value);
}

RecordLine& RecordLine::str(QStringView value)
{
    QString& out = *m_out;
    if (!m_first)
        out += u',';
    m_first = false;
    out += u'"';
    out += value;
    out += u'"';
    return *this;
}

RecordLine& RecordLine::num(int value)
{
    if (!m_first)
        *m_out += u',';
    m_first = false;
    appendNumber(*m_out, value);
    return *this;
}

void appendNumber(QString& text, int number, int minDigits)
{
    char16_t digits[12];
    int count = 0;
    for (unsigned magnitude = number < 0 ? 0u - unsigned(number) : unsigned(number); magnitude != 0 || count == 0;
         magnitude /= 10)
        digits[count++] = char16_t(u'0' + magnitude % 10);
    while (count < minDigits)
        digits[count++] = u'0';
    if (number < 0)
        text += u'-';
    while (count > 0)
        text += QChar(digits[--count]);
}
