#pragma once

#include <QObject>

class AppState;
class Dialogs;
class MainPage;
class ScreenHost;

// Adding a title (新規) and deleting the shown one (削除). Both leave the main page showing the collection as it
// is on disk and mark every list screen stale.
class TitleCommands final : public QObject {
    Q_OBJECT
public:
    TitleCommands(AppState& state, Dialogs& dialogs, ScreenHost& host, MainPage& page, QObject* parent = nullptr);

    void cmdNew_Click();
    void cmdDel_Click();

private:
    // The title the user settles on, or an empty string when the dialogue was cancelled.
    QString askTitle();
    // A title of the records about to be added that is taken already, by exact name or by letter case.
    bool refuseTakenTitles(const QStringList& titles);

    AppState& m_state;
    Dialogs& m_dialogs;
    ScreenHost& m_host;
    MainPage& m_page;
};
