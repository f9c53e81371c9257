// Decoding the gallery's covers on worker threads: what is handed over for the page shown,
// results of pages left behind, the kept pages, and decodes in flight when the loader goes. The decoder here
// draws the colour the slot's "file" names, after a pause when asked, and records what it was asked.
#include "Pictures.h"
#include "gallery/CoverLoader.h"

#include <QMutex>
#include <QSignalSpy>
#include <QThread>
#include <QTest>
#include <atomic>
#include <memory>

using namespace pictures;

namespace {

constexpr int Slots = 21;

// What the decoder was asked, in order, and how many decodes ran after the loader was gone.
struct Record {
    QMutex mutex;
    QStringList decoded;
    std::atomic_bool loaderGone = false;
    std::atomic_int lateDecodes = 0;
    std::atomic_int finished = 0;
};

// The slot's colour, as a "file" name the decoder reads: distinct for every slot of every page.
QString colourName(int page, int slot)
{
    return QColor(40 + page * 30, 40 + slot * 9, 200 - page * 20).name();
}

gallery::PageFiles pageOf(int page, int slotsWithCover = Slots)
{
    gallery::PageFiles files{page, {}, QSize(4, 6)};
    for (int k = 1; k <= Slots; ++k)
        files.slotFiles.append(k <= slotsWithCover ? QStringList{colourName(page, k)} : QStringList{});
    return files;
}

CoverLoader::Decoder decoder(std::shared_ptr<Record> record, int sleepMs = 0)
{
    return [record, sleepMs](const QStringList& files, QSize box) {
        if (record->loaderGone)
            ++record->lateDecodes;
        {
            QMutexLocker lock(&record->mutex);
            record->decoded.append(files.last());
        }
        QThread::msleep(sleepMs);
        QImage image(box, QImage::Format_RGB32);
        image.fill(QColor(files.last()));
        if (record->loaderGone)
            ++record->lateDecodes;
        ++record->finished;
        return image;
    };
}

// Every coverReady as "page/slot=colour", a slot without a cover as "page/slot=-".
QStringList handedOver(const QSignalSpy& spy)
{
    QStringList covers;
    for (const QList<QVariant>& args : spy) {
        const QImage cover = args.at(2).value<QImage>();
        covers << QStringLiteral("%1/%2=%3")
                      .arg(args.at(0).toInt())
                      .arg(args.at(1).toInt())
                      .arg(cover.isNull() ? QStringLiteral("-") : cover.pixelColor(0, 0).name());
    }
    covers.sort();
    return covers;
}

QStringList expectedCovers(int page, int slotsWithCover = Slots)
{
    QStringList covers;
    for (int k = 1; k <= Slots; ++k)
        covers << QStringLiteral("%1/%2=%3")
                      .arg(page)
                      .arg(k)
                      .arg(k <= slotsWithCover ? colourName(page, k) : QStringLiteral("-"));
    covers.sort();
    return covers;
}

qsizetype decodes(Record& record)
{
    QMutexLocker lock(&record.mutex);
    return record.decoded.size();
}

bool settles(const CoverLoader& loader)
{
    return QTest::qWaitFor([&] { return loader.shownComplete() && !loader.decoding(); }, 20000);
}

} // namespace

class TestCoverLoader : public QObject {
    Q_OBJECT
private slots:
    void pageShown_data();
    void pageShown();
    void leftPagesAreDropped();
    void keptPages();
    void destroyedWhileDecoding();
};

void TestCoverLoader::pageShown_data()
{
    QTest::addColumn<int>("slotsWithCover");
    QTest::newRow("every slot with a cover") << Slots;
    QTest::newRow("a last page of one title") << 1;
    QTest::newRow("no cover at all") << 0;
}

void TestCoverLoader::pageShown()
{
    QFETCH(int, slotsWithCover);
    auto record = std::make_shared<Record>();
    CoverLoader loader(decoder(record));
    QSignalSpy covers(&loader, &CoverLoader::coverReady);
    QSignalSpy complete(&loader, &CoverLoader::pageComplete);
    loader.show(pageOf(3, slotsWithCover));
    QVERIFY(settles(loader));
    QCOMPARE(handedOver(covers), expectedCovers(3, slotsWithCover));
    QCOMPARE(complete.size(), 1);
    QCOMPARE(complete.first().first().toInt(), 3);
    QCOMPARE(record->decoded.size(), slotsWithCover); // nothing decoded for a slot without a file
}

void TestCoverLoader::leftPagesAreDropped()
{
    auto record = std::make_shared<Record>();
    CoverLoader loader(decoder(record, 5));
    QSignalSpy covers(&loader, &CoverLoader::coverReady);
    QSignalSpy complete(&loader, &CoverLoader::pageComplete);

    // Some of page 1's covers are decoded and waiting to be handed over, others under way or queued, when the
    // user turns to page 2 and on to page 3 before the window gets to them.
    loader.show(pageOf(1));
    for (int i = 0; i < 2000 && record->finished < 3; ++i)
        QThread::msleep(1);
    QVERIFY(record->finished >= 3);
    loader.show(pageOf(2));
    loader.show(pageOf(3));
    QVERIFY(settles(loader));
    // Deferred deletions too: nothing of the pages left is kept.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    QCOMPARE(handedOver(covers), expectedCovers(3));
    QCOMPARE(complete.size(), 1);
    QVERIFY(loader.findChildren<QObject*>().isEmpty());
    // The decodes of page 2, turned past at once, were never made.
    QVERIFY2(record->decoded.size() < 3 * Slots, qPrintable(QString::number(record->decoded.size())));
}

void TestCoverLoader::keptPages()
{
    auto record = std::make_shared<Record>();
    CoverLoader loader(decoder(record));
    for (int page = 1; page <= CoverLoader::KeptPages + 2; ++page) {
        loader.show(pageOf(page));
        QVERIFY(settles(loader));
    }
    const qsizetype decodes = record->decoded.size();
    // The most recent pages are kept...
    loader.show(pageOf(CoverLoader::KeptPages + 1));
    QVERIFY(loader.shownComplete());
    QCOMPARE(record->decoded.size(), decodes);
    // ...the oldest are decoded anew, as is everything once the loader is told to forget.
    loader.show(pageOf(1));
    QVERIFY(!loader.shownComplete());
    QVERIFY(settles(loader));
    loader.forget();
    loader.show(pageOf(1));
    QVERIFY(!loader.shownComplete());
    QVERIFY(settles(loader));
    QCOMPARE(record->decoded.size(), decodes + 2 * Slots);
}

void TestCoverLoader::destroyedWhileDecoding()
{
    auto record = std::make_shared<Record>();
    {
        CoverLoader loader(decoder(record, 20));
        loader.show(pageOf(1), {pageOf(2)});
        QVERIFY(QTest::qWaitFor([&] { return decodes(*record) > 0; }, 20000));
    }
    record->loaderGone = true;
    QThread::msleep(100);
    QCoreApplication::processEvents();
    QCOMPARE(record->lateDecodes.load(), 0);
    // What was queued was dropped, not decoded before the loader let go.
    QVERIFY2(record->decoded.size() < Slots, qPrintable(QString::number(record->decoded.size())));
}

QTEST_MAIN(TestCoverLoader)
#include "tst_coverloader.moc"
