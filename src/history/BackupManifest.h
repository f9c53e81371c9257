#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

// The list that is a backup generation: when and why it was taken, its sequence number, how many titles the
// collection held, the packs its files are kept in, and every file with its size, its content hash and where in
// which pack its bytes are. Kept as UTF-8 text: a short header, one line per pack, one
// "hash TAB size TAB pack TAB offset TAB name" line per file, and an end line, so that a list cut short is known.
namespace manifest {

inline const QString FileName = QStringLiteral("目録");

struct Entry {
    QString name;
    qint64 size = 0;
    QByteArray hash; // hexadecimal SHA-256 of the file's bytes
    int pack = 0;    // index into Manifest::packs
    qint64 offset = 0;
};

struct Manifest {
    qint64 sequence = 0; // grows by one with every generation, whatever the clock says
    QDateTime taken;
    QString reason; // the reason's key, see backup::reasonText
    int titleCount = 0;
    int fileCount = 0;
    QStringList packs;  // file names in the backup folder's content folder
    QList<Entry> files; // empty when only the header was read
};

// The content hash every file is proved by.
QByteArray hashOf(QByteArrayView bytes);

QByteArray format(const Manifest& manifest);
// The whole list, or nullopt when it is not one (cut short, a line out of form, a file in a pack it does not
// list).
std::optional<Manifest> parse(const QByteArray& bytes);
// The header and the pack lines, from the start of the file; nullopt when they are not whole.
std::optional<Manifest> parseHeader(const QByteArray& head);
// True when head starts like a list of the earlier form, whose files were links to the data folder's.
bool isEarlierForm(const QByteArray& head);

} // namespace manifest
