#pragma once

#include "store/DataFiles.h"
#include "store/TitleTable.h"

#include <QByteArray>
#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

class CollectionStore;

// Titles read from a table saved by a spreadsheet (the program's own export, or one made by hand), checked row by
// row as a typed title is checked, before anything is written.
namespace spreadsheetimport {

struct NewRecord {
    TitleRecord record;
    VolumeStates states{};
    QString memo; // empty: no memo file is written
};

struct Refusal {
    int line = 0;
    QString reason; // Japanese, for the user
};

struct Plan {
    QString problem;          // the whole file cannot be used (no header, a required column missing, ...)
    QList<NewRecord> records; // the records the accepted rows make, in file order
    int acceptedRows = 0;
    QList<Refusal> refused; // in line order
    bool ok() const { return problem.isEmpty(); }
};

// Reads bytes (UTF-8 with or without a byte-order mark, else code page 932; comma- or tab-separated) and checks
// every row against table and the rows before it. Columns are found by their header: 題名 and 巻数 are required;
// 分割 (a record's start volume: the row is that one record; without it a count above 50 is split in records of 50
// titled "(1_50)", "(51_100)", ...), 著者, 掲載誌 (or 掲載, 雑誌), 評価, 初刊 (or 初刊発行), 終刊, 所持, 未所持 and
// メモ and 他の状態 are optional; others are ignored. Without 所持 and 未所持 every volume is collected; with one of
// them, the volumes it lists take its state and the others the opposite; with both, a volume neither lists is not
// owned. 他の状態 sets the values it lists. Every cell has the export's formula guard taken off and its text put in
// the stored form. A column that is there is taken as written (blanks kept, an empty cell stays empty; a date as
// y/m/d kept as written); a missing author or magazine column gives "未登録", rating "未", dates today.
Plan plan(const QByteArray& bytes, const TitleTable& table, const QDate& today);

// The question asked before anything is written: how many titles will be added, each refused row with its line
// (the first ListedRefusals of them; the rest are counted).
inline constexpr int ListedRefusals = 30;
QString questionText(const Plan& plan);
// The refused rows alone, as questionText lists them; empty when none was refused.
QString refusalText(const Plan& plan);

// The import writes everything or nothing: every file is checked before the first is written, and a write that
// fails part-way has every file written before it put back.
struct Outcome {
    QString error; // why nothing was imported, and whether everything written was put back; empty on success
};

} // namespace spreadsheetimport
