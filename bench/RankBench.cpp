#include "RankBench.h"

#include "BenchHost.h"
#include "SyntheticCollection.h"
#include "rankings/FavouriteList.h"
#include "rankings/RankingModel.h"
#include "rankings/widgets/RankList.h"
#include "rankings/widgets/RankPanel.h"
#include "store/CollectionStore.h"
#include "ui/logic/AppState.h"

#include <QRadioButton>

RankResults measureRankings(const SyntheticCollection& collection, int runs)
{
    RankResults results;
    const int count = collection.titleCount();
    AppState state(collection.path());
    bench::BenchDialogs dialogs;
    // Made after the boxes, so that the panel in its window goes before them.
    bench::PanelHost host(&state);
    results.error = host.loadWhole(count);
    if (!results.error.isEmpty())
        return results;
    state.favourites = favourite::titlesInTableOrder(state.titles);
    const QString rankingPath = collection.path() + QLatin1Char('/') + CollectionStore::RankingFileName;
    const QByteArray rankingBefore = bench::readAll(rankingPath);

    auto* panel = new RankPanel(state, dialogs, host, host.window());
    host.showInWindow(panel);

    timing::Samples open(QStringLiteral("rank_open"));
    timing::Samples byName(QStringLiteral("rank_sort_by_name"));
    timing::Samples byVolumes(QStringLiteral("rank_sort_by_volumes"));
    timing::Samples drag(QStringLiteral("rank_drag"));
    timing::Samples save(QStringLiteral("rank_save"));

    auto* list = panel->findChild<RankList*>(QStringLiteral("lstRank"));
    auto* optSaku2 = panel->findChild<QRadioButton*>(QStringLiteral("optSaku2"));
    auto* optSaku3 = panel->findChild<QRadioButton*>(QStringLiteral("optSaku3"));
    const auto openScreen = [&] {
        host.HidePanels();
        return timing::measureMs([&] {
            panel->cmdRank_Click();
            bench::repaint();
        });
    };
    for (int run = 0; run < runs && results.error.isEmpty(); ++run) {
        open.add(openScreen(), 0);
        if (panel->authorModel().rowCount() != state.lists.authors.size() ||
            panel->magazineModel().rowCount() != state.lists.magazines.size() ||
            panel->favouriteModel().rowCount() != count || dialogs.boxes() != 0) {
            results.error = QStringLiteral("the ranking screen shows %1 authors of %2")
                                .arg(panel->authorModel().rowCount())
                                .arg(state.lists.authors.size());
            break;
        }
        byName.add(timing::measureMs([&] {
                       optSaku3->setChecked(true);
                       bench::repaint();
                   }),
                   0);
        openScreen();
        byVolumes.add(timing::measureMs([&] {
                          optSaku2->setChecked(true);
                          bench::repaint();
                      }),
                      0);

        // The top entry dragged onto the sixth, over the entries between.
        QWidget* viewport = list->viewport();
        const auto centre = [&](int row) { return list->visualRect(list->model()->index(row, 0)).center(); };
        const QString top = panel->favouriteModel().titles().first();
        drag.add(timing::measureMs([&] {
                     bench::sendMouse(viewport, QEvent::MouseButtonPress, centre(0), Qt::LeftButton);
                     for (int row = 1; row <= 5; ++row)
                         bench::sendMouse(viewport, QEvent::MouseMove, centre(row), Qt::LeftButton);
                     bench::sendMouse(viewport, QEvent::MouseButtonRelease, centre(5), Qt::NoButton);
                     bench::repaint();
                 }),
                 0);
        if (panel->favouriteModel().titles().at(4) != top || !panel->hasUnsavedOrder() ||
            state.favourites.size() != count) {
            results.error = QStringLiteral("the drag did not move the top entry above the sixth");
            break;
        }

        const double ms = timing::measureMs([&] {
            panel->cmdRankHozon_Click();
            bench::repaint();
        });
        const QByteArray written = bench::readAll(rankingPath);
        save.add(ms, timing::measureMs([&] { bench::writeAtomically(rankingPath, written); }));
        if (panel->hasUnsavedOrder() || dialogs.boxes() != 1 || written.count('\n') != count) {
            results.error = QStringLiteral("the save did not write every favourite: ") + dialogs.lastText();
            break;
        }
        dialogs.reset();
    }
    if (!bench::writeAtomically(rankingPath, rankingBefore) && results.error.isEmpty())
        results.error = QStringLiteral("the ranking file could not be put back");
    for (const timing::Samples* samples : {&open, &byName, &byVolumes, &drag, &save})
        results.measurements.append(samples->result());
    return results;
}
