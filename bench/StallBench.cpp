#include "StallBench.h"

#include "BenchHost.h"
#include "SyntheticCollection.h"
#include "app/MainWindow.h"
#include "ui/MainPage.h"
#include "ui/logic/AppState.h"

namespace {

// How long after a step the window is watched; a folder listed or watched behind the user's back shows within it.
constexpr int WatchMs = 4000;

} // namespace

timing::Results measureStalls(const SyntheticCollection& collection, int runs)
{
    timing::Results results;
    timing::Samples afterStartup(QStringLiteral("stall_after_startup"));
    timing::Samples afterSave(QStringLiteral("stall_after_save"));
    for (int run = 0; run < runs && results.error.isEmpty(); ++run) {
        bench::BenchDialogs dialogs;
        const bench::WindowInFolder window(collection.path(), dialogs);
        afterStartup.add(timing::longestEventLoopGapMs(WatchMs), 0);

        MainPage* page = window->mainPage();
        const QString volumeFile = collection.path() + QLatin1Char('/') + window->state().VolumeFilePath;
        const QByteArray before = bench::readAll(volumeFile);
        page->lblKan_Click(1);
        if (bench::readAll(volumeFile) == before) {
            results.error = QStringLiteral("a click on volume 1 did not save title 1's volume file");
            break;
        }
        afterSave.add(timing::longestEventLoopGapMs(WatchMs), 0);
        page->lblKan_Click(1);
        if (dialogs.boxes() > 0)
            results.error = QStringLiteral("the window showed a box: ") + dialogs.lastText();
    }
    results.measurements = {afterStartup.result(), afterSave.result()};
    return results;
}
