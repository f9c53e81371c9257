// Writes the pages scripts/browser_test.sh opens: sample.html from a copy of a collection folder (the folder
// itself is left untouched), and large.html of 32,766 made-up titles whose first ones are hostile.
// Usage: write_web_pages <collection folder> <output folder>
#include "lists/WebPage.h"
#include "store/AtomicFileWriter.h"
#include "store/CollectionStore.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>
#include <cstdio>

namespace {

const QDate Day(2008, 5, 5);

bool copyFolder(const QString& from, const QString& to)
{
    for (const QFileInfo& file : QDir(from).entryInfoList(QDir::Files)) {
        if (!QFile::copy(file.absoluteFilePath(), to + QLatin1Char('/') + file.fileName()))
            return false;
    }
    return true;
}

bool write(const QString& path, const QByteArray& page)
{
    const QString error = AtomicFileWriter().writeAtomically(path, page);
    if (!error.isEmpty())
        std::fprintf(stderr, "%s: %s\n", qPrintable(path), qPrintable(error));
    return error.isEmpty();
}

QByteArray largePage()
{
    const QStringList hostile = {QStringLiteral("<img src=x onerror=alert(1)>"),
                                 QStringLiteral("</script><script>alert(2)</script>"),
                                 QStringLiteral("<!--<script>alert(3)//")};
    TitleTable titles;
    webpage::Content content;
    content.date = Day;
    for (int i = 1; i <= TitleTable::MaxTitles; ++i) {
        const QString n = QString::number(i);
        TitleRecord r;
        r.title = i <= hostile.size() ? hostile[i - 1]
                  : i == 4            ? QStringLiteral("マホウ少女ルル")
                                      : QStringLiteral("銀河探偵団") + n;
        r.volumeCount = qint16(1 + (i * 13) % 50);
        r.startVolume = qint16(i % 20 == 0 ? 50 : 0);
        r.author = QStringLiteral("山田太郎") + n;
        r.magazine = QStringLiteral("週刊少年ジャンプ") + n;
        r.rating = QStringLiteral("◎");
        r.firstIssue = QStringLiteral("2001/02/03");
        r.lastIssue = QStringLiteral("2010/11/12");
        titles.append(r);
        VolumeStates states{};
        states[1 + i % 10] = 1;
        content.states.append(states);
    }
    content.totals = statuslist::totals(titles, content.states);
    return webpage::html(titles, content);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 3) {
        std::fprintf(stderr, "usage: write_web_pages <collection folder> <output folder>\n");
        return 2;
    }
    QTemporaryDir copy;
    if (!copy.isValid() || !copyFolder(args[1], copy.path()) || !QDir().mkpath(args[2]))
        return 1;
    CollectionStore store(copy.path());
    const TitleTable titles = store.loadCollection().table;
    const webpage::Content content = webpage::read(store, titles, Day, true);
    const statuslist::Totals& t = content.totals;
    // The totals the page must show, for the script to check against the rendered page.
    std::printf("%d %d %d %d %d %d\n", t.totalVolumes, t.collectedVolumes(), t.missingVolumes, t.titleCount,
                t.completedTitles, t.continuingTitles());
    const QDir out(args[2]);
    return write(out.filePath(QStringLiteral("sample.html")), webpage::html(titles, content)) &&
                   write(out.filePath(QStringLiteral("large.html")), largePage())
               ? 0
               : 1;
}
