#pragma once

#include "lists/widgets/PageServer.h"

#include <QDialog>
#include <QElapsedTimer>
#include <functional>

class QCheckBox;
class QComboBox;
class QLabel;
class QListWidget;

// frmShare: serves the collection's page to a phone while it is open. cboShareAddress lists this machine's
// home-network addresses and always, last, the loopback address; the server listens on the chosen one only.
// lblShareUrl and the QR code show the page's address; lstShareLog lists who fetched it. Closing the window
// stops the server and closes its port.
class ShareWindow final : public QDialog {
    Q_OBJECT
public:
    static inline const QString LoopbackEntry = QStringLiteral("このパソコンだけ（127.0.0.1）");

    // page(withMemos) makes the page as the collection is at that moment.
    ShareWindow(std::function<QByteArray(bool withMemos)> page, PageServer::Limits limits = PageServer::Limits{},
                QWidget* parent = nullptr);
    ~ShareWindow() override;

    const PageServer& server() const { return *m_server; }
    QImage shownCode() const { return m_code; }
    // The home-network addresses offered besides the loopback address: up, not loopback, IPv4.
    static QStringList homeAddresses();

    void cboShareAddress_Change();

private:
    QByteArray currentPage();
    void showAddress();

    std::function<QByteArray(bool)> m_page;
    PageServer* m_server = nullptr;
    QByteArray m_cached;
    bool m_cachedMemos = false;
    QElapsedTimer m_cachedAge;
    QImage m_code;

    QComboBox* m_cboShareAddress = nullptr;
    QLabel* m_lblShareUrl = nullptr;
    QLabel* m_imgShareQr = nullptr;
    QLabel* m_lblShareState = nullptr;
    QCheckBox* m_chkShareMemo = nullptr;
    QListWidget* m_lstShareLog = nullptr;
};
