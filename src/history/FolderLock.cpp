#include "history/FolderLock.h"

#include <QDir>

const QString FolderLock::FileName = QStringLiteral(".tanamiru🔒");

FolderLock::FolderLock(const QString& folderPath)
    : m_folderPath(QDir(folderPath).absolutePath()), m_lock(m_folderPath + QLatin1Char('/') + FileName)
{
    // Only a holder that is no longer running leaves a stale lock; a program left open for days keeps it.
    m_lock.setStaleLockTime(0);
}

QString FolderLock::acquire()
{
    if (m_lock.tryLock(0) || m_lock.error() != QLockFile::LockFailedError)
        return {};
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
