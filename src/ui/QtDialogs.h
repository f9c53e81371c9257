#pragma once

#include "ui/Dialogs.h"

class QWidget;

// Dialogs shown with Qt's standard boxes, with Japanese button texts.
class QtDialogs final : public Dialogs {
public:
    explicit QtDialogs(QWidget* parent = nullptr) : m_parent(parent) {}
    void setParent(QWidget* parent) { m_parent = parent; }

    int messageBox(const QString& text, int style, const QString& title) override;
    QString inputBox(const QString& prompt, const QString& title, const QString& defaultText) override;
    void beep() override;
    // The desktop's file dialog, opening in the user's documents folder.
    QString openFileName(const QString& caption, const QString& filter) override;
    QString saveFileName(const QString& caption, const QString& suggestedName, const QString& filter) override;

private:
    QWidget* m_parent;
};
