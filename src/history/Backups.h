#pragma once

#include "history/BackupContent.h"
#include "history/BackupFiles.h"
#include "history/BackupManifest.h"
#include "store/TextKeys.h"

#include <QDate>
#include <QDateTime>
#include <QHash>
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
// Regular files of a folder (symbolic links to one included), listed without asking the disk about each;
// others, when given, receives the other entries that are no folder (a dangling link, a pipe).
QStringList regularFiles(const QString& folder, QStringList* others = nullptr);
// One listing of the data folder: its regular files and the other entries that are no folder.
struct Listing {
    QStringList regular;
    QStringList others;
};
// Tells the files the titles own (volume files, memos, covers) by their letter-case-folded names, never one of
// the program's own files. It keeps one folded name per title and strips a suffix from the name asked about, so
// that tens of thousands of titles are not spelt out as every name each could own.
class TitleFiles final {
public:
    explicit TitleFiles(const QStringList& titles);
    bool contains(const QString& foldedName) const;

private:
    QStringList m_folded;    // the titles, folded
    QSet<ViewKey> m_titles;  // views of m_folded, which is never changed
    QStringList m_suffixes;  // folded
    QSet<QString> m_program; // folded names of the program's own files
};
} // namespace backup

// One generation, as the backup list shows it.
struct Generation {
    QString folderName;   // inside the backup folder
    qint64 sequence = -1; // -1 when the list cannot be read
    QDateTime taken;
    QString reasonKey;
    int titleCount = 0;
    QString damage; // empty while nothing wrong is known

    // "yyyy/MM/dd HH:mm:ss", why it was taken, how many titles it holds, and any damage.
    QString rowText() const;
};

// Generations of the collection's files in the folder "バックアップ" inside the data folder: the collection
// file, the settings and ranking files, and every volume file, memo and cover picture of the titles. A
// generation is one folder holding its list (see manifest::Manifest); the bytes are copied into packs in the
// content folder "バックアップ/内容", and a file whose bytes a kept generation already holds is not copied
// again. No file there is a link to a data file, so a program that writes a data file in place never changes
// a backup, and every file is proved by its content hash before it is put back. Generations are ordered by a
// sequence number in their lists, never by the clock; the newest Kept are kept, the one just taken always, and
// a pack goes when no kept generation uses it. Nothing else in the backup folder is ever removed.
class Backups final {
public:
    static inline const QString FolderName = QStringLiteral("バックアップ");
    // Written before a restore changes any data file and removed when it is done, so that the next start
    // finishes or rolls back a restore that was cut off.
    static inline const QString JournalName = QStringLiteral("戻している途中");
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
    // failed, and no generation was added or removed.
    QString take(const TitleTable& titles, backup::Reason reason);
    // True when the newest generation was not taken today (and no attempt failed today). Asks the disk once per
    // run.
    bool dailyDue();
    // Takes the day's generation when one is due. Empty when none was due or it was taken.
    QString takeDaily(const TitleTable& titles);

    // Every generation, newest first, from the first lines of each list; damage found there is filled in.
    QList<Generation> list() const;
    // Empty when every file the generation lists is there with its recorded content hash and a data file's
    // name; else what is wrong, naming the file.
    QString check(const QString& folderName) const;
    // The same for the generation in folder; touches nothing but the backup folder, so it may run on any
    // thread.
    static QString checkGeneration(const QString& folder);
    // The bytes the generation holds for the file name (letter case ignored), proved by their hash; nullopt
    // when it holds none or they are damaged.
    std::optional<QByteArray> fileOf(const QString& folderName, const QString& name) const;

    // Puts the generation's files back in place of the present ones, after taking a generation of the present
    // state (titles are the present titles). Each file is replaced in one step; files of titles the generation
    // does not hold are deleted (only volume files, memos and covers). On failure the message names the file and
    // the files are as they were before, or, when even putting them back failed, the generation taken first
    // holds them. A file that could not be deleted is named in notDeleted; the rest is restored.
    struct Restore {
        QString error;
        QString taken; // folder name of the generation taken of the present state, if one was
        QStringList notDeleted;
    };
    Restore restore(const QString& folderName, const TitleTable& titles);
    // Run at start-up, before the collection is read: a restore cut off by a crash is finished when the
    // generation it was restoring is whole, else rolled back to the generation taken before it. Empty when none
    // was cut off; else the Japanese message saying which was done.
    QString finishInterruptedRestore();

private:
    struct Found;
    QDateTime clock() const;
    QString generationPath(const QString& folderName) const;
    QString contentPath() const;
    QList<Found> generations() const;
    // Where the bytes of a file are in the packs.
    struct Place {
        int pack;
        qint64 offset;
    };
    // The packs of the newest generation, and where each content it holds is, by hash; nothing when it has no
    // list that can be read.
    struct Newest {
        QStringList packs;
        QHash<manifest::ContentKey, Place> held;
    };
    Newest newestHeld(const QList<Found>& found, const QString& content) const;
    // The files the titles, and those of moreTitles, own.
    static backup::TitleFiles ownedFiles(const TitleTable& titles, const QStringList& moreTitles);
    // The program's own files a generation keeps (folded): the collection, the settings and the ranking.
    static QSet<QString> programFilesKept();
    // moreTitles: titles whose files are kept as well (those a restore is about to replace).
    // taken, when given, receives the list written for the new generation, and listing the data folder's
    // entries as they were read for it.
    QString takeInto(const TitleTable& titles, const QStringList& moreTitles, backup::Reason reason,
                     const QString& keep, QString* folderName, manifest::Manifest* taken = nullptr,
                     backup::Listing* listing = nullptr);
    void prune(const QString& keep, const QString& newest) const;
    // Makes the data folder hold the generation's files, deleting the files of owners it does not hold. Only
    // files whose bytes differ are written. Empty, or what failed (nothing changed when the generation was
    // found damaged before any write).
    // list is the generation's list, already proved. present, when given, is the list of a generation taken of
    // the folder during this restore: a file it holds under the same name with the same hash is not read again.
    // listing, when given, is that generation's listing of the folder, which is not listed again; then *after
    // receives the entries the folder holds once the generation is given back.
    QString apply(const manifest::Manifest& list, const QStringList& owners, QStringList* notDeleted,
                  const manifest::Manifest* present = nullptr, const backup::Listing* listing = nullptr,
                  QStringList* after = nullptr);
    // The generation's list with every file proved by its hash, or nullopt with what is wrong in *damage.
    std::optional<manifest::Manifest> provenList(const QString& folderName, QString* damage) const;
    static std::optional<manifest::Manifest> provenListAt(const QString& folder, QString* damage);
    // The titles of the generation's collection file, as far as it can be read.
    QStringList titlesIn(const QString& folderName) const;
    QStringList titlesIn(const manifest::Manifest& list) const;
    // fileOf for a list already read.
    std::optional<QByteArray> fileIn(const manifest::Manifest& list, const QString& name) const;
    QString writeJournal(const QString& restoring, const QString& taken);
    void removeJournal();

    CollectionStore& m_store;
    std::unique_ptr<BackupFiles> m_files;
    std::function<QDateTime()> m_now;
    QDate m_lastTaken;
    bool m_lastTakenKnown = false;
    QDate m_dailyFailed;
    bool m_busy = false;
};
