// The cover import panel over a real main page: a file chosen in the lists, the preview, the copy checked byte
// for byte, the overwrite question, failures reported with the old cover left whole, a drive that cannot be read,
// and pictures dropped on or pasted onto the cover.
#include "Pictures.h"
#include "gallery/CoverPictures.h"
#include "gallery/widgets/CoverImportPanel.h"
#include "gallery/widgets/FileSystemLists.h"
#include "lists/PanelFixture.h"
#include "ui/MainPage.h"

#include <QClipboard>
#include <QComboBox>
#include <QMimeData>
#include <QPushButton>

using namespace paneltest;
using namespace pictures;

namespace {

const QString OverwriteTitle = QStringLiteral("上書き確認");

class PageHost final : public ScreenHost {
public:
    MainPage* page = nullptr;
    int refreshes = 0;
    void HidePanels() override {}
    void ShowTourMessage() override {}
    void showMainPage(int) override {}
    QString LoadTitleTable() override { return {}; }
    void refreshMainPage() override
    {
        ++refreshes;
        page->ShowTitle();
    }
};

// The main page on title 1 ("ABC" unless told) with the import panel attached; pictures to import wait in a
// folder of their own.
struct ImportFixture {
    TestFolder folder;
    QTemporaryDir pictures;
    ScriptedDialogs dialogs;
    std::unique_ptr<AppState> state;
    PageHost host;
    std::unique_ptr<MainPage> page;
    CoverImportPanel* panel = nullptr;

    void start(const QString& title = QStringLiteral("ABC"))
    {
        folder.writeText(CollectionName, collectionText({{title}}));
        state = std::make_unique<AppState>(folder.path());
        state->titles = state->store.loadCollection().table;
        state->lists = buildSelectionLists(state->titles);
        page = std::make_unique<MainPage>(*state, dialogs);
        page->resize(twips::toPixels(11880), twips::toPixels(7575));
        page->applySelectionLists();
        page->ShowTitle();
        host.page = page.get();
        panel = new CoverImportPanel(*page, *state, dialogs, host);
        page->attachCoverImportPanel(panel);
        page->show();
        QVERIFY(QTest::qWaitForWindowExposed(page.get()));
    }
    template <typename Widget = QWidget> Widget* child(const char* name) const
    {
        return page->findChild<Widget*>(QString::fromLatin1(name));
    }
    QLabel* cover() const { return child<QLabel>("imgGazou"); }
    FileList* files() const { return child<FileList>("filZukei_Moto"); }
    void writePicture(const QString& name, const QByteArray& data)
    {
        QFile file(pictures.filePath(name));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(data) == data.size());
    }
    // Opens the panel with a click on the cover, browses to folder and clicks name in the file list.
    bool choose(const QString& name, const QString& folderPath = {})
    {
        QTest::mouseClick(cover(), Qt::LeftButton);
        child("dirZukei_Moto")->setProperty("path", folderPath.isEmpty() ? pictures.path() : folderPath);
        QModelIndex found;
        const bool listed = QTest::qWaitFor([&] {
            const QModelIndex root = files()->rootIndex();
            for (int row = 0; row < files()->model()->rowCount(root); ++row)
                if (files()->model()->index(row, 0, root).data().toString() == name)
                    found = files()->model()->index(row, 0, root);
            return found.isValid();
        });
        if (listed)
            QTest::mouseClick(files()->viewport(), Qt::LeftButton, {}, files()->visualRect(found).center());
        return listed && files()->fileName() == name;
    }
    void import() { QTest::mouseClick(child<QPushButton>("cmdFileCopy"), Qt::LeftButton); }
    // Gives the file in the pictures folder as the user would: "panel" (chosen, then 画像を取り込む), "drop"
    // (dropped on the cover) or "paste" (copied as a file, pasted on the cover).
    void give(const QString& via, const QString& name)
    {
        if (via == "panel") {
            QVERIFY(choose(name));
            import();
            return;
        }
        auto* data = new QMimeData;
        data->setUrls({QUrl::fromLocalFile(pictures.filePath(name))});
        if (via == "drop") {
            QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
            QCoreApplication::sendEvent(cover(), &enter);
            QDropEvent event(QPointF(10, 10), Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
            QCoreApplication::sendEvent(cover(), &event);
            delete data;
        } else {
            QGuiApplication::clipboard()->setMimeData(data);
            pasteOnCover();
        }
    }
    void pasteOnCover()
    {
        page->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(page.get()));
        QTest::keyClick(page.get(), Qt::Key_V, Qt::ControlModifier);
    }
    QStringList covers() const
    {
        QStringList names = folder.files();
        names.removeAll(CollectionName);
        return names;
    }
    void checkDialogs() const { QVERIFY2(dialogs.done(), qPrintable(dialogs.problems())); }
};

} // namespace

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
    void onlyPicturesReplaceACover_data();
    void onlyPicturesReplaceACover();
    void preferredCoverGoes_data();
    void preferredCoverGoes();
    void largePicturesShown_data();
    void largePicturesShown();
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
                                                            << "読み込めませんでした";
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

void TestCoverImport::onlyPicturesReplaceACover_data()
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

void TestCoverImport::onlyPicturesReplaceACover()
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

void TestCoverImport::preferredCoverGoes_data()
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

void TestCoverImport::preferredCoverGoes()
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

void TestCoverImport::largePicturesShown_data()
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

void TestCoverImport::largePicturesShown()
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

QTEST_MAIN(TestCoverImport)
#include "tst_coverimport.moc"
