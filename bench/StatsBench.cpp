#include "StatsBench.h"

#include "BenchHost.h"
#include "IoFloor.h"
#include "SyntheticCollection.h"
#include "app/MainWindow.h"
#include "lists/widgets/StatisticsPanel.h"
#include "lists/widgets/StatusListPanel.h"
#include "store/CollectionStore.h"

#include <memory>

StatsResults measureStatistics(const SyntheticCollection& collection, int runs)
{
    StatsResults results;
    const QString folder = collection.path();
    QStringList volumes;
    for (int i = 1; i <= collection.titleCount(); ++i)
        volumes << collection.title(i) + CollectionStore::VolumeSuffix;

    timing::Samples open(QStringLiteral("stats_open"));
    timing::Samples cold(QStringLiteral("stats_open_cold"));
    bench::BenchDialogs dialogs;
    const auto opened = [&](const bench::WindowInFolder& window) {
        auto* panel = window->findChild<StatisticsPanel*>(QStringLiteral("fraToukei"));
        if (!panel || !panel->isVisible() || panel->counts().totals.records != collection.titleCount())
            results.error = QStringLiteral("the statistics screen does not count every title");
    };
    for (int run = 0; run < runs && results.error.isEmpty(); ++run) {
        {
            const bench::WindowInFolder window(folder, dialogs);
            window->findChild<StatusListPanel*>(QStringLiteral("fraList"))->cmdList_Click();
            bench::repaint();
            open.add(timing::measureMs([&] {
                         window->showStatistics();
                         bench::repaint();
                     }),
                     0);
            opened(window);
        }
        {
            const bench::WindowInFolder window(folder, dialogs);
            const double floor = iofloor::readFilesMs(folder, volumes);
            cold.add(timing::measureMs([&] {
                         window->showStatistics();
                         bench::repaint();
                     }),
                     floor);
            opened(window);
        }
    }
    if (results.error.isEmpty() && dialogs.boxes() != 0)
        results.error = QStringLiteral("the statistics screen showed a box: ") + dialogs.lastText();
    results.measurements = {open.result(), cold.result()};
    return results;
}
