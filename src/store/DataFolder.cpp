#include "store/DataFolder.h"

#include "store/WholeFile.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QSet>

DataFolder::DataFolder(const QString& path)
    : m_path(QDir(path).absolutePath()), m_writer(std::make_unique<AtomicFileWriter>())
{
    rescan();
}

void DataFolder::rescan()
{
    m_index.clear();
    // No name filters: titles hold [ ] * ? which a filter would read as wildcards.
    // Unsorted listing: sorting every name of a large collection costs more than the listing itself.
    QDirIterator it(m_path, QDir::Files | QDir::Hidden | QDir::System);
    while (it.hasNext()) {
        it.next();
        const QString name = it.fileName();
        if (name.startsWith(AtomicFileWriter::StagingPrefix)) {
            QFile::remove(it.filePath());
            continue;
        }
        m_index[name.toCaseFolded()].append(name);
    }
    // Twins that differ only in letter case are rare; order them so that the choice among them is stable.
    for (QStringList& spellings : m_index)
        if (spellings.size() > 1)
            spellings.sort();
}

QString DataFolder::checkFileName(const QString& name)
{
    if (name.isEmpty())
        return QStringLiteral("ファイル名が空です。");
    if (name == u"." || name == u".." || name.startsWith(AtomicFileWriter::StagingPrefix))
        return QStringLiteral("「%1」はファイル名に使えません。").arg(name);
    for (qsizetype i = 0; i < name.size(); ++i) {
        const QChar c = name[i];
        if (c == u'/')
            return QStringLiteral("ファイル名に「/」は使えません。");
        if (c.unicode() < 0x20 || c.unicode() == 0x7F)
            return QStringLiteral("ファイル名に制御文字は使えません。");
        if (c.isSurrogate()) {
            const bool paired = c.isHighSurrogate() && i + 1 < name.size() && name[i + 1].isLowSurrogate();
            if (!paired)
                return QStringLiteral("ファイル名に使えない文字が含まれています。");
            ++i;
        }
    }
    const qsizetype bytes = name.toUtf8().size();
    if (bytes > 255)
        return QStringLiteral("ファイル名が長すぎます（%1バイト、上限は255バイト）。").arg(bytes);
    return {};
}

QString DataFolder::existingName(const QString& name) const
{
    if (!checkFileName(name).isEmpty())
        return {};
    const auto it = m_index.constFind(name.toCaseFolded());
    if (it != m_index.cend() && !it->isEmpty())
        return it->contains(name) ? name : it->first();

    // Made behind the index's back (by another program, or after the scan).
    const QFileInfo info(pathOf(name));
    if (!info.exists() || info.isDir())
        return {};
    remember(name);
    return name;
}

QString DataFolder::existingPath(const QString& name) const
{
    const QString diskName = existingName(name);
    return diskName.isEmpty() ? QString() : pathOf(diskName);
}

std::optional<QByteArray> DataFolder::read(const QString& name) const
{
    const QString path = existingPath(name);
    if (path.isEmpty())
        return std::nullopt;
    return wholefile::read(path);
}

QString DataFolder::write(const QString& name, const QByteArray& data)
{
    const auto failure = [&name](const QString& reason) {
        return QStringLiteral("「%1」に書き込めませんでした。\n理由: %2").arg(name, reason);
    };
    if (const QString problem = checkFileName(name); !problem.isEmpty())
        return failure(problem);

    beforeChange();
    QString diskName = existingName(name);
    if (diskName.isEmpty())
        diskName = name;
    if (const QString reason = m_writer->writeAtomically(pathOf(diskName), data); !reason.isEmpty())
        return failure(reason);
    remember(diskName);
    return {};
}

QStringList DataFolder::writeEach(const QList<std::pair<QString, QByteArray>>& files)
{
    beforeChange();
    QStringList messages(files.size());
    QList<FileWriter::FileData> valid;
    QList<qsizetype> validIndex;
    QStringList diskNames;
    for (qsizetype i = 0; i < files.size(); ++i) {
        const QString& name = files[i].first;
        if (const QString problem = checkFileName(name); !problem.isEmpty()) {
            messages[i] = QStringLiteral("「%1」に書き込めませんでした。\n理由: %2").arg(name, problem);
            continue;
        }
        QString diskName = existingName(name);
        if (diskName.isEmpty())
            diskName = name;
        valid.append({pathOf(diskName), files[i].second});
        validIndex.append(i);
        diskNames.append(diskName);
    }
    const QStringList reasons = m_writer->writeEachAtomically(valid);
    for (qsizetype k = 0; k < valid.size(); ++k) {
        const QString reason = k < reasons.size() ? reasons[k] : QString();
        if (reason.isEmpty())
            remember(diskNames[k]);
        else
            messages[validIndex[k]] =
                QStringLiteral("「%1」に書き込めませんでした。\n理由: %2").arg(files[validIndex[k]].first, reason);
    }
    return messages;
}

QString DataFolder::append(const QString& name, const QByteArray& data)
{
    QByteArray whole;
    if (exists(name)) {
        const std::optional<QByteArray> old = read(name);
        // Rewriting without the old content would lose it.
        if (!old)
            return QStringLiteral("「%1」に書き込めませんでした。\n理由: 今の内容を読み込めませんでした。").arg(name);
        whole = *old;
    }
    return write(name, appended(whole, data));
}

