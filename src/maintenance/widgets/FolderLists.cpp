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
    // The working folder holds a file or more per title: watching it would make the model reread tens of
    // thousands of entries whenever the collection's files change.
    m_model->setOption(QFileSystemModel::DontWatchForChanges);
    m_model->setRootPath(QDir::rootPath());
    setModel(m_model);
    for (int column = 1; column < m_model->columnCount(); ++column)
        hideColumn(column);
    setHeaderHidden(true);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    connect(this, &QAbstractItemView::doubleClicked, this,
            [this](const QModelIndex& index) { openPath(m_model->filePath(index)); });
    // The model reads and sorts folders in the background, moving rows after the current folder was shown; the
    // list keeps it in view until the user scrolls or clicks.
    const auto follow = [this] {
        if (m_following && !m_revealQueued) {
            m_revealQueued = true;
            QMetaObject::invokeMethod(this, &DirectoryList::reveal, Qt::QueuedConnection);
        }
    };
    connect(m_model, &QFileSystemModel::directoryLoaded, this, follow);
    connect(m_model, &QAbstractItemModel::rowsInserted, this, follow);
    connect(m_model, &QAbstractItemModel::layoutChanged, this, follow);
}

void DirectoryList::reveal()
{
    m_revealQueued = false;
    const QModelIndex index = m_model->index(m_path);
    if (!index.isValid())
        return;
    // Only the folders above it are opened: the model lists a folder it opens in full, files included, and the
    // user's own double-click opens the current folder when wanted.
    for (QModelIndex up = index.parent(); up.isValid(); up = up.parent())
        expand(up);
    setCurrentIndex(index);
    scrollTo(index);
}

void DirectoryList::mousePressEvent(QMouseEvent* event)
{
    m_following = false;
    QTreeView::mousePressEvent(event);
}

void DirectoryList::wheelEvent(QWheelEvent* event)
{
    m_following = false;
    QTreeView::wheelEvent(event);
}

void DirectoryList::keyPressEvent(QKeyEvent* event)
{
    m_following = false;
    QTreeView::keyPressEvent(event);
}

bool DirectoryList::openPath(const QString& path)
{
    const QFileInfo info(path);
    if (path.isEmpty() || !info.isDir() || !info.isReadable() || !QDir(info.absoluteFilePath()).isReadable())
        return false;
    m_path = QDir::cleanPath(info.absoluteFilePath());
    m_following = true;
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
