#include "GalleryBench.h"

#include "BenchHost.h"
#include "IoFloor.h"
#include "gallery/CoverPictures.h"
#include "gallery/widgets/GalleryPanel.h"
#include "store/Cp932.h"
#include "ui/Twips.h"
#include "ui/logic/AppState.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QImageReader>
#include <QLabel>
#include <QPainter>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTimer>

namespace {

constexpr int Titles = 42;
constexpr int PerPage = 21;
// How long the user looks at a page before turning it, in the line of a page decoded ahead.
constexpr int LookMs = 1000;
// How long the window is still watched after the page is complete: the decoding ahead that follows.
constexpr int AfterMs = 300;
// Longer than any page may take; a page that has not arrived by then is an error.
constexpr int GiveUpMs = 30000;

QString titleOf(int n)
{
    return QStringLiteral("表紙の題名%1").arg(n, 2, 10, QLatin1Char('0'));
}

// A scanned-looking cover: coloured bands, shapes and fine noise, so that the JPEG is as large as a real scan's
// (a few hundred kilobytes) rather than a flat colour's few kilobytes.
QImage coverPicture(int n, QRandomGenerator& random)
{
    QImage image(1200, 1800, QImage::Format_RGB32);
    image.fill(QColor::fromHsv((n * 37) % 360, 160, 220));
    QPainter painter(&image);
    for (int i = 0; i < 60; ++i) {
        painter.setBrush(QColor::fromHsv(random.bounded(360), random.bounded(255), random.bounded(255)));
        painter.setPen(Qt::NoPen);
        painter.drawEllipse(random.bounded(1200), random.bounded(1800), random.bounded(50, 400),
                            random.bounded(50, 400));
    }
    painter.end();
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const int d = int(random.bounded(24)) - 12;
            const QRgb p = line[x];
            line[x] = qRgb(std::clamp(qRed(p) + d, 0, 255), std::clamp(qGreen(p) + d, 0, 255),
                           std::clamp(qBlue(p) + d, 0, 255));
        }
    }
    return image;
}

QString writeFolder(const QString& folder)
{
    QString collection;
    QRandomGenerator random(20240612);
    for (int n = 1; n <= Titles; ++n) {
        collection += QStringLiteral("\"%1\",10,0,\"未登録\",\"未登録\",\"未\",\"2008/05/05\",\"2008/05/05\"\r\n")
                          .arg(titleOf(n));
        if (!coverPicture(n, random).save(folder + QLatin1Char('/') + titleOf(n) + QStringLiteral(".jpg"), "jpg", 85))
            return QStringLiteral("cannot write the covers into ") + folder;
    }
    QFile file(folder + QStringLiteral("/データＰＲＯ.txt"));
    const QByteArray bytes = cp932::encode(collection).bytes;
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        return QStringLiteral("cannot write the collection file into ") + folder;
    return {};
}

QStringList coverNames(int page)
{
    QStringList names;
    for (int k = 1; k <= PerPage; ++k)
        names << titleOf((page - 1) * PerPage + k) + QStringLiteral(".jpg");
    return names;
}

// The slow way the gallery avoids: every cover decoded whole, then shrunk to its place, one after the other.
double fullDecodeMs(const QString& folder, const QStringList& names, QSize box)
{
    qint64 pixels = 0;
    const double ms = timing::measureMs([&] {
        for (const QString& name : names) {
            const QImage image = QImageReader(folder + QLatin1Char('/') + name).read();
            pixels += image.scaled(box, Qt::KeepAspectRatio, Qt::SmoothTransformation).sizeInBytes();
        }
    });
    return pixels > 0 ? ms : 0;
}

// The gallery's own decode at the shown size, one cover after the other on this thread.
double shownSizeDecodeMs(const QString& folder, const QStringList& names, QSize box)
{
    qint64 pixels = 0;
    const double ms = timing::measureMs([&] {
        for (const QString& name : names)
            pixels += covers::decodeCover({folder + QLatin1Char('/') + name}, box).sizeInBytes();
    });
    return pixels > 0 ? ms : 0;
}

bool everySlotShowsACover(const GalleryPanel& panel)
{
    for (int k = 1; k <= PerPage; ++k) {
        const auto* picture = panel.findChild<QLabel*>(QStringLiteral("imgPIc_%1").arg(k));
        if (!picture || picture->pixmap().isNull())
            return false;
    }
    return true;
}

// Lets the event loop run, asleep between events, until every slot shows its cover, then paints; false when the
// covers have not all arrived in GiveUpMs.
bool waitForEveryCover(const GalleryPanel& panel)
{
    const QDeadlineTimer deadline(GiveUpMs);
    // Wakes the loop now and then, so that the deadline is seen even when no cover comes.
    QTimer wake;
    wake.start(100);
    while (!everySlotShowsACover(panel)) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    }
    bench::repaint();
    return true;
}

