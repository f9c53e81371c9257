#pragma once

#include "help/ChmArchive.h"
#include "help/ChmSystem.h"
#include "help/HelpSitemap.h"

#include <QList>
#include <QString>
#include <QUrl>
#include <optional>

// An opened help file: its pages, pictures and style sheets, its contents and index, and the addresses the
// viewer uses for them. A page inside the file has the address "chm:/path/page.html"; every other address
// (http, mailto, file) lies outside and is never read from here.
class HelpDocument final {
public:
    static inline const QString Scheme = QStringLiteral("chm");

    // Opens the help file at path. A file that cannot be opened gives a document that is not open, whose
    // pages all explain why.
    static HelpDocument open(const QString& path);

    bool isOpen() const { return m_archive.isOpen(); }
    // Open, read to its end, and every file in it unpacked.
    bool isSound() const { return isOpen() && m_archive.isComplete() && !m_archive.hasDamage(); }
    QString error() const { return m_archive.error(); }
    QString path() const { return m_archive.path(); }
    const ChmArchive& archive() const { return m_archive; }

    // The title the file gives itself, else an empty string.
    QString title() const { return m_system.title; }
    const QList<HelpEntry>& contents() const { return m_contents; }
    const QList<HelpEntry>& index() const { return m_index; }

    // The page to show first: the file's default page, else the first page of the contents, else its first
    // HTML file. Invalid when the file has no page at all.
    QUrl firstTopic() const;

    // The address of a page named as in the contents ("a.html", "/sub/b.htm#part").
    static QUrl urlOf(const QString& local);
    // The address a link on the page at base leads to. Links into a help file written the Windows way
    // ("ms-its:HondexHelp.chm::/page.htm", "mk:@MSITStore:...::/page.htm") lead into this file.
    static QUrl resolve(const QUrl& base, const QUrl& link);
    static bool isInside(const QUrl& url) { return url.scheme() == Scheme; }
    // Whether a link outside the file may be handed to the desktop: web pages and mail only.
    static bool opensOnDesktop(const QUrl& url);
    // The path inside the file ("/a.html") of an address inside it.
    static QString pathOf(const QUrl& url) { return url.path(QUrl::FullyDecoded); }
    // Whether a file inside the help file is a page (.htm or .html, any letter case).
    static bool isPageName(const QString& name);

    // The bytes of a file inside the help file (a picture, a style sheet), or nullopt.
    std::optional<QByteArray> resource(const QUrl& url) const;
    // The page at url as HTML text; when it cannot be shown, a short page that says why.
    QString page(const QUrl& url) const;
    // The page's text decoded as the file's language requires.
    QString decode(const QByteArray& bytes) const;

    // A page of the viewer's own, with a heading and a paragraph (plain text, escaped here).
    static QString messagePage(const QString& heading, const QString& text);

private:
    explicit HelpDocument(ChmArchive archive);
    QList<HelpEntry> readSitemap(const QString& name, const QString& suffix) const;

    ChmArchive m_archive;
    ChmSystemInfo m_system;
    QList<HelpEntry> m_contents;
    QList<HelpEntry> m_index;
};
