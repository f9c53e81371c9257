#pragma once

#include "store/Cp932.h"
#include "store/DataFolder.h"

#include <QDir>
#include <QFile>

// Small helpers shared by the store tests: files are prepared and checked directly, never through the
// store under test.
namespace storetest {

inline void put(const QString& path, const QByteArray& data)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(data) != data.size())
        qFatal("cannot prepare %s", qPrintable(path));
}

inline QByteArray contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

inline QStringList listing(const QString& folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

inline QByteArray sjis(const QString& text)
{
    return cp932::encode(text).bytes;
}

// A writer that always fails, as a full disk would.
class FailingWriter final : public FileWriter {
public:
    QString writeAtomically(const QString&, const QByteArray&) override { return QStringLiteral("容量不足"); }
};

} // namespace storetest
