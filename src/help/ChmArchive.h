#pragma once

#include <QByteArray>
#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>
#include <optional>

// The files inside a compiled HTML help file (CHM), read whole when it is opened.
//
// The decoder of the format crashes or loops on some damaged files. Opening therefore runs it in a child
// process that sends every file back through a pipe: a damaged archive ends only that child (or is killed at
// the deadline), and the program sees an archive that failed to open, with a Japanese reason. A file the child
// could not unpack is listed as damaged rather than dropping the whole archive.
class ChmArchive final {
public:
    struct Limits {
        int timeoutMs = 20000;               // the whole read, however long the file
        qint64 maxBytes = 256 * 1024 * 1024; // the unpacked files together
    };

    // Reads every file of the archive at path. Check isOpen(); on failure error() says why.
    static ChmArchive open(const QString& path) { return open(path, Limits()); }
    static ChmArchive open(const QString& path, const Limits& limits);

    bool isOpen() const { return m_error.isEmpty(); }
    // False when the decoder gave up part way: the files read before that are whole, the others unknown.
    bool isComplete() const { return m_complete; }
    QString error() const { return m_error; }
    QString path() const { return m_path; }

    // The file called name ("/a.html" or "a.html"), letter case ignored as in the help format; nullopt when the
    // archive has no such file or could not unpack it (see isDamaged).
    std::optional<QByteArray> file(const QString& name) const;
    bool contains(const QString& name) const { return m_names.contains(key(name)); }
    bool isDamaged(const QString& name) const { return m_damaged.contains(key(name)); }
    bool hasDamage() const { return !m_damaged.isEmpty(); }
    // Every ordinary file, in archive order, each with a leading "/".
    QStringList fileNames() const { return m_order; }

    // The archive's system record ("/#SYSTEM"), empty when it has none.
    QByteArray systemRecord() const { return m_system; }

    // "/a/b.html" for "a/b.html", "/A/B.HTML" and the like: the key files are looked up by.
    static QString key(const QString& name);

private:
    ChmArchive() = default;
    void add(const QString& name, std::optional<QByteArray> data);

    QString m_path;
    QString m_error = QStringLiteral("ヘルプファイルが開かれていません。");
    QHash<QString, QByteArray> m_files;
    QHash<QString, QString> m_names; // key -> the name as stored
    QSet<QString> m_damaged;
    QStringList m_order;
    QByteArray m_system;
    bool m_complete = false;
};
