#include "store/FileFingerprints.h"

#include "store/WholeFile.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>

namespace {

size_t contentHash(const QByteArray& content)
{
    return qHashBits(content.constData(), size_t(content.size()), 0);
}

QString changedMessage(const QString& name, const QString& when)
{
    return QStringLiteral("「%1」は、このプログラムが読み込んだ後に、ほかのプログラムによって%2\n"
                          "その変更を消さないよう、今の変更は保存していません。\n"
                          "ファイルを読み込み直しますので、必要ならもう一度変更してください。")
        .arg(name, when);
}

} // namespace

FileFingerprints::Print FileFingerprints::printOf(const std::optional<QByteArray>& content, qint64 modifiedMs)
{
    Print print;
    if (content) {
        print.exists = true;
        print.size = content->size();
        print.modifiedMs = modifiedMs;
        print.hash = contentHash(*content);
    }
    return print;
}

void FileFingerprints::remember(const QString& name, const QString& absolutePath,
                                const std::optional<QByteArray>& content)
{
    const bool exists = content && !absolutePath.isEmpty();
    remember(name, printOf(exists ? content : std::nullopt, exists ? wholefile::modifiedMs(absolutePath) : 0));
}

bool FileFingerprints::holds(const QString& name, const QByteArray& content) const
{
    const auto it = m_prints.constFind({name.toCaseFolded()});
    return it != m_prints.cend() && it->exists && it->size == content.size() && it->hash == contentHash(content);
}

bool FileFingerprints::goneSince(const QString& name, const QString& absolutePath) const
{
    const auto it = m_prints.constFind({name.toCaseFolded()});
    return it != m_prints.cend() && it->exists && (absolutePath.isEmpty() || !QFileInfo::exists(absolutePath));
}

QString FileFingerprints::changedOutside(const QString& name, const QString& absolutePath) const
{
    const auto it = m_prints.constFind({name.toCaseFolded()});
    if (it == m_prints.cend())
        return {};
    const Print& known = *it;
    const QFileInfo info(absolutePath);
    const bool exists = !absolutePath.isEmpty() && info.exists();
    // A file that is gone holds nothing a write could overwrite.
    if (!exists)
        return {};
    const QString when =
        QStringLiteral("変更されています（変更日時 %1）。").arg(info.lastModified().toString(u"yyyy/MM/dd HH:mm:ss"));
    if (!known.exists || info.size() != known.size)
        return changedMessage(name, when);
    // The same size: only the content can tell. A file touched without a change of content is no change.
    QFile file(absolutePath);
    if (!file.open(QIODevice::ReadOnly))
        return changedMessage(name, when);
    const QByteArray content = file.readAll();
    if (file.error() != QFileDevice::NoError || contentHash(content) != known.hash)
        return changedMessage(name, when);
    return {};
}
