#pragma once

#include "store/TitleTable.h"

#include <QDate>
#include <QList>
#include <QString>

// Checks on what the user types before it can become a title, a name or a memo, and the records an add makes.
namespace titleinput {

// The eleven half-width characters a title may not hold: \ / : , ; * ? " < > |
bool hasRefusedCharacter(const QString& title);
inline const QString RefusedCharacterMessage = QStringLiteral("\\ / : , ; * ? < > |\u3000の文字は使えません。");

// Empty when text can be stored in the data files; else a Japanese message for the user naming what is
// wrong: characters code page 932 cannot hold (named), control characters (line breaks count as such unless
// allowLineBreaks), a double quote when refuseQuote (names are stored in quotes without escaping).
// what names the field in the message ("題名", "著者名", ...).
QString storableProblem(const QString& text, const QString& what, bool allowLineBreaks = false,
                        bool refuseQuote = true);

// Empty when every file of the title (title + ".TXT", "_C.txt", ".jpg", ...) fits a file name; else a message
// saying how long a title may be. The limit is 255 bytes of UTF-8 with the longest suffix "_C.txt".
QString fileNameProblem(const QString& title);

// Index of a record whose files would be the same files as those of title in a folder that does not tell
// letter case apart (Ａ and ａ, A and a), other than a record with exactly that title; 0 when none. Every one of
// the title's file names is compared with every file name of every record (so "abc_C" is caught beside "abc").
int fileCollisionIndex(const TitleTable& table, const QString& title);

// The largest count an add accepts: split suffixes must stay within the 16-bit range.
inline constexpr int MaxCount = 32750;

// "(1_50)", "(51_100)", ... for record k (1-based) of a split series.
QString splitSuffix(int k);

// The records an add of count volumes (1..MaxCount) makes: one record when count <= 50, else
// ceil(count / 50) records of 50 volumes (the last holding the rest) titled title + splitSuffix(k), with
// start volumes 0, 50, 100, ...; author and magazine "未登録", rating "未", both dates today.
QList<TitleRecord> newRecords(const QString& title, int count, const QDate& today);

} // namespace titleinput
