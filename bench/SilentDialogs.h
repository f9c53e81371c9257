#pragma once

#include "ui/Dialogs.h"

// Answers every box at once (Ok, or an empty text) and counts them: a start-up over a whole collection with
// the tour off asks nothing, so any box means the synthetic folder is not what the measurement assumes.
class SilentDialogs final : public Dialogs {
public:
    int messageBox(const QString& text, int, const QString&) override
    {
        ++m_boxes;
        m_lastText = text;
        return Ok;
    }
    QString inputBox(const QString& prompt, const QString&, const QString&) override
    {
        ++m_boxes;
        m_lastText = prompt;
        return {};
    }
    void beep() override {}
    QString openFileName(const QString& caption, const QString&) override
    {
        ++m_boxes;
        m_lastText = caption;
        return {};
    }
    QString saveFileName(const QString& caption, const QString&, const QString&) override
    {
        ++m_boxes;
        m_lastText = caption;
        return {};
    }

    int boxes() const { return m_boxes; }
    QString lastText() const { return m_lastText; }

private:
    int m_boxes = 0;
    QString m_lastText;
};
