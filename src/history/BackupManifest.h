#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QHashFunctions>
#include <QList>
#include <QString>
#include <QStringList>
#include <algorithm>
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

// A content hash (hex, as hashOf gives it) as a key of a hash table. Its digits are already evenly spread, so
// the first sixteen, read as a number, are the key's hash: the general byte-array hash costs more than the rest
// of a lookup, and a backup looks up every file it keeps.
struct ContentKey {
    QByteArray hash;

    bool operator==(const ContentKey& other) const { return hash == other.hash; }
    friend size_t qHash(const ContentKey& key, size_t seed) noexcept
    {
        quint64 value = 0;
        for (qsizetype i = 0; i < std::min<qsizetype>(key.hash.size(), 16); ++i) {
            const char c = key.hash[i];
            value = (value << 4) | (quint64(c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10) & 15);
        }
        return size_t(value ^ seed);
    }
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

// A list of tens of thousands of entries grows by moving memory.
Q_DECLARE_TYPEINFO(manifest::Entry, Q_RELOCATABLE_TYPE);
