// What may become a title's cover, on every way in (chosen in the panel, dropped, pasted): only a file that
// decodes as a picture, and then the title shows it, also where an older cover would have won the lookup and
// where the picture is too large to decode whole.
#include "ImportFixture.h"
#include "gallery/CoverPictures.h"

using namespace importtest;
using namespace paneltest;
using namespace pictures;

class TestCoverChecks : public QObject {
    Q_OBJECT
private slots:
    void onlyPicturesReplaceACover_data();
    void onlyPicturesReplaceACover();
    void preferredCoverGoes_data();
    void preferredCoverGoes();
    void largePicturesShown_data();
    void largePicturesShown();
};

void TestCoverChecks::onlyPicturesReplaceACover_data()
{
    QTest::addColumn<QString>("via");
    QTest::addColumn<QString>("source");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("reason");
    const QByteArray text("これは画像ではありません");
    const QString notPicture = QStringLiteral("画像として読み込めませんでした");
    QTest::newRow("text named .jpg, chosen") << "panel"
                                             << "fake.jpg" << text << notPicture;
    QTest::newRow("text named .BMP, dropped") << "drop"
                                              << "fake.BMP" << text << notPicture;
    QTest::newRow("text named .jpg, pasted as a file") << "paste"
                                                       << "fake.jpg" << text << notPicture;
    QTest::newRow("a BMP too large to decode, chosen") << "panel"
                                                       << "huge.bmp" << bmp(Blue, {12000, 12000}, true)
                                                       << QStringLiteral("大きすぎて使えません（幅 12000 × 高さ 12000");
}

void TestCoverChecks::onlyPicturesReplaceACover()
{
    QFETCH(QString, via);
    QFETCH(QString, source);
    QFETCH(QByteArray, content);
    QFETCH(QString, reason);
    ImportFixture f;
    const QByteArray old = bytes(Red);
    f.folder.writeBytes("ABC.jpg", old);
    f.start();
    f.writePicture(source, content);
    // Refused before the overwrite question: nothing on disk was about to change.
    f.dialogs.expectMessage(QStringLiteral("画像を取り込めません"));
    f.give(via, source);
    QVERIFY2(f.dialogs.done(), qPrintable(f.dialogs.problems()));
    QVERIFY2(f.dialogs.messages().last().text.contains(reason), qPrintable(f.dialogs.messages().last().text));
    QVERIFY(f.dialogs.messages().last().text.contains(source));
    QCOMPARE(f.covers(), QStringList{"ABC.jpg"});
    QCOMPARE(f.folder.readBytes("ABC.jpg"), old);
    QCOMPARE(f.host.refreshes, 0);
    QCOMPARE(f.panel->isVisible(), via == "panel");
    if (via != "panel")
        QVERIFY(near(shown(f.cover()), Red));
}

void TestCoverChecks::preferredCoverGoes_data()
{
    QTest::addColumn<QStringList>("existing"); // names of red pictures
    QTest::addColumn<QString>("via");          // "panel": scan.jpg chosen; "paste": a picture pasted
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("writeFails");
    QTest::addColumn<QStringList>("after");
    QTest::newRow(".jpg over a .bmp, OK")
        << QStringList{"ABC.bmp"} << "panel" << int(Dialogs::Ok) << false << QStringList{"ABC.jpg"};
    QTest::newRow(".jpg over a .bmp, Cancel")
        << QStringList{"ABC.bmp"} << "panel" << int(Dialogs::Cancel) << false << QStringList{"ABC.bmp"};
    QTest::newRow("pasted over a .jpg, a .gif and a .BMP") << QStringList{"ABC.jpg", "ABC.gif", "abc.BMP"} << "paste"
                                                           << int(Dialogs::Ok) << false << QStringList{"ABC.jpg"};
    QTest::newRow("the write fails: the .bmp stays")
        << QStringList{"ABC.bmp"} << "panel" << int(Dialogs::Ok) << true << QStringList{"ABC.bmp"};
}

