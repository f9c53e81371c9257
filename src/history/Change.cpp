#include "history/Change.h"

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

QString putBack(DataFolder& folder, const QString& name, const FileBytes& bytes)
{
    if (bytes)
        return folder.write(name, *bytes);
    if (folder.exists(name) && !folder.remove(name))
        return QStringLiteral("「%1」を削除できませんでした。").arg(name);
    return {};
}

QString missingTitle(const QString& title)
{
    return QStringLiteral("「%1」がデータファイルに見つかりません。").arg(title);
}

} // namespace changefiles