QByteArray DataFolder::appended(const QByteArray& old, const QByteArray& data)
{
    // Spaces, tabs and line-end bytes never occur inside a double-byte character, so bytes can be tested.
    const auto isBlank = [](char c) { return c == ' ' || c == '\t'; };
    const auto isLineEnd = [](char c) { return c == '\r' || c == '\n'; };
    qsizetype contentEnd = old.size();
    while (contentEnd > 0 && (isBlank(old[contentEnd - 1]) || isLineEnd(old[contentEnd - 1])))
        --contentEnd;
    if (contentEnd == 0)
        return data;

    // The last line keeps its blanks and its own line end (CR LF, CR or LF), or gets CR LF when it has none,
    // as some editors save it.
    qsizetype lineEnd = contentEnd;
    while (lineEnd < old.size() && isBlank(old[lineEnd]))
        ++lineEnd;
    QByteArray whole = old.left(lineEnd);
    if (lineEnd == old.size())
        whole += "\r\n";
    else if (old[lineEnd] == '\r' && lineEnd + 1 < old.size() && old[lineEnd + 1] == '\n')
        whole += "\r\n";
    else
        whole += old[lineEnd];
    return whole + data;
}

bool DataFolder::remove(const QString& name)
{
    if (!checkFileName(name).isEmpty())
        return false;
    beforeChange();
    // Deleting is rare and must not leave a twin behind, so the folder itself is asked rather than the index,
    // which does not know files put there by hand while the program runs.
    const QString folded = name.toCaseFolded();
    QStringList spellings;
    QDirIterator it(m_path, QDir::Files | QDir::Hidden | QDir::System);
    while (it.hasNext()) {
        it.next();
        if (it.fileName().toCaseFolded() == folded)
            spellings.append(it.fileName());
    }

    bool removed = false;
    for (const QString& diskName : std::as_const(spellings)) {
        if (QFile::remove(pathOf(diskName))) {
            removed = true;
            forget(diskName);
        } else if (!QFileInfo::exists(pathOf(diskName))) {
            forget(diskName);
        }
    }
    return removed;
}

int DataFolder::remove(const QStringList& names)
{
    beforeChange();
    QSet<QString> wanted;
    for (const QString& name : names)
        if (checkFileName(name).isEmpty())
            wanted.insert(name.toCaseFolded());
    QStringList spellings;
    QDirIterator it(m_path, QDir::Files | QDir::Hidden | QDir::System);
    while (it.hasNext()) {
        it.next();
        if (wanted.contains(it.fileName().toCaseFolded()))
            spellings.append(it.fileName());
    }

    int removed = 0;
    for (const QString& diskName : std::as_const(spellings)) {
        if (QFile::remove(pathOf(diskName))) {
            ++removed;
            forget(diskName);
        } else if (!QFileInfo::exists(pathOf(diskName))) {
            forget(diskName);
        }
    }
    return removed;
}

QStringList DataFolder::spellingsOf(const QStringList& names) const
{
    QSet<QString> wanted;
    for (const QString& name : names)
        if (checkFileName(name).isEmpty())
            wanted.insert(name.toCaseFolded());
    QStringList spellings;
    QDirIterator it(m_path, QDir::Files | QDir::Hidden | QDir::System);
    while (it.hasNext()) {
        it.next();
        if (wanted.contains(it.fileName().toCaseFolded()))
            spellings.append(it.fileName());
    }
    spellings.sort();
    return spellings;
}

std::optional<QByteArray> DataFolder::readExact(const QString& diskName) const
{
    if (!checkFileName(diskName).isEmpty())
        return std::nullopt;
    QFile file(pathOf(diskName));
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    QByteArray data = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return std::nullopt;
    return data;
}

QString DataFolder::writeExact(const QString& diskName, const QByteArray& data)
{
    if (const QString problem = checkFileName(diskName); !problem.isEmpty())
        return QStringLiteral("「%1」に書き込めませんでした。\n理由: %2").arg(diskName, problem);
    if (const QString reason = m_writer->writeAtomically(pathOf(diskName), data); !reason.isEmpty())
        return QStringLiteral("「%1」に書き込めませんでした。\n理由: %2").arg(diskName, reason);
    remember(diskName);
    return {};
}

bool DataFolder::removeExact(const QString& diskName)
{
    if (!checkFileName(diskName).isEmpty())
        return false;
    if (!QFile::remove(pathOf(diskName)) && QFileInfo::exists(pathOf(diskName)))
        return false;
    forget(diskName);
    return true;
}

void DataFolder::setWriter(std::unique_ptr<FileWriter> writer)
{
    m_writer = writer ? std::move(writer) : std::make_unique<AtomicFileWriter>();
}

void DataFolder::remember(const QString& diskName) const
{
    QStringList& spellings = m_index[diskName.toCaseFolded()];
    if (!spellings.contains(diskName))
        spellings.append(diskName);
}

void DataFolder::forget(const QString& diskName)
{
    const QString key = diskName.toCaseFolded();
    const auto it = m_index.find(key);
    if (it == m_index.end())
        return;
    it->removeAll(diskName);
    if (it->isEmpty())
        m_index.erase(it);
}
