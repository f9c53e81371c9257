#include "help/HelpSearch.h"

#include "help/HelpDocument.h"
#include "help/HelpText.h"

#include <QHash>
#include <QRegularExpression>
#include <algorithm>

namespace {

constexpr int SnippetBefore = 30;
constexpr int SnippetAfter = 60;

bool isHtmlName(const QString& name)
{
    return name.endsWith(QLatin1String(".html"), Qt::CaseInsensitive) ||
           name.endsWith(QLatin1String(".htm"), Qt::CaseInsensitive);
}

int occurrences(const QString& text, const QString& word)
{
    int count = 0;
    for (qsizetype at = text.indexOf(word); at >= 0; at = text.indexOf(word, at + word.size()))
        ++count;
    return count;
}

QString snippetAround(const QString& text, qsizetype at, qsizetype length)
{
    const qsizetype start = qMax<qsizetype>(0, at - SnippetBefore);
    const qsizetype end = qMin(text.size(), at + length + SnippetAfter);
    QString snippet = text.mid(start, end - start);
    if (start > 0)
        snippet.prepend(QStringLiteral("…"));
    if (end < text.size())
        snippet.append(QStringLiteral("…"));
    return snippet;
}

} // namespace

QString HelpSearch::fold(const QString& text)
{
    return text.normalized(QString::NormalizationForm_KC).toCaseFolded();
}

QStringList HelpSearch::words(const QString& query)
{
    static const QRegularExpression spaces(QStringLiteral("\\s+"));
    return fold(query).split(spaces, Qt::SkipEmptyParts);
}

void HelpSearch::build()
{
    m_built = true;
    if (!m_document.isOpen())
        return;
    // Pages in the order of the contents first, with the contents' names as titles; then any page the
    // contents leave out.
    QHash<QString, QString> contentsTitle;
    QStringList order;
    for (const sitemap::FlatEntry& flat : sitemap::flatten(m_document.contents())) {
        if (flat.entry->local.isEmpty())
            continue;
        const QString path = ChmArchive::key(HelpDocument::pathOf(HelpDocument::urlOf(flat.entry->local)));
        if (!contentsTitle.contains(path)) {
            contentsTitle.insert(path, flat.entry->name);
            order.append(path);
        }
    }
    QHash<QString, QString> storedName;
    for (const QString& name : m_document.archive().fileNames()) {
        if (!isHtmlName(name))
            continue;
        const QString path = ChmArchive::key(name);
        storedName.insert(path, name);
        if (!contentsTitle.contains(path))
            order.append(path);
    }
    for (const QString& path : std::as_const(order)) {
        const QString name = storedName.value(path);
        const std::optional<QByteArray> bytes = name.isEmpty() ? std::nullopt : m_document.archive().file(name);
        if (!bytes)
            continue;
        const QString html = m_document.decode(*bytes);
        Page page;
        page.url = HelpDocument::urlOf(name);
        page.title = contentsTitle.value(path);
        if (page.title.isEmpty())
            page.title = helptext::title(html);
        if (page.title.isEmpty())
            page.title = name.mid(1);
        page.foldedTitle = fold(page.title);
        page.body = fold(helptext::plainText(html));
        m_pages.append(page);
    }
}

QList<HelpSearch::Hit> HelpSearch::search(const QString& query)
{
    const QStringList wanted = words(query);
    if (wanted.isEmpty())
        return {};
    if (!m_built)
        build();
    QList<Hit> hits;
    for (const Page& page : std::as_const(m_pages)) {
        int total = 0;
        for (const QString& word : wanted) {
            const int n = occurrences(page.foldedTitle, word) + occurrences(page.body, word);
            if (n == 0) {
                total = 0;
                break;
            }
            total += n;
        }
        if (total == 0)
            continue;
        // A word found only in the title shows the start of the page.
        const qsizetype at = page.body.indexOf(wanted.first());
        hits.append({page.url, page.title, total,
                     at >= 0 ? snippetAround(page.body, at, wanted.first().size()) : snippetAround(page.body, 0, 0)});
    }
    std::stable_sort(hits.begin(), hits.end(), [](const Hit& a, const Hit& b) { return a.count > b.count; });
    return hits;
}