void TestCoverChecks::preferredCoverGoes()
{
    QFETCH(QStringList, existing);
    QFETCH(QString, via);
    QFETCH(int, answer);
    QFETCH(bool, writeFails);
    QFETCH(QStringList, after);
    ImportFixture f;
    for (const QString& name : existing)
        f.folder.writeBytes(name, bytes(Red, {60, 90}, name.endsWith("bmp", Qt::CaseInsensitive) ? "bmp" : "png"));
    f.start();
    QVERIFY(near(shown(f.cover()), Red));
    if (writeFails)
        f.state->store.folder().setWriter(std::make_unique<FailingWriter>());
    f.dialogs.expectMessage(OverwriteTitle, answer);
    if (writeFails)
        f.dialogs.expectMessage(QStringLiteral("画像を取り込めません"));
    if (via == "panel") {
        f.writePicture("scan.jpg", bytes(Blue));
        f.give(via, "scan.jpg");
    } else {
        QImage image(30, 50, QImage::Format_RGB32);
        image.fill(Blue);
        QGuiApplication::clipboard()->setImage(image);
        f.pasteOnCover();
    }
    QVERIFY2(f.dialogs.done(), qPrintable(f.dialogs.problems()));
    const ScriptedDialogs::Box question = f.dialogs.messages().first();
    QCOMPARE(question.style, Dialogs::OkCancel + Dialogs::Exclamation);
    for (const QString& name : existing) // each cover that goes is named
        QVERIFY2(question.text.contains(name) || name == "ABC.jpg", qPrintable(question.text));
    QCOMPARE(question.text.contains(QStringLiteral("同じ名前の画像が既に存在します")), existing.contains("ABC.jpg"));
    QCOMPARE(f.covers(), after);
    const bool imported = answer == Dialogs::Ok && !writeFails;
    if (f.panel->isVisible()) // the chosen file is previewed until the panel is left
        QTest::mouseClick(f.child<QPushButton>("cmdYame"), Qt::LeftButton);
    QVERIFY(near(shown(f.cover()), imported ? Blue : Red));
    QVERIFY(near(covers::galleryCover(f.state->store, "ABC", {87, 136}).pixelColor(5, 5), imported ? Blue : Red));
    for (const QString& name : after)
        QVERIFY(near(ofFile(f.folder.readBytes(name)), imported ? Blue : Red));
}

void TestCoverChecks::largePicturesShown_data()
{
    QTest::addColumn<QString>("source"); // empty: ABC.bmp put in the folder before the start
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("cover");
    QTest::addColumn<double>("where"); // the height, as a part of the picture's, whose colour is checked
    // Each takes 137 MiB to decode whole, more than Qt's default limit of 128 MiB; larger ones take the same
    // paths, only slower.
    QTest::newRow("a 6000 × 6000 JPEG, imported") << "scan.jpg" << largeJpeg(Blue, {6000, 6000}) << "ABC.jpg" << 0.5;
    // Only a decode at the size shown fits in memory: whole, it would take 610 MiB.
    QTest::newRow("a 4000 × 40000 JPEG, imported") << "tall.jpg" << tallJpeg(Blue, 4000, 40000) << "ABC.jpg" << 0.04;
    QTest::newRow("a 6000 × 6000 PNG, imported") << "scan.png" << png(Blue, {6000, 6000}) << "ABC.jpg" << 0.5;
    QTest::newRow("a 6000 × 6000 BMP in the folder") << "" << bmp(Blue, {6000, 6000}) << "ABC.bmp" << 0.5;
}

void TestCoverChecks::largePicturesShown()
{
    QFETCH(QString, source);
    QFETCH(QByteArray, content);
    QFETCH(QString, cover);
    QFETCH(double, where);
    ImportFixture f;
    f.folder.writeBytes("NOPIC.JPG", bytes(Red));
    if (source.isEmpty())
        f.folder.writeBytes(cover, content);
    f.start();
    if (!source.isEmpty()) {
        f.writePicture(source, content);
        f.give("panel", source);
        QVERIFY2(f.dialogs.done(), qPrintable(f.dialogs.problems()));
        QVERIFY(f.panel->isHidden());
    }
    QVERIFY(f.folder.exists(cover));
    f.page->ShowTitle();
    const auto colourAt = [where](const QImage& image) {
        return image.isNull() ? QColor() : image.pixelColor(image.width() / 2, int(image.height() * where));
    };
    QVERIFY(near(colourAt(f.cover()->pixmap().toImage()), Blue));
    const QImage inGallery = covers::galleryCover(f.state->store, "ABC", {87, 136});
    QVERIFY(inGallery.width() == 87 || inGallery.height() == 136); // fitted to the slot
    QVERIFY(near(colourAt(inGallery), Blue));
}

QTEST_MAIN(TestCoverChecks)
#include "tst_coverchecks.moc"
