#pragma once

#include "history/Change.h"
#include "history/RankingAppend.h"
#include "maintenance/SpreadsheetImport.h"

#include <QList>
#include <utility>

// The titles of a spreadsheet added as one step: the new records appended to the collection file, their volume
// files and memos written, and their titles appended to the favourite ranking, all or nothing: every file is
// checked before the first is written, and when one write fails every file written before it is put back and
// the step reports it (and what could not be put back) as its error. Undoing puts every file it wrote
// back byte for byte (a volume file or memo it replaced gets its old content, one it created is deleted); only
// what it changed is kept, never copies of other files.
class SpreadsheetImportStep final : public Change {
public:
    SpreadsheetImportStep(ChangeData& data, const spreadsheetimport::Plan& plan);

    QString apply(bool forward) override;
    ChangeOutcome outcome(bool forward) const override;
    qsizetype heldBytes() const override;

private:
    QString add();
    // Every problem the writes would meet that can be known before writing; empty when none.
    QString checkBeforeWriting(const QList<std::pair<QString, QByteArray>>& files, QStringList problems) const;
    // After a write failed part-way: the files written and the collection file as they were. Returns the
    // message for the user, failure included.
    QString rollBack(const QString& failure, const TitleTable& before);
    QString takeBack();
    void writeBack(const QList<std::pair<QString, FileBytes>>& files);

    QList<spreadsheetimport::NewRecord> m_new;
    QStringList m_titles;
    int m_first = 0; // index of the first new record
    FileBytes m_fileBefore;
    QList<std::pair<QString, FileBytes>> m_filesBefore; // the files written, with their content before
    RankingAppend m_ranking;
};
