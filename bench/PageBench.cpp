#include "PageBench.h"

#include "BenchHost.h"
#include "IoFloor.h"
#include "SyntheticCollection.h"
#include "app/MainWindow.h"
#include "ui/MainPage.h"

#include <QRandomGenerator>

namespace {

// Every fourth page has a cover; two pages in a row always differ, or the scroll bar would not move.
QList<int> pickPages(const SyntheticCollection& collection, int pages)
{
    QRandomGenerator random(20240611);
    const int count = collection.titleCount();
    const int covered = std::min(count, int(SyntheticCollection::CoveredTitles));
    QList<int> picked;
    int previous = 1;
    while (picked.size() < pages) {
        const int page = picked.size() % 4 == 0 ? random.bounded(1, covered + 1) : random.bounded(1, count + 1);
        if (page == previous)
            continue;
        picked.append(page);
        previous = page;
    }
    return picked;
}

} // namespace

PageResults measurePageChanges(const SyntheticCollection& collection, int pages)
{
    PageResults results;
    if (collection.titleCount() < 2) {
        results.error = QStringLiteral("page changes need at least two titles");
        return results;
    }
    const QString folder = collection.path();
    bench::BenchDialogs dialogs;
    const bench::WindowInFolder window(folder, dialogs);
    MainPage* page = window->mainPage();

    timing::Samples change(QStringLiteral("page_change"));
    timing::Samples coverChange(QStringLiteral("page_change_with_cover"));
    timing::Samples plainChange(QStringLiteral("page_change_nopic"));
    timing::Samples painted(QStringLiteral("page_change_painted"));
    timing::Samples cover(QStringLiteral("load_cover"));
    timing::Samples volume(QStringLiteral("read_volume_file"));

    for (const int index : pickPages(collection, pages)) {
        const double floor = iofloor::readFilesMs(folder, collection.pageFiles(index));
        const double ms = timing::measureMs([&] { page->setCurrentIndex(index); });
        const double paint = timing::measureMs(bench::repaint);
        if (page->currentIndex() != index || window->state().VolumeFilePath.isEmpty()) {
            results.error = QStringLiteral("page %1 was not shown").arg(index);
            break;
        }
        change.add(ms, floor);
        (collection.hasCover(index) ? coverChange : plainChange).add(ms, floor);
        painted.add(ms + paint, floor);

        const QString title = collection.title(index);
        cover.add(timing::measureMs([&] { window->state().store.loadCover(title, page->coverSize()); }),
                  iofloor::readFilesMs(folder, {collection.coverFileName(index)}));
        const QString volumeFile = collection.pageFiles(index).first();
        volume.add(timing::measureMs([&] { window->state().store.readVolumeFile(volumeFile); }),
                   iofloor::readFilesMs(folder, {volumeFile}));
    }
    if (dialogs.boxes() > 0 && results.error.isEmpty())
        results.error = QStringLiteral("a page change showed a box: ") + dialogs.lastText();

    results.pages = change.count();
    results.coverPages = coverChange.count();
    for (const timing::Samples* samples : {&change, &coverChange, &plainChange, &painted, &cover, &volume})
        results.measurements.append(samples->result());
    return results;
}
