#pragma once

#include <QComboBox>

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
