#include "lists/widgets/WebPageButtons.h"

#include "lists/WebPage.h"
#include "store/AtomicFileWriter.h"
#include "ui/Dialogs.h"
#include "ui/WaitCursor.h"
#include "ui/logic/AppState.h"

#include <QEvent>
#include <QFileInfo>
#include <QPushButton>

namespace {

const QString PageCaption = QStringLiteral("ページに書き出す");
const QString PageFilter = QStringLiteral("ウェブページ (*.html);;すべてのファイル (*)");

// The captions are longer than the free room between the grid's buttons allows at the panel's font.
QPushButton* smallButton(const QString& text, const char* name, const QString& tip, QWidget* panel)
{
    auto* button = new QPushButton(text, panel);
    button->setObjectName(QString::fromLatin1(name));
    button->setToolTip(tip);
    QFont font = button->font();
    font.setPointSizeF(font.pointSizeF() * 0.8);
    button->setFont(font);
    return button;
}

} // namespace

WebPageButtons::WebPageButtons(QWidget* panel, QWidget* grid, const QRect& area, AppState& state, Dialogs& dialogs)
    : QObject(panel), m_panel(panel), m_grid(grid), m_state(state), m_dialogs(dialogs),
      m_today([] { return QDate::currentDate(); }), m_writer(std::make_unique<AtomicFileWriter>())
{
    m_cmdWebPage = smallButton(PageCaption, "cmdWebPage",
                               QStringLiteral("コレクション全体を、スマホでもパソコンでも開ける１つのページ（HTML）に"
                                              "書き出します。"),
                               panel);
    m_cmdWebShare = smallButton(QStringLiteral("スマホに送る"), "cmdWebShare",
                                QStringLiteral("家のWi-Fiにつないだスマホに、ＱＲコードでページを送ります。"), panel);
    const int half = (area.width() - 4) / 2 + 8;
    m_cmdWebPage->setGeometry(area.left(), area.top(), half, area.height());
    m_cmdWebShare->setGeometry(area.left() + half + 4, area.top(), area.width() - half - 4, area.height());
    for (QPushButton* button : {m_cmdWebPage, m_cmdWebShare})
        button->setVisible(!grid->isHidden());
    connect(m_cmdWebPage, &QPushButton::clicked, this, &WebPageButtons::cmdWebPage_Click);
    connect(m_cmdWebShare, &QPushButton::clicked, this, &WebPageButtons::cmdWebShare_Click);
    grid->installEventFilter(this);
}

WebPageButtons::~WebPageButtons()
{
    if (m_share)
        m_share->close();
}

void WebPageButtons::setWriter(std::unique_ptr<FileWriter> writer)
{
    m_writer = writer ? std::move(writer) : std::make_unique<AtomicFileWriter>();
}

bool WebPageButtons::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_grid && (event->type() == QEvent::ShowToParent || event->type() == QEvent::HideToParent)) {
        for (QPushButton* button : {m_cmdWebPage, m_cmdWebShare})
            button->setVisible(event->type() == QEvent::ShowToParent);
    }
    return QObject::eventFilter(watched, event);
}

QByteArray WebPageButtons::page(bool withMemos)
{
    const webpage::Content content = webpage::read(m_state.store, m_state.titles, m_today(), withMemos);
    return webpage::html(m_state.titles, content);
}

void WebPageButtons::cmdWebPage_Click()
{
    const QString path = m_dialogs.saveFileName(PageCaption, webpage::suggestedFileName(m_today()), PageFilter);
    if (path.isEmpty())
        return;
    QString error;
    {
        const WaitCursor wait;
        error = m_writer->writeAtomically(QFileInfo(path).absoluteFilePath(), page(false));
    }
    if (!error.isEmpty()) {
        m_dialogs.messageBox(error, Dialogs::OkOnly + Dialogs::Exclamation, QStringLiteral("書き出せません"));
        return;
    }
    m_dialogs.messageBox(QStringLiteral("%1件のコミックを「%2」に書き出しました。\r\n\r\n"
                                        "このファイルをスマホに送れば、ネットにつながらなくても開けます。")
                             .arg(m_state.titles.count())
                             .arg(QFileInfo(path).fileName()),
                         Dialogs::OkOnly + Dialogs::Information, PageCaption);
}

void WebPageButtons::cmdWebShare_Click()
{
    if (m_share)
        m_share->close();
    m_share = new ShareWindow([this](bool withMemos) { return page(withMemos); }, m_limits, m_panel);
    m_share->setWindowFlag(Qt::Window);
    m_share->setAttribute(Qt::WA_DeleteOnClose);
    m_share->show();
    m_share->raise();
    m_share->activateWindow();
}
