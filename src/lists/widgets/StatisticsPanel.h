#pragma once

#include "lists/Statistics.h"

#include <QFrame>
#include <array>
#include <memory>

class AlmostListModel;
class AppState;
class Dialogs;
class FileWriter;
class ListPrinter;
class ScreenHost;
class StatusListPanel;
class QChartView;
class QLabel;
class QListView;
class QStackedWidget;
class QStandardItemModel;
class QTabWidget;

// fraToukei, the statistics screen: the collection's totals (lblToukeiSummary), four charts on tabs (chtYear,
// chtMagazine, chtRating, chtCompletion), each with a table of its numbers shown in its place on a switch
// (chkToukeiTable), and the series missing one to three volumes (lstAtoSukoshi), where Enter or a double-click
// shows the series on the main page.
//
// The counts are made from the status list's rows, so that both screens read the volume files once and agree;
// every showing counts again (the status list rereads the files only when the stale flags say so) and redraws
// only when a count changed. The current chart is saved as PNG or SVG and printed through the buttons under it.
class StatisticsPanel final : public QFrame {
    Q_OBJECT
public:
    StatisticsPanel(AppState& state, Dialogs& dialogs, ScreenHost& host, StatusListPanel& statusList,
                    QWidget* parent = nullptr);
    ~StatisticsPanel() override;

    void setPrinter(std::unique_ptr<ListPrinter> printer);
    void setFileWriter(std::unique_ptr<FileWriter> writer);

    // Handlers.
    void cmdToukei_Click();
    void lstAtoSukoshi_DblClick(int row);
    void cmdToukeiPng_Click();
    void cmdToukeiSvg_Click();
    void cmdToukeiPrint_Click();

    const statistics::Counts& counts() const { return m_counts; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    void recount();
    void showCounts();
    QChartView& currentChart() const;
    void save(const QString& kind, const QString& suffix, const QByteArray& bytes);

    AppState& m_state;
    Dialogs& m_dialogs;
    ScreenHost& m_host;
    StatusListPanel& m_statusList;
    std::unique_ptr<ListPrinter> m_printer;
    std::unique_ptr<FileWriter> m_writer;
    statistics::Counts m_counts;
    bool m_counted = false;

    QLabel* m_summary = nullptr;
    QTabWidget* m_tabs = nullptr;
    std::array<QChartView*, 4> m_charts{};         // chtYear, chtMagazine, chtRating, chtCompletion
    std::array<QStandardItemModel*, 4> m_tables{}; // their numbers, in the same order
    std::array<QStackedWidget*, 4> m_pages{};      // each tab: the chart, or its table
    QListView* m_almostView = nullptr;
    AlmostListModel* m_almostModel = nullptr;
};
