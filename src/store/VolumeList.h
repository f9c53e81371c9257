#pragma once

#include <QList>
#include <QString>

// A list of volume numbers as a collector types it and as the spreadsheet exchange writes it: "1～12、15".
// Digits half- or full-width; a range joined by - ‐ ー ～ 〜 ~ (or －); items separated by , 、 ， or blanks.
namespace volumelist {

inline constexpr int Largest = 32767;

struct Parsed {
    QList<int> numbers; // ascending, each once
    QString problem;    // empty when the whole text was read; else what could not be used, in Japanese
    // Set when the problem is an item outside first..last: the item as written.
    QString outOfRange;
    bool ok() const { return problem.isEmpty(); }
};

// Numbers from first to last (within 1..Largest). An empty or blank text is an empty list. Reading stops at the
// first item that is not a number or lies outside first..last; ranges are kept as ranges until the end, so
// time and memory grow with the text and with last - first + 1, never with the sizes of the ranges written.
Parsed parse(const QString& text, int first = 1, int last = Largest);

// numbers (any order, repeats allowed) as "1～12、15": ascending, runs of three or more joined as ranges. A
// spreadsheet keeps this as text (it would read "1-12" as a date and "1,2" as a number).
QString format(QList<int> numbers);

} // namespace volumelist
