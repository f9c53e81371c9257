#pragma once

#include "lists/StatusList.h"
#include "store/Cp932.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

class CollectionStore;

// The two export files and the printed list of missing volumes. Every layout returns the whole text (CR LF line
// ends); the store writes it in code page 932, replacing the earlier file only once the new one is complete.
namespace exports {

inline const QString UncollectedFileName = QStringLiteral("残巻データ.txt");
inline const QString FullStatusFileName = QStringLiteral("収集一覧データ.txt");

// "2008年05月05日現在の未収集状況" for 5 May 2008.
QString dateText(const QDate& date);
// The two lines every export starts with: the date text quoted, then an empty quoted string.
QString dateHeader(const QDate& date);

// The "残巻" layout of one record: the series numbers of its missing volumes, at least two digits each, joined
// by "_", split after the piece that takes the first part beyond 105 characters, each part closed with
// " <last series number>". One part, two, or none when nothing is missing.
QStringList shoppingParts(quint64 missing, int volumeCount, int startVolume);

// One title's lines in the "残巻" layout: the title and each part, quoted.
QString shoppingLines(const QString& title, const QStringList& parts);

// One title's line in the "未収集データ保存" layout: the title, the record positions of its missing volumes joined
// by "_", and "<volume count>", quoted; empty when nothing is missing.
QString uncollectedLine(const QString& title, quint64 missing, int volumeCount);

// The whole "収集一覧データ.txt": date header, the unquoted column header " ,1,...,50", and per row the title
// followed by fifty cells, each a comma and the grid cell's text.
QString fullStatusText(const QDate& date, const QList<statuslist::StatusRow>& rows);
// The same file encoded, exactly cp932::encode(fullStatusText(...)), but built straight as bytes: the file holds
// tens of thousands of rows of mostly commas and digits, which need no string and no encoder of their own.
cp932::Encoded fullStatusBytes(const QDate& date, const QList<statuslist::StatusRow>& rows);

// A title's missing volumes, read from its volume file (see statuslist::readStates).
struct TitleMissing {
    QString title;
    qint16 volumeCount = 0;
    qint16 startVolume = 0;
    quint64 missing = 0;
};
QList<TitleMissing> readMissing(CollectionStore& store, const TitleTable& titles);

// The "残巻" file text and the "未収集データ保存" file text from what readMissing found.
QString shoppingText(const QDate& date, const QList<TitleMissing>& titles);
QString uncollectedText(const QDate& date, const QList<TitleMissing>& titles);

// Writes text as fileName through the store: empty on success, else a message naming the file and the reason.
// Text that code page 932 cannot hold is refused whole, never written with substitutes.
QString write(CollectionStore& store, const QString& fileName, const QString& text);
QString write(CollectionStore& store, const QString& fileName, const cp932::Encoded& encoded);

// The help-tour explanation of the "残巻" button.
QString shoppingTourText();

} // namespace exports
