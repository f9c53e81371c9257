#include "MaintenanceBench.h"

#include "BenchHost.h"
#include "IoFloor.h"
#include "SyntheticCollection.h"
#include "SyntheticRecords.h"
#include "maintenance/DisplayOrderModel.h"
#include "maintenance/widgets/MaintenancePanel.h"
#include "store/CollectionStore.h"
#include "store/Cp932.h"
#include "ui/logic/AppState.h"

#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QListView>
#include <QSet>
#include <QTemporaryDir>

#include <unistd.h>

namespace {

constexpr int MaxDestructiveRuns = 3;

// Puts every file written so far on disk, so that a step that flushes the file system pays for its own files
// only, not for the thousands the benchmark has just put back or prepared.
void settle()
{
    ::sync();
}

// Every file of a folder, to put it back after a step that changes it.
class FolderSnapshot final {
public:
    explicit FolderSnapshot(const QString& folder) : m_folder(folder)
    {
        QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System);
        while (it.hasNext()) {
            it.next();
            QFile file(it.filePath());
            if (file.open(QIODevice::ReadOnly))
                m_files.insert(it.fileName(), file.readAll());
        }
    }
    // Deletes every file and writes back what was there. Files are made afresh rather than truncated and
    // rewritten, which ext4 would put on disk one by one.
    void restore() const
    {
        QDirIterator it(m_folder, QDir::Files | QDir::Hidden | QDir::System);
        while (it.hasNext()) {
            it.next();
            QFile::remove(it.filePath());
        }
        for (auto it = m_files.cbegin(); it != m_files.cend(); ++it) {
            QFile file(m_folder + QLatin1Char('/') + it.key());
            if (file.open(QIODevice::WriteOnly))
                file.write(it.value());
        }
    }
    int count() const { return int(m_files.size()); }

private:
    QString m_folder;
    QHash<QString, QByteArray> m_files;
};

// The free edition's folder: its data file of every title of the collection and one volume file each.
QString writeFreeFolder(const QString& folder, int count)
{
    QString data;
    for (int i = 1; i <= count; ++i) {
        const TitleRecord record = synthetic::record(i);
        data += QStringLiteral("\"%1\",%2,%3\r\n").arg(record.title).arg(record.volumeCount).arg(record.startVolume);
        QFile file(folder + QLatin1Char('/') + record.title + QStringLiteral(".txt"));
        if (!file.open(QIODevice::WriteOnly) || file.write(cp932::encode(synthetic::volumeFileText(i)).bytes) < 0)
            return QStringLiteral("cannot write the free edition's volume file of title %1").arg(i);
    }
    QFile file(folder + QStringLiteral("/データ.txt"));
    if (!file.open(QIODevice::WriteOnly) || file.write(cp932::encode(data).bytes) < 0)
        return QStringLiteral("cannot write the free edition's data file");
    return {};
}

// Reading the free folder's files and writing each volume file's bytes into a fresh folder, plainly: no staging
// file, no flush to disk. (Overwriting the files in place would be no floor: ext4 puts a truncated and rewritten
// file on disk when it is closed.)
double importFloorMs(const QString& freeFolder, int count, const QString& scratchTemplate)
{
    QTemporaryDir scratch(scratchTemplate);
    return timing::measureMs([&] {
        QFile data(freeFolder + QStringLiteral("/データ.txt"));
        if (data.open(QIODevice::ReadOnly))
            data.readAll();
        for (int i = 1; i <= count; ++i) {
            const QString title = synthetic::record(i).title;
            QFile source(freeFolder + QLatin1Char('/') + title + QStringLiteral(".txt"));
            if (!source.open(QIODevice::ReadOnly))
                continue;
            QFile target(scratch.path() + QLatin1Char('/') + title + CollectionStore::VolumeSuffix);
            if (target.open(QIODevice::WriteOnly))
                target.write(source.readAll());
        }
    });
}

// Listing the folder and deleting the same title files that clearing deletes.
double clearFloorMs(const QString& folder, const TitleTable& titles)
{
    return timing::measureMs([&] {
        QSet<QString> wanted;
        for (const TitleRecord& record : titles.records())
            for (const QString& name : CollectionStore::titleFileNames(record.title))
                wanted.insert(name.toCaseFolded());
        QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System);
        while (it.hasNext()) {
            it.next();
            if (wanted.contains(it.fileName().toCaseFolded()))
                QFile::remove(it.filePath());
        }
    });
}

} // namespace

