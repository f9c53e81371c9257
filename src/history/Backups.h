#pragma once

#include "history/BackupFiles.h"
#include "history/BackupManifest.h"

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QSet>
#include <QString>
#include <functional>
#include <memory>

class CollectionStore;
class TitleTable;

namespace backup {
// Why a generation was taken.
enum class Reason {
    Daily,
    BeforeClear,
    BeforeImport,
    BeforeDisplayOrder,
    BeforeSortOrder,
    BeforeRestore,
    BeforeSpreadsheet
};
QString reasonKey(Reason reason);
// The reason as the user reads it; a key this program does not know is shown as it is.
QString reasonText(const QString& key);
// Regular files of a folder (symbolic links to one included), listed without asking the disk about each.
QStringList regularFiles(const QString& folder);
// Tells the files the titles own (volume files, memos, covers) by their letter-case-folded names, never one of
// the program's own files. It keeps one folded name per title and strips a suffix from the name asked about, so
// that tens of thousands of titles are not spelt out as every name each could own.
class TitleFiles final {
public:
    explicit TitleFiles(const QStringList& titles);
    bool contains(const QString& foldedName) const;

private:
    QSet<QString> m_titles;  // folded
    QStringList m_suffixes;  // folded
    QSet<QString> m_program; // folded names of the program's own files
};
} // namespace backup

// One generation, as the backup list shows it.
struct Generation {
    QString folderName; // inside the backup folder
    QDateTime taken;
    QString reasonKey;
    int titleCount = 0;
    QString damage; // empty while nothing wrong is known

    // "yyyy/MM/dd HH:mm:ss", why it was taken, how many titles it holds, and any damage.
    QString rowText() const;
};

// Generations of the collection's files in the folder "バックアップ" inside the data folder: the collection
// file, the settings and ranking files, and every volume file, memo and cover picture of the titles. A generation
// shares each unchanged file with the data folder through a hard link (every save replaces a file by renaming
// a new one over it, so the linked file itself is never changed), and copies where links are refused. The
// newest Kept generations are kept; nothing else in the backup folder is ever removed.
class Backups final {
public:
    static inline const QString FolderName = QStringLiteral("バックアップ");
    static constexpr int Kept = 20;

    explicit Backups(CollectionStore& store);
    ~Backups();
    Backups(const Backups&) = delete;
    Backups& operator=(const Backups&) = delete;

    // Tests make file operations fail, or set the clock.
    void setFiles(std::unique_ptr<BackupFiles> files);
    void setClock(std::function<QDateTime()> now);

    QString folderPath() const;

    // Takes a generation of the files of titles. Empty on success; else a Japanese message naming the file that
    // failed, and nothing was added or removed anywhere.
    QString take(const TitleTable& titles, backup::Reason reason);
    // True when no generation was taken today (and no attempt failed today). Asks the disk once per run.
    bool dailyDue();
    // Takes the day's generation when one is due. Empty when none was due or it was taken.
    QString takeDaily(const TitleTable& titles);

    // Every generation, newest first, from the first lines of each manifest; damage found there is filled in.
    QList<Generation> list() const;
    // Empty when every file the generation lists is there with its size; else what is wrong.
    QString check(const QString& folderName) const;
    // The same for the generation in folder; touches nothing but that folder's files, so it may run on any
    // thread.
    static QString checkGeneration(const QString& folder);

    // Puts the generation's files back in place of the present ones, after taking a generation of the present
    // state (titles are the present titles). Each file is replaced in one step; files of titles the generation
    // does not hold are deleted (only volume files, memos and covers). On failure the message names the file and
    // the files are as they were before, or, when even putting them back failed, the generation taken first
    // holds them.
    struct Restore {
        QString error;
        QString taken; // folder name of the generation taken of the present state, if one was
    };
    Restore restore(const QString& folderName, const TitleTable& titles);

private:
    QDateTime clock() const;
    QString generationPath(const QString& folderName) const;
    QStringList filesToKeep(const TitleTable& titles, const QStringList& moreTitles) const;
    // moreTitles: titles whose files are kept as well (those a restore is about to replace).
    QString takeInto(const TitleTable& titles, const QStringList& moreTitles, backup::Reason reason,
                     const QString& keep, QString* folderName);
    void prune(const QString& keep) const;
    QString putBack(const QList<std::pair<QString, QString>>& replaced, const QString& takenFolder);

    CollectionStore& m_store;
    std::unique_ptr<BackupFiles> m_files;
    std::function<QDateTime()> m_now;
    QDate m_lastTaken;
    bool m_lastTakenKnown = false;
    QDate m_dailyFailed;
    bool m_busy = false;
};
