#include "maintenance/widgets/BackupGroup.h"

#include "ui/Dialogs.h"
#include "ui/ScreenHost.h"
#include "ui/Twips.h"
#include "ui/WaitCursor.h"
#include "ui/logic/AppState.h"

#include <QFutureWatcher>
#include <QListView>
#include <QPushButton>
#include <QStringListModel>
#include <QTimer>
#include <QtConcurrent/QtConcurrentRun>

#ifdef __GLIBC__
#include <malloc.h>
#endif

BackupGroup::BackupGroup(AppState& state, Dialogs& dialogs, ScreenHost& host, QWidget* parent)
    : QGroupBox(QStringLiteral("バックアップ"), parent), m_state(state), m_dialogs(dialogs), m_host(host),
      m_model(new QStringListModel(this))
{
    setObjectName(QStringLiteral("fraBackup"));
    m_lstBackup = new QListView(this);
    m_lstBackup->setObjectName(QStringLiteral("lstBackup"));
    m_lstBackup->setModel(m_model);
    m_lstBackup->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_lstBackup->setSelectionMode(QAbstractItemView::SingleSelection);
    m_lstBackup->setGeometry(twips::rect(150, 300, 4350, 1950));
    m_cmdRestore = new QPushButton(QStringLiteral("このバックアップに戻す"), this);
    m_cmdRestore->setObjectName(QStringLiteral("cmdRestore"));
    m_cmdRestore->setGeometry(twips::rect(150, 2370, 4350, 495));
    connect(m_cmdRestore, &QPushButton::clicked, this, &BackupGroup::cmdRestore_Click);
}

void BackupGroup::refill()
{
    m_generations = m_state.backups.list();
    QStringList rows;
    for (const Generation& generation : std::as_const(m_generations))
        rows.append(generation.rowText());
    m_model->setStringList(rows);
    if (!rows.isEmpty())
        m_lstBackup->setCurrentIndex(m_model->index(0));
    m_cmdRestore->setEnabled(!rows.isEmpty());
    // A new round of checks; one still queued from an earlier opening stops.
    m_nextCheck = 0;
    const int round = ++m_round;
    QTimer::singleShot(0, this, [this, round] { checkNext(round); });
}

void BackupGroup::checkNext(int round)
{
    if (round != m_round || m_nextCheck >= m_generations.size())
        return;
    const qsizetype row = m_nextCheck++;
    if (!m_generations[row].damage.isEmpty()) {
        QTimer::singleShot(0, this, [this, round] { checkNext(round); });
        return;
    }
    // A generation of tens of thousands of files takes a while to check: a worker thread does it, so that the
    // window keeps answering. The check reads only the generation's own folder, named here by its path.
    const QString folderName = m_generations[row].folderName;
    auto* watcher = new QFutureWatcher<QString>(this);
    m_checking = true;
    connect(watcher, &QFutureWatcher<QString>::finished, this, [this, watcher, round, row, folderName] {
        watcher->deleteLater();
        m_checking = false;
        // Refilled since: the rows are another list, and the new round checks them itself.
        if (round != m_round)
            return;
        if (row < m_generations.size() && m_generations[row].folderName == folderName) {
            m_generations[row].damage = watcher->result();
            if (!m_generations[row].damage.isEmpty())
                showRow(int(row));
        }
        checkNext(round);
    });
    const QString folder = m_state.backups.folderPath() + QLatin1Char('/') + folderName;
    watcher->setFuture(QtConcurrent::run([folder] {
        const QString damage = Backups::checkGeneration(folder);
        // The check held the generation's list, tens of megabytes for a large collection, in this worker's own
        // heap; freed, it would stay with the process while the window runs on. It is given back here, off the
        // window's thread.
#ifdef __GLIBC__
        ::malloc_trim(0);
#endif
        return damage;
    }));
}

void BackupGroup::showRow(int row)
{
    m_model->setData(m_model->index(row), m_generations[row].rowText());
}

void BackupGroup::cmdRestore_Click()
{
    const int row = m_lstBackup->currentIndex().row();
    if (row < 0 || row >= m_generations.size())
        return;
    Generation& generation = m_generations[row];
    if (generation.damage.isEmpty())
        generation.damage = m_state.backups.check(generation.folderName);
    if (!generation.damage.isEmpty()) {
        showRow(row);
        m_dialogs.messageBox(
            QStringLiteral("このバックアップは壊れているため、戻せません。\n%1").arg(generation.damage),
            Dialogs::OkOnly + Dialogs::Exclamation, QStringLiteral("バックアップから戻せません"));
        return;
    }
    const QString when = generation.taken.toString(u"yyyy/MM/dd HH:mm:ss");
    if (m_dialogs.messageBox(QStringLiteral("%1 のバックアップ（題名 %2 件）に戻しますか？\r\n\r\n"
                                            "今の状態も、戻す前にバックアップします。\r\n"
                                            "良かったらＯＫボタンを押してください")
                                 .arg(when)
                                 .arg(generation.titleCount),
                             Dialogs::OkCancel + Dialogs::Exclamation,
                             QStringLiteral("バックアップから戻す確認")) != Dialogs::Ok)
        return;

    Backups::Restore result;
    QString problem;
    {
        const WaitCursor busy;
        result = m_state.backups.restore(generation.folderName, m_state.titles);
        // Once the present state was kept, files may have changed even when the restore failed part-way.
        if (!result.taken.isEmpty()) {
            // The steps of this run were made on files that are now replaced as a whole.
            m_state.history.clear();
            problem = m_host.LoadTitleTable();
            m_state.favourites = m_state.store.readRanking();
            m_state.stale.setAll();
            m_state.GalleryBuilt = false;
            m_state.GalleryStale = true;
        }
    }
    if (!result.taken.isEmpty()) {
        emit mainPageIndexRequested(m_state.titles.count());
        emit mainPageIndexRequested(1);
        m_host.refreshMainPage();
        emit restored();
    }
    refill();
    if (!result.error.isEmpty()) {
        m_dialogs.messageBox(result.error, Dialogs::OkOnly + Dialogs::Exclamation,
                             QStringLiteral("バックアップから戻せません"));
        return;
    }
    if (!problem.isEmpty())
        m_dialogs.messageBox(problem, Dialogs::OkOnly + Dialogs::Exclamation, QStringLiteral("データファイルの異常"));
    QString done = QStringLiteral("%1 のバックアップに戻しました。\r\n"
                                  "戻す前の状態は、一覧の一番上のバックアップから戻せます。")
                       .arg(when);
    if (!result.notDeleted.isEmpty())
        done += QStringLiteral("\r\n\r\n次のファイルは削除できませんでした。残っています：\r\n%1")
                    .arg(result.notDeleted.join(QStringLiteral("\r\n")));
    m_dialogs.messageBox(done,
                         result.notDeleted.isEmpty() ? Dialogs::OkOnly + Dialogs::Information
                                                     : Dialogs::OkOnly + Dialogs::Exclamation,
                         QStringLiteral("バックアップから戻しました"));
}
