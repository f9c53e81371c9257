// The folder tree shared by the cover import panel and the free-edition take-over: what opens a folder, what only
// moves the highlight, and that the current folder itself is never read on the user's behalf.
#include "ui/DirectoryList.h"

#include <QFileSystemModel>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <memory>

namespace {

// A tree shown on base/start, with the sibling folders "a", "b" and "c" beside start; start holds a folder of its
// own, which stays unread.
struct Tree {
    QTemporaryDir dir;
    QString base;
    DirectoryList list;
    std::unique_ptr<QSignalSpy> loaded; // the folders the model has read to the end

    Tree() : base(QDir(dir.path()).canonicalPath())
    {
        for (const char* name : {"a", "b", "c", "start/inside"})
            QDir().mkpath(base + QLatin1Char('/') + QLatin1String(name));
        list.resize(300, 400);
        list.setPath(base + QStringLiteral("/start"));
        list.show();
        // The model reads in a thread of its own and reports to this one through the event loop, which has not
        // run yet: nothing is missed.
        loaded = std::make_unique<QSignalSpy>(model(), &QFileSystemModel::directoryLoaded);
    }
    QFileSystemModel* model() const { return qobject_cast<QFileSystemModel*>(list.model()); }
    QModelIndex index(const QString& name) const { return model()->index(base + QLatin1Char('/') + name); }
    // Waits until every folder above start is read to the end, sorted, and start is in view. The folders above
    // base (the temporary folder, shared with whatever else runs) gain and lose entries while they are read, so
    // a row's place is known only then.
    bool settled()
    {
        QStringList above;
        for (QString path = base;; path = QFileInfo(path).path()) {
            above << path;
            if (QFileInfo(path).isRoot())
                break;
        }
        const auto allRead = [&] {
            QStringList read;
            for (const QList<QVariant>& signal : std::as_const(*loaded))
                read << signal.first().toString();
            return std::all_of(above.cbegin(), above.cend(), [&](const QString& path) { return read.contains(path); });
        };
        const bool listed = QTest::qWaitFor([&] {
            return allRead() && model()->rowCount(index(QString())) == 4 && list.currentIndex() == index("start") &&
                   !list.visualRect(index("c")).isEmpty();
        });
        QTest::qWait(50);
        return listed;
    }
    QString current() const { return model()->filePath(list.currentIndex()); }
};

} // namespace

class TestDirectoryList : public QObject {
    Q_OBJECT
private slots:
    void nothingIsReadBeforeItIsShown();
    void opens_data();
    void opens();
    void theCurrentFolderIsNotRead();
};

void TestDirectoryList::nothingIsReadBeforeItIsShown()
{
    QTemporaryDir dir;
    DirectoryList list;
    QSignalSpy changed(&list, &DirectoryList::pathChanged);
    QVERIFY(list.setProperty("path", dir.path()));
    QCOMPARE(list.path(), QDir::cleanPath(dir.path()));
    QCOMPARE(changed.count(), 1);
    QVERIFY(!list.model());
}

void TestDirectoryList::opens_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<QString>("opened"); // empty: start stays the current folder
    QTest::addColumn<QString>("highlighted");
    QTest::newRow("a click") << "click"
                             << "b"
                             << "b";
    QTest::newRow("a double-click") << "double-click"
                                    << "b"
                                    << "b";
    QTest::newRow("Down only moves the highlight") << "down" << QString() << "c";
    QTest::newRow("Down, then Enter") << "down enter"
                                      << "c"
                                      << "c";
}

void TestDirectoryList::opens()
{
    QFETCH(QString, how);
    QFETCH(QString, opened);
    QFETCH(QString, highlighted);
    Tree tree;
    QVERIFY(tree.settled());
    QSignalSpy changed(&tree.list, &DirectoryList::pathChanged);
    QWidget* viewport = tree.list.viewport();
    const QPoint b = tree.list.visualRect(tree.index("b")).center();
    if (how == "click") {
        QTest::mouseClick(viewport, Qt::LeftButton, {}, b);
    } else if (how == "double-click") {
        QTest::mousePress(viewport, Qt::LeftButton, {}, b);
        QTest::mouseRelease(viewport, Qt::LeftButton, {}, b);
        QTest::mouseDClick(viewport, Qt::LeftButton, {}, b);
        QTest::mouseRelease(viewport, Qt::LeftButton, {}, b);
    } else {
        tree.list.setFocus();
        // The sort order is a, b, c, start: up twice from start is b.
        QTest::keyClick(&tree.list, Qt::Key_Up);
        QTest::keyClick(&tree.list, Qt::Key_Up);
        QTest::keyClick(&tree.list, Qt::Key_Down);
        if (how.endsWith("enter"))
            QTest::keyClick(&tree.list, Qt::Key_Return);
    }
    // Whatever the model still sorts or lists afterwards, the highlight stays where the user put it.
    QTest::qWait(200);
    const QString expected = tree.base + QLatin1Char('/') + (opened.isEmpty() ? QStringLiteral("start") : opened);
    QCOMPARE(tree.list.path(), expected);
    QCOMPARE(changed.isEmpty(), opened.isEmpty());
    if (!opened.isEmpty())
        QCOMPARE(changed.last().first().toString(), expected);
    QCOMPARE(tree.current(), tree.base + QLatin1Char('/') + highlighted);
}

void TestDirectoryList::theCurrentFolderIsNotRead()
{
    Tree tree;
    QVERIFY(tree.settled());
    QVERIFY(!tree.list.isExpanded(tree.index("start")));
    QCOMPARE(tree.model()->rowCount(tree.index("start")), 0);
}

QTEST_MAIN(TestDirectoryList)
#include "tst_directorylist.moc"
