// The readers of the exchange formats, fuzzed by the same target as the record readers: the spreadsheet
// import, the typed volume list and a backup generation's list of files. Each property holds for any input.

#include "fuzz_exchange.h"

#include "history/BackupManifest.h"
#include "maintenance/SpreadsheetImport.h"
#include "store/CollectionFile.h"
#include "store/VolumeList.h"

#include <cstdio>
#include <cstdlib>

namespace {

[[noreturn]] void broken(const char* property, const QByteArray& bytes)
{
    std::fprintf(stderr, "\nProperty broken: %s\n%s\n", property, bytes.toHex(' ').constData());
    std::fflush(stderr);
    std::abort();
}

void checkSpreadsheet(const QByteArray& bytes)
{
    TitleTable table;
    table.append({QStringLiteral("既存"), 3, 0, QStringLiteral("著者"), QStringLiteral("雑誌"), QStringLiteral("○"),
                  QStringLiteral("2001/01/01"), QStringLiteral("2001/01/01")});
    const spreadsheetimport::Plan plan = spreadsheetimport::plan(bytes, table, QDate(2024, 5, 6));
    if (!plan.ok() && !plan.records.isEmpty())
        broken("a refused spreadsheet adds no records", bytes);
    QStringList titles{QStringLiteral("既存")};
    for (const spreadsheetimport::NewRecord& added : plan.records) {
        if (!collection::countsProblem(added.record.volumeCount, added.record.startVolume).isEmpty())
            broken("every imported record has counts the program can show and save", bytes);
        if (titles.contains(added.record.title))
            broken("an import never adds a title twice", bytes);
        titles << added.record.title;
    }
    for (const spreadsheetimport::Refusal& refusal : plan.refused)
        if (refusal.line < 1 || refusal.reason.isEmpty())
            broken("every refused row names its line and why", bytes);
}

void checkVolumeList(const QString& text, const QByteArray& bytes)
{
    const volumelist::Parsed parsed = volumelist::parse(text);
    for (qsizetype i = 0; i < parsed.numbers.size(); ++i)
        if (parsed.numbers[i] < 1 || parsed.numbers[i] > 32767 || (i && parsed.numbers[i] <= parsed.numbers[i - 1]))
            broken("a volume list reads as ascending numbers from 1 to 32767, each once", bytes);
    if (parsed.ok() && volumelist::parse(volumelist::format(parsed.numbers)).numbers != parsed.numbers)
        broken("a volume list written again reads back as the same numbers", bytes);
}

void checkManifest(const QByteArray& bytes)
{
    const std::optional<manifest::Manifest> parsed = manifest::parse(bytes);
    if (!parsed)
        return;
    // The list of generations reads only the header: it must agree with the whole list.
    const std::optional<manifest::Manifest> head = manifest::parseHeader(bytes);
    if (!head || head->sequence != parsed->sequence || head->reason != parsed->reason ||
        head->titleCount != parsed->titleCount || head->fileCount != parsed->fileCount || head->packs != parsed->packs)
        broken("a generation's header reads as the whole list's", bytes);
    const std::optional<manifest::Manifest> again = manifest::parse(manifest::format(*parsed));
    if (!again || again->files.size() != parsed->files.size() || again->titleCount != parsed->titleCount ||
        again->reason != parsed->reason || again->sequence != parsed->sequence)
        broken("a generation's list written again reads back the same", bytes);
}

} // namespace

void checkExchange(const QByteArray& bytes, const QString& decoded)
{
    checkSpreadsheet(bytes);
    checkVolumeList(decoded, bytes);
    checkVolumeList(QString::fromUtf8(bytes), bytes);
    checkManifest(bytes);
}
