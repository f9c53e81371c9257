// Start-up, page-change, status-list, sort and search timings over a synthetic collection; see "Benchmark" in
// README.md.

#include "BackupBench.h"
#include "GalleryBench.h"
#include "ListBench.h"
#include "MaintenanceBench.h"
#include "PageBench.h"
#include "RamFolder.h"
#include "RankBench.h"
#include "ResidentBench.h"
#include "SortSearchBench.h"
#include "SpreadsheetBench.h"
#include "StallBench.h"
#include "StartupBench.h"
#include "StatsBench.h"
#include "SyntheticCollection.h"
#include "Timing.h"
#include "UndoBench.h"
#include "store/Cp932.h"
#include "store/TitleTable.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QThread>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <unistd.h>

namespace {

constexpr int PageChanges = 200;
constexpr int ListToggles = 100;
// Each run of the stall lines watches the window for eight seconds.
constexpr int MaxStallRuns = 3;

void print(const QString& line)
{
    std::fputs(qUtf8Printable(line + QLatin1Char('\n')), stdout);
    std::fflush(stdout);
}

void progress(const QString& line)
{
    std::fputs(qUtf8Printable(line + QLatin1Char('\n')), stderr);
}

// The lines whose floor is mostly the disk's own time, which swings from run to run on a shared machine. They run a
// second time in a folder held in memory, as "<line>_ram" with their floors measured there.
const QStringList DiskBoundLines = {"maint_import", "csv_import",  "maint_clear", "backup_take",
                                    "restore",      "maint_apply", "sort_reflect"};
const QString RamSuffix = QStringLiteral("_ram");

// Builds the folder in base, reporting how long that took; nullptr after printing the reason when it failed.
std::unique_ptr<SyntheticCollection> makeCollection(int titles, const QString& base = QDir::tempPath())
{
    progress(QStringLiteral("building a synthetic collection of %1 titles in %2...").arg(titles).arg(base));
    QElapsedTimer timer;
    timer.start();
    auto collection = std::make_unique<SyntheticCollection>(titles, base);
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

// One group of lines: the names it prints, and the work that measures them, adding its notes ("# ..." lines,
// printed after the table) on the way.
struct Group {
    QStringList lines;
    bool scaled; // also timed at each size of --scaling
    std::function<timing::Results(const SyntheticCollection&, int runs, QStringList& notes)> measure;
};

// In the order they run: sorting leaves the collection file in another order, and the maintenance panel puts
// the folder back as it found it after clearing and importing.
QList<Group> groups()
{
    const auto number = [](double ms) { return QString::number(ms, 'f', 3); };
    return {
        {{"stall_after_startup", "stall_after_save"},
         false,
         [](const SyntheticCollection& collection, int runs, QStringList&) {
             return measureStalls(collection, std::min(runs, MaxStallRuns));
         }},
        {{"resident_after_startup_mib", "resident_all_screens_mib", "resident_peak_mib"},
         false,
         [](const SyntheticCollection& collection, int, QStringList&) { return measureResident(collection); }},
        {{"startup_first_page", "window_construct", "first_show", "load_title_table", "folder_index",
          "cp932_decode_collection", "load_collection", "selection_lists"},
         true,
         [number](const SyntheticCollection& collection, int runs, QStringList& notes) -> timing::Results {
             const StartupResults results = measureStartup(collection, runs);
             notes << QStringLiteral("# first start-up of the process (fonts, plugins, locale data included): %1 ms")
                          .arg(number(results.firstRunMs));
             return results;
         }},
        {{"page_change", "page_change_with_cover", "page_change_nopic", "page_change_painted", "load_cover",
          "read_volume_file"},
         false,
         [](const SyntheticCollection& collection, int, QStringList& notes) -> timing::Results {
             const PageResults results = measurePageChanges(collection, PageChanges);
             notes << QStringLiteral("# page changes: %1, of which %2 show a cover of their own")
                          .arg(results.pages)
                          .arg(results.coverPages);
             return results;
         }},
        {{"list_first_fill", "list_toggle", "uncollected_rebuild", "export_zankan", "export_uncollected",
          "qr_first_code", "qr_codes", "web_page", "export_full_status"},
         true,
         [](const SyntheticCollection& collection, int runs, QStringList& notes) -> timing::Results {
             const ListResults results = measureLists(collection, runs, ListToggles);
             notes << QStringLiteral("# list toggles: %1 (each volume toggled and toggled back)").arg(results.toggles);
             return results;
         }},
        {{"sort_open", "sort_by_title", "sort_by_volumes", "sort_by_author", "sort_reflect", "search_open",
          "search_keyword", "search_author"},
         true,
         [](const SyntheticCollection& collection, int runs, QStringList&) {
             return measureSortSearch(collection, runs);
         }},
        {{"undo_delete", "quick_entry"},
         true,
         [](const SyntheticCollection& collection, int runs, QStringList&) -> timing::Results {
             return measureUndo(collection, runs);
         }},
        {{"backup_take", "restore", "backup_disk_twenty_mib"},
         true,
         [](const SyntheticCollection& collection, int runs, QStringList&) -> timing::Results {
             return measureBackups(collection, runs);
         }},
        {{"maint_open", "maint_drag", "maint_apply", "maint_clear", "maint_import"},
         true,
         [](const SyntheticCollection& collection, int runs, QStringList&) {
             return measureMaintenance(collection, runs);
         }},
        {{"csv_export", "csv_import"},
         false,
         [](const SyntheticCollection& collection, int runs, QStringList&) {
             return measureSpreadsheet(collection, runs);
         }},
        {{"gallery_open", "gallery_page_change", "gallery_page_change_ahead", "gallery_stall"},
         false,
         [number](const SyntheticCollection&, int runs, QStringList& notes) -> timing::Results {
             const GalleryResults results = measureGallery(runs);
             notes << QStringLiteral("# gallery: the page's 21 covers decoded one after the other on one thread: whole "
                                     "and then shrunk %1 ms (the reference), at the shown size %2 ms")
                          .arg(number(results.fullDecodeMs), number(results.shownSizeDecodeMs));
             QStringList ratios;
             for (const timing::Measurement& m : results.measurements)
                 if (m.name != QLatin1String("gallery_stall") && results.fullDecodeMs > 0)
                     ratios << QStringLiteral("%1 %2").arg(m.name).arg(m.medianMs / results.fullDecodeMs, 0, 'f', 2);
             notes << QStringLiteral("# gallery: median / reference: %1 (target: at most 0.60)")
                          .arg(ratios.join(QStringLiteral(", ")));
             return results;
         }},
        {{"stats_open", "stats_open_cold"},
         true,
         [](const SyntheticCollection& collection, int runs, QStringList&) {
             return measureStatistics(collection, runs);
         }},
        {{"rank_open", "rank_sort_by_name", "rank_sort_by_volumes", "rank_drag", "rank_save"},
         true,
         [](const SyntheticCollection& collection, int runs, QStringList&) {
             return measureRankings(collection, runs);
         }},
    };
}

// The lines --only asks for: each a line's name or the start of names ("stall", "sort_"). None: every line.
class Selection final {
public:
    explicit Selection(const QStringList& prefixes) : m_prefixes(prefixes) {}
    bool wants(const QString& line) const
    {
        if (m_prefixes.isEmpty())
            return true;
        return std::any_of(m_prefixes.cbegin(), m_prefixes.cend(),
                           [&](const QString& prefix) { return line.startsWith(prefix); });
    }
    bool wantsAny(const QStringList& lines) const
    {
        return std::any_of(lines.cbegin(), lines.cend(), [&](const QString& line) { return wants(line); });
    }

private:
    QStringList m_prefixes;
};

// Runs the wanted groups of the size's collection; false after printing the reason when one failed.
bool measureGroups(const SyntheticCollection& collection, int runs, const Selection& selection, bool scaledOnly,
                   QList<timing::Measurement>& measured, QStringList& notes)
{
    for (const Group& group : groups()) {
        if ((scaledOnly && !group.scaled) || !selection.wantsAny(group.lines))
            continue;
        const timing::Results results = group.measure(collection, runs, notes);
        if (!results.error.isEmpty()) {
            progress(QStringLiteral("error: ") + results.error);
            return false;
        }
        for (const timing::Measurement& m : results.measurements)
            if (selection.wants(m.name))
                measured.append(m);
    }
    return true;
}

// The disk-bound lines the selection asks for as "_ram" lines, over a collection of its own in the folder held in
// memory; false after printing the reason when one failed. Without such a folder a note says why they are left out.
bool measureInRam(int titles, int runs, const Selection& selection, QList<timing::Measurement>& measured,
                  QStringList& notes)
{
    QStringList wanted;
    for (const QString& line : DiskBoundLines)
        if (selection.wants(line + RamSuffix))
            wanted << line;
    if (wanted.isEmpty())
        return true;
    const ramfolder::Choice ram = ramfolder::find();
    if (ram.path.isEmpty()) {
        notes << QStringLiteral("# _ram lines left out: %1 (name a folder on tmpfs with %2)")
                     .arg(ram.reason, QLatin1String(ramfolder::EnvironmentVariable));
        return true;
    }
    // The disk lines before leave gigabytes to be written back, and the kernel's writing them would take the cores
    // these lines are measured on: they start once the disk has taken it all.
    ::sync();
    const auto collection = makeCollection(titles, ram.path);
    if (!collection)
        return false;
    QList<timing::Measurement> inRam;
    if (!measureGroups(*collection, runs, Selection(wanted), false, inRam, notes))
        return false;
    for (timing::Measurement m : std::as_const(inRam)) {
        m.name += RamSuffix;
        measured.append(m);
    }
    notes << QStringLiteral("# _ram lines: the collection and every scratch folder in ") + ram.reason;
    return true;
}

int runTable(int titles, int runs, const Selection& selection)
{
    QList<timing::Measurement> measured;
    QStringList notes;
    bool ok = true;
    const QList<Group> all = groups();
    // A run of _ram lines alone writes no collection to the disk.
    if (std::any_of(all.cbegin(), all.cend(), [&](const Group& group) { return selection.wantsAny(group.lines); })) {
        const auto collection = makeCollection(titles);
        if (!collection)
            return 1;
        printHeader(titles, runs);
        ok = measureGroups(*collection, runs, selection, false, measured, notes);
    } else {
        printHeader(titles, runs);
    }
    ok = ok && measureInRam(titles, runs, selection, measured, notes);
    for (const timing::Measurement& m : measured)
        print(timing::formatLine(m));
    for (const QString& note : notes)
        print(note);
    return ok ? 0 : 1;
}

// The scaled groups at a quarter, half and all of the titles; a step whose time more than doubles when the
// titles double grows faster than linearly.
int runScaling(int titles, int runs, const Selection& selection)
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
        QList<timing::Measurement> measurements;
        QStringList notes;
        if (!measureGroups(*collection, runs, selection, true, measurements, notes))
            return 1;
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
    const QCommandLineOption onlyOption(
        QStringLiteral("only"),
        QStringLiteral("Only the lines named, comma-separated; a name may be the start of several (stall,sort_)."),
        QStringLiteral("NAMES"));
    QCommandLineOption probeOption(ResidentProbeOption, QStringLiteral("Internal: the resident probe."),
                                   QStringLiteral("FOLDER"));
    probeOption.setFlags(QCommandLineOption::HiddenFromHelp);
    parser.addOptions({titlesOption, runsOption, scalingOption, onlyOption, probeOption});
    parser.process(app);
    if (parser.isSet(probeOption))
        return runResidentProbe(parser.value(probeOption));

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
    const Selection selection(parser.value(onlyOption).split(QLatin1Char(','), Qt::SkipEmptyParts));
    const QList<Group> all = groups();
    QStringList ramLines;
    for (const QString& line : DiskBoundLines)
        ramLines << line + RamSuffix;
    bool known = true;
    for (const QString& name : parser.value(onlyOption).split(QLatin1Char(','), Qt::SkipEmptyParts))
        known = known && (Selection({name}).wantsAny(ramLines) ||
                          std::any_of(all.cbegin(), all.cend(),
                                      [&](const Group& group) { return Selection({name}).wantsAny(group.lines); }));
    if (!known) {
        progress(QStringLiteral("error: --only names no line of the benchmark"));
        return 2;
    }
    return parser.isSet(scalingOption) ? runScaling(titles, runs, selection) : runTable(titles, runs, selection);
}
