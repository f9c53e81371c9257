#include "help/HelpText.h"

#include "store/Cp932.h"

#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <QStringDecoder>
#include <cctype>

namespace helptext {

namespace {

bool isShiftJisName(const QByteArray& name)
{
    static const QSet<QByteArray> names = {"shift_jis",  "shift-jis",   "sjis",  "x-sjis", "ms_kanji",
                                           "csshiftjis", "windows-31j", "cp932", "ms932"};
    return names.contains(name);
}

// The code page Windows uses for the language of a help file.
QByteArray codePageOf(quint32 lcid)
{
    switch (lcid & 0x3ff) {
    case 0x11:
        return "windows-31j";
    case 0x04:
        return (lcid == 0x804 || lcid == 0x1004) ? "gbk" : "big5";
    case 0x12:
        return "windows-949";
    default:
        return "windows-1252";
    }
}

QString decodeWith(const QByteArray& name, const QByteArray& bytes, bool* known)
{
    if (isShiftJisName(name)) {
        *known = true;
        return cp932::decode(bytes).text;
    }
    QStringDecoder decoder(name.constData());
    *known = decoder.isValid();
    return *known ? QString(decoder.decode(bytes)) : QString();
}

QString removeBlocks(QString text, const QString& pattern)
{
    static QHash<QString, QRegularExpression> cache;
    auto it = cache.find(pattern);
    if (it == cache.end())
        it = cache.insert(pattern, QRegularExpression(pattern, QRegularExpression::CaseInsensitiveOption |
                                                                   QRegularExpression::DotMatchesEverythingOption));
    return text.remove(*it);
}

QString collapseSpaces(const QString& text)
{
    return text.simplified();
}

} // namespace

QByteArray declaredCharset(const QByteArray& bytes)
{
    const QByteArray head = bytes.left(4096).toLower();
    qsizetype at = 0;
    while ((at = head.indexOf("charset", at)) >= 0) {
        qsizetype p = at + 7;
        while (p < head.size() && (head[p] == ' ' || head[p] == '\t'))
            ++p;
        if (p >= head.size() || head[p] != '=') {
            at = p;
            continue;
        }
        ++p;
        while (p < head.size() && (head[p] == ' ' || head[p] == '\t' || head[p] == '"' || head[p] == '\''))
            ++p;
        qsizetype end = p;
        while (end < head.size() && (std::isalnum(static_cast<unsigned char>(head[end])) || head[end] == '-' ||
                                     head[end] == '_' || head[end] == '.' || head[end] == ':'))
            ++end;
        if (end > p)
            return head.mid(p, end - p);
        at = end;
    }
    return {};
}

QString decode(const QByteArray& bytes, quint32 lcid)
{
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return QString::fromUtf8(bytes.mid(3));
    if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF")) {
        QStringDecoder utf16(QStringConverter::Utf16);
        return utf16.decode(bytes);
    }
    bool known = false;
    if (const QByteArray named = declaredCharset(bytes); !named.isEmpty()) {
        QString text = decodeWith(named, bytes, &known);
        if (known)
            return text;
    }
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    const QString asUtf8 = utf8.decode(bytes);
    if (!utf8.hasError())
        return asUtf8;
    QString text = decodeWith(codePageOf(lcid), bytes, &known);
    return known ? text : QString::fromLatin1(bytes);
}

