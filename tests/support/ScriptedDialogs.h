#pragma once

#include "ui/Dialogs.h"

#include <QList>
#include <QString>
#include <QStringList>

// Dialogs for tests: every box must have been expected, in order, with the answer it gets. Everything shown is
// recorded; unexpected boxes and expectations left unused make done() false with a description in problems().
class ScriptedDialogs final : public Dialogs {
public:
    struct Box {
        QString text;
        int style = 0;
        QString title;
    };
    // A file dialog shown: its caption, the suggested name (empty when opening) and the filter.
    struct FileBox {
        QString caption;
        QString suggestedName;
        QString filter;
    };

    // The next message box must carry this title; it answers answer.
    ScriptedDialogs& expectMessage(const QString& title, int answer = Ok);
    // The next input box must carry this title; it answers text (empty for Cancel).
    ScriptedDialogs& expectInput(const QString& title, const QString& answer);
    // The next box must be a file dialog to open (or to save) with this caption; it answers path (empty for
    // Cancel).
    ScriptedDialogs& expectOpenFile(const QString& caption, const QString& path);
    ScriptedDialogs& expectSaveFile(const QString& caption, const QString& path);

    int messageBox(const QString& text, int style, const QString& title) override;
    QString inputBox(const QString& prompt, const QString& title, const QString& defaultText) override;
    void beep() override { ++m_beeps; }
    QString openFileName(const QString& caption, const QString& filter) override;
    QString saveFileName(const QString& caption, const QString& suggestedName, const QString& filter) override;

    const QList<Box>& messages() const { return m_messages; }
    const QList<Box>& inputs() const { return m_inputs; } // text holds the prompt, style 0, plus defaults()
    const QStringList& defaults() const { return m_defaults; }
    const QList<FileBox>& fileBoxes() const { return m_fileBoxes; } // open and save, in the order shown
    int beeps() const { return m_beeps; }

    // True when every expectation was used and nothing unexpected was shown.
    bool done() const { return m_problems.isEmpty() && m_expected.isEmpty(); }
    QString problems() const;
    void reset();

private:
    enum class Kind { Message, Input, OpenFile, SaveFile };
    struct Expectation {
        Kind kind = Kind::Message;
        QString title;
        int answer = Ok;
        QString text;
    };
    // The answer text of the next expectation when it is of this kind and title; records a problem otherwise.
    bool takeExpected(Kind kind, const QString& title, const QString& what, Expectation* taken);

    QList<Expectation> m_expected;
    QList<Box> m_messages;
    QList<Box> m_inputs;
    QStringList m_defaults;
    QList<FileBox> m_fileBoxes;
    QStringList m_problems;
    int m_beeps = 0;
};
