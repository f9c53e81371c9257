// The spreadsheet export as a real spreadsheet sees it, driven by scripts/spreadsheet_roundtrip.sh:
//   spreadsheet_roundtrip export <folder> <csv>  writes a collection of hostile records into folder and exports it
//   spreadsheet_roundtrip check <folder> <csv>   imports csv into an empty folder; exit 1 unless every file of
//                                                folder comes back byte for byte
#include "maintenance/SpreadsheetExport.h"
#include "maintenance/SpreadsheetImport.h"
#include "maintenance/SpreadsheetImportStep.h"
#include "store/AtomicFileWriter.h"
#include "store/CollectionStore.h"
#include "store/Cp932.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>

namespace {

bool writeText(const QString& folder, const QString& name, const QString& text)
{
    QFile file(folder + u'/' + name);
    return file.open(QIODevice::WriteOnly) && file.write(cp932::encode(text).bytes) >= 0;
}

QString volumes(const QList<int>& states)
{
    QString text;
    for (int v = 1; v <= 50; ++v)
        text += QString::number(v <= states.size() ? states[v - 1] : 0) + QLatin1String(v % 10 == 0 ? "\r\n" : ",");
    return text;
}

// Cells spreadsheets run as formulas or turn into numbers and dates, blanks, empty fields, dates as stored,
// memos with tabs and line breaks, values other than 0 and 1.
bool writeCollection(const QString& folder)
{
    QDir().mkpath(folder);
    return writeText(
               folder, CollectionStore::CollectionFileName,
               QStringLiteral("\" 星 \",3,0,\"=1+1\",\"\",\"-\",\"2015/4/1\",\"\"\r\n"
                              "\"+3\",12,50,\"@SUM(A1)\",\"\tTab\",\"'\",\"\",\"2001/02/03\"\r\n"
                              "\"=HYPERLINK(x)\",50,0,\"-2\",\"誌 \",\"○\",\"2020/12/31\",\"2021/1/2\"\r\n"
                              "\"'=x\",5,100,\"未登録\",\"1,2\",\"◎\",\"1999/1/1\",\"1999/01/01\"\r\n")) &&
           writeText(folder, QStringLiteral(" 星 .TXT"), volumes({0, 2, -1, 0, 7})) &&
           writeText(folder, QStringLiteral("+3.TXT"), volumes({1, 1, 0, 0, 1, 0, 0, 0, 0, 0, 1, 0})) &&
           writeText(folder, QStringLiteral("'=x.TXT"), volumes({0, 1, 0, 1, 0})) &&
           writeText(folder, QStringLiteral(" 星 _C.txt"), QStringLiteral("=HYPERLINK(\"x\")\r\n\tインデント\r\n")) &&
           writeText(folder, QStringLiteral("+3_C.txt"), QStringLiteral("-メモ, \"引用\"\r\n@\r\n"));
}

int fail(const QString& why)
{
    std::fprintf(stderr, "spreadsheet_roundtrip: %s\n", qPrintable(why));
    return 1;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 4 || (args[1] != u"export" && args[1] != u"check"))
        return fail(QStringLiteral("usage: spreadsheet_roundtrip export|check <folder> <csv>"));
    const QString folder = args[2];
    const QString csv = args[3];
    if (args[1] == u"export") {
        if (!writeCollection(folder))
            return fail(QStringLiteral("cannot write the collection into ") + folder);
        CollectionStore store(folder);
        AtomicFileWriter writer;
        const QString error = spreadsheet::exportTo(store, store.loadCollection().table, csv, writer);
        return error.isEmpty() ? 0 : fail(error);
    }

    QFile file(csv);
    if (!file.open(QIODevice::ReadOnly))
        return fail(QStringLiteral("cannot read ") + csv);
    QTemporaryDir target;
    CollectionStore store(target.path());
    TitleTable titles = store.loadCollection().table;
    const spreadsheetimport::Plan plan = spreadsheetimport::plan(file.readAll(), titles, QDate(2024, 5, 6));
    if (!plan.ok() || !plan.refused.isEmpty())
        return fail(plan.problem + spreadsheetimport::questionText(plan));
    QStringList favourites;
    ChangeData data{store, titles, favourites};
    SpreadsheetImportStep step(data, plan);
    if (const QString error = step.apply(true); !error.isEmpty())
        return fail(error);

    int differences = 0;
    const QStringList names = QDir(folder).entryList(QDir::Files);
    for (const QString& name : names) {
        QFile a(folder + u'/' + name);
        QFile b(target.path() + u'/' + name);
        if (!a.open(QIODevice::ReadOnly) || !b.open(QIODevice::ReadOnly) || a.readAll() != b.readAll()) {
            std::fprintf(stderr, "differs: %s\n", qPrintable(name));
            ++differences;
        }
    }
    std::printf("%lld files compared, %d differ\n", static_cast<long long>(names.size()), differences);
    return differences == 0 ? 0 : 1;
}