QString decodeEntities(const QString& text)
{
    static const QHash<QString, QChar> named = {
        {QStringLiteral("amp"), u'&'},        {QStringLiteral("lt"), u'<'},     {QStringLiteral("gt"), u'>'},
        {QStringLiteral("quot"), u'"'},       {QStringLiteral("apos"), u'\''},  {QStringLiteral("nbsp"), QChar(0xA0)},
        {QStringLiteral("copy"), u'©'},       {QStringLiteral("reg"), u'®'},    {QStringLiteral("hellip"), u'…'},
        {QStringLiteral("mdash"), u'—'},      {QStringLiteral("ndash"), u'–'},  {QStringLiteral("laquo"), u'«'},
        {QStringLiteral("raquo"), u'»'},      {QStringLiteral("middot"), u'·'}, {QStringLiteral("times"), u'×'},
        {QStringLiteral("yen"), QChar(0xA5)}, {QStringLiteral("rarr"), u'→'},   {QStringLiteral("larr"), u'←'},
        {QStringLiteral("uarr"), u'↑'},       {QStringLiteral("darr"), u'↓'},
    };
    if (!text.contains(QLatin1Char('&')))
        return text;
    QString out;
    out.reserve(text.size());
    qsizetype i = 0;
    while (i < text.size()) {
        const QChar c = text[i];
        const qsizetype semi = c == u'&' ? text.indexOf(QLatin1Char(';'), i + 1) : -1;
        if (semi < 0 || semi - i > 12) {
            out += c;
            ++i;
            continue;
        }
        const QString name = text.mid(i + 1, semi - i - 1);
        bool ok = false;
        char32_t code = 0;
        if (name.startsWith(QLatin1String("#x")) || name.startsWith(QLatin1String("#X")))
            code = name.mid(2).toUInt(&ok, 16);
        else if (name.startsWith(QLatin1Char('#')))
            code = name.mid(1).toUInt(&ok, 10);
        if (ok && code > 0 && code <= 0x10FFFF && !(code >= 0xD800 && code <= 0xDFFF)) {
            out += QString::fromUcs4(&code, 1);
        } else if (const auto it = named.constFind(name); it != named.cend()) {
            out += *it;
        } else {
            out += text.mid(i, semi - i + 1);
        }
        i = semi + 1;
    }
    return out;
}

QString title(const QString& html)
{
    static const QRegularExpression pattern(QStringLiteral("<title[^>]*>(.*?)</title>"),
                                            QRegularExpression::CaseInsensitiveOption |
                                                QRegularExpression::DotMatchesEverythingOption);
    const QRegularExpressionMatch match = pattern.match(html);
    return match.hasMatch() ? collapseSpaces(decodeEntities(match.captured(1))) : QString();
}

QString plainText(const QString& html)
{
    // Tags inside a line of text (a link, bold) join what stands on either side: Japanese has no spaces
    // between words, so a space there would split a word the reader searches for. Every other tag separates.
    static const QSet<QString> inlineTags = {
        QStringLiteral("a"),      QStringLiteral("b"),    QStringLiteral("i"),      QStringLiteral("em"),
        QStringLiteral("strong"), QStringLiteral("span"), QStringLiteral("code"),   QStringLiteral("kbd"),
        QStringLiteral("small"),  QStringLiteral("big"),  QStringLiteral("u"),      QStringLiteral("font"),
        QStringLiteral("sub"),    QStringLiteral("sup"),  QStringLiteral("var"),    QStringLiteral("samp"),
        QStringLiteral("tt"),     QStringLiteral("abbr"), QStringLiteral("q"),      QStringLiteral("s"),
        QStringLiteral("mark"),   QStringLiteral("ruby"), QStringLiteral("strike"),
    };
    static const QRegularExpression tag(QStringLiteral("<\\s*/?\\s*([A-Za-z][A-Za-z0-9]*)[^>]*>"));
    QString text = removeBlocks(html, QStringLiteral("<!--.*?-->"));
    text = removeBlocks(text, QStringLiteral("<script\\b.*?</script\\s*>"));
    text = removeBlocks(text, QStringLiteral("<style\\b.*?</style\\s*>"));
    text = removeBlocks(text, QStringLiteral("<title\\b.*?</title\\s*>"));
    // Declarations ("<!doctype html>", "<![CDATA[") and processing instructions ("<?xml ...?>") are markup,
    // never text a reader sees.
    text = removeBlocks(text, QStringLiteral("<![^>]*>"));
    text = removeBlocks(text, QStringLiteral("<\\?.*?>"));
    QString out;
    out.reserve(text.size());
    qsizetype last = 0;
    QRegularExpressionMatchIterator it = tag.globalMatch(text);
    while (it.hasNext()) {
        const QRegularExpressionMatch m = it.next();
        out += QStringView(text).mid(last, m.capturedStart() - last);
        if (!inlineTags.contains(m.captured(1).toLower()))
            out += QLatin1Char(' ');
        last = m.capturedEnd();
    }
    out += QStringView(text).mid(last);
    return collapseSpaces(decodeEntities(out));
}

} // namespace helptext
