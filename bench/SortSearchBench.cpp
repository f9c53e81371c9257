#include "SortSearchBench.h"

#include "BenchHost.h"
#include "IoFloor.h"
#include "SyntheticCollection.h"
#include "app/MainWindow.h"
#include "lists/SearchList.h"
#include "lists/SortModel.h"
#include "lists/widgets/SearchPanel.h"
#include "lists/widgets/SortPanel.h"
#include "store/CollectionStore.h"
#include "ui/logic/AppState.h"

#include <QLineEdit>
#include <QListView>

SortSearchResults measureSortSearch(const SyntheticCollection& collection, int runs)
{
    SortSearchResults results;
    const int count = collection.titleCount();
    bench::BenchDialogs dialogs;
    const bench::WindowInFolder started(collection.path(), dialogs);
    MainWindow& window = started.window();
    AppState& state = window.state();
    auto* sortPanel = window.findChild<SortPanel*>(QStringLiteral("fraIchiran"));
    auto* searchPanel = window.findChild<SearchPanel*>(QStringLiteral("fraKensaku"));
    if (!sortPanel || !searchPanel || state.titles.count() != count) {
        results.error = QStringLiteral("the window has no sort or search screen, or not the whole collection");
        return results;
    }

    timing::Samples open(QStringLiteral("sort_open"));
    timing::Samples byTitle(QStringLiteral("sort_by_title"));
    timing::Samples byVolumes(QStringLiteral("sort_by_volumes"));
    timing::Samples byAuthor(QStringLiteral("sort_by_author"));
    timing::Samples reflect(QStringLiteral("sort_reflect"));
    timing::Samples searchOpen(QStringLiteral("search_open"));
    timing::Samples keyword(QStringLiteral("search_keyword"));
    timing::Samples author(QStringLiteral("search_author"));

    const QString collectionPath = collection.path() + QLatin1Char('/') + CollectionStore::CollectionFileName;
    auto* txtNamae = searchPanel->findChild<QLineEdit*>(QStringLiteral("txtNamae"));
    auto* lstSakusya = searchPanel->findChild<QListView*>(QStringLiteral("lstSakusya"));
    for (int run = 0; run < runs && results.error.isEmpty(); ++run) {
        // Every sort is the first by its column after a fill, so each pays for its sort keys.
        const auto openSort = [&] {
            state.stale.SortListStale = true;
            window.HidePanels();
            return timing::measureMs([&] {
                sortPanel->cmdIchiran_Click();
                bench::repaint();
            });
        };
        open.add(openSort(), 0);
        if (sortPanel->model().rowCount() != count) {
            results.error =
                QStringLiteral("the sort screen shows %1 titles of %2").arg(sortPanel->model().rowCount()).arg(count);
            break;
        }
        byTitle.add(timing::measureMs([&] {
                        sortPanel->cmdSort1_Click();
                        bench::repaint();
                    }),
                    0);
        openSort();
        byVolumes.add(timing::measureMs([&] {
                          sortPanel->msgIchiran_Click(1, sortlist::VolumeColumn);
                          bench::repaint();
                      }),
                      0);
        openSort();
        byAuthor.add(timing::measureMs([&] {
                         sortPanel->msgIchiran_Click(1, sortlist::AuthorColumn);
                         bench::repaint();
                     }),
                     0);

        const int boxesBefore = dialogs.boxes();
        const double ms = timing::measureMs([&] {
            sortPanel->cmdSortCng1_Click();
            bench::repaint();
        });
        const double floor = iofloor::readFolderMs(collection.path()) +
                             iofloor::readFilesMs(collection.path(), {CollectionStore::CollectionFileName}) +
                             bench::atomicWriteMs(collectionPath, bench::readAll(collectionPath));
        reflect.add(ms, floor);
        if (dialogs.boxes() != boxesBefore + 2 || state.titles.count() != count ||
            state.titles.at(1).title != sortPanel->model().cellText(1, sortlist::TitleColumn)) {
            results.error =
                QStringLiteral("メインに反映 did not rewrite the collection in the shown order: ") + dialogs.lastText();
            break;
        }

        state.stale.SearchListStale = true;
        window.HidePanels();
        searchOpen.add(timing::measureMs([&] {
                           searchPanel->cmdKensaku_Click();
                           bench::repaint();
                       }),
                       0);
        // A keyword found in one title in sixteen.
        txtNamae->setText(QStringLiteral("魔法"));
        keyword.add(timing::measureMs([&] {
                        qint16 key = 13;
                        searchPanel->txtNamae_KeyPress(key);
                        bench::repaint();
                    }),
                    0);
        if (searchPanel->results().size() < count / 20) {
            results.error = QStringLiteral("the keyword search found %1 titles").arg(searchPanel->results().size());
            break;
        }
        const int authors = lstSakusya->model()->rowCount();
        int row = (run * 7919 + authors / 2) % authors;
        if (row == lstSakusya->currentIndex().row())
            row = (row + 1) % authors;
        const QModelIndex entry = lstSakusya->model()->index(row, 0);
        author.add(timing::measureMs([&] {
                       lstSakusya->setCurrentIndex(entry);
                       bench::repaint();
                   }),
                   0);
        if (searchPanel->results().size() != 1) {
            results.error = QStringLiteral("the author search found %1 titles").arg(searchPanel->results().size());
            break;
        }
    }
    for (const timing::Samples* samples :
         {&open, &byTitle, &byVolumes, &byAuthor, &reflect, &searchOpen, &keyword, &author})
        results.measurements.append(samples->result());
    return results;
}
