#include "ui/logic/Safeguards.h"

#include "ui/Dialogs.h"
#include "ui/logic/AppState.h"

#include <QCursor>
#include <QGuiApplication>
#include <cstdio>

namespace safeguards {

namespace {

const QString BoxTitle = QStringLiteral("バックアップできません");

// The hourglass for a backup, which takes a moment on a large collection.
class Busy final {
public:
    Busy() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~Busy() { QGuiApplication::restoreOverrideCursor(); }
    Busy(const Busy&) = delete;
    Busy& operator=(const Busy&) = delete;
};

} // namespace

void beforeChange(AppState& state, Dialogs& dialogs)
{
    if (!state.backups.dailyDue())
        return;
    QString error;
    {
        const Busy busy;
        error = state.backups.takeDaily(state.titles);
    }
    if (!error.isEmpty())
        dialogs.messageBox(error + QStringLiteral("\n\n今日のバックアップはありませんが、変更は保存します。"),
                           Dialogs::OkOnly + Dialogs::Exclamation, BoxTitle);
}

bool backupBefore(AppState& state, Dialogs& dialogs, backup::Reason reason)
{
    QString error;
    {
        const Busy busy;
        error = state.backups.take(state.titles, reason);
    }
    if (error.isEmpty())
        return true;
    dialogs.messageBox(error + QStringLiteral("\n\n戻せるようにしておけないため、この操作はやめました。"
                                              "ファイルは何も変わっていません。"),
                       Dialogs::OkOnly + Dialogs::Exclamation, BoxTitle);
    return false;
}

void tellFolderHeld(Dialogs& dialogs, const QString& message)
{
    std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
    const QString platform = QGuiApplication::platformName();
    if (platform != u"offscreen" && platform != u"minimal")
        dialogs.messageBox(message, Dialogs::OkOnly + Dialogs::Critical, QStringLiteral("タナミルＰｒｏ"));
}

bool askTakeOver(Dialogs& dialogs, const QString& message)
{
    return dialogs.messageBox(message, Dialogs::YesNo + Dialogs::Exclamation + Dialogs::DefaultButton2,
                              QStringLiteral("タナミルＰｒｏ")) == Dialogs::Yes;
}

} // namespace safeguards
