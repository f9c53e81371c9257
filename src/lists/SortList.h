#pragma once

#include "store/RecordOrder.h"
#include "store/TitleTable.h"

#include <QDate>
#include <QList>
#include <QString>
#include <array>
#include <optional>

// What the sort screen shows of the collection and how its shown order becomes the collection's order.
namespace sortlist {

inline constexpr int Columns = 8;
enum Column {
    TitleColumn,
    VolumeColumn,
    RatingColumn,
    AuthorColumn,
    MagazineColumn,
    FirstColumn,
    LastColumn,
    RunColumn
};

struct ColumnLook {
    const char16_t* header;
    int widthTwips;
    bool centred;
};
inline constexpr std::array<ColumnLook, Columns> Look = {{
    {u"題名", 2830, false},
    {u"巻数", 510, false},
    {u"評価", 510, true},
    {u"著者", 1680, false},
    {u"掲載雑誌", 2090, false},
    {u"初刊発行", 1150, false},
    {u"終刊発行", 1150, false},
    {u"年数", 1120, true},
}};

// The calendar date an issue-date text stands for: year, month and day separated by "/", "-" or "." (2002/2/18),
// a year of one or two digits read as 1930 to 2029, blanks around the text ignored. nullopt otherwise.
std::optional<QDate> readDate(const QString& text);

// An issue date as the grid shows it: "yyyy/MM/dd" when it is a date, else the text as stored.
QString dateCell(const QString& text);

// The 年数 cell. Equal date cells give "00年00ヶ月". Otherwise the date lying as many days after 30 December 1899
// as the series ran, as "yy年MMヶ月": 1 day is "99年12ヶ月", 30 days "00年01ヶ月", 365 days "00年12ヶ月". A date
// that cannot be read, or a result outside the years 100 to 9999, gives an empty cell.
QString runLength(const QString& firstIssue, const QString& lastIssue);

// One grid row: the eight cell texts and the record it was filled from, so that rows with the same title still
// stand for different records.
struct SortRow {
    std::array<QString, Columns> cells;
    int record = 0; // index in the title table at the last fill or rewrite; 0 for a row filled from nothing
};

// Row i - 1 shows record i.
QList<SortRow> fill(const TitleTable& titles);

// The collection in the order of the grid's rows, every record exactly once, rows mapped to records as
// recordorder::reorder does.
using Reorder = recordorder::Result;
Reorder reorder(const QList<SortRow>& rows, const TitleTable& titles);

} // namespace sortlist
