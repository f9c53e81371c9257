#pragma once

#include <QComboBox>
#include <QTreeView>

class QFileSystemModel;

// A directory list: the folders of the machine as a tree, opened down to the current folder. A double-click
// on a folder makes it the current folder. Setting path does what the user's double-click does, so that it
// runs the pathChanged handlers too.
class DirectoryList final : public QTreeView {
    Q_OBJECT
    Q_PROPERTY(QString path READ path WRITE setPath NOTIFY pathChanged)
public:
    explicit DirectoryList(QWidget* parent = nullptr);

    QString path() const { return m_path; }
    void setPath(const QString& path) { openPath(path); }
    // Makes path (an existing, readable folder) the current folder and reports it, also when it was current
    // already. Returns false, leaving the current folder as it was, when path is not such a folder.
    bool openPath(const QString& path);

signals:
    void pathChanged(const QString& path);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    // Opens the tree down to the current folder, selects it and scrolls it into view.
    void reveal();

    QFileSystemModel* m_model = nullptr;
    QString m_path;
    bool m_following = false; // the current folder is kept in view until the user takes over
    bool m_revealQueued = false;
};

// A drive list: the mounted file systems, by their mount point.
class DriveList final : public QComboBox {
    Q_OBJECT
public:
    explicit DriveList(QWidget* parent = nullptr);

    // Rereads the mounted file systems and selects the one holding path, without reporting a change.
    void refresh(const QString& path);
    // The mount point of the entry shown.
    QString drive() const { return currentData().toString(); }
};
