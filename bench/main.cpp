// Start-up, page-change, status-list, sort and search timings over a synthetic collection; see "Benchmark" in
// README.md.

#include "BackupBench.h"
#include "GalleryBench.h"
#include "ListBench.h"
#include "MaintenanceBench.h"
#include "PageBench.h"
#include "RankBench.h"
#include "SortSearchBench.h"
#include "StartupBench.h"
#include "SyntheticCollection.h"
#include "Timing.h"
#include "store/Cp932.h"
#include "store/TitleTable.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QThread>
#include <cmath>
#include <cstdio>

namespace {

constexpr int PageChanges = 200;
constexpr int ListToggles = 100;

void print(const QString& line)
{
    std::fputs(qUtf8Printable(line + QLatin1Char('\n')), stdout);
    std::fflush(stdout);
}

void progress(const QString& line)
{
    std::fputs(qUtf8Printable(line + QLatin1Char('\n')), stderr);
}

// Builds the folder, reporting how long that took; nullptr after printing the reason when it failed.
std::unique_ptr<SyntheticCollection> makeCollection(int titles)
{
    progress(QStringLiteral("building a synthetic collection of %1 titles...").arg(titles));
    QElapsedTimer timer;
    timer.start();
    auto collection = std::make_unique<SyntheticCollection>(titles);
    if (!collection->error().isEmpty()) {
        progress(QStringLiteral("error: ") + collection->error());
        return nullptr;
    }
    progress(QStringLiteral("  written in %1 s").arg(timer.elapsed() / 1000.0, 0, 'f', 1));
    return collection;
}

void printHeader(int titles, int runs)
{
    print(QStringLiteral("# tanamiru_bench titles=%1 runs=%2 page_changes=%3 cores=%4 platform=%5")
              .arg(titles)
              .arg(runs)
              .arg(PageChanges)
              .arg(QThread::idealThreadCount())
              .arg(QGuiApplication::platformName()));
    print(timing::columnsLine());
}

int runTable(int titles, int runs)
{
    const auto collection = makeCollection(titles);
    if (!collection)
        return 1;
    printHeader(titles, runs);

    const StartupResults startup = measureStartup(*collection, runs);
    if (!startup.error.isEmpty()) {
        progress(QStringLiteral("error: ") + startup.error);
        return 1;
    }
    for (const timing::Measurement& m : startup.measurements)
        print(timing::formatLine(m));

    const PageResults pages = measurePageChanges(*collection, PageChanges);
    if (!pages.error.isEmpty()) {
        progress(QStringLiteral("error: ") + pages.error);
        return 1;
    }
    for (const timing::Measurement& m : pages.measurements)
        print(timing::formatLine(m));

    const ListResults lists = measureLists(*collection, runs, ListToggles);
    if (!lists.error.isEmpty()) {
        progress(QStringLiteral("error: ") + lists.error);
        return 1;
    }
    for (const timing::Measurement& m : lists.measurements)
        print(timing::formatLine(m));

    // Last, because "メインに反映" leaves the collection file in another order.
    const SortSearchResults sortSearch = measureSortSearch(*collection, runs);
    if (!sortSearch.error.isEmpty()) {
        progress(QStringLiteral("error: ") + sortSearch.error);
        return 1;
    }
    for (const timing::Measurement& m : sortSearch.measurements)
        print(timing::formatLine(m));

    // The maintenance panel puts the folder back as it found it after clearing and importing.
    const MaintenanceResults maintenance = measureMaintenance(*collection, runs);
    if (!maintenance.error.isEmpty()) {
        progress(QStringLiteral("error: ") + maintenance.error);
        return 1;
    }
    for (const timing::Measurement& m : maintenance.measurements)
        print(timing::formatLine(m));

    const GalleryResults gallery = measureGallery(runs);
    if (!gallery.error.isEmpty()) {
        progress(QStringLiteral("error: ") + gallery.error);
        return 1;
    }
    for (const timing::Measurement& m : gallery.measurements)
        print(timing::formatLine(m));

    const RankResults rankings = measureRankings(*collection, runs);
    if (!rankings.error.isEmpty()) {
        progress(QStringLiteral("error: ") + rankings.error);
        return 1;
    }
    for (const timing::Measurement& m : rankings.measurements)
        print(timing::formatLine(m));

    const BackupResults backups = measureBackups(*collection, runs);
    if (!backups.error.isEmpty()) {
        progress(QStringLiteral("error: ") + backups.error);
        return 1;
    }
    for (const timing::Measurement& m : backups.measurements)
        print(timing::formatLine(m));

    print(QStringLiteral("# first start-up of the process (fonts, plugins, locale data included): %1 ms")
              .arg(startup.firstRunMs, 0, 'f', 3));
    print(QStringLiteral("# page changes: %1, of which %2 show a cover of their own")
              .arg(pages.pages)
              .arg(pages.coverPages));
    print(QStringLiteral("# list toggles: %1 (each volume toggled and toggled back)").arg(lists.toggles));
    print(QStringLiteral("# gallery: the same 21 covers decoded at full size and then shrunk: %1 ms")
              .arg(gallery.fullDecodeMs, 0, 'f', 3));
    return 0;
}

// Start-up at a quarter, half and all of the titles; a step whose time more than doubles when the titles
// double grows faster than linearly.
int runScaling(int titles, int runs)
{
    const QList<int> sizes = {titles / 4, titles / 2, titles};
    if (sizes.first() < 1) {
        progress(QStringLiteral("error: --scaling needs at least 4 titles"));
        return 1;
    }
    print(QStringLiteral("# tanamiru_bench --scaling titles=%1/%2/%3 runs=%4 cores=%5 platform=%6")
              .arg(sizes[0])
              .arg(sizes[1])
              .arg(sizes[2])
              .arg(runs)
              .arg(QThread::idealThreadCount())
              .arg(QGuiApplication::platformName()));
    print(timing::columnsLine());

    QList<QList<timing::Measurement>> bySize;
    for (const int size : sizes) {
        const auto collection = makeCollection(size);
        if (!collection)
            return 1;
        const StartupResults startup = measureStartup(*collection, runs);
        if (!startup.error.isEmpty()) {
            progress(QStringLiteral("error: ") + startup.error);
            return 1;
        }
        const ListResults lists = measureLists(*collection, runs, ListToggles);
        if (!lists.error.isEmpty()) {
            progress(QStringLiteral("error: ") + lists.error);
            return 1;
        }
        const SortSearchResults sortSearch = measureSortSearch(*collection, runs);
        if (!sortSearch.error.isEmpty()) {
            progress(QStringLiteral("error: ") + sortSearch.error);
            return 1;
        }
        const MaintenanceResults maintenance = measureMaintenance(*collection, runs);
        if (!maintenance.error.isEmpty()) {
            progress(QStringLiteral("error: ") + maintenance.error);
            return 1;
        }
        const RankResults rankings = measureRankings(*collection, runs);
        if (!rankings.error.isEmpty()) {
            progress(QStringLiteral("error: ") + rankings.error);
            return 1;
        }
        QList<timing::Measurement> measurements = startup.measurements + lists.measurements + sortSearch.measurements +
                                                  maintenance.measurements + rankings.measurements;
        for (timing::Measurement m : measurements) {
            m.name += QLatin1Char('@') + QString::number(size);
            print(timing::formatLine(m));
        }
        bySize.append(measurements);
    }

    // growth = time ratio between two sizes; exponent = log(time ratio) / log(size ratio): 1 linear, 2 quadratic.
    print(QStringLiteral("# growth  name  %1->%2  %2->%3  (time ratio, exponent; linear is exponent 1.00)")
              .arg(sizes[0])
              .arg(sizes[1])
              .arg(sizes[2]));
    for (qsizetype k = 0; k < bySize.first().size(); ++k) {
        QString line = QStringLiteral("# growth  %1").arg(bySize.first()[k].name, -26);
        for (qsizetype s = 1; s < sizes.size(); ++s) {
            const double before = bySize[s - 1][k].medianMs;
            const double after = bySize[s][k].medianMs;
            const double timeRatio = before > 0 ? after / before : 0;
            const double sizeRatio = double(sizes[s]) / sizes[s - 1];
            const double exponent = timeRatio > 0 ? std::log(timeRatio) / std::log(sizeRatio) : 0;
            line += QStringLiteral("  x%1 (%2)").arg(timeRatio, 0, 'f', 2).arg(exponent, 0, 'f', 2);
        }
        print(line);
    }
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("tanamiru_bench"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Times start-up, page changes, the status list, sorting and searching over a synthetic collection."));
    parser.addHelpOption();
    const QCommandLineOption titlesOption(QStringLiteral("titles"), QStringLiteral("Titles in the collection."),
                                          QStringLiteral("N"), QString::number(TitleTable::MaxTitles));
    const QCommandLineOption runsOption(QStringLiteral("runs"), QStringLiteral("Runs per measurement."),
                                        QStringLiteral("R"), QStringLiteral("7"));
    const QCommandLineOption scalingOption(
        QStringLiteral("scaling"),
        QStringLiteral("Time the start-up, the status list, sorting and searching at N/4, N/2 and N titles instead."));
    parser.addOptions({titlesOption, runsOption, scalingOption});
    parser.process(app);

    bool titlesOk = false;
    bool runsOk = false;
    const int titles = parser.value(titlesOption).toInt(&titlesOk);
    const int runs = parser.value(runsOption).toInt(&runsOk);
    // More titles than the table holds would make the collection file damaged, not large.
    if (!titlesOk || titles < 2 || titles > TitleTable::MaxTitles) {
        progress(QStringLiteral("error: --titles must be 2 to %1").arg(TitleTable::MaxTitles));
        return 2;
    }
    if (!runsOk || runs < 1) {
        progress(QStringLiteral("error: --runs must be at least 1"));
        return 2;
    }
    if (!cp932::isAvailable()) {
        progress(QStringLiteral("error: this Qt has no code page 932 converter"));
        return 1;
    }
    return parser.isSet(scalingOption) ? runScaling(titles, runs) : runTable(titles, runs);
}
