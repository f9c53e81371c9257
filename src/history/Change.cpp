#include "history/Change.h"

#include "store/CollectionStore.h"
#include "store/DataFolder.h"

#include <QHashFunctions>

namespace {

FileSeal sealOfBytes(const QByteArray& bytes)
{
    return {bytes.size(), qHashBits(bytes.constData(), size_t(bytes.size()), 0)};
}

Seal sealOf(const DataFolder& folder, const QString& name)
{
    const std::optional<QByteArray> bytes = folder.read(name);
    if (!bytes)
        return std::nullopt;
    return sealOfBytes(*bytes);
}

} // namespace

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

QString Change::applySealed(bool forward)
{
    DataFolder& folder = m_data.store.folder();
    DataFolder::WriteLog log;
    folder.setWriteLog(&log);
    const QString error = apply(forward);
    folder.setWriteLog(nullptr);
    if (!error.isEmpty())
        return error;
    for (const auto& [name, folded] : std::as_const(log.names))
        if (!m_merged.contains(folded))
            m_seals.insert({folded}, {name, {}});
    // Every file the step ever wrote is sealed afresh: undo and redo may write fewer than the first apply. A file
    // this apply wrote last is sealed from the bytes written, unless reading it would find another spelling of
    // its name: an import writes tens of thousands of files, and reading them all back took as long again.
    for (auto it = m_seals.begin(); it != m_seals.end(); ++it) {
        const auto known = log.written.constFind(it.key());
        it->second = known != log.written.cend() && folder.existingName(it->first, it.key().text) == known->first
                         ? std::optional(sealOfBytes(known->second))
                         : sealOf(folder, it->first);
    }
    return {};
}

QString Change::changedFile(QHash<QString, Seal>* cache) const
{
    const DataFolder& folder = m_data.store.folder();
    for (auto it = m_seals.cbegin(); it != m_seals.cend(); ++it) {
        Seal now;
        if (cache && cache->contains(it->first)) {
            now = cache->value(it->first);
        } else {
            now = sealOf(folder, it->first);
            if (cache)
                cache->insert(it->first, now);
        }
        if (now != it->second)
            return it->first;
    }
    return changedBeside();
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
