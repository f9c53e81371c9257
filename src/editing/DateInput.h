#pragma once

#include <QDate>
#include <QString>
#include <optional>

// Issue dates as a Japanese user types them, and the one form in which they are stored.
namespace dateinput {

// The date a text stands for, or nullopt when it is not a calendar date. Accepted: year, month and day
// separated by "/", "-" or "." (2002/2/18, 2002-02-18, 2002.2.18), "2002年2月18日", the same with an era
// (平成14年2月18日, 平成元年5月1日, H14/2/18, h14.2.18; Meiji to Reiwa, by name or initial M T S H R), full-width
// digits and separators alike, blanks around the text ignored.
std::optional<QDate> parse(const QString& text);

// "yyyy/MM/dd", the stored form: 2002/02/18.
QString format(const QDate& date);

} // namespace dateinput
