#include "store/DataFolder.h"

#include "store/BatchQueue.h"
#include "store/WholeFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFuture>
#include <QSet>
#include <QtConcurrent/QtConcurrentMap>
#include <QtConcurrent/QtConcurrentRun>
#include <algorithm>

#include <dirent.h>
#include <sys/stat.h>

DataFolder::DataFolder(const QString& path)
    : m_path(QDir(path).absolutePath()), m_writer(std::make_unique<AtomicFileWriter>())
{
    rescan();
}

namespace {

// What a listing with QDir::Files | QDir::System shows: everything but folders, links to folders included.
// The type comes with the entry on the usual file systems, so only links (and file systems that give no
// type) cost a stat.
bool listedAsFile(DIR* dir, const dirent* entry)
{
    if (entry->d_type == DT_DIR)
        return false;
    if (entry->d_type != DT_LNK && entry->d_type != DT_UNKNOWN)
        return true;
    struct stat info;
    if (::fstatat(::dirfd(dir), entry->d_name, &info, 0) != 0)
        return true; // a dangling link is listed as a system file
    return !S_ISDIR(info.st_mode);
}

// Calls f with the name of every entry of folder that a listing with QDir::Files | QDir::Hidden |
// QDir::System shows, in no particular order. Read with readdir rather than QDirIterator: the folder may hold
// 65,000 files, and only their names are wanted. No name filters either: titles hold [ ] * ? which a filter
// would read as wildcards.
template <typename F, typename G> void forEachEntryName(const QString& folder, F file, G other)
{
    DIR* dir = ::opendir(QFile::encodeName(folder).constData());
    if (!dir)
        return;
    while (const dirent* entry = ::readdir(dir)) {
        if (listedAsFile(dir, entry))
            file(QFile::decodeName(entry->d_name));
        else
            other(QFile::decodeName(entry->d_name));
    }
    ::closedir(dir);
}

template <typename F> void forEachFileName(const QString& folder, F f)
{
    forEachEntryName(folder, f, [](QString&&) {});
}

// A generous guess at the number of entries, from the folder's own size: sizing the index once spares growing
// a hash of tens of thousands of names again and again, while room left unused costs a few bytes a name.
qsizetype expectedEntries(const QString& folder)
{
    struct stat info;
    if (::stat(QFile::encodeName(folder).constData(), &info) != 0)
        return 0;
    return qsizetype(std::min<off_t>(info.st_size / 32, 1 << 20));
}

QSet<QString> foldedFileNames(const QStringList& names)
{
    QSet<QString> folded;
    for (const QString& name : names)
        if (DataFolder::checkFileName(name).isEmpty())
            folded.insert(name.toCaseFolded());
    return folded;
}

} // namespace

void DataFolder::rescan()
{
    m_trustedOthers.reset();
    scan(nullptr);
}

void DataFolder::reindex(const QStringList& names)
{
    m_trustedOthers.reset();
    m_index.clear();
    m_twins.clear();
    m_index.reserve(names.size());
    for (const QString& name : names)
        if (!name.startsWith(AtomicFileWriter::StagingPrefix))
            remember(name);
    sortTwins();
}

DataFolder::TrustedScan DataFolder::rescanTrusted()
{
    QHash<TextKey, QString> others;
    scan(&others);
    m_trustedOthers = std::move(others);
    return TrustedScan(*this);
}

DataFolder::TrustedScan::~TrustedScan()
{
    m_folder.m_trustedOthers.reset();
}

void DataFolder::scan(QHash<TextKey, QString>* others)
{
    m_index.clear();
    m_twins.clear();
    m_index.reserve(expectedEntries(m_path));
    // Reading the folder is mostly the system's work and indexing the names ours, so a worker folds and
    // indexes each batch of names while the next is read; until it ends, only it touches the index. Should
    // the pool be busy, waiting for it runs it here once every batch is read.
    BatchQueue<QStringList> batches;
    QFuture<void> indexing = QtConcurrent::run([this, &batches] {
        while (const std::optional<QStringList> batch = batches.take())
            for (const QString& name : *batch)
                remember(name);
    });
    constexpr qsizetype BatchSize = 1024;
    QStringList batch;
    forEachEntryName(
        m_path,
        [&](QString&& name) {
            if (name.startsWith(AtomicFileWriter::StagingPrefix)) {
                QFile::remove(pathOf(name));
                return;
            }
            batch.append(std::move(name));
            if (batch.size() == BatchSize)
                batches.put(std::exchange(batch, {}));
        },
        [&](QString&& name) {
            if (others)
                others->insert({name.toCaseFolded()}, name);
        });
    batches.put(std::move(batch));
    batches.close();
    indexing.waitForFinished();
    sortTwins();
}

