#pragma once

#include "history/Change.h"
#include "history/RankingAppend.h"
#include "maintenance/SpreadsheetImport.h"

#include <QList>
#include <utility>

// The titles of a spreadsheet added as one step: the new records appended to the collection file, their volume
// files and memos written, and their titles appended to the favourite ranking. Undoing puts every file it wrote
// back byte for byte (a volume file or memo it replaced gets its old content, one it created is deleted); only
// what it changed is kept, never copies of other files.
class SpreadsheetImportStep final : public Change {
public:
    SpreadsheetImportStep(ChangeData& data, const spreadsheetimport::Plan& plan);

    QString apply(bool forward) override;
    ChangeOutcome outcome(bool forward) const override;
    // Volume files, memos or the ranking that could not be written; the records were added all the same.
    QString notice() const override;
    qsizetype heldBytes() const override;

    // What the last forward write could not do, item by item.
    const spreadsheetimport::Outcome& written() const { return m_written; }

private:
    QString add();
    QString takeBack();
    void writeBack(const QList<std::pair<QString, FileBytes>>& files);

    QList<spreadsheetimport::NewRecord> m_new;
    QStringList m_titles;
    int m_first = 0; // index of the first new record
    FileBytes m_fileBefore;
    QList<std::pair<QString, FileBytes>> m_filesBefore; // the files written, with their content before
    spreadsheetimport::Outcome m_written;
    RankingAppend m_ranking;
};
