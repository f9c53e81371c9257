#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <array>

// The small per-title and per-program files besides the collection file. Parsers take raw bytes (code page
// 932) and never fail; formatters return text for the store to encode.

// Entry k (1 to 50) is the state of the record's k-th volume: 0 collected, 1 missing, anything else is
// shown black. Entry 0 is unused.
using VolumeStates = std::array<qint16, 51>;

namespace volumefile {
inline constexpr int Volumes = 50;
// Five records of ten integers. Entries that are missing or unreadable are 0; complete tells whether all
// fifty were read cleanly (a caller must not rewrite a damaged file behind the user's back).
VolumeStates parse(const QByteArray& bytes, bool* complete = nullptr);
QString format(const VolumeStates& states);
// The same text as the file's bytes: its digits, minus signs, commas and CR LF are the same bytes in code page
// 932 as in ASCII, so a file written in bulk needs no encoder.
QByteArray bytes(const VolumeStates& states);
} // namespace volumefile

namespace memofile {
// The lines joined with CR LF, without a final line break.
QString parse(const QByteArray& bytes);
// The memo followed by CR LF, every line break written as CR LF.
QString format(const QString& memo);
} // namespace memofile

namespace settingsfile {
// HelpTourOn: 1 on, 0 off; anything unreadable is 0.
qint16 parse(const QByteArray& bytes);
QString format(qint16 helpTourOn);
} // namespace settingsfile

namespace rankingfile {
// One title per record, in file order.
QStringList parse(const QByteArray& bytes);
QString formatLine(const QString& title);
// The lines of titles, in order, in one string.
QString format(const QStringList& titles);
} // namespace rankingfile
