#include "StoreTestFiles.h"
#include "store/CollectionFile.h"
#include "store/CollectionStore.h"

#include <QImage>
#include <QTemporaryDir>
#include <QTest>

using namespace storetest;

namespace {

const QString OnDisk = QStringLiteral("データＰＲＯ.TXT"); // the collection as an old copy spells it

TitleRecord record(const QString& title)
{
    return {title, 12, 0, "未登録", "未登録", "未", "2008/05/05", "2008/05/05"};
}

const QByteArray Whole = sjis(collection::formatLine(record("甲")));

} // namespace

class TestCollectionStore final : public QObject {
    Q_OBJECT

private slots:
    void missingCollectionIsCreatedEmpty()
    {
        QTemporaryDir dir;
        CollectionStore store(dir.path());
        const CollectionStore::Load load = store.loadCollection();
        QCOMPARE(load.problem, QString());
        QVERIFY(load.table.isEmpty());
        QCOMPARE(contents(dir.filePath(CollectionStore::CollectionFileName)), QByteArray());
    }

    void collectionKeepsItsSpelling()
    {
        QTemporaryDir dir;
        put(dir.filePath(OnDisk), Whole);
        CollectionStore store(dir.path());
        TitleTable table = store.loadCollection().table;
        table.append(record("〜乙〜"));
        QCOMPARE(store.writeCollection(table), QString());
        QCOMPARE(store.appendCollection({record("丙")}), QString());
        QCOMPARE(listing(dir.path()), QStringList{OnDisk});
        QCOMPARE(contents(dir.filePath(OnDisk)),
                 Whole + sjis(collection::formatLine(record("～乙～")) + collection::formatLine(record("丙"))));
    }

    void damagedCollectionIsLocked()
    {
        QTemporaryDir dir;
        const QByteArray damaged = Whole + "\"\x80\"\r\n";
        put(dir.filePath(OnDisk), damaged);
        CollectionStore store(dir.path());
        const CollectionStore::Load load = store.loadCollection();
        QCOMPARE(load.table.count(), 1);
        QVERIFY2(load.problem.contains(CollectionStore::CollectionFileName) && load.problem.contains("2行目"),
                 qPrintable(load.problem));
        QCOMPARE(store.writeCollection(load.table), load.problem);
        QCOMPARE(store.appendCollection({record("丙")}), load.problem);
        QCOMPARE(contents(dir.filePath(OnDisk)), damaged);

        put(dir.filePath(OnDisk), Whole);
        QCOMPARE(store.loadCollection().problem, QString());
        QCOMPARE(store.appendCollection({record("丙")}), QString());
        QCOMPARE(store.loadCollection().table.count(), 2);
    }

    void refusedWritesKeepOldFile_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<bool>("failingWriter");
        QTest::addColumn<QString>("mentions");

