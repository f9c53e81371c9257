// The gallery's page arithmetic, covers read at their shown size and found by name, and the names imports
// are given, on files in a temporary folder.
#include "Pictures.h"
#include "gallery/CoverImport.h"
#include "gallery/CoverPictures.h"
#include "gallery/GalleryPages.h"
#include "store/CollectionStore.h"
#include "store/PictureFile.h"
#include "support/TestFolder.h"

#include <QTest>

using namespace pictures;

class TestGalleryLogic : public QObject {
    Q_OBJECT
private slots:
    void pages_data();
    void pages();
    void fitted_data();
    void fitted();
    void decoding_data();
    void decoding();
    void galleryCover_data();
    void galleryCover();
    void plan_data();
    void plan();
};

void TestGalleryLogic::pages_data()
{
    QTest::addColumn<int>("titles");
    QTest::addColumn<int>("pages");
    QTest::addColumn<int>("keptFrom3"); // where a kept page 3 stands with that many titles
    QTest::newRow("none") << 0 << 0 << 1;
    QTest::newRow("a full page") << 21 << 1 << 1;
    QTest::newRow("one more") << 22 << 2 << 2;
    QTest::newRow("43") << 43 << 3 << 3;
    QTest::newRow("the most a collection holds") << 32766 << 1561 << 3;
}

void TestGalleryLogic::pages()
{
    QFETCH(int, titles);
    QFETCH(int, pages);
    QFETCH(int, keptFrom3);
    QCOMPARE(gallery::pageCount(titles), pages);
    QCOMPARE(gallery::keptPage(3, pages), keptFrom3);
    QCOMPARE(gallery::firstNumberText(2) + gallery::lastNumberText(2), QStringLiteral("2242"));
}

void TestGalleryLogic::fitted_data()
{
    QTest::addColumn<QSize>("picture");
    QTest::addColumn<bool>("enlarge");
    QTest::addColumn<QSize>("expected");
    QTest::newRow("a scanned cover: width decides") << QSize(1200, 1800) << false << QSize(87, 130);
    QTest::newRow("a tall strip: height decides") << QSize(100, 1360) << false << QSize(10, 136);
    QTest::newRow("a small picture kept") << QSize(40, 60) << false << QSize(40, 60);
    QTest::newRow("a small picture enlarged") << QSize(40, 60) << true << QSize(87, 130);
    QTest::newRow("a hairline stays visible") << QSize(1, 5000) << false << QSize(1, 136);
}

void TestGalleryLogic::fitted()
{
    QFETCH(QSize, picture);
    QFETCH(bool, enlarge);
    QFETCH(QSize, expected);
    QCOMPARE(picturefile::fitted(picture, QSize(87, 136), enlarge), expected);

    // Decoded at that size, whatever the file's extension says.
    TestFolder folder;
    folder.writeBytes("p.jpg", bytes(Blue, picture, "png"));
    const QImage image = covers::readFitted(folder.path() + "/p.jpg", QSize(87, 136), enlarge);
    QCOMPARE(image.size(), expected);
    QVERIFY(near(centre(image), Blue));
}

void TestGalleryLogic::decoding_data()
{
    QTest::addColumn<QByteArray>("data"); // empty: no file
    QTest::addColumn<QSize>("box");       // invalid: whole
    QTest::addColumn<int>("status");
    QTest::addColumn<QSize>("size"); // of the picture decoded
    const QSize box(87, 136);
    using P = picturefile::Picture;
    QTest::newRow("text named .jpg") << QByteArray("this is not a picture") << box << int(P::NotPicture) << QSize(0, 0);
    QTest::newRow("no file") << QByteArray() << box << int(P::Missing) << QSize(0, 0);
    // Over what Qt decodes by default (128 MiB), within the budget.
    const QByteArray large = png(Blue, {6000, 6000});
    QTest::newRow("a 6000 × 6000 PNG, shown") << large << box << int(P::Decoded) << QSize(87, 87);
    QTest::newRow("a 6000 × 6000 PNG, whole") << large << QSize() << int(P::Decoded) << QSize(6000, 6000);
    // BMP decodes whole only: 12000 × 12000 would take 549 MiB.
    QTest::newRow("a BMP too large to decode")
        << bmp(Blue, {12000, 12000}, true) << box << int(P::TooLarge) << QSize(0, 0);
}