// Lets the event loop run for ms, as a user looking at the page does.
void look(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// The longest gap between two turns of the event loop from click, made inside the loop, until AfterMs after every
// slot shows its cover (the way timing::longestEventLoopGapMs watches); a negative value when the covers never came.
double longestGapDuringMs(const GalleryPanel& panel, const std::function<void()>& click)
{
    qint64 shownAt = -1;
    bool clicked = false;
    const double longest = timing::longestEventLoopGapMs([&](qint64 now) {
        if (!clicked) {
            clicked = true;
            click();
            return true;
        }
        if (shownAt < 0 && everySlotShowsACover(panel))
            shownAt = now;
        return !((shownAt >= 0 && now - shownAt >= qint64(AfterMs) * 1000000) || now >= qint64(GiveUpMs) * 1000000);
    });
    return shownAt < 0 ? -1 : longest;
}

} // namespace

GalleryResults measureGallery(int runs)
{
    GalleryResults results;
    QTemporaryDir dir;
    if (!dir.isValid()) {
        results.error = QStringLiteral("no temporary folder for the gallery");
        return results;
    }
    if (const QString error = writeFolder(dir.path()); !error.isEmpty()) {
        results.error = error;
        return results;
    }

    AppState state(dir.path());
    state.titles = state.store.loadCollection().table;
    bench::BenchDialogs dialogs;
    bench::PanelHost host;
    GalleryPanel panel(state, dialogs, host);
    host.panel = &panel;
    panel.resize(twips::toPixels(11880), twips::toPixels(7575));
    const QSize box(twips::toPixels(1305), twips::toPixels(2040));

    timing::Samples open(QStringLiteral("gallery_open"));
    timing::Samples change(QStringLiteral("gallery_page_change"));
    timing::Samples ahead(QStringLiteral("gallery_page_change_ahead"));
    timing::Samples stall(QStringLiteral("gallery_stall"));
    QList<double> full;
    QList<double> shownSize;
    const auto fail = [&results](const QString& what) {
        results.error = what;
        return false;
    };
    // Opens the gallery anew on page 1 and waits for its covers; the time from the click.
    const auto openAnew = [&](double* ms) {
        state.GalleryBuilt = false;
        host.HidePanels();
        bool arrived = false;
        *ms = timing::measureMs([&] {
            panel.cmdPic_Click();
            arrived = waitForEveryCover(panel);
        });
        return arrived && panel.GalleryPage() == 1 ? true : fail(QStringLiteral("the gallery did not show page 1"));
    };
    // Turns the page with the arrow buttons and waits for its covers; the time from the click.
    const auto turn = [&](bool up, double* ms) {
        const int page = panel.GalleryPage() + (up ? 1 : -1);
        bool arrived = false;
        *ms = timing::measureMs([&] {
            if (up)
                panel.cmdUp_Click();
            else
                panel.cmdDown_Click();
            arrived = waitForEveryCover(panel);
        });
        return arrived && panel.GalleryPage() == page ? true : fail(QStringLiteral("page %1 was not shown").arg(page));
    };

    for (int run = 0; run < runs; ++run) {
        // Opening, then at once the next page: nothing of it is decoded but what was begun while page 1 was painted.
        double openMs = 0;
        double changeMs = 0;
        if (!openAnew(&openMs) || !turn(true, &changeMs))
            break;
        open.add(openMs, iofloor::readFilesMs(dir.path(), coverNames(1)));
        change.add(changeMs, iofloor::readFilesMs(dir.path(), coverNames(2)));

        // Down and up in turn after looking at each page for a while. No floor: nothing is left to read.
        bool ok = true;
        for (const bool up : {false, true}) {
            look(LookMs);
            double ms = 0;
            if (!(ok = turn(up, &ms)))
                break;
            ahead.add(ms, 0);
        }
        if (!ok)
            break;

        // The same page change as gallery_page_change, watched for the window's answering.
        double ms = 0;
        if (!openAnew(&ms))
            break;
        const double gap = longestGapDuringMs(panel, [&panel] { panel.cmdUp_Click(); });
        if (gap < 0 || panel.GalleryPage() != 2) {
            fail(QStringLiteral("page 2 was not shown while the window was watched"));
            break;
        }
        stall.add(gap, 0);

        full.append(fullDecodeMs(dir.path(), coverNames(1), box));
        shownSize.append(shownSizeDecodeMs(dir.path(), coverNames(1), box));
    }
    results.measurements = {open.result(), change.result(), ahead.result(), stall.result()};
    results.fullDecodeMs = timing::median(full);
    results.shownSizeDecodeMs = timing::median(shownSize);
    return results;
}
