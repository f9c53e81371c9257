#include "IoFloor.h"

#include "Timing.h"

#include <QDirIterator>
#include <QFile>

namespace iofloor {

double readFilesMs(const QString& folder, const QStringList& names)
{
    return timing::measureMs([&] {
        for (const QString& name : names) {
            QFile file(folder + QLatin1Char('/') + name);
            if (file.open(QIODevice::ReadOnly))
                file.readAll();
        }
    });
}

double listFolderMs(const QString& folder)
{
    return timing::measureMs([&] {
        QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System);
        while (it.hasNext())
            it.next();
    });
}

double readFolderMs(const QString& folder, bool recursive)
{
    return timing::measureMs([&] {
        QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System,
                        recursive ? QDirIterator::Subdirectories : QDirIterator::NoIteratorFlags);
        while (it.hasNext()) {
            QFile file(it.next());
            if (file.open(QIODevice::ReadOnly))
                file.readAll();
        }
    });
}

} // namespace iofloor
