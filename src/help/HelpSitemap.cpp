#include "help/HelpSitemap.h"

#include "help/HelpText.h"

#include <QHash>
#include <QRegularExpression>

namespace sitemap {

namespace {

QHash<QString, QString> attributes(const QString& text)
{
    static const QRegularExpression pattern(
        QStringLiteral("([A-Za-z_:][-A-Za-z0-9_:.]*)\\s*=\\s*(?:\"([^\"]*)\"|'([^']*)'|([^\\s\"'>]+))"));
    QHash<QString, QString> result;
    QRegularExpressionMatchIterator it = pattern.globalMatch(text);
    while (it.hasNext()) {
        const QRegularExpressionMatch m = it.next();
        QString value = m.captured(2);
        if (m.capturedStart(3) >= 0)
            value = m.captured(3);
        else if (m.capturedStart(4) >= 0)
            value = m.captured(4);
        result.insert(m.captured(1).toLower(), helptext::decodeEntities(value));
    }
    return result;
}

void flattenInto(const QList<HelpEntry>& entries, int depth, QList<FlatEntry>& out)
{
    for (const HelpEntry& entry : entries) {
        out.append({&entry, depth});
        flattenInto(entry.children, depth + 1, out);
    }
}

} // namespace

QList<HelpEntry> parse(const QString& html)
{
    static const QRegularExpression tag(QStringLiteral("<\\s*(/?)\\s*([A-Za-z]+)([^>]*)>"));
    QList<HelpEntry> result;
    // The list being filled at each depth. Only the innermost is ever appended to while deeper ones are open,
    // so the pointers into the outer lists stay valid.
    QList<QList<HelpEntry>*> levels{&result};
    bool inObject = false;
    HelpEntry pending;

    QRegularExpressionMatchIterator it = tag.globalMatch(html);
    while (it.hasNext()) {
        const QRegularExpressionMatch m = it.next();
        const bool closing = !m.captured(1).isEmpty();
        const QString name = m.captured(2).toLower();
        if (name == QLatin1String("ul")) {
            if (closing) {
                if (levels.size() > 1)
                    levels.removeLast();
            } else {
                QList<HelpEntry>* current = levels.last();
                // A list opened right after an entry holds that entry's children; one without an entry before it
                // goes on filling the same level.
                levels.append(current->isEmpty() ? current : &current->last().children);
            }
        } else if (name == QLatin1String("object")) {
            if (!closing) {
                const QString type = attributes(m.captured(3)).value(QStringLiteral("type")).toLower();
                inObject = type == QLatin1String("text/sitemap");
                pending = HelpEntry();
            } else if (inObject) {
                inObject = false;
                if (!pending.name.isEmpty() || !pending.local.isEmpty())
                    levels.last()->append(pending);
            }
        } else if (name == QLatin1String("param") && inObject && !closing) {
            const QHash<QString, QString> a = attributes(m.captured(3));
            const QString key = a.value(QStringLiteral("name")).toLower();
            const QString value = a.value(QStringLiteral("value"));
            // An index entry may list several pages as further name and page pairs; the first of each is kept.
            if (key == QLatin1String("name") && pending.name.isEmpty())
                pending.name = value.simplified();
            else if (key == QLatin1String("local") && pending.local.isEmpty())
                pending.local = value.trimmed();
        }
    }
    return result;
}

QList<FlatEntry> flatten(const QList<HelpEntry>& entries)
{
    QList<FlatEntry> out;
    flattenInto(entries, 0, out);
    return out;
}

} // namespace sitemap
