#pragma once

#include "history/BackupManifest.h"

#include <QByteArray>
#include <QFile>
#include <QHash>
#include <QString>
#include <memory>
#include <optional>

// Where a generation's bytes are: packs in the backup folder's content folder, read through a mapping. Only
// this program writes there, so generations share a pack for every file that did not change between them; no
// file of the backup folder is ever a link to a data file.
namespace backup {

inline const QString ContentFolderName = QStringLiteral("内容");

// The whole file at path (symbolic links followed), or nullopt with the reason in *reason.
std::optional<QByteArray> readWhole(const QString& path, QString* reason = nullptr);
// The same for a file name that a listing of the folder open as folderFd has just shown as a regular file (see
// wholefile::readRegularAt).
std::optional<QByteArray> readWholeAt(int folderFd, const QString& name, QString* reason = nullptr);

// True when name may be a file of a generation: a valid file name in the data folder that is the collection,
// settings or ranking file or a file a title owns. A list naming anything else (a path, "..") is damaged.
// folded is the name's letter-case-folded form, which the caller has at hand.
bool isDataFileName(const QString& name, const QString& folded);

// The packs of one generation, each mapped once.
class PackReader final {
public:
    explicit PackReader(const QString& contentFolder) : m_folder(contentFolder) {}
    // The entry's bytes, valid while the reader lives; nullopt when its pack is missing or too short.
    std::optional<QByteArrayView> bytes(const manifest::Manifest& list, const manifest::Entry& entry);

private:
    QString m_folder;
    QHash<QString, std::shared_ptr<QFile>> m_files;
    QHash<QString, QByteArrayView> m_maps;
};

// Empty when every file of the list has a valid name and bytes whose hash is the recorded one; else what is
// wrong, naming the first damaged file. Reads nothing but the content folder, so it may run on any thread.
QString verify(const QString& contentFolder, const manifest::Manifest& list);

} // namespace backup
