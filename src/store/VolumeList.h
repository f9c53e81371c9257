#pragma once

#include <QList>
#include <QString>

// A list of volume numbers as a collector types it and as the spreadsheet exchange writes it: "1-12, 15".
// Digits half- or full-width; a range joined by - ‐ ー ～ 〜 ~ (or －); items separated by , 、 ， or blanks.
namespace volumelist {

struct Parsed {
    QList<int> numbers; // ascending, each once
    QString problem;    // empty when the whole text was read; else what could not be used, in Japanese
    bool ok() const { return problem.isEmpty(); }
};

// Numbers from 1 to 32767. An empty or blank text is an empty list.
Parsed parse(const QString& text);

// numbers (any order, repeats allowed) as "1-12,15": ascending, runs of three or more joined as ranges.
QString format(QList<int> numbers);

} // namespace volumelist
