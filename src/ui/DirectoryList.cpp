#include "ui/DirectoryList.h"

#include <QAbstractFileIconProvider>
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QKeyEvent>
#include <QStyle>

namespace {

// One folder picture and one file picture for every entry. The model asks for an entry's picture and type as it
// lists it; the usual answer looks the file's type up, which reads the file.
class PlainIcons final : public QAbstractFileIconProvider {
public:
    PlainIcons()
        : m_folder(QApplication::style()->standardIcon(QStyle::SP_DirIcon)),
          m_file(QApplication::style()->standardIcon(QStyle::SP_FileIcon))
    {
    }
    QIcon icon(IconType type) const override { return type == File ? m_file : m_folder; }
    QIcon icon(const QFileInfo& info) const override { return info.isDir() ? m_folder : m_file; }
    QString type(const QFileInfo& info) const override
    {
        return info.isDir() ? QStringLiteral("フォルダ") : QStringLiteral("ファイル");
    }

private:
    QIcon m_folder;
    QIcon m_file;
};

bool readableFolder(const QFileInfo& info)
{
    return info.isDir() && info.isReadable() && QDir(info.absoluteFilePath()).isReadable();
}

} // namespace

DirectoryList::DirectoryList(QWidget* parent) : QTreeView(parent)
{
    setHeaderHidden(true);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    connect(this, &QAbstractItemView::clicked, this, &DirectoryList::openChosen);
}

DirectoryList::~DirectoryList()
{
    // The model goes first: its reader thread may still be asking the pictures for an entry.
    delete m_model;
}

void DirectoryList::makeModel()
{
    m_icons = std::make_unique<PlainIcons>();
    m_model = new QFileSystemModel(this);
    m_model->setIconProvider(m_icons.get());
    m_model->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Drives);
    m_model->setOption(QFileSystemModel::DontWatchForChanges);
    m_model->setReadOnly(true);
    m_model->setRootPath(QDir::rootPath());
    setModel(m_model);
    for (int column = 1; column < m_model->columnCount(); ++column)
        hideColumn(column);
    // The model reads and sorts folders in the background, moving rows after the current folder was shown; the
    // list keeps it in view until the user scrolls or clicks.
    // A reveal queued before the user's click or key must not run after it: it would take the highlight back.
    const auto follow = [this] {
        if (m_following && !m_revealQueued) {
            m_revealQueued = true;
            QMetaObject::invokeMethod(
                this,
                [this] {
                    m_revealQueued = false;
                    if (m_following)
                        reveal();
                },
                Qt::QueuedConnection);
        }
    };
    connect(m_model, &QFileSystemModel::directoryLoaded, this, follow);
    connect(m_model, &QAbstractItemModel::rowsInserted, this, follow);
    connect(m_model, &QAbstractItemModel::layoutChanged, this, follow);
}

void DirectoryList::showEvent(QShowEvent* event)
{
    if (!m_model) {
        makeModel();
        reveal();
    }
    QTreeView::showEvent(event);
}

void DirectoryList::reveal()
{
    m_revealQueued = false;
    if (!m_model || m_path.isEmpty())
        return;
    const QModelIndex index = m_model->index(m_path);
    if (!index.isValid())
        return;
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
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && currentIndex().isValid()) {
        openChosen(currentIndex());
        event->accept();
        return;
    }
    QTreeView::keyPressEvent(event);
}

void DirectoryList::openChosen(const QModelIndex& index)
{
    if (!m_model || !index.isValid())
        return;
    const QFileInfo info(m_model->filePath(index));
    if (!readableFolder(info))
        return;
    m_following = false;
    m_path = QDir::cleanPath(info.absoluteFilePath());
    setCurrentIndex(index);
    emit pathChanged(m_path);
}

bool DirectoryList::openPath(const QString& path)
{
    const QFileInfo info(path);
    if (path.isEmpty() || !readableFolder(info))
        return false;
    m_path = QDir::cleanPath(info.absoluteFilePath());
    m_following = true;
    reveal();
    emit pathChanged(m_path);
    return true;
}
