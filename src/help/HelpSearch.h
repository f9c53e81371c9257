#pragma once

#include <QList>
#include <QString>
#include <QUrl>

class HelpDocument;

// Full-text search over the pages of a help file. The text of every page is read once, on the first search.
// Matching ignores letter case and the width of letters, digits and kana (Ａ and a, ｶﾅ and カナ are one); a
// query of several words separated by spaces finds the pages that hold every word.
class HelpSearch final {
public:
    struct Hit {
        QUrl url;
        QString title;
        int count = 0;   // how often the words occur on the page
        QString snippet; // the text around the first word found, as the page writes it; never the title alone
    };

    explicit HelpSearch(const HelpDocument& document) : m_document(document) {}

    // The pages holding every word of query, most occurrences first, pages with equal counts in the order of
    // the contents. Empty for an empty query.
    QList<Hit> search(const QString& query);

    // The form in which texts are compared.
    static QString fold(const QString& text);
    // The words of a query, folded.
    static QStringList words(const QString& query);

private:
    struct Page {
        QUrl url;
        QString title;
        QString foldedTitle;
        QString text;             // what a reader sees, as written
        QString body;             // text, folded
        QList<qsizetype> written; // for each position of body (and its end), the position in text it came from
        qsizetype lead = 0;       // where text begins after a heading that repeats the title
    };
    QString snippet(const Page& page, const QString& word) const;
    void build();

    const HelpDocument& m_document;
    QList<Page> m_pages;
    bool m_built = false;
};
