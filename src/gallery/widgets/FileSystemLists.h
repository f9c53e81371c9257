#pragma once

#include <QListView>
#include <QPersistentModelIndex>

class QStringListModel;

// The file list of the cover import panel: the picture files of one folder, by name (the first column of the
// model), filtered by name patterns without regard to letter case. `path` is the folder shown.
//
// The folder is read when the list is given it and when it is read again, never behind the user's back: a file
// chosen stays the one chosen, by its path, even when it is gone from the disk since.
class FileList final : public QListView {
    Q_OBJECT
    Q_PROPERTY(QString path READ path WRITE setPath)
public:
    FileList(const QStringList& nameFilters, QWidget* parent = nullptr);

    QString path() const { return m_path; }
    // Shows folder's files, none chosen.
    void setPath(const QString& folder);
    // Reads the folder again, so that files added or removed since appear as they are now; none chosen.
    void reread();

    // The name of the file the user chose last, or an empty string.
    QString fileName() const { return m_chosen; }
    // Its whole path, or an empty string.
    QString chosenPath() const;

signals:
    // A file was chosen, by a click or by the keyboard.
    void fileChosen();

private:
    QStringList m_nameFilters;
    QStringListModel* m_model;
    QString m_path;
    QString m_chosen;
    // The file a press just made current: its click is the same choice, not a second one.
    QPersistentModelIndex m_justChosen;
};
