#pragma once

#include "store/TextKeys.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <optional>

// What this program last read from or wrote to a file, so that a rewrite can tell whether another program has
// changed the file since: its size, its modification time and a hash of its content. A file that was missing
// is remembered as missing. Files are keyed by their letter-case-folded name.
class FileFingerprints final {
public:
    struct Print {
        bool exists = false;
        qint64 size = 0;
        qint64 modifiedMs = 0; // since the epoch, UTC
        size_t hash = 0;
    };
    // The print of content read or written at modifiedMs; nullopt: the file did not exist or could not be read.
    // Safe on worker threads, so that many files can be read and printed at once.
    static Print printOf(const std::optional<QByteArray>& content, qint64 modifiedMs);

    // Remembers the content just read from or written to absolutePath (empty: the file did not exist).
    void remember(const QString& name, const QString& absolutePath, const std::optional<QByteArray>& content);
    void remember(const QString& name, const Print& print) { m_prints.insert({keyOf(name)}, print); }
    // The key a file is remembered under; a pure function, so that a bulk read can fold its names on workers.
    static QString keyOf(const QString& name) { return name.toCaseFolded(); }
    void rememberByKey(const QString& key, const Print& print) { m_prints.insert({key}, print); }
    // Room for count more files, before a bulk read remembers them.
    void reserveMore(qsizetype count) { m_prints.reserve(m_prints.size() + count); }
    void forget(const QString& name) { m_prints.remove({name.toCaseFolded()}); }
    void clear() { m_prints.clear(); }
    bool knows(const QString& name) const { return m_prints.contains({name.toCaseFolded()}); }
    // True when content is what was last remembered for name (size and content hash), without looking at the disk.
    bool holds(const QString& name, const QByteArray& content) const;
    // True when the file was there when last read or written and another program has deleted it since.
    bool goneSince(const QString& name, const QString& absolutePath) const;

    // Empty when the file at absolutePath (empty: there is none) is still what was last remembered for name,
    // when nothing is remembered for it, or when it is gone (a write then overwrites nothing); else a Japanese message
    // saying that another program changed it and that nothing was written.
    QString changedOutside(const QString& name, const QString& absolutePath) const;

private:
    QHash<TextKey, Print> m_prints;
};
