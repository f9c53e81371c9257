#pragma once

#include "store/Cp932.h"
#include "store/DataFolder.h"
#include "support/FailingWriter.h"

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

} // namespace storetest
