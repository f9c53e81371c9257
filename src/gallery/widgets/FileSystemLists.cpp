#include "gallery/widgets/FileSystemLists.h"

#include <QDir>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QHeaderView>

namespace {

QString cleanFolder(const QString& folder)
{
    return QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
}

} // namespace

FolderList::FolderList(const QString& initialPath, QWidget* parent)
    : QTreeView(parent), m_model(new QFileSystemModel(this))
{
    m_model->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Drives);
    m_model->setReadOnly(true);
    m_model->setRootPath(QDir::rootPath());
    setModel(m_model);
    for (int column = 1; column < m_model->columnCount(); ++column)
        hideColumn(column);
    setHeaderHidden(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setRootIndex(m_model->index(QDir::rootPath()));
    setPath(initialPath);
    // Folders are read and sorted in the background: while those on the way to the current folder fill in, it
    // is scrolled into view again. Folders the user opens elsewhere leave the view where the user put it.
    const auto follow = [this](const QModelIndex& parent) {
        if (isOnTheWay(m_model->filePath(parent)))
            scheduleShowPath();
    };
    connect(m_model, &QFileSystemModel::directoryLoaded, this, [this](const QString& loaded) {
        if (isOnTheWay(loaded))
            scheduleShowPath();
    });
    connect(m_model, &QAbstractItemModel::rowsInserted, this, follow);
    connect(m_model, &QAbstractItemModel::layoutChanged, this, [this] { scheduleShowPath(); });

    connect(selectionModel(), &QItemSelectionModel::currentChanged, this, [this](const QModelIndex& current) {
        if (current.isValid())
            setPath(m_model->filePath(current));
    });
}

void FolderList::setPath(const QString& folder)
{
    const QString clean = cleanFolder(folder);
    const QFileInfo info(clean);
    if (!info.isDir() || !info.isReadable())
        return;
    const bool changed = clean != m_path;
    m_path = clean;
    showPath();
    if (changed)
        emit pathChanged(m_path);
}

bool FolderList::isOnTheWay(const QString& folder) const
{
    if (folder.isEmpty())
        return true;
    const QString prefix = folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
    return m_path == folder || m_path.startsWith(prefix);
}

void FolderList::scheduleShowPath()
{
    if (m_showPending)
        return;
    m_showPending = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            m_showPending = false;
            showPath();
        },
        Qt::QueuedConnection);
}

void FolderList::showPath()
{
    const QModelIndex index = m_model->index(m_path);
    if (!index.isValid())
        return;
    if (currentIndex() != index)
        setCurrentIndex(index);
    // Its own subfolders are listed under it, as in a classic folder list.
    expand(index);
    scrollTo(index, QAbstractItemView::PositionAtCenter);
}

void FolderList::showEvent(QShowEvent* event)
{
    QTreeView::showEvent(event);
    showPath();
}

FileList::FileList(const QStringList& nameFilters, QWidget* parent) : QListView(parent), m_nameFilters(nameFilters)
{
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setUniformItemSizes(true);
    useNewModel();
    connect(this, &QAbstractItemView::clicked, this, [this](const QModelIndex& index) {
        const bool same = index == m_justChosen;
        m_justChosen = QPersistentModelIndex();
        if (!same)
            emit fileChosen();
    });
}

void FileList::useNewModel()
{
    QFileSystemModel* old = m_model;
    QItemSelectionModel* oldSelection = selectionModel();
    m_model = new QFileSystemModel(this);
    m_model->setFilter(QDir::Files);
    // Without QDir::CaseSensitive in the filter, the patterns ignore letter case: "SCAN.BMP" matches "*.bmp".
    m_model->setNameFilters(m_nameFilters);
    m_model->setNameFilterDisables(false);
    m_model->setReadOnly(true);
    setModel(m_model);
    // The view keeps neither: each opening would otherwise leave a model and its selection behind.
    delete oldSelection;
    delete old;
    // A press or the keyboard selects a file; a click on the file already selected is passed on by clicked().
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        const QModelIndexList selected = selectionModel()->selectedIndexes();
        m_justChosen = selected.isEmpty() ? QModelIndex() : selected.first();
        if (m_justChosen.isValid())
            emit fileChosen();
    });
    if (!m_path.isEmpty())
        setPath(m_path);
}

void FileList::setPath(const QString& folder)
{
    m_path = cleanFolder(folder);
    m_model->setRootPath(m_path);
    m_model->sort(0, Qt::AscendingOrder);
    setRootIndex(m_model->index(m_path));
    selectionModel()->clear();
    m_justChosen = QPersistentModelIndex();
}

void FileList::reread()
{
    useNewModel();
}

QString FileList::fileName() const
{
    const QModelIndexList selected = selectionModel()->selectedIndexes();
    if (selected.isEmpty())
        return {};
    return m_model->fileName(selected.first());
}
