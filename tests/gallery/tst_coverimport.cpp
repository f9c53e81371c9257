// The cover import panel over a real main page: a file chosen in the lists, the preview, the copy checked byte
// for byte, the overwrite question, failures reported with the old cover left whole, a drive that cannot be read,
// and pictures dropped on or pasted onto the cover.
#include "ImportFixture.h"

#include <QComboBox>

using namespace importtest;
using namespace paneltest;
using namespace pictures;

class TestCoverImport : public QObject {
    Q_OBJECT
private slots:
    void noFileChosen();
    void imports_data();
    void imports();
    void overwriteQuestion_data();
    void overwriteQuestion();
    void failedCopyIsReported_data();
    void failedCopyIsReported();
    void driveNotReady();
    void droppedAndPasted();
};

void TestCoverImport::noFileChosen()
{
    ImportFixture f;
    f.start();
    QTest::mouseClick(f.cover(), Qt::LeftButton);
    QVERIFY(f.panel->isVisible());
    f.dialogs.expectMessage(QStringLiteral("ファイル未選択"));
    f.import();
    f.checkDialogs();
    QCOMPARE(f.dialogs.messages().last().text,
             QStringLiteral("コピー元ファイルが指定されていません \n\n先にファイルを選択して下さい "));
    QCOMPARE(f.dialogs.messages().last().style, Dialogs::OkOnly + Dialogs::Exclamation);
    QVERIFY(f.panel->isVisible());
}

void TestCoverImport::imports_data()
{
    QTest::addColumn<QString>("source");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("written");
    QTest::newRow("scan.jpg") << "scan.jpg" << bytes(Blue) << "ABC.jpg";
    QTest::newRow("SCAN.BMP") << "SCAN.BMP" << bytes(Blue, {90, 120}, "bmp") << "ABC.BMP";
    QTest::newRow("a .png converted") << "web.png" << bytes(Blue, {90, 120}, "png") << "ABC.jpg";
}

void TestCoverImport::imports()
{
    QFETCH(QString, source);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, written);
    ImportFixture f;
    f.start();
    f.writePicture(source, bytes);
    f.writePicture("anim.gif", "GIF89a");
    QVERIFY(f.choose(source));
    QCOMPARE(f.files()->model()->rowCount(f.files()->rootIndex()), 1); // the .gif is not offered
    QVERIFY(near(shown(f.cover()), Blue));                             // the preview

    f.import();
    f.checkDialogs();
    QVERIFY(f.panel->isHidden());
    QCOMPARE(f.covers(), QStringList{written});
    if (source.endsWith(".png"))
        QVERIFY(near(ofFile(f.folder.readBytes(written)), Blue));
    else
        QCOMPARE(f.folder.readBytes(written), bytes);
    QCOMPARE(f.host.refreshes, 1);
    QVERIFY(f.state->GalleryStale);
}

void TestCoverImport::overwriteQuestion_data()
{
    QTest::addColumn<QString>("existing"); // "+name": put there by hand after the program looked
    QTest::addColumn<QString>("source");
    QTest::addColumn<int>("answer"); // 0: no question
    QTest::addColumn<QStringList>("after");
    QTest::newRow("Cancel keeps the first copy") << "ABC.jpg"
                                                 << "scan.jpg" << int(Dialogs::Cancel) << QStringList{"ABC.jpg"};
    QTest::newRow("a letter-case twin is replaced under its spelling")
        << "ABC.JPG"
        << "scan.jpg" << int(Dialogs::Ok) << QStringList{"ABC.JPG"};
    QTest::newRow("a twin put in while the program runs") << "+abc.JPG"
                                                          << "scan.jpg" << int(Dialogs::Ok) << QStringList{"abc.JPG"};
    QTest::newRow("a .BMP beside a .jpg: no question") << "ABC.jpg"
                                                       << "SCAN.BMP" << 0 << QStringList{"ABC.BMP", "ABC.jpg"};
    QTest::newRow("the cover itself chosen: nothing") << "abc.JPG"
                                                      << "" << 0 << QStringList{"abc.JPG"};
}

void TestCoverImport::overwriteQuestion()
{
    QFETCH(QString, existing);
    QFETCH(QString, source);
    QFETCH(int, answer);
    QFETCH(QStringList, after);
    ImportFixture f;
    const QByteArray old = bytes(Red);
    const QByteArray fresh = bytes(Blue, {90, 120}, source.endsWith("BMP") ? "bmp" : "jpg");
    const bool late = existing.startsWith('+');
    existing.remove(QLatin1Char('+'));
    if (!late)
        f.folder.writeBytes(existing, old);
    f.start();
    if (late)
        f.folder.writeBytes(existing, old);
    f.writePicture(source.isEmpty() ? "unused.jpg" : source, fresh);
    QVERIFY(source.isEmpty() ? f.choose(existing, f.folder.path()) : f.choose(source));
    if (answer)
        f.dialogs.expectMessage(OverwriteTitle, answer);
    f.import();
    f.checkDialogs();
    if (answer) {
        QCOMPARE(f.dialogs.messages().last().text, QStringLiteral("同じ名前の画像が既に存在します。上書きしますか？"));
        QCOMPARE(f.dialogs.messages().last().style, Dialogs::OkCancel + Dialogs::Exclamation);
    }
    QCOMPARE(f.covers(), after);
    QCOMPARE(f.folder.readBytes(existing), answer == Dialogs::Ok ? fresh : old);
    QCOMPARE(f.panel->isVisible(), answer == Dialogs::Cancel);
}

