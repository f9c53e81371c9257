// cmdWebPage and cmdWebShare on the status list: the page written through the file chooser, and the page served
// by frmShare on the loopback address only, to the right token and to nothing else.
#include "ListFixture.h"
#include "lists/WebPage.h"
#include "lists/widgets/WebPageButtons.h"
#include "support/ComboChoice.h"
#include "support/QrDecode.h"

#include <QComboBox>
#include <QListWidget>
#include <QTcpSocket>
#include <QUrl>
#include <memory>

using namespace listtest;

namespace {

// One HTTP exchange driven by the event loop (the server runs in this thread): what came back, and whether the
// server closed the connection.
class Client final : public QObject {
public:
    Client(quint16 port, QByteArray request) : m_request(std::move(request))
    {
        connect(&socket, &QTcpSocket::connected, this, [this] {
            if (!m_request.isEmpty())
                socket.write(m_request);
        });
        connect(&socket, &QTcpSocket::readyRead, this, [this] { reply += socket.readAll(); });
        connect(&socket, &QTcpSocket::disconnected, this, [this] { closed = true; });
        connect(&socket, &QTcpSocket::errorOccurred, this, [this](QAbstractSocket::SocketError e) {
            error = e;
            if (e != QAbstractSocket::RemoteHostClosedError)
                closed = true;
        });
        socket.connectToHost(QHostAddress::LocalHost, port);
    }
    // A whole response: headers and as many body bytes as Content-Length says.
    bool answered() const
    {
        const qsizetype end = reply.indexOf("\r\n\r\n");
        if (end < 0)
            return false;
        const qsizetype at = reply.toLower().indexOf("content-length: ");
        const qsizetype length = at < 0 ? 0 : reply.mid(at + 16, reply.indexOf('\r', at) - at - 16).toLongLong();
        return reply.size() - end - 4 >= length;
    }
    QByteArray status() const { return reply.left(reply.indexOf("\r\n")); }
    QByteArray body() const { return reply.mid(reply.indexOf("\r\n\r\n") + 4); }

    QTcpSocket socket;
    QByteArray reply;
    bool closed = false;
    QAbstractSocket::SocketError error = QAbstractSocket::UnknownSocketError;

private:
    QByteArray m_request;
};

QByteArray get(const QByteArray& method, const QByteArray& path)
{
    return method + " " + path + " HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n";
}

struct ShareFixture : Fixture {
    WebPageButtons* web = nullptr;
    ShareWindow* window = nullptr;
    quint16 port = 0;
    QByteArray path;

    void open(int silentClientMs = 10 * 1000)
    {
        folder.writeText(CollectionName, record(QStringLiteral("<b>太字</b>"), 3, 0) +
                                             record(QStringLiteral("剣の国の物語(51_100)"), 50, 50));
        start();
        web = &panel->webPage();
        web->setShareLimits({8 * 1024, silentClientMs, 10 * 60 * 1000});
        panel->show();
        click(QStringLiteral("cmdWebShare"));
        window = panel->findChild<ShareWindow*>(QStringLiteral("frmShare"));
        QVERIFY(window);
        chooseItem(window->findChild<QComboBox*>(QStringLiteral("cboShareAddress")), ShareWindow::LoopbackEntry);
        const QUrl url(window->findChild<QLabel*>(QStringLiteral("lblShareUrl"))->text());
        QCOMPARE(url.host(), QStringLiteral("127.0.0.1"));
        port = quint16(url.port());
        path = url.path().toUtf8();
    }
    QByteArray expectedPage() const
    {
        return webpage::html(state->titles, webpage::read(state->store, state->titles, QDate(2008, 5, 5), false));
    }
};

} // namespace

class TestWebShare : public QObject {
    Q_OBJECT
private slots:
    void pageIsWrittenWhereTheUserChose();
    void failedWriteIsReportedAndLeavesNoFile();
    void addressIsShownAsTextAndCode();
    void rightTokenGetsThePage();
    void headGetsTheHeadersOnly();
    void everythingElseIsNotFound_data();
    void everythingElseIsNotFound();
    void oversizedRequestIsClosedUnanswered();
    void silentClientIsClosed();
    void hundredClientsAtOnceAreServed();
    void closingTheWindowClosesThePort();
};

