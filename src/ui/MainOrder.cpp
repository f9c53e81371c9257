#include "ui/MainOrder.h"

#include "history/OrderChange.h"

#include "ui/CollectionLock.h"
#include "ui/Dialogs.h"
#include "ui/ScreenHost.h"
#include "ui/WaitCursor.h"
#include "ui/logic/AppState.h"
#include "ui/logic/Safeguards.h"

namespace mainorder {

bool apply(AppState& state, Dialogs& dialogs, ScreenHost& host, const QString& lockedWords, const QString& question,
           const QString& undoText, backup::Reason backupReason, const std::function<recordorder::Result()>& reorder,
           const std::function<void(const recordorder::Result&, const QString& problem)>& written)
{
    if (refusedWhileLocked(state.store, dialogs, lockedWords, QStringLiteral("保存できません")))
        return false;
    if (dialogs.messageBox(question + QStringLiteral("\r\n\r\n良かったらＯＫボタンを押してください"),
                           Dialogs::OkCancel + Dialogs::Exclamation,
                           QStringLiteral("メイン並び替え確認")) != Dialogs::Ok)
        return false;
    if (!safeguards::backupBefore(state, dialogs, backupReason))
        return false;

    QString error;
    QString problem;
    {
        const WaitCursor busy;
        const recordorder::Result order = reorder();
        error = state.history.perform(std::make_unique<OrderChange>(state.changes, order.from, undoText)).error;
        if (error.isEmpty()) {
            problem = host.LoadTitleTable();
            written(order, problem);
        }
    }
    if (!error.isEmpty()) {
        // The file, the table and the screen's list are all as they were.
        dialogs.messageBox(error + QStringLiteral("\r\n\r\nメインの順番は変わっていません。"),
                           Dialogs::OkOnly + Dialogs::Exclamation, QStringLiteral("保存できません"));
        return false;
    }
    if (!problem.isEmpty())
        dialogs.messageBox(problem, Dialogs::OkOnly + Dialogs::Exclamation, QStringLiteral("データファイルの異常"));
    return true;
}

void reportDone(AppState& state, Dialogs& dialogs)
{
    state.GalleryBuilt = false;
    state.stale.StatusGridStale = true;
    dialogs.messageBox(QStringLiteral("並び替えた順番をメインの順番に反映させました。"),
                       Dialogs::OkOnly + Dialogs::Information, QStringLiteral("並び替え完了"));
}

} // namespace mainorder
