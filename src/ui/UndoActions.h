#pragma once

#include <QObject>

struct ChangeOutcome;
class AppState;
class Dialogs;
class MainPage;
class ScreenHost;
class QAction;
class QWidget;

// The window's undo and redo (actUndo, actRedo): the standard keys anywhere in the window, except in a text
// field the user is typing in, which keeps its own undo until its text is stored or shown afresh. The main
// page's context menu lists both with the step they take. After a step the main page shows the title
// concerned, and the lists are marked stale as the change itself marked them.
class UndoActions final : public QObject {
    Q_OBJECT
public:
    UndoActions(QWidget& window, MainPage& page, AppState& state, Dialogs& dialogs, ScreenHost& host);

    QAction* undoAction() const { return m_actUndo; }
    QAction* redoAction() const { return m_actRedo; }

    void actUndo_Triggered();
    void actRedo_Triggered();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void updateActions();
    void show(const ChangeOutcome& outcome);

    QWidget& m_window;
    MainPage& m_page;
    AppState& m_state;
    Dialogs& m_dialogs;
    ScreenHost& m_host;
    QAction* m_actUndo;
    QAction* m_actRedo;
};
