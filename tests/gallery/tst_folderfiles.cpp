// Listing the picture files of a folder the user browses: what is listed, how it is matched and in what order.
#include "gallery/FolderFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class TestFolderFiles : public QObject {
    Q_OBJECT
private slots:
    void matching_data();
    void matching();
};

void TestFolderFiles::matching_data()
{
    QTest::addColumn<QStringList>("files"); // "name/": a folder; "name -> target": a link
    QTest::addColumn<QStringList>("patterns");
    QTest::addColumn<QStringList>("listed");
    const QStringList pictures{"*.jpg", "*.bmp"};
    QTest::newRow("letter case ignored, other kinds left out")
        << QStringList{"SCAN.BMP", "a.Jpg", "b.gif", "notes.txt", "jpg"} << pictures
        << QStringList{"a.Jpg", "SCAN.BMP"};
    QTest::newRow("natural order") << QStringList{"10.jpg", "2.jpg", "B.jpg", "a.jpg", "1.jpg"} << pictures
                                   << QStringList{"1.jpg", "2.jpg", "10.jpg", "a.jpg", "B.jpg"};
    QTest::newRow("folders, hidden files and links to folders left out")
        << QStringList{"album.jpg/", ".hidden.jpg", "cover.jpg", "to-album.jpg -> album.jpg",
                       "to-cover.jpg -> cover.jpg"}
        << pictures << QStringList{"cover.jpg", "to-cover.jpg"};
    QTest::newRow("a link leading nowhere left out")
        << QStringList{"gone.jpg -> nothing.jpg"} << pictures << QStringList{};
    QTest::newRow("wildcards in the middle")
        << QStringList{"scan1.png", "scan22.png", "x1.png"} << QStringList{"scan?.png"} << QStringList{"scan1.png"};
}

void TestFolderFiles::matching()
{
    QFETCH(QStringList, files);
    QFETCH(QStringList, patterns);
    QFETCH(QStringList, listed);
    QTemporaryDir dir;
    const QDir folder(dir.path());
    for (const QString& entry : files) {
        if (entry.endsWith('/')) {
            QVERIFY(folder.mkdir(entry.chopped(1)));
        } else if (entry.contains(" -> ")) {
            const QStringList parts = entry.split(" -> ");
            QVERIFY(QFile::link(parts[1], folder.filePath(parts[0])));
        } else {
            QFile file(folder.filePath(entry));
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
    }
    QCOMPARE(folderfiles::matching(dir.path(), patterns), listed);
}

QTEST_MAIN(TestFolderFiles)
#include "tst_folderfiles.moc"
