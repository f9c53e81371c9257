#pragma once

#include "lists/StatusList.h"
#include "store/DataFiles.h"
#include "store/TitleTable.h"

#include <QByteArray>
#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

class CollectionStore;

// The whole collection as one self-contained web page (UTF-8 HTML): styles, script and data inline, no request to
// any network or other file, so that it opens from a file or a download in any current browser, offline. The
// script draws only the rows in view, so the first screen of 32,766 titles costs what the first screen of ten
// does. Every text from the collection reaches the page as data and is shown as text, never as markup; the
// page's Content-Security-Policy forbids every request.
namespace webpage {

// Everything the page shows. states[i] and (when memos are included) memos[i] belong to titles.records()[i].
struct Content {
    QDate date;
    statuslist::Totals totals;
    QList<VolumeStates> states;
    bool withMemos = false;
    QStringList memos;
};

// Reads what the page shows, from the same reads as the status list (so its totals are the status list's).
// Memos are read only when withMemos; they stay out of the page by default.
Content read(CollectionStore& store, const TitleTable& titles, const QDate& date, bool withMemos);

// The page itself.
QByteArray html(const TitleTable& titles, const Content& content);

// The data block the page's script reads: JSON of columns, in which no '<' appears (so "</script>" and "<!--"
// cannot end or bend the block it stands in) and U+2028/U+2029 are escaped.
QByteArray dataJson(const TitleTable& titles, const Content& content);

// A suggested file name: "コレクション_20080505.html".
QString suggestedFileName(const QDate& date);

// The template and its parts, kept in a file of their own.
QByteArray pageTemplate();
QByteArray pageStyle();
QByteArray pageScript();

} // namespace webpage
