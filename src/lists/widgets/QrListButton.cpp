#include "lists/widgets/QrListButton.h"

#include "lists/ListModels.h"
#include "lists/QrShoppingList.h"
#include "lists/widgets/QrListWindow.h"
#include "ui/Dialogs.h"
#include "ui/WaitCursor.h"

#include <QEvent>
#include <QPushButton>

QrListButton::QrListButton(QWidget* panel, QWidget* view, const QRect& geometry, const UncollectedModel& rows,
                           Dialogs& dialogs, std::function<ListPrinter&()> printer)
    : QObject(panel), m_panel(panel), m_view(view), m_rows(rows), m_dialogs(dialogs), m_printer(std::move(printer))
{
    m_button = new QPushButton(QStringLiteral("スマホで見る"), panel);
    m_button->setObjectName(QStringLiteral("cmdQr"));
    m_button->setToolTip(QStringLiteral("未収集の巻をＱＲコードで表示します。スマホのカメラで読み取れます。"));
    m_button->setGeometry(geometry);
    m_button->setVisible(!view->isHidden());
    connect(m_button, &QPushButton::clicked, this, &QrListButton::cmdQr_Click);
    view->installEventFilter(this);
}

bool QrListButton::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_view && (event->type() == QEvent::ShowToParent || event->type() == QEvent::HideToParent))
        m_button->setVisible(event->type() == QEvent::ShowToParent);
    return QObject::eventFilter(watched, event);
}

void QrListButton::cmdQr_Click()
{
    QList<qrlist::Missing> entries;
    entries.reserve(m_rows.rows().size());
    for (const UncollectedModel::Row& row : m_rows.rows())
        entries.append({row.title, row.startVolume, row.missing});
    if (entries.isEmpty()) {
        m_dialogs.messageBox(QStringLiteral("未収集の巻はありません。"), Dialogs::OkOnly + Dialogs::Information,
                             QStringLiteral("スマホで見る"));
        return;
    }
    if (m_window)
        m_window->close();
    {
        const WaitCursor wait;
        m_window = new QrListWindow(qrlist::split(qrlist::lines(entries)), m_dialogs, m_printer(), m_panel);
    }
    m_window->setWindowFlag(Qt::Window);
    m_window->setAttribute(Qt::WA_DeleteOnClose);
    m_window->show();
    m_window->raise();
    m_window->activateWindow();
}
