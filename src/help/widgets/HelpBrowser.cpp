#include "help/widgets/HelpBrowser.h"

#include "help/HelpDocument.h"

#include <QDesktopServices>

HelpBrowser::HelpBrowser(QWidget* parent) : QTextBrowser(parent)
{
    setObjectName(QStringLiteral("helpBrowser"));
    // Every link goes through followLink, which alone decides what opens where.
    setOpenLinks(false);
    setOpenExternalLinks(false);
    m_openExternal = [](const QUrl& url) { return QDesktopServices::openUrl(url); };
    connect(this, &QTextBrowser::anchorClicked, this, &HelpBrowser::followLink);
}

void HelpBrowser::setHelpDocument(const HelpDocument* document)
{
    m_document = document;
}

void HelpBrowser::showMessage(const QString& heading, const QString& text)
{
    setHtml(HelpDocument::messagePage(heading, text));
}

void HelpBrowser::followLink(const QUrl& url)
{
    const QUrl target = HelpDocument::resolve(source(), url);
    if (HelpDocument::isInside(target)) {
        setSource(target, QTextDocument::HtmlResource);
        return;
    }
    // Only web pages and mail go to the desktop: a help file may come from anywhere, and a link to a local
    // file, a script or another program's scheme must not start anything on this machine.
    if (!HelpDocument::opensOnDesktop(target)) {
        emit linkRefused(target);
        return;
    }
    if (m_openExternal)
        m_openExternal(target);
    emit externalLinkOpened(target);
}

void HelpBrowser::doSetSource(const QUrl& name, QTextDocument::ResourceType type)
{
    m_loading = name.isRelative() ? HelpDocument::resolve(source(), name) : name;
    QTextBrowser::doSetSource(name, type);
    m_loading.clear();
}

QVariant HelpBrowser::loadResource(int type, const QUrl& name)
{
    const QUrl base = m_loading.isValid() ? m_loading : source();
    const QUrl url = name.isRelative() ? HelpDocument::resolve(base, name) : name;
    if (!HelpDocument::isInside(url))
        return {}; // never a file of the disk or of the network
    if (type == QTextDocument::HtmlResource) {
        if (!m_document)
            return HelpDocument::messagePage(QStringLiteral("ヘルプを表示できません"),
                                             QStringLiteral("ヘルプファイルが開かれていません。"));
        return m_document->page(url);
    }
    if (!m_document)
        return {};
    const std::optional<QByteArray> bytes = m_document->resource(url);
    if (!bytes)
        return {};
    if (type == QTextDocument::StyleSheetResource)
        return m_document->decode(*bytes); // in the file's own code page, like its pages
    return *bytes;
}
