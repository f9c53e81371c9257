#include "ListBench.h"

#include "BenchHost.h"
#include "IoFloor.h"
#include "SyntheticCollection.h"
#include "app/MainWindow.h"
#include "lists/Exports.h"
#include "lists/ListModels.h"
#include "lists/WebPage.h"
#include "lists/widgets/QrListWindow.h"
#include "lists/widgets/StatusListPanel.h"
#include "store/AtomicFileWriter.h"
#include "store/CollectionStore.h"
#include "ui/logic/AppState.h"

#include <QPushButton>
#include <QRandomGenerator>
#include <QThreadPool>
#include <memory>

namespace {

QStringList volumeFiles(const SyntheticCollection& collection)
{
    QStringList names;
    names.reserve(collection.titleCount());
    for (int i = 1; i <= collection.titleCount(); ++i)
        names << collection.title(i) + CollectionStore::VolumeSuffix;
    return names;
}

} // namespace

ListResults measureLists(const SyntheticCollection& collection, int runs, int toggles)
{
    ListResults results;
    const QString folder = collection.path();
    const QStringList volumes = volumeFiles(collection);

    timing::Samples fill(QStringLiteral("list_first_fill"));
    timing::Samples toggle(QStringLiteral("list_toggle"));
    timing::Samples rebuild(QStringLiteral("uncollected_rebuild"));
    timing::Samples zankan(QStringLiteral("export_zankan"));
    timing::Samples uncollected(QStringLiteral("export_uncollected"));
    timing::Samples fullStatus(QStringLiteral("export_full_status"));
    timing::Samples qrFirst(QStringLiteral("qr_first_code"));
    timing::Samples qrCodes(QStringLiteral("qr_codes"));
    timing::Samples webPage(QStringLiteral("web_page"));

    bench::BenchDialogs dialogs;
    std::unique_ptr<bench::WindowInFolder> window;
    StatusListPanel* panel = nullptr;
    for (int run = 0; run < runs && results.error.isEmpty(); ++run) {
        window.reset();
        window = std::make_unique<bench::WindowInFolder>(folder, dialogs);
        panel = window->window().findChild<StatusListPanel*>(QStringLiteral("fraList"));
        const double floor = iofloor::readFilesMs(folder, volumes);
        fill.add(timing::measureMs([&] { panel->cmdList_Click(); }), floor);
        if (panel->statusModel().rowCount() != collection.titleCount())
            results.error = QStringLiteral("the list shows %1 titles of %2")
                                .arg(panel->statusModel().rowCount())
                                .arg(collection.titleCount());
    }
    if (!results.error.isEmpty())
        return results;

    // Each volume is toggled twice, so that the folder ends as it began; both toggles are samples.
    QRandomGenerator random(20240612);
    for (int t = 0; t < toggles; ++t) {
        const int row = random.bounded(1, collection.titleCount() + 1);
        const int count = panel->statusModel().row(row).filledColumns();
        if (count < 1)
            continue;
        const int column = random.bounded(1, count + 1);
        const QString path = folder + QLatin1Char('/') + volumes[row - 1];
        for (int twice = 0; twice < 2; ++twice) {
            const double ms = timing::measureMs([&] { panel->msgList_Click(row, column); });
            const QByteArray written = bench::readAll(path);
            const double floor = iofloor::readFilesMs(folder, {volumes[row - 1]}) + bench::atomicWriteMs(path, written);
            toggle.add(ms, floor);
        }
    }
    results.toggles = toggle.count();

    const QString zankanPath = folder + QLatin1Char('/') + exports::UncollectedFileName;
    const QString fullPath = folder + QLatin1Char('/') + exports::FullStatusFileName;
    for (int run = 0; run < runs; ++run) {
        panel->cmdAllDsp_Click();
        window->window().state().stale.UncollectedStale = true;
        rebuild.add(timing::measureMs([&] { panel->cmdZanDsp_Click(); }), 0);

        dialogs.questionAnswer = Dialogs::No; // 残巻: the file only, not printed
        double ms = timing::measureMs([&] { panel->cmdHozon_Click(); });
        zankan.add(ms, iofloor::readFilesMs(folder, volumes) +
                           bench::atomicWriteMs(zankanPath, bench::readAll(zankanPath)));

        dialogs.questionAnswer = Dialogs::Yes;
        ms = timing::measureMs([&] { panel->cmdHozon1_Click(); });
        uncollected.add(ms, iofloor::readFilesMs(folder, volumes) +
                                bench::atomicWriteMs(zankanPath, bench::readAll(zankanPath)));

        ms = timing::measureMs([&] { panel->cmdHozon2_Click(); });
        // The old file's blocks are freed on a worker after the click; the floor is measured once that is done,
        // so that it does not pay for the program's work.
        QThreadPool::globalInstance()->waitForDone();
        fullStatus.add(ms, bench::atomicWriteMs(fullPath, bench::readAll(fullPath)));

        // The shopping-list window opened on the view's list: until its first code is shown, and until every code,
        // text and picture, is made (what turning through all pages or printing needs).
        QrListWindow* qr = nullptr;
        const double first = timing::measureMs([&] {
            panel->findChild<QPushButton*>(QStringLiteral("cmdQr"))->click();
            qr = panel->findChild<QrListWindow*>(QStringLiteral("frmQr"));
        });
        if (!qr || qr->shownCode().isNull()) {
            results.error = QStringLiteral("no QR code was made");
            break;
        }
        qrFirst.add(first, 0);
        qrCodes.add(first + timing::measureMs([&] { qr->codeImages().waitForAll(); }), 0);
        if (qr->codeImages().image(qr->pageCount() - 1).isNull())
            results.error = QStringLiteral("the last QR code was not made");
        delete qr;

        // The collection's web page, read, made and written as cmdWebPage does.
        const QString pagePath = folder + QStringLiteral("/page.html");
        qsizetype pageBytes = 0;
        ms = timing::measureMs([&] {
            AppState& state = window->window().state();
            const QByteArray page =
                webpage::html(state.titles, webpage::read(state.store, state.titles, QDate(2008, 5, 5), false));
            pageBytes = page.size();
            AtomicFileWriter().writeAtomically(pagePath, page);
        });
        webPage.add(ms,
                    iofloor::readFilesMs(folder, volumes) + bench::atomicWriteMs(pagePath, bench::readAll(pagePath)));
        if (pageBytes > 4 * 1000 * 1000)
            results.error = QStringLiteral("the web page holds %1 bytes").arg(pageBytes);
    }
    // Each completion box counts once per run; anything more is an error box.
    if (dialogs.otherBoxes() != 2 * runs)
        results.error = QStringLiteral("an export showed an unexpected box: ") + dialogs.lastText();
    if (panel->uncollectedModel().rowCount() == 0)
        results.error = QStringLiteral("the uncollected view is empty");

    window.reset();
    for (const timing::Samples* samples :
         {&fill, &toggle, &rebuild, &zankan, &uncollected, &fullStatus, &qrFirst, &qrCodes, &webPage})
        results.measurements.append(samples->result());
    return results;
}
