#pragma once

#include "ui/logic/MainPageLogic.h"

#include <QLabel>
#include <QWidget>
#include <array>

// A volume label: a click (press and release inside it), Space or Enter is reported as clicked(). The arrow
// keys move between labels, so that the grid can be worked from the keyboard.
class VolumeLabel final : public QLabel {
    Q_OBJECT
public:
    explicit VolumeLabel(QWidget* parent = nullptr);
    void setBackground(const QColor& color);

signals:
    void clicked();
    // An arrow key asks to move the focus by this many labels.
    void moveFocus(int step);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    bool m_pressed = false;
};

// The fifty volume labels lblKan_1 to lblKan_50, ten to a row in five rows: row (k - 1) / 10 holds the
// record's volumes 1-10, 11-20, ... like the lines of the volume file.
class VolumeGrid final : public QWidget {
    Q_OBJECT
public:
    explicit VolumeGrid(QWidget* parent = nullptr);

    VolumeLabel* label(int k) const { return m_labels[k]; }
    void apply(const std::array<mainpage::VolumeCell, 51>& cells);
    void hideAll();

signals:
    void volumeClicked(int k);

private:
    std::array<VolumeLabel*, 51> m_labels{};
};
