#include "app/UserFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace userfolder {

namespace {

bool isNew(const QString& folder)
{
    const QDir dir(folder);
    return !dir.exists() || dir.isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
}

// Copies the sample's files into target; returns an empty string or the file that could not be copied.
QString copySample(const QString& sampleFolder, const QString& target)
{
    const QDir sample(sampleFolder);
    const QFileInfoList files = sample.entryInfoList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
    for (const QFileInfo& file : files) {
        if (file.fileName().compare(QLatin1String("HondexHelp.chm"), Qt::CaseInsensitive) == 0)
            continue;
        const QString destination = target + QLatin1Char('/') + file.fileName();
        if (!QFile::copy(file.absoluteFilePath(), destination))
            return file.fileName();
        // The installed files may be read-only; the user's copies are theirs to change.
        QFile::setPermissions(destination, QFile::permissions(destination) | QFile::WriteOwner | QFile::ReadOwner);
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
    if (isNew(absolute)) {
        const QFileInfo info(absolute);
        if (!QDir().mkpath(info.absolutePath()))
            return QStringLiteral("データフォルダ「%1」を作れませんでした。").arg(absolute);
        QTemporaryDir staging(info.absolutePath() + QLatin1Char('/') + info.fileName() + QStringLiteral(".new-XXXXXX"));
        if (!staging.isValid())
            return QStringLiteral("データフォルダ「%1」を作れませんでした（%2）。")
                .arg(absolute, staging.errorString());
        if (QFileInfo(sampleFolder).isDir()) {
            if (const QString failed = copySample(sampleFolder, staging.path()); !failed.isEmpty())
                return QStringLiteral("サンプルデータ「%1」をデータフォルダ「%2」にコピーできませんでした。")
                    .arg(failed, absolute);
        }
        QDir().rmdir(absolute); // an empty folder is replaced by the filled one
        if (!QDir().rename(staging.path(), absolute))
            return QStringLiteral("データフォルダ「%1」を作れませんでした。").arg(absolute);
        staging.setAutoRemove(false);
        QFile::setPermissions(absolute, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    if (!QDir::setCurrent(absolute))
        return QStringLiteral("データフォルダ「%1」に移れませんでした。").arg(absolute);
    return {};
}

} // namespace userfolder
