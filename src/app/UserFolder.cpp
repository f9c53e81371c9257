#include "app/UserFolder.h"

#include "store/AtomicFileWriter.h"
#include "store/CollectionStore.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QStandardPaths>

#include <algorithm>
#include <unistd.h>

namespace userfolder {

namespace {

const QString HelpFileName = QStringLiteral("HondexHelp.chm");

// The names in folder, case-folded, as the data folder sees them.
QSet<QString> foldedNames(const QString& folder)
{
    QSet<QString> names;
    QDirIterator it(folder, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
    while (it.hasNext()) {
        it.next();
        names.insert(it.fileName().toCaseFolded());
    }
    return names;
}

bool holdsCollection(const QString& folder)
{
    const QString name = CollectionStore::CollectionFileName;
    return QFileInfo(folder + QLatin1Char('/') + name).isFile() || foldedNames(folder).contains(name.toCaseFolded());
}

// Copies source to target under a staging name in target's folder, then renames it into place, so that target
// is whole or missing. A staging file left by a kill is deleted by the data folder's next scan.
bool copyWhole(const QString& source, const QString& target)
{
    const QString staging = QFileInfo(target).absolutePath() + QLatin1Char('/') + AtomicFileWriter::StagingPrefix +
                            QStringLiteral("sample");
    QFile::remove(staging);
    if (!QFile::copy(source, staging))
        return false;
    // The installed files may be read-only; the user's copies are theirs to change.
    QFile::setPermissions(staging, QFile::permissions(staging) | QFile::WriteOwner | QFile::ReadOwner);
    QFile file(staging);
    const bool synced = file.open(QIODevice::ReadWrite) && file.flush() && ::fsync(file.handle()) == 0;
    file.close();
    if (!synced || !QFile::rename(staging, target)) {
        QFile::remove(staging);
        return false;
    }
    return true;
}

// Copies the sample's files that folder lacks, the collection file last; returns an empty string or the name
// of the file that could not be copied.
QString fillFromSample(const QString& sampleFolder, const QString& folder)
{
    const QSet<QString> present = foldedNames(folder);
    QFileInfoList files = QDir(sampleFolder).entryInfoList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
    const QString collection = CollectionStore::CollectionFileName.toCaseFolded();
    std::stable_partition(files.begin(), files.end(), [&collection](const QFileInfo& file) {
        return file.fileName().toCaseFolded() != collection;
    });
    for (const QFileInfo& file : std::as_const(files)) {
        const QString folded = file.fileName().toCaseFolded();
        if (folded == HelpFileName.toCaseFolded() || present.contains(folded))
            continue;
        if (!copyWhole(file.absoluteFilePath(), folder + QLatin1Char('/') + file.fileName()))
            return file.fileName();
    }
    return {};
}

} // namespace

QString location()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
}

QString enter(const QString& folder, const QString& sampleFolder)
{
    const QString absolute = QFileInfo(folder).absoluteFilePath();
    if (!holdsCollection(absolute)) {
        if (!QFileInfo(QDir(sampleFolder).filePath(CollectionStore::CollectionFileName)).isFile())
            return QStringLiteral(
                       "サンプルデータ「%1」が見つからないため、データフォルダ「%2」を用意できませんでした。\n"
                       "--user-folder は、インストールしたタナミルＰｒｏで使ってください。")
                .arg(QDir::toNativeSeparators(sampleFolder), absolute);
        const bool made = !QFileInfo::exists(absolute);
        if (!QDir().mkpath(absolute))
            return QStringLiteral("データフォルダ「%1」を作れませんでした。").arg(absolute);
        if (made)
            QFile::setPermissions(absolute, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        if (const QString failed = fillFromSample(sampleFolder, absolute); !failed.isEmpty())
            return QStringLiteral("サンプルデータ「%1」をデータフォルダ「%2」にコピーできませんでした。")
                .arg(failed, absolute);
    }
    if (!QDir::setCurrent(absolute))
        return QStringLiteral("データフォルダ「%1」に移れませんでした。").arg(absolute);
    return {};
}

QString startNotice(const QString& folder, const QString& userFolder)
{
    const QString absolute = QFileInfo(folder).absoluteFilePath();
    const QFileInfo user(userFolder);
    if (holdsCollection(absolute) || (user.exists() && QFileInfo(absolute) == user))
        return {};
    return QStringLiteral("タナミルＰｒｏは、起動したときのフォルダ\n「%1」\nのデータを使います。"
                          "このフォルダには収集データ（%2）が無いので、空のデータで始めます。\n\n"
                          "メニューから起動したときのデータ（%3）を使うには、\n"
                          "端末で「tanamiru --user-folder」と入力して起動してください。")
        .arg(QDir::toNativeSeparators(absolute), CollectionStore::CollectionFileName,
             QDir::toNativeSeparators(userFolder));
}

} // namespace userfolder
