#pragma once

#include "store/DataFiles.h"
#include "store/DataFolder.h"
#include "store/FileFingerprints.h"
#include "store/TitleTable.h"

#include <QImage>
#include <QSize>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

// The one door to the disk. Every file of the collection is read and written here, by its name in the
// working folder; every write is atomic and returns an empty string on success or a Japanese message naming
// the file and the reason, which the caller shows and which leaves the old file whole.
class CollectionStore final {
public:
    static inline const QString CollectionFileName = QStringLiteral("データＰＲＯ.txt");
    static inline const QString SettingsFileName = QStringLiteral("設定.txt");
    static inline const QString RankingFileName = QStringLiteral("ランキング.txt");
    static inline const QString NoPictureFileName = QStringLiteral("NOPIC.JPG");
    static inline const QString VolumeSuffix = QStringLiteral(".TXT");
    static inline const QString MemoSuffix = QStringLiteral("_C.txt");
    static inline const QStringList CoverSuffixes = {QStringLiteral(".jpg"), QStringLiteral(".gif"),
                                                     QStringLiteral(".bmp")};

    // The program's own files in the working folder. No title's volume, memo or cover file may be one of them:
    // a title named after one would otherwise overwrite or delete it.
    static QStringList programFileNames();
    // The program's own file that fileName designates, letter case ignored, or an empty string.
    static QString programFileFor(const QString& fileName);
    static bool isProgramFile(const QString& fileName) { return !programFileFor(fileName).isEmpty(); }
    // The same for a name already case-folded (QString::toCaseFolded).
    static QString programFileForFolded(const QString& foldedName);
    // Every file a title owns: its volume file, memo and the three cover pictures.
    static QStringList titleFileNames(const QString& title);
    // Empty, or a Japanese message naming the file of title that would be one of the program's own files.
    static QString programFileClash(const QString& title);

    explicit CollectionStore(const QString& folderPath);

    DataFolder& folder() { return m_folder; }
    const DataFolder& folder() const { return m_folder; }

    // Collection file. A missing file is created empty. A damaged file loads the records before the damage,
    // returns the problem, and locks the file: every later write of it is refused until the next load finds
    // it whole, so that a save can never cut off what could not be read.
    struct Load {
        TitleTable table;
        QString problem; // empty when the file was read whole
    };
    Load loadCollection();
    bool collectionLocked() const { return !m_lockReason.isEmpty(); }
    // The one guard of every write made from the title table (the collection in a new order, the favourite
    // ranking, clearing, replacing the collection): while the collection is locked the table lacks what could
    // not be read, so such a write would cut it off. Empty when the write may go ahead; else refusal (the
    // operation's own words; none gives the lock reason alone) followed by why the collection is locked.
    // The store's own writers of the collection and ranking files go through it too.
    QString lockRefusal(const QString& refusal = QString()) const;
    QString writeCollection(const TitleTable& table);
    QString appendCollection(const QList<TitleRecord>& records);
    // The collection file's bytes when they are not exactly what writeCollection writes for table (a file
    // written by another program or by hand), so that a change can later put them back byte for byte; nothing
    // when they are. Known without reading the whole file after this program's own rewrite of it, unless another
    // program has changed it since.
    std::optional<QByteArray> collectionBytesUnlessOwn(const TitleTable& table);
    // Puts back bytes collectionBytesUnlessOwn returned; refused like writeCollection while the file is locked.
    QString restoreCollectionBytes(const QByteArray& bytes);

    // A title's files that are one of the program's own files are never read as the title's, written or deleted:
    // reads give the empty default, writes are refused with programFileClash's message.

    // Volume file by file name (title + ".TXT"). A missing file reads as all collected.
    VolumeStates readVolumeFile(const QString& fileName, bool* complete = nullptr) const;
    // Many volume files at once, entry i for fileNames[i], the files read and parsed on worker threads: the
    // states readVolumeFile gives, whether the file exists and whether it was read whole. Every file is
    // remembered for the outside-change check exactly as readVolumeFile remembers it.
    struct VolumeRead {
        VolumeStates states{};
        bool exists = true;
        bool complete = true;
    };
    QList<VolumeRead> readVolumeFiles(const QStringList& fileNames) const;
    QString writeVolumeFile(const QString& fileName, const VolumeStates& states);

    // Memo of a title; missing reads as empty.
    QString readMemo(const QString& title) const;
    // The memos of many titles, entry i for titles[i], read on worker threads.
    QStringList readMemos(const QStringList& titles) const;
    QString writeMemo(const QString& title, const QString& memo);

    // Deletes every file the title owns (every letter-case spelling), never one of the program's own files.
    // Empty, or a message naming the files that are still there.
    QString removeTitleFiles(const QString& title);

    // Help-tour switch; a missing or unreadable settings file is 0 (off).
    qint16 readHelpTour() const;
    QString writeHelpTour(qint16 helpTourOn);

    // Favourite ranking; a missing file is an empty list.
    QStringList readRanking() const;
    QString appendRanking(const QStringList& titles);
    QString writeRanking(const QStringList& titles);

    // Cover picture of a title, decoded fitted into box (never enlarged) or whole for an invalid box: the last
    // of title.jpg, .gif, .bmp that loads, else NOPIC.JPG, else a null image.
    QImage loadCover(const QString& title, QSize box) const;
    // The same without the placeholder, enlarged to fill box when enlarge is set.
    QImage readCover(const QString& title, QSize box, bool enlarge) const;
    // Writes a title's cover picture by its file name, checked like every rewrite.
    QString writePicture(const QString& fileName, const QByteArray& bytes);

    // The collection file, the ranking file, the settings file and every volume file and memo are rewritten only
    // while they are still what this store last read or wrote: one changed by another program since is left as it is,
    // the write returns a message saying so, and the handler (when set) is told the file's name so that the window can
    // read the files again. Files this store has not read are written as they are.
    void setOutsideChangeHandler(std::function<void(const QString& fileName)> handler);
    // Tells the handler that fileName was found changed by other means (an undo step that can no longer apply).
    void noticeOutsideChange(const QString& fileName);
    // Writes bytes as the file's whole content, or deletes the file for nullopt, on behalf of an undo step:
    // checked like every rewrite, so a file another program changed since is left as it is.
    QString putBack(const QString& fileName, const std::optional<QByteArray>& bytes);
    // Forgets what was read of one file that was written by other means (a twin spelling put back).
    void forgetRead(const QString& fileName) { m_prints.forget(fileName); }
    // Forgets what was read, after the files were replaced as a whole (a restore): the next read is what counts.
    void forgetReads() { m_prints.clear(); }

    // Encodes text for a file; on characters code page 932 cannot hold, returns the message instead.
    static QString encodeFor(const QString& fileName, const QString& text, QByteArray* bytes);
    // The message for characters (cp932::Encoded::unencodable) that keep fileName from being saved.
    static QString unencodableProblem(const QString& fileName, const QString& characters);

private:
    QString writeText(const QString& fileName, const QString& text);
    QString appendText(const QString& fileName, const QString& text);
    void rememberRead(const QString& fileName, const std::optional<QByteArray>& bytes) const;
    // Writes bytes when the file was not changed by another program since it was last read or written here.
    QString writeChecked(const QString& fileName, const QByteArray& bytes);

    DataFolder m_folder;
    mutable FileFingerprints m_prints;
    std::function<void(const QString&)> m_onOutsideChange;
    QString m_lockReason;
    // The file holds what writeCollection last wrote, plus lines appendCollection added.
    bool m_collectionIsOwn = false;
};
