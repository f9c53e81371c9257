#pragma once

#include "store/TitleTable.h"

#include <QList>
#include <QString>
#include <QStringList>

// The search screen's searches. Each reads the title table as it is at that moment and lists the matching titles
// in table order; comparisons are plain comparisons of character codes, so letter case and full- and half-width
// forms count as different ("abc" finds neither "ABC" nor "ａｂｃ").
namespace search {

// The four ratings of the rating list, in the order it shows them.
inline const QStringList Ratings = {QStringLiteral("◎"), QStringLiteral("○"), QStringLiteral("△"),
                                    QStringLiteral("未")};

// Titles found, with the record each came from, so that a result stands for its own record even when another
// record has the same title.
struct Results {
    QStringList titles;
    QList<int> records;

    qsizetype size() const { return titles.size(); }
};

enum class Field { Author, Magazine, Rating };

// Every title.
Results all(const TitleTable& titles);
// The titles that contain keyword anywhere.
Results byKeyword(const TitleTable& titles, const QString& keyword);
// The titles whose author, magazine or rating is exactly value.
Results byField(const TitleTable& titles, Field field, const QString& value);

// The caption of the result frame: "検索件数　12件".
QString countCaption(qsizetype count);

} // namespace search
