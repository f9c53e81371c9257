#pragma once

#include <QAbstractHttpServer>
#include <QByteArray>
#include <QDateTime>
#include <QHostAddress>
#include <QTimer>
#include <functional>

class QTcpServer;

// How much a client may send and how long it and the server may stay silent.
struct PageServerLimits {
    int maxRequestBytes = 8 * 1024;
    int silentClientMs = 10 * 1000;
    int idleServerMs = 10 * 60 * 1000;
};

// Serves one page to the home network: GET and HEAD of "/<token>/" (the token 128 random bits) answer with the
// page as it is at that moment; every other request gets 404 with no detail. A request larger than
// maxRequestBytes, or a client silent for silentClientMs, is closed. The server listens on one address only,
// never starts by itself, and stops by itself after idleServerMs without a fetch of the page.
class PageServer final : public QAbstractHttpServer {
    Q_OBJECT
public:
    using Limits = PageServerLimits;

    explicit PageServer(std::function<QByteArray()> page, Limits limits = Limits{}, QObject* parent = nullptr);
    ~PageServer() override;

    // Listens on address at a port the system chooses; false when it cannot. A running server is stopped first.
    bool start(const QHostAddress& address);
    void stop();
    bool isListening() const;

    QString token() const { return m_token; }
    quint16 port() const { return m_port; }
    // "http://<address>:<port>/<token>/", empty while not listening.
    QString url() const;

signals:
    // The page was fetched by the client at address.
    void fetched(const QHostAddress& address, const QDateTime& when);
    // The server stopped by itself after idleServerMs without a fetch.
    void stoppedIdle();

protected:
    bool handleRequest(const QHttpServerRequest& request, QTcpSocket* socket) override;
    void missingHandler(const QHttpServerRequest& request, QTcpSocket* socket) override;

private:
    std::function<QByteArray()> m_page;
    Limits m_limits;
    QString m_token;
    QHostAddress m_address;
    quint16 m_port = 0;
    QTcpServer* m_listener = nullptr;
    QTimer m_idle;
};
