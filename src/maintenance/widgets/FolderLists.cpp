#include "maintenance/widgets/FolderLists.h"

#include <QDir>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QSignalBlocker>
#include <QStorageInfo>

DirectoryList::DirectoryList(QWidget* parent) : QTreeView(parent), m_model(new QFileSystemModel(this))
{
    m_model->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Drives);
    m_model->setRootPath(QDir::rootPath());
    setModel(m_model);
    for (int column = 1; column < m_model->columnCount(); ++column)
        hideColumn(column);
    setHeaderHidden(true);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    connect(this, &QAbstractItemView::doubleClicked, this,
            [this](const QModelIndex& index) { openPath(m_model->filePath(index)); });
    // The model reads folders in the background; the current folder is shown again as its parents arrive.
    connect(m_model, &QFileSystemModel::directoryLoaded, this, [this](const QString& loaded) {
        if (m_path == loaded || m_path.startsWith(loaded.endsWith(u'/') ? loaded : loaded + u'/'))
            reveal();
    });
}

void DirectoryList::reveal()
{
    const QModelIndex index = m_model->index(m_path);
    if (!index.isValid())
        return;
    for (QModelIndex up = index; up.isValid(); up = up.parent())
        expand(up);
    setCurrentIndex(index);
    scrollTo(index);
}

bool DirectoryList::openPath(const QString& path)
{
    const QFileInfo info(path);
    if (path.isEmpty() || !info.isDir() || !info.isReadable() || !QDir(info.absoluteFilePath()).isReadable())
        return false;
    m_path = QDir::cleanPath(info.absoluteFilePath());
    reveal();
    emit pathChanged(m_path);
    return true;
}

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
