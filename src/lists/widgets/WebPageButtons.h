#pragma once

#include "lists/widgets/PageServer.h"
#include "lists/widgets/ShareWindow.h"

#include <QDate>
#include <QObject>
#include <QPointer>
#include <QRect>
#include <functional>
#include <memory>

class AppState;
class Dialogs;
class FileWriter;
class QPushButton;

// cmdWebPage ("ページに書き出す") and cmdWebShare ("スマホに送る") on the status list: the collection as one web
// page, written to a file the user chooses, or served to a phone by frmShare. Both show while the full grid
// does (the uncollected view has cmdQr in their place). Nothing is read before a button is pressed.
class WebPageButtons final : public QObject {
    Q_OBJECT
public:
    WebPageButtons(QWidget* panel, QWidget* grid, const QRect& area, AppState& state, Dialogs& dialogs);
    ~WebPageButtons() override;

    void setToday(std::function<QDate()> today) { m_today = std::move(today); }
    void setWriter(std::unique_ptr<FileWriter> writer);
    void setShareLimits(const PageServer::Limits& limits) { m_limits = limits; }

    void cmdWebPage_Click();
    void cmdWebShare_Click();
    ShareWindow* shareWindow() const { return m_share; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QByteArray page(bool withMemos);

    QWidget* m_panel;
    QWidget* m_grid;
    AppState& m_state;
    Dialogs& m_dialogs;
    std::function<QDate()> m_today;
    std::unique_ptr<FileWriter> m_writer;
    PageServer::Limits m_limits;
    QPushButton* m_cmdWebPage = nullptr;
    QPushButton* m_cmdWebShare = nullptr;
    QPointer<ShareWindow> m_share;
};
