#pragma once

#include <QDateTime>
#include <QLockFile>
#include <QString>
#include <optional>

// One running program per data folder. The lock is a file in the folder whose name holds a character code page
// 932 cannot hold, so that no title's file can ever have its name. A lock left by a program of this computer
// that ended without releasing it (a crash, a kill) is taken over; a live program's lock never goes stale with
// age. Whether a program on another computer (a USB stick, a shared or synced folder) still runs cannot be
// known from here: the user decides, told which computer took the folder and when.
class FolderLock final {
public:
    static const QString FileName;

    explicit FolderLock(const QString& folderPath);

    // Empty when this program now holds the folder, or when no lock can be made there at all (a folder that
    // cannot be written to, where nothing can be saved either). Else a Japanese message saying which program
    // holds the folder (for another computer's, its name and the time, and the question whether to take the
    // folder over); nothing has been written then.
    QString acquire();
    bool isHeld() const { return m_lock.isLocked(); }

    // After acquire() was refused: the computer whose program holds the lock and since when, when that is not
    // this computer.
    struct Holder {
        QString host;
        QDateTime since;
    };
    std::optional<Holder> heldElsewhere() const;
    // Removes the lock another computer left and takes the folder. False when it could not be taken.
    bool takeOver();

private:
    QString m_folderPath;
    QLockFile m_lock;
};
