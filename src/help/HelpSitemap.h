#pragma once

#include <QList>
#include <QString>

// One entry of a help file's contents (.hhc) or index (.hhk): a heading or keyword with the page it opens and
// the entries nested under it.
struct HelpEntry {
    QString name;
    QString local; // the page inside the help file, perhaps with a "#part"; empty for a heading alone
    QList<HelpEntry> children;
};

namespace sitemap {

// The entries of a sitemap file, nested as its lists are. Reads loosely, as help viewers do: tags in any
// letter case, missing end tags, stray list ends, attributes with or without quotes. Objects of any type but
// "text/sitemap" (the file's own settings) are skipped.
QList<HelpEntry> parse(const QString& html);

// Every entry depth first, each paired with its depth (0 for the outermost).
struct FlatEntry {
    const HelpEntry* entry;
    int depth;
};
QList<FlatEntry> flatten(const QList<HelpEntry>& entries);

} // namespace sitemap
