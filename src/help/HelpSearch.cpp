#include "help/HelpSearch.h"

#include "help/HelpDocument.h"
#include "help/HelpText.h"

#include <QHash>
#include <QRegularExpression>
#include <QTextBoundaryFinder>
#include <algorithm>

namespace {

constexpr int SnippetBefore = 30;
constexpr int SnippetAfter = 60;

int occurrences(const QString& text, const QString& word)
{
    int count = 0;
    for (qsizetype at = text.indexOf(word); at >= 0; at = text.indexOf(word, at + word.size()))
        ++count;
    return count;
}

// The text around [at, at + length), not reaching back before floor.
QString snippetAround(const QString& text, qsizetype at, qsizetype length, qsizetype floor)
{
    floor = qMin(floor, text.size());
    const qsizetype start = qMax(floor, at - SnippetBefore);
    const qsizetype end = qMin(text.size(), at + length + SnippetAfter);
    QString snippet = text.mid(start, end - start).trimmed();
    if (start > floor)
        snippet.prepend(QStringLiteral("…"));
    if (end < text.size())
        snippet.append(QStringLiteral("…"));
    return snippet;
}

// Folds text one character (as a reader counts them: "ｶﾞ" is one) at a time, and notes for every folded position
// where in text it came from, so that a place found in the folded text can be shown as written.
void foldWithOrigins(const QString& text, QString* folded, QList<qsizetype>* origins)
{
    folded->clear();
    origins->clear();
    QTextBoundaryFinder graphemes(QTextBoundaryFinder::Grapheme, text);
    qsizetype start = 0;
    for (qsizetype end = graphemes.toNextBoundary(); end > 0; end = graphemes.toNextBoundary()) {
        const QString piece = HelpSearch::fold(text.mid(start, end - start));
        for (qsizetype i = 0; i < piece.size(); ++i)
            origins->append(start);
        folded->append(piece);
        start = end;
    }
    origins->append(text.size());
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
        if (!HelpDocument::isPageName(name))
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
        page.text = helptext::plainText(html);
        foldWithOrigins(page.text, &page.body, &page.written);
        // A page that opens with its own title as a heading: the snippet starts after it, since results show
        // the title apart.
        for (const QString& heading : {page.title, helptext::title(html)})
            if (!heading.isEmpty() && page.text.startsWith(heading) &&
                (page.text.size() == heading.size() || page.text.at(heading.size()) == u' ')) {
                page.lead = heading.size() + 1;
                break;
            }
        m_pages.append(page);
    }
}

QString HelpSearch::snippet(const Page& page, const QString& word) const
{
    const qsizetype foldedLead =
        std::lower_bound(page.written.cbegin(), page.written.cend(), page.lead) - page.written.cbegin();
    qsizetype at = page.body.indexOf(word, foldedLead);
    if (at < 0)
        at = page.body.indexOf(word);
    if (at < 0) // found only in the title: the start of the page
        return snippetAround(page.text, page.lead, 0, page.lead);
    const qsizetype from = page.written.at(at);
    return snippetAround(page.text, from, page.written.at(at + word.size()) - from, from >= page.lead ? page.lead : 0);
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
        hits.append({page.url, page.title, total, snippet(page, wanted.first())});
    }
    std::stable_sort(hits.begin(), hits.end(), [](const Hit& a, const Hit& b) { return a.count > b.count; });
    return hits;
}