void DataFolder::sortTwins()
{
    // Twins that differ only in letter case are rare; order them so that the choice among them is stable.
    for (auto it = m_twins.begin(); it != m_twins.end(); ++it) {
        it->sort();
        m_index.insert(it.key(), it->constFirst());
    }
}

QStringList DataFolder::spellingsOnDisk(const QSet<QString>& folded) const
{
    QStringList spellings;
    forEachFileName(m_path, [&](const QString& name) {
        if (folded.contains(name.toCaseFolded()))
            spellings.append(name);
    });
    return spellings;
}

int DataFolder::removeSpellings(const QStringList& spellings)
{
    int removed = 0;
    for (const QString& diskName : spellings) {
        if (QFile::remove(pathOf(diskName))) {
            ++removed;
            forget(diskName);
        } else if (!QFileInfo::exists(pathOf(diskName))) {
            forget(diskName);
        }
    }
    return removed;
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
    const qsizetype bytes = utf8Length(name);
    if (bytes > 255)
        return QStringLiteral("ファイル名が長すぎます（%1バイト、上限は255バイト）。").arg(bytes);
    return {};
}

QStringList DataFolder::fileNames(const QString& folder)
{
    QStringList names;
    forEachFileName(folder, [&names](QString&& name) { names.append(std::move(name)); });
    return names;
}

QStringList DataFolder::foldedAll(const QStringList& names)
{
    constexpr qsizetype EnoughForCores = 256;
    const auto fold = [](const QString& name) { return name.toCaseFolded(); };
    if (names.size() >= EnoughForCores)
        return QtConcurrent::blockingMapped<QStringList>(names, fold);
    QStringList folded;
    folded.reserve(names.size());
    for (const QString& name : names)
        folded.append(fold(name));
    return folded;
}

qsizetype DataFolder::utf8Length(QStringView text)
{
    // Counted rather than converted: every write asks this of its name.
    qsizetype bytes = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (QChar::isHighSurrogate(c) && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            bytes += 4;
            ++i;
        } else {
            bytes += c < 0x80 ? 1 : c < 0x800 ? 2 : 3;
        }
    }
    return bytes;
}

QString DataFolder::placeProblem(const QString& name) const
{
    if (QString problem = checkFileName(name); !problem.isEmpty())
        return problem;
    const QString folded = name.toCaseFolded();
    const QString existing = existingName(name, folded);
    if (m_trustedOthers && existing.isEmpty()) {
        const auto other = m_trustedOthers->constFind({folded});
        if (other == m_trustedOthers->cend())
            return {};
        return QStringLiteral("「%1」を書けません。同じ名前のフォルダーなど、ファイルでないものがあります。")
            .arg(*other);
    }
    for (const QString& spelling : {name, existing}) {
        const QFileInfo info(pathOf(spelling.isEmpty() ? name : spelling));
        if (info.exists() && !info.isFile())
            return QStringLiteral("「%1」を書けません。同じ名前のフォルダーなど、ファイルでないものがあります。")
                .arg(info.fileName());
    }
    return {};
}

QString DataFolder::existingName(const QString& name) const
{
    return existingName(name, name.toCaseFolded());
}

QString DataFolder::existingName(const QString& name, const QString& folded) const
{
    if (!checkFileName(name).isEmpty())
        return {};
    return existingChecked(name, folded);
}

QString DataFolder::existingChecked(const QString& name, const QString& folded) const
{
    if (const auto it = m_index.constFind({folded}); it != m_index.cend()) {
        if (*it == name)
            return name;
        const auto twins = m_twins.constFind({folded});
        return twins != m_twins.cend() && twins->contains(name) ? name : *it;
    }

    // Made behind the index's back (by another program, or after the scan).
    if (m_trustedOthers)
        return {};
    const QFileInfo info(pathOf(name));
    if (!info.exists() || info.isDir())
        return {};
    remember(name, folded);
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
    logWrite(name);
    QString diskName = existingName(name);
    if (diskName.isEmpty())
        diskName = name;
    if (const QString reason = m_writer->writeAtomically(pathOf(diskName), data); !reason.isEmpty())
        return failure(reason);
    remember(diskName);
    logWritten(diskName, data);
    return {};
}

