#include "ui/logic/InstalledFiles.h"

#include <QCoreApplication>
#include <QDir>

#ifndef TANAMIRU_DATA_FROM_BIN
#define TANAMIRU_DATA_FROM_BIN "../share/tanamiru"
#endif

namespace installedfiles {

QString dataFolder()
{
    return QDir::cleanPath(
        QDir(QCoreApplication::applicationDirPath()).absoluteFilePath(QStringLiteral(TANAMIRU_DATA_FROM_BIN)));
}

QString helpFile()
{
    return dataFolder() + QStringLiteral("/HondexHelp.chm");
}

QString sampleFolder()
{
    return dataFolder() + QStringLiteral("/sample");
}

} // namespace installedfiles