MaintenanceResults measureMaintenance(const SyntheticCollection& collection, int runs)
{
    MaintenanceResults results;
    const int count = collection.titleCount();
    const FolderSnapshot snapshot(collection.path());
    AppState state(collection.path());
    bench::BenchDialogs dialogs;
    // Made after the boxes, so that the panel in its window goes before them.
    bench::PanelHost host(&state);
    results.error = host.loadWhole(count);
    if (!results.error.isEmpty())
        return results;
    dialogs.questionAnswer = Dialogs::Yes;
    auto* panel = new MaintenancePanel(state, dialogs, host, host.window());
    host.showInWindow(panel);
    auto* list = panel->findChild<QListView*>(QStringLiteral("lstBicho"));

    timing::Samples open(QStringLiteral("maint_open"));
    timing::Samples drag(QStringLiteral("maint_drag"));
    timing::Samples apply(QStringLiteral("maint_apply"));
    timing::Samples clear(QStringLiteral("maint_clear"));
    timing::Samples imports(QStringLiteral("maint_import"));
    const QString collectionPath = collection.path() + QLatin1Char('/') + CollectionStore::CollectionFileName;

    for (int run = 0; run < runs && results.error.isEmpty(); ++run) {
        open.add(timing::measureMs([&] {
                     panel->cmdMaster_Click();
                     bench::repaint();
                 }),
                 0);
        if (panel->orderModel().rowCount() != count) {
            results.error =
                QStringLiteral("the list shows %1 titles of %2").arg(panel->orderModel().rowCount()).arg(count);
            break;
        }
        // A drag between two entries in view, somewhere in the middle of the list.
        const int top = (run * 7919 + count / 2) % (count - 12);
        list->scrollTo(list->model()->index(top, 0), QAbstractItemView::PositionAtTop);
        bench::repaint();
        const QPoint from = list->visualRect(list->model()->index(top + 8, 0)).center();
        const QPoint to = list->visualRect(list->model()->index(top + 2, 0)).center();
        const QString dragged = list->model()->index(top + 8, 0).data().toString();
        QWidget* viewport = list->viewport();
        drag.add(timing::measureMs([&] {
                     bench::sendMouse(viewport, QEvent::MouseButtonPress, from, Qt::LeftButton);
                     bench::sendMouse(viewport, QEvent::MouseMove, (from + to) / 2, Qt::LeftButton);
                     bench::sendMouse(viewport, QEvent::MouseMove, to, Qt::LeftButton);
                     bench::sendMouse(viewport, QEvent::MouseButtonRelease, to, Qt::NoButton);
                     bench::repaint();
                 }),
                 0);
        if (list->model()->index(top + 2, 0).data().toString() != dragged || !panel->orderUnsaved()) {
            results.error = QStringLiteral("the drag did not move 「%1」").arg(dragged);
            break;
        }

        const int boxes = dialogs.boxes();
        const double ms = timing::measureMs([&] {
            panel->cmdSortCng2_Click();
            bench::repaint();
        });
        const double floor = iofloor::readFolderMs(collection.path()) +
                             iofloor::readFilesMs(collection.path(), {CollectionStore::CollectionFileName}) +
                             bench::atomicWriteMs(collectionPath, bench::readAll(collectionPath));
        apply.add(ms, floor);
        if (dialogs.boxes() != boxes + 2 || state.titles.count() != count ||
            state.titles.at(top + 3).title != dragged) {
            results.error = QStringLiteral("the order was not applied: ") + dialogs.lastText();
            break;
        }
    }

    const int destructiveRuns = std::min(runs, MaxDestructiveRuns);
    for (int run = 0; run < destructiveRuns && results.error.isEmpty(); ++run) {
        settle();
        const double deleting = clearFloorMs(collection.path(), state.titles);
        snapshot.restore();
        // Files put back behind the program's back are read again, as a user would reopen the collection.
        state.store.forgetReads();
        results.error = host.loadWhole(count);
        if (!results.error.isEmpty())
            break;
        settle();
        const double floor = iofloor::readFolderMs(collection.path()) + deleting;
        const int ends = host.ends;
        clear.add(timing::measureMs([&] {
                      panel->cmdAllDel_Click();
                      bench::repaint();
                  }),
                  floor);
        const qint64 left = QFileInfo(collectionPath).size();
        const QString volumeFile = state.titles.at(count / 2).title + CollectionStore::VolumeSuffix;
        if (host.ends != ends + 1 || left != 0 || QFile::exists(collection.path() + QLatin1Char('/') + volumeFile)) {
            results.error = QStringLiteral("clearing left the collection: ") + dialogs.lastText();
            break;
        }
        snapshot.restore();
        state.store.forgetReads();
        results.error = host.loadWhole(count);
    }

    QTemporaryDir free(collection.scratchTemplate());
    if (results.error.isEmpty())
        results.error = writeFreeFolder(free.path(), count);
    if (results.error.isEmpty())
        panel->findChild<QObject*>(QStringLiteral("dirCom"))->setProperty("path", free.path());
    for (int run = 0; run < destructiveRuns && results.error.isEmpty(); ++run) {
        settle();
        const double floor =
            iofloor::readFolderMs(collection.path()) + importFloorMs(free.path(), count, collection.scratchTemplate());
        settle();
        const int ends = host.ends;
        imports.add(timing::measureMs([&] {
                        panel->cmdCmGetIn_Click();
                        bench::repaint();
                    }),
                    floor);
        CollectionStore check(collection.path());
        const CollectionStore::Load load = check.loadCollection();
        if (host.ends != ends + 1 || load.table.count() != count || load.table.at(count).author != "未登録") {
            results.error = QStringLiteral("the import did not convert every title: ") + dialogs.lastText();
            break;
        }
    }
    snapshot.restore();

    for (const timing::Samples* samples : {&open, &drag, &apply, &clear, &imports})
        results.measurements.append(samples->result());
    return results;
}
