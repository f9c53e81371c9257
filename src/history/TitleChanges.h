#pragma once

#include "history/Change.h"
#include "history/RankingAppend.h"

#include <QList>
#include <utility>

// New records appended to the collection file (one title, or every record of a split series as one step), with
// a volume file each (all collected) and their titles appended to the favourite ranking.
class TitleAdd final : public Change {
public:
    // title is the name the user entered, which the step's text shows.
    TitleAdd(ChangeData& data, const QString& title, const QList<TitleRecord>& records);

    QString apply(bool forward) override;
    ChangeOutcome outcome(bool forward) const override;
    // The ranking file could not take the new titles; the records were added all the same.
    QString notice() const override { return m_rankingError; }
    // Volume files that could not be put back; the records were taken out all the same.
    QString undoNotice() const override { return m_undoNotice; }
    qsizetype heldBytes() const override;

private:
    QString add();
    QString takeBack();

    QString m_undoNotice;

    QList<TitleRecord> m_records;
    QStringList m_titles;
    int m_first = 0; // index of the first new record
    QList<FileBytes> m_volumesBefore;
    FileBytes m_fileBefore;
    QString m_rankingError;
    RankingAppend m_ranking;
    bool m_made = false; // the change was made once; later applies are redos
    bool m_rankingTaken = false; // the first apply wrote the ranking lines: every redo writes them again
};

// The record shown deleted: the collection file rewritten without it, its volume file, memo and cover pictures
// deleted. Undoing puts the record back at its place and every deleted file back byte for byte, under the
// same name.
class TitleDelete final : public Change {
public:
    TitleDelete(ChangeData& data, int index);

    QString apply(bool forward) override;
    ChangeOutcome outcome(bool forward) const override;
    // Files of the title that could not be deleted; the record was deleted all the same.
    QString notice() const override { return m_notice; }
    qsizetype heldBytes() const override;

protected:
    QString changedBeside() const override;

private:
    QString remove();
    QString restore();

    QString m_notice;
    bool m_undone = false;

    int m_index;
    int m_countBefore = 0;
    TitleRecord m_record;
    FileBytes m_fileBefore;
    QList<std::pair<QString, QByteArray>> m_files; // spelling on disk, content
};
