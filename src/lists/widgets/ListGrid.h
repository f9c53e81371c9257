#pragma once

#include <QTableView>

// A grid of the status list panel: a fixed header row of volume numbers and a fixed title column (the view's
// headers, coloured RGB(255, 255, 240)), fifty 320-twip volume columns, no selection and no editing. Rows and
// columns in its signals are the grid's, 1-based: row r is model row r - 1, column c model column c - 1.
class ListGrid final : public QTableView {
    Q_OBJECT
public:
    explicit ListGrid(const QString& objectName, QWidget* parent = nullptr);

    // Font size 10, the title column 2,875 twips wide and left-centre aligned, volume columns 320 twips.
    void layOut();

protected:
    // Space on the current volume cell is a click on it; Enter is a double-click on its row.
    void keyPressEvent(QKeyEvent* event) override;

signals:
    // A press and release on volume cell (row, column).
    void cellClicked(int row, int column);
    // A double-click on a row, on a volume cell or on its title.
    void rowDoubleClicked(int row);
};
