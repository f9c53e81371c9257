#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>
#include <functional>
#include <optional>

// The small list that goes with every backup generation: when and why it was taken, how many titles the
// collection held, and every file with its size, so that a generation whose files were lost or cut short is
// recognised as damaged. Kept as UTF-8 text, one "size TAB name" line per file after a short header.
namespace manifest {

inline const QString FileName = QStringLiteral("目録");

struct Entry {
    QString name;
    qint64 size = 0;
};

struct Manifest {
    QDateTime taken;
    QString reason; // the reason's key, see backup::reasonText
    int titleCount = 0;
    int fileCount = 0;
    QList<Entry> files; // empty when only the header was read
};

QByteArray format(const Manifest& manifest);
// The whole list, or nullopt when it is not one (cut short, or not a manifest at all).
std::optional<Manifest> parse(const QByteArray& bytes);
// Walks a whole manifest's file lines in order without keeping them: visit gets each name (UTF-8, as on disk)
// and size, and stops the walk by returning false. nullopt when the manifest is damaged, as for parse (a line
// after the one that stopped the walk is not looked at); else the header, without files.
std::optional<Manifest> visitFiles(const QByteArray& bytes, const std::function<bool(QByteArrayView, qint64)>& visit);
// Only the header lines, from the start of the file; nullopt when they are not whole.
std::optional<Manifest> parseHeader(const QByteArray& head);

} // namespace manifest
