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
// メモ are optional; others are ignored. Without 所持 and 未所持 every volume is collected; with one of them, the
// volumes it lists take its state and the others the opposite; with both, 未所持 marks the missing ones. Empty author
// and magazine are "未登録", an empty rating "未", empty dates today.
Plan plan(const QByteArray& bytes, const TitleTable& table, const QDate& today);

// The question asked before anything is written: how many titles will be added, each refused row with its line
// (the first ListedRefusals of them; the rest are counted).
inline constexpr int ListedRefusals = 30;
QString questionText(const Plan& plan);
// The refused rows alone, as questionText lists them; empty when none was refused.
QString refusalText(const Plan& plan);

struct Outcome {
    QString error;          // the collection file could not be written: nothing was changed
    QStringList notWritten; // volume files and memos of added titles that could not be written, with reasons
    QString rankingError;   // the titles could not be appended to the favourite ranking
};

} // namespace spreadsheetimport
