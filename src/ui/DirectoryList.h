#pragma once

#include <QTreeView>
#include <memory>

class QAbstractFileIconProvider;
class QFileSystemModel;

// A directory list: the folders of the machine as a tree, opened down to the current folder. A click on a
// folder, or Enter on the one highlighted, makes it the current folder; the arrow keys only move the highlight.
// Setting path does what the user's click does, so that it runs the pathChanged handlers too.
//
// The tree costs nothing until it is first shown, and it never watches a folder: the working folder holds a
// file or more per title, and a watched folder is read again, whole, whenever one of its files changes. Only the
// folders above the current one are opened, so that a folder of tens of thousands of files is read only when
// the user opens it.
class DirectoryList final : public QTreeView {
    Q_OBJECT
    Q_PROPERTY(QString path READ path WRITE setPath NOTIFY pathChanged)
public:
    explicit DirectoryList(QWidget* parent = nullptr);
    ~DirectoryList() override;

    QString path() const { return m_path; }
    void setPath(const QString& path) { openPath(path); }
    // Makes path (an existing, readable folder) the current folder and reports it, also when it was current
    // already. Returns false, leaving the current folder as it was, when path is not such a folder.
    bool openPath(const QString& path);

signals:
    void pathChanged(const QString& path);

protected:
    void showEvent(QShowEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void makeModel();
    // The folder the user clicked or chose with Enter; it stays where the user sees it.
    void openChosen(const QModelIndex& index);
    // Opens the tree down to the current folder, highlights it and scrolls it into view.
    void reveal();

    std::unique_ptr<QAbstractFileIconProvider> m_icons; // the model's, which does not own it
    QFileSystemModel* m_model = nullptr;
    QString m_path;
    bool m_following = false; // the current folder is kept in view until the user takes over
    bool m_revealQueued = false;
};
