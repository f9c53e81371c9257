#include "StallBench.h"

#include "BenchHost.h"
#include "SyntheticCollection.h"
#include "app/MainWindow.h"
#include "ui/MainPage.h"
#include "ui/logic/AppState.h"

#include <QFile>

namespace {

// How long after a step the window is watched; a folder listed or watched behind the user's back shows within it.
constexpr int WatchMs = 4000;

// A field of /proc/self/status in MiB ("VmRSS", "VmHWM"), or 0 where there is none.
double statusMiB(const QByteArray& field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith(field + ':'))
            return line.mid(field.size() + 1).trimmed().split(' ').first().toDouble() / 1024.0;
    return 0;
}

} // namespace

StallResults measureStalls(const SyntheticCollection& collection, int runs)
{
    StallResults results;
    timing::Samples afterStartup(QStringLiteral("stall_after_startup"));
    timing::Samples afterSave(QStringLiteral("stall_after_save"));
    for (int run = 0; run < runs && results.error.isEmpty(); ++run) {
        bench::BenchDialogs dialogs;
        const bench::WindowInFolder window(collection.path(), dialogs);
        afterStartup.add(timing::longestEventLoopGapMs(WatchMs), 0);
        if (run == 0) {
            results.residentMiB = statusMiB("VmRSS");
            results.peakResidentMiB = statusMiB("VmHWM");
        }

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
