#include "StartupBench.h"

#include "BenchHost.h"
#include "IoFloor.h"
#include "SyntheticCollection.h"
#include "app/MainWindow.h"
#include "store/CollectionFile.h"
#include "store/CollectionStore.h"
#include "store/Cp932.h"
#include "store/DataFolder.h"
#include "store/SelectionLists.h"

#include <memory>

namespace {

// Returns an empty string when the window shows what the folder holds.
QString checkStarted(MainWindow& window, const bench::BenchDialogs& dialogs, const SyntheticCollection& collection)
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

        bench::BenchDialogs dialogs;
        auto window = std::make_unique<bench::WindowInFolder>(folder, dialogs);
        const double shown = window->shownMs();
        results.error = checkStarted(window->window(), dialogs, collection);
        if (run == 0)
            results.firstRunMs = shown;
        startup.add(shown, startupFloor);
        construct.add(window->constructedMs(), startupFloor);
        firstShow.add(shown - window->constructedMs(), 0);
        reload.add(timing::measureMs([&] { window->window().LoadTitleTable(); }), collectionFloor);
        window.reset();

        folderIndex.add(timing::measureMs([&] { DataFolder index(folder); }), iofloor::listFolderMs(folder));

        const QByteArray bytes = bench::readAll(collectionPath);
        decode.add(timing::measureMs([&] { cp932::decode(bytes); }), collectionFloor);

        CollectionStore store(folder);
        CollectionStore::Load loaded;
        load.add(timing::measureMs([&] { loaded = store.loadCollection(); }), collectionFloor);
        // The window keeps the lists it builds: their release is not part of building them.
        SelectionLists built;
        lists.add(timing::measureMs([&] { built = buildSelectionLists(loaded.table); }), collectionFloor);
    }

    for (const timing::Samples* samples :
         {&startup, &construct, &firstShow, &reload, &folderIndex, &decode, &load, &lists})
        results.measurements.append(samples->result());
    return results;
}
