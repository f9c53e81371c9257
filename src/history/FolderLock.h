#pragma once

#include <QLockFile>
#include <QString>

// One running program per data folder. The lock is a file in the folder whose name holds a character code page
// 932 cannot hold, so that no title's file can ever have its name. A lock left by a program that ended without
// releasing it (a crash, a kill) is taken over; a live program's lock never goes stale with age.
class FolderLock final {
public:
    static const QString FileName;

    explicit FolderLock(const QString& folderPath);

    // Empty when this program now holds the folder, or when no lock can be made there at all (a folder that
    // cannot be written to, where nothing can be saved either). Else a Japanese message saying that another
    // running program holds the folder; nothing has been written then.
    QString acquire();
    bool isHeld() const { return m_lock.isLocked(); }

private:
    QString m_folderPath;
    QLockFile m_lock;
};
