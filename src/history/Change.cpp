#include "history/Change.h"

#include "store/CollectionStore.h"
#include "store/DataFolder.h"

QString Change::quoted(const QString& title)
{
    return QStringLiteral("「%1」").arg(title);
}

QString Change::fullWidthNumber(int number)
{
    QString text = QString::number(number);
    for (QChar& c : text)
        if (c.isDigit())
            c = QChar(c.unicode() - u'0' + 0xFF10);
        else if (c == u'-')
            c = QChar(0xFF0D);
    return text;
}

namespace changefiles {

QString putBack(CollectionStore& store, const QString& name, const FileBytes& bytes)
{
    return store.putBack(name, bytes);
}

QString missingTitle(const QString& title)
{
    return QStringLiteral("「%1」がデータファイルに見つかりません。").arg(title);
}

TitleTable withoutAppended(const TitleTable& table, const QStringList& titles, QString* error)
{
    TitleTable remaining = table;
    for (auto it = titles.crbegin(); it != titles.crend(); ++it) {
        int index = remaining.count();
        while (index > 0 && remaining.at(index).title != *it)
            --index;
        if (index == 0) {
            *error = missingTitle(*it);
            return remaining;
        }
        remaining.removeAt(index);
    }
    return remaining;
}

} // namespace changefiles
