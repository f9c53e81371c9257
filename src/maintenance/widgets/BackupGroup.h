#pragma once

#include <QGroupBox>
#include <QList>

#include "history/Backups.h"

class AppState;
class Dialogs;
class ScreenHost;
class QListView;
class QPushButton;
class QStringListModel;

// The group "バックアップ" of the maintenance panel: the generations, newest first (lstBackup), and the button
// that puts the chosen one back (cmdRestore). The list is read only when the panel opens; each generation's
// files are then checked one generation per turn of the event loop, and a damaged one is marked in its row and
// cannot be restored.
class BackupGroup final : public QGroupBox {
    Q_OBJECT
public:
    BackupGroup(AppState& state, Dialogs& dialogs, ScreenHost& host, QWidget* parent = nullptr);

    // Reads the list of generations again and starts checking them.
    void refill();
    void cmdRestore_Click();

    const QList<Generation>& generations() const { return m_generations; }
    // True once every listed generation has been checked.
    bool checked() const { return !m_checking && m_nextCheck >= m_generations.size(); }

signals:
    // As the maintenance panel's: the main page's scroll bar must take this value.
    void mainPageIndexRequested(int index);
    // The files were put back and the title table read again.
    void restored();

private:
    void checkNext(int round);
    void showRow(int row);

    AppState& m_state;
    Dialogs& m_dialogs;
    ScreenHost& m_host;
    QList<Generation> m_generations;
    QStringListModel* m_model = nullptr;
    QListView* m_lstBackup = nullptr;
    QPushButton* m_cmdRestore = nullptr;
    qsizetype m_nextCheck = 0;
    int m_round = 0;
    bool m_checking = false; // a check runs on a worker thread
};
