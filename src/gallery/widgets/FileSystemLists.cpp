#include "gallery/widgets/FileSystemLists.h"

#include "gallery/FolderFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QStringListModel>

FileList::FileList(const QStringList& nameFilters, QWidget* parent)
    : QListView(parent), m_nameFilters(nameFilters), m_model(new QStringListModel(this))
{
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setUniformItemSizes(true);
    setModel(m_model);
    // A press or the keyboard selects a file; a click on the file already selected is passed on by clicked().
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        const QModelIndexList selected = selectionModel()->selectedIndexes();
        m_justChosen = selected.isEmpty() ? QModelIndex() : selected.first();
        if (!m_justChosen.isValid())
            return;
        m_chosen = m_justChosen.data().toString();
        emit fileChosen();
    });
    connect(this, &QAbstractItemView::clicked, this, [this](const QModelIndex& index) {
        const bool same = index == m_justChosen;
        m_justChosen = QPersistentModelIndex();
        if (!same && index.isValid()) {
            m_chosen = index.data().toString();
            emit fileChosen();
        }
    });
}

void FileList::setPath(const QString& folder)
{
    m_path = QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
    reread();
}

void FileList::reread()
{
    m_chosen.clear();
    m_justChosen = QPersistentModelIndex();
    m_model->setStringList(m_path.isEmpty() ? QStringList() : folderfiles::matching(m_path, m_nameFilters));
    selectionModel()->clear();
}

QString FileList::chosenPath() const
{
    return m_chosen.isEmpty() ? QString() : QDir(m_path).filePath(m_chosen);
}
