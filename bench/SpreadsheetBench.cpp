#include "SpreadsheetBench.h"

#include "BenchHost.h"
#include "IoFloor.h"
#include "SyntheticCollection.h"
#include "app/MainWindow.h"
#include "maintenance/widgets/SpreadsheetTools.h"
#include "store/CollectionStore.h"
#include "ui/logic/AppState.h"

#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <unistd.h>

namespace {

constexpr int MaxImportRuns = 3;

// Writing bytes plainly into a fresh folder, one file each: what any import of as many titles must spend.
double plainWritesMs(const QList<std::pair<QString, QByteArray>>& files, const QString& scratchTemplate)
{
    QTemporaryDir scratch(scratchTemplate);
    return timing::measureMs([&] {
        for (const auto& [name, bytes] : files) {
            QFile file(scratch.path() + QLatin1Char('/') + name);
            if (file.open(QIODevice::WriteOnly))
                file.write(bytes);
        }
    });
}

} // namespace

timing::Results measureSpreadsheet(const SyntheticCollection& collection, int runs)
{
    timing::Results results;
    const int count = collection.titleCount();
    QTemporaryDir outside(collection.scratchTemplate());
    const QString csvPath = outside.path() + QStringLiteral("/一覧.csv");

    timing::Samples exportSamples(QStringLiteral("csv_export"));
    {
        AppState state(collection.path());
        bench::BenchDialogs dialogs;
        bench::PanelHost host(&state);
        results.error = host.loadWhole(count);
        if (!results.error.isEmpty())
            return results;
        dialogs.fileAnswer = csvPath;
        auto* tools = new SpreadsheetTools(state, dialogs, host, host.window());
        QStringList names;
        for (const TitleRecord& record : state.titles.records())
            names << record.title + CollectionStore::VolumeSuffix << record.title + CollectionStore::MemoSuffix;
        names << CollectionStore::CollectionFileName;
        for (int run = 0; run < runs && results.error.isEmpty(); ++run) {
            const double ms = timing::measureMs([&] { tools->cmdCsvExport_Click(); });
            const double floor =
                iofloor::readFilesMs(collection.path(), names) + bench::atomicWriteMs(csvPath, bench::readAll(csvPath));
            exportSamples.add(ms, floor);
            if (dialogs.otherBoxes() != run + 1 || !QFile::exists(csvPath))
                results.error = QStringLiteral("the export did not write its file: ") + dialogs.lastText();
        }
    }
    results.measurements.append(exportSamples.result());
    if (!results.error.isEmpty())
        return results;

    timing::Samples importSamples(QStringLiteral("csv_import"));
    for (int run = 0; run < std::min(runs, MaxImportRuns) && results.error.isEmpty(); ++run) {
        // The whole window, on the maintenance panel where the button is: what the import refills afterwards (the
        // selection lists, the main page, the display-order list) is part of what the user waits for.
        QTemporaryDir target(collection.scratchTemplate());
        bench::BenchDialogs dialogs;
        bench::WindowInFolder window(target.path(), dialogs);
        const AppState& state = window.window().state();
        window.window().findChild<QPushButton*>(QStringLiteral("cmdMaster"))->click();
        auto* tools = window.window().findChild<SpreadsheetTools*>();
        dialogs.fileAnswer = csvPath;
        ::sync();
        const double ms = timing::measureMs([&] { tools->cmdCsvImport_Click(); });
        if (state.titles.count() != count) {
            results.error = QStringLiteral("the import added %1 titles of %2: %3")
                                .arg(state.titles.count())
                                .arg(count)
                                .arg(dialogs.lastText());
            break;
        }
        // The floor: reading the table and writing the same files plainly.
        QList<std::pair<QString, QByteArray>> files;
        const QDir dir(target.path());
        for (const QString& name : dir.entryList(QDir::Files))
            files.append({name, bench::readAll(dir.filePath(name))});
        const double floor = iofloor::readFilesMs(outside.path(), {QStringLiteral("一覧.csv")}) +
                             plainWritesMs(files, collection.scratchTemplate());
        importSamples.add(ms, floor);
    }
    results.measurements.append(importSamples.result());
    return results;
}
