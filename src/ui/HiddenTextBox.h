#pragma once

#include <QString>
#include <QWidget>

#include <functional>
#include <utility>

// A never-shown box that holds a text of any length for other screens to read (the membership strings of the
// selection lists). Unlike a line edit it neither cuts the text at 32,767 characters nor lays it out. Its text
// is either given or asked of a source at each read, so that a long text is only built when someone reads it.
class HiddenTextBox final : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QString text READ text WRITE setText)
public:
    explicit HiddenTextBox(QWidget* parent = nullptr) : QWidget(parent) { setVisible(false); }
    QString text() const { return m_source ? m_source() : m_text; }
    void setText(const QString& text)
    {
        m_source = nullptr;
        m_text = text;
    }
    void setTextSource(std::function<QString()> source) { m_source = std::move(source); }

private:
    QString m_text;
    std::function<QString()> m_source;
};
