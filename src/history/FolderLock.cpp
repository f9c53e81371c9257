#include "history/FolderLock.h"

#include <QDir>
#include <QFileInfo>
#include <QSysInfo>

const QString FolderLock::FileName = QStringLiteral(".tanamiru🔒");

FolderLock::FolderLock(const QString& folderPath)
    : m_folderPath(QDir(folderPath).absolutePath()), m_lock(m_folderPath + QLatin1Char('/') + FileName)
{
    // Only a holder that is no longer running leaves a stale lock; a program left open for days keeps it.
    m_lock.setStaleLockTime(0);
}

std::optional<FolderLock::Holder> FolderLock::heldElsewhere() const
{
    qint64 pid = 0;
    QString host;
    QString application;
    if (m_lock.isLocked() || !m_lock.getLockInfo(&pid, &host, &application) || host.isEmpty() ||
        host == QSysInfo::machineHostName())
        return std::nullopt;
    return Holder{host, QFileInfo(m_folderPath + QLatin1Char('/') + FileName).lastModified()};
}

QString FolderLock::acquire()
{
    if (m_lock.tryLock(0) || m_lock.error() != QLockFile::LockFailedError)
        return {};
    if (const std::optional<Holder> holder = heldElsewhere())
        return QStringLiteral(
                   "このデータフォルダは、別のコンピュータ「%1」のタナミルＰｒｏが %2 から使っています。\n%3\n\n"
                   "そのコンピュータでタナミルＰｒｏが終わらないまま止まった（電源が切れた、フォルダを"
                   "取り外した）ときにも、このままになります。\n"
                   "そのコンピュータでタナミルＰｒｏが動いていないことを確かめてから、このフォルダを"
                   "引き継ぎますか？\n"
                   "動いているのに引き継ぐと、互いの変更を上書きしてしまいます。")
            .arg(holder->host, holder->since.toString(u"yyyy/MM/dd HH:mm:ss"), QDir::toNativeSeparators(m_folderPath));
    qint64 pid = 0;
    QString host;
    QString application;
    const bool known = m_lock.getLockInfo(&pid, &host, &application);
    QString text = QStringLiteral("このデータフォルダは、すでに起動しているタナミルＰｒｏが使っています。\n%1\n\n"
                                  "同じフォルダを二つのプログラムで同時に使うと、互いの変更を上書きしてしまうため、"
                                  "起動をやめます。先に起動しているタナミルＰｒｏをお使いください。")
                       .arg(QDir::toNativeSeparators(m_folderPath));
    if (known)
        text += QStringLiteral("\n（使っているプログラム: プロセス番号 %1、コンピュータ %2）").arg(pid).arg(host);
    return text;
}

bool FolderLock::takeOver()
{
    if (!heldElsewhere())
        return false;
    return m_lock.removeStaleLockFile() && m_lock.tryLock(0);
}
