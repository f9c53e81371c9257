#include "gallery/FolderFiles.h"

#include <QCollator>
#include <QDirIterator>
#include <QFileInfo>
#include <QLocale>
#include <QRegularExpression>
#include <algorithm>

namespace folderfiles {

namespace {

// A pattern "*.ext" is a plain ending, compared without building an expression per name; any other pattern is
// matched as a wildcard.
class Pattern final {
public:
    explicit Pattern(const QString& pattern)
    {
        const QString rest = pattern.mid(1);
        if (pattern.startsWith(QLatin1Char('*')) && !rest.contains(QRegularExpression(QStringLiteral("[*?\\[]"))))
            m_ending = rest;
        else
            m_expression = QRegularExpression(QRegularExpression::wildcardToRegularExpression(pattern),
                                              QRegularExpression::CaseInsensitiveOption);
    }
    bool matches(const QString& name) const
    {
        if (!m_ending.isNull())
            return name.size() > m_ending.size() && name.endsWith(m_ending, Qt::CaseInsensitive);
        return m_expression.match(name).hasMatch();
    }

private:
    QString m_ending;
    QRegularExpression m_expression;
};

} // namespace

QStringList matching(const QString& folder, const QStringList& patterns)
{
    QList<Pattern> compiled;
    for (const QString& pattern : patterns)
        compiled.append(Pattern(pattern));
    QStringList names;
    // The entry's kind comes with the folder's listing; only a link is looked at further, to see where it leads.
    QDirIterator it(folder, QDir::Files | QDir::NoDotAndDotDot);
    while (it.hasNext()) {
        const QString name = it.nextFileInfo().fileName();
        if (std::any_of(compiled.cbegin(), compiled.cend(), [&](const Pattern& p) { return p.matches(name); }))
            names.append(name);
    }
    // Numbers are compared as numbers in the Japanese collation whatever the process's own locale is.
    QCollator collator(QLocale(QLocale::Japanese, QLocale::Japan));
    collator.setNumericMode(true);
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::sort(names.begin(), names.end(), [&](const QString& a, const QString& b) {
        const int order = collator.compare(a, b);
        return order != 0 ? order < 0 : a < b;
    });
    return names;
}

} // namespace folderfiles
