#pragma once

#include "lists/ListPrinting.h"

#include <QDate>
#include <QObject>
#include <functional>
#include <memory>

class AppState;
class Dialogs;
class ScreenHost;
class StatusListModel;

// The "残巻", "未収集データ保存" and "全データ保存" commands. The two uncollected layouts are taken from the volume
// files themselves; the full status file from the status grid as last filled and toggled. Each file replaces an
// earlier one only when written whole; a file that cannot be written is reported with the reason and the earlier
// one stays as it was.
class ListExports final : public QObject {
    Q_OBJECT
public:
    ListExports(AppState& state, Dialogs& dialogs, ScreenHost& host, const StatusListModel& grid,
                QObject* parent = nullptr);
    ~ListExports() override;

    void setPrinter(std::unique_ptr<ListPrinter> printer);
    ListPrinter& printer() { return *m_printer; }
    // The date the file headers are written for (today unless a test says otherwise).
    void setToday(std::function<QDate()> today);

    void cmdHozon_Click();
    void cmdHozon1_Click();
    void cmdHozon2_Click();

private:
    // Runs write (empty on success, else the message) under the hourglass; false after reporting a failure.
    bool save(const std::function<QString()>& write);

    AppState& m_state;
    Dialogs& m_dialogs;
    ScreenHost& m_host;
    const StatusListModel& m_grid;
    std::unique_ptr<ListPrinter> m_printer;
    std::function<QDate()> m_today;
};
