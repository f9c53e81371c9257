#pragma once

#include <QListView>
#include <QTreeView>

class QFileSystemModel;

// The folder list of the cover import panel: the folder tree of the whole file system, opened down to the
// current folder. `path` is the current folder; setting it, or the user choosing a folder, emits pathChanged.
class FolderList final : public QTreeView {
    Q_OBJECT
    Q_PROPERTY(QString path READ path WRITE setPath NOTIFY pathChanged)
public:
    explicit FolderList(const QString& initialPath, QWidget* parent = nullptr);

    QString path() const { return m_path; }
    // Goes to folder (made absolute and clean); a path that is no readable folder is ignored.
    void setPath(const QString& folder);

signals:
    void pathChanged(const QString& path);

protected:
    void showEvent(QShowEvent* event) override;

private:
    void showPath();
    // Shows the path once the events now pending have run, however many ask before then.
    void scheduleShowPath();
    // True for the current folder and the folders above it (and the invisible root, "").
    bool isOnTheWay(const QString& folder) const;

    QFileSystemModel* m_model;
    QString m_path;
    bool m_showPending = false;
};

// The file list of the cover import panel: the picture files of one folder, by name (the first column of
// the model), filtered by name patterns without regard to letter case. `path` is the folder shown.
class FileList final : public QListView {
    Q_OBJECT
    Q_PROPERTY(QString path READ path WRITE setPath)
public:
    FileList(const QStringList& nameFilters, QWidget* parent = nullptr);

    QString path() const { return m_path; }
    // Shows folder's files, none selected.
    void setPath(const QString& folder);
    // Reads the folder again, so that files added or removed since appear as they are now; none selected.
    void reread();

    // The selected file's name, or an empty string.
    QString fileName() const;

signals:
    // A file was chosen, by a click or by the keyboard.
    void fileChosen();

private:
    void useNewModel();

    QStringList m_nameFilters;
    QFileSystemModel* m_model = nullptr;
    QString m_path;
    // The file a press just made current: its click is the same choice, not a second one.
    QPersistentModelIndex m_justChosen;
};
