#include "GalleryBench.h"

#include "BenchHost.h"
#include "IoFloor.h"
#include "gallery/widgets/GalleryPanel.h"
#include "store/Cp932.h"
#include "ui/Twips.h"
#include "ui/logic/AppState.h"

#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QLabel>
#include <QPainter>
#include <QRandomGenerator>
#include <QTemporaryDir>

namespace {

constexpr int Titles = 42;
constexpr int PerPage = 21;

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

// The slow way the gallery avoids: every cover decoded whole, then shrunk to its place.
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

bool everySlotShowsACover(const GalleryPanel& panel)
{
    for (int k = 1; k <= PerPage; ++k) {
        const auto* picture = panel.findChild<QLabel*>(QStringLiteral("imgPIc_%1").arg(k));
        if (!picture || picture->pixmap().isNull())
            return false;
    }
    return true;
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
    QList<double> full;
    for (int run = 0; run < runs && results.error.isEmpty(); ++run) {
        state.GalleryBuilt = false;
        host.HidePanels();
        const double ms = timing::measureMs([&] {
            panel.cmdPic_Click();
            bench::repaint();
        });
        open.add(ms, iofloor::readFilesMs(dir.path(), coverNames(1)));
        if (panel.GalleryPage() != 1 || !everySlotShowsACover(panel)) {
            results.error = QStringLiteral("the gallery did not show page 1 with every cover");
            break;
        }
        for (int turn = 0; turn < 2; ++turn) {
            const bool up = panel.GalleryPage() == 1;
            const double pageMs = timing::measureMs([&] {
                if (up)
                    panel.cmdUp_Click();
                else
                    panel.cmdDown_Click();
                bench::repaint();
            });
            change.add(pageMs, iofloor::readFilesMs(dir.path(), coverNames(panel.GalleryPage())));
            if (panel.GalleryPage() != (up ? 2 : 1) || !everySlotShowsACover(panel)) {
                results.error = QStringLiteral("a page change did not show the next page with every cover");
                break;
            }
        }
        full.append(fullDecodeMs(dir.path(), coverNames(1), box));
    }
    results.measurements = {open.result(), change.result()};
    results.fullDecodeMs = timing::median(full);
    return results;
}
