// The folder and file lists of the cover import panel: filled when the panel opens, never behind the user's
// back; the file chosen is the one imported; a click on a folder lists that folder's files.
#include "ImportFixture.h"
#include "ui/DirectoryList.h"

#include <QFileSystemModel>
#include <QPushButton>

using namespace importtest;
using namespace pictures;

namespace {

QStringList listed(const FileList* files)
{
    QStringList names;
    for (int row = 0; row < files->model()->rowCount(); ++row)
        names << files->model()->index(row, 0).data().toString();
    return names;
}

} // namespace

class TestCoverLists : public QObject {
    Q_OBJECT
private slots:
    void filledWhenThePanelOpens();
    void aChosenFileGoneIsReported();
    void aFolderClickListsItsFiles();
};

void TestCoverLists::filledWhenThePanelOpens()
{
    ImportFixture f;
    f.folder.writeBytes("ABC.jpg", bytes(Red));
    f.start();
    auto* tree = f.child<DirectoryList>("dirZukei_Moto");
    QVERIFY(!tree->model());
    QVERIFY(listed(f.files()).isEmpty());
    QVERIFY(f.files()->path().isEmpty());

    QTest::mouseClick(f.cover(), Qt::LeftButton);
    QVERIFY(tree->model());
    QCOMPARE(tree->path(), QDir::cleanPath(f.folder.path()));
    QCOMPARE(f.files()->path(), QDir::cleanPath(f.folder.path()));
    QCOMPARE(listed(f.files()), QStringList{"ABC.jpg"});

    // A picture saved into the folder while the panel is open shows at the next opening, not before.
    f.folder.writeBytes("new.jpg", bytes(Blue));
    QTest::qWait(300);
    QCOMPARE(listed(f.files()), QStringList{"ABC.jpg"});
    QTest::mouseClick(f.child<QPushButton>("cmdYame"), Qt::LeftButton);
    QTest::mouseClick(f.cover(), Qt::LeftButton);
    QCOMPARE(listed(f.files()), (QStringList{"ABC.jpg", "new.jpg"}));
    f.checkDialogs();
}

void TestCoverLists::aChosenFileGoneIsReported()
{
    ImportFixture f;
    f.start();
    f.writePicture("a.jpg", bytes(Red));
    f.writePicture("b.jpg", bytes(Blue));
    f.writePicture("c.jpg", bytes(Green));
    QVERIFY(f.choose("b.jpg"));
    QVERIFY(QFile::remove(f.pictures.filePath("b.jpg")));
    QTest::qWait(300);
    f.dialogs.expectMessage(QStringLiteral("画像を取り込めません"));
    f.import();
    f.checkDialogs();
    const QString text = f.dialogs.messages().last().text;
    QVERIFY2(text.contains("「b.jpg」") && text.contains("見つかりません"), qPrintable(text));
    // Neither neighbour took its place; the list shows what is there now, nothing chosen.
    QVERIFY(f.covers().isEmpty());
    QVERIFY(f.panel->isVisible());
    QCOMPARE(listed(f.files()), (QStringList{"a.jpg", "c.jpg"}));
    QVERIFY(f.files()->fileName().isEmpty());
}

void TestCoverLists::aFolderClickListsItsFiles()
{
    ImportFixture f;
    f.start();
    const QString base = QDir(f.pictures.path()).canonicalPath();
    QVERIFY(QDir(base).mkpath("album"));
    QVERIFY(QDir(base).mkpath("folder.jpg"));
    f.writePicture("album/in.jpg", bytes(Blue));
    f.writePicture("top.jpg", bytes(Red));
    QVERIFY(f.choose("top.jpg", base));
    QCOMPARE(listed(f.files()), QStringList{"top.jpg"}); // the folder named like a picture is no file

    auto* tree = f.child<DirectoryList>("dirZukei_Moto");
    auto* model = qobject_cast<QFileSystemModel*>(tree->model());
    const auto index = [&](const QString& name) { return model->index(base + '/' + name); };
    tree->setProperty("path", base + "/album");
    QVERIFY(QTest::qWaitFor([&] { return !tree->visualRect(index("folder.jpg")).isEmpty(); }));
    QTest::qWait(100);
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualRect(index("folder.jpg")).center());
    // However the tree still sorts and fills, the folder clicked stays highlighted and its files are listed.
    QTest::qWait(200);
    QCOMPARE(model->filePath(tree->currentIndex()), base + "/folder.jpg");
    QCOMPARE(f.files()->path(), base + "/folder.jpg");
    QVERIFY(listed(f.files()).isEmpty());
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualRect(index("album")).center());
    QCOMPARE(f.files()->path(), base + "/album");
    QCOMPARE(listed(f.files()), QStringList{"in.jpg"});
    f.checkDialogs();
}

QTEST_MAIN(TestCoverLists)
#include "tst_coverlists.moc"