void TestCoverImport::failedCopyIsReported_data()
{
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("failure");
    QTest::addColumn<QString>("reason");
    QTest::newRow("the disk is full") << "scan.jpg"
                                      << "disk"
                                      << "ディスクがいっぱいです";
    QTest::newRow("the file went away after it was chosen") << "scan.jpg"
                                                            << "gone"
                                                            << "見つかりません";
    QTest::newRow("a .png that is no picture") << "web.png"
                                               << "junk"
                                               << "画像として読み込めませんでした";
}

void TestCoverImport::failedCopyIsReported()
{
    QFETCH(QString, source);
    QFETCH(QString, failure);
    QFETCH(QString, reason);
    ImportFixture f;
    const QByteArray old = bytes(Red);
    f.folder.writeBytes("ABC.jpg", old);
    f.start();
    f.writePicture(source, failure == "junk" ? QByteArray("not a picture") : bytes(Blue));
    QVERIFY(f.choose(source));
    if (failure == "disk") {
        f.state->store.folder().setWriter(std::make_unique<FailingWriter>());
        f.dialogs.expectMessage(OverwriteTitle, Dialogs::Ok);
    } else if (failure == "gone") {
        QVERIFY(QFile::remove(f.pictures.filePath(source)));
    }
    // A source that cannot be read is reported before any question.
    f.dialogs.expectMessage(QStringLiteral("画像を取り込めません"));
    f.import();
    f.checkDialogs();
    QVERIFY2(f.dialogs.messages().last().text.contains(reason), qPrintable(f.dialogs.messages().last().text));
    QVERIFY(f.panel->isVisible());
    QCOMPARE(f.covers(), QStringList{"ABC.jpg"});
    QCOMPARE(f.folder.readBytes("ABC.jpg"), old);
    QCOMPARE(f.host.refreshes, 0);

    // キャンセル puts the title's own cover back in place of the preview.
    QTest::mouseClick(f.child<QPushButton>("cmdYame"), Qt::LeftButton);
    QVERIFY(f.panel->isHidden());
    QVERIFY(near(shown(f.cover()), Red));
}

void TestCoverImport::driveNotReady()
{
    ImportFixture f;
    f.start();
    QTest::mouseClick(f.cover(), Qt::LeftButton);
    auto* drives = f.child<QComboBox>("drvZukei_Moto");
    const QString before = f.files()->path();
    QCOMPARE(before, QDir(f.folder.path()).canonicalPath()); // the lists start in the cover folder
    // A volume gone since the list was filled, like a card taken out.
    drives->addItem(QStringLiteral("カード"), f.folder.path() + "/gone");
    f.dialogs.expectMessage(QStringLiteral("ﾃﾞﾊﾞｲｽ未準備"));
    drives->setCurrentIndex(drives->count() - 1);
    emit drives->activated(drives->count() - 1);
    f.checkDialogs();
    QCOMPARE(f.dialogs.messages().last().text, QStringLiteral("ﾃﾞﾊﾞｲｽが準備されていません"));
    QCOMPARE(f.dialogs.messages().last().style, Dialogs::OkOnly + Dialogs::Critical);
    QCOMPARE(drives->findText(QStringLiteral("カード")), -1);
    QCOMPARE(f.files()->path(), before);

    drives->setCurrentIndex(0); // the home folder
    emit drives->activated(0);
    QCOMPARE(f.files()->path(), QDir(QDir::homePath()).canonicalPath());
}

void TestCoverImport::droppedAndPasted()
{
    ImportFixture f;
    f.start();
    f.writePicture("web.png", bytes(Green, {40, 60}, "png"));
    f.writePicture("notes.txt", "text");
    QMimeData data;
    const auto drop = [&](const QString& name) {
        data.setUrls({QUrl::fromLocalFile(f.pictures.filePath(name))});
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(f.cover(), &enter);
        QDropEvent event(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(f.cover(), &event);
    };
    drop("web.png");
    QCOMPARE(f.covers(), QStringList{"ABC.jpg"});
    QVERIFY(near(ofFile(f.folder.readBytes("ABC.jpg")), Green));
    QVERIFY(near(shown(f.cover()), Green));
    f.dialogs.expectMessage(QStringLiteral("画像取り込み")); // not a picture file: the reason, nothing written
    drop("notes.txt");
    f.checkDialogs();

    // A pasted picture asks the same question and is saved as ABC.jpg.
    QImage image(30, 50, QImage::Format_RGB32);
    image.fill(Blue);
    QGuiApplication::clipboard()->setImage(image);
    f.page->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(f.page.get()));
    f.dialogs.expectMessage(OverwriteTitle, Dialogs::Ok);
    QTest::keyClick(f.page.get(), Qt::Key_V, Qt::ControlModifier);
    f.checkDialogs();
    QCOMPARE(f.covers(), QStringList{"ABC.jpg"});
    QVERIFY(near(ofFile(f.folder.readBytes("ABC.jpg")), Blue));
}

QTEST_MAIN(TestCoverImport)
#include "tst_coverimport.moc"