void TestGalleryLogic::decoding()
{
    QFETCH(QByteArray, data);
    QFETCH(QSize, box);
    QFETCH(int, status);
    QFETCH(QSize, size);
    TestFolder folder;
    if (!data.isEmpty())
        folder.writeBytes("p.jpg", data);
    const picturefile::Picture picture = picturefile::read(folder.path() + "/p.jpg", box, false);
    QCOMPARE(int(picture.status), status);
    QCOMPARE(picture.image.size(), size);
    if (status == picturefile::Picture::Decoded)
        QVERIFY(near(centre(picture.image), Blue));
    const QString problem = picturefile::problem(picture, "p.jpg");
    QCOMPARE(problem.isEmpty(), status == picturefile::Picture::Decoded);
    if (status == picturefile::Picture::TooLarge)
        QVERIFY2(problem.contains("12000") && problem.contains(QStringLiteral("大きすぎ")), qPrintable(problem));
}

void TestGalleryLogic::galleryCover_data()
{
    QTest::addColumn<QString>("title");
    QTest::addColumn<QStringList>("files"); // name=r, g, b or junk
    QTest::addColumn<QColor>("shown");
    QTest::newRow(".bmp over .jpg") << "ABC" << QStringList{"ABC.jpg=r", "ABC.bmp=b"} << Blue;
    QTest::newRow(".gif over .jpg") << "ABC" << QStringList{"ABC.jpg=r", "ABC.gif=g"} << Green;
    QTest::newRow("names in other letter case") << "Abc" << QStringList{"ABC.JPG=r", "abc.Bmp=b"} << Blue;
    QTest::newRow("a broken .bmp leaves the .jpg") << "ABC" << QStringList{"ABC.jpg=r", "ABC.bmp=junk"} << Red;
    QTest::newRow("no placeholder in the gallery") << "ABC" << QStringList{"NOPIC.JPG=g"} << QColor();
    QTest::newRow("a program file is no cover") << "NOPIC" << QStringList{"NOPIC.JPG=g"} << QColor();
    QTest::newRow("wildcards are plain text") << "[新装版]*" << QStringList{"[新装版]*.jpg=r", "x.jpg=b"} << Red;
}

void TestGalleryLogic::galleryCover()
{
    QFETCH(QString, title);
    QFETCH(QStringList, files);
    QFETCH(QColor, shown);
    TestFolder folder;
    const QHash<QString, QColor> colours{{"r", Red}, {"g", Green}, {"b", Blue}};
    for (const QString& file : files) {
        const QString what = file.section('=', 1);
        // No GIF writer: a PNG stands in, the content decides.
        const char* format = file.contains(".bmp", Qt::CaseInsensitive) ? "bmp" : file.contains(".gif") ? "png" : "jpg";
        folder.writeBytes(file.section('=', 0, 0),
                          what == "junk" ? QByteArray("BM") : bytes(colours[what], {60, 90}, format));
    }
    const QImage cover = covers::galleryCover(CollectionStore(folder.path()), title, QSize(87, 136));
    QVERIFY2(near(centre(cover), shown), qPrintable(centre(cover).name()));
}

void TestGalleryLogic::plan_data()
{
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("destination"); // empty: refused
    QTest::addColumn<bool>("convert");
    QTest::newRow("scan.jpg") << "ABC"
                              << "scan.jpg"
                              << "ABC.jpg" << false;
    QTest::newRow("SCAN.BMP keeps its spelling") << "ABC"
                                                 << "SCAN.BMP"
                                                 << "ABC.BMP" << false;
    QTest::newRow(".jpeg is a JPEG already") << "ABC"
                                             << "photo.JPEG"
                                             << "ABC.jpg" << false;
    QTest::newRow(".png is converted") << "ABC"
                                       << "cover.png"
                                       << "ABC.jpg" << true;
    QTest::newRow(".gif is not offered") << "ABC"
                                         << "anim.gif"
                                         << "" << false;
    QTest::newRow("a title naming a program file") << "NOPIC"
                                                   << "scan.JPG"
                                                   << "" << false;
    QTest::newRow("a title with a path in it") << "../ABC"
                                               << "scan.jpg"
                                               << "" << false;
    QTest::newRow("a title too long for a file name") << QString(84, QChar(0x6F22)) << "scan.jpg"
                                                      << "" << false;
}

void TestGalleryLogic::plan()
{
    QFETCH(QString, title);
    QFETCH(QString, source);
    QFETCH(QString, destination);
    QFETCH(bool, convert);
    const coverimport::Plan plan = coverimport::plan(title, source);
    QCOMPARE(plan.destination, destination);
    QCOMPARE(plan.convert, convert);
    QCOMPARE(plan.problem.isEmpty(), !destination.isEmpty());
}

QTEST_MAIN(TestGalleryLogic)
#include "tst_gallerylogic.moc"
