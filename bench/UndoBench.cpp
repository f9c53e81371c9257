#include "UndoBench.h"

#include "BenchHost.h"
#include "IoFloor.h"
#include "SyntheticCollection.h"
#include "app/MainWindow.h"
#include "editing/widgets/TitleCommands.h"
#include "store/CollectionStore.h"
#include "ui/MainPage.h"
#include "ui/QuickVolumeEntry.h"
#include "ui/UndoActions.h"
#include "ui/logic/AppState.h"

#include <QAction>
#include <QCoreApplication>
#include <QFile>
#include <QKeyEvent>

UndoResults measureUndo(const SyntheticCollection& collection, int runs)
{
    UndoResults results;
    bench::BenchDialogs dialogs;
    dialogs.questionAnswer = Dialogs::Yes;
    const bench::WindowInFolder host(collection.path(), dialogs);
    MainWindow& window = host.window();
    AppState& state = window.state();
    // A title with a cover and a memo of its own.
    const QString title = collection.title(SyntheticCollection::CoveredTitles / 2 + 1);
    const QStringList files{title + CollectionStore::VolumeSuffix, title + CollectionStore::MemoSuffix,
                            collection.coverFileName(SyntheticCollection::CoveredTitles / 2 + 1)};
    const QString folder = collection.path() + QLatin1Char('/');

    timing::Samples undo(QStringLiteral("undo_delete"));
    for (int run = 0; run < runs && results.error.isEmpty(); ++run) {
        const int index = state.titles.indexOfTitle(title);
        const int count = state.titles.count();
        QList<QByteArray> before;
        for (const QString& name : files)
            before << bench::readAll(folder + name);
        window.showMainPage(index);
        window.titleCommands()->cmdDel_Click();
        QCoreApplication::processEvents(); // the deletion's own repaint is not the undo's
        if (state.titles.count() != count - 1 || QFile::exists(folder + files.first())) {
            results.error = QStringLiteral("the title was not deleted: ") + dialogs.lastText();
            break;
        }

        const int boxes = dialogs.boxes();
        const double ms = timing::measureMs([&] {
            window.undoActions()->undoAction()->trigger();
            QCoreApplication::processEvents();
        });
        double floor = iofloor::readFilesMs(collection.path(), {CollectionStore::CollectionFileName}) +
                       bench::atomicWriteMs(folder + CollectionStore::CollectionFileName,
                                            bench::readAll(folder + CollectionStore::CollectionFileName));
        for (qsizetype i = 0; i < files.size(); ++i)
            floor += bench::atomicWriteMs(folder + files[i], before[i]);
        undo.add(ms, floor);

        bool whole = dialogs.boxes() == boxes && state.titles.count() == count &&
                     state.titles.indexOfTitle(title) == index && window.mainPage()->currentIndex() == index;
        for (qsizetype i = 0; i < files.size(); ++i)
            whole = whole && bench::readAll(folder + files[i]) == before[i];
        if (!whole)
            results.error =
                QStringLiteral("the undo did not bring back the title and its files: ") + dialogs.lastText();
    }

    // A typed list of volumes on the title's page, Enter (collected) and Shift+Enter (missing) in turn: the list
    // read, the volume file written once atomically, the undo step, one repaint.
    timing::Samples quick(QStringLiteral("quick_entry"));
    auto* entry = window.findChild<QuickVolumeEntry*>(QStringLiteral("txtQuickKan"));
    if (results.error.isEmpty() && !entry)
        results.error = QStringLiteral("no txtQuickKan");
    const QString volumeFile = folder + files.first();
    if (entry) {
        // Volume 1 collected before the first timed Shift+Enter, so that every timed entry changes the file.
        window.showMainPage(state.titles.indexOfTitle(title));
        entry->setText(QStringLiteral("1"));
        entry->enter(false);
    }
    for (int run = 0; run < runs * 2 && results.error.isEmpty(); ++run) {
        window.showMainPage(state.titles.indexOfTitle(title));
        const QByteArray before = bench::readAll(volumeFile);
        const int boxes = dialogs.boxes();
        entry->setText(QStringLiteral("1"));
        QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, run % 2 ? Qt::NoModifier : Qt::ShiftModifier);
        const double ms = timing::measureMs([&] {
            QCoreApplication::sendEvent(entry, &enter);
            QCoreApplication::processEvents();
        });
        const QByteArray after = bench::readAll(volumeFile);
        quick.add(ms,
                  iofloor::readFilesMs(collection.path(), {files.first()}) + bench::atomicWriteMs(volumeFile, after));
        if (dialogs.boxes() != boxes || after == before || !entry->text().isEmpty())
            results.error = QStringLiteral("the typed volumes were not saved: ") + dialogs.lastText();
    }
    results.measurements << undo.result() << quick.result();
    return results;
}
