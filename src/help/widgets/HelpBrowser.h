#pragma once

#include <QTextBrowser>
#include <functional>

class HelpDocument;

// helpBrowser: shows the pages of a help file. Pages, pictures and style sheets come from inside the file and
// nowhere else; a link inside the file opens here (and enters the back and forward history). Of the links outside
// it, web pages and mail (http, https, mailto) go to the desktop; every other one (file, javascript, any other
// scheme) is refused and the page stays.
class HelpBrowser final : public QTextBrowser {
    Q_OBJECT
public:
    using ExternalOpener = std::function<bool(const QUrl&)>;

    explicit HelpBrowser(QWidget* parent = nullptr);

    // The help file whose pages are shown; nullptr shows nothing. The document must outlive its use here.
    void setHelpDocument(const HelpDocument* document);
    // What opens links outside the help file; by default QDesktopServices::openUrl.
    void setExternalOpener(ExternalOpener opener) { m_openExternal = std::move(opener); }
    // Shows a page of the viewer's own (no history entry).
    void showMessage(const QString& heading, const QString& text);

    QVariant loadResource(int type, const QUrl& name) override;

protected:
    void doSetSource(const QUrl& name, QTextDocument::ResourceType type) override;

signals:
    // A link outside the help file was handed to the desktop.
    void externalLinkOpened(const QUrl& url);
    // A link was refused: nothing was opened and the page stays.
    void linkRefused(const QUrl& url);

private:
    void followLink(const QUrl& url);

    const HelpDocument* m_document = nullptr;
    // The page being loaded: style sheets are read while it is parsed, before source() names it.
    QUrl m_loading;
    ExternalOpener m_openExternal;
};
