#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <optional>

class QComboBox;
class QLineEdit;

// Marks an editable box whose text differs from the value stored for it: a coloured background and a tooltip
// saying that Enter stores it, so that a user who leaves the box with Tab or the mouse sees that what was typed
// was not taken. stored gives the stored value, or nullopt when there is nothing to store into.
class UnstoredMark final : public QObject {
    Q_OBJECT
public:
    UnstoredMark(QComboBox* box, std::function<std::optional<QString>()> stored);

    bool isMarked() const { return m_marked; }
    // Compares again; called after the stored value changed while the text stayed.
    void refresh();

private:
    void setMarked(bool marked);

    QLineEdit* m_edit;
    std::function<std::optional<QString>()> m_stored;
    bool m_marked = false;
};
