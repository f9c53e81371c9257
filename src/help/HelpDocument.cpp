#include "help/HelpDocument.h"

#include "help/HelpText.h"

#include <QFileInfo>

namespace {

// The part after "::" of a link written for the Windows help viewer, which names a page of a help file.
std::optional<QString> windowsHelpPath(const QUrl& link)
{
    const QString scheme = link.scheme().toLower();
    if (scheme != QLatin1String("ms-its") && scheme != QLatin1String("mk") && scheme != QLatin1String("its"))
        return std::nullopt;
    const QString text = QUrl::fromPercentEncoding(link.toEncoded());
    const qsizetype separator = text.indexOf(QLatin1String("::"));
    if (separator < 0)
        return std::nullopt;
    return text.mid(separator + 2);
}

} // namespace

HelpDocument::HelpDocument(ChmArchive archive) : m_archive(std::move(archive))
{
    if (!m_archive.isOpen())
        return;
    m_system = ChmSystemInfo::parse(m_archive.systemRecord());
    m_contents = readSitemap(m_system.contentsFile, QStringLiteral(".hhc"));
    m_index = readSitemap(m_system.indexFile, QStringLiteral(".hhk"));
}

HelpDocument HelpDocument::open(const QString& path)
{
    return HelpDocument(ChmArchive::open(path));
}

QList<HelpEntry> HelpDocument::readSitemap(const QString& name, const QString& suffix) const
{
    QString file = name;
    if (file.isEmpty() || !m_archive.contains(file)) {
        // Files made without the record still carry the sitemap; the first with the suffix is the one.
        file.clear();
        for (const QString& candidate : m_archive.fileNames())
            if (candidate.endsWith(suffix, Qt::CaseInsensitive)) {
                file = candidate;
                break;
            }
    }
    const std::optional<QByteArray> bytes = file.isEmpty() ? std::nullopt : m_archive.file(file);
    return bytes ? sitemap::parse(decode(*bytes)) : QList<HelpEntry>();
}

QUrl HelpDocument::firstTopic() const
{
    if (!m_system.defaultTopic.isEmpty() && m_archive.contains(pathOf(urlOf(m_system.defaultTopic))))
        return urlOf(m_system.defaultTopic);
    for (const sitemap::FlatEntry& flat : sitemap::flatten(m_contents))
        if (!flat.entry->local.isEmpty())
            return urlOf(flat.entry->local);
    for (const QString& name : m_archive.fileNames())
        if (isPageName(name))
            return urlOf(name);
    return {};
}

QUrl HelpDocument::urlOf(const QString& local)
{
    if (const std::optional<QString> inside = windowsHelpPath(QUrl(local)))
        return urlOf(*inside);
    QString path = local.trimmed();
    path.replace(QLatin1Char('\\'), QLatin1Char('/'));
    QString fragment;
    if (const qsizetype hash = path.indexOf(QLatin1Char('#')); hash >= 0) {
        fragment = path.mid(hash + 1);
        path.truncate(hash);
    }
    if (!path.startsWith(QLatin1Char('/')))
        path.prepend(QLatin1Char('/'));
    QUrl url;
    url.setScheme(Scheme);
    url.setPath(path, QUrl::DecodedMode);
    if (!fragment.isEmpty())
        url.setFragment(fragment, QUrl::DecodedMode);
    // "a/../b.html" and "./b.html" name the same page as "b.html".
    return url.adjusted(QUrl::NormalizePathSegments);
}

QUrl HelpDocument::resolve(const QUrl& base, const QUrl& link)
{
    if (const std::optional<QString> inside = windowsHelpPath(link))
        return urlOf(*inside);
    if (!link.scheme().isEmpty())
        return link;
    return base.resolved(link);
}

bool HelpDocument::opensOnDesktop(const QUrl& url)
{
    if (!url.isValid())
        return false;
    const QString scheme = url.scheme().toLower();
    if (scheme == QLatin1String("mailto"))
        return !url.path().isEmpty();
    return (scheme == QLatin1String("http") || scheme == QLatin1String("https")) && !url.host().isEmpty();
}

std::optional<QByteArray> HelpDocument::resource(const QUrl& url) const
{
    if (!isInside(url) || !isOpen())
        return std::nullopt;
    return m_archive.file(pathOf(url));
}

QString HelpDocument::page(const QUrl& url) const
{
    if (!isOpen())
        return messagePage(QStringLiteral("ヘルプを表示できません"), error());
    const QString path = pathOf(url);
    if (const std::optional<QByteArray> bytes = resource(url))
        return decode(*bytes);
    const QString file = QFileInfo(m_archive.path()).fileName();
    if (m_archive.isDamaged(path) || !m_archive.isComplete())
        return messagePage(QStringLiteral("このページを読み込めません"),
                           QStringLiteral("ヘルプファイル「%1」の一部が壊れているため、ページ「%2」を表示できません。")
                               .arg(file, path.mid(1)));
    return messagePage(QStringLiteral("ページが見つかりません"),
                       QStringLiteral("ページ「%1」はヘルプファイル「%2」の中にありません。").arg(path.mid(1), file));
}

QString HelpDocument::decode(const QByteArray& bytes) const
{
    return helptext::decode(bytes, m_system.lcid);
}

QString HelpDocument::messagePage(const QString& heading, const QString& text)
{
    QString paragraphs;
    for (const QString& line : text.split(QLatin1Char('\n'), Qt::SkipEmptyParts))
        paragraphs += QStringLiteral("<p>%1</p>").arg(line.toHtmlEscaped());
    return QStringLiteral("<html><head><meta charset=\"utf-8\"><title>%1</title></head><body>"
                          "<h2>%1</h2>%2</body></html>")
        .arg(heading.toHtmlEscaped(), paragraphs);
}

bool HelpDocument::isPageName(const QString& name)
{
    return name.endsWith(QLatin1String(".html"), Qt::CaseInsensitive) ||
           name.endsWith(QLatin1String(".htm"), Qt::CaseInsensitive);
}