QStringList DataFolder::writeEach(const QList<std::pair<QString, QByteArray>>& files)
{
    beforeChange();
    QStringList messages(files.size());
    QList<FileWriter::FileData> valid;
    QList<qsizetype> validIndex;
    // Each name is folded once; a spelling the index gives folds the same.
    QList<std::pair<QString, QString>> diskNames;
    // A batch may hold tens of thousands of files: every list and table it fills grows once, not step by step.
    valid.reserve(files.size());
    validIndex.reserve(files.size());
    diskNames.reserve(files.size());
    m_index.reserve(m_index.size() + files.size());
    if (m_writeLog) {
        m_writeLog->names.reserve(m_writeLog->names.size() + files.size());
        m_writeLog->written.reserve(m_writeLog->written.size() + files.size());
    }
    for (qsizetype i = 0; i < files.size(); ++i) {
        const QString& name = files[i].first;
        if (const QString problem = checkFileName(name); !problem.isEmpty()) {
            messages[i] = QStringLiteral("「%1」に書き込めませんでした。\n理由: %2").arg(name, problem);
            continue;
        }
        const QString folded = name.toCaseFolded();
        logWrite(name, folded);
        QString diskName = existingChecked(name, folded);
        const bool missing = diskName.isEmpty() && m_trustedOthers;
        if (diskName.isEmpty())
            diskName = name;
        valid.append({pathOf(diskName), files[i].second, missing});
        validIndex.append(i);
        diskNames.append({diskName, folded});
    }
    const QStringList reasons = m_writer->writeEachAtomically(valid);
    for (qsizetype k = 0; k < valid.size(); ++k) {
        const QString reason = k < reasons.size() ? reasons[k] : QString();
        if (reason.isEmpty()) {
            remember(diskNames[k].first, diskNames[k].second);
            logWritten(diskNames[k].first, diskNames[k].second, valid[k].data);
        } else
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
    logWrite(name);
    // Deleting is rare and must not leave a twin behind, so the folder itself is asked rather than the index,
    // which does not know files put there by hand while the program runs.
    return removeSpellings(spellingsOnDisk({name.toCaseFolded()})) > 0;
}

int DataFolder::remove(const QStringList& names)
{
    beforeChange();
    for (const QString& name : names)
        logWrite(name);
    return removeSpellings(spellingsOnDisk(foldedFileNames(names)));
}

QStringList DataFolder::spellingsOf(const QStringList& names) const
{
    QStringList spellings = spellingsOnDisk(foldedFileNames(names));
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
    logWrite(diskName);
    if (const QString reason = m_writer->writeAtomically(pathOf(diskName), data); !reason.isEmpty())
        return QStringLiteral("「%1」に書き込めませんでした。\n理由: %2").arg(diskName, reason);
    remember(diskName);
    logWritten(diskName, data);
    return {};
}

bool DataFolder::removeExact(const QString& diskName)
{
    if (!checkFileName(diskName).isEmpty())
        return false;
    logWrite(diskName);
    if (!QFile::remove(pathOf(diskName)) && QFileInfo::exists(pathOf(diskName)))
        return false;
    forget(diskName);
    return true;
}

bool DataFolder::removeOne(const QString& name)
{
    if (!checkFileName(name).isEmpty())
        return false;
    const QString diskName = QFileInfo::exists(pathOf(name)) ? name : existingName(name);
    if (diskName.isEmpty())
        return true;
    beforeChange();
    return removeExact(diskName);
}

void DataFolder::setWriter(std::unique_ptr<FileWriter> writer)
{
    m_writer = writer ? std::move(writer) : std::make_unique<AtomicFileWriter>();
}

void DataFolder::remember(const QString& diskName, const QString& folded) const
{
    // One lookup: a name is never empty, so an empty spelling is a slot just made.
    QString& known = m_index[{folded}];
    if (known.isEmpty())
        known = diskName;
    if (known == diskName)
        return;
    QStringList& spellings = m_twins[{folded}];
    if (spellings.isEmpty())
        spellings.append(known);
    if (!spellings.contains(diskName))
        spellings.append(diskName);
}

void DataFolder::forget(const QString& diskName)
{
    const QString folded = diskName.toCaseFolded();
    if (const auto twins = m_twins.find({folded}); twins != m_twins.end()) {
        twins->removeAll(diskName);
        m_index.insert({folded}, twins->constFirst());
        if (twins->size() == 1)
            m_twins.erase(twins);
        return;
    }
    if (const auto it = m_index.find({folded}); it != m_index.end() && *it == diskName)
        m_index.erase(it);
}
