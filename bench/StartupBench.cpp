#include "StartupBench.h"

#include "IoFloor.h"
#include "SilentDialogs.h"
#include "SyntheticCollection.h"
#include "store/CollectionFile.h"
#include "store/CollectionStore.h"
#include "store/Cp932.h"
#include "store/DataFolder.h"
#include "store/SelectionLists.h"
#include "app/MainWindow.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <memory>

namespace {

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Returns an empty string when the window shows what the folder holds.
QString checkStarted(MainWindow& window, const SilentDialogs& dialogs, const SyntheticCollection& collection)
{
    if (dialogs.boxes() > 0)
        return QStringLiteral("the start-up showed a box: ") + dialogs.lastText();
    if (window.state().titles.count() != collection.titleCount())
        return QStringLiteral("the start-up loaded %1 titles of %2")
            .arg(window.state().titles.count())
            .arg(collection.titleCount());
    return {};
}

} // namespace

StartupResults measureStartup(const SyntheticCollection& collection, int runs)
{
    StartupResults results;
    const QString folder = collection.path();
    const QString collectionPath = folder + QLatin1Char('/') + CollectionStore::CollectionFileName;
    const QString previousFolder = QDir::currentPath();
    QDir::setCurrent(folder);

    timing::Samples startup(QStringLiteral("startup_first_page"));
    timing::Samples construct(QStringLiteral("window_construct"));
    timing::Samples firstShow(QStringLiteral("first_show"));
    timing::Samples reload(QStringLiteral("load_title_table"));
    timing::Samples folderIndex(QStringLiteral("folder_index"));
    timing::Samples decode(QStringLiteral("cp932_decode_collection"));
    timing::Samples load(QStringLiteral("load_collection"));
    timing::Samples lists(QStringLiteral("selection_lists"));

    for (int run = 0; run < runs && results.error.isEmpty(); ++run) {
        const double startupFloor = iofloor::readFilesMs(folder, collection.startupFiles());
        const double collectionFloor = iofloor::readFilesMs(folder, {CollectionStore::CollectionFileName});

        SilentDialogs dialogs;
        std::unique_ptr<MainWindow> window;
        QElapsedTimer timer;
        timer.start();
        window = std::make_unique<MainWindow>(dialogs);
        const double constructed = timing::elapsedMs(timer);
        window->show();
        QCoreApplication::processEvents();
        const double shown = timing::elapsedMs(timer);
        results.error = checkStarted(*window, dialogs, collection);
        if (run == 0)
            results.firstRunMs = shown;
        startup.add(shown, startupFloor);
        construct.add(constructed, startupFloor);
        firstShow.add(shown - constructed, 0);
        reload.add(timing::measureMs([&] { window->LoadTitleTable(); }), collectionFloor);
        window.reset();

        folderIndex.add(timing::measureMs([&] { DataFolder index(folder); }), iofloor::listFolderMs(folder));

        const QByteArray bytes = readAll(collectionPath);
        decode.add(timing::measureMs([&] { cp932::decode(bytes); }), collectionFloor);

        CollectionStore store(folder);
        CollectionStore::Load loaded;
        load.add(timing::measureMs([&] { loaded = store.loadCollection(); }), collectionFloor);
        lists.add(timing::measureMs([&] { buildSelectionLists(loaded.table); }), collectionFloor);
    }

    QDir::setCurrent(previousFolder);
    for (const timing::Samples* samples :
         {&startup, &construct, &firstShow, &reload, &folderIndex, &decode, &load, &lists})
        results.measurements.append(samples->result());
    return results;
}
