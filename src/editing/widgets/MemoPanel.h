#pragma once

#include <QFrame>

class AppState;
class Dialogs;
class MainPage;
class QPlainTextEdit;

// The memo panel (fraMemo) over the main page: edits the memo of the record shown and saves it to the record's
// memo file. It stays open while the user pages; each page loads its own memo into it.
class MemoPanel final : public QFrame {
    Q_OBJECT
public:
    MemoPanel(MainPage& page, AppState& state, Dialogs& dialogs);

    // Puts a memo (lines joined with CR LF) into the text box.
    void setMemo(const QString& memo);
    // The text box's text with every line break written CR LF.
    QString memo() const;

    void cmdMemoHozon_Click();
    void cmdKan_Click();

signals:
    void saved(const QString& memo);

private:
    MainPage& m_page;
    AppState& m_state;
    Dialogs& m_dialogs;
    QPlainTextEdit* m_txtMemo;
};
