#include "lists/widgets/QrListWindow.h"

#include "lists/ListPrinting.h"
#include "lists/QrShoppingList.h"
#include "ui/Dialogs.h"
#include "ui/WaitCursor.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

namespace {

// Four pixels per module for a full code (about 125 modules with its quiet zone), more for smaller ones.
constexpr int CodeArea = 520;

QPushButton* addButton(QLayout* layout, const char* name, const QString& text)
{
    auto* button = new QPushButton(text);
    button->setObjectName(QString::fromLatin1(name));
    button->setAutoDefault(false);
    layout->addWidget(button);
    return button;
}

} // namespace

QrListWindow::QrListWindow(QList<QStringList> codes, Dialogs& dialogs, ListPrinter& printer, QWidget* parent)
    : QDialog(parent), m_codes(std::move(codes)), m_images(m_codes), m_dialogs(dialogs), m_printer(printer)
{
    setObjectName(QStringLiteral("frmQr"));
    setWindowTitle(QStringLiteral("スマホで見る　未収集の巻"));

    m_imgQr = new QLabel;
    m_imgQr->setObjectName(QStringLiteral("imgQr"));
    m_imgQr->setFixedSize(CodeArea, CodeArea);
    m_imgQr->setAlignment(Qt::AlignCenter);
    m_imgQr->setStyleSheet(QStringLiteral("background: white"));

    m_lblQrLines = new QLabel;
    m_lblQrLines->setObjectName(QStringLiteral("lblQrLines"));
    m_lblQrLines->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_lblQrLines->setTextFormat(Qt::PlainText);
    m_lblQrLines->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* scroll = new QScrollArea;
    scroll->setWidget(m_lblQrLines);
    scroll->setWidgetResizable(true);
    scroll->setFocusPolicy(Qt::NoFocus);
    scroll->setMinimumWidth(320);

    auto* top = new QHBoxLayout;
    top->addWidget(m_imgQr);
    top->addWidget(scroll, 1);

    auto* row = new QHBoxLayout;
    m_cmdQrPrev = addButton(row, "cmdQrPrev", QStringLiteral("◀ 前へ"));
    m_lblQrPage = new QLabel;
    m_lblQrPage->setObjectName(QStringLiteral("lblQrPage"));
    m_lblQrPage->setAlignment(Qt::AlignCenter);
    m_lblQrPage->setMinimumWidth(100);
    row->addWidget(m_lblQrPage);
    m_cmdQrNext = addButton(row, "cmdQrNext", QStringLiteral("次へ ▶"));
    row->addStretch(1);
    QPushButton* print = addButton(row, "cmdQrPrint", QStringLiteral("印刷"));
    QPushButton* close = addButton(row, "cmdQrClose", QStringLiteral("閉じる"));

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top, 1);
    layout->addLayout(row);

    connect(m_cmdQrPrev, &QPushButton::clicked, this, &QrListWindow::cmdQrPrev_Click);
    connect(m_cmdQrNext, &QPushButton::clicked, this, &QrListWindow::cmdQrNext_Click);
    connect(print, &QPushButton::clicked, this, &QrListWindow::cmdQrPrint_Click);
    connect(close, &QPushButton::clicked, this, &QDialog::close);
    // The page keys turn the page whichever control has the focus (a button would move the focus instead).
    for (QWidget* child : findChildren<QWidget*>())
        child->installEventFilter(this);

    showPage(0);
    (pageCount() > 1 ? m_cmdQrNext : close)->setFocus();
}

bool QrListWindow::turnPage(int key)
{
    switch (key) {
    case Qt::Key_Left:
    case Qt::Key_PageUp:
        cmdQrPrev_Click();
        return true;
    case Qt::Key_Right:
    case Qt::Key_PageDown:
        cmdQrNext_Click();
        return true;
    default:
        return false;
    }
}

void QrListWindow::keyPressEvent(QKeyEvent* event)
{
    if (event->modifiers() == Qt::NoModifier && turnPage(event->key()))
        return;
    QDialog::keyPressEvent(event);
}

bool QrListWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->modifiers() == Qt::NoModifier && turnPage(key->key()))
            return true;
    }
    return QDialog::eventFilter(watched, event);
}

void QrListWindow::showPage(int index)
{
    if (index < 0 || index >= pageCount() || index == m_page)
        return;
    m_page = index;
    const QImage image = m_images.image(index);
    if (image.isNull()) {
        m_imgQr->setPixmap({});
        m_imgQr->setText(QStringLiteral("このコードは作れませんでした。"));
    } else {
        // Whole pixels per module: a code scaled by a fraction blurs its modules.
        const int module = qMax(1, CodeArea / image.width());
        m_imgQr->setPixmap(
            QPixmap::fromImage(image.scaled(image.size() * module, Qt::IgnoreAspectRatio, Qt::FastTransformation)));
    }
    m_lblQrLines->setText(m_codes.at(index).join(QLatin1Char('\n')));
    m_lblQrPage->setText(qrlist::pageText(index, pageCount()));
    m_cmdQrPrev->setEnabled(index > 0);
    m_cmdQrNext->setEnabled(index + 1 < pageCount());
}

void QrListWindow::cmdQrPrint_Click()
{
    QString problem;
    {
        const WaitCursor wait;
        problem = m_printer.printPages(
            [&](QPainter& painter, const QRect& page, qreal dpiX, const std::function<bool()>& newPage) {
                return qrlist::paintCodePages(painter, page, dpiX, m_codes, newPage);
            });
    }
    if (!problem.isEmpty())
        m_dialogs.messageBox(problem, Dialogs::OkOnly + Dialogs::Exclamation, QStringLiteral("印刷できません"));
}
