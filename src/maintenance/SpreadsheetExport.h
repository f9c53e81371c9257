#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

class CollectionStore;
class FileWriter;
class TitleTable;

// The whole collection as a table for a spreadsheet, one row per record, which the spreadsheet import reads back
// into the same records, volume files and memos.
namespace spreadsheet {

// 分割 is the number the main page's 分割 shows (the record's first volume: 1, 51, 101, ...), so that a row is one
// record exactly; 所持 and 未所持 list the volumes by the numbers their labels show, as "1～10、12" (text to a
// spreadsheet); 他の状態 lists, as "7(2)、60(-1)", every volume whose file holds another value than those two
// columns tell (a value other than 0 and 1, or anything but 0 for an entry beyond the record's count). メモ
// keeps its line breaks inside the quoted cell. A cell a spreadsheet would run as a formula is guarded with '.
inline const QStringList Header = {
    QStringLiteral("題名"),   QStringLiteral("巻数"),   QStringLiteral("分割"), QStringLiteral("著者"),
    QStringLiteral("掲載誌"), QStringLiteral("評価"),   QStringLiteral("初刊"), QStringLiteral("終刊"),
    QStringLiteral("所持"),   QStringLiteral("未所持"), QStringLiteral("メモ"), QStringLiteral("他の状態"),
};

// The file's bytes: UTF-8 with a byte-order mark, CR LF, the header row first.
QByteArray exportBytes(const CollectionStore& store, const TitleTable& table);

// Writes exportBytes to path (anywhere, not only in the working folder) atomically; empty, or why it failed.
QString exportTo(const CollectionStore& store, const TitleTable& table, const QString& path, FileWriter& writer);

} // namespace spreadsheet