void TestWebShare::pageIsWrittenWhereTheUserChose()
{
    Fixture f;
    f.folder.writeText(CollectionName, record(QStringLiteral("Ａ"), 3, 0));
    f.start();
    const QString path = f.folder.path() + QStringLiteral("/出力.html");
    f.dialogs.expectSaveFile(QStringLiteral("ページに書き出す"), path)
        .expectMessage(QStringLiteral("ページに書き出す"));
    f.click(QStringLiteral("cmdWebPage"));
    QVERIFY2(f.dialogs.done(), qPrintable(f.dialogs.problems()));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(),
             webpage::html(f.state->titles, webpage::read(f.state->store, f.state->titles, QDate(2008, 5, 5), false)));
}

void TestWebShare::failedWriteIsReportedAndLeavesNoFile()
{
    Fixture f;
    f.folder.writeText(CollectionName, record(QStringLiteral("Ａ"), 3, 0));
    f.start();
    f.panel->webPage().setWriter(std::make_unique<FailingWriter>());
    const QString path = f.folder.path() + QStringLiteral("/出力.html");
    f.dialogs.expectSaveFile(QStringLiteral("ページに書き出す"), path).expectMessage(QStringLiteral("書き出せません"));
    f.click(QStringLiteral("cmdWebPage"));
    QVERIFY2(f.dialogs.done(), qPrintable(f.dialogs.problems()));
    QVERIFY(f.dialogs.messages().last().text.contains(FailingWriter::Reason));
    QVERIFY(!QFile::exists(path));
}

void TestWebShare::addressIsShownAsTextAndCode()
{
    ShareFixture f;
    f.open();
    QCOMPARE(f.path.size(), 1 + 32 + 1);
    const QString url = f.window->findChild<QLabel*>(QStringLiteral("lblShareUrl"))->text();
    // The code as the window shows it, large enough for a phone's camera.
    const QImage shown = f.window->findChild<QLabel*>(QStringLiteral("imgShareQr"))->pixmap().toImage();
    QVERIFY(shown.width() >= 4 * f.window->shownCode().width());
    QCOMPARE(decodeQrCodes(shown), QList<QByteArray>{url.toUtf8()});
    // The loopback entry is always offered, last.
    auto* combo = f.window->findChild<QComboBox*>(QStringLiteral("cboShareAddress"));
    QCOMPARE(combo->itemText(combo->count() - 1), ShareWindow::LoopbackEntry);
}

void TestWebShare::rightTokenGetsThePage()
{
    ShareFixture f;
    f.open();
    Client client(f.port, get("GET", f.path));
    QTRY_VERIFY_WITH_TIMEOUT(client.answered() || client.closed, 10000);
    QCOMPARE(client.status(), QByteArray("HTTP/1.1 200 OK"));
    QCOMPARE(client.body(), f.expectedPage());
    QVERIFY(client.reply.contains("text/html; charset=utf-8"));
    const auto* log = f.window->findChild<QListWidget*>(QStringLiteral("lstShareLog"));
    QCOMPARE(log->count(), 1);
    QVERIFY(log->item(0)->text().endsWith(QStringLiteral("127.0.0.1")));
}

void TestWebShare::headGetsTheHeadersOnly()
{
    ShareFixture f;
    f.open();
    Client client(f.port, get("HEAD", f.path));
    QTRY_VERIFY_WITH_TIMEOUT(client.reply.contains("\r\n\r\n") || client.closed, 10000);
    QCOMPARE(client.status(), QByteArray("HTTP/1.1 200 OK"));
    QVERIFY(client.reply.contains("Content-Length: " + QByteArray::number(f.expectedPage().size())));
    QTest::qWait(100);
    QVERIFY(client.reply.endsWith("\r\n\r\n"));
}

void TestWebShare::everythingElseIsNotFound_data()
{
    QTest::addColumn<QByteArray>("method");
    QTest::addColumn<QByteArray>("path"); // %T stands for the right token
    QTest::newRow("wrong token") << QByteArray("GET") << QByteArray("/0123456789abcdef0123456789abcdef/");
    QTest::newRow("no token") << QByteArray("GET") << QByteArray("/");
    QTest::newRow("token without slash") << QByteArray("GET") << QByteArray("/%T");
    QTest::newRow("other path") << QByteArray("GET") << QByteArray("/%T/favicon.ico");
    QTest::newRow("query") << QByteArray("GET") << QByteArray("/%T/?x=1");
    QTest::newRow("token in upper case") << QByteArray("GET") << QByteArray("/%U/");
    QTest::newRow("POST") << QByteArray("POST") << QByteArray("/%T/");
    QTest::newRow("PUT") << QByteArray("PUT") << QByteArray("/%T/");
}

