#include "lists/widgets/PageServer.h"

#include <QHttpServerRequest>
#include <QHttpServerResponder>
#include <QRandomGenerator>
#include <QTcpServer>
#include <QTcpSocket>
#include <QUrl>
#include <array>

namespace {

// Closes a connection that sends more than a request may hold, or that stays silent too long. It sees each
// arrival before the HTTP server does, so an oversized request is never answered.
class ConnectionGuard final : public QObject {
public:
    ConnectionGuard(QTcpSocket* socket, QObject* server, const PageServer::Limits& limits)
        : QObject(socket), m_socket(socket), m_server(server), m_limit(limits.maxRequestBytes)
    {
        m_silence.setSingleShot(true);
        m_silence.setInterval(limits.silentClientMs);
        connect(&m_silence, &QTimer::timeout, this, &ConnectionGuard::refuse);
        connect(socket, &QTcpSocket::readyRead, this, &ConnectionGuard::arrived);
        // An answer ends the request; a kept-alive connection may send the next one.
        connect(socket, &QTcpSocket::bytesWritten, this, [this] { m_received = 0; });
        m_silence.start();
    }

private:
    void arrived()
    {
        m_silence.start();
        m_received = qMax(m_received, m_socket->bytesAvailable());
        if (m_received > m_limit)
            refuse();
    }
    void refuse()
    {
        // The server's own handlers are cut first, so that it neither parses what is left nor touches the
        // socket after it is gone.
        QObject::disconnect(m_socket, nullptr, m_server, nullptr);
        m_socket->abort();
        m_socket->deleteLater();
    }

    QTcpSocket* m_socket;
    QObject* m_server;
    qint64 m_limit;
    qint64 m_received = 0;
    QTimer m_silence;
};

class GuardedListener final : public QTcpServer {
public:
    GuardedListener(QObject* server, const PageServer::Limits& limits) : QTcpServer(server), m_limits(limits) {}

protected:
    void incomingConnection(qintptr descriptor) override
    {
        auto* socket = new QTcpSocket(this);
        if (!socket->setSocketDescriptor(descriptor)) {
            delete socket;
            return;
        }
        new ConnectionGuard(socket, parent(), m_limits);
        addPendingConnection(socket);
    }

private:
    PageServer::Limits m_limits;
};

QString newToken()
{
    std::array<quint32, 4> bits{};
    QRandomGenerator::system()->fillRange(bits.data(), bits.size());
    return QString::fromLatin1(QByteArray(reinterpret_cast<const char*>(bits.data()), sizeof bits).toHex());
}

} // namespace

PageServer::PageServer(std::function<QByteArray()> page, Limits limits, QObject* parent)
    : QAbstractHttpServer(parent), m_page(std::move(page)), m_limits(limits), m_token(newToken())
{
    m_idle.setSingleShot(true);
    m_idle.setInterval(m_limits.idleServerMs);
    connect(&m_idle, &QTimer::timeout, this, [this] {
        stop();
        emit stoppedIdle();
    });
}

PageServer::~PageServer() = default;

bool PageServer::start(const QHostAddress& address)
{
    stop();
    auto* listener = new GuardedListener(this, m_limits);
    if (!listener->listen(address, 0)) {
        delete listener;
        return false;
    }
    bind(listener);
    m_listener = listener;
    m_address = address;
    m_port = listener->serverPort();
    m_idle.start();
    return true;
}

void PageServer::stop()
{
    m_idle.stop();
    m_port = 0;
    // Deleting the listener closes its port and every connection it accepted.
    delete m_listener;
    m_listener = nullptr;
}

bool PageServer::isListening() const
{
    return m_listener && m_listener->isListening();
}

QString PageServer::url() const
{
    if (!isListening())
        return {};
    QUrl url;
    url.setScheme(QStringLiteral("http"));
    url.setHost(m_address.toString());
    url.setPort(m_port);
    url.setPath(QLatin1Char('/') + m_token + QLatin1Char('/'));
    return url.toString();
}

bool PageServer::handleRequest(const QHttpServerRequest& request, QTcpSocket* socket)
{
    QHttpServerResponder responder = makeResponder(request, socket);
    const QHttpServerRequest::Method method = request.method();
    const QUrl url = request.url();
    const bool page = (method == QHttpServerRequest::Method::Get || method == QHttpServerRequest::Method::Head) &&
                      url.path(QUrl::FullyEncoded) == QLatin1Char('/') + m_token + QLatin1Char('/') && !url.hasQuery();
    if (!page) {
        responder.write(QHttpServerResponder::StatusCode::NotFound);
        return true;
    }
    const QByteArray body = m_page();
    m_idle.start();
    emit fetched(request.remoteAddress(), QDateTime::currentDateTime());
    responder.writeStatusLine(QHttpServerResponder::StatusCode::Ok);
    responder.writeHeaders({{"Content-Type", "text/html; charset=utf-8"},
                            {"Content-Length", QByteArray::number(body.size())},
                            {"Cache-Control", "no-store"},
                            {"X-Content-Type-Options", "nosniff"},
                            {"Referrer-Policy", "no-referrer"}});
    // The body write also ends the headers; a HEAD request gets that end alone.
    responder.writeBody(method == QHttpServerRequest::Method::Get ? body : QByteArray());
    return true;
}

void PageServer::missingHandler(const QHttpServerRequest& request, QTcpSocket* socket)
{
    makeResponder(request, socket).write(QHttpServerResponder::StatusCode::NotFound);
}
