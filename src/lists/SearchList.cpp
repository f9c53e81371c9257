#include "lists/SearchList.h"

namespace search {

namespace {

template <typename Test> Results matching(const TitleTable& titles, Test&& test)
{
    Results results;
    const QList<TitleRecord>& records = titles.records();
    for (qsizetype i = 0; i < records.size(); ++i) {
        if (test(records[i])) {
            results.titles.append(records[i].title);
            results.records.append(int(i) + 1);
        }
    }
    return results;
}

} // namespace

Results all(const TitleTable& titles)
{
    return matching(titles, [](const TitleRecord&) { return true; });
}

Results byKeyword(const TitleTable& titles, const QString& keyword)
{
    return matching(titles, [&keyword](const TitleRecord& r) { return r.title.contains(keyword, Qt::CaseSensitive); });
}

Results byField(const TitleTable& titles, Field field, const QString& value)
{
    switch (field) {
    case Field::Author:
        return matching(titles, [&value](const TitleRecord& r) { return r.author == value; });
    case Field::Magazine:
        return matching(titles, [&value](const TitleRecord& r) { return r.magazine == value; });
    case Field::Rating:
        break;
    }
    return matching(titles, [&value](const TitleRecord& r) { return r.rating == value; });
}

QString countCaption(qsizetype count)
{
    return QStringLiteral("検索件数\u3000%1件").arg(count);
}

} // namespace search
