#pragma once

#include <QCheckBox>
#include <QPushButton>

// A command button of the row: its picture above its caption.
class IconButton final : public QPushButton {
    Q_OBJECT
public:
    IconButton(const QIcon& icon, const QString& caption, QWidget* parent = nullptr);
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
};

// A check box drawn as a push-like picture: the picture's On form while ticked, its Off form while clear.
class PictureCheckBox final : public QCheckBox {
    Q_OBJECT
public:
    explicit PictureCheckBox(const QIcon& icon, QWidget* parent = nullptr);
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    bool hitButton(const QPoint& pos) const override;
};