        QTest::newRow("unencodable title") << "𠮷野家" << false << "𠮷";
        QTest::newRow("write fails") << "乙" << true << FailingWriter::Reason;
    }
    void refusedWritesKeepOldFile()
    {
        QFETCH(QString, title);
        QFETCH(bool, failingWriter);
        QFETCH(QString, mentions);

        QTemporaryDir dir;
        put(dir.filePath(OnDisk), Whole);
        CollectionStore store(dir.path());
        TitleTable table = store.loadCollection().table;
        table.append(record(title));
        if (failingWriter)
            store.folder().setWriter(std::make_unique<FailingWriter>());
        for (const QString& message : {store.writeCollection(table), store.appendCollection({record(title)})})
            QVERIFY2(message.contains(CollectionStore::CollectionFileName) && message.contains(mentions),
                     qPrintable(message));
        QCOMPARE(contents(dir.filePath(OnDisk)), Whole);
        QCOMPARE(listing(dir.path()), QStringList{OnDisk});
    }

    // A file saved by an editor that leaves no line end after its last line still gets the new record on a
    // line of its own; a file that ends in a lone LF or CR is not given a second break. Blank lines after the
    // last line are dropped: read in front of the new record, a blank line would be an empty first field.
    void appendAfterLastLine_data()
    {
        QTest::addColumn<QByteArray>("ending");
        QTest::addColumn<QByteArray>("joint"); // what is left of the ending in front of the new record
        QTest::newRow("no line end") << QByteArray() << QByteArray("\r\n");
        QTest::newRow("CR LF") << QByteArray("\r\n") << QByteArray("\r\n");
        QTest::newRow("LF") << QByteArray("\n") << QByteArray("\n");
        QTest::newRow("CR") << QByteArray("\r") << QByteArray("\r");
        QTest::newRow("blank line") << QByteArray("\r\n\r\n") << QByteArray("\r\n");
        QTest::newRow("blanks and blank lines") << QByteArray(" \n \t\r\n\n  ") << QByteArray(" \n");
        QTest::newRow("blanks, no line end") << QByteArray("\t ") << QByteArray("\t \r\n");
    }
    void appendAfterLastLine()
    {
        QFETCH(QByteArray, ending);
        QFETCH(QByteArray, joint);

        QTemporaryDir dir;
        const QByteArray line = Whole.chopped(2);
        put(dir.filePath(CollectionStore::CollectionFileName), line + ending);
        put(dir.filePath(CollectionStore::RankingFileName), sjis("\"甲\"") + ending);
        CollectionStore store(dir.path());
        QCOMPARE(store.loadCollection().problem, QString());
        QCOMPARE(store.appendCollection({record("乙")}), QString());
        QCOMPARE(store.appendRanking({"乙"}), QString());

        QCOMPARE(contents(dir.filePath(CollectionStore::CollectionFileName)),
                 line + joint + sjis(collection::formatLine(record("乙"))));
        const CollectionStore::Load load = store.loadCollection();
        QCOMPARE(load.problem, QString());
        QCOMPARE(load.table.count(), 2);
        QCOMPARE(load.table.at(2), record("乙"));
        QCOMPARE(CollectionStore(dir.path()).readRanking(), (QStringList{"甲", "乙"}));
    }

    // A title named after one of the program's own files never reads, writes or deletes that file.
    void programFilesAreNeverATitlesFiles_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("programFile");
        QTest::newRow("collection") << "データＰＲＯ"
                                    << "データＰＲＯ.txt";
        QTest::newRow("collection, other case") << "データｐｒｏ"
                                                << "データＰＲＯ.txt";
        QTest::newRow("ranking") << "ランキング"
                                 << "ランキング.txt";
        QTest::newRow("settings") << "設定"
                                  << "設定.txt";
        QTest::newRow("uncollected export") << "残巻データ"
                                            << "残巻データ.txt";
        QTest::newRow("full export") << "収集一覧データ"
                                     << "収集一覧データ.txt";
        QTest::newRow("placeholder picture") << "nopic"
                                             << "NOPIC.JPG";
    }
    void programFilesAreNeverATitlesFiles()
    {
        QFETCH(QString, title);
        QFETCH(QString, programFile);

        QTemporaryDir dir;
        const QByteArray original = sjis("\"元\",1\r\n");
        put(dir.filePath(programFile), original);
        CollectionStore store(dir.path());

        const QString clash = CollectionStore::programFileClash(title);
        QVERIFY2(clash.contains(programFile), qPrintable(clash));
        VolumeStates missing{};
        missing[1] = 1;
        const QString volumeFile = title + CollectionStore::VolumeSuffix;
        const bool volumeClash = CollectionStore::isProgramFile(volumeFile);
        QCOMPARE(volumeClash, !programFile.endsWith(".JPG"));
        const QString volumeError = store.writeVolumeFile(volumeFile, missing);
        QCOMPARE(volumeError.contains(programFile), volumeClash);
        QCOMPARE(store.readVolumeFile(volumeFile), volumeClash ? VolumeStates{} : missing);
        store.removeTitleFiles(title);
        QCOMPARE(contents(dir.filePath(programFile)), original);
    }

    void ordinaryTitleFilesAreRemoved()
    {
        QTemporaryDir dir;
        for (const char* name : {"題.txt", "題_C.TXT", "題.JPG", "題.gif", "題.bmp", "題題.txt"})
            put(dir.filePath(name), "x");
        CollectionStore store(dir.path());
        QCOMPARE(CollectionStore::programFileClash("題"), QString());
        store.removeTitleFiles("題");
        QCOMPARE(listing(dir.path()), QStringList{"題題.txt"});
    }

    void volumeFiles()
    {
        QTemporaryDir dir;
        put(dir.filePath("Ａ.txt"), "1,2\r\n");
        CollectionStore store(dir.path());
        bool complete = false;
        QCOMPARE(store.readVolumeFile("新.TXT", &complete), VolumeStates{});
        QVERIFY(complete); // a new title's file is missing, not damaged
        QCOMPARE(store.readVolumeFile("ａ.TXT", &complete)[2], qint16(2));
        QVERIFY(!complete);
        QVERIFY(!store.writeVolumeFile("../逃.TXT", VolumeStates{}).isEmpty());
        QCOMPARE(listing(dir.path()), QStringList{"Ａ.txt"});
    }

    // Many files read at once give, file by file, what one read gives, in the order asked, and are checked for
    // changes made by another program afterwards just the same.
    void bulkReadMatchesSingleReads_data()
    {
        QTest::addColumn<QStringList>("onDisk"); // spellings put into the folder, each holding bytes
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("asked");
        QTest::addColumn<bool>("exists");
        QTest::addColumn<bool>("complete");

        const QByteArray written = sjis(volumefile::format(VolumeStates{0, 1, 1}));
        QTest::newRow("as written") << QStringList{"甲.TXT"} << written << "甲.TXT" << true << true;
        QTest::newRow("missing") << QStringList{} << QByteArray() << "乙.TXT" << false << true;
        QTest::newRow("empty") << QStringList{"丙.TXT"} << QByteArray() << "丙.TXT" << true << false;
        QTest::newRow("broken bytes") << QStringList{"丁.TXT"} << QByteArray("1,\x81") << "丁.TXT" << true << false;
        QTest::newRow("hand-edited") << QStringList{"戊.TXT"} << QByteArray(" 1 ,\"1\"\n0") << "戊.TXT" << true
                                     << false;
        QTest::newRow("other letter case") << QStringList{"ａbc.txt"} << written << "ＡBC.TXT" << true << true;
        QTest::newRow("other width") << QStringList{"abc.txt"} << written << "ＡBC.TXT" << false << true;
        QTest::newRow("letter-case twins")
            << QStringList{"Ｔwin.TXT", "ｔwin.txt"} << written << "ｔWIN.TXT" << true << true;
        QTest::newRow("program file") << QStringList{"データＰＲＯ.txt"} << Whole << "データｐｒｏ.TXT" << true << true;
    }
    void bulkReadMatchesSingleReads()
    {
        QFETCH(QStringList, onDisk);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, asked);
        QFETCH(bool, exists);
        QFETCH(bool, complete);

        // Enough files that the reads are shared out; the awkward one sits in the middle.
        QTemporaryDir dir;
        QStringList names;
        for (int i = 0; i < 700; ++i) {
            names << QStringLiteral("巻%1.TXT").arg(i);
            VolumeStates states{};
            states[1] = qint16(i % 3);
            put(dir.filePath(names.last()), sjis(volumefile::format(states)));
        }
        names.insert(350, asked);
        for (const QString& spelling : onDisk)
            put(dir.filePath(spelling), bytes);

        CollectionStore bulk(dir.path());
        const QList<CollectionStore::VolumeRead> reads = bulk.readVolumeFiles(names);
        QCOMPARE(reads.size(), names.size());
        CollectionStore single(dir.path());
        for (qsizetype i = 0; i < names.size(); ++i) {
            bool readWhole = false;
            const VolumeStates one = single.readVolumeFile(names[i], &readWhole);
            QCOMPARE(reads[i].states, one);
            QCOMPARE(reads[i].complete, readWhole);
            QCOMPARE(reads[i].exists, single.folder().exists(names[i]) || CollectionStore::isProgramFile(names[i]));
            if (i != 350)
                QCOMPARE(reads[i].states[1], qint16((i < 350 ? i : i - 1) % 3));
        }
        QCOMPARE(reads[350].exists, exists);
        QCOMPARE(reads[350].complete, complete);

        if (CollectionStore::isProgramFile(asked) || !exists) {
            // Nothing was there to protect: a new file is written; the program's own file never is.
            QCOMPARE(bulk.writeVolumeFile(asked, VolumeStates{}).isEmpty(), !exists);
            return;
        }
        // Another program changes the file read, keeping its size: the next save must leave it alone.
        const QString changed = dir.filePath(bulk.folder().existingName(asked));
        QByteArray other = storetest::contents(changed);
        if (other.isEmpty())
            other = "9";
        else
            other[0] = other[0] == '7' ? '8' : '7';
        put(changed, other);
        QVERIFY(!bulk.writeVolumeFile(asked, VolumeStates{}).isEmpty());
        QCOMPARE(storetest::contents(changed), other);
    }

    void memoSettingsRanking()
    {
        QTemporaryDir dir;
        put(dir.filePath("題_C.txt"), "old\r\n");
        CollectionStore store(dir.path());
        QCOMPARE(store.readHelpTour(), qint16(0));
        QCOMPARE(store.readRanking(), QStringList());
        QCOMPARE(store.readMemo("無"), QString());

        QCOMPARE(store.writeMemo("題", "一\n二"), QString());
        QCOMPARE(store.writeMemo("新", "x"), QString());
        QCOMPARE(store.writeHelpTour(1), QString());
        QCOMPARE(store.appendRanking({"甲", "乙"}), QString());
        QCOMPARE(store.appendRanking({"丙"}), QString());
        QCOMPARE(listing(dir.path()), (QStringList{"ランキング.txt", "新_C.TXT", "設定.TXT", "題_C.txt"}));
        QCOMPARE(contents(dir.filePath("題_C.txt")), sjis("一\r\n二\r\n"));
        QCOMPARE(store.readMemo("題"), QStringLiteral("一\r\n二"));
        QCOMPARE(store.readHelpTour(), qint16(1));
        QCOMPARE(store.readRanking(), (QStringList{"甲", "乙", "丙"}));
    }

    void covers_data()
    {
        QTest::addColumn<QStringList>("files"); // name=width of a picture, or name=0 for a broken file
        QTest::addColumn<int>("width");         // of the cover expected, 0 for none

        QTest::newRow("last that loads wins") << QStringList{"T.JPG=1", "T.gif=0", "T.bmp=3"} << 3;
        QTest::newRow("no picture fallback") << QStringList{"T.jpg=0", "NOPIC.JPG=5"} << 5;
        QTest::newRow("nothing") << QStringList{"U.jpg=1"} << 0;
    }
    void covers()
    {
        QFETCH(QStringList, files);
        QFETCH(int, width);

        QTemporaryDir dir;
        for (const QString& file : files) {
            const QString path = dir.filePath(file.section('=', 0, 0));
            QImage picture(file.section('=', 1).toInt(), 1, QImage::Format_RGB32);
            picture.fill(Qt::red);
            // Every picture is a PNG whatever its name says: the content decides the format.
            if (picture.isNull())
                put(path, "not a picture");
            else
                QVERIFY(picture.save(path, "PNG"));
        }
        QCOMPARE(CollectionStore(dir.path()).loadCover("T", QSize()).width(), width);
    }
};

QTEST_GUILESS_MAIN(TestCollectionStore)
#include "tst_collectionstore.moc"
