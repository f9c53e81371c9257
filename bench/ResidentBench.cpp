#include "ResidentBench.h"

#include "BenchHost.h"
#include "SyntheticCollection.h"
#include "app/MainWindow.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QFile>
#include <QProcess>

#include <cstdio>

namespace {

// The screens of the button row, each opened once (the statistics screen from the ranking screen), the main
// page last.
const char* const ScreenButtons[] = {"cmdList",   "cmdIchiran", "cmdKensaku", "cmdRank",
                                     "cmdToukei", "cmdPic",     "cmdMaster",  "cmdMain"};

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

int runResidentProbe(const QString& folder)
{
    bench::BenchDialogs dialogs;
    const bench::WindowInFolder window(folder, dialogs);
    timing::longestEventLoopGapMs(1000);
    const double afterStartup = statusMiB("VmRSS");
    for (const char* name : ScreenButtons) {
        auto* button = window->findChild<QAbstractButton*>(QLatin1String(name));
        if (!button) {
            std::printf("error: no button %s\n", name);
            return 1;
        }
        button->click();
        timing::longestEventLoopGapMs(300);
    }
    if (dialogs.boxes() > 0) {
        std::printf("error: a screen showed a box: %s\n", qPrintable(dialogs.lastText()));
        return 1;
    }
    std::printf("resident %.1f %.1f %.1f\n", afterStartup, statusMiB("VmRSS"), statusMiB("VmHWM"));
    return 0;
}

timing::Results measureResident(const SyntheticCollection& collection)
{
    timing::Results results;
    QProcess probe;
    probe.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    probe.start(QCoreApplication::applicationFilePath(),
                {QLatin1String("--") + ResidentProbeOption, collection.path()});
    if (!probe.waitForFinished(300000)) {
        results.error = QStringLiteral("the resident probe did not finish");
        probe.kill();
        return results;
    }
    const QByteArray output = probe.readAllStandardOutput().trimmed();
    const QList<QByteArray> fields = output.split(' ');
    if (probe.exitCode() != 0 || fields.size() != 4 || fields[0] != "resident") {
        results.error = QStringLiteral("the resident probe failed: ") + QString::fromUtf8(output);
        return results;
    }
    results.measurements = {{QStringLiteral("resident_after_startup_mib"), fields[1].toDouble(), 0},
                            {QStringLiteral("resident_all_screens_mib"), fields[2].toDouble(), 0},
                            {QStringLiteral("resident_peak_mib"), fields[3].toDouble(), 0}};
    return results;
}
