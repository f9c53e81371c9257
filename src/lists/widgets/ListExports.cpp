#include "lists/widgets/ListExports.h"

#include "lists/Exports.h"
#include "lists/ListModels.h"
#include "lists/widgets/SystemListPrinter.h"
#include "ui/Dialogs.h"
#include "ui/ScreenHost.h"
#include "ui/WaitCursor.h"
#include "ui/logic/AppState.h"

namespace {

constexpr int Confirm = Dialogs::YesNo + Dialogs::Question;
const QString SavedTitle = QStringLiteral("保存終了");

} // namespace

ListExports::ListExports(AppState& state, Dialogs& dialogs, ScreenHost& host, const StatusListModel& grid,
                         QObject* parent)
    : QObject(parent), m_state(state), m_dialogs(dialogs), m_host(host), m_grid(grid),
      m_printer(std::make_unique<SystemListPrinter>()), m_today([] { return QDate::currentDate(); })
{
}

ListExports::~ListExports() = default;

void ListExports::setPrinter(std::unique_ptr<ListPrinter> printer)
{
    m_printer = printer ? std::move(printer) : std::make_unique<SystemListPrinter>();
}

void ListExports::setToday(std::function<QDate()> today)
{
    m_today = std::move(today);
}

bool ListExports::save(const std::function<QString()>& write)
{
    QString error;
    {
        // The hourglass lasts until the file is encoded and written; a failure is reported after it is gone.
        const WaitCursor wait;
        error = write();
    }
    if (error.isEmpty())
        return true;
    m_dialogs.messageBox(error, Dialogs::OkOnly + Dialogs::Exclamation, QStringLiteral("保存できません"));
    return false;
}

void ListExports::cmdHozon_Click()
{
    m_state.TourText = exports::shoppingTourText();
    m_host.ShowTourMessage();
    const bool print = m_dialogs.messageBox(QStringLiteral("未収集分のデータだけを印刷します。"), Confirm,
                                            QStringLiteral("残巻データ出力")) == Dialogs::Yes;

    QList<exports::TitleMissing> titles;
    {
        const WaitCursor wait;
        titles = exports::readMissing(m_state.store, m_state.titles);
    }
    const QDate today = m_today();
    const bool saved = save([&] {
        return exports::write(m_state.store, exports::UncollectedFileName, exports::shoppingText(today, titles));
    });
    if (!print)
        return;

    QString problem;
    {
        const WaitCursor wait;
        problem = m_printer->print(listprint::shoppingLines(today, titles));
    }
    if (problem.isEmpty())
        return;
    if (saved)
        problem += QStringLiteral("\r\n\r\n「%1」は保存しました。").arg(exports::UncollectedFileName);
    m_dialogs.messageBox(problem, Dialogs::OkOnly + Dialogs::Exclamation, QStringLiteral("印刷できません"));
}

void ListExports::cmdHozon1_Click()
{
    if (m_dialogs.messageBox(QStringLiteral("未収集分のデータを更新しますか？"), Confirm,
                             QStringLiteral("未収集データ更新確認")) != Dialogs::Yes)
        return;
    const auto write = [this] {
        return exports::write(m_state.store, exports::UncollectedFileName,
                              exports::uncollectedText(m_today(), exports::readMissing(m_state.store, m_state.titles)));
    };
    if (!save(write))
        return;
    m_dialogs.messageBox(QStringLiteral("まだ集めてない情報を <%1>として保存しました。\r\n\r\n"
                                        "データはメモ帳などで開くことができます。")
                             .arg(exports::UncollectedFileName),
                         Dialogs::OkOnly + Dialogs::Information, SavedTitle);
}

void ListExports::cmdHozon2_Click()
{
    if (m_dialogs.messageBox(QStringLiteral("収集状況データを更新しますか？"), Confirm,
                             QStringLiteral("収集状況データ更新確認")) != Dialogs::Yes)
        return;
    const auto write = [this] {
        return exports::write(m_state.store, exports::FullStatusFileName,
                              exports::fullStatusBytes(m_today(), m_grid.rows()));
    };
    if (!save(write))
        return;
    m_dialogs.messageBox(
        QStringLiteral("収集状況の全データを <%1>として保存しました。\r\n\r\n"
                       "このデータを使えばエクセルなどの表計算ソフトで収集状況一覧を作ることができます。")
            .arg(exports::FullStatusFileName),
        Dialogs::OkOnly + Dialogs::Information, SavedTitle);
}
