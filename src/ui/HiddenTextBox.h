#pragma once

#include <QString>
#include <QWidget>

// A never-shown box that holds a text of any length for other screens to read (the membership strings of the
// selection lists). Unlike a line edit it neither cuts the text at 32,767 characters nor lays it out.
class HiddenTextBox final : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QString text READ text WRITE setText)
public:
    explicit HiddenTextBox(QWidget* parent = nullptr) : QWidget(parent) { setVisible(false); }
    QString text() const { return m_text; }
    void setText(const QString& text) { m_text = text; }

private:
    QString m_text;
};