void TestWebShare::everythingElseIsNotFound()
{
    QFETCH(QByteArray, method);
    QFETCH(QByteArray, path);
    ShareFixture f;
    f.open();
    const QByteArray token = f.path.mid(1, f.path.size() - 2);
    path.replace("%T", token).replace("%U", token.toUpper());
    Client client(f.port, get(method, path));
    QTRY_VERIFY_WITH_TIMEOUT(client.answered() || client.closed, 10000);
    QCOMPARE(client.status(), QByteArray("HTTP/1.1 404 Not Found"));
    QCOMPARE(client.body(), QByteArray());
    QCOMPARE(f.window->findChild<QListWidget*>(QStringLiteral("lstShareLog"))->count(), 0);
}

void TestWebShare::oversizedRequestIsClosedUnanswered()
{
    ShareFixture f;
    f.open();
    // The right address, made too large by a header.
    const QByteArray request =
        "GET " + f.path + " HTTP/1.1\r\nHost: 127.0.0.1\r\nX-Pad: " + QByteArray(8 * 1024, 'a') + "\r\n\r\n";
    Client client(f.port, request);
    QTRY_VERIFY_WITH_TIMEOUT(client.closed, 10000);
    QCOMPARE(client.reply, QByteArray());
    // A request just under the limit is still served.
    Client fits(f.port, "GET " + f.path + " HTTP/1.1\r\nX-Pad: " + QByteArray(7 * 1024, 'a') + "\r\n\r\n");
    QTRY_VERIFY_WITH_TIMEOUT(fits.answered() || fits.closed, 10000);
    QCOMPARE(fits.status(), QByteArray("HTTP/1.1 200 OK"));
}

void TestWebShare::silentClientIsClosed()
{
    ShareFixture f;
    f.open(300);
    Client silent(f.port, QByteArray());
    QTRY_VERIFY_WITH_TIMEOUT(silent.socket.state() == QAbstractSocket::ConnectedState, 5000);
    QTRY_VERIFY_WITH_TIMEOUT(silent.closed, 5000);
    QCOMPARE(silent.reply, QByteArray());
    // Half a request, then silence, is closed just the same.
    Client half(f.port, "GET " + f.path + " HTTP/1.1\r\n");
    QTRY_VERIFY_WITH_TIMEOUT(half.closed, 5000);
    QCOMPARE(half.reply, QByteArray());
}

void TestWebShare::hundredClientsAtOnceAreServed()
{
    ShareFixture f;
    f.open();
    const QByteArray expected = f.expectedPage();
    std::vector<std::unique_ptr<Client>> clients;
    for (int i = 0; i < 100; ++i)
        clients.push_back(std::make_unique<Client>(f.port, get("GET", f.path)));
    const auto allDone = [&] {
        return std::all_of(clients.begin(), clients.end(), [](const auto& c) { return c->answered() || c->closed; });
    };
    QTRY_VERIFY_WITH_TIMEOUT(allDone(), 30000);
    for (const auto& c : clients) {
        QCOMPARE(c->status(), QByteArray("HTTP/1.1 200 OK"));
        QCOMPARE(c->body().size(), expected.size());
    }
}

void TestWebShare::closingTheWindowClosesThePort()
{
    ShareFixture f;
    f.open();
    const quint16 port = f.port;
    Client before(port, get("GET", f.path));
    QTRY_VERIFY_WITH_TIMEOUT(before.answered() || before.closed, 10000);
    QPointer<ShareWindow> window = f.window;
    window->close();
    QTRY_VERIFY(window.isNull());
    Client after(port, get("GET", f.path));
    QTRY_VERIFY_WITH_TIMEOUT(after.closed, 10000);
    QCOMPARE(after.error, QAbstractSocket::ConnectionRefusedError);
    QCOMPARE(after.reply, QByteArray());
}

QTEST_MAIN(TestWebShare)
#include "tst_webshare.moc"
