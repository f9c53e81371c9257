#pragma once

#include <QByteArray>
#include <QDateTime>
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
        QDateTime modified;
        size_t hash = 0;
    };

    // Remembers the content just read from or written to absolutePath (empty: the file did not exist).
    void remember(const QString& name, const QString& absolutePath, const std::optional<QByteArray>& content);
    void forget(const QString& name) { m_prints.remove(name.toCaseFolded()); }
    void clear() { m_prints.clear(); }
    bool knows(const QString& name) const { return m_prints.contains(name.toCaseFolded()); }

    // Empty when the file at absolutePath (empty: there is none) is still what was last remembered for name,
    // when nothing is remembered for it, or when it is gone (a write then overwrites nothing); else a Japanese message
    // saying that another program changed it and that nothing was written.
    QString changedOutside(const QString& name, const QString& absolutePath) const;

private:
    QHash<QString, Print> m_prints;
};
