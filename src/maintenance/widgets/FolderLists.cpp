#include "maintenance/widgets/FolderLists.h"

#include <QDir>
#include <QSignalBlocker>
#include <QStorageInfo>

DriveList::DriveList(QWidget* parent) : QComboBox(parent)
{
    setEditable(false);
}

void DriveList::refresh(const QString& path)
{
    const QSignalBlocker blocker(this);
    clear();
    QStringList roots;
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes())
        if (volume.isValid() && volume.isReady() && !roots.contains(volume.rootPath()))
            roots.append(volume.rootPath());
    if (!roots.contains(QDir::rootPath()))
        roots.append(QDir::rootPath());
    roots.sort();
    for (const QString& root : std::as_const(roots))
        addItem(QDir::toNativeSeparators(root), root);
    const int current = findData(QStorageInfo(path).rootPath());
    setCurrentIndex(current >= 0 ? current : findData(QDir::rootPath()));
}
