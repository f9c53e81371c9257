#include "lists/widgets/ShareWindow.h"

#include "lists/QrShoppingList.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QNetworkInterface>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

constexpr int AddressCodeArea = 300;
// Many phones fetch a page two or three times in a row (preview, then load): within this time they share one
// reading of the collection, so a burst of clients costs one build.
constexpr qint64 PageReuseMs = 2000;

} // namespace

ShareWindow::ShareWindow(std::function<QByteArray(bool)> page, PageServer::Limits limits, QWidget* parent)
    : QDialog(parent), m_page(std::move(page))
{
    setObjectName(QStringLiteral("frmShare"));
    setWindowTitle(QStringLiteral("スマホに送る"));
    m_server = new PageServer([this] { return currentPage(); }, limits, this);

    m_cboShareAddress = new QComboBox;
    m_cboShareAddress->setObjectName(QStringLiteral("cboShareAddress"));
    for (const QString& address : homeAddresses())
        m_cboShareAddress->addItem(address, address);
    m_cboShareAddress->addItem(LoopbackEntry, QStringLiteral("127.0.0.1"));

    auto* intro = new QLabel(QStringLiteral("スマホを同じネットワーク（家のWi-Fi）につないで、カメラでＱＲコードを"
                                            "読み取ってください。\nこの画面を閉じると止まります。"));
    intro->setWordWrap(true);
    m_imgShareQr = new QLabel;
    m_imgShareQr->setObjectName(QStringLiteral("imgShareQr"));
    m_imgShareQr->setFixedSize(AddressCodeArea, AddressCodeArea);
    m_imgShareQr->setAlignment(Qt::AlignCenter);
    m_imgShareQr->setStyleSheet(QStringLiteral("background: white"));
    m_lblShareUrl = new QLabel;
    m_lblShareUrl->setObjectName(QStringLiteral("lblShareUrl"));
    m_lblShareUrl->setTextFormat(Qt::PlainText);
    m_lblShareUrl->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_lblShareState = new QLabel;
    m_lblShareState->setObjectName(QStringLiteral("lblShareState"));
    m_chkShareMemo = new QCheckBox(QStringLiteral("メモも見せる"));
    m_chkShareMemo->setObjectName(QStringLiteral("chkShareMemo"));
    m_lstShareLog = new QListWidget;
    m_lstShareLog->setObjectName(QStringLiteral("lstShareLog"));
    auto* close = new QPushButton(QStringLiteral("止めて閉じる"));
    close->setObjectName(QStringLiteral("cmdShareClose"));
    close->setAutoDefault(false);

    auto* side = new QVBoxLayout;
    side->addWidget(new QLabel(QStringLiteral("見せるアドレス")));
    side->addWidget(m_cboShareAddress);
    side->addWidget(m_chkShareMemo);
    side->addWidget(new QLabel(QStringLiteral("ページを開いた機器")));
    side->addWidget(m_lstShareLog, 1);
    auto* top = new QHBoxLayout;
    top->addWidget(m_imgShareQr);
    top->addLayout(side, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(intro);
    layout->addLayout(top);
    layout->addWidget(m_lblShareUrl);
    layout->addWidget(m_lblShareState);
    layout->addWidget(close, 0, Qt::AlignRight);

    connect(m_cboShareAddress, &QComboBox::currentIndexChanged, this, &ShareWindow::cboShareAddress_Change);
    connect(close, &QPushButton::clicked, this, &QDialog::close);
    connect(m_server, &PageServer::fetched, this, [this](const QHostAddress& address, const QDateTime& when) {
        m_lstShareLog->insertItem(
            0, QStringLiteral("%1　%2").arg(when.toString(QStringLiteral("HH:mm:ss")), address.toString()));
    });
    connect(m_server, &PageServer::stoppedIdle, this, [this] {
        showAddress();
        m_lblShareState->setText(QStringLiteral("10分間だれも開かなかったので止めました。もう一度送るにはこの画面を"
                                                "開き直してください。"));
    });
    cboShareAddress_Change();
}

ShareWindow::~ShareWindow() = default;

QStringList ShareWindow::homeAddresses()
{
    QStringList addresses;
    for (const QNetworkInterface& interface : QNetworkInterface::allInterfaces()) {
        const auto flags = interface.flags();
        if (!(flags & QNetworkInterface::IsUp) || !(flags & QNetworkInterface::IsRunning) ||
            (flags & QNetworkInterface::IsLoopBack))
            continue;
        for (const QNetworkAddressEntry& entry : interface.addressEntries()) {
            const QHostAddress ip = entry.ip();
            if (ip.protocol() == QAbstractSocket::IPv4Protocol && !ip.isLoopback())
                addresses.append(ip.toString());
        }
    }
    return addresses;
}

void ShareWindow::cboShareAddress_Change()
{
    const QHostAddress address(m_cboShareAddress->currentData().toString());
    if (!m_server->start(address)) {
        showAddress();
        m_lblShareState->setText(QStringLiteral("このアドレスでは待ち受けできませんでした。別のアドレスを選んで"
                                                "ください。"));
        return;
    }
    showAddress();
    m_lblShareState->setText(QStringLiteral("待ち受け中です。10分間だれも開かなければ止まります。"));
}

void ShareWindow::showAddress()
{
    const QString url = m_server->url();
    m_lblShareUrl->setText(url);
    m_code = url.isEmpty() ? QImage() : qrlist::encode(url.toUtf8());
    if (m_code.isNull()) {
        m_imgShareQr->clear();
        return;
    }
    const int scale = qMax(1, AddressCodeArea / m_code.width());
    m_imgShareQr->setPixmap(QPixmap::fromImage(m_code.scaled(m_code.size() * scale)));
}

QByteArray ShareWindow::currentPage()
{
    const bool memos = m_chkShareMemo->isChecked();
    if (m_cached.isEmpty() || memos != m_cachedMemos || m_cachedAge.elapsed() > PageReuseMs) {
        m_cached = m_page(memos);
        m_cachedMemos = memos;
        m_cachedAge.start();
    }
    return m_cached;
}
